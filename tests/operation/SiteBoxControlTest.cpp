// The site control (BayCtrl.ocx): a box per site showing its number, its
// state in its own colour and words, and its counters, driven by dispatch
// number as the operation window drives it.
#include "TestEnv.h"

#include "engine/SiteBoxControl.h"
#include "platform/Companion.h"

#include <QImage>
#include <QLibrary>
#include <QSet>
#include <QWidget>

namespace {

class SiteBoxControlTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        QLibrary library(BinDir() + QStringLiteral("/BayCtrl.ocx"));
        const auto registerServer = reinterpret_cast<long (*)()>(library.resolve("DllRegisterServer"));
        ASSERT_TRUE(registerServer);
        ASSERT_EQ(registerServer(), 0);
        box.Attach(companion::CreateControl(QString::fromLatin1(SiteBoxControl::ClassName)));
        widget = box.Control()->Widget();
        ASSERT_TRUE(widget);
        // 1500 x 750 twips: 100 x 50 pixels.
        box.Left(0);
        box.Top(0);
        box.Width(1500);
        box.Height(750);
    }

    QColor Fill() const
    {
        const QImage image = widget->grab().toImage();
        return image.pixelColor(1, image.height() / 2);
    }

    SiteBoxControl box;
    QWidget* widget = nullptr;
};

TEST_F(SiteBoxControlTest, EveryStateHasItsOwnColourAndWords)
{
    struct Shown
    {
        void (*show)(SiteBoxControl&);
        qint32 state;
        const char* words;
    };
    const Shown states[] = {
        {[](SiteBoxControl& b) { b.ShowPassed(); }, 0, "Passed"},
        {[](SiteBoxControl& b) { b.ShowFailed(); }, 1, "Failed"},
        {[](SiteBoxControl& b) { b.ShowIdle(); }, 2, "Idle"},
        {[](SiteBoxControl& b) { b.ShowActive(); }, 3, "Active"},
        {[](SiteBoxControl& b) { b.ShowReady(); }, 4, "Ready"},
        {[](SiteBoxControl& b) { b.ShowNotApplicable(); }, 5, "Not applicable"},
        {[](SiteBoxControl& b) { b.ShowSiteInfo(qint32(6)); }, 6, "Ready to pick"},
        {[](SiteBoxControl& b) { b.ShowSiteInfo(qint32(7)); }, 7, "Ready to place"},
    };
    QSet<QRgb> colours;
    QSet<QString> words;
    for (const Shown& s : states) {
        s.show(box);
        EXPECT_EQ(box.SiteState(), s.state);
        EXPECT_TRUE(widget->accessibleDescription().startsWith(QLatin1String(s.words)))
            << widget->accessibleDescription().toStdString();
        colours.insert(Fill().rgb());
        words.insert(QString::fromLatin1(s.words));
    }
    EXPECT_EQ(colours.size(), 8);
    EXPECT_EQ(words.size(), 8);

    // Site information the control does not know changes nothing.
    box.ShowSiteInfo(qint32(99));
    EXPECT_EQ(box.SiteState(), 7);
}

TEST_F(SiteBoxControlTest, CountsEachDeviceOnceByTheVerdictThatEndsItsRunUntilReset)
{
    box.ShowReady();
    box.ShowActive();
    box.ShowPassed();
    box.ShowActive();
    box.ShowFailed();
    box.ShowActive();
    box.ShowSiteInfo(qint32(0)); // the engine's report of a pass counts too
    // Verdicts shown without a device run are no devices: the master site
    // shown passed at a session's end, the engine repeating a report, a
    // verdict after the device was aborted (the box went idle).
    box.ShowPassed();
    box.ShowSiteInfo(qint32(1));
    box.ShowActive();
    box.ShowIdle();
    box.ShowPassed();
    EXPECT_EQ(box.SitePassedCount(), 2);
    EXPECT_EQ(box.SiteFailedCount(), 1);
    EXPECT_EQ(box.SiteTotalCount(), 3);
    EXPECT_EQ(box.SiteState(), 0);
    EXPECT_TRUE(widget->accessibleDescription().endsWith("passed 2, failed 1, total 3"));
    box.ResetSite();
    EXPECT_EQ(box.SitePassedCount(), 0);
    EXPECT_EQ(box.SiteFailedCount(), 0);
    EXPECT_EQ(box.SiteTotalCount(), 0);
}

TEST_F(SiteBoxControlTest, ShowsTheStatusOrTheErrorOfTheLastReport)
{
    box.SiteNumber(qint16(7));
    EXPECT_EQ(box.SiteLabel(), "7"); // the name printed after "Site "
    EXPECT_EQ(widget->accessibleName(), "Site 7");
    box.StatusText(QStringLiteral("Programming"));
    box.ShowActive();
    EXPECT_TRUE(widget->accessibleDescription().startsWith("Active: Programming"));
    box.ErrorText(QStringLiteral("Verify error at 0x0100"));
    box.ShowFailed();
    EXPECT_TRUE(widget->accessibleDescription().startsWith("Failed: Verify error at 0x0100"));
}

TEST_F(SiteBoxControlTest, PlacesItselfByTwipsAndShowsWhenTold)
{
    box.Left(1515);
    box.Top(300);
    box.Width(1500);
    box.Height(750);
    EXPECT_EQ(widget->geometry(), QRect(101, 20, 100, 50));
    EXPECT_FALSE(box.Visible());
    EXPECT_TRUE(widget->isHidden());
    box.Visible(true);
    EXPECT_TRUE(box.Visible());
    EXPECT_FALSE(widget->isHidden());
    // Grouping values are the control's to keep.
    box.SiteGroupedLayout(true);
    box.SiteSlotsPerGroup(qint16(2));
}

} // namespace
