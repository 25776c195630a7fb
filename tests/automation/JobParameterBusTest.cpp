// Job parameters and socket events on the shipped station, as a client on a
// private bus meets them: the station started by activation, with a device
// that verifies twice, on the simulated single-site programmer or on the
// eight-site "RG-1080/8".
#include "PrivateBusTest.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The client: loads the data pattern, sets the parameters it is given
// (printing "ok" or the error's name for each), runs a job of the given
// quantity with a monitor, prints each socket event with its site and socket
// and the job's end, and saves the job to the given file.
// It follows the job client's start and signal printer (PrivateBusTest.h).
const char kClient[] = R"(
quantity, pattern, saved, parameters = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4:]
jc.LoadPatternFile(pattern, 0)
for name, value in zip(parameters[0::2], parameters[1::2]):
    try:
        jc.SetJobParameter(name, value)
        print('set', name, value, 'ok')
    except dbus.DBusException as e:
        print('set', name, value, e.get_dbus_name().split('.')[-1])
for sig, name in (('NotifySocketPassed', 'passed'), ('NotifySocketFailed', 'failed'),
                  ('NotifyJobComplete', 'complete')):
    bus.add_signal_receiver(on(name), sig, 'com.corvane.Tarvo.CJobMonitor', path=monitor)
jc.BeginJob(quantity)
GLib.timeout_add_seconds(50, loop.quit)
loop.run()
jc.SaveQxFile(saved)
sys.stdout.flush()
)";

class JobParameterBusTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        SelectDeviceAtStart("NV29F040");
    }
    // The bus; the station it activates runs on this programmer model
    // (empty: the single-site default).
    void StartBus(const QString& model = {})
    {
        QProcessEnvironment env = BusEnvironment();
        if (!model.isEmpty())
            env.insert("TARVO_ENGINE_MODEL", model);
        env.insert("TARVO_ENGINE_FAULTS", "delay=0");
        StartDaemon(env);
    }

    // Runs the client with these arguments.
    ProcessResult Python(const QStringList& args)
    {
        return RunPython(QStringList{"-c", kJobClientPrelude + kSignalPrinter + QString::fromLatin1(kClient)} + args,
                         60000);
    }

    // A small data pattern in a file, so that jobs can be saved.
    QString Pattern() const
    {
        const QString path = tempPath("pattern.bin");
        QFile data(path);
        EXPECT_TRUE(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(256, '\x5a'));
        return path;
    }
};

// The "Operations:" of each job summary in the black-box log, one line per
// summary with the operations joined by ", ".
QStringList Operations(const QString& log)
{
    QStringList out;
    const QStringList lines = log.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].trimmed().startsWith(QStringLiteral("Operations:")))
            continue;
        QStringList operations{lines[i].section('\t', -1).trimmed()};
        while (i + 1 < lines.size() && lines[i + 1].startsWith(QStringLiteral("\t\t\t")))
            operations << lines[++i].trimmed();
        out << operations.join(QStringLiteral(", "));
    }
    return out;
}

QStringList Lines(const ProcessResult& r)
{
    return r.out.split('\n', Qt::SkipEmptyParts);
}

QString Text(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST_F(JobParameterBusTest, AParameterChangesTheNextRunAndTheSavedJobAndAWrongOneIsRefusedWithItsCode)
{
    StartBus();
    const QString pattern = Pattern();
    const auto client = [&](const QString& saved, const QStringList& parameters) {
        return Python(QStringList{"2", pattern, saved} + parameters);
    };
    // On a fresh station the documented first parameter changes nothing of
    // the operator's rows: the job runs them all.
    const ProcessResult first = client(tempPath("before.qx"), {"DeviceOptions.Operation", "Program"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(Lines(first),
              (QStringList{"set DeviceOptions.Operation Program ok", "passed 1,1", "passed 1,1", "complete 0"}));

    const ProcessResult job =
        client(tempPath("after.qx"),
               {"DeviceOptions.Verify Twice", "2", "DeviceOptions.Teleport", "ENABLE", "DeviceOptions.Verify", "ENABLE",
                "DeviceOptions.Verify Twice", "ENABLE", "DeviceOptions.Blank Check", "DISABLE"});
    ASSERT_EQ(job.exitCode, 0) << job.err.toStdString();
    EXPECT_EQ(Lines(job),
              (QStringList{"set DeviceOptions.Verify Twice 2 CJOBCONTROL_E_INVALIDPARAMVALUE",
                           "set DeviceOptions.Teleport ENABLE CJOBCONTROL_E_INVALIDPARAMNAME",
                           // its tabs offer "Verify Once" and "Verify Twice"
                           "set DeviceOptions.Verify ENABLE CJOBCONTROL_E_UNSUPPORTEDPARAMNAME",
                           "set DeviceOptions.Verify Twice ENABLE ok", "set DeviceOptions.Blank Check DISABLE ok",
                           "passed 1,1", "passed 1,1", "complete 0"}));

    // The next job ran what the parameters say, and the job saved after it
    // holds them. The summary is logged just after the job's notice.
    QStringList operations = Operations(BlackBox());
    for (int i = 0; i < 100 && operations.size() < 2; ++i) {
        QThread::msleep(50);
        operations = Operations(BlackBox());
    }
    ASSERT_EQ(operations.size(), 2) << BlackBox().toStdString();
    EXPECT_EQ(operations[0], "Continuity & ID, Blank Check, Program, Verify Once, Secure(Sector Protect)");
    // Only the rows the parameters name changed.
    EXPECT_EQ(operations[1], "Continuity & ID, Program, Verify Twice, Secure(Sector Protect)");
    const QString saved = Text(tempPath("after.qx"));
    EXPECT_TRUE(saved.contains("Selection3=Verify Twice\nEnableSelection3=2")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("Selection1=Blank Check\nEnableSelection1=0")) << saved.toStdString();
    EXPECT_TRUE(Text(tempPath("before.qx")).contains("Selection3=Verify Once\nEnableSelection3=2"));
}

// On the eight sites each socket event names the site that ran and its
// socket in the module (two modules of four).
TEST_F(JobParameterBusTest, SocketEventsNameTheSitesThatRan)
{
    StartBus("RG-1080/8");
    const ProcessResult job = Python({"8", Pattern(), tempPath("eight.qx")});
    ASSERT_EQ(job.exitCode, 0) << job.err.toStdString();
    QStringList passed = Lines(job).filter("passed ");
    passed.sort();
    EXPECT_EQ(passed,
              (QStringList{"passed 1,1", "passed 2,2", "passed 3,3", "passed 4,4", "passed 5,1", "passed 6,2",
                           "passed 7,3", "passed 8,4"}));
    EXPECT_EQ(Lines(job).last(), "complete 0");
}

} // namespace
