// Start-up runs once per process: an automation client's calls find the
// station started, or fail at once after a failed start-up; a termination
// request made while start-up runs waits for it to finish.
#include "StationTest.h"

#include "mainwindow/frmMain.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/StartUp.h"
#include "shell/frmSplash.h"

#include <QTest>
#include <QTimer>

namespace {

class StartUpOnceTest : public StationTest
{
protected:
    void TearDown() override
    {
        qunsetenv("TARVO_ENGINE_DB");
        StationTest::TearDown();
    }
};

TEST_F(StartUpOnceTest, AFailedStartUpIsNotTriedAgainByLaterCalls)
{
    qputenv("TARVO_ENGINE_DB", tempPath("missing.db").toUtf8());
    ui().Answer(vb::vbOK); // "Algo Database Error", once
    const qsizetype stepsBefore = frmSplash::StepsShown().size();

    EXPECT_FALSE(EnsureMainWindow(false));
    EXPECT_EQ(gMainForm, nullptr);
    EXPECT_EQ(LastStartUpOutcome(), StartUpOutcome::Failed);
    const qsizetype stepsOfOneStart = frmSplash::StepsShown().size() - stepsBefore;
    ASSERT_GT(stepsOfOneStart, 0);

    // Later calls (another client, a monitor) fail at once: no splash, no
    // second box (the scripted service would fail the test on one).
    EXPECT_FALSE(EnsureMainWindow(false));
    EXPECT_FALSE(EnsureMainWindow(true));
    EXPECT_EQ(gMainForm, nullptr);
    EXPECT_EQ(frmSplash::StepsShown().size() - stepsBefore, stepsOfOneStart);
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown()[0].startsWith("Algo Database Error")) << ui().Shown()[0].toStdString();
}

TEST_F(StartUpOnceTest, AStartedStationServesEveryLaterCall)
{
    ASSERT_TRUE(EnsureMainWindow(true));
    frmMain* const station = gMainForm;
    ASSERT_NE(station, nullptr);
    const qsizetype steps = frmSplash::StepsShown().size();
    EXPECT_TRUE(EnsureMainWindow(false));
    EXPECT_TRUE(EnsureMainWindow(true));
    EXPECT_EQ(gMainForm, station);
    EXPECT_EQ(frmSplash::StepsShown().size(), steps);
    EXPECT_FALSE(station->pgmrData().bNoviceMode); // a client runs the experienced mode
}

TEST_F(StartUpOnceTest, ATerminationRequestDuringStartUpIsOnlyRecorded)
{
    // Delivered at the first event the start-up lets through (the splash's
    // repaint), as a signal's wake-up is.
    QTimer::singleShot(0, [] { OnTerminationRequest(); });
    ASSERT_TRUE(StartApplication());
    EXPECT_TRUE(TerminationRequested());
    ASSERT_NE(gMainForm, nullptr);
    EXPECT_TRUE(gMainForm->isVisible());
    EXPECT_TRUE(gMainForm->bInitialized);

    // Once start-up has finished a request closes the station, from the
    // loop rather than inside the request.
    OnTerminationRequest();
    EXPECT_TRUE(gMainForm->isVisible());
    for (int i = 0; i < 200 && gMainForm->isVisible(); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(gMainForm->isVisible());
    EXPECT_TRUE(gMainForm->IsUnloaded());
}

} // namespace
