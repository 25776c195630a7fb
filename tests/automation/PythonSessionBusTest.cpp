// A handler program in Python (python3-dbus, a GLib main loop) runs jobs on
// the station's programmer object over a private bus: the station started by
// activation on the simulated eight-site programmer "RG-1080/8", its manual
// handler taking the devices the client places. The client is
// tests/automation/programmer_client.py; what it heard comes back as lines.
#include "ClientRoundLines.h"
#include "PrivateBusTest.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

// The distribution's interpreter: it has the dbus and gi modules.
const QString kPython = QStringLiteral("/usr/bin/python3");

class PythonSessionBusTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        // The station comes up with a device selected, and writes the
        // client's calls into its log.
        SelectDeviceAtStart("AM27C512");
        SetComTransactionLog(true);
    }

    // Starts the bus; the station it activates runs at full speed with a
    // manual handler of eight sockets and traces the handler's sites.
    void StartBus(const QString& faults = {})
    {
        QProcessEnvironment env = BusEnvironment();
        env.insert("TARVO_ENGINE_MODEL", "RG-1080/8");
        env.insert("TARVO_ENGINE_FAULTS", "delay=0;manual.sites=8" + (faults.isEmpty() ? QString() : ";" + faults));
        env.insert("TARVO_MANUALHDL_TRACE", TracePath());
        StartDaemon(env);
    }

    // Runs the client on the jobs; the lines it heard.
    QStringList RunClient(const QJsonArray& jobs)
    {
        QProcessEnvironment env = childEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        const ProcessResult r = RunProgram(kPython,
                                           {SourceDir() + "/tests/automation/programmer_client.py",
                                            QString::fromUtf8(QJsonDocument(jobs).toJson(QJsonDocument::Compact))},
                                           env, 120000);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
        return r.out.split('\n', Qt::SkipEmptyParts);
    }

    // A job file the station saves itself: its device and a data pattern.
    QString GoodJobFile()
    {
        const QString pattern = tempPath("pattern.bin");
        QFile data(pattern);
        EXPECT_TRUE(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(256, '\x5a'));
        data.close();
        const ProcessResult created =
            Call("/com/corvane/Tarvo", "com.corvane.Tarvo.Server.Create", {"CJobControl", "true"});
        EXPECT_EQ(created.exitCode, 0) << created.err.toStdString();
        const QString control = QRegularExpression("'(/[^']*)'").match(created.out).captured(1);
        const QString file = tempPath("good.qx");
        for (const auto& [method, args] :
             {std::pair{QStringLiteral("LoadPatternFile"), QStringList{pattern, "0"}}, {"SaveQxFile", {file}}}) {
            const ProcessResult r = Call(control, "com.corvane.Tarvo.CJobControl." + method, args);
            EXPECT_EQ(r.exitCode, 0) << method.toStdString() << ": " << r.err.toStdString();
        }
        Call("/com/corvane/Tarvo", "com.corvane.Tarvo.Server.Release", {control});
        EXPECT_TRUE(QFile::exists(file));
        return file;
    }

    QString TracePath() const { return tempPath("manualhdl.trace"); }

    // The handler's site changes since the last call: "<site> <status>".
    QStringList TakeTrace()
    {
        QFile file(TracePath());
        QStringList lines;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
                lines << line.section(' ', 1);
            file.close();
            file.remove();
        }
        return lines;
    }

    // The station's "COM: " lines of its black-box log.
    QStringList ComLog() const
    {
        QStringList lines;
        for (const QString& line : BlackBox().split(QRegularExpression("\r?\n"))) {
            const qsizetype at = line.indexOf("COM: ");
            if (at >= 0)
                lines << line.mid(at);
        }
        return lines;
    }
};

// The same round as the manual handler raised it on its sites, "<site>
// <status>": the client's socket s is the handler's site s + 1.
QStringList HandlerRound(const QList<int>& sockets, const QMap<int, int>& failures = {})
{
    QStringList lines;
    for (int s : sockets)
        lines << QStringLiteral("%1 4").arg(s + 1);
    for (int s : sockets)
        lines << QStringLiteral("%1 3").arg(s + 1)
              << QStringLiteral("%1 %2").arg(s + 1).arg(failures.contains(s) ? 1 : 0);
    return lines;
}

QJsonObject Job(int quantity, const QString& file, QJsonObject more = {})
{
    more["quantity"] = quantity;
    more["file"] = file;
    return more;
}

QJsonObject Soca(int mode)
{
    QJsonObject job;
    job["soca"] = mode;
    return job;
}

