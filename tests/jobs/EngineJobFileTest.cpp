// The simulated engine's job files through its members: a saved job comes
// back whole (device, options, data inside or linked, note, tab values,
// Sealbook settings); a damaged or foreign file is refused before anything
// changes, the file itself left alone; a failed or killed save keeps the old
// file; Sealbook auto files name their job by its identity; the password is
// checked and changed by the rules of the password dialog.
#include "ChildRole.h"
#include "IntelHexText.h"
#include "JobFile.h"
#include "TestEnv.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"
#include "platform/Dispatch.h"
#include "qxbuffer/DataBuffer.h"
#include "FileBytes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <QThread>
#include <signal.h>
#include <unistd.h>

namespace {

const QString kDevice = QStringLiteral("AM27C512");
const QString kRefusedLine = QStringLiteral("LogMessage");

// The host's side of a job: answers the engine's requests, writes tab values
// on export and reads them back on import, and records the events in order.
class JobHost : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        events << name;
        if (name == QLatin1String("RequestJobSettingText24"))
            args[0] = fileName;
        else if (name == QLatin1String("JobSetting25"))
            args[0] = filePath;
        else if (name == QLatin1String("RequestJobSetting26"))
            args[0] = qint32(0x10);
        else if (name == QLatin1String("RequestJobSetting27"))
            args[0] = qint32(0x1F);
        else if (name == QLatin1String("RequestJobSetting28"))
            args[0] = qint32(0x4);
        else if (name == QLatin1String("JobSettingText60"))
            args[0] = jobName;
        else if (name == QLatin1String("RequestSealbookNote"))
            engine->SealbookNoteText(note);
        else if (name == QLatin1String("SealbookExport")) {
            for (const auto& [key, value] : tabValues.asKeyValueRange()) {
                QString v = value;
                qint32 status = -1;
                engine->WriteSealbookValue(key.first, key.second, QString(), v, qint32(2), status);
                // A second value for the key is not kept.
                QString later = QStringLiteral("later");
                engine->WriteSealbookValue(key.first, key.second, QString(), later, qint32(2), status);
            }
            for (const auto& key : unreadableKeys) {
                QString v = QStringLiteral("refused");
                qint32 status = -1;
                engine->WriteSealbookValue(key.first, key.second, QString(), v, qint32(2), status);
                unreadableStatus << status;
            }
        } else if (name == QLatin1String("SealbookImport")) {
            imported.clear();
            for (const auto& key : tabValues.keys()) {
                qint32 status = -1;
                imported[key] = engine->ReadSealbookValue(key.first, key.second, QString(), qint32(2), status);
                EXPECT_EQ(status, 0);
            }
            if (failImport)
                engine->SealbookReadStep221();
        } else if (name == QLatin1String("SealbookLoadingError"))
            args[0] = rejectSetup ? 1 : 0;
        else if (name == QLatin1String("JobSetting46"))
            loadedNote = args.value(0).toString();
        else if (name == QLatin1String("UpdateJobSetting15"))
            loadedFileName = args.value(0).toString();
        else if (name == QLatin1String("UpdateJobSetting55") || name == QLatin1String("UpdateJobSetting56"))
            events.last() += QLatin1Char('(') + args.value(0).toString() + QLatin1Char(')');
        else if (name == QLatin1String("LogMessage") || name == QLatin1String("JobSavingError"))
            texts << args.value(0).toString();
        else if (name == QLatin1String("JobLoadFailed"))
            events.last() += args.value(0).toBool() ? QStringLiteral("(True)") : QStringLiteral("(False)");
        else if (name == QLatin1String("SealbookModeChanged"))
            events.last() += args.value(0).toBool() ? QStringLiteral("(True)") : QStringLiteral("(False)");
    }

    QXPgmrControl* engine = nullptr;
    QStringList events, texts;
    QString fileName, filePath, jobName, note;
    QMap<QPair<QString, QString>, QString> tabValues, imported;
    // Written on export beside the tab values, with the status each got.
    QList<QPair<QString, QString>> unreadableKeys;
    QList<qint32> unreadableStatus;
    QString loadedNote, loadedFileName;
    bool failImport = false;
    bool rejectSetup = false;
};

