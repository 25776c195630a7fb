// The program-variant loop, the manual handler's concurrent session and the
// automatic handler's session start and stop, on an engine, handlers and a
// host of the test's own.

#include "FakeRunHost.h"
#include "TestEnv.h"

#include "automation/CQxProgrammerData.h"
#include "engine/EngineCodes.h"
#include "operation/OperationRun.h"
#include "operation/RunCounters.h"
#include "operation/RunResults.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/UiService.h"

#include <functional>

namespace {

using namespace QXPgmrId;

// A manual handler whose session the test plays: it records the call and
// the run's state during it, and returns the test's result.
class ScriptedManualHandler : public DispatchObject
{
public:
    explicit ScriptedManualHandler(std::function<QVariant(QVariantList&)> session)
        : DispatchObject(QString::fromLatin1(ManualHdlControl::ClassName), ManualHdlControl::Members())
    {
        AnswerUndeclaredAsFake();
        On(ManualHdlId::RunConcurrentSession, [session](InvokeKind, QVariantList& args) { return session(args); });
    }
};

class SessionRunTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        host.Data();
        host.fake->Store(PortIndex, QVariant::fromValue<qint32>(1));
        host.fake->Store(MasterSite, QVariant::fromValue<qint32>(1));
        host.fake->Store(ShowErrorMessages, VbBool(true));
        host.fake->On(SiteErrorText, [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("error")); });
        host.fake->On(SiteStatusText, [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("1 of 1")); });
        host.fake->On(RunCustomAction, [this](InvokeKind, QVariantList&) {
            if (customActionFails)
                throw AutomationError(5, QStringLiteral("QXPgmr"), QStringLiteral("bad selection"));
            return QVariant();
        });
        for (int id : {CurrentDataPosition, CurrentBank, AbortOperation, BeginOperation, PrepareRun, FinishRunReport})
            host.fake->On(id, [](InvokeKind, QVariantList&) { return QVariant(); });
        host.manualHandler.Attach(std::make_unique<ScriptedManualHandler>([this](QVariantList& args) {
            sessionCalls << QStringLiteral("%1 %2").arg(args.value(0).toInt()).arg(args.value(1).toInt());
            runningDuringSession = run.blnRunningConcurrent;
            leftDuringSession = counters.lngNumLeft;
            if (sessionThrows)
                throw AutomationError(-2147418113, QStringLiteral("ManualHdl"), QStringLiteral("gone"));
            return QVariant(sessionResult);
        }));
    }

    // Boxes as the test writes them, "|Tarvo" standing for the program's title.
    static QStringList Titled(QStringList prompts)
    {
        for (QString& p : prompts)
            p.replace(QStringLiteral("|Tarvo"), QLatin1Char('|') + appinfo::App());
        return prompts;
    }

    QStringList Status() const { return host.calls.filter(QRegularExpression(QStringLiteral("^status "))); }

    FakeRunHost host;
    RunCounters counters;
    OperationRun run{host.station, host, counters};
    bool customActionFails = false;
    qint32 sessionResult = 0;
    bool sessionThrows = false;
    QStringList sessionCalls;
    bool runningDuringSession = false;
    qint32 leftDuringSession = 0;
};

// --- the program-variant loop ---

