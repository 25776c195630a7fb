// The deferred-call server and the three automation classes in-process,
// against a station stand-in that records what they ask of it.
#include "TestEnv.h"
#include "automation/AutomationHost.h"
#include "automation/CJobControl.h"
#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitor.h"
#include "automation/CJobMonitorImpl.h"
#include "automation/CQxProgrammer.h"
#include "automation/CQxProgrammerData.h"
#include "automation/CQxProgrammerMsgServer.h"
#include "operation/RunResults.h"
#include "platform/AutomationError.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace {

void Pump()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// --- the deferred-call server ---

TEST(MsgServerTest, EachPostRunsOnceLaterWithItsOwnParameters)
{
    CQxProgrammerMsgServer server;
    QStringList ran;
    server.Init({"DoBeginJob", "DoDevicePlaced"},
                [&](const QString& name) { ran << name + ":" + server.GetParams(name).value(0).second.toString(); });
    EXPECT_EQ(server.GetMessageNumber("DoBeginJob"), 1024);
    EXPECT_EQ(server.GetMessageNumber("DoDevicePlaced"), 1025);
    EXPECT_EQ(server.GetMessageNumber("doDevicePlaced"), 0);

    server.EnqueueMethodWithParams("DoDevicePlaced", {{"lSiteNumber", 3}});
    server.EnqueueMethodWithParams("DoDevicePlaced", {{"lSiteNumber", 5}});
    server.EnqueueMethodCall("DoUnknown");
    EXPECT_TRUE(ran.isEmpty()); // nothing runs inside the posting call
    Pump();
    EXPECT_EQ(ran, (QStringList{"DoDevicePlaced:3", "DoDevicePlaced:5"}));
    // The unknown name ran nothing and waits only to be voided.
    EXPECT_EQ(server.PendingCalls(), QStringList{"DoUnknown"});

    EXPECT_EQ(CQxProgrammerMsgServer::StringizeParams({{"lNumDevices", 10}, {"sJobFile", "C:\\a.qx"}}), "10,C:\\a.qx");
    EXPECT_EQ(CQxProgrammerMsgServer::StringizeParams({}), "");
}

TEST(MsgServerTest, VoidedAndDesistedCallsRunNothing)
{
    CQxProgrammerMsgServer server;
    QStringList ran;
    QStringList log;
    server.Init({"DoBeginJob"}, [&](const QString& name) { ran << name; });
    server.SetLog([&](const QString& line) { log << line; });

    server.EnqueueMethodWithParams("DoBeginJob", {{"lQuantity", 1}});
    server.RemoveAllParams();
    Pump();
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_EQ(log, QStringList{"Dropped DoBeginJob"});

    // A call posted after the voiding runs as usual.
    server.EnqueueMethodWithParams("DoBeginJob", {{"lQuantity", 2}});
    Pump();
    EXPECT_EQ(ran, QStringList{"DoBeginJob"});

    server.EnqueueMethodCall("DoBeginJob");
    server.Desist();
    Pump();
    EXPECT_EQ(ran.size(), 1);
}

TEST(MsgServerTest, NestedCallsReadTheirOwnParameters)
{
    CQxProgrammerMsgServer server;
    QStringList seen;
    server.Init({"DoBeginJob", "DoDevicePlaced"}, [&](const QString& name) {
        if (name == "DoBeginJob") {
            server.EnqueueMethodWithParams("DoDevicePlaced", {{"lSiteNumber", 7}});
            Pump(); // a running job pumps: the placed call runs inside it
        }
        seen << name + ":"
                + CQxProgrammerMsgServer::Param(server.GetParams(name),
                                                name == "DoBeginJob" ? "lQuantity" : "lSiteNumber")
                      .toString();
    });
    server.EnqueueMethodWithParams("DoBeginJob", {{"lQuantity", 4}});
    Pump();
    EXPECT_EQ(seen, (QStringList{"DoDevicePlaced:7", "DoBeginJob:4"}));
}

// --- a station stand-in ---

