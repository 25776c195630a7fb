// The job files over the simulated engine with a host of the test's own and
// no window: every outcome of a job load (taken; refused before anything
// changed; refused part-way; an older locked job without its password; the
// silent save after a load; a failed backup), of a job save (refused, engine
// error) and of an auto file's save and load.
#include "ChildRole.h"
#include "HandlerSettings.h"
#include "JobFile.h"
#include "TestEnv.h"

#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/JobFiles.h"
#include "mainwindow/Station.h"
#include "platform/Companion.h"
#include "platform/Dispatch.h"
#include "qxbuffer/DataBuffer.h"
#include "settings/ProgrammerClass.h"
#include "FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <functional>
#include <optional>

namespace {

const QString kDevice = QStringLiteral("AM27C512");

// The windows as the job files see them: every step recorded, the prompts
// answered as the test says.
class FakeHost : public JobFiles::Host
{
public:
    void EnableMenus(bool enable) override { calls << QStringLiteral("EnableMenus(%1)").arg(enable); }
    void EnableOperations(bool enable) override { calls << QStringLiteral("EnableOperations(%1)").arg(enable); }
    void EnableOperationSettings(bool enable) override
    {
        calls << QStringLiteral("EnableOperationSettings(%1)").arg(enable);
    }
    void RefreshOperationWindow(Refresh what) override { calls << QStringLiteral("Refresh(%1)").arg(int(what)); }
    void StatusLine(const QString& text) override { statusLines << text; }
    qint32 DataPositionIndex() const override { return -1; }
    qint32 BankIndex() const override { return -1; }
    QString BufferInfo() const override { return QStringLiteral("image.bin"); }
    bool BufferDirty() const override { return false; }
    void ApplyDefaultConfiguration(bool reset) override
    {
        calls << QStringLiteral("ApplyDefaultConfiguration(%1)").arg(reset);
    }
    void ClearDataBuffer() override { calls << QStringLiteral("ClearDataBuffer"); }
    std::function<void()> KeepBufferView() override
    {
        return [this] { calls << QStringLiteral("PutBackBufferView"); };
    }

    bool AskSupervisorPassword(QString& password) override
    {
        ++passwordPrompts;
        if (!password_)
            return false;
        password = *password_;
        return true;
    }
    bool AskSaveNote(qint32, NoteWindow) override
    {
        ++notePrompts;
        return true;
    }
    bool ConfirmJobReport(const JobFiles::Report& report) override
    {
        reports << report;
        // The report of a damaged file can only be refused.
        return acceptReport && !report.jobError;
    }

    QStringList calls, statusLines;
    std::optional<QString> password_; // none: the prompt is cancelled
    int passwordPrompts = 0;
    int notePrompts = 0;
    bool acceptReport = true;
    QList<JobFiles::Report> reports;
};

// The engine's events the job files take, as the main window passes them on.
class EngineEvents : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        if (name == QLatin1String("JobLoadFailed")) {
            jobs->JobLoadFailed(args.value(0).toBool());
        } else if (name == QLatin1String("SealbookLoadingError")) {
            qint32 result = 0;
            jobs->SealbookLoadingError(result, args.value(1).toInt());
            args[0] = result;
        } else if (name == QLatin1String("JobSavingError")) {
            jobs->bJobSaveSucceeded = false;
            texts << args.value(0).toString();
        } else if (name == QLatin1String("UpdateJobSetting15")) {
            data->strFileName = args.value(0).toString();
        } else if (name == QLatin1String("JobSetting46")) {
            data->strJobNote = args.value(0).toString();
        } else if (name == QLatin1String("DeviceSelected")) {
            data->strDeviceName = engine->DeviceName();
        } else if (name == QLatin1String("SealbookImport") && failImport) {
            // A host whose import cannot take the job's settings.
            engine->SealbookReadStep221();
        } else if (name == QLatin1String("LogMessage")) {
            texts << args.value(0).toString();
        }
    }
    JobFiles* jobs = nullptr;
    ProgrammerClass* data = nullptr;
    QXPgmrControl* engine = nullptr;
    bool failImport = false;
    QStringList texts;
};

