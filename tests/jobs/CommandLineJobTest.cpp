// A job named on the command line ("-SK") as start-up loads it: a job file
// is loaded; a file that cannot be opened, is damaged or names no job type
// that the station knows is told in a status line naming the file and why,
// and the station stays as it was.
#include "../mainwindow/MainWindowFixture.h"

#include "JobFile.h"
#include "automation/frmH950HdlrContainer.h"
#include "engine/H950HdlrControl.h"
#include "qxbuffer/DataBuffer.h"
#include "records/frmOperatorPwd.h"
#include "settings/ProgrammerClass.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class CommandLineJobTest : public MainWindowTest
{
protected:
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    void stop()
    {
        gMainForm->close();
        delete gMainForm;
        gMainForm = nullptr;
        ReleaseInstanceLock();
    }
    static void WriteAll(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray ReadAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A job of the given device saved by a station, which then closes on
    // another device.
    QString SaveJob(const QString& device, const QString& stationDevice)
    {
        const QString path = tempPath("line4.qx");
        EXPECT_TRUE(start("-device " + device));
        MarkBufferFromFile();
        bool ok = false;
        gMainForm->ExecSaveJobCmd(1, path, ok);
        EXPECT_TRUE(ok);
        EXPECT_TRUE(operationWindow().SelectDevice(stationDevice));
        stop();
        return path;
    }
    // A station that loads the job and saves its auto file, left running
    // with an automatic handler: a station with one loads an auto file.
    void StartOnAutoFileOf(const QString& job, const QString& autoFile)
    {
        ASSERT_TRUE(start());
        bool ok = false;
        gMainForm->ExecLoadJobCmd(1, job, ok);
        ASSERT_TRUE(ok);
        qint32 result = -1;
        gMainForm->SaveSKAutoFile(autoFile, result, true);
        ASSERT_EQ(result, 0);
        data().udtHandlerType = 1;
    }
};

TEST_F(CommandLineJobTest, AJobFileLoadsAndOneThatCannotBeTakenIsToldAndChangesNothing)
{
    const QString job = SaveJob(QStringLiteral("AM27C512"), QStringLiteral("SL18F4550"));

    QByteArray damaged = ReadAll(job);
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x01);
    WriteAll(tempPath("damaged.qx"), damaged);
    WriteAll(tempPath("text.qx"), "not a job\n");
    JobFile otherType;
    otherType.Set(QStringLiteral("JobInfo"), QStringLiteral("QXType"), QStringLiteral("Pattern"));
    WriteAll(tempPath("othertype.qx"), otherType.Serialize());
    JobFile noType;
    noType.Set(QStringLiteral("JobInfo"), QStringLiteral("Note"), QStringLiteral("a note"));
    WriteAll(tempPath("notype.qx"), noType.Serialize());

    const struct
    {
        const char* file;
        const char* reason;
    } cases[] = {
        {"missing.qx", "the file cannot be opened."},
        {"damaged.qx", "it is not a job file or the file is corrupted (1)."},
        {"text.qx", "it is not a job file or the file is corrupted (1)."},
        {"othertype.qx", "its job type \"Pattern\" is not known."},
        {"notype.qx", "it names no job type."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = tempPath(QLatin1String(c.file));
        const QByteArray bytes = ReadAll(file);
        ASSERT_TRUE(start("-SK \"" + file + "\""));
        EXPECT_TRUE(statusLines().contains("Failed to load " + file + ": " + QLatin1String(c.reason)))
            << statusLines().join('\n').toStdString();
        // No job, and the device the station was left on (the damaged
        // file is a job of another device).
        EXPECT_TRUE(data().strJobName.isEmpty());
        EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), QStringLiteral("SL18F4550"));
        EXPECT_EQ(ReadAll(file), bytes);
        stop();
    }

    ASSERT_TRUE(start("-SK \"" + job + "\""));
    EXPECT_EQ(data().strJobName, job);
    EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), QStringLiteral("AM27C512"));
    EXPECT_TRUE(statusLines().filter("Failed to load").isEmpty()) << statusLines().join('\n').toStdString();
}

TEST_F(CommandLineJobTest, AnAutoFileOnTheCommandLineLoadsAtEveryStart)
{
    const QString job = SaveJob(QStringLiteral("AM27C512"), QStringLiteral("SL18F4550"));
    const QString autoFile = tempPath("line4.qxa");
    ASSERT_NO_FATAL_FAILURE(StartOnAutoFileOf(job, autoFile));
    // The station is left on another device.
    EXPECT_TRUE(operationWindow().SelectDevice(QStringLiteral("SL18F4550")));
    stop();

    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(start("-SK \"" + autoFile + "\""));
        EXPECT_EQ(data().strJobName, job);
        EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), QStringLiteral("AM27C512"));
        EXPECT_TRUE(statusLines().filter("integrity check failed").isEmpty()) << statusLines().join('\n').toStdString();
        // The job opened through Load Job (and silently saved again) still
        // fits the auto file at the next start.
        bool ok = false;
        gMainForm->ExecLoadJobCmd(1, job, ok);
        EXPECT_TRUE(ok);
        stop();
    }
}