class FakeStation : public AutomationHost
{
public:
    bool EnsureMainWindow(bool) override { return started; }
    bool MainWindowLoaded() const override { return started; }
    bool RunInProgress() const override { return operatorRuns; }
    void WriteLogInfo(const QString& text) override { log << text; }
    void OperationStatusText(const QString& text) override { status << text; }
    void SetQuantityText(const QString& text) override { quantity = text; }
    qint32 LoadQxFile(const QString& file) override { return QFile::exists(file) ? 0 : 17; }
    bool ExecLoadJobCmd(const QString& file) override
    {
        jobLoads << file;
        return LoadQxFile(file) == 0;
    }
    bool SaveQxFile(const QString&) override { return false; }
    qint32 ExecuteOperation() override
    {
        ++runs;
        if (duringRun)
            duringRun();
        return results.isEmpty() ? 0 : results.takeFirst();
    }
    bool StartHandlerSession() override
    {
        ++handlerSessions;
        return handlerStarts;
    }
    void PressStop() override { ++stops; }
    void LaunchHelp(QString&) override {}
    void SetDefaultConfiguration() override {}
    bool SetCustomOption(const QString& option, bool) override { return option == "Blank Check"; }
    bool LoadPatternFile(const QString&, qint32) override { return true; }
    qint32 HandlerType() const override { return handlerType; }
    bool LoadHandlerJobFile(const QString&) override { return true; }
    bool SaveHandlerJobFile(const QString&) override { return true; }
    void RefreshOption(const QString& option, bool enable) override
    {
        refreshed << QString("%1 %2").arg(option).arg(enable);
    }
    void ArmSettingsRefresh() override { ++refreshArmed; }
    void SelectJobTab() override { ++tabSelected; }
    void AbortSession() override {}
    void SetSiteStatus(qint32 site, qint32 status, qint32 code) override
    {
        sites << QString("%1,%2,%3").arg(site).arg(status).arg(code);
    }
    QVariant ThreadCommUtil() override { return socketArbiter; }
    void SetGuiReady(bool ready) override { guiReady << ready; }
    bool SilentMode() override { return silent; }
    void SetSilentMode(bool on) override
    {
        silent = on;
        silentPuts << on;
    }
    void AttachJobControl() override {}
    QString ErrorMessageText(qint32 code) override { return QString("text %1").arg(code); }
    QString SystemInfo() override { return "info"; }
    void SiteToSocket(qint32 virtSite, qint32& site, qint32& socket) override
    {
        site = virtSite / 4 + 1;
        socket = virtSite % 4;
        virtSite = -99; // a careless engine: the caller's index must not change
    }
    qint32 ExtraCommandCount() override { return extraCommands; }
    qint32 RunExtraCommand(const QString&, const QString&) override { return 0; }
    qint32 ApplyJobParameter(const QString&, const QString& value) override { return value.toInt(); }

    bool started = true;
    qint32 handlerType = 0;
    bool handlerStarts = true;
    int handlerSessions = 0;
    QStringList refreshed;
    bool operatorRuns = false;
    qint32 extraCommands = 0;
    QStringList log, status, arbiter, sites, jobLoads;
    QVariant socketArbiter;
    QString quantity = "unchanged";
    QList<qint32> results;
    QList<bool> guiReady;
    bool silent = false;
    QList<bool> silentPuts;
    int runs = 0, stops = 0, refreshArmed = 0, tabSelected = 0;
    std::function<void()> duringRun;
};

class AutomationClassesTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        SetAutomationHost(&station);
        CQxProgrammerData::Instance().SetDeviceArbiterCall([this](const QString& member, QVariantList& args) {
            station.arbiter << member + "(" + (args.isEmpty() ? QString() : args.first().toString()) + ")";
            return true;
        });
        CQxProgrammerData::Instance().SetSocketArbiterSource([this] {
            return CQxProgrammerData::ArbiterCall([this](const QString& member, QVariantList& args) {
                station.arbiter << member + "(" + (args.isEmpty() ? QString() : args.first().toString()) + ")";
                return true;
            });
        });
    }
    void TearDown() override
    {
        Pump();
        CQxProgrammerData::Instance().SetDeviceArbiterCall({});
        CQxProgrammerData::Instance().SetSocketArbiterSource({});
        SetAutomationHost(nullptr);
        TarvoTest::TearDown();
    }
    QString jobFile()
    {
        const QString path = tempPath("job.qx");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        return path;
    }
    FakeStation station;
};