std::string Text(const QStringList& lines)
{
    return lines.join('\n').toStdString();
}

// The station's "Raising ..." log lines written as the client writes what
// it heard: every event raised reached the client, in order.
QStringList RaisedAsHeard(const QStringList& comLog)
{
    static const QRegularExpression socket(R"(^COM: Raising NotifySocketStatusChanged\((\d+),(\w+),(-?\d+),)");
    static const QRegularExpression other(R"(^COM: Raising Notify(CloseSite|OpenSite|JobComplete)\((-?\d+)\)$)");
    static const QMap<QString, QString> words{
        {"CloseSite", "close"}, {"OpenSite", "open"}, {"JobComplete", "complete"}};
    QStringList lines;
    for (const QString& line : comLog) {
        if (const auto m = socket.match(line); m.hasMatch())
            lines << m.captured(1) + ' ' + m.captured(2) + (m.captured(3) == "0" ? QString() : ' ' + m.captured(3));
        else if (const auto n = other.match(line); n.hasMatch())
            lines << words[n.captured(1)] + ' ' + n.captured(2);
    }
    return lines;
}

// The client's calls the station logged as it took them ("Got DoDevicePlaced(0)"),
// and the calls the client made by what it heard, with its own numbers.
QStringList CallsLogged(const QStringList& comLog)
{
    return comLog.filter(QRegularExpression(R"(^COM: Got Do(DevicePlaced|DevicePicked|SiteClosed|SiteOpened)\()"));
}
QStringList CallsMade(const QStringList& heard)
{
    static const QList<std::pair<QRegularExpression, QString>> answers{
        {QRegularExpression(R"(^(\d+) ReadyToBePLACED$)"), "COM: Got DoDevicePlaced(%1)"},
        {QRegularExpression(R"(^(\d+) ReadyToPICK$)"), "COM: Got DoDevicePicked(%1)"},
        {QRegularExpression(R"(^close (\d+)$)"), "COM: Got DoSiteClosed(%1)"},
        {QRegularExpression(R"(^open (\d+)$)"), "COM: Got DoSiteOpened(%1)"},
    };
    QStringList calls;
    for (const QString& line : heard)
        for (const auto& [pattern, call] : answers)
            if (const auto m = pattern.match(line); m.hasMatch())
                calls << call.arg(m.captured(1));
    return calls;
}

TEST_F(PythonSessionBusTest, EachSessionModeRunsTheClientsJobSocketBySocket)
{
    StartBus();
    const QString good = GoodJobFile();
    QJsonObject operatorJob;
    operatorJob["control"] = 3;
    const QStringList heard = RunClient({
        Job(3, good, Soca(0)),               // mode 1: devices placed and picked
        Job(1, good), Job(3, good, Soca(1)), // mode 2: and the sockets closed and opened
        Job(1, good, Soca(5)),               // no such mode: still 2
        operatorJob,           // the client's job ended, it is detached: mode 0, the operator fills the sockets
        Job(1, good, Soca(0)), // back to mode 1
    });

    QStringList expected;
    expected << ClientRoundLines({0, 1, 2}, false) << "complete 0";
    expected << ClientRoundLines({0}, false) << "complete 0";
    expected << ClientRoundLines({0, 1, 2}, true) << "complete 0";
    expected << ClientRoundLines({0}, true) << "complete 0";
    // The client hears nothing of the operator's session.
    expected << "control complete 0";
    // The job control, still there, hears nothing of a job it did not begin.
    expected << ClientRoundLines({0}, false) << "complete 0";
    EXPECT_EQ(Text(heard), Text(expected));

    // The client's socket 0 is the handler's site 1 in every mode: placing
    // it filled site 1, or the session would have waited for ever.
    QStringList sites;
    for (const auto& sockets : QList<QList<int>>{{0, 1, 2}, {0}, {0, 1, 2}, {0}, {0, 1, 2}, {0}})
        sites << HandlerRound(sockets);
    EXPECT_EQ(Text(TakeTrace()), Text(sites));

    const QStringList log = ComLog();
    QStringList toClient = heard.filter(QRegularExpression("^(\\d|close|open|complete)"));
    EXPECT_EQ(Text(RaisedAsHeard(log)), Text(toClient));
    EXPECT_EQ(Text(CallsLogged(log)), Text(CallsMade(heard)));
    EXPECT_EQ(log.value(0).toStdString(), "COM: Got DoBeginJob(3," + good.toStdString() + ")");
    // The log switch is read at a job's start: the first SetSocaMode came
    // before it and left no line.
    EXPECT_EQ(Text(log.filter("SetSocaMode")),
              "COM: Got SetSocaMode(1)\nCOM: Got SetSocaMode(5)\nCOM: Got SetSocaMode(0)");
}

