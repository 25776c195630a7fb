// The main window's job commands on the station started in this process with
// the simulated engine: a job saved by the window loads back as it was; the
// checks before a save refuse with their exact boxes and leave the file
// alone; a refused or cancelled load reports no success and keeps the job.
#include "../mainwindow/MainWindowFixture.h"

#include "JobFile.h"
#include "mainwindow/JobBackups.h"
#include "platform/AppInfo.h"
#include "platform/UiService.h"
#include "records/frmOperatorPwd.h"
#include "records/frmSealbookNote.h"
#include "qxbuffer/DataBuffer.h"
#include "settings/ProgrammerClass.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class JobWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartReadyForJobs());
    }
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    frmMain& main() { return *gMainForm; }
    static void Fill(const QByteArray& bytes)
    {
        DataBuffer::Instance().Resize(bytes.size());
        DataBuffer::Instance().Write(0, reinterpret_cast<const quint8*>(bytes.constData()), bytes.size());
    }
    static QByteArray ReadAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(JobWindowTest, SavedJobLoadsBackAndTheJobNameFollowsOnlySuccess)
{
    const QString path = tempPath("jobs/line4.qx");
    const QByteArray pattern = QByteArray("job data ").repeated(100);
    Fill(pattern);
    bool ok = false;
    main().ExecSaveJobCmd(1, path, ok);
    ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();
    EXPECT_EQ(data().strJobName, path);
    EXPECT_EQ(data().strJobDir, QFileInfo(path).absolutePath());

    Fill(QByteArray(16, 'x'));
    data().strJobName.clear();
    main().ExecLoadJobCmd(1, path, ok);
    EXPECT_TRUE(ok) << statusLines().join('\n').toStdString();
    EXPECT_EQ(DataBuffer::Instance().Bytes(0, pattern.size()), pattern);
    EXPECT_EQ(data().strJobName, path);

    // Nothing to load is no success, and changes nothing.
    main().ExecLoadJobCmd(1, QString(), ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);

    // A damaged file is refused before anything changed: the job stays.
    const QString damaged = tempPath("jobs/damaged.qx");
    QByteArray bytes = ReadAll(path);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x01);
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    main().ExecLoadJobCmd(1, damaged, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);
    EXPECT_EQ(ReadAll(damaged), bytes);
    EXPECT_TRUE(statusLines().contains("Failed to load the job. It is not a job file or the file is corrupted."));

    // A save that fails keeps the old name.
    qputenv("TARVO_ENGINE_FAULTS", "jobwrite=1");
    ui().Answer(vb::vbOK); // the engine's saving error
    main().ExecSaveJobCmd(1, tempPath("jobs/other.qx"), ok);
    qunsetenv("TARVO_ENGINE_FAULTS");
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);
    EXPECT_FALSE(QFileInfo::exists(tempPath("jobs/other.qx")));
}

// A setup the operator rejects on the job report fails the load part-way:
// the station goes back to the default configuration, with no device
// selected.
// A job that brings its data loads the buffer as its data file would: the
// station shows the file and the job can be amended and saved again.
TEST_F(JobWindowTest, AJobsDataCountsAsItsLoadedFileSoTheJobSavesAgain)
{
    const QString path = tempPath("jobs/again.qx");
    Fill(QByteArray("pattern ").repeated(64));
    bool ok = false;
    main().ExecSaveJobCmd(1, path, ok);
    ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();

    // As on a fresh station: nothing loaded from a file.
    data().blnFileLoaded = false;
    operationWindow().txtFile->setText(QStringLiteral("<Empty>"));
    main().ExecLoadJobCmd(1, path, ok);
    ASSERT_TRUE(ok) << statusLines().join('\n').toStdString();
    EXPECT_TRUE(data().blnFileLoaded);
    EXPECT_FALSE(data().blnBufferEmpty);
    EXPECT_NE(operationWindow().txtFile->text(), QStringLiteral("<Empty>"));
    main().ExecSaveJobCmd(1, path, ok);
    EXPECT_TRUE(ok) << ui().Shown().join('\n').toStdString();
}

