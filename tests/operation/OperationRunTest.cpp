// The run on an engine and a host of the test's own: the way a run is
// chosen, the device loop, Stop, the site results and the progress bars.
// The engine plays its part from inside ExecuteDeviceCommand: it reports the
// site active, then passed or failed, as the real engine's events would.

#include "FakeRunHost.h"
#include "TestEnv.h"

#include "automation/CFireEvent.h"
#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitorImpl.h"
#include "automation/CQxProgrammerData.h"
#include "engine/EngineCodes.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "operation/OperationRun.h"
#include "operation/RunCounters.h"
#include "operation/RunResults.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/DispatchObject.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"

#include <QSignalSpy>
#include <array>
#include <functional>
#include <limits>

namespace {

using namespace QXPgmrId;

// One device's part of the engine: what it reports and returns.
struct DeviceOutcome
{
    qint32 result = 0;    // ExecuteDeviceCommand's result
    qint32 failCode = -1; // -1: the site passes; else it fails with this code
    bool report = true;   // the engine reports the site at all
};

class RunOnFakeEngineTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        CQxProgrammerData::Instance().SetNumInserted(0);
        host.Data();
        host.fake->Store(PortIndex, QVariant::fromValue<qint32>(1));
        host.fake->Store(MasterSite, QVariant::fromValue<qint32>(1));
        host.fake->Store(ShowErrorMessages, VbBool(true));
        host.fake->On(SiteErrorText, [](InvokeKind, QVariantList& args) {
            return QVariant(QStringLiteral("site error %1").arg(args.value(0).toInt()));
        });
        host.fake->On(SiteStatusText, [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("1 of 1")); });
        host.fake->On(ErrorMessageText, [](InvokeKind, QVariantList& args) {
            return QVariant(QStringLiteral("engine result %1").arg(args.value(0).toInt()));
        });
        host.fake->On(IsStopResult, [this](InvokeKind, QVariantList& args) {
            return VbBool(stopResults.contains(args.value(0).toInt()));
        });
        for (int id : {BeginOperation, PrepareRun, FinishRunReport, AbortOperation})
            Record(id, nullptr);
        Record(RunOption60, "RunOption60");
        Record(CurrentDataPosition, "position");
        Record(CurrentBank, "bank");
        host.fake->On(RunCustomAction, [this](InvokeKind, QVariantList& args) {
            host.calls << "RunCustomAction " + args.value(0).toString();
            if (customActionFails)
                throw AutomationError(5, QStringLiteral("QXPgmr"), QStringLiteral("bad selection"));
            return QVariant();
        });
        host.fake->On(ExecuteDeviceCommand, [this](InvokeKind, QVariantList& args) {
            const qint32 device = devicesRun++;
            host.calls << QStringLiteral("ExecuteDeviceCommand %1").arg(args.value(0).toInt());
            if (duringDevice)
                duringDevice(device);
            if (device == failingCallAt)
                throw AutomationError(-2147418113, QStringLiteral("QXPgmr"), QStringLiteral("link lost"));
            const DeviceOutcome outcome = outcomes.value(device);
            run.SetSiteStatus(1, SiteStatus::Active, 0);
            if (outcome.report) {
                if (outcome.failCode < 0)
                    run.SetSiteStatus(1, SiteStatus::Passed, 0);
                else
                    run.SetSiteStatus(1, SiteStatus::Failed, outcome.failCode);
            }
            return QVariant::fromValue<qint16>(qint16(outcome.result));
        });
    }

    // Records a method call, or a property's puts, in the host's call list.
    void Record(int id, const char* property)
    {
        const QString name = property ? QLatin1String(property) : QString();
        host.fake->On(id, [this, id, name](InvokeKind kind, QVariantList& args) {
            if (name.isEmpty()) {
                host.calls << MethodName(id);
                return QVariant();
            }
            if (kind == InvokeKind::PropertyPut) {
                host.calls << QStringLiteral("%1 %2").arg(name, args.value(0).toString());
                host.fake->Store(id, args.value(0));
                return QVariant();
            }
            return host.fake->Stored(id);
        });
    }

    static QString MethodName(int id)
    {
        switch (id) {
        case BeginOperation: return QStringLiteral("BeginOperation");
        case PrepareRun: return QStringLiteral("PrepareRun");
        case FinishRunReport: return QStringLiteral("FinishRunReport");
        case AbortOperation: return QStringLiteral("AbortOperation");
        default: return QString::number(id);
        }
    }

    // The host's calls that match a prefix, in order.
    QStringList CallsStarting(const QStringList& prefixes) const
    {
        QStringList out;
        for (const QString& call : host.calls) {
            for (const QString& p : prefixes) {
                if (call.startsWith(p)) {
                    out << call;
                    break;
                }
            }
        }
        return out;
    }

    // The program tab with its program row ticked: command 4, repeatable.
    void ProgramTab(qint32 copies)
    {
        host.action = 1;
        host.rows[2] = {CheckBoxValue::Ticked, true, OperationCode::Program, QStringLiteral("Program"), true, true};
        host.SetCopies(copies);
    }

    FakeRunHost host;
    RunCounters counters;
    OperationRun run{host.station, host, counters};
    QList<DeviceOutcome> outcomes;
    QList<qint32> stopResults;
    int devicesRun = 0;
    int failingCallAt = -1;
    bool customActionFails = false;
    std::function<void(int)> duringDevice;
};

