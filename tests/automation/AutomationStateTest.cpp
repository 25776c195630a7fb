// The process-wide automation state the run and the main window report to:
// which clients are attached, the events they get, the deferred calls and
// the counts kept for them. Each test leaves the singletons as it found them.
#include "automation/CFireEvent.h"
#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitorImpl.h"
#include "automation/CQxProgrammerData.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

TEST(AutomationStateTest, JobCompleteReachesOnlyAttachedClients)
{
    CJobControlImpl& control = CJobControlImpl::Instance();
    CJobMonitorImpl& monitor = CJobMonitorImpl::Instance();
    QSignalSpy controlDone(&control, &CJobControlImpl::NotifyJobComplete);
    QSignalSpy monitorDone(&monitor, &CJobMonitorImpl::NotifyJobComplete);

    control.RaiseNotifyJobComplete(3);
    monitor.RaiseNotifyJobComplete(3);
    EXPECT_EQ(controlDone.count(), 0);
    EXPECT_EQ(monitorDone.count(), 0);

    // Two clients, one leaves: the monitor hears the end of a run; no
    // CJobControl does, for its BeginJob began none.
    control.Attach();
    control.Attach();
    control.Release();
    monitor.Attach();
    EXPECT_TRUE(control.JobCntrlInstantiated());
    EXPECT_TRUE(monitor.JobMonitorInstantiated());
    control.RaiseNotifyJobComplete(-7);
    monitor.RaiseNotifyJobComplete(0);
    EXPECT_EQ(controlDone.count(), 0);
    ASSERT_EQ(monitorDone.count(), 1);
    EXPECT_EQ(monitorDone.at(0).at(0).toInt(), 0);

    // Releasing more than was attached does not leave a phantom client.
    control.Release();
    control.Release();
    monitor.Release();
    monitor.Release();
    EXPECT_FALSE(control.JobCntrlInstantiated());
    control.Attach();
    EXPECT_TRUE(control.JobCntrlInstantiated());
    control.Release();
    EXPECT_FALSE(control.JobCntrlInstantiated());
    EXPECT_FALSE(monitor.JobMonitorInstantiated());
}

TEST(AutomationStateTest, MonitorRaisesPassedFailedAndActiveOnly)
{
    CJobMonitorImpl& monitor = CJobMonitorImpl::Instance();
    QSignalSpy passed(&monitor, &CJobMonitorImpl::NotifySocketPassed);
    QSignalSpy failed(&monitor, &CJobMonitorImpl::NotifySocketFailed);
    QSignalSpy active(&monitor, &CJobMonitorImpl::NotifySocketActive);
    const auto fire = [&](qint32 status, qint32 index, qint32 code) {
        monitor.FireSiteStatus(status, index, code);
        return std::tuple{passed.count(), failed.count(), active.count()};
    };

    // Without a monitor client nothing is raised.
    EXPECT_EQ(fire(0, 1, 0), std::tuple(0, 0, 0));

    monitor.Attach();
    struct Case
    {
        qint32 status;
        std::tuple<qsizetype, qsizetype, qsizetype> counts;
    };
    for (const Case& c : {Case{0, {1, 0, 0}}, Case{1, {1, 1, 0}}, Case{3, {1, 1, 1}}, Case{2, {1, 1, 1}},
                          Case{4, {1, 1, 1}}, Case{5, {1, 1, 1}}, Case{7, {1, 1, 1}}, Case{-1, {1, 1, 1}}}) {
        EXPECT_EQ(fire(c.status, 4, 0x21), c.counts) << c.status;
    }
    monitor.Release();
    EXPECT_EQ(passed.at(0).at(0).toInt(), 4);
    EXPECT_EQ(failed.at(0), (QList<QVariant>{4, 0x21}));
    EXPECT_EQ(active.at(0).at(0).toInt(), 4);
}

TEST(AutomationStateTest, SiteChangesAreRelayedWithTheirCounts)
{
    CFireEvent& fire = CQxProgrammerData::Instance().FireEvent();
    QSignalSpy changed(&fire, &CFireEvent::NotifySocketStatusChanged);
    fire.SiteStatus(2, 1, 0x33, 10, 4, 1, 3);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0), (QList<QVariant>{2, 1, 0x33, 10, 4, 1, 3}));
}