TEST_F(AutomationClassesTest, BeginJobQuantities)
{
    const QString job = jobFile();
    struct Case
    {
        int quantity;
        QString file;
        int result;
        QString box;
        int runs;
    };
    const QList<Case> cases{
        {1, job, 0, "1", 1},
        {3, job, 0, "3", 1},
        {65535, job, 0, "65535", 1},
        // 0: as many as the client brings, up to the most a job takes.
        {0, job, 0, "65535", 1},
        // A negative count or more than the box holds: refused before the
        // load.
        {-1, job, 154, "unchanged", 0},
        {65536, job, 154, "unchanged", 0},
        // The loader's failure is the job's result; nothing runs.
        {2, tempPath("missing.qx"), 17, "2", 0},
    };
    for (const Case& c : cases) {
        station.quantity = "unchanged";
        station.runs = 0;
        CQxProgrammer programmer;
        QSignalSpy done(&programmer, &CQxProgrammer::NotifyJobComplete);
        programmer.BeginJob(c.quantity, c.file);
        EXPECT_FALSE(programmer.LastError()) << c.quantity;
        EXPECT_EQ(done.count(), 0); // the job runs later
        Pump();
        ASSERT_EQ(done.count(), 1) << c.quantity;
        EXPECT_EQ(done.at(0).at(0).toInt(), c.result) << c.quantity;
        EXPECT_EQ(station.quantity, c.box) << c.quantity;
        EXPECT_EQ(station.runs, c.runs) << c.quantity;
        EXPECT_FALSE(CQxProgrammerData::Instance().RunningJob());
    }
}

TEST_F(AutomationClassesTest, JobControlQuantitiesOutsideTheBoxsRangeAreRefused)
{
    struct Case
    {
        int quantity;
        qint32 handlerType;
        bool refused;
        QString box;
    };
    const Case cases[] = {
        {1, 0, false, "1"},
        {65535, 0, false, "65535"},
        {0, 0, true, "unchanged"},
        {-1, 0, true, "unchanged"},
        {65536, 0, true, "unchanged"},
        {2147483647, 0, true, "unchanged"},
        // The automatic handler counts beyond the manual box's range.
        {65536, 1, false, "65536"},
        {0, 1, true, "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quantity);
        station.quantity = "unchanged";
        station.runs = station.handlerSessions = 0;
        station.handlerType = c.handlerType;
        CJobControl control;
        QSignalSpy done(&control, &CJobControl::NotifyJobComplete);
        control.BeginJob(c.quantity);
        ASSERT_EQ(bool(control.LastError()), c.refused);
        if (c.refused) {
            EXPECT_EQ(control.LastError()->name, "com.corvane.Tarvo.Error.CJOBCONTROL_E_INVALIDPARAMVALUE");
            EXPECT_EQ(control.LastError()->message, "0x80040222 CJobControl: The parameter value is invalid.");
        }
        Pump();
        EXPECT_EQ(station.quantity, c.box);
        EXPECT_EQ(station.runs + station.handlerSessions, c.refused ? 0 : 1);
        if (c.handlerType == 0)
            EXPECT_EQ(done.count(), c.refused ? 0 : 1);
        else if (!c.refused)
            CJobControlImpl::Instance().HandlerJobComplete(0);
    }
}

TEST_F(AutomationClassesTest, LoadQxFileIsTheMainWindowsJobLoadOfTheNamedFile)
{
    CJobControl control;
    const QString job = jobFile();
    control.LoadQxFile(job);
    EXPECT_FALSE(control.LastError());
    // The Open command's load (its folder and the handler's busy state),
    // not the bare loader.
    EXPECT_EQ(station.jobLoads, QStringList{job});
    control.LoadQxFile(tempPath("missing.qx"));
    ASSERT_TRUE(control.LastError());
    EXPECT_EQ(station.jobLoads, QStringList{job}); // refused before the load
}

TEST_F(AutomationClassesTest, AJobRunsAgainOn153AndRefusesASecondJob)
{
    CQxProgrammer programmer;
    QSignalSpy done(&programmer, &CQxProgrammer::NotifyJobComplete);
    QSignalSpy sockets(&programmer, &CQxProgrammer::NotifySocketStatusChanged);
    station.results = {153, 5};
    std::optional<automationerrors::BusError> refused;
    station.duringRun = [&] {
        if (station.runs != 1)
            return;
        programmer.BeginJob(1, jobFile());
        refused = programmer.LastError();
        programmer.DevicePlaced(0);
        programmer.SiteClosed(0);
        programmer.IncreaseErrors(2);
        Pump();
        CQxProgrammerData::Instance().FireEvent().SiteStatus(2, 9, 0, 1, 0, 1, 0);
    };
    programmer.SetSocaMode(1); // socket automation: the socket arbiter is taken
    programmer.BeginJob(1, jobFile());
    Pump();
    ASSERT_EQ(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toInt(), 5);
    EXPECT_EQ(station.runs, 2);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->name, "com.corvane.Tarvo.Error.JobRunning");
    EXPECT_EQ(refused->message, "A job is already running.");
    // Device calls reach the arbiter 1-based, site calls as given.
    EXPECT_EQ(station.arbiter,
              (QStringList{"NotifyDevicePlaced(1)", "NotifySiteClosed(0)", "NotifyErrorsIncreased(2)"}));
    ASSERT_EQ(sockets.count(), 1);
    EXPECT_EQ(sockets.at(0).at(1).toInt(), 9);

    // After the job the object is detached: site changes raise nothing, and
    // device calls are dropped.
    CQxProgrammerData::Instance().FireEvent().SiteStatus(1, 0, 0, 1, 0, 0, 0);
    programmer.DevicePlaced(1);
    Pump();
    EXPECT_EQ(sockets.count(), 1);
    EXPECT_EQ(station.arbiter.size(), 3);
    EXPECT_FALSE(CQxProgrammerData::Instance().QxProgrammerInstantiated());
}