QByteArray Pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed) & 0xFF);
    return bytes;
}

void FillBuffer(const QByteArray& bytes)
{
    DataBuffer& buffer = DataBuffer::Instance();
    buffer.Resize(bytes.size());
    buffer.Write(0, reinterpret_cast<const quint8*>(bytes.constData()), bytes.size());
}

QByteArray BufferBytes()
{
    const DataBuffer& buffer = DataBuffer::Instance();
    return buffer.Bytes(0, buffer.Size());
}

// An engine in this process, as the station makes it.
struct Engine
{
    explicit Engine(JobHost& host)
    {
        QLibrary library(QFileInfo(BinDir() + QStringLiteral("/QXPgmr.ocx")).canonicalFilePath());
        using Entry = long (*)();
        const auto reg = reinterpret_cast<Entry>(library.resolve("DllRegisterServer"));
        if (!reg || reg() != companion::S_OK)
            ADD_FAILURE() << "the engine did not register";
        control.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        control.Control()->SetEventSink(&host);
        host.engine = &control;
        control.StartupValue108(BinDir());
        if (control.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0)
            ADD_FAILURE() << "no algorithm database";
    }
    ~Engine() { control.Control()->SetEventSink(nullptr); }
    QXPgmrControl control;
};

class EngineJobFileTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        engine = std::make_unique<Engine>(host);
        e().SelectDeviceByName(QString(kDevice), false);
        host.fileName = QStringLiteral("image.bin");
        host.filePath = tempPath();
        host.jobName = tempPath("line4.qx");
        host.note = QStringLiteral("first line\r\nsecond = line [x]");
        host.tabValues[{QStringLiteral("JobInfo"), QStringLiteral("ActiveTab")}] = QStringLiteral("&Verify");
        host.tabValues[{QStringLiteral("GUI-Program"), QStringLiteral("Selection0")}] = QStringLiteral("Normal");
        host.tabValues[{QStringLiteral("GUI-Program"), QStringLiteral("EnableSelection0")}] = QStringLiteral("1");
    }
    void TearDown() override
    {
        engine.reset();
        TarvoTest::TearDown();
    }
    QXPgmrControl& e() { return engine->control; }

    // A job with every kind of setting, saved to path.
    void saveFullJob(const QString& path, const QByteArray& data)
    {
        e().VerifyMode(qint32(2));
        e().BlankCheckOption(true);
        e().ChecksumMethod(qint32(1));
        e().WordRangeLow(qint32(0x10));
        e().CurrentBank(qint32(3));
        e().CurrentDataPosition(qint32(1));
        bool op = true, mark = true;
        e().SealbookConfigure210(op, QStringLiteral("s3cret"), mark);
        e().SealbookSetting81(true);
        FillBuffer(data);
        ASSERT_EQ(e().SaveJobFile(path), 0) << host.texts.join('\n').toStdString();
    }

    // What a refused load must leave as it was.
    struct Station
    {
        QString device;
        qint32 verifyMode = 0;
        QByteArray buffer;
        bool operator==(const Station&) const = default;
    };
    Station station() { return {e().DeviceName(), e().VerifyMode(), BufferBytes()}; }

    JobHost host;
    std::unique_ptr<Engine> engine;
};