// The automatic handler's panel values go into an auto file the station
// saves and come back when a station whose handler has none loads it: the
// handler reads them through the station's number requests to the engine,
// in this process and in the shipped program started on the file.
TEST_F(CommandLineJobTest, AnAutoFileBringsBackTheHandlersPanelValues)
{
    const QByteArray saved = qgetenv("TARVO_ENGINE_FAULTS");
    qputenv("TARVO_ENGINE_FAULTS", "delay=0;auto.marker=LOT 7|SN 0001;auto.emptytest=25");
    const QString job = SaveJob(QStringLiteral("AM27C512"), QStringLiteral("AM27C512"));
    const QString autoFile = tempPath("panel.qxa");
    ASSERT_NO_FATAL_FAILURE(StartOnAutoFileOf(job, autoFile));
    stop();

    qputenv("TARVO_ENGINE_FAULTS", "delay=0");
    engine.calls.clear();
    ASSERT_TRUE(start("-SK \"" + autoFile + "\""));
    // The handler's number reads reached the engine's own.
    EXPECT_EQ(engine.Calls({QXPgmrId::ReadSealbookLong, QXPgmrId::ReadSealbookString}),
              (QStringList{"ReadSealbookLong(H950hdlr, Empty Socket Test Interval, 0)",
                           "ReadSealbookString(H950hdlr, Laser Marker Lines, -1)"}));
    H950HdlrControl& handler = gMainForm->QXH950AutoHandler;
    EXPECT_EQ(handler.EmptySocketTestInterval(), 25);
    ASSERT_EQ(handler.LaserMarkerLineCount(), 2);
    qint32 second = 1;
    EXPECT_EQ(handler.LaserMarkerLineAt(second), QStringLiteral("SN 0001"));
    stop();
    qputenv("TARVO_ENGINE_FAULTS", saved);

    // The shipped station, started by its user with the auto file on its
    // command line: a client on its bus reads the marker lines the file
    // brought in the system information.
    QProcess daemon;
    QDir().mkpath(tempPath("bus"));
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address", "--address=unix:dir=" + tempPath("bus")});
    ASSERT_TRUE(daemon.waitForStarted());
    while (!daemon.canReadLine())
        ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QProcessEnvironment env = childEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", address);
    env.insert("TARVO_UI_SCRIPT", "/dev/null");
    env.insert("TARVO_ENGINE_FAULTS", "delay=0");
    env.insert("TARVO_TEST_CLOSE_AFTER_MS", "30000");
    QProcess station;
    station.setProcessEnvironment(env);
    station.start(BinDir() + "/tarvo", {"-SK", autoFile});
    ASSERT_TRUE(station.waitForStarted());
    const auto call = [&](const QString& path, const QString& method, const QStringList& args) {
        return RunProgram("gdbus",
                          QStringList{"call", "--address", address, "--dest", "com.corvane.Tarvo", "--object-path",
                                      path, "--method", method}
                              + args,
                          env, 20000);
    };
    ProcessResult created;
    for (int i = 0; i < 200 && created.exitCode != 0 && station.state() == QProcess::Running; ++i) {
        created = call("/com/corvane/Tarvo", "com.corvane.Tarvo.Server.Create", {"CJobMonitor", "true"});
        if (created.exitCode != 0)
            QThread::msleep(100);
    }
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    const QString monitor = QRegularExpression("'(/[^']*)'").match(created.out).captured(1);
    const ProcessResult info = call(monitor, "com.corvane.Tarvo.CJobMonitor.GetSystemInfo", {});
    EXPECT_TRUE(info.out.contains("Laser marker: \"LOT 7\" / \"SN 0001\"")) << info.out.toStdString();
    station.kill();
    station.waitForFinished();
    daemon.kill();
    daemon.waitForFinished();
}

// A job locked with "super" that starts in operator mode, saved by a
// station that then goes back to its own password "station" and supervisor
// mode; then forged as an older file (whose seal has no key) with other
// data. The auto file naming it is forged the same way.
class ForgedJobTest : public CommandLineJobTest
{
protected:
    void SetUp() override
    {
        CommandLineJobTest::SetUp();
        ASSERT_TRUE(start("-device AM27C512"));
        MarkBufferFromFile();
        QXPgmrControl& e = gMainForm->QXProgrammer;
        e.ChangeSealbookPassword(QString(), QStringLiteral("super"));
        bool op = true, mark = false;
        e.SealbookConfigure210(op, QString(), mark);
        const QByteArray pattern(64, '\x11');
        DataBuffer::Instance().Resize(pattern.size());
        DataBuffer::Instance().Write(0, reinterpret_cast<const quint8*>(pattern.constData()), pattern.size());
        bool ok = false;
        gMainForm->ExecSaveJobCmd(1, job, ok);
        ASSERT_TRUE(ok);
        data().udtHandlerType = 1;
        qint32 result = -1;
        gMainForm->SaveSKAutoFile(autoFile, result, true);
        ASSERT_EQ(result, 0);
        data().udtHandlerType = 0;
        e.ChangeSealbookPassword(QStringLiteral("super"), QStringLiteral("station"));
        op = false;
        e.SealbookConfigure210(op, QString(), mark);
        stop();

        QString reason;
        std::optional<JobFile> file = JobFile::Read(job, reason);
        ASSERT_TRUE(file) << reason.toStdString();
        file->data = QByteArray(file->data.size(), '\x66');
        file->version = JobFile::kOldVersion;
        forged = file->Serialize();
        WriteAll(job, forged);
        file = JobFile::Read(autoFile, reason);
        ASSERT_TRUE(file) << reason.toStdString();
        file->Set(QStringLiteral("JobInfo"), QStringLiteral("JobSeal"),
                  QString::number(quint32(JobFile::SealValue(forged)), 16));
        file->version = JobFile::kOldVersion;
        forgedAuto = file->Serialize();
        WriteAll(autoFile, forgedAuto);
    }