// --- engine command selection ---

TEST_F(RunOnFakeEngineTest, TheCommandAndWhetherTheActionRepeatsFollowTheTabAndItsRows)
{
    const struct
    {
        qint32 action;
        qint16 row2;
        qint16 row4;
        qint16 row3;
        qint32 row3Code; // -1: no selection
        qint32 command;
        bool repeatable;
    } cases[] = {
        {1, 1, 1, 0, -1, 4, true},                                       // program row ticked
        {1, 2, 0, 0, -1, 4, true},                                       // greyed counts as set
        {1, 0, 1, 0, -1, 0, true},                                       // only the row below
        {1, 0, 2, 0, -1, 6, true},                                       // greyed row 4 is not "checked"
        {1, 0, 0, 0, -1, 6, true},                                       // neither
        {2, 0, 0, 1, 39, 9, true},                                       // row 3 ticked, whatever it holds
        {2, 0, 0, 0, 39, 7, false},                                      // by sum
        {2, 0, 0, 0, 38, 2, false},                                      // by compare
        {2, 0, 0, 0, 4096 + 38, 2, false}, {2, 0, 0, 0, 4109, 15, true}, // with encryption
        {2, 0, 0, 0, 13, 9, true},         {2, 0, 0, 0, -1, 9, true},
        {3, 0, 0, 0, -1, 5, false},        {4, 0, 0, 0, -1, 1, true},
        {5, 0, 0, 0, -1, 8, true},         {6, 0, 0, 0, -1, 6, true},
        {7, 0, 0, 0, -1, 3, true},         {8, 0, 0, 0, -1, 14, true},
        {9, 0, 0, 0, -1, 9, true}, // beyond the action count
        {0, 0, 0, 0, -1, 9, false},
    };
    for (const auto& c : cases) {
        host.action = c.action;
        host.rows[2].check = c.row2;
        host.rows[4].check = c.row4;
        host.rows[3] = {c.row3, c.row3Code >= 0, std::max(c.row3Code, 0), QString(), true, true};
        EXPECT_EQ(run.GetPgmrCommandToRun(), c.command) << c.action << " " << c.row3Code;
        EXPECT_EQ(run.ActionIsRepeatable(c.action), c.repeatable) << c.action << " " << c.row3Code;
    }
}