TEST_F(AutomationClassesTest, TheComLogFollowsTheRegistrySwitch)
{
    SetComTransactionLog(true);
    CQxProgrammer programmer;
    station.duringRun = [&] {
        programmer.DevicePlaced(3);
        Pump();
        CQxProgrammerData::Instance().FireEvent().SiteStatus(3, 6, 0, 1, 2, 3, 4);
    };
    programmer.BeginJob(2, jobFile());
    programmer.BeginOperationOnPartiallyPopulatedSites();
    Pump();
    const QString job = tempPath("job.qx");
    EXPECT_EQ(
        station.log,
        (QStringList{"COM: Got DoBeginJob(2," + job + ")", "COM: Got BeginOperationOnPartiallyPopulatedSites()",
                     "COM: Got DoDevicePlaced(3)", "COM: Raising NotifySocketStatusChanged(3,ReadyToPICK,0,1,2,3,4)",
                     "COM: Raising NotifyJobComplete(0)"}));
    // Without the switch the next job logs nothing.
    SetComTransactionLog(false);
    station.log.clear();
    station.duringRun = {};
    programmer.BeginJob(2, jobFile());
    Pump();
    EXPECT_TRUE(station.log.isEmpty());
}

TEST_F(AutomationClassesTest, AClientThatLeavesMidJobHasItsJobStopped)
{
    auto programmer = std::make_unique<CQxProgrammer>();
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    bool inUseAfterLeaving = true;
    int stopsAfterLeaving = -1;
    station.duringRun = [&] {
        programmer->DevicePlaced(1);
        programmer.reset(); // the client's bus connection dropped
        inUseAfterLeaving = data.QxProgrammerInstantiated();
        Pump(); // its waiting call must not run on the next client
        stopsAfterLeaving = station.stops;
    };
    programmer->BeginJob(1, jobFile());
    Pump();
    EXPECT_EQ(station.runs, 1);
    EXPECT_FALSE(inUseAfterLeaving);
    // The run is stopped at once, as the operator's Stop stops it.
    EXPECT_EQ(stopsAfterLeaving, 1);
    EXPECT_EQ(station.stops, 1);
    EXPECT_FALSE(data.RunningJob());
    EXPECT_TRUE(station.arbiter.isEmpty());

    // A new client runs its own job.
    station.duringRun = {};
    CQxProgrammer next;
    QSignalSpy done(&next, &CQxProgrammer::NotifyJobComplete);
    next.BeginJob(1, jobFile());
    Pump();
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(station.stops, 1);

    // A job control's client that leaves before its job began: nothing runs.
    auto control = std::make_unique<CJobControl>();
    control->BeginJob(1);
    control.reset();
    station.runs = 0;
    Pump();
    EXPECT_EQ(station.runs, 0);
    EXPECT_FALSE(CJobControlImpl::Instance().JobQueued());
}