TEST(AutomationStateTest, ProgrammerStateKeepsItsCountsAndQueue)
{
    CQxProgrammerData& data = CQxProgrammerData::Instance();

    // The session mode is the client's only while its job runs: an object
    // a client merely holds leaves every run to the operator.
    data.SetSessionMode(4);
    EXPECT_EQ(data.SessionMode(), 0);
    data.AttachProgrammer();
    EXPECT_TRUE(data.QxProgrammerInstantiated());
    EXPECT_EQ(data.SessionMode(), 0);
    data.StartClientJob(nullptr, "client");
    data.SetRunningJob(true);
    EXPECT_EQ(data.SessionMode(), 4);
    data.SetRunningJob(false);
    data.EndClientJob();
    EXPECT_EQ(data.SessionMode(), 0);
    data.ReleaseProgrammer();
    data.ReleaseProgrammer();
    EXPECT_FALSE(data.QxProgrammerInstantiated());
    EXPECT_EQ(data.SessionMode(), 0);
    data.SetSessionMode(1);

    // Devices waiting in sockets never count below none.
    data.SetNumInserted(0);
    data.IncrementInserted();
    data.IncrementInserted();
    data.DecrementInserted();
    EXPECT_EQ(data.NumInserted(), 1);
    data.DecrementInserted();
    data.DecrementInserted();
    EXPECT_EQ(data.NumInserted(), 0);
    data.IncrementInserted();
    EXPECT_EQ(data.NumInserted(), 1);
    data.SetNumInserted(0);

    // Deferred calls come out once, in the order queued.
    data.EnqueueMethod("DoBeginJob");
    data.EnqueueMethod("DoAbort");
    EXPECT_EQ(data.TakeQueuedMethods(), (QStringList{"DoBeginJob", "DoAbort"}));
    EXPECT_TRUE(data.TakeQueuedMethods().isEmpty());

    // A second abort goes to the programmer object only when one is set.
    data.DoubleAbort();
    int aborts = 0;
    data.SetDoubleAbortTarget([&] { ++aborts; });
    data.DoubleAbort();
    EXPECT_EQ(aborts, 1);
    data.SetDoubleAbortTarget({});

    data.SetRunningJob(true);
    EXPECT_TRUE(data.RunningJob());
    data.SetRunningJob(false);
    EXPECT_FALSE(data.RunningJob());
}

TEST(AutomationStateTest, ThreadCommunicationValueReachesItsObjectWhenEverItExists)
{
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    QList<qint32> received;

    // Before the object exists the value is kept, and handed over on arrival.
    data.SetThreadCommUtilPtr(0x1000);
    data.SetThreadCommTarget([&](qint32 v) { received << v; });
    EXPECT_EQ(received, QList<qint32>{0x1000});
    data.SetThreadCommUtilPtr(0x2000);
    EXPECT_EQ(received, (QList<qint32>{0x1000, 0x2000}));
    EXPECT_EQ(data.ThreadCommUtilPtr(), 0x2000);

    data.SetThreadCommTarget({});
    data.SetThreadCommUtilPtr(0);
}

TEST(AutomationStateTest, SettingsRefreshTickRunsOnceAndOnlyWhenArmed)
{
    CJobControlImpl& control = CJobControlImpl::Instance();
    bool armed = false;
    QStringList steps;
    control.SetSettingsRefresh({[&] { return armed; }, [&] { steps << "refresh"; },
                                [&] {
                                    steps << "disarm";
                                    armed = false;
                                }});

    control.OnSettingsRefreshTimer();
    EXPECT_TRUE(steps.isEmpty());

    armed = true;
    control.OnSettingsRefreshTimer();
    control.OnSettingsRefreshTimer();
    EXPECT_EQ(steps, (QStringList{"refresh", "disarm"}));

    // No window installed: a tick does nothing.
    control.SetSettingsRefresh({});
    control.OnSettingsRefreshTimer();
    EXPECT_EQ(steps.size(), 2);
}

} // namespace