TEST_F(JobWindowTest, ARejectedSetupKeepsTheStationsJob)
{
    const QString path = tempPath("jobs/rejected.qx");
    Fill(QByteArray("job data"));
    bool ok = false;
    main().ExecSaveJobCmd(1, path, ok);
    ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();
    ASSERT_TRUE(data().blnDeviceSelected);

    main().QXProgrammer.ShowErrorMessages(true); // the report is shown
    ui().OnModal([](QDialog* report) {
        report->reject();
        return report->result();
    });
    Fill(QByteArray("kept data"));
    main().ExecLoadJobCmd(1, path, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);
    EXPECT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(DataBuffer::Instance().Bytes(0, 9), QByteArray("kept data"));
    // The operator refused it: the file is not called damaged.
    EXPECT_FALSE(statusLines().contains("Failed to load the job. It is not a job file or the file is corrupted."));
}

TEST_F(JobWindowTest, SaveRefusalsShowTheirBoxAndLeaveTheFileAlone)
{
    const QString path = tempPath("job.qx");
    bool ok = false;
    main().ExecSaveJobCmd(1, path, ok);
    ASSERT_TRUE(ok);
    const QByteArray before = ReadAll(path);

    struct Case
    {
        const char* name;
        std::function<void()> arrange;
        bool saveAs; // Save As, else Save under the current name
        QString box; // title, tab, text
    };
    const Case cases[] = {
        {"buffer not from a file", [this] { operationWindow().txtFile->setText("<Empty>"); }, true,
         "Sealbook\tPlease save the buffer to a file and then save the job again."},
        {"no device", [this] { data().blnDeviceSelected = false; }, true,
         "Sealbook Failure\tNo device has been selected. You must select a device before saving a job!"},
        {"incompatible buffer type", [this] { engine.answers[QXPgmrId::JobValue325] = VbBool(true); }, true,
         "Sealbook\tCannot save the job.  The buffer file type is incompatible with the file type required by the "
         "algorithm."},
        {"linked data file missing",
         [this] {
             data().bDataPatternLinkedToSKFile = true;
             data().strFilePath = tempPath("none/");
         },
         true,
         "Sealbook\tData pattern file does not exist.  To save a Sealbook file with an externally linked data "
         "pattern, please save the buffer to a file and then save the Job."},
        {"special configure", [this] { engine.answers[QXPgmrId::DeviceConfigValue] = QStringLiteral("X CMD_NOCHIP"); },
         false, "Error\tCannot save the job. Special configure is not supported in Sealbook."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool device = data().blnDeviceSelected;
        const QString file = operationWindow().txtFile->text();
        c.arrange();
        ui().Answer(vb::vbOK);
        const qsizetype shown = ui().Shown().size();
        if (c.saveAs) {
            main().ExecSaveJobCmd(1, path, ok);
            EXPECT_FALSE(ok);
        } else {
            main().mnuSaveJob_Click();
        }
        ASSERT_EQ(ui().Shown().size(), shown + 1);
        EXPECT_TRUE(ui().Shown().last().startsWith(c.box)) << ui().Shown().last().toStdString();
        EXPECT_EQ(ReadAll(path), before);
        // Back to a job that saves.
        data().blnDeviceSelected = device;
        data().bDataPatternLinkedToSKFile = false;
        operationWindow().txtFile->setText(file);
        engine.answers.remove(QXPgmrId::JobValue325);
        engine.answers.remove(QXPgmrId::DeviceConfigValue);
    }
}

} // namespace