TEST_F(EngineJobFileTest, SavedJobLoadsBackWholeWithItsEventsInOrder)
{
    const QString path = tempPath("line4.qx");
    const QByteArray data = Pattern(4096, 7);
    saveFullJob(path, data);
    EXPECT_EQ(host.events.mid(0, 8),
              (QStringList{"RequestJobSettingText24", "JobSetting25", "RequestJobSetting26", "RequestJobSetting27",
                           "RequestJobSetting28", "JobSettingText60", "RequestSealbookNote", "SealbookExport"}));

    // Another station state, then the job.
    e().SelectDeviceByName(QStringLiteral("AT28C256"), false);
    e().VerifyMode(qint32(0));
    e().CurrentBank(qint32(0));
    e().CurrentDataPosition(qint32(0));
    e().BlankCheckOption(false);
    bool op = false, mark = false;
    e().SealbookConfigure210(op, QString(), mark);
    e().SealbookSetting81(false);
    e().ChangeSealbookPassword(QStringLiteral("s3cret"), QString());
    FillBuffer(Pattern(16, 1));
    host.events.clear();

    ASSERT_EQ(e().LoadJobFile(path), 0) << host.texts.join('\n').toStdString();
    // The job brings its data: the buffer was loaded from its file.
    EXPECT_EQ(host.events,
              (QStringList{"SealbookExport", "DeviceSelected", "UpdateJobSetting14", "UpdateJobSetting15",
                           "UpdateJobSetting17", "UpdateJobSetting18", "UpdateJobSetting19", "UpdateJobSetting55(3)",
                           "UpdateJobSetting56(1)", "DataFileLoaded", "JobSetting46", "SealbookImport",
                           "SealbookLoadingError", "SealbookModeChanged(False)"}));
    EXPECT_EQ(e().DeviceName(), kDevice);
    EXPECT_EQ(e().VerifyMode(), 2);
    EXPECT_TRUE(e().BlankCheckOption());
    EXPECT_EQ(e().ChecksumMethod(), 1);
    EXPECT_EQ(e().WordRangeLow(), 0x10);
    EXPECT_EQ(BufferBytes(), data);
    EXPECT_EQ(host.loadedNote, host.note);
    EXPECT_EQ(host.loadedFileName, host.fileName);
    EXPECT_EQ(host.imported, host.tabValues); // first value of each key kept
    EXPECT_TRUE(e().SealbookSetting211());
    EXPECT_TRUE(e().SealbookSetting81());
    EXPECT_TRUE(e().HasSealbookPassword());
    EXPECT_TRUE(e().CheckSealbookPassword(QStringLiteral("s3cret")));
    EXPECT_FALSE(e().ThreadCommObject());

    // The password is not in the file as text.
    EXPECT_FALSE(ReadAll(path).contains("s3cret"));
    // With no file open, the job last loaded still answers.
    qint32 status = -1;
    EXPECT_EQ(
        e().ReadSealbookValueEx(QStringLiteral("JobInfo"), QStringLiteral("ActiveTab"), QString(), qint32(2), status),
        "&Verify");
    EXPECT_EQ(status, 0);
}

TEST_F(EngineJobFileTest, LinkedDataPatternIsCheckedAndLoadedFromItsFile)
{
    const QByteArray data = Pattern(8192, 3);
    const QString dataFile = tempPath("image.bin");
    WriteAll(dataFile, data);
    e().DataFileTypeCode(qint32(0));
    ASSERT_TRUE(e().JobValue1004());
    e().SetDataPatternLinked(true);
    const QString path = tempPath("linked.qx");
    saveFullJob(path, data);
    EXPECT_LT(ReadAll(path).size(), data.size()) << "a linked job does not hold the data";

    FillBuffer(Pattern(16, 9));
    e().SetDataPatternLinked(false);
    ASSERT_EQ(e().LoadJobFile(path), 0) << host.texts.join('\n').toStdString();
    EXPECT_EQ(BufferBytes().left(data.size()), data);
    EXPECT_TRUE(e().ThreadCommObject());

    // A data file changed since the save makes the job unusable.
    QByteArray changed = data;
    changed[100] = char(changed[100] ^ 0x01);
    WriteAll(dataFile, changed);
    FillBuffer(Pattern(16, 9));
    host.texts.clear();
    EXPECT_EQ(e().LoadJobFile(path), 1);
    EXPECT_EQ(BufferBytes(), Pattern(16, 9));
    ASSERT_FALSE(host.texts.isEmpty());
    EXPECT_TRUE(host.texts.last().contains(QLatin1String("has changed"))) << host.texts.last().toStdString();

    // JEDEC cannot be linked.
    e().DataFileTypeCode(qint32(2));
    EXPECT_FALSE(e().JobValue1004());
}

