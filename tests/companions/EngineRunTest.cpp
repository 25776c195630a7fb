// The simulated programmer's device runs, as the station's run relies on
// them: the events of one device in order, the results and failure codes
// with their texts, the fault plan's run entries, abort, the sessions over
// sites, the power-supply log and the test hook.

#include "CompanionFixture.h"
#include "MainLoop.h"
#include "../../companions/qxpgmr/QXPgmrTestHook.h"

#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTimer>
#include <functional>
#include <optional>

namespace {

// Records the engine's events as "Name(a, b)"; a case may answer or act on
// an event by name. The pump code (progress 20) is kept apart, as it comes
// as often as the clock says; so are the events around a run's devices
// (its start, the sites not taking part, the question before a warning),
// which cases of their own follow in frame.
class EventLog : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        if (const auto handler = handlers.constFind(eventName); handler != handlers.constEnd())
            (*handler)(args);
        if (eventName == QLatin1String("OperationProgress") && args.value(0).toInt() == ProgressCode::Pump) {
            ++pumps;
            if (!keepPumps)
                return;
        }
        QStringList texts;
        for (const QVariant& v : args)
            texts << v.toString();
        const QString line = eventName + QLatin1Char('(') + texts.join(QStringLiteral(", ")) + QLatin1Char(')');
        static const QStringList kFrame{QStringLiteral("ResetButtons"), QStringLiteral("SiteInfo"),
                                        QStringLiteral("PgmrWarningMessagesEnabled")};
        (kFrame.contains(eventName) ? frame : lines) << line;
    }
    int Count(const QString& prefix) const
    {
        int n = 0;
        for (const QString& line : lines)
            n += line.startsWith(prefix);
        return n;
    }

    QStringList lines;
    QStringList frame;
    int pumps = 0;
    bool keepPumps = false;
    QHash<QString, std::function<void(QVariantList&)>> handlers;
};

// The events of one step: its progress by quarters, then its completion.
QStringList Step(int code)
{
    QStringList lines;
    for (int value : {25, 50, 75, 100})
        lines << QStringLiteral("OperationProgress(%1, %2)").arg(code).arg(value);
    lines << QStringLiteral("OperationComplete(%1)").arg(code);
    return lines;
}

QStringList Steps(std::initializer_list<int> codes)
{
    QStringList lines;
    for (int code : codes)
        lines << Step(code);
    return lines;
}

QStringList Start(const QString& what, int site = 1)
{
    return {QStringLiteral("StatusTextReported(Site %1: %2 started.)").arg(site).arg(what),
            QStringLiteral("SiteStatusFromEngine(3, 0)")};
}

QStringList Passed(const QString& what, int site = 1)
{
    return {QStringLiteral("SiteStatusFromEngine(0, 0)"),
            QStringLiteral("StatusTextReported(Site %1: %2 passed.)").arg(site).arg(what)};
}

class EngineRunTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        m_savedFaults = qgetenv("TARVO_ENGINE_FAULTS");
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
    }
    void TearDown() override
    {
        qputenv("TARVO_ENGINE_FAULTS", m_savedFaults);
        CompanionFixture::TearDown();
    }

    // A loaded engine with a device selected and a run begun under the plan.
    void Open(const QString& faults = QStringLiteral("delay=0"), const QString& device = QStringLiteral("AM27C512"))
    {
        qputenv("TARVO_ENGINE_FAULTS", faults.toUtf8());
        log.handlers.clear();
        QXProgrammer.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        QXProgrammer.Control()->SetEventSink(&log);
        QXProgrammer.StartupValue108(BinDir());
        ASSERT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
        QString name = device;
        ASSERT_EQ(QXProgrammer.SelectDeviceByName(name, false), 0);
        QXProgrammer.BeginOperation();
        log.lines.clear();
        log.frame.clear();
    }
    // A new plan for the next run.
    void Plan(const QString& faults)
    {
        qputenv("TARVO_ENGINE_FAULTS", faults.toUtf8());
        QXProgrammer.BeginOperation();
        log.lines.clear();
        log.frame.clear();
    }
    qint32 Run(qint32 command) { return QXProgrammer.ExecuteDeviceCommand(command, false, false); }

    QXPgmrControl QXProgrammer;
    EventLog log;

private:
    QByteArray m_savedFaults;
};

TEST_F(EngineRunTest, OneProgramDeviceRaisesItsEventsInOrder)
{
    Open();
    QXProgrammer.IdCheck(true);
    QXProgrammer.VerifyMode(qint32(1));
    log.keepPumps = true;
    EXPECT_EQ(Run(4), 0);
    const QStringList expected =
        QStringList{
            QStringLiteral("StatusTextReported(Site 1: Program started.)"),
            QStringLiteral("SiteStatusFromEngine(3, 0)"),
            QStringLiteral("OperationProgress(20, 0)"),
        }
        + Steps({2, 5, 8}) + Passed(QStringLiteral("Program"));
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(QXProgrammer.SiteStatusText(qint32(0)), QStringLiteral("Passed"));
}

