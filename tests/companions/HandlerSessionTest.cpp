// The simulated handlers' sessions as the station relies on them: the events
// of each device and site in order, the results, the fault plan's "manual.*"
// and "auto.*" entries, abort and stop, and the test hooks.

#include "CompanionFixture.h"
#include "../../companions/h950hdlr/H950HdlrTestHook.h"
#include "../../companions/manualhdl/ManualHdlTestHook.h"

#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/ManualHdlDeviceArbiterControl.h"
#include "engine/ManualHdlSocketArbiterControl.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QEventLoop>
#include <QHash>
#include <QTimer>
#include <functional>

namespace {

// Records a handler's events as "Name(a, b)" and answers the device runs:
// RepeatCommandRequest gets the next planned result (0 when none is left);
// a by-reference value is recorded as the handler passed it, before any answer.
// IsSessionAborted is answered and kept apart, as it comes at every step.
class HandlerHost : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        if (eventName == QLatin1String("IsSessionAborted")) {
            ++abortQuestions;
            args[0] = VbBool(abortAnswer);
            return;
        }
        if (eventName == QLatin1String("RepeatCommandRequest"))
            args[1] = results.isEmpty() ? 0 : results.takeFirst();
        QStringList texts;
        for (const QVariant& v : args)
            texts << v.toString();
        lines << eventName + QLatin1Char('(') + texts.join(QStringLiteral(", ")) + QLatin1Char(')');
        if (const auto handler = handlers.constFind(eventName); handler != handlers.constEnd())
            (*handler)(args);
    }

    QStringList lines;
    QList<qint32> results;
    bool abortAnswer = false;
    int abortQuestions = 0;
    QHash<QString, std::function<void(QVariantList&)>> handlers;
};

// One device on a site of a manual session: active, the run, its verdict and
// the statistics after it.
QStringList ManualDevice(int site, qint32 result, int passed, int failed, int active, int remaining)
{
    return {QStringLiteral("SiteStatusChanged(%1, 3, 0)").arg(site),
            QStringLiteral("RepeatCommandRequest(%1, %2)").arg(site).arg(result),
            result == 0 ? QStringLiteral("SiteStatusChanged(%1, 0, 0)").arg(site)
                        : QStringLiteral("SiteStatusChanged(%1, 1, %2)").arg(site).arg(result),
            QStringLiteral("RunStatisticsChanged(%1, %2, %3, %4, 0, 0)")
                .arg(passed)
                .arg(failed)
                .arg(active)
                .arg(remaining)};
}

QStringList Placed(std::initializer_list<int> sites)
{
    QStringList lines;
    for (int site : sites)
        lines << QStringLiteral("SiteStatusChanged(%1, 4, 0)").arg(site);
    return lines;
}

const QStringList kManualStart{QStringLiteral("SetThreadCommUtilPtr(0)"),
                               QStringLiteral("SetDeviceAutomationArbiter()"),
                               QStringLiteral("SessionOperationBegan()")};

class HandlerSessionTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        m_savedFaults = qgetenv("TARVO_ENGINE_FAULTS");
        ASSERT_EQ(Register(QStringLiteral("ManualHdl.ocx")), companion::S_OK);
        ASSERT_EQ(Register(QStringLiteral("H950Hdlr.ocx")), companion::S_OK);
        manual.Attach(companion::CreateControl(QString::fromLatin1(ManualHdlControl::ClassName)));
        manual.Control()->SetEventSink(&host);
        automatic.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
        automatic.Control()->SetEventSink(&host);
    }
    void TearDown() override
    {
        qputenv("TARVO_ENGINE_FAULTS", m_savedFaults);
        CompanionFixture::TearDown();
    }
    static void Plan(const char* faults) { qputenv("TARVO_ENGINE_FAULTS", faults); }

    // Runs the host's loop until the automatic handler's session stopped.
    void RunAutomaticSession(qint32 quantity)
    {
        automatic.StartSession(quantity);
        QEventLoop loop;
        host.handlers.insert(QStringLiteral("SessionStopped"), [&](QVariantList&) { loop.quit(); });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    ManualHdlControl manual;
    H950HdlrControl automatic;
    HandlerHost host;

private:
    QByteArray m_savedFaults;
};

// --- the manual handler ---