// A linked job rebuilds the buffer it was saved with, gaps included, in a
// station with another fill value; a buffer no load of its file gives is
// not linked.
TEST_F(EngineJobFileTest, ALinkedJobRebuildsTheBufferItWasSavedWith)
{
    // A 32 KiB device; the file leaves 3000h-4FFFh to the fill byte.
    e().SelectDeviceByName(QStringLiteral("KS24C256"), false);
    host.fileName = QStringLiteral("gapped.hex");
    const QString dataFile = tempPath("gapped.hex");
    WriteAll(dataFile, IntelHexText({{0x0000, Pattern(0x3000, 1)}, {0x5000, Pattern(0x3000, 2)}}));
    const QString path = tempPath("linked.qx");
    const struct
    {
        const char* name;
        bool range;
        qint32 low, high, bufferAddress;
    } cases[] = {
        {"whole file", false, 0, 0, 0},
        {"part of it placed elsewhere", true, 0x5000, 0x57FF, 0x100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        e().DefaultBufferByte(qint32(0x00));
        QString file = dataFile;
        qint32 type = 1;
        const qint32 loaded = c.range ? e().LoadDataFileRange(file, type, true, false, c.low, c.high, c.bufferAddress)
                                      : e().LoadDataFileAs(file, type);
        ASSERT_EQ(loaded, 0);
        const QByteArray saved = BufferBytes();
        ASSERT_EQ(saved.size(), 0x8000);
        ASSERT_EQ(saved.at(0x4000), '\0');
        e().SetDataPatternLinked(true);
        ASSERT_EQ(e().SaveJobFile(path), 0) << host.texts.join('\n').toStdString();

        // The opening station fills with FFh and holds another buffer.
        e().DefaultBufferByte(qint32(0xFF));
        FillBuffer(Pattern(0x8000, 9));
        ASSERT_EQ(e().LoadJobFile(path), 0) << host.texts.join('\n').toStdString();
        EXPECT_TRUE(BufferBytes() == saved);
        EXPECT_EQ(e().DefaultBufferByte(), 0x00);
        // Saved again as it is, the job keeps how its buffer is made.
        ASSERT_EQ(e().SaveJobFile(path), 0) << host.texts.join('\n').toStdString();
        FillBuffer(Pattern(0x8000, 9));
        ASSERT_EQ(e().LoadJobFile(path), 0);
        EXPECT_TRUE(BufferBytes() == saved);
    }

    // Changed after its load, the buffer is no longer what the file gives.
    QString file = dataFile;
    qint32 type = 1;
    ASSERT_EQ(e().LoadDataFileAs(file, type), 0);
    DataBuffer::Instance().SetByte(0x4000, 0x77);
    const QString changed = tempPath("changed.qx");
    host.texts.clear();
    EXPECT_NE(e().SaveJobFile(changed), 0);
    EXPECT_FALSE(QFileInfo::exists(changed));
    ASSERT_FALSE(host.texts.isEmpty());
    EXPECT_TRUE(host.texts.last().contains(QLatin1String("is not what its data pattern")))
        << host.texts.last().toStdString();
}

TEST_F(EngineJobFileTest, DamagedOrForeignFilesAreRefusedBeforeAnythingChanges)
{
    const QString good = tempPath("good.qx");
    saveFullJob(good, Pattern(512, 5));
    const QByteArray bytes = ReadAll(good);
    const qsizetype dataAt = bytes.indexOf("\nData ") + 20;
    const qsizetype guiAt = bytes.indexOf("Selection0=") + 12;
    ASSERT_GT(guiAt, 12);

    auto flipped = [&](qsizetype at) {
        QByteArray b = bytes;
        b[at] = char(b[at] ^ 0x20);
        return b;
    };
    QByteArray resealedV3 = bytes.left(bytes.lastIndexOf("Seal "));
    resealedV3.replace(0, 10, "TarvoJob 3");
    const struct
    {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"empty", QByteArray()},
        {"truncated", bytes.left(bytes.size() / 2)},
        {"byte flipped in the data", flipped(dataAt)},
        {"byte flipped in a GUI- value", flipped(guiAt)},
        {"seal changed", flipped(bytes.size() - 3)},
        {"Intel HEX file", QByteArray(":0400000001020304F2\n:00000001FF\n")},
        {"version 3", JobFile::Sealed(resealedV3, JobFile::kVersion)},
    };

    // The station the refused loads must leave alone.
    e().SelectDeviceByName(QStringLiteral("AT28C256"), false);
    e().VerifyMode(qint32(1));
    FillBuffer(Pattern(64, 2));
    const Station before = station();

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tempPath(QStringLiteral("damaged.qx"));
        WriteAll(path, c.content);
        host.events.clear();
        host.texts.clear();
        EXPECT_EQ(e().LoadJobFile(path), 1);
        EXPECT_EQ(host.events, (QStringList{kRefusedLine, "JobLoadFailed(False)"}));
        EXPECT_EQ(station(), before);
        EXPECT_EQ(ReadAll(path), c.content);
    }
}

