// The run outside the window: its counters by failure category, and the seam
// through which it drives its host (status lines, progress rows, site boxes,
// buttons, the event pump, prompts).

#include "FakeRunHost.h"
#include "OperationFixture.h"

#include "engine/EngineCodes.h"
#include "operation/OperationRun.h"
#include "operation/RunCounters.h"

#include <QProgressBar>
#include <limits>

namespace {

// --- the counters ---

TEST(RunCountersTest, EachFailureCodeCountsInItsCategory)
{
    const struct
    {
        qint32 code;
        qint32 RunCounters::*category; // nullptr: none
    } cases[] = {
        {0, nullptr},
        {29, nullptr},
        {78, nullptr},
        {4, &RunCounters::lngNumFailedOverCurrent},
        {80, &RunCounters::lngNumFailedOverCurrent},
        {56, &RunCounters::lngNumFailedContinuity},
        {21, &RunCounters::lngNumFailedProgramming},
        {22, &RunCounters::lngNumFailedErase},
        {25, &RunCounters::lngNumFailedBadID},
        {54, &RunCounters::lngNumFailedNonBlank},
        {27, &RunCounters::lngNumFailedSecurity},
        {50, &RunCounters::lngNumFailedVerify},
        {37, &RunCounters::lngNumFailedIllegalBit},
        {38, &RunCounters::lngNumFailedFunctionality},
        {39, &RunCounters::lngNumFailedAlreadySecured},
        {81, &RunCounters::lngNumFailedOther},
        {-5, &RunCounters::lngNumFailedOther},
        {3, &RunCounters::lngNumFailedOther},
    };
    for (const auto& c : cases) {
        RunCounters counters;
        counters.CountFailure(c.code);
        EXPECT_EQ(counters.lngNumFailed, 1) << c.code;
        for (const RunCounters::Category& category : RunCounters::Categories())
            EXPECT_EQ(counters.*category.member, category.member == c.category ? 1 : 0)
                << c.code << " " << category.label;
        EXPECT_EQ(counters.CategorisedFailures(), c.category ? 1 : 0) << c.code;
    }
}

TEST(RunCountersTest, TheCategoriesAreInTheOrderAndWithTheLabelsTheSummaryPrints)
{
    QStringList labels;
    for (const RunCounters::Category& category : RunCounters::Categories())
        labels << QLatin1String(category.label);
    EXPECT_EQ(labels,
              (QStringList{
                  "Already secured     :", "Bad electronic IDs :", "Continuity failures :", "Erase failures      :",
                  "Functional failures :", "Illegal bit failures:", "Non-blank failures  :", "Overcurrent failures:",
                  "Program failures    :", "Security failures   :", "Verify failures     :", "All other failures:"}));
}

TEST(RunCountersTest, ResetLeavesTheSessionsCountsAndCountsNeverWrap)
{
    RunCounters counters;
    counters.CountPass();
    counters.CountFailure(28);
    counters.lngNumLeft = 7;
    counters.lngNumToDo = 9;
    counters.Reset();
    EXPECT_EQ(counters.lngNumPassed, 0);
    EXPECT_EQ(counters.lngNumFailed, 0);
    EXPECT_EQ(counters.lngNumFailedVerify, 0);
    EXPECT_EQ(counters.lngNumLeft, 7);
    EXPECT_EQ(counters.lngNumToDo, 9);

    const qint32 largest = std::numeric_limits<qint32>::max();
    counters.lngNumPassed = largest;
    counters.lngNumFailed = largest;
    counters.lngNumFailedOther = largest;
    counters.CountPass();
    counters.CountFailure(99);
    EXPECT_EQ(counters.lngNumPassed, largest);
    EXPECT_EQ(counters.lngNumFailed, largest);
    EXPECT_EQ(counters.lngNumFailedOther, largest);
}

TEST(RunCountersTest, YieldAndDevicesPerHour)
{
    RunCounters counters;
    EXPECT_EQ(counters.Yield(), 0.0);
    EXPECT_EQ(counters.DevicesPerHour(60000), 0);
    counters.lngNumPassed = 3;
    counters.lngNumFailed = 1;
    EXPECT_DOUBLE_EQ(counters.Yield(), 75.0);
    // Four devices in a minute.
    EXPECT_EQ(counters.DevicesPerHour(60000), 240);
    EXPECT_EQ(counters.DevicesPerHour(0), 0);
    EXPECT_EQ(counters.DevicesPerHour(-5), 0);
    counters.lngNumPassed = std::numeric_limits<qint32>::max();
    EXPECT_EQ(counters.DevicesPerHour(1), std::numeric_limits<qint32>::max());
}

// --- the run's seam, over a host that records what it is asked ---

// Over the test host, with its own record of the seam's calls.
class RecordingHost : public FakeRunHost
{
public:
    void StatusLine(const QString& text) override { calls << "status " + text; }
    int ProgressRowCount() const override { return rows; }
    void SetProgressValue(int row, int value) override { calls << QStringLiteral("bar %1=%2").arg(row).arg(value); }
    bool ProgressRowChecked(int row) const override { return checked.contains(row); }
    int SiteBoxCount() const override { return sites; }
    void ShowSiteStatus(int index, qint32 status, const QString& statusText, const QString& errorText) override
    {
        calls << QStringLiteral("site %1 %2 '%3' '%4'").arg(index).arg(status).arg(statusText, errorText);
    }
    void UpdateButtonStates() override { calls << "buttons"; }
    void LockOptionSettings(bool locked) override { calls << QStringLiteral("lock %1").arg(locked); }
    void PumpEvents() override { calls << "pump"; }
    qint32 Prompt(const QString& text, qint32 buttons, const QString& title) override
    {
        calls << QStringLiteral("prompt %1 %2 %3").arg(text).arg(buttons).arg(title);
        return vb::vbCancel;
    }