TEST_F(HandlerSessionTest, AManualSessionFillsTheSocketsRoundByRoundUntilTheCopiesPassed)
{
    // Three sockets, the second left empty; the first device on site 3 fails
    // and its socket is filled again in the next round.
    Plan("manual.sites=3;manual.empty=2");
    host.results = {0, 7, 0, 0};

    EXPECT_EQ(manual.RunConcurrentSession(3, 0), 0);

    QStringList expected = kManualStart;
    expected << Placed({1, 3}) << ManualDevice(1, 0, 1, 0, 1, 2) << ManualDevice(3, 7, 1, 1, 0, 2);
    expected << Placed({1, 3}) << ManualDevice(1, 0, 2, 1, 1, 1) << ManualDevice(3, 0, 3, 1, 0, 0);
    // Every copy passed: the master site's box is to show it.
    expected << QStringLiteral("MasterSiteRequest()");
    EXPECT_EQ(host.lines, expected);
    EXPECT_GT(host.abortQuestions, 0);
}

TEST_F(HandlerSessionTest, AManualSessionFillsOnlyAsManySocketsAsDevicesRemain)
{
    Plan("manual.sites=8");
    EXPECT_EQ(manual.RunConcurrentSession(2, 0), 0);
    QStringList expected = kManualStart;
    expected << Placed({1, 2}) << ManualDevice(1, 0, 1, 0, 1, 1) << ManualDevice(2, 0, 2, 0, 0, 0)
             << QStringLiteral("MasterSiteRequest()");
    EXPECT_EQ(host.lines, expected);
}

TEST_F(HandlerSessionTest, ManualSessionResultsAndEnds)
{
    const struct
    {
        const char* name;
        const char* plan;
        qint32 copies;
        qint32 mode;
        QList<qint32> results;
        bool abortAnswer;
        qint32 result;
        int devicesRun;
        bool masterSite; // every copy passed: MasterSiteRequest last
    } cases[] = {
        {"no copies", "manual.sites=2", 0, 0, {}, false, 1, 0, false},
        {"negative copies", "manual.sites=2", -1, 0, {}, false, 1, 0, false},
        {"mode with placed and picked devices", "manual.sites=2", 2, 1, {}, false, 4, 0, false},
        {"mode with a socket arbiter", "manual.sites=2", 2, 2, {}, false, 4, 0, false},
        {"every socket empty", "manual.sites=2;manual.empty=1:2", 2, 0, {}, false, 3, 0, false},
        {"a planned handler failure after the devices", "manual.sites=2;manual.result=9", 2, 0, {}, false, 9, 2, true},
        {"nothing passes: the operator gives up", "manual.sites=2", 5, 0, {4, 4, 4, 4, 4, 4, 4}, false, 5, 6, false},
        {"the host says the session is aborted", "manual.sites=2", 4, 0, {}, true, 0, 0, false},
        {"the operator's abort at the third device", "manual.sites=2;manual.abort=3", 9, 0, {}, false, 0, 2, false},
        {"an unreadable entry plans nothing", "manual.sites=2;manual.abort=x", 2, 0, {}, false, 0, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plan(c.plan);
        host.lines.clear();
        host.results = c.results;
        host.abortAnswer = c.abortAnswer;
        EXPECT_EQ(manual.RunConcurrentSession(c.copies, c.mode), c.result);
        EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), c.devicesRun);
        EXPECT_EQ(host.lines.filter(QStringLiteral("MasterSiteRequest")).size(), c.masterSite ? 1 : 0);
        if (c.masterSite)
            EXPECT_EQ(host.lines.last(), QStringLiteral("MasterSiteRequest()"));
    }
    // The operator's abort asks the host to stop.
    Plan("manual.sites=2;manual.abort=1");
    host.lines.clear();
    host.abortAnswer = false;
    EXPECT_EQ(manual.RunConcurrentSession(2, 0), 0);
    EXPECT_EQ(host.lines.last(), QStringLiteral("AbortSession()"));
}

TEST_F(HandlerSessionTest, AbortSessionFromTheHostEndsTheSessionAfterTheDeviceInProgress)
{
    Plan("manual.sites=4");
    host.handlers.insert(QStringLiteral("RepeatCommandRequest"), [this](QVariantList&) {
        if (host.lines.filter(QStringLiteral("RepeatCommandRequest")).size() == 2)
            manual.AbortSession();
    });
    EXPECT_EQ(manual.RunConcurrentSession(8, 0), 0);
    EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), 2);
    EXPECT_EQ(host.lines.last(), QStringLiteral("RunStatisticsChanged(2, 0, 2, 6, 0, 0)"));
    // An abort while idle is forgotten: the next session runs.
    manual.AbortSession();
    host.handlers.clear();
    host.lines.clear();
    EXPECT_EQ(manual.RunConcurrentSession(1, 0), 0);
    EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), 1);
}