// The automatic handler reads and writes its part of an auto file through
// the engine, as the handler's host window passes it on.
class HandlerEvents : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        const auto text = [&](int i) { return args.value(i).toString(); };
        if (name == QLatin1String("ReadSealbookValueRequest")) {
            qint32 status = args.value(4).toInt();
            args[5] = engine->ReadSealbookValue(text(0), text(1), text(2), args.value(3).toInt(), status);
            args[4] = status;
        } else if (name == QLatin1String("WriteSealbookValueRequest")) {
            qint32 kind = args.value(4).toInt();
            qint32 status = args.value(5).toInt();
            args[6] = engine->WriteSealbookValue(text(0), text(1), text(2), text(3), kind, status);
        }
    }
    QXPgmrControl* engine = nullptr;
};

void Fill(const QByteArray& bytes)
{
    DataBuffer::Instance().Resize(bytes.size());
    DataBuffer::Instance().Write(0, reinterpret_cast<const quint8*>(bytes.constData()), bytes.size());
}

QByteArray Buffer(int size)
{
    return DataBuffer::Instance().Bytes(0, size);
}

bool Register(const char* plugin)
{
    QLibrary library(QFileInfo(BinDir() + QLatin1Char('/') + QLatin1String(plugin)).canonicalFilePath());
    const auto reg = reinterpret_cast<long (*)()>(library.resolve("DllRegisterServer"));
    return reg && reg() == companion::S_OK;
}

class JobFilesTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        ASSERT_TRUE(Register("QXPgmr.ocx"));
        ASSERT_TRUE(Register("H950Hdlr.ocx"));
        station = std::make_unique<Station>();
        engine().Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        station->QXH950AutoHandler.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
        jobs = std::make_unique<JobFiles>(*station, host);
        events.jobs = jobs.get();
        events.data = &data();
        events.engine = &engine();
        engine().Control()->SetEventSink(&events);
        handlerEvents.engine = &engine();
        station->QXH950AutoHandler.Control()->SetEventSink(&handlerEvents);
        // The station shows its boxes and the setup report.
        engine().ShowErrorMessages(true);
        engine().StartupValue108(BinDir());
        ASSERT_EQ(engine().LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
        engine().SelectDeviceByName(kDevice, false);
        data().blnDeviceSelected = true;
        data().strDeviceName = kDevice;
        data().strFileName = QStringLiteral("image.bin");
        data().bRemindToVerifyChecksum = false;
    }
    void TearDown() override
    {
        engine().Control()->SetEventSink(nullptr);
        station->QXH950AutoHandler.Control()->SetEventSink(nullptr);
        jobs.reset();
        station.reset();
        TarvoTest::TearDown();
    }

    QXPgmrControl& engine() { return station->QXProgrammer; }
    ProgrammerClass& data() { return station->pgmrData(); }

    // A job holding data, saved by the job files.
    void SaveJob(const QString& path, const QByteArray& bytes)
    {
        Fill(bytes);
        bool ok = false;
        jobs->ExecSaveJobCmd(1, path, ok);
        ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString() << events.texts.join('\n').toStdString();
    }

    // The job at path as an older file, its data changed by hand (an older
    // seal has no key, so it takes any change).
    QByteArray OlderCopy(const QString& path, const QByteArray& data)
    {
        QString reason;
        std::optional<JobFile> job = JobFile::Read(path, reason);
        EXPECT_TRUE(job) << reason.toStdString();
        if (!job)
            return {};
        job->data = data;
        job->version = JobFile::kOldVersion;
        return job->Serialize();
    }

    FakeHost host;
    EngineEvents events;
    HandlerEvents handlerEvents;
    std::unique_ptr<Station> station;
    std::unique_ptr<JobFiles> jobs;
};

TEST_F(JobFilesTest, ATakenJobIsLoadedWithTheWindowsLockedAndSavedAgainSilently)
{
    const QString path = tempPath("jobs/line4.qx");
    const QByteArray pattern = QByteArray("job data ").repeated(40);
    SaveJob(path, pattern);
    const QByteArray saved = ReadAll(path);

    Fill(QByteArray(16, 'x'));
    data().strJobName.clear();
    host.calls.clear();
    host.notePrompts = 0;
    bool ok = false;
    jobs->ExecLoadJobCmd(1, path, ok);
    EXPECT_TRUE(ok) << events.texts.join('\n').toStdString();
    EXPECT_EQ(Buffer(pattern.size()), pattern);
    EXPECT_EQ(data().strJobName, path);
    // The load runs with menus, operations and settings off, and ends with
    // them on again; the silent save asks for no note and writes the same job.
    ASSERT_GE(host.calls.size(), 3);
    EXPECT_EQ(host.calls.mid(0, 3),
              (QStringList{"EnableMenus(0)", "EnableOperations(0)", "EnableOperationSettings(0)"}));
    EXPECT_GT(host.calls.lastIndexOf("EnableMenus(1)"), host.calls.lastIndexOf("EnableMenus(0)"));
    EXPECT_EQ(host.notePrompts, 0);
    EXPECT_EQ(ReadAll(path), saved);
    ASSERT_EQ(host.reports.size(), 1);
    EXPECT_EQ(host.reports[0].rows.value(2).field, "Device Name");
    EXPECT_EQ(host.reports[0].rows.value(2).value, kDevice + " ");
}