namespace {

// A job of the older version 1, as an older station wrote it.
QByteArray OldJob()
{
    JobFile old;
    old.version = JobFile::kOldVersion;
    old.Set(QStringLiteral("JobInfo"), QStringLiteral("QXType"), QStringLiteral("SK"));
    old.Set(QStringLiteral("Device"), QStringLiteral("Name"), QStringLiteral("AM27C512"));
    // Every save writes the placeholder rows of the built-in tab sections.
    for (const char* tab : {"Program", "Verify", "Read", "Blank", "Test", "Secure", "Erase"})
        for (int row = 0; row <= 4; ++row) {
            old.Set(QStringLiteral("GUI-") + QLatin1String(tab), QStringLiteral("Selection%1").arg(row),
                    QStringLiteral("No_Content"));
            old.Set(QStringLiteral("GUI-") + QLatin1String(tab), QStringLiteral("EnableSelection%1").arg(row),
                    QStringLiteral("0"));
        }
    old.hasData = true;
    old.data = QByteArray(64, '\x5A');
    return old.Serialize();
}

TEST_F(JobWindowTest, OlderJobIsBackedUpThenConvertedByTheSaveThatFollows)
{
    const QString path = tempPath("line4.qx");
    const QString backup = tempPath("line4_Backup.qx");
    const QByteArray original = OldJob();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    ui().Answer(vb::vbOK);
    bool ok = false;
    main().ExecLoadJobCmd(1, path, ok);
    ASSERT_TRUE(ok) << statusLines().join('\n').toStdString();
    EXPECT_TRUE(ui().Shown().last().contains(
        "The ' line4.qx ' Sealbook file is an older version.\\r\\nA backup of this file will be saved.\\r\\nTo convert "
        "to the current version, select Save or SaveAs from the Sealbook menu."))
        << ui().Shown().last().toStdString();
    EXPECT_EQ(ReadAll(backup), original);
    EXPECT_TRUE(ReadAll(path).startsWith("TarvoJob 2\n"));

    // Loaded again as an older file: the existing backup is kept on No.
    QFile::remove(path);
    QFile::copy(backup, path);
    const QByteArray kept = ReadAll(backup);
    ui().Answer(vb::vbOK);
    ui().Answer(vb::vbNo);
    main().ExecLoadJobCmd(1, path, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadAll(backup), kept);
    EXPECT_TRUE(ui().Shown().last().contains("line4.qx backup already exists!")) << ui().Shown().last().toStdString();

    // A read-only backup is kept, for root too, even on Yes.
    QFile::remove(path);
    QFile::copy(backup, path);
    ASSERT_TRUE(QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ui().Answer(vb::vbOK);
    ui().Answer(vb::vbYes);
    ui().Answer(vb::vbOK); // is Read-Only
    main().ExecLoadJobCmd(1, path, ok);
    EXPECT_EQ(ReadAll(backup), kept);
    EXPECT_TRUE(ui().Shown().join('\n').contains(backup + " is Read-Only and cannot be overwritten."))
        << ui().Shown().join('\n').toStdString();
    QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // A backup that cannot be written (its name is taken by a folder): the
    // error, and the original is not written over.
    const QString other = tempPath("other.qx");
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    ASSERT_TRUE(QDir().mkpath(tempPath("other_Backup.qx/inside")));
    ui().Answer(vb::vbOK);
    ui().Answer(vb::vbYes);
    ui().Answer(vb::vbOK);
    main().ExecLoadJobCmd(1, other, ok);
    EXPECT_TRUE(ui().Shown().last().contains("Could not back up older version of Sealbook!"))
        << ui().Shown().last().toStdString();
    EXPECT_EQ(ReadAll(other), original);
}

TEST(JobBackupNameTest, UsesTheLastDotOfTheFileNameOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/jobs/line4.qx", "/jobs/line4_Backup.qx"},
        {"/jobs/line.4.qx", "/jobs/line.4_Backup.qx"},
        {"/jobs.d/line4", "/jobs.d/line4_Backup"},
        {"line4", "line4_Backup"},
        {"", ""},
    };
    for (const auto& [file, backup] : cases)
        EXPECT_EQ(jobbackups::MakeBackupName(QString::fromLatin1(file)), QString::fromLatin1(backup)) << file;
}

} // namespace