TEST_F(HandlerSessionTest, ASecondSessionFromInsideTheFirstIsRefused)
{
    Plan("manual.sites=1");
    qint32 inner = -1;
    host.handlers.insert(QStringLiteral("RepeatCommandRequest"),
                         [&](QVariantList&) { inner = manual.RunConcurrentSession(1, 0); });
    EXPECT_EQ(manual.RunConcurrentSession(1, 0), 0);
    EXPECT_EQ(inner, 2);
}

TEST_F(HandlerSessionTest, TheHostWindowHandleAnnouncesTheAutomationValues)
{
    manual.SetHostWindowHandle(qint32(42));
    EXPECT_EQ(host.lines,
              (QStringList{QStringLiteral("SetThreadCommUtilPtr(0)"), QStringLiteral("SetDeviceAutomationArbiter()")}));
}

TEST_F(HandlerSessionTest, TheArbitersAreObjectsTheHostKeepsWithTheirEvents)
{
    QVariant handed;
    host.handlers.insert(QStringLiteral("SetDeviceAutomationArbiter"), [&](QVariantList& args) { handed = args[0]; });
    manual.SetHostWindowHandle(qint32(42));
    const ControlHandle device = companion::ObjectOf(handed);
    const ControlHandle socket = companion::ObjectOf(manual.ThreadCommUtil());
    ASSERT_TRUE(device);
    ASSERT_TRUE(socket);
    EXPECT_EQ(device->ClassName(), QLatin1String(ManualHdlDeviceArbiterControl::ClassName));
    EXPECT_EQ(socket->ClassName(), QLatin1String(ManualHdlSocketArbiterControl::ClassName));
    // The same objects each time, and usable after the handler is gone.
    EXPECT_EQ(companion::ObjectOf(manual.ThreadCommUtil()), socket);
    manual.Attach(nullptr);
    QVariantList site{qint32(1)};
    EXPECT_NO_THROW(device->Call(device->GetIDOfName(QStringLiteral("NotifyDevicePlaced")), site));
    EXPECT_FALSE(companion::ObjectOf(QVariant(qint32(5))));
}

// --- the automatic handler ---

TEST_F(HandlerSessionTest, AnAutomaticSessionRunsInTimerStepsAndEndsWithJobCompleteAndSessionStopped)
{
    Plan("auto.speed=0;auto.sites=2");
    host.results = {0, 12, 0};
    automatic.StartSession(qint32(2));
    // It returns at once: the steps come from the host's loop.
    EXPECT_TRUE(host.lines.isEmpty());
    EXPECT_TRUE(automatic.IsRunning());
    QEventLoop loop;
    host.handlers.insert(QStringLiteral("SessionStopped"), [&](QVariantList&) { loop.quit(); });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();

    const auto device = [](int site, qint32 result, int passed, int failed) {
        return QStringList{
            QStringLiteral("SiteStatusChanged(%1, 7, 0)").arg(site),
            QStringLiteral("SiteStatusChanged(%1, 4, 0)").arg(site),
            QStringLiteral("SiteStatusChanged(%1, 3, 0)").arg(site),
            QStringLiteral("RepeatCommandRequest(%1, %2)").arg(site).arg(result),
            result == 0 ? QStringLiteral("SiteStatusChanged(%1, 0, 0)").arg(site)
                        : QStringLiteral("SiteStatusChanged(%1, 1, %2)").arg(site).arg(result),
            QStringLiteral("SiteStatusChanged(%1, 6, 0)").arg(site),
            QStringLiteral("RunStatisticsChanged(%1, %2, 0, %3, 0, 0, 0)").arg(passed).arg(failed).arg(2 - passed),
            QStringLiteral("HandlerEvent42()")};
    };
    // No serial number put, no label planned; the host answers no pin count.
    QStringList expected{QStringLiteral("RequestFlag43(-1)"),
                         QStringLiteral("RequestPinCount(0)"),
                         QStringLiteral("StartPowerSupplyLog()"),
                         QStringLiteral("RequestActionRepeatable(-1)"),
                         QStringLiteral("SessionStarted()"),
                         QStringLiteral("SessionOperationBegan()"),
                         QStringLiteral("AskJobId()")};
    expected << device(1, 0, 1, 0) << device(2, 12, 1, 1) << device(1, 0, 2, 1);
    expected << QStringLiteral("JobComplete(0)") << QStringLiteral("SessionStopped()");
    EXPECT_EQ(host.lines, expected);
    EXPECT_FALSE(automatic.IsRunning());
    EXPECT_EQ(automatic.HandlerValue1(), 3);
    EXPECT_EQ(automatic.HandlerValue2(), 0);
    EXPECT_EQ(automatic.HandlerValue3(), 2);
    EXPECT_EQ(automatic.HandlerValue4(), 1);
    EXPECT_EQ(automatic.Quantity(), 2);
}