TEST_F(RunOnFakeEngineTest, AQuantityThatIsNoPositiveNumberBecomesOneBeforeTheRun)
{
    // The quantity comes through the station's rule (a number out of range
    // is told in a box); what is left that is no number, the run makes 1.
    const struct
    {
        const char* typed;
        bool outOfRange;
        const char* after;
    } cases[] = {{"0", true, "1"}, {"-3", true, "1"}, {"abc", false, "1"},
                 {"", false, "1"}, {"5", false, "5"}, {"12abc", false, "12"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        host.SetCopies(1);
        host.calls.clear();
        const qsizetype boxes = ui().Shown().size();
        if (c.outOfRange)
            ui().Answer(vb::vbOK);
        host.station.SetQuantityText(QString::fromLatin1(c.typed));
        EXPECT_EQ(ui().Shown().size() - boxes, c.outOfRange ? 1 : 0);
        host.data->blnDeviceSelected = false;
        host.answers = {vb::vbOK};
        run.ActionClicked();
        EXPECT_EQ(host.station.QuantityText(), QLatin1String(c.after));
        EXPECT_EQ(host.station.NumCopies(), QString::fromLatin1(c.after).toInt());
        ASSERT_FALSE(host.calls.isEmpty());
        EXPECT_EQ(host.calls.first(), QStringLiteral("log Tarvo Main:  Manual Handler Quantity = ") + c.after);
    }
}

// --- the way a run is chosen ---

TEST_F(RunOnFakeEngineTest, TheWayARunIsChosenAndWhatItLeavesBehind)
{
    CJobControlImpl& control = CJobControlImpl::Instance();
    CJobMonitorImpl& monitor = CJobMonitorImpl::Instance();
    control.Attach();
    monitor.Attach();
    const struct
    {
        const char* name;
        bool client;
        bool concurrent;
        qint32 copies;
        qint32 handlerType;
        qint32 action;
        qint32 row2Code; // program row's operation (12 program, 1024 + i a variant)
        bool customFails;
        bool busy;
        bool noDevice;
        bool setMode;
        QStringList engineCalls;
        qint32 result;
        int notified;
    } cases[] = {
        {"device loop",
         false,
         false,
         1,
         0,
         1,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun", "position 0", "bank 0", "ExecuteDeviceCommand 4"},
         0,
         1},
        {"client attached: session",
         true,
         false,
         1,
         0,
         1,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun"},
         0,
         1},
        {"concurrent, quantity 3: session",
         false,
         true,
         3,
         0,
         1,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun"},
         0,
         1},
        {"concurrent, quantity 1: device loop",
         false,
         true,
         1,
         0,
         1,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun", "position 0", "bank 0", "ExecuteDeviceCommand 4"},
         0,
         1},
        {"concurrent, read: device loop",
         false,
         true,
         3,
         0,
         3,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun", "position 0", "bank 0", "ExecuteDeviceCommand 5"},
         0,
         1},
        {"automatic handler: novice off, session",
         false,
         true,
         1,
         1,
         1,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 0", "handler EnableHandlerGui 0", "PrepareRun", "handler EnableHandlerGui -1"},
         RunResult::NotManualHandler,
         0},
        {"program variant: variant loop",
         false,
         false,
         1,
         0,
         1,
         1025,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun"},
         RunResult::VariantOutOfRange,
         1},
        {"custom action",
         false,
         false,
         1,
         0,
         8,
         12,
         false,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun", "RunCustomAction @Fuse:1,0,", "position 0", "bank 0",
          "ExecuteDeviceCommand 14"},
         0,
         1},
        {"custom action refused",
         false,
         false,
         1,
         0,
         8,
         12,
         true,
         false,
         false,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun", "RunCustomAction @Fuse:1,0,"},
         RunResult::CustomActionFailed,
         1},
        {"no device",
         false,
         false,
         1,
         0,
         1,
         12,
         false,
         false,
         true,
         false,
         {"BeginOperation", "RunOption60 -1", "PrepareRun"},
         RunResult::NoDeviceSelected,
         1},
        {"sets mode on a concurrent programmer",
         false,
         true,
         1,
         0,
         1,
         12,
         false,
         false,
         false,
         true,
         {"BeginOperation"},
         RunResult::SetModeRefused,
         1},
        {"second request while running",
         false,
         false,
         1,
         0,
         1,
         12,
         false,
         true,
         false,
         false,
         {"BeginOperation"},
         RunResult::Busy,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        host.prompts.clear();
        devicesRun = 0;
        if (c.client) {
            // A client's job is running: the run is its session.
            CQxProgrammerData::Instance().AttachProgrammer();
            CQxProgrammerData::Instance().StartClientJob(nullptr, QStringLiteral("client"));
            CQxProgrammerData::Instance().SetRunningJob(true);
        }
        host.fake->Store(IsConcurrentProgrammer, VbBool(c.concurrent));
        host.fake->Store(SetMode, QVariant::fromValue<qint32>(c.setMode ? 1 : 0));
        host.fake->Store(SetWidth, QVariant::fromValue<qint32>(c.setMode ? 2 : 1));
        host.fake->Store(OperationRunsConcurrently, VbBool(false));
        ProgramTab(c.copies);
        host.action = c.action;
        host.rows[2].code = c.row2Code;
        host.tabCaption = QStringLiteral("Fuse");
        host.procRequired = {true, false, false};
        host.rows[0] = {CheckBoxValue::Cleared, true, 0, QString(), true, true};
        customActionFails = c.customFails;
        host.data->udtHandlerType = c.handlerType;
        host.data->bNoviceMode = true;
        host.data->blnDeviceSelected = !c.noDevice;
        run.mbActionClicked = c.busy;
        QSignalSpy controlDone(&control, &CJobControlImpl::NotifyJobComplete);
        QSignalSpy monitorDone(&monitor, &CJobMonitorImpl::NotifyJobComplete);

        EXPECT_EQ(run.ExecuteOperation(), c.result);

        EXPECT_EQ(CallsStarting({"BeginOperation", "RunOption60", "PrepareRun", "FinishRunReport", "position", "bank",
                                 "ExecuteDeviceCommand", "RunCustomAction", "handler"}),
                  c.engineCalls);
        // No CJobControl began the run: only the monitor hears its end.
        EXPECT_EQ(controlDone.size(), 0);
        ASSERT_EQ(monitorDone.size(), c.notified);
        if (c.notified) {
            EXPECT_EQ(monitorDone.first().first().toInt(), c.result);
        }
        if (c.busy) {
            // The run that is going keeps the station.
            EXPECT_TRUE(run.mbActionClicked);
            run.mbActionClicked = false;
        } else if (!c.setMode) {
            // Restored in full, in order.
            EXPECT_EQ(CallsStarting({"caption", "lock", "menu", "rebuild"}).mid(2),
                      (QStringList{"caption", "lock 0", "menu 1", "rebuild rows"}));
            EXPECT_FALSE(host.optionsLocked);
            EXPECT_TRUE(host.menuEnabled);
            EXPECT_FALSE(run.mbActionClicked);
            EXPECT_FALSE(host.data->blnInAction);
            EXPECT_TRUE(host.calls.contains("save choices"));
        } else {
            EXPECT_EQ(host.prompts,
                      (QStringList{"SET mode is not supported on concurrent programmers!|16|SET Mode Error"}));
            EXPECT_FALSE(run.mbActionClicked);
        }
        if (c.noDevice) {
            EXPECT_TRUE(host.prompts.value(0).endsWith(QStringLiteral("|48|DEVICE SELECTION")));
        }
        if (c.client) {
            CQxProgrammerData::Instance().SetRunningJob(false);
            CQxProgrammerData::Instance().EndClientJob();
            CQxProgrammerData::Instance().ReleaseProgrammer();
        }
    }
    control.Release();
    monitor.Release();
}

TEST_F(RunOnFakeEngineTest, WithAnAutomaticHandlerActionStartsItsSessionInstead)
{
    ProgramTab(25);
    host.data->udtHandlerType = 2;
    run.ActionClicked();
    EXPECT_TRUE(host.calls.contains(QStringLiteral("handler StartSession 25")));
    EXPECT_FALSE(host.calls.contains(QStringLiteral("BeginOperation")));

    // A test-only station runs the job itself.
    host.calls.clear();
    host.fake->Store(TestOnlyStation, VbBool(true));
    run.ActionClicked();
    EXPECT_TRUE(host.calls.contains(QStringLiteral("BeginOperation")));
}

TEST_F(RunOnFakeEngineTest, ThePowerSupplyLogFolderGoesToTheEngineOnlyWhenSwitchedOnAndNotInDemoMode)
{
    QStringList folders;
    host.fake->On(SetPowerSupplyLogFolder, [&](InvokeKind, QVariantList& args) {
        folders << args.value(0).toString();
        return QVariant();
    });
    SaveSettingValue(appinfo::App(), QStringLiteral("Application"), QStringLiteral("PSLogFile_Dir"),
                     QStringLiteral("/var/pslog"));
    run.Start_PowerSupplyLogFile();
    SaveSettingValue(appinfo::App(), QStringLiteral("Application"), QStringLiteral("PSLogFile_Enable"),
                     QStringLiteral("1"));
    host.fake->Store(PortIndex, QVariant::fromValue<qint32>(0));
    run.Start_PowerSupplyLogFile();
    host.fake->Store(PortIndex, QVariant::fromValue<qint32>(2));
    run.Start_PowerSupplyLogFile();
    EXPECT_EQ(folders, QStringList{"/var/pslog"});
}

// --- the device loop ---

TEST_F(RunOnFakeEngineTest, TheLoopRunsUntilTheQuantityPassedOrTheOperatorCancels)
{
    const struct
    {
        qint32 copies;
        int cancelAt; // the prompt answered Cancel, 0 for none
        int devices;
        int prompts;
        qint32 passed;
    } cases[] = {
        {1, 0, 1, 0, 1}, {3, 0, 3, 2, 3},  {0, 1, 1, 1, 1}, // a quantity of 0 runs until Cancel
        {0, 4, 4, 4, 4}, {-2, 2, 2, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.copies);
        host.prompts.clear();
        host.calls.clear();
        devicesRun = 0;
        ProgramTab(c.copies);
        host.answers.clear();
        for (int k = 1; k <= c.prompts; ++k)
            host.answers << (k == c.cancelAt ? vb::vbCancel : vb::vbOK);

        EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Success);

        EXPECT_EQ(devicesRun, c.devices);
        EXPECT_EQ(host.prompts, QStringList(c.prompts, QStringLiteral("Insert next device|1|") + appinfo::App()));
        EXPECT_EQ(counters.lngNumPassed, c.passed);
        EXPECT_EQ(counters.lngNumFailed, 0);
        // The summary comes after a run of more than one copy.
        EXPECT_EQ(host.calls.contains("summary"), c.copies != 1);
        // Each device is committed, placed and run.
        EXPECT_EQ(CallsStarting({"options", "position", "bank", "ExecuteDeviceCommand"}).size(), c.devices * 4);
    }
}