TEST_F(EngineJobFileTest, OlderVersionLoadsAndAnswersFifty)
{
    // A version-1 file: no salt, a plain SHA-256 as its seal.
    host.tabValues.clear();
    JobFile old;
    old.version = JobFile::kOldVersion;
    old.Set(QStringLiteral("JobInfo"), QStringLiteral("QXType"), QStringLiteral("SK"));
    old.Set(QStringLiteral("Device"), QStringLiteral("Name"), kDevice);
    old.hasData = true;
    old.data = Pattern(32, 4);
    const QString path = tempPath("old.qx");
    WriteAll(path, old.Serialize());
    EXPECT_EQ(e().LoadJobFile(path), 50) << host.texts.join('\n').toStdString();
    EXPECT_EQ(BufferBytes(), old.data);
}

// The host opens a job to see what it is before it loads it: a file
// replaced in between is loaded as it is now, whether the engine kept what
// it read or not (a file just written is always read again; one old enough
// for its stamp to tell is compared by stamp).
TEST_F(EngineJobFileTest, AJobOpenedAndReplacedBeforeItsLoadIsLoadedAsItIsNow)
{
    const QString path = tempPath("job.qx");
    const QString other = tempPath("other.qx");
    saveFullJob(other, Pattern(64, 2));
    saveFullJob(path, Pattern(64, 1));
    // Old enough for the stamp to be trusted.
    for (const QString& file : {path, other}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    }
    QThread::msleep(50); // past the clock's tick since the change
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "as opened");
        FillBuffer(Pattern(64, 9));
        ASSERT_EQ(e().OpenSealbookFile(path), 0);
        e().CloseSealbookFile();
        if (replace) {
            QFile::remove(path);
            ASSERT_TRUE(QFile::copy(other, path));
        }
        ASSERT_EQ(e().LoadJobFile(path), 0) << host.texts.join('\n').toStdString();
        EXPECT_EQ(BufferBytes(), replace ? Pattern(64, 2) : Pattern(64, 1));
        EXPECT_EQ(e().SealbookLoadValue111(), JobFile::SealValue(ReadAll(path)));
    }
}

