// The option rows' choices of the standard tabs in the registry section
// "Configuration": one CHECKBOX_ and one LISTBOX_ value per action and row,
// read when the window takes up its tabs and written when it closes.

#include "StandInWindowFixture.h"

#include "operation/ActionSettings.h"
#include "platform/AppInfo.h"
#include "settings/SettingsStore.h"

namespace {

QString App()
{
    return appinfo::ApplicationTitle();
}

QString Stored(const QString& name)
{
    return GetSettingValue(App(), QStringLiteral("Configuration"), name, QStringLiteral("<none>")).toString();
}

class ActionSettingsTest : public StandInWindowTest
{
};

TEST_F(ActionSettingsTest, ValueNamesAreTheActionPrefixTheKindAndTheRowFromOne)
{
    EXPECT_EQ(ActionSettings::ValueName(1, QStringLiteral("CHECKBOX_"), 0), QStringLiteral("PROGRAM_CHECKBOX_1"));
    EXPECT_EQ(ActionSettings::ValueName(7, QStringLiteral("LISTBOX_"), 16), QStringLiteral("ERASE_LISTBOX_17"));
    const char* const prefixes[] = {"", "PROGRAM_", "VERIFY_", "READ_", "BLANKCHECK_", "TEST_", "SECURE_", "ERASE_", ""};
    for (qint32 action = 0; action <= 8; ++action)
        EXPECT_EQ(ActionSettings::Prefix(action), QLatin1String(prefixes[action])) << action;
}

TEST_F(ActionSettingsTest, ClosingWritesEveryRowOfEveryStandardTabAndNoCustomTab)
{
    LoadAndShow();
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("SL18F4550")));
    Pick(1, QStringLiteral("Erase"));
    ASSERT_TRUE(window->Form_Unload());

    const auto values = GetAllSettingValues(App(), QStringLiteral("Configuration"));
    ASSERT_TRUE(values.has_value());
    QStringList kept;
    for (const SettingEntry& entry : *values) {
        if (entry.name.contains(QLatin1String("CHECKBOX_")) || entry.name.contains(QLatin1String("LISTBOX_")))
            kept << entry.name;
    }
    EXPECT_EQ(kept.size(), 7 * 2 * 17); // Calibrate is not kept
    EXPECT_TRUE(kept.contains(QStringLiteral("TEST_LISTBOX_17")));
    EXPECT_FALSE(kept.filter(QStringLiteral("Calibrate")).size() > 0);

    EXPECT_EQ(Stored(QStringLiteral("PROGRAM_CHECKBOX_1")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("PROGRAM_LISTBOX_1")), QStringLiteral("3")); // "Continuity & ID"
    EXPECT_EQ(Stored(QStringLiteral("PROGRAM_LISTBOX_2")), QStringLiteral("1")); // "Erase"
    EXPECT_EQ(Stored(QStringLiteral("PROGRAM_CHECKBOX_3")), QStringLiteral("2")); // programming is forced
    EXPECT_EQ(Stored(QStringLiteral("PROGRAM_LISTBOX_6")), QStringLiteral("-1")); // a row without a list
    EXPECT_EQ(Stored(QStringLiteral("ERASE_LISTBOX_17")), QStringLiteral("-1"));
}

TEST_F(ActionSettingsTest, StoredValuesComeBackAtStartAndMissingOnesGiveTheDefaults)
{
    const auto save = [](const char* section, const char* name, const QVariant& value) {
        SaveSettingValue(App(), QLatin1String(section), QLatin1String(name), value);
    };
    save("Device", "DevSelected", true);
    save("Device", "SelectedDeviceName", QStringLiteral("NV29F040"));
    save("Configuration", "VERIFY_LISTBOX_4", 1);
    save("Configuration", "VERIFY_CHECKBOX_1", 0);
    save("Configuration", "ERASE_CHECKBOX_2", 7);
    LoadAndShow();
    ASSERT_EQ(data().strDeviceName, QStringLiteral("NV29F040"));

    Visit(2);
    EXPECT_EQ(window->cboOperation[3]->currentText(), QStringLiteral("Verify Twice"));
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[0]), 0);
    // Nothing stored: ticked, and the list's default entry.
    EXPECT_EQ(window->cboOperation[0]->currentText(), QStringLiteral("Continuity & ID"));
    Visit(1);
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[1]), 1);
    EXPECT_EQ(window->cboOperation[1]->currentText(), QStringLiteral("Blank Check"));
    EXPECT_EQ(data().intUserCheckbox(6, 1), 7); // read as stored; shown as ticked
}

} // namespace