TEST_F(RunOnFakeEngineTest, SetsModeStepsThroughEveryPositionAndBank)
{
    ProgramTab(1);
    host.fake->Store(DeviceSupportsSetsAndBanks, VbBool(true));
    host.fake->Store(SetMode, QVariant::fromValue<qint32>(1));
    host.fake->Store(SetWidth, QVariant::fromValue<qint32>(2));
    host.fake->Store(BankCount, QVariant::fromValue<qint32>(3));

    EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Success);

    const QString title = QStringLiteral("|1|") + appinfo::App();
    EXPECT_EQ(host.prompts,
              (QStringList{"Insert device at data position  0 in bank  0" + title,
                           "Insert device at data position  1 in bank  0" + title,
                           "Insert device at data position  0 in bank  1" + title,
                           "Insert device at data position  1 in bank  1" + title,
                           "Insert device at data position  0 in bank  2" + title,
                           "Insert device at data position  1 in bank  2" + title}));
    EXPECT_EQ(CallsStarting({"position", "bank"}),
              (QStringList{"position 0", "bank 0", "position 1", "bank 0", "position 0", "bank 1", "position 1",
                           "bank 1", "position 0", "bank 2", "position 1", "bank 2"}));
    EXPECT_EQ(counters.lngNumPassed, 6);
}

