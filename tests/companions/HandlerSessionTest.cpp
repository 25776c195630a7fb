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

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QTimer>
#include <functional>

namespace {

// Records a handler's events as "Name(a, b)" and answers the device runs:
// RepeatCommandRequest gets the next planned result (0 when none is left).
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

const QStringList kManualStart{QStringLiteral("SetThreadCommUtilPtr(0)"), QStringLiteral("SetDeviceAutomationArbiter()"),
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
    EXPECT_EQ(host.lines, expected);
    EXPECT_GT(host.abortQuestions, 0);
}

TEST_F(HandlerSessionTest, AManualSessionFillsOnlyAsManySocketsAsDevicesRemain)
{
    Plan("manual.sites=8");
    EXPECT_EQ(manual.RunConcurrentSession(2, 0), 0);
    QStringList expected = kManualStart;
    expected << Placed({1, 2}) << ManualDevice(1, 0, 1, 0, 1, 1) << ManualDevice(2, 0, 2, 0, 0, 0);
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
    } cases[] = {
        {"no copies", "manual.sites=2", 0, 0, {}, false, 1, 0},
        {"negative copies", "manual.sites=2", -1, 0, {}, false, 1, 0},
        {"mode with placed and picked devices", "manual.sites=2", 2, 1, {}, false, 4, 0},
        {"mode with a socket arbiter", "manual.sites=2", 2, 2, {}, false, 4, 0},
        {"every socket empty", "manual.sites=2;manual.empty=1:2", 2, 0, {}, false, 3, 0},
        {"a planned handler failure after the devices", "manual.sites=2;manual.result=9", 2, 0, {}, false, 9, 2},
        {"nothing passes: the operator gives up", "manual.sites=2", 5, 0, {4, 4, 4, 4, 4, 4, 4}, false, 5, 6},
        {"the host says the session is aborted", "manual.sites=2", 4, 0, {}, true, 0, 0},
        {"the operator's abort at the third device", "manual.sites=2;manual.abort=3", 9, 0, {}, false, 0, 2},
        {"an unreadable entry plans nothing", "manual.sites=2;manual.abort=x", 2, 0, {}, false, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plan(c.plan);
        host.lines.clear();
        host.results = c.results;
        host.abortAnswer = c.abortAnswer;
        EXPECT_EQ(manual.RunConcurrentSession(c.copies, c.mode), c.result);
        EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), c.devicesRun);
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
    EXPECT_EQ(host.lines, (QStringList{QStringLiteral("SetThreadCommUtilPtr(0)"),
                                       QStringLiteral("SetDeviceAutomationArbiter()")}));
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
        return QStringList{QStringLiteral("SiteStatusChanged(%1, 7, 0)").arg(site),
                           QStringLiteral("SiteStatusChanged(%1, 4, 0)").arg(site),
                           QStringLiteral("SiteStatusChanged(%1, 3, 0)").arg(site),
                           QStringLiteral("RepeatCommandRequest(%1, %2)").arg(site).arg(result),
                           result == 0 ? QStringLiteral("SiteStatusChanged(%1, 0, 0)").arg(site)
                                       : QStringLiteral("SiteStatusChanged(%1, 1, %2)").arg(site).arg(result),
                           QStringLiteral("SiteStatusChanged(%1, 6, 0)").arg(site),
                           QStringLiteral("RunStatisticsChanged(%1, %2, 0, %3, 0, 0, 0)")
                               .arg(passed)
                               .arg(failed)
                               .arg(2 - passed),
                           QStringLiteral("HandlerEvent42()")};
    };
    QStringList expected{QStringLiteral("SessionStarted()")};
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
    host.handlers.insert(QStringLiteral("SessionStarted"), [this](QVariantList&) { automatic.StartSession(qint32(9)); });
    RunAutomaticSession(1);
    EXPECT_EQ(host.lines.filter(QStringLiteral("SessionStarted")).size(), 1);
    EXPECT_EQ(host.lines.filter(QStringLiteral("RepeatCommandRequest")).size(), 1);
    EXPECT_EQ(automatic.Quantity(), 1);
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