TEST_F(PythonSessionBusTest, AJobThatCannotRunEndsAtOnceWithItsReason)
{
    StartBus();
    const QString good = GoodJobFile();
    const QString missing = tempPath("missing.qx");
    const struct
    {
        int quantity;
        QString file;
        int result;
    } cases[] = {
        {-1, good, 154},
        {65536, good, 154},
        {65536, missing, 154}, // the quantity is refused before the file is looked at
        {2, missing, 150},     // the loader's result
    };
    QJsonArray jobs;
    QStringList expected;
    for (const auto& c : cases) {
        jobs << Job(c.quantity, c.file, jobs.isEmpty() ? Soca(1) : QJsonObject());
        expected << QStringLiteral("complete %1").arg(c.result);
    }
    // Nothing of them is left behind: the next job runs in full, in the
    // session mode chosen before them.
    jobs << Job(1, good);
    expected << ClientRoundLines({0}, true) << "complete 0";
    const QStringList heard = RunClient(jobs);
    EXPECT_EQ(Text(heard), Text(expected));
    EXPECT_EQ(Text(TakeTrace()), Text(HandlerRound({0})));

    QStringList logged;
    for (const auto& c : cases)
        logged << QStringLiteral("COM: Got DoBeginJob(%1,%2)").arg(c.quantity).arg(c.file)
               << QStringLiteral("COM: Raising NotifyJobComplete(%1)").arg(c.result);
    EXPECT_EQ(Text(ComLog().filter(QRegularExpression("DoBeginJob|NotifyJobComplete")).mid(0, logged.size())),
              Text(logged));
}

TEST_F(PythonSessionBusTest, AnEngineAnswering153FailsOnlyItsDeviceAndAHandlerSessionAnswering153RunsAgain)
{
    StartBus();
    const QString good = GoodJobFile();
    QFile plan(EngineFolder() + "/faultplan.ini");
    const auto runOnce = [&](const QByteArray& entry) {
        // The plan is read as the run starts; the client removes it at the
        // first socket offered, so only the first run has it.
        EXPECT_TRUE(plan.open(QIODevice::WriteOnly));
        plan.write("[Faults]\n" + entry + "\n");
        plan.close();
        QJsonObject drop;
        drop["drop"] = plan.fileName();
        return RunClient({Job(3, good, drop)});
    };

    // The second device fails with 153: its socket is filled again; the job
    // is not run again.
    QStringList expected;
    expected << ClientRoundLines({0, 1, 2}, false, {{1, 153}}) << ClientRoundLines({0}, false) << "complete 0";
    EXPECT_EQ(Text(runOnce("device.2=153")), Text(expected));
    EXPECT_EQ(Text(TakeTrace()), Text(HandlerRound({0, 1, 2}, {{1, 153}}) + HandlerRound({0})));

    // The session answers 153: the whole job runs again, and 153 is never
    // the job's result.
    expected.clear();
    expected << ClientRoundLines({0, 1, 2}, false) << ClientRoundLines({0, 1, 2}, false) << "complete 0";
    EXPECT_EQ(Text(runOnce("manual.result=153")), Text(expected));
    EXPECT_EQ(Text(TakeTrace()), Text(HandlerRound({0, 1, 2}) + HandlerRound({0, 1, 2})));
    EXPECT_EQ(Text(ComLog().filter("NotifyJobComplete")),
              "COM: Raising NotifyJobComplete(0)\nCOM: Raising NotifyJobComplete(0)");
}

TEST_F(PythonSessionBusTest, ASecondBeginJobIsRefusedWhileTheFirstRuns)
{
    StartBus();
    const QString good = GoodJobFile();
    QJsonObject second;
    second["second"] = true;
    const QStringList heard = RunClient({Job(3, good, second)});
    // Refused at the first socket offered; the first job goes on untouched
    // and ends in one notice.
    QStringList expected = ClientRoundLines({0, 1, 2}, false);
    expected.insert(1, "refused com.corvane.Tarvo.Error.JobRunning: A job is already running.");
    expected << "complete 0";
    EXPECT_EQ(Text(heard), Text(expected));
    EXPECT_EQ(ComLog().filter("DoBeginJob").size(), 1);
}

} // namespace