TEST_F(RunOnFakeEngineTest, TheSetsModeCountIsHeldToTheLargestLong)
{
    host.fake->Store(DeviceSupportsSetsAndBanks, VbBool(true));
    host.fake->Store(SetMode, QVariant::fromValue<qint32>(1));
    host.fake->Store(SetWidth, QVariant::fromValue<qint32>(256));
    host.fake->Store(BankCount, QVariant::fromValue<qint32>(256));
    bool setsMode = false;
    qint64 count = 65535;
    qint32 position = -1;
    qint32 bank = -1;
    run.GetSetsParameters(setsMode, count, position, bank);
    EXPECT_TRUE(setsMode);
    EXPECT_EQ(count, std::numeric_limits<qint32>::max());
    EXPECT_EQ(position, 0);
    EXPECT_EQ(bank, 0);

    // Single mode on a device with sets: the window's choice, none read as 0.
    host.fake->Store(SetMode, QVariant::fromValue<qint32>(0));
    host.positionIndex = 1;
    host.bankIndex = -1;
    count = 3;
    run.GetSetsParameters(setsMode, count, position, bank);
    EXPECT_FALSE(setsMode);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(bank, 0);
}

TEST_F(RunOnFakeEngineTest, AFailedDeviceIsLoggedCountedInItsCategoryAndTheLoopGoesOn)
{
    const struct
    {
        qint32 failCode;
        qint32 RunCounters::*category;
    } cases[] = {
        {4, &RunCounters::lngNumFailedOverCurrent},
        {14, &RunCounters::lngNumFailedContinuity},
        {21, &RunCounters::lngNumFailedProgramming},
        {22, &RunCounters::lngNumFailedErase},
        {23, &RunCounters::lngNumFailedBadID},
        {26, &RunCounters::lngNumFailedNonBlank},
        {27, &RunCounters::lngNumFailedSecurity},
        {28, &RunCounters::lngNumFailedVerify},
        {37, &RunCounters::lngNumFailedIllegalBit},
        {38, &RunCounters::lngNumFailedFunctionality},
        {39, &RunCounters::lngNumFailedAlreadySecured},
        {99, &RunCounters::lngNumFailedOther},
        {29, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failCode);
        host.prompts.clear();
        host.calls.clear();
        devicesRun = 0;
        ProgramTab(2);
        // Device 2 fails; two more pass.
        outcomes = {{}, {7, c.failCode}, {}};
        EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Success);
        EXPECT_EQ(devicesRun, 3);
        EXPECT_EQ(counters.lngNumPassed, 2);
        EXPECT_EQ(counters.lngNumFailed, 1);
        if (c.category) {
            EXPECT_EQ(counters.*c.category, 1);
        }
        EXPECT_EQ(counters.CategorisedFailures(), c.category ? 1 : 0);
        EXPECT_TRUE(host.calls.contains(QStringLiteral("site 0 1 '' 'site error %1'").arg(c.failCode)));
        const QString message = QStringLiteral("Failed to perform operation on device.\r\nengine result 7");
        EXPECT_EQ(host.calls.count("log Error Message: " + message), 1);
        EXPECT_TRUE(host.prompts.contains(message + QStringLiteral("|48|") + appinfo::App()));
    }
}

TEST_F(RunOnFakeEngineTest, FailuresThatAreSilentFinalOrFromACall)
{
    // A blank check's failure: no log line, no box.
    host.action = 4;
    host.SetCopies(1);
    outcomes = {{3, 26}};
    EXPECT_EQ(run.ExecuteOperationCore(), 3);
    EXPECT_TRUE(host.prompts.isEmpty());
    EXPECT_TRUE(CallsStarting({"log"}).isEmpty());
    EXPECT_EQ(counters.lngNumFailedNonBlank, 1);

    // An engine error the engine calls final ends the loop with its result.
    host.calls.clear();
    devicesRun = 0;
    ProgramTab(5);
    outcomes = {{}, {86, 1}, {}};
    stopResults = {86};
    host.fake->Store(SilentMode, VbBool(true));
    EXPECT_EQ(run.ExecuteOperationCore(), 86);
    EXPECT_EQ(devicesRun, 2);
    EXPECT_EQ(host.calls.count("log Error Message: Failed to perform operation on device.\r\nengine result 86"), 1);
    // Silent: no box, only the next-device prompt.
    EXPECT_EQ(host.prompts.size(), 1);

    // A call that fails: said, logged, non-zero, the station handed back.
    host.calls.clear();
    devicesRun = 0;
    outcomes.clear();
    failingCallAt = 1;
    EXPECT_EQ(run.ExecuteOperationCore(), RunResult::CallFailed);
    EXPECT_EQ(devicesRun, 2);
    EXPECT_TRUE(host.calls.contains(QStringLiteral("status Operation failed: link lost")));
    EXPECT_EQ(CallsStarting({"log Error Message: Operation failed: link lost"}).size(), 1);
    EXPECT_FALSE(host.data->blnInAction);
    EXPECT_FALSE(run.mbActionClicked);
    EXPECT_TRUE(host.menuEnabled);
    EXPECT_FALSE(host.optionsLocked);
    EXPECT_EQ(host.calls.last(), QStringLiteral("buttons"));
}