namespace {

TEST_F(JobWindowTest, SupervisorModeAsksForThePasswordTheEngineChecks)
{
    main().QXProgrammer.ChangeSealbookPassword(QString(), QStringLiteral("s3cret"));
    struct Case
    {
        const char* name;
        bool answer;          // the prompt is answered (else cancelled)
        const char* password; // typed
        bool supervisorAfter;
        const char* box; // shown after the prompt, if any
    };
    const Case cases[] = {
        {"right password", true, "s3cret", true, nullptr},
        {"wrong password", true, "S3CRET", false,
         "Invalid Password\tInvalid password! Cannot enter the supervisor mode!"},
        {"cancelled", false, "", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main().SetSKMode(true);
        ASSERT_TRUE(data().bStartInOperatorMode);
        ui().OnModal([&](QDialog* dialog) {
            auto* prompt = qobject_cast<frmOperatorPwd*>(dialog);
            EXPECT_NE(prompt, nullptr);
            if (!prompt)
                return int(QDialog::Rejected);
            EXPECT_EQ(prompt->windowTitle(), "Sealbook Password");
            prompt->txtPwd->setText(QString::fromLatin1(c.password));
            QTest::mouseClick(c.answer ? prompt->cmdOK : prompt->cmdCancel, Qt::LeftButton);
            return prompt->result();
        });
        if (c.box)
            ui().Answer(vb::vbOK);
        const qsizetype shown = ui().Shown().size();
        main().SetSKMode(false);
        EXPECT_EQ(data().bStartInOperatorMode, !c.supervisorAfter);
        if (c.box)
            EXPECT_TRUE(ui().Shown().last().startsWith(QString::fromLatin1(c.box)))
                << ui().Shown().last().toStdString();
        else
            EXPECT_EQ(ui().Shown().size(), shown + 1); // the prompt only
    }

    // Without a password no prompt at all; before start-up has ended, the
    // engine's request for supervisor mode is refused.
    main().SetSKMode(true);
    main().bInitialized = false;
    bool refused = false;
    main().QXProgrammer_SealbookModeChanged(true, refused);
    EXPECT_TRUE(refused);
    EXPECT_TRUE(data().bStartInOperatorMode);
    main().QXProgrammer.ChangeSealbookPassword(QStringLiteral("s3cret"), QString());
    const qsizetype shown = ui().Shown().size();
    main().SetSKMode(false);
    EXPECT_FALSE(data().bStartInOperatorMode);
    EXPECT_EQ(ui().Shown().size(), shown);
}

} // namespace

namespace {

TEST_F(JobWindowTest, AutoFilesAreRefusedByTypeAndNeedTheirJobFirst)
{
    // Saving an auto file before any job was loaded or saved.
    data().strJobName.clear();
    ui().Answer(vb::vbOK);
    qint32 result = 0;
    main().SaveSKAutoFile(tempPath("line4.qxa"), result, true);
    EXPECT_NE(result, 0);
    EXPECT_TRUE(ui().Shown().last().startsWith(
        "Saving Error\tTo save an autohandler Sealbook File, a manual handler Sealbook must be loaded/saved first."));
    EXPECT_FALSE(QFileInfo::exists(tempPath("line4.qxa")));

    // A job, then its auto file, which loads the job again.
    const QString job = tempPath("line4.qx");
    bool ok = false;
    main().ExecSaveJobCmd(1, job, ok);
    ASSERT_TRUE(ok);
    main().SaveSKAutoFile(tempPath("line4.qxa"), result, true);
    ASSERT_EQ(result, 0);
    main().LoadSKAutoFile(tempPath("line4.qxa"), result);
    EXPECT_EQ(result, 0) << statusLines().join('\n').toStdString();
    EXPECT_EQ(data().strJobName, job);

    // A job file offered as an auto file; the buffer is left as it was.
    data().blnBufferEmpty = false;
    ui().Answer(vb::vbOK);
    main().LoadSKAutoFile(job, result);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(ui().Shown().last().startsWith(
        "File Type Error\tThis is not an Auto Handler Job file. Please reselect the file."));
    EXPECT_FALSE(data().blnBufferEmpty);
}

} // namespace

namespace {

// Save Job As and Load Job open in the settings' job folder; with none, a
// missing one or the program's own folder (which a user cannot write to),
// in a folder of the user's own.
TEST_F(JobWindowTest, TheJobDialogsOpenInTheJobFolderElseInTheUsersOwn)
{
    const QString jobs = tempPath("jobs");
    ASSERT_TRUE(QDir().mkpath(jobs));
    const struct
    {
        const char* title;
        QString setting;
        bool kept;
    } cases[] = {
        {"job folder", jobs, true},
        {"none", QString(), false},
        {"missing", tempPath("gone"), false},
        {"program folder", appinfo::ProgramFolder(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        data().strJobDir = c.setting;
        for (QAction* item : {main().mnuSaveJobAs, main().mnuLoadJob}) {
            SCOPED_TRACE(item->objectName().toStdString());
            ASSERT_TRUE(item->isEnabled());
            ui().Answer(QString()); // the dialog cancelled
            item->trigger();
            ASSERT_FALSE(ui().Shown().isEmpty());
            const QString folder = ui().Shown().last().section('\t', 1, 1);
            if (c.kept) {
                EXPECT_EQ(folder, jobs);
            } else {
                EXPECT_NE(QFileInfo(folder).canonicalFilePath(),
                          QFileInfo(appinfo::ProgramFolder()).canonicalFilePath());
                EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
                EXPECT_TRUE(QFileInfo(folder).isWritable()) << folder.toStdString();
            }
        }
    }
    EXPECT_EQ(ui().Remaining(), 0);
}

// A job saved under a name typed without an extension gets the job type's
// extension, so Load Job (which lists *.qx) finds it; a name with its own
// extension is kept.
TEST_F(JobWindowTest, SaveJobAsAddsTheJobExtensionToANameTypedWithout)
{
    const QString jobs = tempPath("typed");
    ASSERT_TRUE(QDir().mkpath(jobs));
    const auto confirmNote = [](QDialog* dialog) {
        auto* note = qobject_cast<frmSealbookNote*>(dialog);
        if (!note)
            return int(QDialog::Rejected);
        QTest::mouseClick(note->cmdOK, Qt::LeftButton);
        return note->result();
    };
    const struct
    {
        const char* typed;
        const char* saved;
    } cases[] = {{"job1", "job1.qx"}, {"lot.v2/job2", "lot.v2/job2.qx"}, {"job3.bak", "job3.bak"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QDir().mkpath(QFileInfo(jobs + "/" + c.typed).absolutePath());
        ui().Answer(jobs + "/" + c.typed);
        ui().OnModal(confirmNote);
        main().mnuSaveJobAs->trigger();
        EXPECT_EQ(data().strJobName, jobs + "/" + c.saved);
        EXPECT_TRUE(QFileInfo(jobs + "/" + c.saved).isFile());
        EXPECT_FALSE(QFileInfo::exists(jobs + "/" + c.typed) && QString(c.typed) != c.saved);
    }
    EXPECT_EQ(QDir(jobs).entryList({"*.qx"}, QDir::Files), QStringList{"job1.qx"});
    EXPECT_EQ(ui().Remaining(), 0);
}

TEST_F(JobWindowTest, SaveJobAsTellsTheEngineOfTheNewJobOnceLockedWithTheWindowsOptions)
{
    engine.calls.clear();
    bool ok = false;
    main().ExecSaveJobCmd(1, tempPath("order.qx"), ok);
    ASSERT_TRUE(ok);
    // The window's options (its verify row among them) reach the engine
    // before it hears of the new job, and that before the job is written.
    const QStringList all = engine.All();
    const qsizetype options = all.indexOf(QStringLiteral("VerifyMode=1"));
    const qsizetype newJob = all.indexOf(QStringLiteral("JobCall275(3)"));
    const qsizetype save = all.indexOf(QStringLiteral("SaveJobFile(") + tempPath("order.qx") + ")");
    ASSERT_GE(options, 0);
    EXPECT_LT(options, newJob);
    EXPECT_LT(newJob, save);
}

} // namespace

namespace {

TEST_F(JobWindowTest, AJobSavedAroundItsAutoFileKeepsItsOwnNoteHistory)
{
    const QString job = tempPath("notes.qx");
    const QString autoFile = tempPath("notes.qxa");
    bool ok = false;
    main().ExecSaveJobCmd(1, job, ok);
    ASSERT_TRUE(ok);
    data().strJobNote = QStringLiteral("job history");
    data().strSKAutoNote = QStringLiteral("auto history");

    // An older job is saved before its auto file: the note dialog is the
    // job's, and so is the note the engine writes into the job.
    main().jobFiles().bSKJobNeedsSave = true;
    ui().Answer(vb::vbOK); // the job will be saved first
    ui().OnModal([](QDialog* dialog) {
        auto* note = qobject_cast<frmSealbookNote*>(dialog);
        EXPECT_NE(note, nullptr);
        if (!note)
            return int(QDialog::Rejected);
        EXPECT_EQ(note->txtHistory->toPlainText(), "job history");
        QTest::mouseClick(note->cmdOK, Qt::LeftButton);
        return note->result();
    });
    engine.calls.clear();
    qint32 result = -1;
    main().SaveSKAutoFile(autoFile, result, true);
    ASSERT_EQ(result, 0);
    EXPECT_FALSE(main().jobFiles().bSKJobNeedsSave);
    const QStringList notes = engine.Calls({QXPgmrId::SealbookNoteText});
    ASSERT_FALSE(notes.isEmpty());
    // The note dialog adds its entry to the history it was given.
    EXPECT_TRUE(notes.first().contains("job history")) << notes.first().toStdString();
    EXPECT_FALSE(notes.first().contains("auto history")) << notes.first().toStdString();
    EXPECT_EQ(notes.last(), "SealbookNoteText=auto history");

    // The silent save after loading the auto file writes the job with its
    // own note too.
    engine.calls.clear();
    main().LoadSKAutoFile(autoFile, result);
    ASSERT_EQ(result, 0) << statusLines().join('\n').toStdString();
    EXPECT_EQ(engine.Calls({QXPgmrId::SealbookNoteText}).last(), "SealbookNoteText=" + data().strJobNote);
    EXPECT_NE(data().strJobNote, data().strSKAutoNote);
}

} // namespace

namespace {

TEST_F(JobWindowTest, ARefusedJobChangesNothingAndTheChecksumQuestionMatchesTheFile)
{
    // A fresh station asks with the checksum setting it holds, and the job
    // stores that one.
    data().bRemindToVerifyChecksum = true;
    ASSERT_TRUE(data().bVerifyChecksum);
    const QString good = tempPath("good.qx");
    ui().Answer(vb::vbYes);
    bool ok = false;
    main().ExecSaveJobCmd(1, good, ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ui().Shown().last().contains("The verify checksum is enabled.")) << ui().Shown().last().toStdString();
    EXPECT_TRUE(ReadAll(good).contains("\nVerifyChecksum=1")) << ReadAll(good).toStdString();

    const QByteArray sound = ReadAll(good);
    const struct
    {
        const char* name;
        QByteArray bytes;
    } damaged[] = {
        {"empty", QByteArray()},
        {"cut", sound.left(sound.size() / 2)},
        {"a byte changed", QByteArray(sound).replace("AM27C512", "AM27C513")},
        {"no job at all", QByteArray("plain text\n")},
    };
    auto station = [&] {
        QStringList s;
        s << data().strJobName << data().strJobDir << QString::number(data().bVerifyChecksum)
          << QString::number(data().bDataPatternLinkedToSKFile) << QString::number(data().lngFileSize)
          << operationWindow().txtDevice->text() << operationWindow().txtFile->text();
        QXPgmrControl& e = main().QXProgrammer;
        s << QString::number(e.SealbookSetting81()) << QString::number(e.SealbookSetting211())
          << QString::number(e.BufferSize()) << e.DeviceName();
        return s;
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        const QString path = tempPath(QStringLiteral("damaged.qx"));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
        const QStringList before = station();
        main().ExecLoadJobCmd(1, path, ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(station(), before);
    }
    // The next save asks as the first did.
    ui().Answer(vb::vbYes);
    main().ExecSaveJobCmd(1, good, ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ui().Shown().last().contains("The verify checksum is enabled.")) << ui().Shown().last().toStdString();
}

} // namespace

namespace {

// "1" in the headless script presses the dialog's own OK button: its
// handler runs, so the note, the setup report and the password prompt are
// confirmed as an operator's click would.
TEST_F(JobWindowTest, AScriptedOkConfirmsEachDialogThroughItsOwnButton)
{
    const QString job = tempPath("scripted.qx");
    bool ok = false;
    main().ExecSaveJobCmd(1, job, ok);
    ASSERT_TRUE(ok);
    QFile::remove(job);

    // The note of a job save.
    ui().Answer(1);
    main().mnuSaveJob_Click();
    EXPECT_TRUE(QFileInfo::exists(job)) << ui().Shown().join('\n').toStdString();
    EXPECT_TRUE(ui().Shown().last().endsWith("\t1")) << ui().Shown().last().toStdString();

    // The setup report of a job load.
    main().QXProgrammer.ShowErrorMessages(true);
    ui().Answer(1);
    main().ExecLoadJobCmd(1, job, ok);
    EXPECT_TRUE(ok) << ui().Shown().join('\n').toStdString();
    main().QXProgrammer.ShowErrorMessages(false);

    // The operator password: OK hands the (empty) password to the engine,
    // which refuses it.
    main().QXProgrammer.ChangeSealbookPassword(QString(), QStringLiteral("pw29"));
    main().SetSKMode(true);
    ui().Answer(1);
    ui().Answer(vb::vbOK);
    main().SetSKMode(false);
    EXPECT_TRUE(ui().Shown().last().contains("Invalid password! Cannot enter the supervisor mode!"))
        << ui().Shown().last().toStdString();
    EXPECT_TRUE(data().bStartInOperatorMode);
    main().QXProgrammer.ChangeSealbookPassword(QStringLiteral("pw29"), QString());
}

} // namespace

namespace {

TEST_F(JobWindowTest, AnAutoFileLoadsEveryTimeAndAfterALoadOfItsJob)
{
    const QString job = tempPath("every.qx");
    const QString autoFile = tempPath("every.qxa");
    const QByteArray pattern = QByteArray("every time ").repeated(20);
    Fill(pattern);
    bool ok = false;
    main().ExecSaveJobCmd(1, job, ok);
    ASSERT_TRUE(ok);
    qint32 result = -1;
    main().SaveSKAutoFile(autoFile, result, true);
    ASSERT_EQ(result, 0);
    const QByteArray saved = ReadAll(job);

    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        main().LoadSKAutoFile(autoFile, result);
        EXPECT_EQ(result, 0) << ui().Shown().join('\n').toStdString();
        EXPECT_EQ(DataBuffer::Instance().Bytes(0, pattern.size()), pattern);
    }
    main().ExecLoadJobCmd(1, job, ok);
    ASSERT_TRUE(ok);
    main().LoadSKAutoFile(autoFile, result);
    EXPECT_EQ(result, 0) << ui().Shown().join('\n').toStdString();
    // The silent saves left the unchanged job as it was.
    EXPECT_EQ(ReadAll(job), saved);

    // A job changed and saved no longer fits its auto file: the check still
    // covers the job's content.
    Fill(QByteArray("changed ").repeated(20));
    MarkBufferFromFile();
    main().ExecSaveJobCmd(1, job, ok);
    ASSERT_TRUE(ok);
    ui().Answer(vb::vbOK); // the integrity check failed
    main().LoadSKAutoFile(autoFile, result);
    EXPECT_NE(result, 0);
    EXPECT_TRUE(ui().Shown().join('\n').contains("The integrity check failed."))
        << ui().Shown().join('\n').toStdString();
}

} // namespace

namespace {

// An older job has a seal without a key: a locked one changed by hand and
// resealed is taken only with the job's password.
TEST_F(JobWindowTest, AnOlderLockedJobIsTakenOnlyWithItsPassword)
{
    const QString locked = tempPath("locked.qx");
    main().QXProgrammer.ChangeSealbookPassword(QString(), QStringLiteral("pw3"));
    Fill(QByteArray(64, '\x11'));
    bool ok = false;
    main().ExecSaveJobCmd(1, locked, ok);
    ASSERT_TRUE(ok);
    QString reason;
    std::optional<JobFile> job = JobFile::Read(locked, reason);
    ASSERT_TRUE(job) << reason.toStdString();
    ASSERT_TRUE(job->hasData);
    const QByteArray changed(job->data.size(), '\x66');
    job->data = changed;
    job->version = JobFile::kOldVersion;
    const QByteArray tampered = job->Serialize();

    struct Case
    {
        const char* name;
        bool cancel;
        const char* password;
        bool taken;
    };
    const Case cases[] = {
        {"cancelled", true, "", false},
        {"wrong password", false, "guess", false},
        {"the job's password", false, "pw3", true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tempPath(QStringLiteral("tampered%1.qx").arg(++n));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(tampered);
        }
        Fill(QByteArray(64, '\x22'));
        ui().OnModal([&c](QDialog* dialog) {
            auto* prompt = qobject_cast<frmOperatorPwd*>(dialog);
            EXPECT_NE(prompt, nullptr);
            if (!prompt)
                return int(QDialog::Rejected);
            prompt->txtPwd->setText(QString::fromLatin1(c.password));
            QTest::mouseClick(c.cancel ? prompt->cmdCancel : prompt->cmdOK, Qt::LeftButton);
            return prompt->result();
        });
        ui().Answer(vb::vbOK); // refused, or the older-version note
        main().ExecLoadJobCmd(1, path, ok);
        EXPECT_EQ(ok, c.taken);
        EXPECT_EQ(DataBuffer::Instance().Bytes(0, changed.size()) == changed, c.taken);
        if (c.taken) {
            EXPECT_TRUE(ReadAll(path).startsWith("TarvoJob 2\n"));
        } else {
            EXPECT_TRUE(ui().Shown().last().contains("The job was not loaded.")) << ui().Shown().last().toStdString();
            // Nothing wrote the refused job back as a sound one.
            EXPECT_EQ(ReadAll(path), tampered);
        }
    }
    main().QXProgrammer.ChangeSealbookPassword(QStringLiteral("pw3"), QString());
}

} // namespace