TEST_F(EngineJobFileTest, RejectedSetupOrFailedImportIsPutBackWithTheStationsSealbookSettings)
{
    const QString path = tempPath("job.qx");
    saveFullJob(path, Pattern(64, 1));
    // The station's own Sealbook settings, other than the job's.
    ASSERT_TRUE(e().ChangeSealbookPassword(QStringLiteral("s3cret"), QStringLiteral("mine")));
    bool op = false, mark = false;
    e().SealbookConfigure210(op, QString(), mark);
    e().SealbookSetting81(false);
    for (int failImport = 0; failImport < 2; ++failImport) {
        SCOPED_TRACE(failImport ? "import failed" : "setup rejected");
        host.failImport = failImport == 1;
        host.rejectSetup = failImport == 0;
        host.events.clear();
        EXPECT_NE(e().LoadJobFile(path), 0);
        ASSERT_FALSE(host.events.isEmpty());
        // Put back as it was, the station hears of a refusal that changed
        // nothing.
        EXPECT_EQ(host.events.last(), "JobLoadFailed(False)");
        EXPECT_FALSE(host.events.contains("SealbookModeChanged(False)"));
        // The job not taken left no password or mode behind.
        EXPECT_TRUE(e().CheckSealbookPassword(QStringLiteral("mine")));
        EXPECT_FALSE(e().CheckSealbookPassword(QStringLiteral("s3cret")));
        EXPECT_FALSE(e().SealbookSetting211());
        EXPECT_FALSE(e().SealbookSetting310());
        EXPECT_FALSE(e().SealbookSetting81());
    }
}

TEST_F(EngineJobFileTest, FailedSaveKeepsTheOldFileAndSaysWhy)
{
    const QString path = tempPath("job.qx");
    saveFullJob(path, Pattern(256, 1));
    const QByteArray before = ReadAll(path);

    FillBuffer(Pattern(256, 2));
    for (const char* fault : {"jobwrite=1", "jobsave=9"}) {
        SCOPED_TRACE(fault);
        qputenv("TARVO_ENGINE_FAULTS", fault);
        host.events.clear();
        host.texts.clear();
        EXPECT_NE(e().SaveJobFile(path), 0);
        EXPECT_TRUE(host.events.contains("JobSavingError"));
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_EQ(QDir(tempPath()).entryList(QDir::Files).filter(QStringLiteral("job.qx")), QStringList{"job.qx"});
    }
    qunsetenv("TARVO_ENGINE_FAULTS");

    // No device, no job.
    e().SelectDeviceByName(QStringLiteral("no such device"), false);
    e().RefreshState202(qint32(0), qint32(0), qint32(0));
    host.texts.clear();
    EXPECT_NE(e().SaveJobFile(path), 0);
    EXPECT_EQ(ReadAll(path), before);
}

// The child of the kill test: saves a job with a slowed write.
const ChildRole kSlowSaver("jobs-slow-save", [](const QStringList& args) {
    JobHost host;
    Engine engine(host);
    engine.control.SelectDeviceByName(QString(kDevice), false);
    FillBuffer(Pattern(1 << 20, 6));
    qputenv("TARVO_ENGINE_FAULTS", "jobslow=20000");
    return engine.control.SaveJobFile(args.value(0)) == 0 ? 0 : 1;
});

TEST_F(EngineJobFileTest, KilledSaveLeavesTheOldFileIntact)
{
    const QString path = tempPath("job.qx");
    saveFullJob(path, Pattern(128, 3));
    const QByteArray before = ReadAll(path);

    QProcess child;
    ASSERT_TRUE(StartChildRole(child, childEnvironment(), "jobs-slow-save", {path}));
    // Kill it once it holds its half-written file open in the job's folder
    // (a temporary file, named or not).
    bool halfWritten = false;
    const QString fds = QStringLiteral("/proc/%1/fd").arg(child.processId());
    for (int i = 0; i < 300 && !halfWritten; ++i) {
        QThread::msleep(50);
        for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            char target[4096];
            const ssize_t n =
                ::readlink(QFile::encodeName(fds + QLatin1Char('/') + fd).constData(), target, sizeof target - 1);
            const QString name = n > 0 ? QFile::decodeName(QByteArray(target, int(n))) : QString();
            halfWritten |=
                name.startsWith(QDir(tempPath()).canonicalPath()) && name != QFileInfo(path).canonicalFilePath();
        }
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished(10000);
    ASSERT_TRUE(halfWritten) << "the child never began its write: " << child.readAllStandardError().toStdString();

    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(e().LoadJobFile(path), 0) << host.texts.join('\n').toStdString();
}