    int rows = 3;
    QList<int> checked;
    int sites = 2;
    QStringList calls;
};

TEST(OperationRunTest, ConstructionAsksTheHostNothingAndKeepsItsCountersAndHost)
{
    RecordingHost host;
    RunCounters counters;
    OperationRun run(host.station, host, counters);
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(&run.host(), &host);
    EXPECT_EQ(&run.counters(), &counters);
}

TEST(OperationRunTest, ProgressRowsAndSiteBoxesGoThroughTheHost)
{
    RecordingHost host;
    host.checked = {0, 2};
    RunCounters counters;
    OperationRun run(host.station, host, counters);

    run.ClearProgressBars();
    EXPECT_EQ(host.calls, (QStringList{"bar 0=0", "bar 1=0", "bar 2=0"}));

    host.calls.clear();
    run.FillCheckedProgressBars();
    EXPECT_EQ(host.calls, (QStringList{"bar 0=100", "bar 2=100"}));

    // Held to 0..100; a row or a site without its control is left alone.
    host.calls.clear();
    run.SetProgress(1, 150);
    run.SetProgress(2, -4);
    run.SetProgress(1, 62);
    run.SetProgress(3, 50);
    run.SetProgress(-1, 50);
    run.ShowSite(1, SiteStatus::Failed, QString(), QStringLiteral("Verify error"));
    run.ShowSite(2, SiteStatus::Passed, QStringLiteral("ok"), QString());
    run.ShowSite(-1, SiteStatus::Passed, QStringLiteral("ok"), QString());
    EXPECT_EQ(host.calls, (QStringList{"bar 1=100", "bar 2=0", "bar 1=62", "site 1 1 '' 'Verify error'"}));
}

// --- the operation window as the run's host ---

class WindowAsRunHostTest : public OperationWindowTest
{};

TEST_F(WindowAsRunHostTest, TheWindowsBarsSiteBoxesAndCountersServeTheRun)
{
    LoadAndShow();
    OperationRun& run = window->Run();
    EXPECT_EQ(&run.counters(), &window->Counters());
    // The window's counter names are the run's counters.
    run.counters().CountFailure(28);
    EXPECT_EQ(window->lngNumFailed, 1);
    EXPECT_EQ(window->lngNumFailedVerify, 1);
    window->ResetRunCounters();
    EXPECT_EQ(run.counters().lngNumFailedVerify, 0);

    run.SetProgress(3, 250);
    EXPECT_EQ(window->ProgressBar1[3]->value(), 100);
    run.ClearProgressBars();
    for (const QProgressBar* bar : std::as_const(window->ProgressBar1))
        EXPECT_EQ(bar->value(), 0);

    engine->Set(QXPgmrId::SiteCount, 2);
    window->ConcurrentOperationBegan();
    ASSERT_EQ(window->GetSiteCount(), 2);
    run.ShowSite(1, SiteStatus::Failed, QString(), QStringLiteral("Verify error"));
    EXPECT_EQ(window->SiteBox[1]->SiteState(), SiteStatus::Failed);
    EXPECT_NE(window->SiteBox[0]->SiteState(), SiteStatus::Failed);
}

} // namespace
