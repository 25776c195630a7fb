// The automation server as clients reach it: a private bus daemon of the
// test's own (its services folder holds the build's activation file), the
// station started by activation, gdbus and python3-dbus as the clients.
#include "PrivateBusTest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

const QString kServer = QStringLiteral("/com/corvane/Tarvo");

class AutomationBusTest : public PrivateBusTest
{
protected:
    // Starts the bus; the station it activates gets this environment.
    void StartBus(const QString& faults = {})
    {
        QProcessEnvironment env = BusEnvironment();
        if (!faults.isEmpty())
            env.insert("TARVO_ENGINE_FAULTS", faults);
        StartDaemon(env);
    }

    // Creates an instance that stays after gdbus ends; its path.
    QString Create(const QString& cls)
    {
        const ProcessResult r = Call(kServer, "com.corvane.Tarvo.Server.Create", {cls, "true"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QRegularExpression("'(/[^']*)'").match(r.out).captured(1);
    }
    ProcessResult Python(const QString& script) { return RunPython({"-c", script}); }
};

TEST_F(AutomationBusTest, CreateActivatesOneStationThatLaterCreatesReach)
{
    StartBus();
    const QString control = Create("CJobControl");
    EXPECT_EQ(control, "/com/corvane/Tarvo/CJobControl/1");
    const qint64 pid = StationPid();
    ASSERT_GT(pid, 0);

    // By identifier, in the same station.
    EXPECT_EQ(Create("{0a85cd13-b372-4dfa-8a23-0ec52816d341}"), "/com/corvane/Tarvo/CJobMonitor/2");
    EXPECT_EQ(StationPid(), pid);
    const ProcessResult list = Call(kServer, "com.corvane.Tarvo.Server.Instances");
    EXPECT_TRUE(list.out.contains("objectpath '/com/corvane/Tarvo/CJobControl/1', 'CJobControl'"))
        << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("'/com/corvane/Tarvo/CJobMonitor/2', 'CJobMonitor'"));

    // An instance carries only its own class's interface.
    const ProcessResult wrong = Call(control, "com.corvane.Tarvo.CJobMonitor.GetSystemInfo");
    EXPECT_NE(wrong.exitCode, 0);

    const ProcessResult unknown = Call(kServer, "com.corvane.Tarvo.Server.Create", {"CNothing", "true"});
    EXPECT_TRUE(unknown.err.contains("com.corvane.Tarvo.Error.UnknownClass")) << unknown.err.toStdString();

    // Kept instances are anyone's to release.
    EXPECT_EQ(Call(kServer, "com.corvane.Tarvo.Server.Release", {control}).exitCode, 0);
    const ProcessResult after = Call(kServer, "com.corvane.Tarvo.Server.Instances");
    EXPECT_FALSE(after.out.contains("CJobControl/1"));
    EXPECT_TRUE(after.out.contains("CJobMonitor/2"));
}

TEST_F(AutomationBusTest, JobControlErrorsCarryNameCodeAndText)
{
    StartBus();
    const QString control = Create("CJobControl");
    ASSERT_FALSE(control.isEmpty());
    const QString missing = tempPath("no such.qx");
    struct Case
    {
        QString method;
        QStringList args;
        QString error;
        QString message;
    };
    const QList<Case> cases{
        {"LoadQxFile",
         {missing},
         "CJOBCONTROL_E_FILENOTFOUND",
         "0x80040227 CJobControl: The file " + missing + " could not be accessed."},
        {"LoadPatternFile",
         {missing, "1"},
         "CJOBCONTROL_E_FILENOTFOUND",
         "0x80040227 CJobControl: The file " + missing + " could not be accessed."},
        // A type code that names no format is refused before the load.
        {"LoadPatternFile",
         {BinDir() + "/dbus-1/services/com.corvane.Tarvo.service", "18"},
         "CJOBCONTROL_E_ERRORLOADINGFILE",
         "0x80040228 CJobControl: There was a problem loading the pattern file."},
        {"SetJobParameter",
         {"DeviceCustomOptions.Blank Check", "enable"},
         "CJOBCONTROL_E_INVALIDPARAMVALUE",
         "0x80040222 CJobControl: The parameter value is invalid."},
        {"SaveAqxFile",
         {missing},
         "CJOBCONTROL_E_AUTOHANDLERMODEREQUIRED",
         "0x80040226 CJobControl: This method requires Tarvo to be in Autohandler mode."},
    };
    for (const Case& c : cases) {
        const ProcessResult r = Call(control, "com.corvane.Tarvo.CJobControl." + c.method, c.args);
        EXPECT_NE(r.exitCode, 0) << c.method.toStdString();
        EXPECT_TRUE(r.err.contains("com.corvane.Tarvo.Error." + c.error)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    // Each refusal was a status line of the station as well.
    QFile log(childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine/DATALOG/BlackBox.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains("CJobControl Error: The file " + missing + " could not be accessed."));
    EXPECT_TRUE(text.contains("CJobControl Error: This method requires Tarvo to be in Autohandler mode."));
}

TEST_F(AutomationBusTest, IntrospectionMatchesTheTypeLibrary)
{
    StartBus();
    for (const QString cls : {"CQxProgrammer", "CJobControl", "CJobMonitor"}) {
        const QString path = Create(cls);
        ASSERT_FALSE(path.isEmpty());
        const ProcessResult r = Gdbus({"introspect", "--xml", "--dest", kName, "--object-path", path});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Members with their argument signatures, from either side.
        const auto members = [&](const QString& xml) {
            QStringList out;
            QXmlStreamReader reader(xml);
            QString iface;
            QString current;
            while (!reader.atEnd()) {
                reader.readNext();
                if (!reader.isStartElement())
                    continue;
                const auto name = reader.attributes().value("name").toString();
                if (reader.name() == QLatin1String("interface"))
                    iface = name;
                else if (iface == "com.corvane.Tarvo." + cls
                         && (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal")))
                    out << (current = reader.name().toString() + " " + name);
                else if (iface == "com.corvane.Tarvo." + cls && reader.name() == QLatin1String("arg"))
                    out.last() += " " + reader.attributes().value("direction").toString() + ":"
                        + reader.attributes().value("type").toString();
            }
            return out;
        };
        QFile xml(SourceDir() + "/src/automation/com.corvane.Tarvo." + cls + ".xml");
        ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
        const QStringList expected = members(QString::fromUtf8(xml.readAll()));
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(members(r.out), expected) << cls.toStdString();
    }
}

TEST_F(AutomationBusTest, AClientsInstancesGoWithItUnlessKept)
{
    StartBus();
    ASSERT_FALSE(Create("CJobMonitor").isEmpty());
    // A Python client creates an instance of its own and ends without
    // releasing it (as a killed client would).
    const ProcessResult py = Python(R"(
import dbus
bus = dbus.SessionBus()
server = dbus.Interface(bus.get_object('com.corvane.Tarvo', '/com/corvane/Tarvo'), 'com.corvane.Tarvo.Server')
path = server.Create('CQxProgrammer', False)
programmer = dbus.Interface(bus.get_object('com.corvane.Tarvo', path), 'com.corvane.Tarvo.CQxProgrammer')
print(path)
print(programmer.GetErrorMessage(0) is not None)
try:
    server.Release('/com/corvane/Tarvo/CJobMonitor/1')
    print('released')
except dbus.DBusException as e:
    print(e.get_dbus_name())
)");
    ASSERT_EQ(py.exitCode, 0) << py.err.toStdString();
    const QStringList lines = py.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << py.out.toStdString();
    EXPECT_EQ(lines[0], "/com/corvane/Tarvo/CQxProgrammer/2");
    EXPECT_EQ(lines[1], "True");
    // The kept monitor could be released by anyone; it is gone now.
    EXPECT_EQ(lines[2], "released");

    QString list;
    for (int i = 0; i < 100; ++i) {
        list = Call(kServer, "com.corvane.Tarvo.Server.Instances").out;
        if (!list.contains("CQxProgrammer"))
            break;
        QThread::msleep(50);
    }
    EXPECT_FALSE(list.contains("CQxProgrammer")) << list.toStdString();
}

TEST_F(AutomationBusTest, AnotherClientsInstanceCannotBeReleased)
{
    StartBus();
    // gdbus is a second client: it may not release the Python client's instance.
    const ProcessResult direct = Python(R"(
import dbus, os, subprocess
bus = dbus.SessionBus()
server = dbus.Interface(bus.get_object('com.corvane.Tarvo', '/com/corvane/Tarvo'), 'com.corvane.Tarvo.Server')
path = server.Create('CJobControl', False)
r = subprocess.run(['gdbus', 'call', '--session', '--dest', 'com.corvane.Tarvo', '--object-path',
                    '/com/corvane/Tarvo', '--method', 'com.corvane.Tarvo.Server.Release', path],
                   capture_output=True, text=True)
print('AccessDenied' in r.stderr)
server.Release(path)
print(len(server.Instances()))
)");
    ASSERT_EQ(direct.exitCode, 0) << direct.err.toStdString();
    EXPECT_EQ(direct.out.split('\n', Qt::SkipEmptyParts), (QStringList{"True", "0"}));
}

TEST_F(AutomationBusTest, AFailedStartUpAnswersStartupFailedAndLeavesNoProcess)
{
    StartBus("load=126");
    const ProcessResult r = Call(kServer, "com.corvane.Tarvo.Server.Create", {"CJobControl", "true"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("com.corvane.Tarvo.Error.StartupFailed")) << r.err.toStdString();
    qint64 pid = 1;
    for (int i = 0; i < 100 && pid > 0; ++i) {
        pid = StationPid();
        QThread::msleep(50);
    }
    EXPECT_EQ(pid, 0);
}

TEST_F(AutomationBusTest, AKilledStationIsStartedAgainByTheNextCall)
{
    StartBus();
    ASSERT_FALSE(Create("CJobMonitor").isEmpty());
    const qint64 first = StationPid();
    ASSERT_GT(first, 0);
    ::kill(pid_t(first), SIGKILL);
    for (int i = 0; i < 100 && StationPid() == first; ++i)
        QThread::msleep(50);
    EXPECT_EQ(Create("CJobMonitor"), "/com/corvane/Tarvo/CJobMonitor/1");
    const qint64 second = StationPid();
    EXPECT_GT(second, 0);
    EXPECT_NE(second, first);
}

TEST_F(AutomationBusTest, AStationTheUserStartedServesTheBusAndKeepsActivationOut)
{
    StartBus();
    QProcessEnvironment env = m_daemon.processEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
    env.insert("TARVO_TEST_CLOSE_AFTER_MS", "20000");
    env.insert("TARVO_REPORT_SHOWN", "1");
    QProcess station;
    station.setProcessEnvironment(env);
    station.start(BinDir() + "/tarvo", {});
    ASSERT_TRUE(station.waitForStarted());
    QString owner;
    for (int i = 0; i < 300 && owner.isEmpty(); ++i) {
        if (StationPid() == station.processId())
            owner = "station";
        else
            QThread::msleep(50);
    }
    ASSERT_EQ(owner, "station");
    EXPECT_EQ(Create("CJobMonitor"), "/com/corvane/Tarvo/CJobMonitor/1");
    EXPECT_EQ(StationPid(), station.processId());

    // A start by activation while it runs: one line, exit 1, the name stays.
    const ProcessResult second = RunProgram(BinDir() + "/tarvo", {"-Embedding"}, env, 20000);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(second.err.trimmed().split('\n').filter("tarvo:").size(), 1) << second.err.toStdString();
    EXPECT_EQ(StationPid(), station.processId());

    station.kill();
    station.waitForFinished();
}

TEST_F(AutomationBusTest, AMonitorInAnotherProcessFollowsAControlledJob)
{
    StartBus();
    const ProcessResult job = Python(kJobClientPrelude + R"(
events = []
def on(name):
    def handler(*args):
        events.append(name + '(' + ','.join(str(int(x)) for x in args) + ')')
        if sum(e.split('(')[0].endswith('NotifyJobComplete') for e in events) == 2:
            loop.quit()
    return handler
for sig in ('NotifySocketActive', 'NotifySocketPassed', 'NotifySocketFailed', 'NotifyJobComplete'):
    bus.add_signal_receiver(on('monitor.' + sig), sig, 'com.corvane.Tarvo.CJobMonitor', path=monitor)
bus.add_signal_receiver(on('control.NotifyJobComplete'), 'NotifyJobComplete', 'com.corvane.Tarvo.CJobControl',
                        path=control)
jc.BeginJob(2)
GLib.timeout_add_seconds(60, loop.quit)
loop.run()
print('\n'.join(events))
)");
    ASSERT_EQ(job.exitCode, 0) << job.err.toStdString();
    // A fresh station has no device: the job ends at once with -1003, and
    // each side hears it once.
    EXPECT_EQ(job.out.split('\n', Qt::SkipEmptyParts),
              (QStringList{"control.NotifyJobComplete(-1003)", "monitor.NotifyJobComplete(-1003)"}));
}

} // namespace