TEST_F(HandlerSessionTest, AutomaticSessionEnds)
{
    const struct
    {
        const char* name;
        const char* plan;
        qint32 quantity;
        bool stopAtSecondDevice;
        const char* complete;
        int devicesRun;
    } cases[] = {
        {"the quantity passed, a planned result", "auto.speed=0;auto.result=77", 2, false, "JobComplete(77)", 2},
        {"a jam before the third device", "auto.speed=0;auto.sites=2;auto.jam=3", 5, false, "JobComplete(3)", 2},
        {"StopSession: the device in progress finishes", "auto.speed=0", 5, true, "JobComplete(2)", 2},
        {"every socket empty", "auto.speed=0;auto.sites=1;auto.empty=1", 5, false, "JobComplete(4)", 0},
        {"no quantity", "auto.speed=0", 0, false, "JobComplete(1)", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plan(c.plan);
        host.lines.clear();
        host.handlers.clear();
        if (c.stopAtSecondDevice) {
            host.handlers.insert(QStringLiteral("RepeatCommandRequest"), [this](QVariantList&) {
                if (host.lines.filter(QStringLiteral("RepeatCommandRequest")).size() == 2)
                    automatic.StopSession();
            });
        }
        RunAutomaticSession(c.quantity);
        EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), c.devicesRun);
        ASSERT_GE(host.lines.size(), 2);
        EXPECT_EQ(host.lines.at(host.lines.size() - 2), QLatin1String(c.complete));
        EXPECT_EQ(host.lines.last(), QStringLiteral("SessionStopped()"));
        EXPECT_FALSE(automatic.IsRunning());
    }
}

TEST_F(HandlerSessionTest, AStartWhileASessionRunsIsNoSessionOfItsOwn)
{
    Plan("auto.speed=0");
    host.handlers.insert(QStringLiteral("SessionStarted"),
                         [this](QVariantList&) { automatic.StartSession(qint32(9)); });
    RunAutomaticSession(1);
    EXPECT_EQ(host.lines.filter(QStringLiteral("SessionStarted")).size(), 1);
    EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), 1);
    EXPECT_EQ(automatic.Quantity(), 1);
}

TEST_F(HandlerSessionTest, AManualSessionsUnitsPerHourFollowItsDevices)
{
    Plan("manual.sites=2");
    EXPECT_EQ(manual.SessionValue1004(), 0);
    // Each device takes the host 25 ms: four devices in at least 100 ms.
    host.handlers.insert(QStringLiteral("RepeatCommandRequest"), [](QVariantList&) { QThread::msleep(25); });
    ASSERT_EQ(manual.RunConcurrentSession(4, 0), 0);
    const qint32 perHour = manual.SessionValue1004();
    EXPECT_GT(perHour, 0);
    EXPECT_LE(perHour, 4 * 3600000 / 100);
    // A session that ran nothing leaves the last rate.
    EXPECT_EQ(manual.RunConcurrentSession(0, 0), 1);
    EXPECT_EQ(manual.SessionValue1004(), perHour);
}