TEST_F(EngineJobFileTest, PasswordIsCheckedAndChangedByItsRules)
{
    EXPECT_FALSE(e().HasSealbookPassword());
    const struct
    {
        const char* oldPassword;
        const char* newPassword;
        bool changed;
        bool hasAfter;
    } steps[] = {
        {"", "fifteen-chars-1", true, true},                  // none set: any old text
        {"wrong", "other", false, true},                      // wrong old password
        {"fifteen-chars-1", "sixteen-chars-12", false, true}, // 16 characters
        {"fifteen-chars-1", "next", true, true},
        {"next", "", true, false}, // empty removes it
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.newPassword);
        EXPECT_EQ(e().ChangeSealbookPassword(QString::fromLatin1(s.oldPassword), QString::fromLatin1(s.newPassword)),
                  s.changed);
        EXPECT_EQ(e().HasSealbookPassword(), s.hasAfter);
    }
    EXPECT_FALSE(e().CheckSealbookPassword(QString()));

    // The options call sets a password only from a text that is not empty.
    bool op = false, mark = false;
    e().SealbookConfigure210(op, QStringLiteral("pw"), mark);
    EXPECT_TRUE(e().CheckSealbookPassword(QStringLiteral("pw")));
    e().SealbookConfigure210(op, QString(), mark);
    EXPECT_TRUE(e().CheckSealbookPassword(QStringLiteral("pw")));
    EXPECT_FALSE(e().CheckSealbookPassword(QStringLiteral("PW")));
}

TEST_F(EngineJobFileTest, AutoFileNamesItsJobByIdentity)
{
    const QString job = tempPath("line4.qx");
    saveFullJob(job, Pattern(64, 1));
    const qint32 jobValue = e().SealbookLoadValue111();
    EXPECT_TRUE(e().SealbookAutoValue112());

    const QString autoFile = tempPath("line4.qxa");
    ASSERT_EQ(e().CreateSealbookFile(autoFile), 0);
    QString name = job;
    qint32 status = -1;
    EXPECT_EQ(e().WriteSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("SKFileName"), QString(), name,
                                     qint32(2), status),
              0);
    e().CloseSealbookFile();

    ASSERT_EQ(e().OpenSealbookFile(autoFile), 0);
    EXPECT_EQ(e().ReadSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("QXType"), QString()), "SKAuto");
    EXPECT_EQ(e().ReadSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("SKFileName"), QString()), job);
    EXPECT_EQ(e().ReadSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("Note"), QString()), host.note);
    EXPECT_TRUE(e().SealbookAutoValue110());
    EXPECT_EQ(e().SealbookLoadValue111(), jobValue);
    e().CloseSealbookFile();

    // The job loads with the value the auto file stored; saved again
    // unchanged, it keeps its file and value; changed, it no longer does.
    const QByteArray bytes = ReadAll(job);
    ASSERT_EQ(e().LoadJobFile(job), 0);
    EXPECT_EQ(e().SealbookLoadValue111(), jobValue);
    ASSERT_EQ(e().SaveJobFile(job), 0);
    EXPECT_EQ(e().SealbookLoadValue111(), jobValue);
    EXPECT_EQ(ReadAll(job), bytes);
    saveFullJob(job, Pattern(64, 2));
    EXPECT_NE(e().SealbookLoadValue111(), jobValue);

    // A value with no file open or created goes nowhere.
    e().WriteSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("X"), QString(), name, qint32(2), status);
    EXPECT_EQ(status, 2);

    qputenv("TARVO_ENGINE_FAULTS", "skopen=50");
    EXPECT_EQ(e().OpenSealbookFile(autoFile), 50);
    qunsetenv("TARVO_ENGINE_FAULTS");
    EXPECT_EQ(e().OpenSealbookFile(tempPath("none.qxa")), 1);
}

