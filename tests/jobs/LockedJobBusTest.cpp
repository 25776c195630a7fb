// A client loads a locked job on a station started by activation, where
// nobody can answer a window: the load does not wait for the job setup
// report, the setup taken is written to the black-box log, and the job runs.
#include "FileBytes.h"
#include "InProcessEngine.h"
#include "JobFile.h"
#include "PrivateBusTest.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

const QString kDevice = QStringLiteral("NV29F040");

// "save <pattern> <job>": loads the data pattern and saves the job.
// "save-only <job>": saves the job, printing "saved" or the error's name.
// "load <job>": loads the job (printing "loaded" or the error's name), then
// runs a job of two devices with a monitor and prints each passed device and
// the job's end.
// It follows the job client's start and signal printer (PrivateBusTest.h).
const char kClient[] = R"(
if sys.argv[1] == 'save-only':
    try:
        jc.SaveQxFile(sys.argv[2])
        print('saved')
    except dbus.DBusException as e:
        print('save', e.get_dbus_name().split('.')[-1])
    sys.exit(0)
if sys.argv[1] == 'save':
    jc.LoadPatternFile(sys.argv[2], 0)
    jc.SaveQxFile(sys.argv[3])
    print('saved')
    sys.exit(0)
try:
    jc.LoadQxFile(sys.argv[2], timeout=30)
    print('loaded')
except dbus.DBusException as e:
    print('load', e.get_dbus_name().split('.')[-1])
    sys.exit(0)
for sig, name in (('NotifySocketPassed', 'passed'), ('NotifyJobComplete', 'complete')):
    bus.add_signal_receiver(on(name), sig, 'com.corvane.Tarvo.CJobMonitor', path=monitor)
jc.BeginJob(2)
GLib.timeout_add_seconds(50, loop.quit)
loop.run()
sys.stdout.flush()
)";

class LockedJobBusTest : public PrivateBusTest
{
protected:
    // The Sealbook password of the engine the stations share (its settings
    // file in the engine's folder), set or changed as the engine does.
    static void ChangePassword(const QString& from, const QString& to)
    {
        QXPgmrControl engine;
        ASSERT_TRUE(AttachInProcessEngine(engine));
        ASSERT_TRUE(engine.ChangeSealbookPassword(from, to));
    }

    // Ends the station the bus started, as a termination signal does, and
    // waits until it has left the bus.
    void EndStation()
    {
        const qint64 pid = StationPid();
        ASSERT_GT(pid, 0);
        ::kill(pid_t(pid), SIGTERM);
        for (int i = 0; i < 200 && StationPid() != 0; ++i)
            QThread::msleep(50);
        ASSERT_EQ(StationPid(), 0);
    }

    ProcessResult Python(const QStringList& args)
    {
        return RunPython(QStringList{"-c", kJobClientPrelude + kSignalPrinter + QString::fromLatin1(kClient)} + args,
                         90000);
    }
    // The client's "load" of a job: every line it printed, the load's answer
    // first.
    QStringList ClientLoad(const QString& job)
    {
        const ProcessResult r = Python({"load", job});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.value(0), "loaded") << r.out.toStdString() << r.err.toStdString();
        return lines;
    }
    QString UiLog() const { return QString::fromUtf8(ReadAll(tempPath("ui.log"))); }
};

TEST_F(LockedJobBusTest, AClientLoadsALockedJobWithoutWaitingAndRunsIt)
{
    SelectDeviceAtStart(kDevice);
    // The engine shows its errors and the job setup report, as on a floor.
    QSettings(EngineFolder() + "/engine.ini", QSettings::IniFormat).setValue("Engine/ShowErrorMessages", true);
    // A job with its data inside, saved by a station whose engine has a
    // Sealbook password: the job carries the lock.
    ChangePassword(QString(), QStringLiteral("super"));
    const QString pattern = tempPath("pattern.bin");
    WriteAll(pattern, QByteArray(256, '\x5a'));
    const QString job = tempPath("locked.qx");
    QProcessEnvironment env = BusEnvironment();
    env.insert("TARVO_ENGINE_FAULTS", "delay=0");
    StartDaemon(env);
    const ProcessResult saved = Python({"save", pattern, job});
    ASSERT_EQ(saved.out.trimmed(), "saved") << saved.err.toStdString();
    EndStation();
    // The next station is a fresh one, its engine without a password; the
    // client's call starts it.
    ChangePassword(QStringLiteral("super"), QString());
    QFile::remove(tempPath("ui.log"));

    const QStringList lines = ClientLoad(job);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.filter(QRegularExpression("^passed ")).size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.last().startsWith("complete 0")) << lines.join('\n').toStdString();

    // No report was shown; what was taken is in the black-box log.
    EXPECT_FALSE(UiLog().contains("Job Setup Verification")) << UiLog().toStdString();
    const QString log = BlackBox();
    EXPECT_TRUE(log.contains("Job setup accepted for an automation client (" + job + "): Buffer File Name: "))
        << log.toStdString();
    EXPECT_TRUE(log.contains("Device Name: " + kDevice)) << log.toStdString();
}

// A client loads an older job whose backup is already there: the load does
// not ask whether to overwrite it, keeps the backup as it was, and says so in
// the black-box log.
TEST_F(LockedJobBusTest, AClientsLoadOfAnOlderJobKeepsAnExistingBackupWithoutAsking)
{
    SelectDeviceAtStart(kDevice);
    const QString pattern = tempPath("pattern.bin");
    WriteAll(pattern, QByteArray(256, '\x5a'));
    const QString job = tempPath("older.qx");
    const QString backup = tempPath("older_Backup.qx");
    QProcessEnvironment env = BusEnvironment();
    env.insert("TARVO_ENGINE_FAULTS", "delay=0");
    StartDaemon(env);
    const ProcessResult saved = Python({"save", pattern, job});
    ASSERT_EQ(saved.out.trimmed(), "saved") << saved.err.toStdString();
    // The job as an older station wrote it, and a backup from before.
    QString reason;
    std::optional<JobFile> older = JobFile::Read(job, reason);
    ASSERT_TRUE(older) << reason.toStdString();
    older->version = JobFile::kOldVersion;
    const QByteArray kept("an earlier backup");
    WriteAll(job, older->Serialize());
    WriteAll(backup, kept);
    QFile::remove(tempPath("ui.log"));

    ClientLoad(job);

    EXPECT_EQ(ReadAll(backup), kept);
    EXPECT_FALSE(UiLog().contains("already exists")) << UiLog().toStdString();
    EXPECT_TRUE(BlackBox().contains(job + " backup already exists (" + backup
                                    + "): kept for an automation client's load, not overwritten."))
        << BlackBox().toStdString();
}

// A client's save that the station refuses (the buffer of a fresh station is
// in no file) tells the client and the black-box log, and shows no box.
TEST_F(LockedJobBusTest, AClientsRefusedSaveShowsNoBox)
{
    const QString job = tempPath("nodevice.qx");
    QProcessEnvironment env = BusEnvironment();
    env.insert("TARVO_ENGINE_FAULTS", "delay=0");
    StartDaemon(env);
    QFile::remove(tempPath("ui.log"));

    const ProcessResult r = Python({"save-only", job});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("save ")) << r.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(job));
    EXPECT_FALSE(UiLog().contains("Please save the buffer")) << UiLog().toStdString();
    EXPECT_TRUE(BlackBox().contains("Automation client's save: Please save the buffer to a file and then save the job "
                                    "again."))
        << BlackBox().toStdString();
}

} // namespace