TEST_F(HandlerSessionTest, AnAutomaticSessionReportsItsTimesRatesAndBins)
{
    Plan("auto.speed=0;auto.sites=2");
    host.results = {0, 12, 0};
    // The host takes 30 ms for each device: the handler waits for it.
    host.handlers.insert(QStringLiteral("RepeatCommandRequest"), [](QVariantList&) { QThread::msleep(30); });
    const QDateTime before = QDateTime::currentDateTime();
    RunAutomaticSession(2);

    const QDateTime start = automatic.JobStartTime().toDateTime();
    const QDateTime end = automatic.JobEndTime().toDateTime();
    EXPECT_TRUE(start.isValid() && end.isValid());
    EXPECT_LE(before, start);
    EXPECT_GE(start.msecsTo(end), 90);
    // Three devices in at least 90 ms; without the waits it would be faster.
    EXPECT_GT(automatic.JobRunTime(), 0);
    EXPECT_LE(automatic.JobRunTime(), 3 * 3600000 / 90);
    EXPECT_GT(automatic.PotentialUnitsPerHour(), automatic.JobRunTime());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^0:00:0\\d$")).match(automatic.DelayTime().toString()).hasMatch())
        << automatic.DelayTime().toString().toStdString();
    ASSERT_EQ(automatic.BinCount(), 2);
    EXPECT_EQ(automatic.BinLabelAt(0), QStringLiteral("Pass"));
    EXPECT_EQ(automatic.BinCountAt(0), 2);
    EXPECT_EQ(automatic.BinFlagAAt(0), 0);
    EXPECT_EQ(automatic.BinLabelAt(1), QStringLiteral("Reject"));
    EXPECT_EQ(automatic.BinCountAt(1), 1);
    EXPECT_NE(automatic.BinFlagAAt(1), 0);
    EXPECT_EQ(automatic.BinFlagBAt(1), 0);
    EXPECT_EQ(automatic.HandlerKind(), 0);

    // With vision inspection each handled device is inspected.
    Plan("auto.speed=0;auto.sites=2;auto.inspection=vision7.prg");
    host.results = {0, 12, 0};
    RunAutomaticSession(2);
    EXPECT_EQ(automatic.HandlerKind(), 1);
    EXPECT_EQ(automatic.InspectionFileName(), QStringLiteral("vision7.prg"));
    EXPECT_EQ(automatic.PartsInspected(), 3);
    for (qint32 i = 0; i < 8; ++i) {
        EXPECT_FALSE(automatic.InspectionLabelAt(i).isEmpty());
        EXPECT_EQ(automatic.InspectionPassedAt(i) + automatic.InspectionFailedAt(i), 3);
    }

    // Values set from outside win over the session's.
    qputenv("TARVO_H950_VALUES", "JobRunTime=1234");
    RunAutomaticSession(1);
    qunsetenv("TARVO_H950_VALUES");
    EXPECT_EQ(automatic.JobRunTime(), 1234);
}

// Whether run follows itself in lines, item by item.
bool ContainsRun(const QStringList& lines, const QStringList& run)
{
    for (qsizetype i = 0; i + run.size() <= lines.size(); ++i) {
        if (lines.mid(i, run.size()) == run)
            return true;
    }
    return false;
}