TEST_F(RunOnFakeEngineTest, AFailingCallBeforeTheLoopKeepsTheTabsChoicesAndUnlocksTheStation)
{
    host.fake->On(PrepareRun, [this](InvokeKind, QVariantList&) -> QVariant {
        throw AutomationError(-2147418113, QStringLiteral("QXPgmr"), QStringLiteral("not ready"));
    });
    ProgramTab(3);
    EXPECT_EQ(run.ExecuteOperationCore(), RunResult::CallFailed);
    EXPECT_EQ(devicesRun, 0);
    // The choices are stored before the rows are rebuilt from the store.
    EXPECT_EQ(CallsStarting({"save choices", "rebuild rows"}), (QStringList{"save choices", "rebuild rows"}));
    EXPECT_TRUE(host.calls.contains(QStringLiteral("status Operation failed: not ready")));
    EXPECT_TRUE(host.menuEnabled);
    EXPECT_FALSE(host.optionsLocked);
    EXPECT_FALSE(run.mbActionClicked);
    EXPECT_FALSE(host.data->blnInAction);

    // The next request runs.
    host.fake->On(PrepareRun, [](InvokeKind, QVariantList&) { return QVariant(); });
    host.SetCopies(1);
    EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Success);
    EXPECT_EQ(devicesRun, 1);
}

TEST_F(RunOnFakeEngineTest, DemoModeRunsOneDeviceAndHandsTheStationBack)
{
    ProgramTab(3);
    host.fake->Store(PortIndex, QVariant::fromValue<qint32>(0));
    outcomes = {{7, 21}};
    EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Success);
    EXPECT_EQ(devicesRun, 1);
    // No result handling and no summary, but nothing left running.
    EXPECT_TRUE(CallsStarting({"log"}).isEmpty());
    EXPECT_FALSE(host.calls.contains("summary"));
    EXPECT_FALSE(host.data->blnInAction);
    EXPECT_EQ(CallsStarting({"buttons"}).size(), 2);
}

TEST_F(RunOnFakeEngineTest, AReadFillsTheBufferFromTheDevice)
{
    host.action = 3;
    host.SetCopies(4); // a read is never repeated
    host.data->strFileName = QStringLiteral("old.hex");
    host.fake->Store(BufferSize, QVariant::fromValue<qint32>(524288));
    EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Success);
    EXPECT_EQ(devicesRun, 1);
    EXPECT_EQ(host.bufferSource,
              QStringLiteral("<Device Content> %1 2").arg(QDate::currentDate().toString(Qt::ISODate)));
    EXPECT_FALSE(host.data->blnBufferEmpty);
    EXPECT_TRUE(host.data->strFileName.isEmpty());
    EXPECT_EQ(host.data->lngFileSize, 524288);
}

// --- Stop ---