// Each command runs the steps its committed options ask for, each with the
// code the station's progress table gives the step's row and place.
TEST_F(EngineRunTest, EachCommandRunsTheStepsOfItsOptions)
{
    const struct
    {
        qint32 command;
        const char* what;
        std::function<void(QXPgmrControl&)> options;
        std::initializer_list<int> codes;
    } cases[] = {
        {0,
         "Program options",
         [](QXPgmrControl& e) {
             e.TestMode(qint32(1));
             e.SecureAfterVerify(qint32(-1));
         },
         {12, 9}},
        {1, "Blank check", [](QXPgmrControl&) {}, {3}},
        {2, "Verify by compare", [](QXPgmrControl&) {}, {14}},
        {3, "Erase", [](QXPgmrControl& e) { e.BlankCheckOption(true); }, {4, 3}},
        // Verify twice and test twice: 8, 7, 12, 11 are the row's four steps.
        {4,
         "Program",
         [](QXPgmrControl& e) {
             e.ContinuityCheck(true);
             e.IdCheck(true);
             e.EraseOption(true);
             e.VerifyMode(qint32(2));
             e.TestMode(qint32(2));
         },
         {1, 2, 4, 5, 8, 7, 12, 11}},
        {4,
         "Program",
         [](QXPgmrControl& e) {
             e.SecureMode(true);
             e.SecureWithTest(qint32(1));
         },
         {5, 9, 12}},
        {6, "Secure", [](QXPgmrControl& e) { e.SecureWithTest(qint32(2)); }, {9, 12, 11}},
        {7, "Verify by sum", [](QXPgmrControl&) {}, {15}},
        {8, "Test", [](QXPgmrControl&) {}, {12}},
        {9, "Verify", [](QXPgmrControl& e) { e.VerifyMode(qint32(2)); }, {8, 7}},
        {15, "Verify with encryption", [](QXPgmrControl&) {}, {8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Open();
        c.options(QXProgrammer);
        EXPECT_EQ(Run(c.command), 0);
        const QString what = QString::fromLatin1(c.what);
        EXPECT_EQ(log.lines, Start(what) + Steps(c.codes) + Passed(what));
        EXPECT_GE(log.pumps, 1); // the station pumps at least once a device
    }
}

// A programmed device holds what the buffer held (here the unloaded
// buffer's fill byte); a read brings it back; an erased or new device reads
// blank (FF).
// The blank-check row holds the blank check or the illegal-bit check: the
// one committed last runs, and fails with its own code.
TEST_F(EngineRunTest, TheBlankCheckCommandRunsTheCheckCommittedLast)
{
    Open(QStringLiteral("delay=0;site.1=@illegalbit"));
    QXProgrammer.BlankCheckOption(true);
    QXProgrammer.SetIllegalBit(qint32(VbTrue));
    QXProgrammer.EraseOption(false);
    EXPECT_EQ(Run(1), 37);
    QXProgrammer.BlankCheckOption(true);
    QXProgrammer.EraseOption(false);
    EXPECT_EQ(Run(1), 0);
    QXProgrammer.SetIllegalBit(qint32(VbTrue));
    EXPECT_EQ(Run(1), 37);
}

TEST_F(EngineRunTest, AReadPutsTheDeviceIntoTheBufferProgrammedOrBlank)
{
    Open();
    QXProgrammer.DefaultBufferByte(qint32(0x01));
    EXPECT_EQ(Run(4), 0);
    log.lines.clear();
    EXPECT_EQ(Run(5), 0);
    EXPECT_EQ(log.lines,
              (Start(QStringLiteral("Read")) + Step(24) + QStringList{QStringLiteral("BufferContentChanged(65536)")}
               + Passed(QStringLiteral("Read"))));
    EXPECT_EQ(QXProgrammer.BufferSize(), 65536);
    EXPECT_EQ(QXProgrammer.ChecksumText(), QStringLiteral("00010000")); // 64K bytes of 01

    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(Run(5), 0);
    EXPECT_EQ(QXProgrammer.ChecksumText(), QStringLiteral("00FF0000"));

    // Programmed again (now with the content read), then a new device.
    QXProgrammer.DefaultBufferByte(qint32(0x00));
    EXPECT_EQ(Run(4), 0);
    qint32 site = 1;
    EXPECT_EQ(QXProgrammer.MarkSiteReady(site), 0);
    EXPECT_EQ(Run(5), 0);
    EXPECT_EQ(QXProgrammer.ChecksumText(), QStringLiteral("00FF0000"));
}

// Every code of every failure category has the engine's words, and a device
// failing with any category's code reports it as the site's failure code
// and as the result.
TEST_F(EngineRunTest, FailureCodesOfEveryCategoryWithTheirTexts)
{
    Open();
    const struct
    {
        const char* category;
        const qint32* begin;
        const qint32* end;
    } lists[] = {
        {"over-current", std::begin(FailureCode::OverCurrent), std::end(FailureCode::OverCurrent)},
        {"continuity", std::begin(FailureCode::Continuity), std::end(FailureCode::Continuity)},
        {"programming", std::begin(FailureCode::Programming), std::end(FailureCode::Programming)},
        {"erase", std::begin(FailureCode::Erase), std::end(FailureCode::Erase)},
        {"bad ID", std::begin(FailureCode::BadID), std::end(FailureCode::BadID)},
        {"non-blank", std::begin(FailureCode::NonBlank), std::end(FailureCode::NonBlank)},
        {"security", std::begin(FailureCode::Security), std::end(FailureCode::Security)},
        {"verify", std::begin(FailureCode::Verify), std::end(FailureCode::Verify)},
        {"illegal bit", std::begin(FailureCode::IllegalBit), std::end(FailureCode::IllegalBit)},
        {"functionality", std::begin(FailureCode::Functionality), std::end(FailureCode::Functionality)},
        {"already secured", std::begin(FailureCode::AlreadySecured), std::end(FailureCode::AlreadySecured)},
    };
    QList<qint32> failing;
    for (const auto& list : lists) {
        SCOPED_TRACE(list.category);
        for (const qint32* code = list.begin; code != list.end; ++code) {
            const QString text = QXProgrammer.SiteErrorText(*code);
            EXPECT_FALSE(text.isEmpty() || text.startsWith(QLatin1String("Failure code"))) << *code;
            EXPECT_EQ(QXProgrammer.ErrorMessageText(*code), text);
        }
        failing << *list.begin;
    }
    failing << 29 /* no category */ << 81 /* other */;
    for (const qint32 code : failing) {
        SCOPED_TRACE(code);
        Plan(QStringLiteral("delay=0;device.1=%1").arg(code));
        EXPECT_EQ(Run(4), code);
        const QString text = QXProgrammer.SiteErrorText(code);
        EXPECT_EQ(log.lines,
                  (Start(QStringLiteral("Program")) + Step(5)
                   + QStringList{QStringLiteral("SiteStatusFromEngine(1, %1)").arg(code),
                                 QStringLiteral("StatusTextReported(Site 1: Program failed: %1.)").arg(text)}));
        EXPECT_FALSE(QXProgrammer.IsStopResult(code));
    }
    // Codes outside the table still read as words.
    EXPECT_EQ(QXProgrammer.SiteErrorText(qint32(99)), QStringLiteral("Failure code 99"));
    EXPECT_EQ(QXProgrammer.ErrorMessageText(qint32(0)), QStringLiteral("Operation successful"));
}

TEST_F(EngineRunTest, IsStopResultOnlyForAbortAndEngineError)
{
    Open();
    const struct
    {
        qint32 result;
        bool stop;
    } cases[] = {
        {0, false},  {21, false},  {28, false},  {81, false},  {200, true},
        {201, true}, {202, false}, {203, false}, {204, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QXProgrammer.IsStopResult(c.result), c.stop) << c.result;
}

TEST_F(EngineRunTest, ThePlanFailsTheNthDeviceOrASiteAtAStep)
{
    // The second device fails in its verify step: the step stops at 50 with
    // no completion; the devices before and after pass.
    Open(QStringLiteral("delay=0;device.2=@verify"));
    QXProgrammer.VerifyMode(qint32(1));
    EXPECT_EQ(Run(4), 0);
    log.lines.clear();
    EXPECT_EQ(Run(4), 28);
    EXPECT_EQ(log.lines,
              (Start(QStringLiteral("Program")) + Step(5)
               + QStringList{QStringLiteral("OperationProgress(8, 25)"), QStringLiteral("OperationProgress(8, 50)"),
                             QStringLiteral("SiteStatusFromEngine(1, 28)"),
                             QStringLiteral("StatusTextReported(Site 1: Program failed: Verify failure.)")}));
    EXPECT_EQ(Run(4), 0);

    // A site's devices all fail, with the code given, at the step given.
    Plan(QStringLiteral("delay=0;site.1=50@program"));
    EXPECT_EQ(Run(4), 50);
    EXPECT_EQ(Run(4), 50);
    EXPECT_EQ(log.Count(QStringLiteral("OperationComplete(5)")), 0);
    // A step the command does not have plans nothing.
    EXPECT_EQ(Run(1), 0);
}

TEST_F(EngineRunTest, AnEngineErrorEndsTheRunWithAFinalResultAndNoVerdict)
{
    Open(QStringLiteral("delay=0;engineerror=2"));
    EXPECT_EQ(Run(4), 0);
    log.lines.clear();
    const qint32 result = Run(4);
    EXPECT_TRUE(QXProgrammer.IsStopResult(result));
    EXPECT_EQ(result, 201);
    EXPECT_EQ(
        log.lines,
        (Start(QStringLiteral("Program"))
         + QStringList{QStringLiteral("OperationProgress(5, 25)"), QStringLiteral("OperationProgress(5, 50)"),
                       QStringLiteral("SysInfoMessage(The programmer on port 1 does not answer (site 1, Program).)"),
                       QStringLiteral("SiteStatusFromEngine(2, 0)"),
                       QStringLiteral("StatusTextReported(Site 1: Program stopped: programmer not responding.)")}));
    EXPECT_FALSE(QXProgrammer.ErrorMessageText(result).isEmpty());
}

TEST_F(EngineRunTest, ThePlanFailsACallWithAnAutomationError)
{
    Open(QStringLiteral("delay=0;callfail=ExecuteDeviceCommand:2"));
    EXPECT_EQ(Run(4), 0);
    log.lines.clear();
    try {
        Run(4);
        ADD_FAILURE() << "the second call did not fail";
    } catch (const AutomationError& e) {
        EXPECT_EQ(quint32(e.Number()), 0x80004005u);
        EXPECT_TRUE(e.Description().contains(QLatin1String("ExecuteDeviceCommand")));
    }
    EXPECT_TRUE(log.lines.isEmpty()); // the call failed before any device work
    EXPECT_EQ(Run(4), 0);

    Plan(QStringLiteral("delay=0;callfail=MarkSiteReady"));
    EXPECT_THROW(QXProgrammer.MarkSiteReady(qint32(1)), AutomationError);
    EXPECT_THROW(QXProgrammer.MarkSiteReady(qint32(1)), AutomationError);
}

TEST_F(EngineRunTest, PlanNotesAreToldOnceInAStatusLineAndPlanNothing)
{
    // The other readers' entries (the engine's job files, the handlers')
    // are no mistakes: nothing is told of them.
    const QString plan = QStringLiteral("delay=0;device.x=28;site.1=abc;engineerror=-3;callfail=Nothing;start=soon;"
                                        "colour=blue;quiet=1;jobslow=5;skopen=0;jobwrite=0;manual.delay=0;"
                                        "auto.speed=0;manual.colour=red");
    qputenv("TARVO_ENGINE_FAULTS", plan.toUtf8());
    QXProgrammer.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    QXProgrammer.Control()->SetEventSink(&log);
    QXProgrammer.StartupValue108(BinDir());
    testing::internal::CaptureStderr();
    ASSERT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    // The station is still starting: its status list is not up yet.
    EXPECT_EQ(log.Count(QStringLiteral("StatusTextReported")), 0);
    QXProgrammer.SetGuiReady(true);
    const std::string err = testing::internal::GetCapturedStderr();
    const auto told = [](const char* entry, const char* what) {
        return QStringLiteral("StatusTextReported(The fault plan entry \"%1\" %2; it plans nothing.)")
            .arg(QLatin1String(entry), QLatin1String(what));
    };
    EXPECT_EQ(log.lines,
              (QStringList{told("callfail=Nothing", "cannot be read"), told("colour=blue", "is unknown"),
                           told("device.x=28", "is unknown"), told("engineerror=-3", "cannot be read"),
                           told("manual.colour=red", "is unknown"), told("site.1=abc", "cannot be read"),
                           told("start=soon", "cannot be read")}));
    EXPECT_NE(err.find("colour=blue"), std::string::npos);

    // Told once: a new entry alone is told at the next run, as a status line.
    qputenv("TARVO_ENGINE_FAULTS", (plan + QStringLiteral(";device.1=@nowhere")).toUtf8());
    QString name = QStringLiteral("AM27C512");
    ASSERT_EQ(QXProgrammer.SelectDeviceByName(name, false), 0);
    log.lines.clear();
    QXProgrammer.BeginOperation();
    EXPECT_EQ(log.lines, QStringList{told("device.1=@nowhere", "cannot be read")});
    log.lines.clear();
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(log.Count(QStringLiteral("WarningMessage")), 0);
}

TEST_F(EngineRunTest, AbortEndsTheRunningCallAtItsNextStep)
{
    // Slow enough that the pump code comes during each step.
    Open(QStringLiteral("delay=40"));
    QXProgrammer.VerifyMode(qint32(1));
    bool pressed = false;
    log.handlers.insert(QStringLiteral("OperationComplete"), [&](QVariantList& args) {
        if (args.value(0).toInt() == 5)
            pressed = true; // the operator's Stop reaches the engine at the next pump
    });
    log.handlers.insert(QStringLiteral("OperationProgress"), [&](QVariantList& args) {
        if (pressed && args.value(0).toInt() == ProgressCode::Pump)
            QXProgrammer.AbortOperation();
    });
    const qint32 result = Run(4);
    EXPECT_EQ(result, 200);
    EXPECT_TRUE(QXProgrammer.IsStopResult(result));
    EXPECT_EQ(log.lines,
              (Start(QStringLiteral("Program")) + Step(5)
               + QStringList{QStringLiteral("SiteStatusFromEngine(2, 0)"),
                             QStringLiteral("StatusTextReported(Site 1: Program aborted.)")}));

    // An abort while idle leaves the next call alone.
    log.handlers.clear();
    log.lines.clear();
    QXProgrammer.AbortOperation();
    Plan(QStringLiteral("delay=0"));
    QXProgrammer.AbortOperation();
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(log.Count(QStringLiteral("SiteStatusFromEngine(0, 0)")), 1);
}

TEST_F(EngineRunTest, DelaysSlowTheStepsAndThePumpCodeKeepsComing)
{
    Open(QStringLiteral("delay=80;delay.device=40"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Run(1), 0); // one step
    EXPECT_GE(clock.elapsed(), 110);
    EXPECT_GE(log.pumps, 5); // every 20 ms
}

TEST_F(EngineRunTest, AWaitingStepAnswersTheThreadsEventsAsTheyCome)
{
    // A device that would wait five seconds, and a host that never pumps: a
    // call posted to the thread (as a client's call or a press of Stop
    // comes) runs within the first slice of the wait, before the next pump
    // code, and its abort ends the device.
    Open(QStringLiteral("delay=0;delay.device=5000"));
    int pumpsWhenCalled = -1;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            pumpsWhenCalled = log.pumps;
            QXProgrammer.AbortOperation();
        },
        Qt::QueuedConnection);
    const qint32 result = Run(1);
    EXPECT_EQ(pumpsWhenCalled, 1); // only the device's first pump code came before
    EXPECT_EQ(result, 200);
    ASSERT_EQ(log.lines.size(), 4) << log.lines.join('\n').toStdString();
    EXPECT_EQ(log.lines.at(2), QStringLiteral("SiteStatusFromEngine(2, 0)"));
    EXPECT_TRUE(log.lines.at(3).endsWith(QStringLiteral(" aborted.)"))) << log.lines.at(3).toStdString();
}

// A session's repeat asks the station for its set-up first and runs what it
// answers on the site, leaving the site's status to the session's handler.
TEST_F(EngineRunTest, RepeatSiteCommandRunsWhatTheSetUpRequestAnswers)
{
    struct Answer
    {
        qint32 command;
        bool special;
        bool outOfRange;
    };
    const struct
    {
        const char* what;
        const char* device;
        std::optional<Answer> answer; // none: no handler answers
        qint32 result;
        QStringList events;
    } cases[] = {
        {"command", "AM27C512", Answer{8, false, false}, 0,
         QStringList{QStringLiteral("StatusTextReported(Site 3: Test started.)")} + Step(12)
             + QStringList{QStringLiteral("StatusTextReported(Site 3: Test passed.)")}},
        {"variant", "STAPL ISP Device", Answer{1, true, false}, 0, {}},
        {"variant out of range", "STAPL ISP Device", Answer{0, false, true}, 202, {}},
        {"special beyond the variants", "STAPL ISP Device", Answer{40, true, false}, 202, {}},
        {"unknown command", "AM27C512", Answer{10, false, false}, 202, {}},
        {"no answer", "AM27C512", std::nullopt, 202, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(QStringLiteral("delay=0"), QString::fromLatin1(c.device));
        QXProgrammer.SelectProgrammerModel(qint32(11)); // RG-1080/8
        int asked = 0;
        if (c.answer) {
            const Answer a = *c.answer;
            log.handlers.insert(QStringLiteral("SetupOperationRequest"), [&asked, a](QVariantList& args) {
                ++asked;
                args[0] = a.command;
                args[1] = VbBool(a.special);
                args[2] = VbBool(a.outOfRange);
            });
        }
        qint32 site = 3;
        EXPECT_EQ(QXProgrammer.RepeatSiteCommand(site), c.result);
        EXPECT_EQ(asked, c.answer ? 1 : 0);
        QStringList events = log.lines.filter(QRegularExpression(QStringLiteral("^(?!SetupOperationRequest)")));
        if (!c.events.isEmpty() || c.result != 0) {
            EXPECT_EQ(events, c.events);
        }
        EXPECT_EQ(log.Count(QStringLiteral("SiteStatusFromEngine")), 0);
        if (c.result == 0) {
            EXPECT_EQ(QXProgrammer.SiteStatusText(qint32(2)), QStringLiteral("Passed"));
        }
    }
}

TEST_F(EngineRunTest, SitesOfASessionAreMarkedWithoutAsking)
{
    Open();
    QXProgrammer.SelectProgrammerModel(qint32(11)); // RG-1080/8
    ASSERT_EQ(QXProgrammer.SiteCount(), 8);
    for (qint32 site = 1; site <= 8; ++site) {
        qint32 s = site;
        EXPECT_EQ(QXProgrammer.MarkSiteReady(s), 0);
        EXPECT_EQ(QXProgrammer.SiteStatusText(site - 1), QStringLiteral("Ready"));
        s = site;
        EXPECT_EQ(QXProgrammer.MarkSiteFinished(s), 0);
        EXPECT_EQ(QXProgrammer.SiteStatusText(site - 1), QString());
    }
    for (qint32 site : {0, 9, -1}) {
        EXPECT_EQ(QXProgrammer.MarkSiteReady(site), 204);
        EXPECT_EQ(QXProgrammer.MarkSiteFinished(site), 204);
        EXPECT_EQ(QXProgrammer.RepeatSiteCommand(site), 204);
    }
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(QLatin1Char('\n')).toStdString();
}

TEST_F(EngineRunTest, ADeviceRunNeedsADeviceAndAKnownCommand)
{
    Open();
    const struct
    {
        qint32 command;
        qint32 result;
    } cases[] = {{10, 202}, {16, 202}, {-2, 202}, {14, 202 /* not armed */}, {-1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.command), c.result) << c.command;
    EXPECT_TRUE(log.lines.isEmpty());
    QXProgrammer.RefreshState202(qint32(0), qint32(0), qint32(0));
    QString none = QStringLiteral("NO SUCH DEVICE");
    QXProgrammer.SelectDeviceByName(none, false);
    QXProgrammer.RefreshState202(qint32(0), qint32(0), qint32(0));
    EXPECT_EQ(Run(4), 203);
    EXPECT_EQ(QXProgrammer.RunOperation(qint32(0), false), 203);
}

TEST_F(EngineRunTest, RunOperationRunsAProgramVariant)
{
    Open(QStringLiteral("delay=0"), QStringLiteral("STAPL ISP Device"));
    const QString name = QXProgrammer.ExecuteVariantNameAt(qint32(0));
    ASSERT_FALSE(name.isEmpty());
    qint32 variant = 0;
    EXPECT_EQ(QXProgrammer.RunOperation(variant, false), 0);
    EXPECT_EQ(log.lines, Start(name) + Step(5) + Passed(name));
    variant = QXProgrammer.ExecuteVariantCount();
    EXPECT_EQ(QXProgrammer.RunOperation(variant, false), 202);
}

TEST_F(EngineRunTest, CustomActionSelectionArmsItsProcedures)
{
    Open(QStringLiteral("delay=0"), QStringLiteral("SL18F4550"));
    // Calibrate: REQ Read OSCCAL, OPT trim, REC write: the required one and
    // the chosen ones run.
    QString selection = QStringLiteral("@&Calibrate:1,0,1,");
    QXProgrammer.RunCustomAction(selection);
    EXPECT_EQ(Run(14), 0);
    EXPECT_EQ(log.lines,
              Start(QStringLiteral("Custom action")) + Steps({24, 24}) + Passed(QStringLiteral("Custom action")));

    const struct
    {
        const char* selection;
        const char* reason;
    } malformed[] = {
        {"Calibrate:1,", "does not start with \"@\""},
        {"@Calibrate", "no \":\""},
        {"@Fuse Blow:1,", "no custom action \"Fuse Blow\""},
        {"@Calibrate:1,2,", "\"2\" stands where 1 or 0"},
        {"@Calibrate:1,0", "must end in \",\""},
        {"@Calibrate:1,1,1,1,", "4 choices for the 3 procedures"},
    };
    for (const auto& m : malformed) {
        SCOPED_TRACE(m.selection);
        QString text = QString::fromLatin1(m.selection);
        try {
            QXProgrammer.RunCustomAction(text);
            ADD_FAILURE() << "accepted";
        } catch (const AutomationError& e) {
            EXPECT_TRUE(e.Description().contains(QString::fromLatin1(m.reason))) << e.Description().toStdString();
            EXPECT_TRUE(e.Description().contains(QString::fromLatin1(m.selection)));
        }
    }
    // A refused selection disarms the action.
    EXPECT_EQ(Run(14), 202);
}

TEST_F(EngineRunTest, PowerSupplyLogLinePerDevice)
{
    Open();
    const QString folder = tempPath(QStringLiteral("pslog"));
    QXProgrammer.SetPowerSupplyLogFolder(folder);
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(Run(9), 0);
    QFile file(QDir(folder).filePath(QStringLiteral("PowerSupplyLog.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two devices, the end
    EXPECT_EQ(lines.at(0), QByteArray("Date,Time,Site,Operation,Result,VCC (V),VPP (V),ICC (mA)\r"));
    const QList<QByteArray> program = lines.at(1).trimmed().split(',');
    ASSERT_EQ(program.size(), 8);
    EXPECT_EQ(program.at(2), "1");
    EXPECT_EQ(program.at(3), "Program");
    EXPECT_EQ(program.at(4), "0");
    EXPECT_EQ(program.at(5), "5.00");
    EXPECT_EQ(program.at(6), "12.50");
    EXPECT_EQ(lines.at(2).split(',').value(6), "0.00"); // a verify does not write
    EXPECT_TRUE(log.lines.filter(QStringLiteral("WarningMessage")).isEmpty());

    // The next run logs only when the station hands the folder again.
    QXProgrammer.BeginOperation();
    EXPECT_EQ(Run(4), 0);
    file.seek(0);
    EXPECT_EQ(file.readAll().count('\n'), 3);
}

TEST_F(EngineRunTest, AnUnwritablePowerSupplyLogFolderIsNamedInAWarning)
{
    Open();
    const QString blocker = tempPath(QStringLiteral("file"));
    QFile(blocker).open(QIODevice::WriteOnly);
    const QString folder = blocker + QStringLiteral("/logs");
    QXProgrammer.SetPowerSupplyLogFolder(folder);
    EXPECT_EQ(
        log.lines,
        (QStringList{QStringLiteral("WarningMessage(The power-supply log cannot be written to %1.)").arg(folder)}));
    log.lines.clear();
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(log.Count(QStringLiteral("WarningMessage")), 0);

    // A station that takes no warnings now gets the text in its log.
    log.handlers.insert(QStringLiteral("PgmrWarningMessagesEnabled"), [](QVariantList& args) { args[0] = false; });
    log.lines.clear();
    QXProgrammer.SetPowerSupplyLogFolder(folder);
    EXPECT_EQ(log.lines,
              (QStringList{QStringLiteral("LogMessage(The power-supply log cannot be written to %1.)").arg(folder)}));
}

// The station's run starts at its first device: the buttons and the Stop
// record are reset once (a later device must not clear a Stop pressed
// between devices) and the sites other than the master site take no part.
// A second job asked for from inside a device call starts nothing, nor
// does a session's device. FinishRunReport writes the counts the station
// answers into its log and ends the run.
TEST_F(EngineRunTest, TheRunsFirstDeviceStartsItAndItsReportEndsIt)
{
    Open();
    QXProgrammer.SelectProgrammerModel(qint32(11)); // RG-1080/8: 8 sites
    QXProgrammer.MasterSite(qint32(5));
    Plan(QStringLiteral("delay=0"));
    log.handlers.insert(QStringLiteral("StatusTextReported"), [this](QVariantList&) {
        QXProgrammer.BeginOperation(); // refused by the station: the run goes on
    });
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(Run(4), 0);
    QStringList start{QStringLiteral("ResetButtons(-1)")};
    for (int site : {1, 2, 3, 4, 6, 7, 8})
        start << QStringLiteral("SiteInfo(%1, 5)").arg(site);
    EXPECT_EQ(log.frame, start);
    EXPECT_EQ(log.lines.first(), QStringLiteral("StatusTextReported(Site 5: Program started.)"));
    log.handlers.clear();

    const std::pair<const char*, QVariant> answers[] = {
        {"RequestHandlerQuantity", qint32(5)},   {"RequestQuantity", qint32(6)},
        {"RequestHandlerValue3", qint32(2)},     {"RequestHandlerValue4", qint32(1)},
        {"RequestHandlerValue1", qint32(3)},     {"RequestHandlerValue2", qint32(7)},
        {"RequestHandlerValue15", VbBool(true)},
    };
    for (const auto& [event, value] : answers)
        log.handlers.insert(QString::fromLatin1(event), [value](QVariantList& args) { args[0] = value; });
    log.lines.clear();
    log.frame.clear();
    QXProgrammer.FinishRunReport();
    EXPECT_EQ(log.lines.filter(QStringLiteral("LogMessage")),
              QStringList{QStringLiteral("LogMessage(Run report: quantity 5 (quantity box 6), 2 passed, 1 failed, 3 "
                                         "left, 7 sites idle, handler value 15 True.)")});
    EXPECT_EQ(log.frame, QStringList{QStringLiteral("ResetButtons(0)")});

    // A session's device after a BeginOperation: the handler's run.
    Plan(QStringLiteral("delay=0"));
    qint32 site = 2;
    log.handlers.insert(QStringLiteral("SetupOperationRequest"), [](QVariantList& args) { args[0] = qint32(4); });
    EXPECT_EQ(QXProgrammer.RepeatSiteCommand(site), 0);
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(log.frame.filter(QStringLiteral("ResetButtons")), QStringList{});
}

TEST_F(EngineRunTest, TheTestHookRaisesAnyEventAndReturnsWhatWasHandedBack)
{
    Open();
    log.handlers.insert(QStringLiteral("RequestQuantity"), [](QVariantList& args) { args[0] = qint32(7); });
    EXPECT_EQ(qxpgmrtest::RaiseEvent(*QXProgrammer.Control(), QStringLiteral("RequestQuantity"), {qint32(0)}),
              QVariantList{qint32(7)});
    // An event no engine behaviour raises comes through the hook as well.
    EXPECT_EQ(qxpgmrtest::RaiseEvent(*QXProgrammer.Control(), QStringLiteral("SetQuantity"), {qint32(5)}),
              QVariantList{qint32(5)});
    EXPECT_EQ(log.lines, (QStringList{QStringLiteral("RequestQuantity(7)"), QStringLiteral("SetQuantity(5)")}));
    EXPECT_THROW(qxpgmrtest::RaiseEvent(*QXProgrammer.Control(), QStringLiteral("NoSuchEvent")), std::runtime_error);
}

TEST_F(EngineRunTest, TheStartKeyRequestsJobsFromTheMainLoopOnceInitialised)
{
    Open(QStringLiteral("delay=0;start=30:2"));
    int requests = 0;
    log.handlers.insert(QStringLiteral("ExecuteOperationRequest"), [&](QVariantList&) {
        ++requests;
        EXPECT_EQ(Run(4), 0); // the station's run, from inside the request
    });
    RunMainLoop(100);
    EXPECT_EQ(requests, 0); // not before the engine is initialised
    ASSERT_EQ(QXProgrammer.InitializeEngine194(qint32(1)), 0);
    // Messages pumped outside the main loop (start-up still going) do not
    // start a job.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(requests, 0);
    RunMainLoop(5000, [&] { return requests == 2; });
    EXPECT_EQ(requests, 2);
    RunMainLoop(200);
    EXPECT_EQ(requests, 2); // COUNT jobs in all
}

// A fresh station starts on the single-site model on a real port, not DEMO;
// the environment can move it to another model, which it then keeps.
TEST_F(EngineRunTest, AFreshStationIsASingleSiteProgrammerOnARealPort)
{
    Open();
    EXPECT_EQ(QXProgrammer.PortIndex(), 1);
    EXPECT_EQ(QXProgrammer.ProgrammerModelIndex(), 0);
    EXPECT_EQ(QXProgrammer.SiteCount(), 1);

    const QByteArray saved = qgetenv("TARVO_ENGINE_MODEL");
    qputenv("TARVO_ENGINE_MODEL", "RG-1080/8");
    Open();
    qputenv("TARVO_ENGINE_MODEL", saved);
    EXPECT_EQ(QXProgrammer.ProgrammerModelName(), QStringLiteral("RG-1080/8"));
    EXPECT_EQ(QXProgrammer.SiteCount(), 8);
    EXPECT_EQ(QXProgrammer.PortIndex(), 1);
    Open();
    EXPECT_EQ(QXProgrammer.SiteCount(), 8);
}

// A job parameter is the engine's own setting: the next run takes it, and so
// does the job saved next (and loaded again into another engine).
TEST_F(EngineRunTest, JobParametersChangeTheNextRunAndTheSavedJob)
{
    const QString device = QStringLiteral("NV29F040"); // verifies twice
    Open(QStringLiteral("delay=0"), device);
    ASSERT_EQ(QXProgrammer.ApplyJobParameter(QStringLiteral("DeviceOptions.Verify Twice"), QStringLiteral("ENABLE")),
              0);
    ASSERT_EQ(QXProgrammer.ApplyJobParameter(QStringLiteral("DeviceOptions.Blank Check"), QStringLiteral("ENABLE")), 0);
    EXPECT_EQ(Run(9), 0);
    EXPECT_EQ(log.lines, Start(QStringLiteral("Verify")) + Steps({8, 7}) + Passed(QStringLiteral("Verify")));
    log.lines.clear();
    EXPECT_EQ(Run(4), 0);
    EXPECT_EQ(log.lines, Start(QStringLiteral("Program")) + Steps({3, 5, 8, 7}) + Passed(QStringLiteral("Program")));

    const QString job = tempPath(QStringLiteral("verify-twice.qx"));
    ASSERT_EQ(QXProgrammer.SaveJobFile(job), 0);
    Open(QStringLiteral("delay=0"), device);
    EXPECT_EQ(QXProgrammer.VerifyMode(), 0);
    ASSERT_EQ(QXProgrammer.LoadJobFile(job), 0);
    EXPECT_EQ(QXProgrammer.VerifyMode(), 2);
    EXPECT_TRUE(QXProgrammer.BlankCheckOption());
}

} // namespace