TEST_F(JobFilesTest, ARefusedJobKeepsTheJobAsItWas)
{
    const QString path = tempPath("jobs/good.qx");
    SaveJob(path, QByteArray(64, '\x31'));
    const QString damaged = tempPath("jobs/damaged.qx");
    QByteArray bytes = ReadAll(path);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x01);
    WriteAll(damaged, bytes);

    struct Case
    {
        const char* name;
        QString file;
        bool acceptReport;
    };
    const Case cases[] = {
        {"damaged: refused before anything changed", damaged, true},
        {"setup rejected at the report: refused part-way, and put back", path, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data().strJobName = QStringLiteral("/jobs/current.qx");
        data().strJobDir = QStringLiteral("/jobs");
        host.acceptReport = c.acceptReport;
        host.calls.clear();
        const QByteArray before = ReadAll(c.file);
        qint32 result = -1;
        jobs->LoadQxFile(c.file, QFileInfo(c.file).fileName(), result);
        EXPECT_EQ(result, 150);
        EXPECT_FALSE(host.calls.contains("ApplyDefaultConfiguration(1)"));
        EXPECT_EQ(data().strJobName, QStringLiteral("/jobs/current.qx"));
        EXPECT_EQ(data().strJobDir, "/jobs");
        // No silent save wrote over the refused file.
        EXPECT_EQ(ReadAll(c.file), before);
        EXPECT_GT(host.calls.lastIndexOf("EnableMenus(1)"), host.calls.lastIndexOf("EnableMenus(0)"));
    }
}

