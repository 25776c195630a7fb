// The device options window's own rules: automatic range against sets and
// banks, the follow-up of its buttons, its extra commands, and the way the
// operation window's Options button reaches it.

#include "DeviceDialogFixture.h"

#include "device/frmDeviceConfigure.h"
#include "device/frmDeviceRange.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>

namespace {

using namespace QXPgmrId;

class DeviceConfigureTest : public DeviceDialogTest
{};

TEST_F(DeviceConfigureTest, AutomaticRangeTakesSetsAndBanksAway)
{
    // The Device menu's item, as the main window names it.
    auto* item = new QAction(QStringLiteral("Sets and Banks"), main);
    item->setObjectName(QStringLiteral("mnuDeviceSetsAndBanks"));

    struct Case
    {
        bool sets, range, automatic;
        QStringList writes;
        bool enabled;
    };
    const Case cases[] = {
        {true, true, true, {QStringLiteral("SetWidth=1"), QStringLiteral("BankCount=1")}, false},
        {true, true, false, {}, true},
        // Either capability missing: nothing changes, whatever the state was.
        {true, false, true, {}, true},
        {false, true, true, {}, true},
    };
    for (const Case& c : cases) {
        engine->Set(DeviceSupportsSetsAndBanks, false);
        engine->Set(DeviceSupportsRange, false);
        frmDeviceConfigure window(main->station(), main);
        window.btnArray->setEnabled(true);
        item->setEnabled(true);
        engine->Set(DeviceSupportsSetsAndBanks, c.sets);
        engine->Set(DeviceSupportsRange, c.range);
        engine->Set(AutoRange, c.automatic);
        engine->TakeWrites();
        window.SetDeviceSetOptions();
        EXPECT_EQ(engine->TakeWrites(), c.writes) << c.sets << c.range << c.automatic;
        EXPECT_EQ(window.btnArray->isEnabled(), c.enabled) << c.sets << c.range << c.automatic;
        EXPECT_EQ(item->isEnabled(), c.enabled) << c.sets << c.range << c.automatic;
    }
    // Switching automatic range off enables both again.
    engine->Set(DeviceSupportsSetsAndBanks, true);
    engine->Set(DeviceSupportsRange, true);
    engine->Set(AutoRange, true);
    frmDeviceConfigure window(main->station(), main);
    EXPECT_FALSE(item->isEnabled());
    engine->Set(AutoRange, false);
    window.SetDeviceSetOptions();
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(window.btnArray->isEnabled());
}

TEST_F(DeviceConfigureTest, TheRangeDialogsFollowUpAppliesAutomaticRangeAndRefreshesTheFileSize)
{
    engine->Set(DeviceSupportsSetsAndBanks, true);
    engine->Set(DeviceSupportsRange, true);
    engine->Set(DeviceSupportsAutoRange, true);
    engine->Set(BufferSize, 4096);
    frmDeviceConfigure window(main->station(), main);
    EXPECT_TRUE(window.btnArray->isEnabled());
    OnDialog<frmDeviceRange>([](frmDeviceRange& d) {
        d.chkAutoRange->click();
        d.OKButton->click();
    });
    window.btnRange_Click();
    EXPECT_FALSE(window.btnArray->isEnabled());
    EXPECT_EQ(engine->Value(SetWidth).toInt(), 1);
    EXPECT_EQ(data().lngFileSize, 4096);
}

TEST_F(DeviceConfigureTest, AnExtraCommandUpdatesRadixAndBufferStateEvenWhenItFails)
{
    engine->Set(ExtraCommandCount, 1);
    engine->On(ExtraCommandNameAt, [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("Erase Boot")); });
    frmDeviceConfigure window(main->station(), main);
    ASSERT_EQ(window.btnSpecial.count(0), 1u);
    engine->Set(DisplayRadix, 1);
    engine->Set(BufferSize, 16);
    data().blnBufferEmpty = true;
    engine->failing.insert(RunExtraCommand);
    ui().Answer(vb::vbOK);
    window.btnSpecial.at(0)->click();
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Error|Member not found.")});
    EXPECT_TRUE(BlackBox().contains(QLatin1String("Extra command 0 failed: Member not found.")));
    EXPECT_EQ(data().udtRadix, 1);
    EXPECT_FALSE(data().blnBufferEmpty);
}

TEST_F(DeviceConfigureTest, TheOptionsButtonOpensTheWindowOverTheMainWindowAndItsDialogs)
{
    data().blnDeviceSelected = true;
    engine->Set(DeviceSupportsRange, true);
    bool rangeOpened = false;
    ui().OnModal([&](QDialog* dialog) {
        auto* options = qobject_cast<frmDeviceConfigure*>(dialog);
        EXPECT_NE(options, nullptr);
        if (!options)
            return int(QDialog::Rejected);
        EXPECT_EQ(options->parentWidget(), main);
        EXPECT_TRUE(options->btnRange->isVisibleTo(options));
        EXPECT_EQ(options->btnRange->x(), twips::ToPixels(120));
        EXPECT_EQ(options->btnDone->x(), twips::ToPixels(1200));
        options->btnRange->click();
        options->btnDone->click();
        return options->result();
    });
    OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
        rangeOpened = true;
        EXPECT_EQ(d.parentWidget(), nullptr);
        d.CancelButton->click();
    });
    // The window's button rules are not at stake here.
    window->OptionsButton->setEnabled(true);
    window->OptionsButton->click();
    EXPECT_TRUE(rangeOpened);
    EXPECT_TRUE(engine->TakeWrites().filter(QStringLiteral("WordRange")).isEmpty());
}

} // namespace