    // The password prompt is answered with Cancel, through its button.
    void CancelThePasswordPrompt()
    {
        ui().OnModal([this](QDialog* dialog) {
            auto* prompt = qobject_cast<frmOperatorPwd*>(dialog);
            EXPECT_NE(prompt, nullptr);
            if (!prompt)
                return int(QDialog::Rejected);
            ++prompts;
            QTest::mouseClick(prompt->cmdCancel, Qt::LeftButton);
            return prompt->result();
        });
        ui().Answer(vb::vbOK); // the refusal
    }

    // Nothing of the forged job reached the station, and nothing was
    // written back as a sound file.
    void ExpectNothingChanged()
    {
        QXPgmrControl& e = gMainForm->QXProgrammer;
        EXPECT_EQ(prompts, 1);
        EXPECT_TRUE(ui().Shown().join('\n').contains("The job was not loaded."))
            << ui().Shown().join('\n').toStdString();
        EXPECT_TRUE(e.CheckSealbookPassword(QStringLiteral("station")));
        EXPECT_FALSE(e.CheckSealbookPassword(QStringLiteral("super")));
        EXPECT_FALSE(e.SealbookSetting211());
        EXPECT_FALSE(data().bStartInOperatorMode);
        EXPECT_NE(DataBuffer::Instance().Bytes(0, 64), QByteArray(64, '\x66'));
        EXPECT_EQ(ReadAll(job), forged);
        EXPECT_EQ(ReadAll(autoFile), forgedAuto);
        EXPECT_FALSE(QFileInfo::exists(tempPath("forged_Backup.qx")));
        EXPECT_FALSE(QFileInfo::exists(tempPath("forged_Backup.qxa")));
    }

    const QString job = tempPath("forged.qx");
    const QString autoFile = tempPath("forged.qxa");
    QByteArray forged, forgedAuto;
    int prompts = 0;
};

TEST_F(ForgedJobTest, AForgedOlderJobNamedAtStartUpAsksForThePasswordAndRefusedChangesNothing)
{
    CancelThePasswordPrompt();
    ASSERT_TRUE(start("-SK \"" + job + "\""));
    EXPECT_TRUE(statusLines().contains("Failed to load " + job + ".")) << statusLines().join('\n').toStdString();
    ExpectNothingChanged();
}

TEST_F(ForgedJobTest, AnOlderAutoFileNamingTheForgedJobIsRefusedWhenTheHandlerLoadsIt)
{
    ASSERT_TRUE(start());
    data().udtHandlerType = 1;
    ASSERT_NE(gMainForm->frmH950, nullptr);
    CancelThePasswordPrompt();
    QVariantList request{autoFile, qint32(0)};
    gMainForm->frmH950->Fire(QStringLiteral("LoadSealbookAutoFileRequest"), request);
    ExpectNothingChanged();
}

// A station that starts in operator mode with its last job to take back
// (start-up's InitializeGui): that load checks an older job's lock as every
// other does.
TEST_F(ForgedJobTest, TheLastJobTakenBackAtAStartInOperatorModeIsCheckedToo)
{
    ASSERT_TRUE(start());
    QXPgmrControl& e = gMainForm->QXProgrammer;
    bool op = true, mark = false;
    e.SealbookConfigure210(op, QString(), mark);
    data().bAutoLoadJob = true;
    data().bStartInOperatorMode = true;
    data().strJobName = job;
    operationWindow().cboStatus->clear();

    CancelThePasswordPrompt();
    gMainForm->InitializeGui();
    EXPECT_EQ(prompts, 1);
    EXPECT_TRUE(statusLines().contains("Failed to load " + job + ".")) << statusLines().join('\n').toStdString();
    EXPECT_TRUE(e.CheckSealbookPassword(QStringLiteral("station")));
    EXPECT_FALSE(e.CheckSealbookPassword(QStringLiteral("super")));
    EXPECT_NE(DataBuffer::Instance().Bytes(0, 64), QByteArray(64, '\x66'));
    EXPECT_EQ(ReadAll(job), forged);
}

} // namespace