TEST_F(AutomationClassesTest, TheOperatorsRunRefusesAJob)
{
    station.operatorRuns = true;
    CQxProgrammer programmer;
    QSignalSpy done(&programmer, &CQxProgrammer::NotifyJobComplete);
    programmer.BeginJob(1, jobFile());
    ASSERT_TRUE(programmer.LastError());
    EXPECT_EQ(programmer.LastError()->name, "com.corvane.Tarvo.Error.JobRunning");
    CJobControl control;
    control.BeginJob(1);
    ASSERT_TRUE(control.LastError());
    EXPECT_EQ(control.LastError()->name, "com.corvane.Tarvo.Error.JobRunning");
    Pump();
    EXPECT_EQ(done.count(), 0);
    EXPECT_EQ(station.runs, 0);
}

TEST_F(AutomationClassesTest, InAutohandlerModeEachJobIsTheHandlersSessionAndEndsInOneNotice)
{
    station.handlerType = 1;
    CJobControl control;
    CJobMonitor monitor;
    QSignalSpy done(&control, &CJobControl::NotifyJobComplete);
    QSignalSpy monitored(&monitor, &CJobMonitor::NotifyJobComplete);

    control.BeginJob(4);
    Pump();
    // The handler's session runs the job, not the operation window; it has
    // not ended yet, and meanwhile a second job is refused.
    EXPECT_EQ(station.handlerSessions, 1);
    EXPECT_EQ(station.runs, 0);
    EXPECT_EQ(station.quantity, "4");
    EXPECT_EQ(done.count(), 0);
    control.BeginJob(1);
    ASSERT_TRUE(control.LastError());
    EXPECT_EQ(control.LastError()->name, "com.corvane.Tarvo.Error.JobRunning");
    CQxProgrammer programmer;
    programmer.BeginJob(1, jobFile());
    ASSERT_TRUE(programmer.LastError());

    CJobControlImpl::Instance().HandlerJobComplete(3);
    Pump();
    ASSERT_EQ(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toInt(), 3);
    EXPECT_EQ(monitored.count(), 1);

    // A handler that does not start its session: the job ends at once, once.
    station.handlerStarts = false;
    control.BeginJob(2);
    EXPECT_FALSE(control.LastError());
    Pump();
    ASSERT_EQ(done.count(), 2);
    EXPECT_EQ(done.at(1).at(0).toInt(), RunResult::CallFailed);
    EXPECT_FALSE(CJobControlImpl::Instance().JobQueued());

    // The end of a handler session the operator started reaches the
    // monitor only: no CJobControl began it.
    const qsizetype monitoredBefore = monitored.count();
    CJobControlImpl::Instance().HandlerJobComplete(5);
    Pump();
    EXPECT_EQ(done.count(), 2);
    ASSERT_EQ(monitored.count(), monitoredBefore + 1);
    EXPECT_EQ(monitored.last().at(0).toInt(), 5);
}

