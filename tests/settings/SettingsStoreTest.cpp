#include "ChildRole.h"

#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/Registry.h"
#include "settings/SettingsStore.h"
#include "settings/cRegistry.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// Child roles of the tests below: "settings-save" <section> <name> <value>
// saves a setting of "Tarvo"; "settings-print" <section> <name> prints it as
// "VALUE=..." ("<default>" when none).
int SettingsChild(const QStringList& args, bool save)
{
    try {
        if (save) {
            SaveSettingValue(QStringLiteral("Tarvo"), args.value(0), args.value(1), args.value(2));
        } else {
            const QVariant value =
                GetSettingValue(QStringLiteral("Tarvo"), args.value(0), args.value(1), QStringLiteral("<default>"));
            std::printf("VALUE=%s\n", qPrintable(value.toString()));
        }
        return 0;
    } catch (const AutomationError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Description()));
        return 1;
    }
}
const ChildRole kSaveRole("settings-save", [](const QStringList& args) { return SettingsChild(args, true); });
const ChildRole kPrintRole("settings-print", [](const QStringList& args) { return SettingsChild(args, false); });

const QString kApp = QStringLiteral("Tarvo");
const QString kConfiguration = QStringLiteral("Configuration");

class SettingsStoreTest : public TarvoTest
{
protected:
    void TearDown() override
    {
        reg::SetSaveStepHook(nullptr);
        appinfo::SetApplicationTitleForTests(QString());
        TarvoTest::TearDown();
    }

    ProcessResult runChild(const QString& role, const QStringList& args)
    {
        return RunChildRole(childEnvironment(), role, args);
    }

    // What a "print" child printed.
    static std::string Printed(const ProcessResult& child)
    {
        for (const QString& line : child.out.split(u'\n')) {
            if (line.startsWith(QLatin1String("VALUE=")))
                return line.mid(6).toStdString();
        }
        return "<nothing printed>";
    }

    template <typename Action>
    static AutomationError Raised(Action action)
    {
        try {
            action();
        } catch (const AutomationError& error) {
            return error;
        }
        return AutomationError(0, QString(), QString());
    }
};

TEST_F(SettingsStoreTest, SettingsAreTextUnderTheApplicationsKeyAndDefaultsKeepTheirType)
{
    SaveSettingValue(kApp, kConfiguration, QStringLiteral("bNoviceMode"), true);
    SaveSettingValue(kApp, kConfiguration, QStringLiteral("intPort"), qint16(-333));
    SaveSettingValue(kApp, kConfiguration, QStringLiteral("lQuantity"), qint32(70000));
    SaveSettingValue(kApp, kConfiguration, QStringLiteral("strPath"), QStringLiteral("/home/op/jobs"));

    struct Case
    {
        const char* name;
        QVariant fallback;
        QVariant expected;
    };
    const QList<Case> cases = {
        {"bNoviceMode", false, QStringLiteral("True")},
        {"intPort", qint16(0), QStringLiteral("-333")},
        {"lQuantity", qint32(1), QStringLiteral("70000")},
        {"strPath", QStringLiteral("/"), QStringLiteral("/home/op/jobs")},
        {"bNeverSaved", true, true},
        {"intNeverSaved", qint16(15), qint16(15)},
        {"lNeverSaved", qint32(0), qint32(0)},
        {"strNeverSaved", QStringLiteral("255"), QStringLiteral("255")},
    };
    for (const Case& c : cases) {
        const QVariant value = GetSettingValue(kApp, kConfiguration, c.name, c.fallback);
        EXPECT_EQ(value, c.expected) << c.name;
        EXPECT_EQ(value.typeId(), c.expected.typeId()) << c.name;
    }
    EXPECT_EQ(GetSettingValue(kApp, QStringLiteral("NoSection"), QStringLiteral("x"), -1), QVariant(-1));

    // Where and how they are kept.
    cRegistry registry;
    OpenSettingsKey(registry, kApp, kConfiguration);
    EXPECT_EQ(registry.ClassKey(), cRegistry::HKEY_CURRENT_USER);
    EXPECT_EQ(registry.SectionKey(), QStringLiteral("Software\\Corvane\\Tarvo\\Configuration"));
    EXPECT_EQ(registry.ValueType(), cRegistry::REG_SZ);
    reg::HKEY key = 0;
    ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo\\Configuration"), &key),
              reg::ERROR_SUCCESS);
    reg::ValueType type = reg::REG_NONE;
    QByteArray data;
    EXPECT_EQ(reg::RegQueryValueEx(key, QStringLiteral("bNoviceMode"), &type, &data), reg::ERROR_SUCCESS);
    EXPECT_EQ(type, reg::REG_SZ);
    EXPECT_EQ(data, QByteArray("True", 5));
    reg::RegCloseKey(key);
}