TEST_F(SessionRunTest, AVariantOutsideTheDevicesOnesRunsNothingAndSaysSo)
{
    const struct
    {
        const char* name;
        bool selected;
        qint32 code;
        qint32 count;
        const char* status;
    } cases[] = {
        {"index equal to the count", true, 1024 + 2, 2,
         "status The program variant 2 is not one of the device's 2: nothing was run."},
        {"a device without variants", true, 1024, 0,
         "status The program variant 0 is not one of the device's 0: nothing was run."},
        {"no selection", false, 1024, 4, "status No program variant is selected: nothing was run."},
    };
    int runs = 0;
    host.fake->On(RunOperation, [&](InvokeKind, QVariantList&) {
        ++runs;
        return QVariant(qint32(0));
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        counters.lngNumPassed = 7;
        host.rows[2] = {CheckBoxValue::Ticked, c.selected, c.code, QStringLiteral("P_Fast"), true, true};
        host.fake->Store(ExecuteVariantCount, QVariant::fromValue<qint32>(c.count));
        EXPECT_EQ(run.RunOperationLoop(), RunResult::VariantOutOfRange);
        EXPECT_EQ(host.calls, QStringList{QLatin1String(c.status)});
        EXPECT_EQ(counters.lngNumPassed, 7); // the window is left as it was
        EXPECT_FALSE(host.data->blnInAction);
    }
    EXPECT_EQ(runs, 0);
}

TEST_F(SessionRunTest, TheVariantLoopCountsEachDeviceOnceByTheEnginesResult)
{
    struct Device
    {
        qint32 result;
        int report; // -1 none, 0 passed, 1 failed with the result as its code
    };
    const struct
    {
        const char* name;
        qint32 copies;
        bool testOnly;
        QString rowText;
        QList<Device> devices;
        int stopAt; // the device during which Stop is pressed; -1 none
        QList<qint32> answers;
        qint32 result;
        qint32 passed;
        qint32 failed;
        qint32 other;
        QStringList prompts;
    } cases[] = {
        {"three passes the engine reports",
         3,
         false,
         "P_Fast",
         {{0, 0}, {0, 0}, {0, 0}},
         -1,
         {},
         0,
         3,
         0,
         0,
         {"Insert next device|1|Tarvo", "Insert next device|1|Tarvo"}},
        {"an unreported failure counts as other",
         2,
         false,
         "P_Fast",
         {{5, -1}, {0, -1}},
         -1,
         {},
         0,
         1,
         1,
         1,
         {"Failed to perform operation on device|48|Tarvo", "Insert next device|1|Tarvo"}},
        {"a reported failure counts in its category only",
         1,
         false,
         "P_Fast",
         {{21, 1}},
         -1,
         {},
         21,
         0,
         1,
         0,
         {"Failed to perform operation on device|48|Tarvo"}},
        {"the checksum check fails without a box", 1, false, "Vexal_ChkSum", {{5, -1}}, -1, {}, 5, 0, 1, 1, {}},
        {"Stop during the second device: counted once, the loop ends",
         5,
         false,
         "P_Fast",
         {{0, 0}, {0, -1}, {0, 0}},
         1,
         {},
         0,
         1,
         1,
         1,
         {"Insert next device|1|Tarvo", "Operation aborted|48|Tarvo"}},
        {"Cancel at the next device",
         5,
         false,
         "P_Fast",
         {{0, 0}, {0, 0}},
         -1,
         {vb::vbCancel},
         0,
         1,
         0,
         0,
         {"Insert next device|1|Tarvo"}},
        {"a test-only station runs one device without asking",
         5,
         true,
         "P_Fast",
         {{0, 0}, {0, 0}},
         -1,
         {},
         0,
         1,
         0,
         0,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        host.prompts.clear();
        host.answers = c.answers;
        host.SetCopies(c.copies);
        host.rows[2] = {CheckBoxValue::Ticked, true, 1024 + 1, c.rowText, true, true};
        host.rows[3] = {CheckBoxValue::Ticked, true, 13, QStringLiteral("Verify"), true, true};
        host.fake->Store(ExecuteVariantCount, QVariant::fromValue<qint32>(2));
        host.fake->Store(TestOnlyStation, VbBool(c.testOnly));
        int device = 0;
        QList<qint32> variants;
        host.fake->On(RunOperation, [&](InvokeKind, QVariantList& args) {
            variants << args.value(0).toInt();
            const Device d = c.devices.value(device);
            if (device++ == c.stopAt)
                run.blnStopClicked = true;
            run.SetSiteStatus(1, SiteStatus::Active, 0);
            if (d.report == 0)
                run.SetSiteStatus(1, SiteStatus::Passed, 0);
            else if (d.report == 1)
                run.SetSiteStatus(1, SiteStatus::Failed, d.result);
            return QVariant(d.result);
        });

        EXPECT_EQ(run.RunOperationLoop(), c.result);

        EXPECT_EQ(counters.lngNumPassed, c.passed);
        EXPECT_EQ(counters.lngNumFailed, c.failed);
        EXPECT_EQ(counters.lngNumFailedOther, c.other);
        EXPECT_EQ(host.prompts, Titled(c.prompts));
        EXPECT_EQ(variants, QList<qint32>(variants.size(), 1));
        // The first pass shows the full bars a moment; the loop leaves them 0.
        EXPECT_EQ(host.calls.count(QStringLiteral("sleep 1")), c.passed > 0 ? 1 : 0);
        EXPECT_EQ(host.bars[3], 0);
        EXPECT_FALSE(host.data->blnInAction);
    }
}

// --- the manual handler's session ---

TEST_F(SessionRunTest, AManualSessionRunsWithTheCopiesAndTheSessionModeAndReportsItsEnd)
{
    const struct
    {
        const char* name;
        qint32 copies;
        qint32 handlerType;
        qint32 handlerResult;
        bool handlerThrows;
        bool silent;
        bool setsMode;
        qint32 result;
        int sessions;
        QStringList status;
        QStringList prompts;
        int summaries;
    } cases[] = {
        // A session of several devices ends in its summary (and record).
        {"three copies", 3, 0, 0, false, false, false, 0, 1, {"status Function completed."}, {}, 1},
        {"one copy: no completion line, no summary", 1, 0, 0, false, false, false, 0, 1, {}, {}, 0},
        {"the handler fails",
         3,
         0,
         5,
         false,
         false,
         false,
         5,
         1,
         {"status Function aborted."},
         {"Failed to run concurrent session|48|Tarvo"},
         1},
        {"the handler fails on a silent engine",
         3,
         0,
         5,
         false,
         true,
         false,
         5,
         1,
         {"status Function aborted."},
         {},
         1},
        {"the handler call fails",
         3,
         0,
         0,
         true,
         false,
         false,
         RunResult::CallFailed,
         1,
         {"status Operation failed: gone", "status Function aborted."},
         {"Failed to run concurrent session|48|Tarvo"},
         1},
        {"sets mode warns, the session goes on",
         2,
         0,
         0,
         false,
         false,
         true,
         0,
         1,
         {"status Function completed."},
         {"Set mode is not allowed for a concurrent operation|48|Tarvo"},
         1},
        {"an automatic handler runs nothing here",
         3,
         1,
         0,
         false,
         false,
         false,
         RunResult::NotManualHandler,
         0,
         {"status A concurrent session needs the manual handler: the automatic handler runs its own sessions. "
          "Nothing was run.",
          "status Function aborted."},
         {"Failed to run concurrent session|48|Tarvo"},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        host.prompts.clear();
        sessionCalls.clear();
        host.SetCopies(c.copies);
        host.data->udtHandlerType = c.handlerType;
        sessionResult = c.handlerResult;
        sessionThrows = c.handlerThrows;
        host.fake->Store(SilentMode, VbBool(c.silent));
        host.fake->Store(DeviceSupportsSetsAndBanks, VbBool(c.setsMode));
        host.fake->Store(SetMode, QVariant::fromValue<qint32>(c.setsMode ? 1 : 0));
        host.fake->Store(BankCount, QVariant::fromValue<qint32>(c.setsMode ? 2 : 1));
        counters.lngNumPassed = 4;

        EXPECT_EQ(run.RunManualHandlerSession(), c.result);

        EXPECT_EQ(sessionCalls.size(), c.sessions);
        if (c.sessions) {
            // Copies and the automation's session mode (0 with no client).
            EXPECT_EQ(sessionCalls.first(), QStringLiteral("%1 0").arg(c.copies));
            EXPECT_TRUE(runningDuringSession);
            EXPECT_EQ(leftDuringSession, c.copies);
            EXPECT_EQ(counters.lngNumPassed, 0); // counted afresh for the session
        }
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(host.prompts, Titled(c.prompts));
        EXPECT_EQ(host.calls.count(QStringLiteral("summary")), c.summaries);
        EXPECT_EQ(host.calls.contains(QStringLiteral("log Error Message: Failed to run concurrent session")),
                  c.result != 0);
        EXPECT_FALSE(run.blnRunningConcurrent);
        EXPECT_FALSE(host.data->blnInAction);
    }
}

// --- the automatic handler's session ---

TEST_F(SessionRunTest, AHandlerSessionIsMarkedStoppedOnlyWhenAskedOrDevicesRemain)
{
    const struct
    {
        const char* name;
        int passedSites;
        int failedSites;
        bool stopPressed;
        bool abortCommand;
        bool stopped;
    } cases[] = {
        {"the quantity passed", 2, 1, false, false, false},
        {"devices remain", 1, 0, false, false, true},
        {"Stop asked the handler to end", 2, 0, true, false, true},
        {"the handler's abort command", 2, 0, false, true, true},
    };
    host.data->udtHandlerType = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        host.SetCopies(2);
        run.blnStopClicked = true; // from an earlier run

        run.HandlerSessionStarted();
        EXPECT_FALSE(run.blnStopClicked);
        EXPECT_TRUE(run.blnRunningConcurrent);
        EXPECT_TRUE(host.data->blnInAction);
        EXPECT_TRUE(host.optionsLocked);
        EXPECT_EQ(counters.lngNumLeft, 2);
        for (int i = 0; i < c.failedSites; ++i)
            run.SetSiteStatus(1, SiteStatus::Failed, 31);
        for (int i = 0; i < c.passedSites; ++i)
            run.SetSiteStatus(1, SiteStatus::Passed, 0);
        if (c.stopPressed)
            run.StopClicked();
        if (c.abortCommand)
            run.AbortCommand();
        qint32 summaryPassed = -1;
        host.onSummary = [&] { summaryPassed = counters.lngNumPassed; };

        run.HandlerSessionStopped();

        EXPECT_EQ(run.blnStopClicked, c.stopped);
        EXPECT_EQ(summaryPassed, c.passedSites); // the summary sees the session's counts
        EXPECT_EQ(counters.lngNumPassed, 0);     // then they are reset
        EXPECT_FALSE(run.blnRunningConcurrent);
        EXPECT_FALSE(host.data->blnInAction);
        EXPECT_FALSE(host.optionsLocked);
        EXPECT_EQ(host.calls.contains(QStringLiteral("handler StopSession")), c.stopPressed);
    }
}

TEST_F(SessionRunTest, AFailedCustomActionSelectionStopsTheHandlerSession)
{
    host.data->udtHandlerType = 1;
    host.action = 8;
    host.actionCount = 9;
    host.tabCaption = QStringLiteral("Fuse");
    host.procRequired = {true, false};
    customActionFails = true;
    host.SetCopies(3);

    run.HandlerSessionStarted();
    EXPECT_EQ(host.prompts, Titled({QStringLiteral("Error executing Fuse|0|Tarvo")}));
    EXPECT_EQ(Status(), QStringList{QStringLiteral("status Error generating dynamic action execution string.")});
    EXPECT_TRUE(host.calls.contains(QStringLiteral("handler StopSession")));

    run.SetSiteStatus(1, SiteStatus::Passed, 0);
    run.SetSiteStatus(1, SiteStatus::Passed, 0);
    run.SetSiteStatus(1, SiteStatus::Passed, 0);
    run.HandlerSessionStopped();
    EXPECT_TRUE(run.blnStopClicked);

    // A selection the engine takes runs the session without a stop.
    host.calls.clear();
    host.prompts.clear();
    customActionFails = false;
    run.HandlerSessionStarted();
    EXPECT_TRUE(host.prompts.isEmpty());
    EXPECT_FALSE(host.calls.contains(QStringLiteral("handler StopSession")));
}

} // namespace