TEST_F(RunOnFakeEngineTest, StopPressesByStateTable)
{
    const struct
    {
        const char* name;
        int presses;
        bool running;
        bool client;
        bool concurrent;
        qint32 handlerType;
        QStringList calls;
        bool stopFlag;
        QStringList queued;
    } cases[] = {
        {"idle", 1, false, false, false, 0, {}, false, {}},
        {"one press", 1, true, false, false, 0, {"AbortOperation"}, true, {}},
        {"two presses", 2, true, false, false, 0, {"AbortOperation", "AbortOperation"}, true, {}},
        {"three presses", 3, true, false, false, 0, {"AbortOperation", "AbortOperation"}, true, {}},
        {"automation, one press", 1, true, true, false, 0, {}, true, {}},
        {"automation, two presses", 2, true, true, false, 0, {"AbortOperation"}, true, {}},
        {"concurrent", 1, true, false, true, 0, {"AbortOperation", "manual AbortSession"}, true, {}},
        {"concurrent under automation", 1, true, true, true, 0, {}, true, {"DoAbort"}},
        {"automatic handler session",
         2,
         true,
         false,
         true,
         1,
         {"stop disabled", "handler StopSession", "stop disabled", "handler StopSession"},
         false,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        run.ResetAbortTrackers();
        CQxProgrammerData& automation = CQxProgrammerData::Instance();
        automation.TakeQueuedMethods();
        automation.SetRunningJob(true);
        if (c.client) {
            // The client's own job runs: its Stop goes through the client.
            automation.AttachProgrammer();
            automation.StartClientJob(nullptr, QStringLiteral("client"));
        }
        host.data->blnInAction = c.running;
        host.data->udtHandlerType = c.handlerType;
        run.blnRunningConcurrent = c.concurrent;
        for (int i = 0; i < c.presses; ++i)
            run.StopClicked();
        EXPECT_EQ(CallsStarting({"AbortOperation", "manual", "handler", "stop"}), c.calls);
        EXPECT_EQ(run.blnStopClicked, c.stopFlag);
        EXPECT_EQ(automation.TakeQueuedMethods(), c.queued);
        // A second press tells the automation clients the job no longer runs.
        EXPECT_EQ(automation.RunningJob(), !(c.stopFlag && c.presses >= 2));
        if (c.client) {
            automation.EndClientJob();
            automation.ReleaseProgrammer();
        }
        automation.SetRunningJob(false);
    }
    host.data->blnInAction = false;
    run.blnRunningConcurrent = false;
}

TEST_F(RunOnFakeEngineTest, StopOnSlowDevicesEndsTheRunOnceAndCountsEachDeviceOnce)
{
    const struct
    {
        int stopDuring; // 0-based device during which Stop is pressed
        bool reported;  // the engine still reports that device
        qint32 passed;
        qint32 failed;
    } cases[] = {
        {0, true, 1, 0},  // reported passed: not counted again
        {0, false, 0, 1}, // not reported: failed, as "other"
        {2, true, 3, 0},
        {2, false, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopDuring);
        host.calls.clear();
        host.prompts.clear();
        devicesRun = 0;
        ProgramTab(5);
        outcomes = QList<DeviceOutcome>(5);
        outcomes[c.stopDuring].report = c.reported;
        duringDevice = [&](int device) {
            if (device == c.stopDuring)
                run.StopClicked();
        };
        // The summary of a stopped run asks for the engine's report too.
        host.onSummary = [&] { run.FinishStoppedRunReport(); };

        EXPECT_EQ(run.ExecuteOperationCore(), RunResult::Stopped);

        EXPECT_EQ(devicesRun, c.stopDuring + 1);
        EXPECT_EQ(counters.lngNumPassed, c.passed);
        EXPECT_EQ(counters.lngNumFailed, c.failed);
        EXPECT_EQ(counters.lngNumFailedOther, c.failed);
        EXPECT_LE(counters.lngNumPassed + counters.lngNumFailed, devicesRun);
        EXPECT_TRUE(host.prompts.contains(QStringLiteral("Operation aborted|48|") + appinfo::App()));
        EXPECT_EQ(CallsStarting({"AbortOperation", "FinishRunReport"}),
                  (QStringList{"AbortOperation", "FinishRunReport"}));
        EXPECT_FALSE(run.mbActionClicked);
    }
}

// --- site results ---

TEST_F(RunOnFakeEngineTest, ASiteStatusReachesItsBoxTheCountersAndTheClients)
{
    CJobMonitorImpl& monitor = CJobMonitorImpl::Instance();
    monitor.Attach();
    CQxProgrammerData& automation = CQxProgrammerData::Instance();
    host.sites = 4;
    host.fake->Store(MasterSite, QVariant::fromValue<qint32>(3));
    const struct
    {
        qint32 site;
        qint32 status;
        qint32 code;
        QString box;  // "" when no box changes
        qint32 index; // reported to clients, -1 for none
        qint32 passed;
        qint32 failed;
        qint32 inserted;
        const char* monitorSignal;
    } cases[] = {
        {0, 4, 0, "site 2 4 '' ''", 2, 0, 0, 1, nullptr},
        {0, 3, 0, "site 2 3 '1 of 1' ''", 2, 0, 0, 0, "active"},
        {0, 3, 0, "site 2 3 '1 of 1' ''", 2, 0, 0, 0, "active"}, // never below 0
        {2, 0, 0, "site 1 0 '1 of 1' ''", 1, 1, 0, 0, "passed"},
        {4, 1, 29, "site 3 1 '' 'site error 29'", 3, 1, 1, 0, "failed"},
        {1, 6, 0, "site 0 6 '' ''", 0, 1, 1, 0, nullptr},
        {9, 0, 0, "", 8, 1, 1, 0, "passed"},  // no box: clients still told
        {-1, 0, 0, "", -1, 1, 1, 0, nullptr}, // before the first site: logged only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.site).arg(c.status).toStdString());
        host.calls.clear();
        QSignalSpy relay(&automation.FireEvent(), &CFireEvent::NotifySocketStatusChanged);
        QSignalSpy passed(&monitor, &CJobMonitorImpl::NotifySocketPassed);
        QSignalSpy failed(&monitor, &CJobMonitorImpl::NotifySocketFailed);
        QSignalSpy active(&monitor, &CJobMonitorImpl::NotifySocketActive);

        run.SetSiteStatus(c.site, c.status, c.code);

        EXPECT_EQ(CallsStarting({"site"}), c.box.isEmpty() ? QStringList() : QStringList{c.box});
        EXPECT_EQ(counters.lngNumPassed, c.passed);
        EXPECT_EQ(counters.lngNumFailed, c.failed);
        EXPECT_EQ(automation.NumInserted(), c.inserted);
        if (c.index < 0) {
            EXPECT_TRUE(relay.isEmpty());
            EXPECT_EQ(CallsStarting({"log"}).size(), 1);
            continue;
        }
        ASSERT_EQ(relay.size(), 1);
        const QList<QVariant> args = relay.first();
        EXPECT_EQ(args.value(0).toInt(), c.index);
        EXPECT_EQ(args.value(1).toInt(), c.status);
        EXPECT_EQ(args.value(2).toInt(), c.code);
        EXPECT_EQ(args.value(3).toInt(), c.passed);
        EXPECT_EQ(args.value(4).toInt(), c.failed);
        EXPECT_EQ(args.value(6).toInt(), c.inserted);
        const QString which = QLatin1String(c.monitorSignal ? c.monitorSignal : "");
        EXPECT_EQ(passed.size(), which == "passed" ? 1 : 0);
        EXPECT_EQ(failed.size(), which == "failed" ? 1 : 0);
        EXPECT_EQ(active.size(), which == "active" ? 1 : 0);
        if (which == "failed") {
            EXPECT_EQ(failed.first().value(1).toInt(), c.code);
        }
    }
    // A pass takes one from the devices remaining, below 0 too.
    EXPECT_EQ(counters.lngNumLeft, -1);
    monitor.Release();
}

// --- progress ---

TEST_F(RunOnFakeEngineTest, ProgressMovesTheBarOfTheStepsRow)
{
    const struct
    {
        qint32 action;
        int row;
        qint32 rowCode;
        const char* rowText;
        qint32 code;
        qint32 value;
        bool complete;
        int expected; // the bar of row; -1: no bar moves
    } cases[] = {
        {1, 3, 22, "", 12, 50, false, 62}, // four steps, the third at half
        {1, 3, 22, "", 8, 0, false, 0},
        {1, 3, 22, "", 11, 100, false, 100},
        {1, 3, 22, "", 7, 100, true, 50},
        {1, 3, 22, "", 11, 100, true, 100},
        {1, 0, 6, "", 1, 50, false, 25},
        {1, 0, 6, "", 2, 50, false, 75},
        {3, 1, 34, "", 1, 30, false, 30}, // on the read tab codes 1, 2 go to row 1
        {4, 2, 11, "", 3, 40, false, 40},
        {1, 2, 12, "", 5, 130, false, 100}, // held to 100
        {1, 2, 12, "", 5, -20, false, 0},   // and to 0
        {1, 2, 1024 + 1, "P_Check", 13, 50, false, 25},
        {1, 2, 1024 + 1, "Vexal_ChkSum", 13, 50, false, -1}, // a variant without steps
        {1, 2, 256 + 3, "", 5, 50, false, 50},
        {1, 2, 512 + 3, "", 5, 50, false, 75},
        {1, 2, 768 + 3, "", 5, 50, false, 83}, // the third of three steps
        {1, 2, 4096, "", 5, 40, false, 40},
        {1, 4, 12, "", 16, 50, false, -1}, // codes of no row
        {1, 4, 12, "", 18, 50, false, -1},
        {1, 4, 99, "", 9, 50, false, -1}, // an operation of no steps
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("row %1 op %2 code %3").arg(c.row).arg(c.rowCode).arg(c.code).toStdString());
        host.bars.fill(0);
        host.rows = {};
        host.action = c.action;
        host.rows[size_t(c.row)] = {CheckBoxValue::Ticked, true, c.rowCode, QLatin1String(c.rowText), true, true};
        if (c.complete)
            run.SetOperationComplete(c.code);
        else
            run.SetOperationProgress(c.code, c.value);
        std::array<int, 17> expected{};
        if (c.expected >= 0)
            expected[size_t(c.row)] = c.expected;
        EXPECT_EQ(host.bars, expected);
    }
}