TEST_F(AutomationClassesTest, AClientsJobRunsSilentAndTheEngineGetsItsValueBack)
{
    QList<bool> silentInRun;
    station.duringRun = [&] { silentInRun << station.silent; };
    CJobControl control;
    CQxProgrammer programmer;

    control.BeginJob(2);
    Pump();
    programmer.BeginJob(2, jobFile());
    Pump();
    EXPECT_EQ(silentInRun, (QList<bool>{true, true}));
    EXPECT_EQ(station.silentPuts, (QList<bool>{true, false, true, false}));

    // The automatic handler's session stays silent until its end.
    station.handlerType = 1;
    control.BeginJob(2);
    Pump();
    EXPECT_TRUE(station.silent);
    CJobControlImpl::Instance().HandlerJobComplete(0);
    EXPECT_FALSE(station.silent);
    station.handlerType = 0;

    // An engine that is silent already stays so; a station switched to show
    // its clients the boxes leaves the engine as it is.
    station.silentPuts.clear();
    station.silent = true;
    control.BeginJob(1);
    Pump();
    EXPECT_TRUE(station.silent);
    station.silent = false;
    SetSilentClientJobs(false);
    control.BeginJob(1);
    Pump();
    EXPECT_TRUE(station.silentPuts.isEmpty());
    EXPECT_EQ(silentInRun.mid(2), (QList<bool>{true, false}));
}

TEST_F(AutomationClassesTest, SeveralProgrammersAreALiveSet)
{
    auto older = std::make_unique<CQxProgrammer>();
    CQxProgrammer newer;
    EXPECT_EQ(CQxProgrammerData::Instance().GetQxProgrammer(), &newer);
    older.reset();
    // The older one's end neither detaches the newer nor tells the engine
    // the automation GUI is gone.
    EXPECT_EQ(CQxProgrammerData::Instance().GetQxProgrammer(), &newer);
    EXPECT_FALSE(station.guiReady.contains(false));
    QSignalSpy done(&newer, &CQxProgrammer::NotifyJobComplete);
    newer.BeginJob(65536, {});
    Pump();
    EXPECT_EQ(done.count(), 1);

    // An object made while a job runs waits for the next job: the running
    // one keeps its events and its notice, and only its own client places.
    std::unique_ptr<CQxProgrammer> meanwhile;
    QObject* attachedDuringRun = nullptr;
    station.duringRun = [&] {
        meanwhile = std::make_unique<CQxProgrammer>();
        attachedDuringRun = CQxProgrammerData::Instance().GetQxProgrammer();
        meanwhile->DevicePlaced(3);
        newer.DevicePlaced(2);
        Pump();
    };
    newer.BeginJob(1, jobFile());
    Pump();
    station.duringRun = {};
    EXPECT_EQ(attachedDuringRun, &newer);
    EXPECT_EQ(station.arbiter, QStringList{"NotifyDevicePlaced(3)"});
    ASSERT_EQ(done.count(), 2);
    EXPECT_EQ(CQxProgrammerData::Instance().GetQxProgrammer(), meanwhile.get());
}

TEST_F(AutomationClassesTest, SetJobParameterErrors)
{
    CJobControl control;
    struct Case
    {
        QString name, value;
        QString error, message;
    };
    const QString prefix = "com.corvane.Tarvo.Error.";
    const QList<Case> cases{
        {"DeviceCustomOptions.Blank Check", "enable", "CJOBCONTROL_E_INVALIDPARAMVALUE",
         "0x80040222 CJobControl: The parameter value is invalid."},
        {"DeviceCustomOptions.Nothing", "ENABLE", "CJOBCONTROL_E_INVALIDPARAMNAME",
         "0x80040221 CJobControl: The parameter name is invalid."},
        {"DeviceConfig.Erase", "1", "CJOBCONTROL_E_UNSUPPORTEDPARAMNAME",
         "0x80040223 CJobControl: The parameter name is unsupported by the current Tarvo/hardware configuration."},
        {"DeviceOptions.Operation", "4", "CJOBCONTROL_E_UNSUPPORTEDPARAMVALUE",
         "0x80040224 CJobControl: The parameter value is unsupported by the current Tarvo/hardware configuration."},
        // Engine codes outside 1 to 4 keep their number, with no text.
        {"DeviceOptions.Operation", "7", "JobParameter", "0x80040227 CJobControl: "},
        {"Other", "-1", "JobParameter", "0x8004021F CJobControl: "},
    };
    for (const Case& c : cases) {
        control.SetJobParameter(c.name, c.value);
        ASSERT_TRUE(control.LastError()) << c.name.toStdString();
        EXPECT_EQ(control.LastError()->name, prefix + c.error) << c.value.toStdString();
        EXPECT_EQ(control.LastError()->message, c.message);
    }
    // Refusals of job parameters are not status lines, and arm nothing.
    EXPECT_TRUE(station.status.isEmpty());
    EXPECT_EQ(station.refreshArmed, 0);

    control.SetJobParameter("DeviceCustomOptions.Blank Check", "DISABLE");
    EXPECT_FALSE(control.LastError());
    EXPECT_EQ(station.refreshArmed, 0); // only the engine's parameters arm it
    control.SetJobParameter("DeviceOptions.Operation", "0");
    control.SetJobParameter("DeviceOptions.Speed", "0");
    EXPECT_FALSE(control.LastError());
    EXPECT_EQ(station.refreshArmed, 2);
    EXPECT_EQ(station.tabSelected, 1);
}