TEST_F(SettingsStoreTest, AllValuesOfASectionComeInTheOrderWrittenAndAMissingSectionGivesNoTable)
{
    EXPECT_FALSE(GetAllSettingValues(kApp, QStringLiteral("Recent Files")).has_value());

    SaveSettingValue(kApp, QStringLiteral("Recent Files"), QStringLiteral("File3"), QStringLiteral("/c.qx"));
    SaveSettingValue(kApp, QStringLiteral("Recent Files"), QStringLiteral("File1"), QStringLiteral("/a.qx"));
    SaveSettingValue(kApp, QStringLiteral("Recent Files"), QStringLiteral("File2"), QStringLiteral("/b.qx"));
    SaveSettingValue(kApp, QStringLiteral("Recent Files"), QStringLiteral("file3"), QStringLiteral("/d.qx"));
    const std::optional<SettingsTable> table = GetAllSettingValues(kApp, QStringLiteral("Recent Files"));
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->size(), 3);
    const QList<std::pair<QString, QString>> expected = {{"File3", "/d.qx"}, {"File1", "/a.qx"}, {"File2", "/b.qx"}};
    for (qsizetype i = 0; i < table->size(); ++i) {
        EXPECT_EQ(table->at(i).name, expected.at(i).first);
        EXPECT_EQ(table->at(i).value, QVariant(expected.at(i).second));
    }

    // A section whose values are all gone is empty: still no table.
    for (const char* name : {"File1", "File2", "File3"})
        DeleteSettingValue(kApp, QStringLiteral("Recent Files"), name);
    EXPECT_FALSE(GetAllSettingValues(kApp, QStringLiteral("Recent Files")).has_value());
}