TEST_F(RunOnFakeEngineTest, CompletionLeavesUncheckedRowsAloneAndTheCodesOfNoRowOnlyPump)
{
    host.action = 1;
    host.rows[3] = {CheckBoxValue::Cleared, true, 22, QString(), true, true};
    run.SetOperationComplete(11);
    EXPECT_EQ(host.bars[3], 0);

    // Code 20 only pumps; code 24 moves the first row, complete shows it full.
    host.rows[0] = {CheckBoxValue::Ticked, true, 0, QString(), true, true};
    const int pumps = host.pumps;
    run.SetOperationProgress(ProgressCode::Pump, 70);
    EXPECT_EQ(host.pumps, pumps + 1);
    EXPECT_EQ(host.bars, (std::array<int, 17>{}));
    run.SetOperationProgress(ProgressCode::FirstRow, 40);
    EXPECT_EQ(host.bars[0], 40);
    run.SetOperationComplete(ProgressCode::FirstRow);
    EXPECT_EQ(host.bars[0], 100);

    // Verify-and-test codes count in row 3 of the program tab.
    host.bars.fill(0);
    host.rows[3] = {CheckBoxValue::Ticked, true, 20, QString(), true, true};
    host.rows[4] = {CheckBoxValue::Ticked, true, 24, QString(), true, true};
    run.SetOperationProgress(12, 100);
    EXPECT_EQ(host.bars[3], 67);
    EXPECT_EQ(host.bars[4], 0);
}

} // namespace