// A handler may hand any key through the host: one a job file cannot read
// back (empty, or beginning with the data block's tag) is refused with its
// own status, and the job and the auto file it would have spoilt still load
// with every other value.
TEST_F(EngineJobFileTest, KeysAJobFileCannotReadBackAreRefusedWhenSet)
{
    const QString job = tempPath("keys.qx");
    host.tabValues[{QStringLiteral("GUI-Program"), QStringLiteral("Selection0")}] = QStringLiteral("Normal");
    host.tabValues[{QStringLiteral("GUI-Program"), QStringLiteral("Data")}] = QStringLiteral("no tag");
    host.unreadableKeys = {{QStringLiteral("GUI-Program"), QString()},
                           {QStringLiteral("GUI-Program"), QStringLiteral("Data 12")}};
    saveFullJob(job, Pattern(64, 1));
    EXPECT_EQ(host.unreadableStatus, (QList<qint32>{3, 3}));
    ASSERT_EQ(e().LoadJobFile(job), 0) << host.texts.join('\n').toStdString();
    EXPECT_EQ(host.imported.value({QStringLiteral("GUI-Program"), QStringLiteral("Selection0")}),
              QStringLiteral("Normal"));
    EXPECT_EQ(host.imported.value({QStringLiteral("GUI-Program"), QStringLiteral("Data")}), QStringLiteral("no tag"));

    const QString autoFile = tempPath("keys.qxa");
    ASSERT_EQ(e().CreateSealbookFile(autoFile), 0);
    const struct
    {
        QString key;
        qint32 status;
    } cases[] = {{QStringLiteral("SKFileName"), 0}, {QString(), 3}, {QStringLiteral("Data 7"), 3}};
    for (const auto& c : cases) {
        QString value = job;
        qint32 status = -1;
        e().WriteSealbookValue(QStringLiteral("JobInfo"), c.key, QString(), value, qint32(2), status);
        EXPECT_EQ(status, c.status) << c.key.toStdString();
    }
    e().CloseSealbookFile();
    ASSERT_EQ(e().OpenSealbookFile(autoFile), 0);
    EXPECT_EQ(e().ReadSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("SKFileName"), QString()), job);
    e().CloseSealbookFile();
}

// An unchanged job saved again keeps its file only while that file is as the
// engine left it: a file someone else changed since (here its seal, the size
// kept) is written again whole.
TEST_F(EngineJobFileTest, AnUnchangedJobIsWrittenAgainWhenItsFileChangedMeanwhile)
{
    const QString job = tempPath("line5.qx");
    saveFullJob(job, Pattern(4096, 3));
    const QByteArray bytes = ReadAll(job);
    // Saved again a little later, unchanged: the same bytes, twice.
    QThread::msleep(50);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(e().SaveJobFile(job), 0);
        EXPECT_EQ(ReadAll(job), bytes);
    }

    QByteArray damaged = bytes;
    damaged[damaged.size() - 2] = damaged.at(damaged.size() - 2) == '0' ? '1' : '0';
    {
        QFile f(job);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(damaged), damaged.size());
    }
    ASSERT_EQ(e().SaveJobFile(job), 0);
    const QByteArray written = ReadAll(job);
    EXPECT_NE(written, damaged);
    EXPECT_EQ(written.size(), bytes.size());
    EXPECT_EQ(e().LoadJobFile(job), 0);
}

} // namespace