TEST_F(JobFilesTest, AnOlderLockedJobIsTakenOnlyWithItsPasswordAndThenConverted)
{
    engine().ChangeSealbookPassword(QString(), QStringLiteral("pw3"));
    const QString path = tempPath("jobs/locked.qx");
    SaveJob(path, QByteArray(64, '\x11'));
    const QByteArray changed(64, '\x66');
    const QByteArray older = OlderCopy(path, changed);

    struct Case
    {
        const char* name;
        std::optional<QString> password;
        bool taken;
    };
    const Case cases[] = {
        {"cancelled", std::nullopt, false},
        {"wrong password", QStringLiteral("guess"), false},
        {"the job's password", QStringLiteral("pw3"), true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = tempPath(QStringLiteral("jobs/older%1.qx").arg(++n));
        WriteAll(file, older);
        Fill(QByteArray(64, '\x22'));
        host.password_ = c.password;
        host.passwordPrompts = 0;
        host.calls.clear();
        ui().Answer(vb::vbOK); // refused, or the older-version note
        bool ok = false;
        jobs->ExecLoadJobCmd(1, file, ok);
        EXPECT_EQ(host.passwordPrompts, 1);
        EXPECT_EQ(ok, c.taken);
        EXPECT_FALSE(host.calls.contains("ApplyDefaultConfiguration(1)"));
        if (c.taken) {
            EXPECT_EQ(Buffer(changed.size()), changed);
            // Backed up as it was, then saved in the current version.
            EXPECT_EQ(ReadAll(tempPath(QStringLiteral("jobs/older%1_Backup.qx").arg(n))), older);
            EXPECT_TRUE(ReadAll(file).startsWith("TarvoJob 2\n"));
        } else {
            EXPECT_TRUE(ui().Shown().last().contains("The job was not loaded.")) << ui().Shown().last().toStdString();
            EXPECT_EQ(ReadAll(file), older);
            // The buffer the station had is back.
            EXPECT_EQ(Buffer(64), QByteArray(64, '\x22'));
        }
    }
}

TEST_F(JobFilesTest, AnOlderJobWhoseBackupFailsIsLoadedButNotWrittenOver)
{
    const QString path = tempPath("jobs/plain.qx");
    SaveJob(path, QByteArray(32, '\x41'));
    const QByteArray older = OlderCopy(path, QByteArray(32, '\x42'));
    WriteAll(path, older);
    // The backup's place is taken by a folder: the copy fails.
    ASSERT_TRUE(QDir().mkpath(tempPath("jobs/plain_Backup.qx")));

    ui().Answer(vb::vbOK);  // the older-version note
    ui().Answer(vb::vbYes); // overwrite the backup
    ui().Answer(vb::vbOK);  // the backup failed
    qint32 result = -1;
    jobs->LoadQxFile(path, QStringLiteral("plain.qx"), result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ui().Shown().last().contains("Could not back up older version of Sealbook!"))
        << ui().Shown().join('\n').toStdString();
    EXPECT_EQ(ReadAll(path), older);
    EXPECT_FALSE(jobs->bSKJobNeedsSave);
}

TEST_F(JobFilesTest, ARefusedOrFailedSaveReportsNoSaveAndKeepsTheJobName)
{
    data().strJobName = tempPath("jobs/current.qx");
    // No device: refused before the engine is asked.
    data().blnDeviceSelected = false;
    ui().Answer(vb::vbOK);
    bool ok = true;
    jobs->ExecSaveJobCmd(1, tempPath("jobs/new.qx"), ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(ui().Shown().last().contains("No device has been selected.")) << ui().Shown().last().toStdString();
    EXPECT_FALSE(QFileInfo::exists(tempPath("jobs/new.qx")));

    // The engine cannot write the file (its place is a folder).
    data().blnDeviceSelected = true;
    Fill(QByteArray(16, '\x01'));
    const QString taken = tempPath("jobs/taken.qx");
    ASSERT_TRUE(QDir().mkpath(taken));
    ok = true;
    jobs->ExecSaveJobCmd(1, taken, ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(jobs->bJobSaveSucceeded);
    EXPECT_EQ(data().strJobName, tempPath("jobs/current.qx"));
}

TEST_F(JobFilesTest, AnAutoFileNamesItsJobAndLoadsIt)
{
    data().udtHandlerType = 1;
    qint32 result = 0;
    // No job yet: nothing to name.
    data().strJobName.clear();
    ui().Answer(vb::vbOK);
    jobs->SaveSKAutoFile(tempPath("jobs/line4.qxa"), result, true);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(ui().Shown().last().startsWith("Saving Error")) << ui().Shown().last().toStdString();

    const QString job = tempPath("jobs/line4.qx");
    const QByteArray pattern = QByteArray("auto ").repeated(30);
    SaveJob(job, pattern);
    const QByteArray saved = ReadAll(job);
    jobs->SaveSKAutoFile(tempPath("jobs/line4.qxa"), result, true);
    ASSERT_EQ(result, 0) << ui().Shown().join('\n').toStdString();

    Fill(QByteArray(16, 'x'));
    jobs->LoadSKAutoFile(tempPath("jobs/line4.qxa"), result);
    EXPECT_EQ(result, 0) << ui().Shown().join('\n').toStdString() << events.texts.join('\n').toStdString();
    EXPECT_EQ(Buffer(pattern.size()), pattern);
    EXPECT_EQ(ReadAll(job), saved);

    // A job file offered as an auto file.
    ui().Answer(vb::vbOK);
    jobs->LoadSKAutoFile(job, result);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(ui().Shown().last().startsWith("File Type Error")) << ui().Shown().last().toStdString();
}

} // namespace

namespace {

// The station's own Sealbook settings, as a refused job must leave them.
struct SealbookState
{
    bool stationAccepted = false; // the station's password opens it
    bool forgedAccepted = false;  // the job's password opens it
    bool operatorMode = false;
    bool operator==(const SealbookState&) const = default;
};

class JobFilesLockTest : public JobFilesTest
{
protected:
    // A job locked with "super" that starts in operator mode; the station
    // then goes back to its own password "station" and supervisor mode.
    void SaveLockedJob(const QString& path, const QByteArray& bytes)
    {
        engine().ChangeSealbookPassword(QString(), QStringLiteral("super"));
        bool op = true, mark = false;
        engine().SealbookConfigure210(op, QString(), mark);
        SaveJob(path, bytes);
        engine().ChangeSealbookPassword(QStringLiteral("super"), QStringLiteral("station"));
        op = false;
        engine().SealbookConfigure210(op, QString(), mark);
    }
    SealbookState Sealbook()
    {
        return {engine().CheckSealbookPassword(QStringLiteral("station")),
                engine().CheckSealbookPassword(QStringLiteral("super")), engine().SealbookSetting211()};
    }
    // An auto file that names the job at path with its current identity,
    // written as an older file (its seal has no key either).
    QByteArray OlderAutoFileFor(const QString& autoFile, const QString& job)
    {
        QString reason;
        std::optional<JobFile> file = JobFile::Read(autoFile, reason);
        EXPECT_TRUE(file) << reason.toStdString();
        if (!file)
            return {};
        file->Set(QStringLiteral("JobInfo"), QStringLiteral("JobSeal"),
                  QString::number(quint32(JobFile::SealValue(ReadAll(job))), 16));
        file->version = JobFile::kOldVersion;
        return file->Serialize();
    }
};

TEST_F(JobFilesLockTest, AnOlderLockedJobAsksForItsPasswordOnEveryLoadPathAndARefusalChangesNothing)
{
    const QString path = tempPath("jobs/locked.qx");
    SaveLockedJob(path, QByteArray(64, '\x11'));
    data().udtHandlerType = 1;
    qint32 result = -1;
    jobs->SaveSKAutoFile(tempPath("jobs/locked.qxa"), result, true);
    ASSERT_EQ(result, 0) << ui().Shown().join('\n').toStdString();

    const QByteArray forged = OlderCopy(path, QByteArray(64, '\x66'));
    WriteAll(path, forged);
    const QByteArray olderAuto = OlderAutoFileFor(tempPath("jobs/locked.qxa"), path);
    WriteAll(tempPath("jobs/locked.qxa"), olderAuto);
    const SealbookState before = Sealbook();
    ASSERT_EQ(before, (SealbookState{true, false, false}));

    struct Case
    {
        const char* name;
        std::function<bool()> load; // True: taken
    };
    const Case cases[] = {
        {"Load Job",
         [&] {
             bool ok = false;
             jobs->ExecLoadJobCmd(1, path, ok);
             return ok;
         }},
        {"a job named at start-up",
         [&] {
             data().skType = 1;
             qint32 r = -1;
             jobs->LoadJob(path, r);
             return r == 0;
         }},
        {"an older auto file naming it",
         [&] {
             qint32 r = -1;
             jobs->LoadSKAutoFile(tempPath("jobs/locked.qxa"), r);
             return r == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::optional<QString>& password : {std::optional<QString>(), std::optional<QString>("guess")}) {
            host.password_ = password;
            host.passwordPrompts = 0;
            host.reports.clear();
            ui().Answer(vb::vbOK); // the refusal
            EXPECT_FALSE(c.load());
            EXPECT_EQ(host.passwordPrompts, 1);
            // Refused before its report, leaving the station's password and
            // mode, and nothing written back as a sound file.
            EXPECT_TRUE(host.reports.isEmpty());
            EXPECT_TRUE(ui().Shown().last().contains("The job was not loaded.")) << ui().Shown().last().toStdString();
            EXPECT_EQ(Sealbook(), before);
            EXPECT_EQ(ReadAll(path), forged);
            EXPECT_EQ(ReadAll(tempPath("jobs/locked.qxa")), olderAuto);
        }
    }
}

TEST_F(JobFilesLockTest, ARefusedAutoFileLeavesTheHandlersSettingsAsTheyWere)
{
    H950HdlrControl& handler = station->QXH950AutoHandler;
    // An auto file written with the handler's settings of its day, naming an
    // older locked job.
    const QString path = tempPath("jobs/locked.qx");
    SaveLockedJob(path, QByteArray(64, '\x11'));
    data().udtHandlerType = 1;
    SetHandlerSettings(handler, {"TRAY1", "TRAY2", "TUBE1", "TUBE2", "LASER", "PLCC32"});
    qint32 result = -1;
    jobs->SaveSKAutoFile(tempPath("jobs/locked.qxa"), result, true);
    ASSERT_EQ(result, 0) << ui().Shown().join('\n').toStdString();
    WriteAll(path, OlderCopy(path, QByteArray(64, '\x66')));
    WriteAll(tempPath("jobs/locked.qxa"), OlderAutoFileFor(tempPath("jobs/locked.qxa"), path));

    // The handler is set up otherwise since; the job's password is refused.
    const QStringList before{"SHUTTLE1", "SHUTTLE2", "REEL1", "REEL2", "NONE", "SOIC8"};
    SetHandlerSettings(handler, before);
    host.password_ = QStringLiteral("guess");
    ui().Answer(vb::vbOK); // the refusal
    jobs->LoadSKAutoFile(tempPath("jobs/locked.qxa"), result);
    EXPECT_NE(result, 0);
    EXPECT_EQ(HandlerSettings(handler), before);
}

TEST_F(JobFilesLockTest, AJobWhoseSetupIsRejectedLeavesTheStationsPasswordAndMode)
{
    const QString path = tempPath("jobs/locked.qx");
    SaveLockedJob(path, QByteArray(64, '\x11'));
    const SealbookState before = Sealbook();
    host.acceptReport = false;
    qint32 result = -1;
    jobs->LoadQxFile(path, QStringLiteral("locked.qx"), result);
    EXPECT_EQ(result, 150);
    EXPECT_EQ(host.reports.size(), 1);
    EXPECT_EQ(Sealbook(), before);

    // Taken, the job brings its own.
    host.acceptReport = true;
    jobs->LoadQxFile(path, QStringLiteral("locked.qx"), result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Sealbook(), (SealbookState{false, true, true}));
}

TEST_F(JobFilesLockTest, AClientsLoadTakesASoundSetupWithoutItsReportAndRefusesAnOlderLock)
{
    const QString path = tempPath("jobs/locked.qx");
    const QByteArray pattern(64, '\x11');
    SaveLockedJob(path, pattern);
    Fill(QByteArray(64, 'x'));
    EXPECT_TRUE(jobs->LoadJobForClient(path));
    EXPECT_TRUE(host.reports.isEmpty());
    EXPECT_EQ(Buffer(pattern.size()), pattern);

    // The operator's own load still shows the report.
    bool ok = false;
    jobs->ExecLoadJobCmd(1, path, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(host.reports.size(), 1);

    // An older locked job: nobody can give its password, so it is refused
    // at once.
    engine().ChangeSealbookPassword(QStringLiteral("super"), QStringLiteral("station"));
    const QString older = tempPath("jobs/older.qx");
    WriteAll(older, OlderCopy(path, QByteArray(64, '\x66')));
    host.passwordPrompts = 0;
    EXPECT_NE(jobs->LoadQxFileForClient(older), 0);
    EXPECT_EQ(host.passwordPrompts, 0);
    EXPECT_TRUE(engine().CheckSealbookPassword(QStringLiteral("station")));
}

} // namespace

namespace {

class RefusedJobTest : public JobFilesLockTest
{
protected:
    // What a load may change, engine and station, one line each so that a
    // difference reads as one.
    QStringList Settings()
    {
        const SealbookState sealbook = Sealbook();
        return {
            "device " + engine().DeviceName(),
            "checksum " + engine().ChecksumText(),
            QStringLiteral("erase %1 blank check %2 verify %3 fill %4")
                .arg(engine().EraseOption())
                .arg(engine().BlankCheckOption())
                .arg(engine().VerifyMode())
                .arg(engine().DefaultBufferByte()),
            "buffer " + QString::fromLatin1(Buffer(DataBuffer::Instance().Size()).toHex()),
            "station device " + data().strDeviceName,
            "station file " + data().strFileName,
            "station job " + data().strJobName,
            "station note " + data().strJobNote,
            QStringLiteral("sealbook station %1 forged %2 operator %3")
                .arg(sealbook.stationAccepted)
                .arg(sealbook.forgedAccepted)
                .arg(sealbook.operatorMode),
        };
    }
    // Options unlike a fresh device's, so that a reset to them shows.
    void SetOptions(bool erase, qint32 verify)
    {
        bool blank = !erase;
        engine().EraseOption(erase);
        engine().BlankCheckOption(blank);
        engine().VerifyMode(verify);
    }
};

TEST_F(RefusedJobTest, ARefusedJobLeavesTheStationsJobAsItWasOnEveryLoadPath)
{
    // The job a refusal must not touch: its own device, options, data and
    // note, the station's password and supervisor mode.
    // The other job: another device and options, locked with "super" and
    // starting in operator mode; an auto file names it, and it was saved
    // again since, so the auto file no longer fits it.
    const QString other = tempPath("jobs/other.qx");
    ASSERT_EQ(engine().SelectDeviceByName(QStringLiteral("NV29F040"), false), 0);
    SetOptions(true, 2);
    data().strFileName = QStringLiteral("other.bin");
    data().strJobNote = QStringLiteral("other note");
    SaveLockedJob(other, QByteArray(48, '\x5a'));
    data().udtHandlerType = 1;
    data().strJobName = other;
    qint32 result = -1;
    jobs->SaveSKAutoFile(tempPath("jobs/stale.qxa"), result, true);
    ASSERT_EQ(result, 0) << ui().Shown().join('\n').toStdString();
    engine().ChangeSealbookPassword(QStringLiteral("station"), QStringLiteral("super"));
    SaveLockedJob(other, QByteArray(48, '\x5b'));
    const QString olderOther = tempPath("jobs/older-other.qx");
    WriteAll(olderOther, OlderCopy(other, QByteArray(48, '\x66')));

    const QString good = tempPath("jobs/good.qx");
    engine().SelectDeviceByName(kDevice, false);
    SetOptions(false, 1);
    data().strFileName = QStringLiteral("image.bin");
    data().strJobNote = QStringLiteral("good note");
    SaveJob(good, QByteArray(64, '\x31'));
    qint32 loaded = -1;
    jobs->LoadQxFile(good, QStringLiteral("good.qx"), loaded);
    ASSERT_EQ(loaded, 0) << events.texts.join('\n').toStdString();
    const QStringList before = Settings();
    ASSERT_EQ(before.last(), "sealbook station 1 forged 0 operator 0");

    const auto loadJob = [&](const QString& file) {
        bool ok = false;
        jobs->ExecLoadJobCmd(1, file, ok);
        return ok;
    };
    const auto commandLine = [&](const QString& file) {
        data().skType = 1;
        qint32 r = -1;
        jobs->LoadJob(file, r);
        return r == 0;
    };
    const auto engineRequest = [&](const QString& file) {
        qint32 r = -1;
        jobs->LoadQxFile(file, QString(), r);
        return r == 0;
    };
    const auto client = [&](const QString& file) { return jobs->LoadQxFileForClient(file) == 0; };
    const auto autoFile = [&](const QString& file) {
        qint32 r = -1;
        jobs->LoadSKAutoFile(file, r);
        return r == 0;
    };
    struct Case
    {
        const char* name;
        std::function<bool(const QString&)> load;
        QString file;
        bool acceptReport = true;
        bool failImport = false;
        int boxes = 0; // the boxes that tell of the refusal
    };
    const Case cases[] = {
        {"Load Job, report cancelled", loadJob, other, false},
        {"a job named at start-up, report cancelled", commandLine, other, false},
        {"the engine's own request, report cancelled", engineRequest, other, false},
        {"Load Job, older lock, password cancelled", loadJob, olderOther, true, false, 1},
        {"a job named at start-up, older lock, wrong password", commandLine, olderOther, true, false, 1},
        {"a client, older lock", client, olderOther},
        {"Load Job, settings the station cannot take", loadJob, other, true, true},
        {"a client, settings the station cannot take", client, other, true, true},
        {"an auto file whose job changed since", autoFile, tempPath("jobs/stale.qxa"), true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.acceptReport = c.acceptReport;
        host.password_ = QStringLiteral("guess");
        if (QString(c.name).contains("cancelled"))
            host.password_.reset();
        events.failImport = c.failImport;
        host.calls.clear();
        for (int i = 0; i < c.boxes; ++i)
            ui().Answer(vb::vbOK);
        const QByteArray file = ReadAll(c.file);
        EXPECT_FALSE(c.load(c.file));
        EXPECT_EQ(Settings(), before);
        EXPECT_FALSE(host.calls.contains("ApplyDefaultConfiguration(1)"));
        // Nothing was written back over the refused file.
        EXPECT_EQ(ReadAll(c.file), file);
    }
    events.failImport = false;

    // The job kept is whole: taken again it is the same job.
    host.acceptReport = true;
    jobs->LoadQxFile(good, QStringLiteral("good.qx"), loaded);
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(Settings(), before);
}

} // namespace