TEST_F(SettingsStoreTest, DeletingIsStrictAndWithoutANameRemovesTheSection)
{
    SaveSettingValue(kApp, kConfiguration, QStringLiteral("a"), 1);
    SaveSettingValue(kApp, kConfiguration, QStringLiteral("b"), 2);
    DeleteSettingValue(kApp, kConfiguration, QStringLiteral("a"));
    EXPECT_EQ(GetSettingValue(kApp, kConfiguration, QStringLiteral("a"), QStringLiteral("gone")), QVariant("gone"));
    EXPECT_EQ(GetSettingValue(kApp, kConfiguration, QStringLiteral("b"), QVariant()), QVariant("2"));

    AutomationError error = Raised([] { DeleteSettingValue(kApp, kConfiguration, QStringLiteral("a")); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(),
              "Failed to delete registry Key: '-2147483647',Section: 'Software\\Corvane\\Tarvo\\Configuration',Key: 'a");

    DeleteSettingValue(kApp, kConfiguration);
    EXPECT_EQ(GetSettingValue(kApp, kConfiguration, QStringLiteral("b"), QVariant()), QVariant());
    cRegistry registry;
    OpenSettingsKey(registry, kApp, kConfiguration);
    EXPECT_FALSE(registry.KeyExists());

    error = Raised([] { DeleteSettingValue(kApp, kConfiguration); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Failed to delete registry Key: '-2147483647',Section: 'Software\\Corvane\\Tarvo\\Configuration");
    error = Raised([] { DeleteSettingValue(kApp, kConfiguration, QStringLiteral("b")); });
    EXPECT_EQ(error.Description(),
              "Failed to open key '-2147483647',Section: 'Software\\Corvane\\Tarvo\\Configuration' for delete access");
}

TEST_F(SettingsStoreTest, AFailedSaveReachesTheCallerUnchanged)
{
    reg::SetSaveStepHook([](reg::SaveStep) { return false; });
    const AutomationError error = Raised([] { SaveSettingValue(kApp, kConfiguration, QStringLiteral("Quantity"), 5); });
    // The new section's key could not be created.
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Failed to set registry value Key: '-2147483647',Section: "
                                   "'Software\\Corvane\\Tarvo\\Configuration',Key: 'Quantity' to value: '5'");
    EXPECT_EQ(error.Source(), appinfo::ExeName() + ".cRegistry");
}

TEST_F(SettingsStoreTest, TwoApplicationTitlesNeverSeeEachOthersSettings)
{
    for (const char* title : {"Tarvo", "Chiselo"}) {
        appinfo::SetApplicationTitleForTests(title);
        SaveSettingValue(appinfo::ApplicationTitle(), kConfiguration, QStringLiteral("Edition"), title);
        SaveSettingValue(appinfo::ApplicationTitle(), kConfiguration, QString(title) + "Only", 1);
    }
    for (const char* title : {"Tarvo", "Chiselo"}) {
        appinfo::SetApplicationTitleForTests(title);
        const QString app = appinfo::ApplicationTitle();
        EXPECT_EQ(GetSettingValue(app, kConfiguration, QStringLiteral("Edition"), QVariant()), QVariant(title));
        const std::optional<SettingsTable> table = GetAllSettingValues(app, kConfiguration);
        ASSERT_TRUE(table.has_value());
        ASSERT_EQ(table->size(), 2);
        EXPECT_EQ(table->at(1).name, QString(title) + "Only");
    }
    DeleteSettingValue(QStringLiteral("Chiselo"), kConfiguration);
    EXPECT_EQ(GetSettingValue(kApp, kConfiguration, QStringLiteral("Edition"), QVariant()), QVariant("Tarvo"));
}

TEST_F(SettingsStoreTest, AValueSavedByOneProcessIsReadByTheNext)
{
    ProcessResult saver = runChild(QStringLiteral("settings-save"), {"Directory Paths", "Log", "/var/log/tarvo"});
    ASSERT_EQ(saver.exitCode, 0) << saver.err.toStdString();
    const ProcessResult reader = runChild(QStringLiteral("settings-print"), {"Directory Paths", "Log"});
    ASSERT_EQ(reader.exitCode, 0) << reader.err.toStdString();
    EXPECT_EQ(Printed(reader), "/var/log/tarvo");
    EXPECT_EQ(GetSettingValue(kApp, QStringLiteral("Directory Paths"), QStringLiteral("Log"), QString()),
              QVariant("/var/log/tarvo"));

    // And a value this process changes is what the next one reads.
    SaveSettingValue(kApp, QStringLiteral("Directory Paths"), QStringLiteral("Log"), QStringLiteral("/srv/logs"));
    EXPECT_EQ(Printed(runChild(QStringLiteral("settings-print"), {"Directory Paths", "Log"})), "/srv/logs");
}

} // namespace

// A setting holding "%...%" (a file path, a file name pattern) comes back
// exactly as it was saved, not expanded from the environment.
TEST_F(SettingsStoreTest, TextWithPercentSignsComesBackUnchanged)
{
    for (const QString text : {"/data/%HOME%/x/", "100%_%d.txt", "%PATH%"}) {
        SaveSettingValue("Tarvo", "Recent Files", "RecentFile1", text);
        EXPECT_EQ(GetSettingValue("Tarvo", "Recent Files", "RecentFile1", QString()).toString(), text);
        const auto table = GetAllSettingValues("Tarvo", "Recent Files");
        ASSERT_TRUE(table.has_value());
        EXPECT_EQ(table->first().value.toString(), text);
    }
}