TEST_F(AutomationClassesTest, TheSettingsRefreshTickChangesOnlyTheRowsTheParametersName)
{
    bool armed = false;
    CJobControlImpl::Instance().SetSettingsRefresh({[&] { return armed; }, [] {}, [&] { armed = false; }});
    CJobControlImpl::Instance().OnSettingsRefreshTimer();
    EXPECT_TRUE(station.refreshed.isEmpty());
    // Whatever earlier parameters left pending is applied first.
    armed = true;
    CJobControlImpl::Instance().OnSettingsRefreshTimer();
    station.refreshed.clear();
    // The tick touches only the rows the parameters name: the operation's
    // name none, an option its own row, ticked or cleared by the value.
    CJobControl control;
    for (const auto& [name, value] : {std::pair{"DeviceOptions.Operation", "Program"},
                                      {"DeviceOptions.Blank Check", "DISABLE"},
                                      {"DeviceOptions.Verify", "ENABLE"}}) {
        control.SetJobParameter(name, value);
        EXPECT_FALSE(control.LastError()) << name;
    }
    armed = true;
    CJobControlImpl::Instance().OnSettingsRefreshTimer();
    CJobControlImpl::Instance().OnSettingsRefreshTimer();
    EXPECT_EQ(station.refreshed, (QStringList{"Blank Check 0", "Verify 1"}));

    // A name set again is refreshed once, with its last value, after the
    // names set before its last setting (a client that sets one parameter
    // a thousand times costs one refresh).
    station.refreshed.clear();
    for (const auto& [name, value] : {std::pair{"DeviceOptions.Verify Once", "ENABLE"},
                                      {"DeviceOptions.Blank Check", "DISABLE"},
                                      {"DeviceOptions.Verify Twice", "ENABLE"},
                                      {"DeviceOptions.Blank Check", "ENABLE"},
                                      {"DeviceOptions.Verify Once", "ENABLE"}})
        control.SetJobParameter(name, value);
    armed = true;
    CJobControlImpl::Instance().OnSettingsRefreshTimer();
    EXPECT_EQ(station.refreshed, (QStringList{"Verify Twice 1", "Blank Check 1", "Verify Once 1"}));
    CJobControlImpl::Instance().SetSettingsRefresh({});
}

TEST_F(AutomationClassesTest, EveryLiveMonitorGetsSiteAndSocket)
{
    auto older = std::make_unique<CJobMonitor>();
    CJobMonitor newer;
    QSignalSpy olderFailed(older.get(), &CJobMonitor::NotifySocketFailed);
    QSignalSpy failed(&newer, &CJobMonitor::NotifySocketFailed);
    QSignalSpy passed(&newer, &CJobMonitor::NotifySocketPassed);
    qint32 status = 1, index = 6, code = 0x21;
    CJobMonitorImpl::Instance().FireSiteStatus(status, index, code);
    EXPECT_EQ(index, 6); // the engine got a copy
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0), (QList<QVariant>{2, 2, 0x21}));
    // A newer monitor does not silence an older one.
    ASSERT_EQ(olderFailed.count(), 1);
    EXPECT_EQ(olderFailed.at(0), failed.at(0));

    older.reset();
    status = 0;
    CJobMonitorImpl::Instance().FireSiteStatus(status, index, code);
    EXPECT_EQ(passed.count(), 1);
    EXPECT_EQ(newer.GetSystemInfo(), "info");
}

} // namespace