TEST_F(HandlerSessionTest, WhatTheHandlersOperatorDoesComesAtItsPlaceInTheSession)
{
    const struct
    {
        const char* name;
        const char* plan;
        qint32 quantity;
        QStringList run;
        int devicesRun;
        // The host's answers to the handler's questions.
        QHash<QString, QVariant> answers = {};
    } cases[] = {
        {"the handler's own Stop before its second device",
         "auto.speed=0;auto.stop=2",
         5,
         {"RunStatisticsChanged(1, 0, 0, 4, 0, 0, 0)", "HandlerEvent42()", "HandlerAbortCommand()", "JobComplete(2)",
          "SessionStopped()"},
         1},
        {"the quantity typed on the handler's panel",
         "auto.speed=0;auto.quantity=2",
         5,
         {"HandlerQuantityChanged(2)", "HandlerEvent16()", "RequestPinCount(0)"},
         2},
        {"its serial number at the start",
         "auto.speed=0;auto.serial=RH8-0042",
         1,
         {"HandlerSerialNumberReport(RH8-0042)", "RequestPinCount(0)", "HandlerStatusText11(Socket kit for 32 pins)"},
         1},
        {"an auto file loaded first, from the engine's folder",
         "auto.speed=0;auto.loadfile=lot.qxa",
         1,
         {"RequestEngineDirectory()", "LoadSealbookAutoFileRequest(/eng/lot.qxa, 0)",
          "HandlerSerialNumberReport(RH8-0042)"},
         1},
        {"a media-transfer job: the devices are moved, not programmed",
         "auto.speed=0;auto.mediatransfer=1",
         2,
         {"SiteStatusChanged(1, 3, 0)", "SiteStatusChanged(1, 0, 0)", "SiteStatusChanged(1, 6, 0)"},
         0},
        {"the job saved as an auto file last",
         "auto.speed=0;auto.savefile=/jobs/lot.qxa",
         1,
         {"JobComplete(0)", "SessionStopped()", "RequestFlag26(1)", "HandlerMessage46(/jobs/lot.qxa, 0, 1)"},
         1},
        {"no auto file saved without a job",
         "auto.speed=0;auto.savefile=/jobs/lot.qxa",
         1,
         {"SessionStopped()", "RequestFlag26(1)", "HandlerStatusText11(No job is open: the auto file is not saved.)"},
         1,
         {{"RequestFlag26", qint32(0)}}},
        {"an action that does not repeat runs one device",
         "auto.speed=0",
         4,
         {"RequestActionRepeatable(-1)",
          "HandlerStatusText11(The action does not repeat: the handler runs one device.)", "SessionStarted()"},
         1,
         {{"RequestActionRepeatable", VbBool(false)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plan(c.plan);
        host.lines.clear();
        host.handlers.clear();
        host.handlers.insert(QStringLiteral("RequestPinCount"), [](QVariantList& a) { a[0] = qint32(32); });
        host.handlers.insert(QStringLiteral("RequestEngineDirectory"),
                             [](QVariantList& a) { a[0] = QStringLiteral("/eng"); });
        for (auto it = c.answers.cbegin(); it != c.answers.cend(); ++it) {
            const QVariant answer = it.value();
            host.handlers.insert(it.key(), [answer](QVariantList& a) { a[0] = answer; });
        }
        RunAutomaticSession(c.quantity);
        EXPECT_TRUE(ContainsRun(host.lines, c.run)) << host.lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), c.devicesRun);
        EXPECT_FALSE(automatic.IsRunning());
        EXPECT_EQ(automatic.AutoHandlerInUse(), QByteArray(c.plan).contains("mediatransfer"));
        if (!QByteArray(c.name).contains("without a job"))
            EXPECT_TRUE(host.lines.filter(QStringLiteral("No job is open")).isEmpty());
    }
    // The reported serial number is the handler's from then on.
    EXPECT_EQ(automatic.SerialNumber(), QStringLiteral("RH8-0042"));
}

TEST_F(HandlerSessionTest, WithoutADeviceChosenTheHandlerDoesNotStart)
{
    Plan("auto.speed=0");
    host.handlers.insert(QStringLiteral("RequestFlag43"), [](QVariantList& a) { a[0] = VbBool(false); });
    QEventLoop loop;
    host.handlers.insert(QStringLiteral("JobComplete"), [&](QVariantList&) { loop.quit(); });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    automatic.StartSession(qint32(3));
    loop.exec();
    // Nothing more comes.
    QTest::qWait(50);
    EXPECT_EQ(
        host.lines,
        (QStringList{"RequestFlag43(-1)", "HandlerStatusText11(No device is selected: the handler does not start.)",
                     "JobComplete(5)"}));
    EXPECT_FALSE(automatic.IsRunning());
}

TEST_F(HandlerSessionTest, ALabelIsOpenedOnceTheEditorShowsAndPrintedForEachPass)
{
    // The editor's window is looked for where the station's link finds it.
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = tempPath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    const QString window = QDir(runtime).filePath(QStringLiteral("P-touch EDITOR"));

    for (const bool moved : {true, false}) {
        SCOPED_TRACE(moved ? "moved" : "as it is");
        QFile::remove(window);
        Plan(moved ? "auto.speed=0;auto.sites=2;auto.label=lot7.lbl;auto.labelmove=1"
                   : "auto.speed=0;auto.sites=2;auto.label=/abs/lot7.lbl");
        host.lines.clear();
        host.handlers.clear();
        host.results = {0, 5, 0};
        host.handlers.insert(QStringLiteral("RequestLabelPrinterDirectory"),
                             [](QVariantList& a) { a[0] = QStringLiteral("/labels"); });
        // The editor shows 150 ms after it was asked for.
        QElapsedTimer sinceInit;
        qint64 openedAfter = -1;
        host.handlers.insert(QStringLiteral("InitLabelPrintRequest"), [&](QVariantList&) {
            sinceInit.start();
            QTimer::singleShot(150, [&] {
                QFile file(window);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            });
        });
        host.handlers.insert(QStringLiteral("OpenLabelFileRequest"),
                             [&](QVariantList&) { openedAfter = sinceInit.elapsed(); });
        RunAutomaticSession(2);

        const QString label = moved ? QStringLiteral("/labels/lot7.lbl") : QStringLiteral("/abs/lot7.lbl");
        QStringList opening{"AskJobId()"};
        if (moved)
            opening << "RequestLabelPrinterDirectory()";
        opening << "InitLabelPrintRequest(" + label + ")"
                << "OpenLabelFileRequest(" + label + ")";
        if (moved)
            opening << "HandlerEvent20(1)";
        opening << "SiteStatusChanged(1, 7, 0)";
        EXPECT_TRUE(ContainsRun(host.lines, opening)) << host.lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_GE(openedAfter, 150);
        // A label for each pass, none for the failure.
        EXPECT_TRUE(
            ContainsRun(host.lines, {"SiteStatusChanged(1, 0, 0)", "HandlerEvent17()", "SiteStatusChanged(1, 6, 0)"}));
        EXPECT_TRUE(ContainsRun(host.lines, {"SiteStatusChanged(2, 1, 5)", "SiteStatusChanged(2, 6, 0)"}));
        EXPECT_EQ(host.lines.filter(QStringLiteral("HandlerEvent17")).size(), 2);
        QStringList closing;
        if (moved)
            closing << "HandlerEvent19()";
        closing << "HandlerEvent22()"
                << "JobComplete(0)"
                << "SessionStopped()";
        EXPECT_TRUE(ContainsRun(host.lines, closing)) << host.lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(host.lines.filter(QStringLiteral("HandlerEvent19")).size(), moved ? 1 : 0);
    }
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

TEST_F(HandlerSessionTest, AStopWhileTheLabelWaitsForTheEditorEndsTheSessionAtOnce)
{
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = tempPath(QStringLiteral("no-editor"));
    QDir().mkpath(runtime);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    Plan("auto.speed=0;auto.label=/abs/lot7.lbl");
    // The editor never shows; the operator stops the session.
    host.handlers.insert(QStringLiteral("InitLabelPrintRequest"), [this](QVariantList&) { automatic.StopSession(); });
    QElapsedTimer took;
    took.start();
    RunAutomaticSession(5);
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_TRUE(host.lines.filter(QStringLiteral("OpenLabelFileRequest")).isEmpty());
    EXPECT_EQ(host.lines.mid(host.lines.size() - 3),
              (QStringList{"HandlerEvent22()", "JobComplete(2)", "SessionStopped()"}));

    // A session without devices to run starts no editor.
    host.lines.clear();
    host.handlers.clear();
    RunAutomaticSession(0);
    EXPECT_TRUE(host.lines.filter(QStringLiteral("Label")).isEmpty());
    EXPECT_EQ(host.lines.last(), QStringLiteral("SessionStopped()"));
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

// --- the test hooks ---

TEST_F(HandlerSessionTest, TheTestHooksRaiseAnyEventAndReturnWhatWasHandedBack)
{
    host.handlers.insert(QStringLiteral("RequestPinCount"), [](QVariantList& args) { args[0] = qint32(64); });
    EXPECT_EQ(h950hdlrtest::RaiseEvent(*automatic.Control(), QStringLiteral("RequestPinCount"), {qint32(0)}),
              QVariantList{qint32(64)});
    host.handlers.insert(QStringLiteral("MasterSiteRequest"), [](QVariantList&) {});
    EXPECT_TRUE(manualhdltest::RaiseEvent(*manual.Control(), QStringLiteral("MasterSiteRequest")).isEmpty());
    EXPECT_EQ(host.lines, (QStringList{QStringLiteral("RequestPinCount(0)"), QStringLiteral("MasterSiteRequest()")}));
    EXPECT_THROW(manualhdltest::RaiseEvent(*manual.Control(), QStringLiteral("NoSuchEvent")), std::runtime_error);
    EXPECT_THROW(h950hdlrtest::RaiseEvent(*automatic.Control(), QStringLiteral("NoSuchEvent")), std::runtime_error);
}

} // namespace
