// The simulated engine's job files and Sealbook files: LoadJobFile and
// SaveJobFile for whole jobs (QXType "SK"), OpenSealbookFile,
// CreateSealbookFile and CloseSealbookFile for Sealbook auto files (QXType
// "SKAuto"), the value store both share, and the station's Sealbook settings
// (password, operator mode) kept in engine.ini.
//
// A load reads and checks the whole file (seal, version, device, data) before
// anything of the station changes; a file refused then raises
// JobLoadFailed(False) with its reason to LogMessage and leaves the station as
// it was. Once the file is taken, a failure in the middle (the host's import
// calls SealbookReadStep221) or a setup the host rejects (SealbookLoadingError
// hands back 1) puts back everything the load changed (JobUndo: device,
// settings, buffer, serialization, Sealbook settings, the host's tab
// settings through SealbookImport) and raises JobLoadFailed(False), as for a
// file refused at once. Only a station that had no device to go back to
// hears JobLoadFailed(True): the host resets what it holds.
//
// Events of a load, in order: SealbookExport (the host's tab settings, kept
// to be put back), DeviceSelected, UpdateJobSetting14/15/17/18/19,
// UpdateJobSetting55/56 (the job's bank and data position),
// JobSetting46 (note, 1), SealbookImport, SealbookLoadingError (result, 1),
// then SealbookModeChanged(False) when the job starts in operator mode; a
// job not taken then puts back with DeviceSelected, SealbookImport (the kept
// tab settings) and JobLoadFailed(False).
// Events of a save: RequestJobSettingText24, JobSetting25,
// RequestJobSetting26-28, JobSettingText60, RequestSealbookNote,
// SealbookExport (the first value written for a key wins), and
// JobSavingError with the reason on any failure.
//
// Fault plan entries (FaultPlan.h): jobload, jobsave and skopen answer their
// code; jobwrite (non-zero) makes a save's write fail half-way; jobslow=<ms>
// makes a save wait half-way through its write.

#include "QXPgmrStandIn.h"

#include "FaultPlan.h"
#include "JobFile.h"
#include "LinkedLoad.h"
#include "SealbookSettings.h"
#include "StationState.h"

#include "platform/FileStamp.h"

#include "qxbuffer/BufferFiles.h"
#include "qxbuffer/DataBuffer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace {

// Engine answers of the job members.
constexpr qint32 kJobOk = 0;
constexpr qint32 kJobRefused = 1;  // not a job file, damaged, or not of this station
constexpr qint32 kJobPartWay = 2;  // failed after the station began to change
constexpr qint32 kJobRejected = 3; // the host rejected the setup
constexpr qint32 kJobOldVersion = 50;
constexpr qint32 kCannotWrite = 7;

// ReadSealbookValue's status.
constexpr qint32 kFound = 0;
constexpr qint32 kNotFound = 1;
constexpr qint32 kNoFile = 2;
constexpr qint32 kKeyRefused = 3; // a key no job file can read back

const QString kJobInfo = QStringLiteral("JobInfo");
const QString kDevice = QStringLiteral("Device");
const QString kOptions = QStringLiteral("Options");
const QString kData = QStringLiteral("DataPattern");
const QString kSerial = QStringLiteral("Serialization");
const QString kSealbook = QStringLiteral("Sealbook");

// The option properties a job carries, by the name the file stores them
// under. Restored in this order after the device is selected.
struct JobOption
{
    const char* name;
    int dispid;
};
const JobOption kJobOptions[] = {
    {"ContinuityCheck", QXPgmrId::ContinuityCheck},
    {"AutoContinuityCheck", QXPgmrId::AutoContinuityCheck},
    {"IdCheck", QXPgmrId::IdCheck},
    {"BlankCheckOption", QXPgmrId::BlankCheckOption},
    {"EraseOption", QXPgmrId::EraseOption},
    {"VerifyMode", QXPgmrId::VerifyMode},
    {"SecureMode", QXPgmrId::SecureMode},
    {"TestMode", QXPgmrId::TestMode},
    {"SecureWithTest", QXPgmrId::SecureWithTest},
    {"ClearBufferMode", QXPgmrId::ClearBufferMode},
    {"DefaultBufferByte", QXPgmrId::DefaultBufferByte},
    {"SetWidth", QXPgmrId::SetWidth},
    {"BankCount", QXPgmrId::BankCount},
    {"CurrentDataPosition", QXPgmrId::CurrentDataPosition},
    {"CurrentBank", QXPgmrId::CurrentBank},
    {"WordRangeLow", QXPgmrId::WordRangeLow},
    {"WordRangeHigh", QXPgmrId::WordRangeHigh},
    {"BufferOffset", QXPgmrId::BufferOffset},
    {"ByteOrder", QXPgmrId::ByteOrder},
    {"VectorDisplayMode", QXPgmrId::VectorDisplayMode},
    {"VectorXValue", QXPgmrId::VectorXValue},
    {"VectorSeed", QXPgmrId::VectorSeed},
    {"DisplayRadix", QXPgmrId::DisplayRadix},
    {"SecureSpecialOption", QXPgmrId::SecureSpecialOption},
    {"DataFileTypeCode", QXPgmrId::DataFileTypeCode},
    {"ChecksumMethod", QXPgmrId::ChecksumMethod},
    {"ChecksumType", QXPgmrId::ChecksumType},
    {"AutoRange", QXPgmrId::AutoRange},
    {"SetMode", QXPgmrId::SetMode},
    {"AutoSelection", QXPgmrId::AutoSelection},
    {"SecureAfterVerify", QXPgmrId::SecureAfterVerify},
    {"WordAddressing", QXPgmrId::WordAddressing},
    {"SerialVerifyEnabled", QXPgmrId::SerialVerifyEnabled},
};

// The data formats a job can link to instead of holding the data: those
// the engine reads back exactly as written.
bool Linkable(qint32 typeCode)
{
    return typeCode == 0 || typeCode == 1 || typeCode == 3;
}

QString JoinDataPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return QDir(folder).filePath(name);
}

QString Sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString Flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

struct QXPgmrStandIn::JobState
{
    // The Sealbook file opened or created by the host; its path when
    // created (written on close).
    std::optional<JobFile> open;
    QString createdPath;
    qint32 openSeal = 0; // SealbookLoadValue111 of an opened auto file
    // The opened file's path, its stamp before it was read and its seal.
    QString openPath;
    FileStamp openStamp;
    qint32 openFileSeal = 0;
    // The file last opened to be read and closed again, for a load of the
    // same file while its stamp shows it untouched since.
    struct Peeked
    {
        QString path;
        FileStamp stamp;
        qint32 seal = 0;
        JobFile job;
    };
    std::optional<Peeked> peeked;
    // The job being loaded (its import reads from it) or saved (its export
    // writes into it).
    const JobFile* loading = nullptr;
    JobFile* saving = nullptr;
    bool readStepFailed = false;
    // The job last loaded or saved: ReadSealbookValueEx reads it.
    std::optional<JobFile> last;
    qint32 lastSeal = 0;
    // The file it was read from or written to, stamped as it stood then;
    // none when that file is not known to hold it.
    QString lastPath;
    std::optional<FileStamp> lastStamp;
    bool linked = false; // SetDataPatternLinked / ThreadCommObject
    QString note;        // SealbookNoteText
};

struct QXPgmrStandIn::JobUndo
{
    QString device; // "" when none was selected
    QHash<QString, QVariant> stored;
    qint32 loadFileVariant = 0;
    qint64 bufferSize = 0;
    quint8 fill = 0xFF;
    bool bufferHeldData = false;
    QByteArray bufferBytes; // only when it held data
    std::optional<LinkedLoad> lastLoad;
    bool lastLoadCurrent = false; // the buffer was what that load made
    FileStamp lastLoadStamp;
    Serialization serialization;
    SealbookSettings settings;
    std::optional<JobFile> last;
    qint32 lastSeal = 0;
    QString lastPath;
    std::optional<FileStamp> lastStamp;
    bool linked = false;
    QString activeTabParameter;
    JobFile tabs; // the host's export
    bool tabsKept = false;
};

namespace {

QString EngineIni()
{
    return StationState::FileIn(QXPgmrStandIn::EngineFolder());
}

} // namespace

void QXPgmrStandIn::bindJobs()
{
    m_jobs = std::make_shared<JobState>();
    using namespace QXPgmrId;

    Answer(LoadJobFile, [this](InvokeKind, QVariantList& args) {
        return QVariant(loadJob(Arg(args, 0, ValueKind::String).toString()));
    });
    Answer(SaveJobFile, [this](InvokeKind, QVariantList& args) {
        return QVariant(saveJob(Arg(args, 0, ValueKind::String).toString()));
    });

    Answer(OpenSealbookFile, [this](InvokeKind, QVariantList& args) {
        m_jobs->open.reset();
        m_jobs->createdPath.clear();
        m_jobs->openPath.clear();
        if (const qint32 fault = FaultPlan::Read(EngineFolder()).Code(QStringLiteral("skopen")))
            return QVariant(fault);
        QString reason;
        const QString path = Arg(args, 0, ValueKind::String).toString();
        const FileStamp stamp = FileStamp::Now(path);
        QByteArray bytes;
        std::optional<JobFile> file = JobFile::Read(path, reason, &bytes);
        if (!file) {
            QVariantList log{QStringLiteral("The Sealbook file was not opened: ") + reason + QLatin1Char('.')};
            Raise(QStringLiteral("LogMessage"), log);
            return QVariant(kJobRefused);
        }
        bool ok = false;
        m_jobs->openSeal = qint32(file->ValueOr(kJobInfo, QStringLiteral("JobSeal")).toUInt(&ok, 16));
        if (!ok)
            m_jobs->openSeal = 0;
        const bool old = file->version == JobFile::kOldVersion;
        m_jobs->open = std::move(file);
        m_jobs->openPath = path;
        m_jobs->openStamp = stamp;
        m_jobs->openFileSeal = JobFile::SealValue(bytes);
        return QVariant(old ? kJobOldVersion : kJobOk);
    });
    Answer(CreateSealbookFile, [this](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        m_jobs->open.reset();
        m_jobs->createdPath.clear();
        m_jobs->openPath.clear();
        if (path.isEmpty() || !QFileInfo(path).absoluteDir().exists())
            return QVariant(kCannotWrite);
        // The auto file names its job by the job's identity, so that a job
        // saved again since is told apart on the next load.
        JobFile file;
        file.Set(kJobInfo, QStringLiteral("QXType"), QStringLiteral("SKAuto"));
        file.Set(kJobInfo, QStringLiteral("JobSeal"), QString::number(quint32(m_jobs->lastSeal), 16));
        m_jobs->note.clear();
        QVariantList none;
        Raise(QStringLiteral("RequestSealbookNote"), none);
        file.Set(kJobInfo, QStringLiteral("Note"), m_jobs->note);
        m_jobs->open = std::move(file);
        m_jobs->createdPath = path;
        return QVariant(kJobOk);
    });
    Answer(CloseSealbookFile, [this](InvokeKind, QVariantList&) {
        // A file opened to be read stays at hand for a load of the same
        // file that follows (the host opens a job to see what it is).
        m_jobs->peeked.reset();
        if (m_jobs->open && m_jobs->createdPath.isEmpty() && !m_jobs->openPath.isEmpty())
            m_jobs->peeked =
                JobState::Peeked{m_jobs->openPath, m_jobs->openStamp, m_jobs->openFileSeal, std::move(*m_jobs->open)};
        if (m_jobs->open && !m_jobs->createdPath.isEmpty()) {
            QString reason;
            if (!JobFile::Write(m_jobs->createdPath, m_jobs->open->Serialize(), reason)) {
                QVariantList error{
                    QStringLiteral("The Sealbook file %1 was not saved: %2.").arg(m_jobs->createdPath, reason)};
                Raise(QStringLiteral("JobSavingError"), error);
            }
        }
        m_jobs->open.reset();
        m_jobs->createdPath.clear();
        m_jobs->openPath.clear();
        return QVariant();
    });

    // (section, key, default[, kind, status]): the job being loaded, else the
    // open file. Status 0 found, 1 no such key, 2 no file to read.
    auto read = [this](QVariantList& args, const JobFile* source) {
        const QString section = Arg(args, 0, ValueKind::String).toString();
        const QString key = Arg(args, 1, ValueKind::String).toString();
        const QString fallback = Arg(args, 2, ValueKind::String).toString();
        qint32 status = kNoFile;
        QString value = fallback;
        if (source) {
            const std::optional<QString> found = source->Value(section, key);
            status = found ? kFound : kNotFound;
            if (found)
                value = *found;
        }
        if (args.size() >= 5)
            args[4] = status;
        return QVariant(value);
    };
    Answer(ReadSealbookValue, [this, read](InvokeKind, QVariantList& args) {
        const JobFile* source = m_jobs->loading ? m_jobs->loading : (m_jobs->open ? &*m_jobs->open : nullptr);
        return read(args, source);
    });
    Answer(ReadSealbookValueEx, [this, read](InvokeKind, QVariantList& args) {
        // A tab named by the job parameter is the job's active tab now.
        if (!m_activeTabParameter.isEmpty() && args.value(0).toString() == kJobInfo
            && args.value(1).toString() == QLatin1String("ActiveTab")) {
            if (args.size() >= 5)
                args[4] = kFound;
            return QVariant(m_activeTabParameter);
        }
        return read(args, m_jobs->last ? &*m_jobs->last : nullptr);
    });
    Answer(ReadSealbookString, [this, read](InvokeKind, QVariantList& args) {
        const JobFile* source = m_jobs->loading ? m_jobs->loading : (m_jobs->open ? &*m_jobs->open : nullptr);
        return read(args, source);
    });
    // The same read, the value as a number (0 when it is not one).
    Answer(ReadSealbookLong, [this, read](InvokeKind, QVariantList& args) {
        const JobFile* source = m_jobs->loading ? m_jobs->loading : (m_jobs->open ? &*m_jobs->open : nullptr);
        return QVariant(qint32(read(args, source).toString().trimmed().toInt()));
    });
    // (section, key, default, value, kind, status): into the job being saved
    // (the first value of a key wins) or the created file.
    Answer(WriteSealbookValue, [this](InvokeKind, QVariantList& args) {
        const QString section = Arg(args, 0, ValueKind::String).toString();
        const QString key = Arg(args, 1, ValueKind::String).toString();
        const QString value = Arg(args, 3, ValueKind::String).toString();
        const bool created = m_jobs->open && !m_jobs->createdPath.isEmpty();
        qint32 status = kNoFile;
        if ((m_jobs->saving || created) && !JobFile::KeyReadsBack(key)) {
            // Kept, it would make the whole file unreadable.
            status = kKeyRefused;
        } else if (m_jobs->saving) {
            m_jobs->saving->SetFirst(section, key, value);
            status = kFound;
        } else if (created) {
            m_jobs->open->Set(section, key, value);
            status = kFound;
        }
        if (args.size() >= 6)
            args[5] = status;
        return QVariant(status);
    });
    Answer(SealbookReadStep221, [this](InvokeKind, QVariantList&) {
        m_jobs->readStepFailed = true;
        return QVariant();
    });

    Answer(SealbookLoadValue111, [this](InvokeKind, QVariantList&) {
        const bool openAuto = m_jobs->open && m_jobs->createdPath.isEmpty();
        return QVariant(openAuto ? m_jobs->openSeal : m_jobs->lastSeal);
    });
    Answer(SealbookAutoValue110, [this](InvokeKind, QVariantList&) {
        // The open auto file is sound: it is one, and names its job.
        const bool sound = m_jobs->open
            && m_jobs->open->ValueOr(kJobInfo, QStringLiteral("QXType")) == QLatin1String("SKAuto")
            && m_jobs->open->Value(kJobInfo, QStringLiteral("JobSeal"));
        return QVariant(VbBool(sound));
    });
    Answer(SealbookAutoValue112,
           [this](InvokeKind, QVariantList&) { return QVariant(VbBool(m_jobs->last.has_value())); });
    Answer(SealbookNoteText, [this](InvokeKind, QVariantList& args) {
        m_jobs->note = Arg(args, int(args.size()) - 1, ValueKind::String).toString();
        return QVariant();
    });

    Answer(SetDataPatternLinked, [this](InvokeKind, QVariantList& args) {
        m_jobs->linked = IsVbTrue(Arg(args, 0, ValueKind::Bool));
        return QVariant();
    });
    Answer(ThreadCommObject, [this](InvokeKind, QVariantList&) { return QVariant(VbBool(m_jobs->linked)); });
    Answer(JobValue1004, [this](InvokeKind, QVariantList&) {
        QVariantList none;
        return QVariant(VbBool(Linkable(Invoke(DataFileTypeCode, InvokeKind::PropertyGet, none).toInt())));
    });

    // The station's Sealbook settings.
    Answer(HasSealbookPassword, [](InvokeKind, QVariantList&) {
        return QVariant(VbBool(SealbookSettings::Load(EngineIni()).HasPassword()));
    });
    Answer(CheckSealbookPassword, [](InvokeKind, QVariantList& args) {
        const QString password = args.isEmpty() ? QString() : args.at(0).toString();
        return QVariant(VbBool(SealbookSettings::Load(EngineIni()).PasswordMatches(password)));
    });
    Answer(ChangeSealbookPassword, [this](InvokeKind, QVariantList& args) {
        const QString oldPassword = Arg(args, 0, ValueKind::String).toString();
        const QString newPassword = Arg(args, 1, ValueKind::String).toString();
        SealbookSettings settings = SealbookSettings::Load(EngineIni());
        if (newPassword.size() > SealbookSettings::kMaxPasswordLength)
            return QVariant(VbBool(false));
        if (settings.HasPassword() && !settings.PasswordMatches(oldPassword))
            return QVariant(VbBool(false));
        settings.SetPassword(newPassword);
        settings.Save(EngineIni());
        return QVariant(VbBool(true));
    });
    Answer(SealbookConfigure210, [this](InvokeKind, QVariantList& args) {
        SealbookSettings settings = SealbookSettings::Load(EngineIni());
        settings.startInOperatorMode = IsVbTrue(Arg(args, 0, ValueKind::Bool));
        settings.markInputEnabled = IsVbTrue(Arg(args, 2, ValueKind::Bool));
        // The text sets the password only when there is one to set.
        const QString password = Arg(args, 1, ValueKind::String).toString();
        if (!password.isEmpty() && password.size() <= SealbookSettings::kMaxPasswordLength)
            settings.SetPassword(password);
        settings.Save(EngineIni());
        return QVariant();
    });
    Answer(SealbookSetting211, [](InvokeKind, QVariantList&) {
        return QVariant(VbBool(SealbookSettings::Load(EngineIni()).startInOperatorMode));
    });
    Answer(SealbookSetting310, [](InvokeKind, QVariantList&) {
        return QVariant(VbBool(SealbookSettings::Load(EngineIni()).markInputEnabled));
    });
    Answer(SealbookSetting81, [](InvokeKind kind, QVariantList& args) {
        SealbookSettings settings = SealbookSettings::Load(EngineIni());
        if (kind != InvokeKind::PropertyPut)
            return QVariant(VbBool(settings.verifyChecksum));
        settings.verifyChecksum = IsVbTrue(args.value(int(args.size()) - 1));
        settings.Save(EngineIni());
        return QVariant();
    });
}

qint32 QXPgmrStandIn::refuseJob(const QString& file, const QString& reason)
{
    QVariantList log{QStringLiteral("The job %1 was not loaded: %2.").arg(file, reason)};
    Raise(QStringLiteral("LogMessage"), log);
    RaiseEvent.JobLoadFailed(false);
    return kJobRefused;
}

std::unique_ptr<QXPgmrStandIn::JobUndo> QXPgmrStandIn::keepJobUndo()
{
    auto undo = std::make_unique<JobUndo>();
    undo->device = m_device ? m_device->Name() : QString();
    undo->stored = StoredValues();
    undo->loadFileVariant = m_loadFileVariant;
    const DataBuffer& buffer = DataBuffer::Instance();
    undo->bufferSize = buffer.Size();
    undo->fill = buffer.FillByte();
    // A buffer of fill bytes only is made again, not copied: a large device's
    // empty buffer costs nothing to keep.
    undo->bufferHeldData = bufferHoldsData();
    if (undo->bufferHeldData)
        undo->bufferBytes = buffer.Bytes(0, buffer.Size());
    undo->lastLoad = m_lastLoad;
    undo->lastLoadCurrent = m_lastLoad && m_lastLoadRevision == buffer.Revision();
    undo->lastLoadStamp = m_lastLoadStamp;
    undo->serialization = m_serialization;
    undo->settings = SealbookSettings::Load(EngineIni());
    undo->last = m_jobs->last;
    undo->lastSeal = m_jobs->lastSeal;
    undo->lastPath = m_jobs->lastPath;
    undo->lastStamp = m_jobs->lastStamp;
    undo->linked = m_jobs->linked;
    undo->activeTabParameter = m_activeTabParameter;
    // The host's tab settings, written as a save would write them.
    if (m_device) {
        m_jobs->saving = &undo->tabs;
        try {
            RaiseEvent.SealbookExport();
            undo->tabsKept = true;
        } catch (...) {
            undo->tabsKept = false;
        }
        m_jobs->saving = nullptr;
    }
    return undo;
}

bool QXPgmrStandIn::putJobBack(JobUndo& undo)
{
    undo.settings.Save(EngineIni());
    m_serialization = undo.serialization;
    m_jobs->last = std::move(undo.last);
    m_jobs->lastSeal = undo.lastSeal;
    m_jobs->lastPath = undo.lastPath;
    m_jobs->lastStamp = undo.lastStamp;
    m_jobs->linked = undo.linked;
    m_activeTabParameter = undo.activeTabParameter;
    if (undo.device.isEmpty() || !selectDevice(undo.device))
        return false;
    m_loadFileVariant = undo.loadFileVariant;
    PutStoredValues(std::move(undo.stored));

    DataBuffer& buffer = DataBuffer::Instance();
    buffer.SetFillByte(undo.fill);
    buffer.Clear();
    buffer.Resize(undo.bufferSize);
    if (undo.bufferHeldData)
        buffer.Write(0, reinterpret_cast<const quint8*>(undo.bufferBytes.constData()), undo.bufferBytes.size());
    else
        m_emptyRevision = buffer.Revision();
    m_lastLoad = std::move(undo.lastLoad);
    m_lastLoadRevision = undo.lastLoadCurrent ? buffer.Revision() : ~quint64(0);
    m_lastLoadStamp = undo.lastLoadStamp;
    saveStation();

    // The host rebuilds its window for the device and takes its own tab
    // settings back.
    RaiseEvent.DeviceSelected();
    if (undo.tabsKept) {
        m_jobs->loading = &undo.tabs;
        try {
            RaiseEvent.SealbookImport();
        } catch (...) {
            // The host keeps what it could take; the engine's side is back.
        }
        m_jobs->loading = nullptr;
    }
    return true;
}

qint32 QXPgmrStandIn::failJobPartWay(const QString& file, const QString& reason, qint32 code, JobUndo& undo)
{
    QVariantList log{QStringLiteral("The job %1 was not loaded: %2.").arg(file, reason)};
    Raise(QStringLiteral("LogMessage"), log);
    if (putJobBack(undo)) {
        RaiseEvent.JobLoadFailed(false);
        return code;
    }
    m_jobs->last.reset();
    m_jobs->lastSeal = 0;
    m_jobs->lastStamp.reset();
    RaiseEvent.JobLoadFailed(true);
    return code;
}

qint32 QXPgmrStandIn::loadJob(const QString& path)
{
    if (const qint32 fault = FaultPlan::Read(EngineFolder()).Code(QStringLiteral("jobload"))) {
        refuseJob(path, QStringLiteral("the engine failed (fault plan)"));
        return fault;
    }

    // Everything is checked before the station changes.
    QString reason;
    // Stamped before the read: a file changed while it is read does not
    // pass for the one read. A file the host has just opened and closed is
    // not read again while its stamp shows it untouched (and was taken late
    // enough to tell).
    FileStamp stamp = FileStamp::Now(path);
    std::optional<JobFile> job;
    qint32 seal = 0;
    std::optional<JobState::Peeked> peeked = std::move(m_jobs->peeked);
    m_jobs->peeked.reset();
    if (peeked && peeked->path == path && peeked->stamp.trusted() && peeked->stamp.sameFile(stamp)) {
        job = std::move(peeked->job);
        seal = peeked->seal;
        stamp = peeked->stamp;
    } else {
        QByteArray bytes;
        job = JobFile::Read(path, reason, &bytes);
        seal = JobFile::SealValue(bytes);
    }
    peeked.reset();
    if (!job)
        return refuseJob(path, reason);
    if (job->ValueOr(kJobInfo, QStringLiteral("QXType")) != QLatin1String("SK"))
        return refuseJob(path, QStringLiteral("it is not a job file"));
    const QString deviceName = job->ValueOr(kDevice, QStringLiteral("Name"));
    if (!m_database.FindDevice(deviceName))
        return refuseJob(path, QStringLiteral("the device \"%1\" is not known").arg(deviceName));

    QList<QPair<int, qint32>> options;
    for (const JobOption& option : kJobOptions) {
        const std::optional<QString> text = job->Value(kOptions, QString::fromLatin1(option.name));
        if (!text)
            continue;
        bool ok = false;
        const qint32 value = text->toInt(&ok);
        if (!ok)
            return refuseJob(path, QStringLiteral("the option %1 is damaged").arg(QString::fromLatin1(option.name)));
        options.append({option.dispid, value});
    }

    const bool linked = job->ValueOr(kData, QStringLiteral("Linked")) == QLatin1String("1");
    QByteArray data;
    std::optional<LinkedLoad> linkedLoad;
    FileStamp linkedStamp;
    if (linked) {
        const QString linkedPath = job->ValueOr(kData, QStringLiteral("LinkedPath"));
        linkedStamp = FileStamp::Now(linkedPath);
        QFile file(linkedPath);
        if (!file.open(QIODevice::ReadOnly))
            return refuseJob(path, QStringLiteral("its data pattern %1 cannot be read").arg(linkedPath));
        const QByteArray fileBytes = file.readAll();
        if (QString::number(fileBytes.size()) != job->ValueOr(kData, QStringLiteral("LinkedSize"))
            || Sha256Hex(fileBytes) != job->ValueOr(kData, QStringLiteral("LinkedSha256")))
            return refuseJob(path,
                             QStringLiteral("its data pattern %1 has changed since the job was saved").arg(linkedPath));
        // The buffer is rebuilt as it was made when the job was saved, with
        // that buffer's fill byte, not this station's.
        std::optional<LinkedLoad> load = LinkedLoad::Read(*job, kData, linkedPath);
        if (!load) {
            // A job saved before it kept its load: the whole file into a
            // buffer of the job's fill byte.
            load.emplace();
            load->path = linkedPath;
            load->type = job->ValueOr(kOptions, QStringLiteral("DataFileTypeCode")).toInt();
            load->options.wordAddressing = job->ValueOr(kOptions, QStringLiteral("WordAddressing")).toInt() != 0;
            load->fill =
                quint8(job->ValueOr(kOptions, QStringLiteral("DefaultBufferByte"), QStringLiteral("255")).toInt());
            load->size = job->ValueOr(kData, QStringLiteral("Size")).toLongLong();
        }
        DataBuffer staged;
        QString error;
        if (load->Rebuild(staged, error) != 0)
            return refuseJob(path, error);
        data = staged.Bytes(0, staged.Size());
        linkedLoad = std::move(load);
    } else if (job->hasData) {
        data = job->data;
    }

    // From here the station takes the job; what it changes is kept first.
    std::unique_ptr<JobUndo> undo = keepJobUndo();
    selectDevice(deviceName);
    saveStation();
    RaiseEvent.DeviceSelected();
    for (const auto& [dispid, value] : options) {
        QVariantList put{value};
        Invoke(dispid, InvokeKind::PropertyPut, put);
    }
    {
        QVariantList size{qint32(data.size())};
        Invoke(QXPgmrId::BufferSize, InvokeKind::PropertyPut, size);
        DataBuffer& buffer = DataBuffer::Instance();
        buffer.Resize(data.size());
        buffer.Write(0, reinterpret_cast<const quint8*>(data.constData()), data.size());
        // Saved again, the job keeps the load that rebuilt its buffer.
        m_lastLoad = std::move(linkedLoad);
        m_lastLoadRevision = buffer.Revision();
        m_lastLoadStamp = linkedStamp;
    }
    m_serialization.on = job->ValueOr(kSerial, QStringLiteral("On")) == QLatin1String("1");
    m_serialization.mode = job->ValueOr(kSerial, QStringLiteral("Mode")).toInt();
    m_serialization.size = job->ValueOr(kSerial, QStringLiteral("Size"), QStringLiteral("1")).toInt();
    m_serialization.skip = job->ValueOr(kSerial, QStringLiteral("Skip")).toInt();
    m_serialization.order = job->ValueOr(kSerial, QStringLiteral("Order")).toInt();
    m_serialization.verify = job->ValueOr(kSerial, QStringLiteral("Verify")).toInt();
    m_serialization.retry = job->ValueOr(kSerial, QStringLiteral("Retry")).toInt();
    m_serialization.hex = job->ValueOr(kSerial, QStringLiteral("Hex")).toInt();
    m_serialization.resume = job->ValueOr(kSerial, QStringLiteral("Resume")).toInt();
    m_serialization.dataFile = job->ValueOr(kSerial, QStringLiteral("DataFile"));
    m_serialization.bufferAddress = job->ValueOr(kSerial, QStringLiteral("BufferAddress"));
    m_serialization.logFile = job->ValueOr(kSerial, QStringLiteral("LogFile"));
    m_serialization.first = job->ValueOr(kSerial, QStringLiteral("First"));
    m_serialization.last = job->ValueOr(kSerial, QStringLiteral("Last"));
    m_serialization.program = job->ValueOr(kSerial, QStringLiteral("Program"));

    SealbookSettings settings;
    settings.startInOperatorMode = job->ValueOr(kSealbook, QStringLiteral("StartInOperatorMode")) == QLatin1String("1");
    settings.markInputEnabled = job->ValueOr(kSealbook, QStringLiteral("MarkInputEnabled")) == QLatin1String("1");
    settings.verifyChecksum = job->ValueOr(kSealbook, QStringLiteral("VerifyChecksum")) == QLatin1String("1");
    settings.passwordSalt = job->ValueOr(kSealbook, QStringLiteral("PasswordSalt")).toLatin1();
    settings.passwordKey = job->ValueOr(kSealbook, QStringLiteral("PasswordKey")).toLatin1();
    settings.Save(EngineIni());
    m_jobs->linked = linked;

    RaiseEvent.UpdateJobSetting14(job->ValueOr(kData, QStringLiteral("FilePath")));
    RaiseEvent.UpdateJobSetting15(job->ValueOr(kData, QStringLiteral("FileName")));
    RaiseEvent.UpdateJobSetting17(job->ValueOr(kData, QStringLiteral("BufferAddress")).toInt());
    RaiseEvent.UpdateJobSetting18(job->ValueOr(kData, QStringLiteral("LowAddress")).toInt());
    RaiseEvent.UpdateJobSetting19(job->ValueOr(kData, QStringLiteral("HighAddress")).toInt());
    // The job's bank and data position for a device run in single mode.
    RaiseEvent.UpdateJobSetting55(Stored(QXPgmrId::CurrentBank).toInt());
    RaiseEvent.UpdateJobSetting56(Stored(QXPgmrId::CurrentDataPosition).toInt());
    // A job that brings its data loaded the buffer from its data file, as a
    // load of that file would have.
    if (!data.isEmpty())
        RaiseEvent.DataFileLoaded();
    RaiseEvent.JobSetting46(job->ValueOr(kJobInfo, QStringLiteral("Note")), 1);

    m_jobs->readStepFailed = false;
    m_jobs->loading = &*job;
    try {
        RaiseEvent.SealbookImport();
    } catch (...) {
        // A host that could not take the settings has not taken the job.
        m_jobs->readStepFailed = true;
    }
    m_jobs->loading = nullptr;
    if (m_jobs->readStepFailed)
        return failJobPartWay(path, QStringLiteral("the operation settings in it do not fit this station"), kJobPartWay,
                              *undo);

    m_jobs->last = job;
    m_jobs->lastSeal = seal;
    m_jobs->lastPath = path;
    m_jobs->lastStamp = stamp;
    m_activeTabParameter.clear();
    qint32 rejected = 0;
    RaiseEvent.SealbookLoadingError(rejected, 1);
    if (rejected == 1)
        return failJobPartWay(path, QStringLiteral("its setup was rejected"), kJobRejected, *undo);

    if (settings.startInOperatorMode) {
        bool refused = false;
        RaiseEvent.SealbookModeChanged(false, refused);
    }
    return job->version == JobFile::kOldVersion ? kJobOldVersion : kJobOk;
}

std::optional<LinkedLoad> QXPgmrStandIn::loadOfBuffer(const QString& dataFile)
{
    const DataBuffer& buffer = DataBuffer::Instance();
    const QString canonical = QFileInfo(dataFile).canonicalFilePath();
    const FileStamp stamp = FileStamp::Now(dataFile);
    QList<LinkedLoad> candidates;
    if (m_lastLoad && m_lastLoadRevision == buffer.Revision() && m_lastLoad->size == buffer.Size()
        && !canonical.isEmpty() && QFileInfo(m_lastLoad->path).canonicalFilePath() == canonical) {
        // The buffer is what that load made; the file is still the one it
        // read when its stamp says so.
        if (m_lastLoadStamp.trusted() && m_lastLoadStamp.sameFile(stamp))
            return m_lastLoad;
        candidates << *m_lastLoad;
    }
    // Otherwise the buffer counts only when a load of the file, replayed
    // now, gives it byte for byte: the last load, or the whole file into a
    // buffer of today's fill byte.
    LinkedLoad whole;
    whole.path = QFileInfo(dataFile).absoluteFilePath();
    whole.type = Stored(QXPgmrId::DataFileTypeCode).toInt();
    whole.options.wordAddressing = IsVbTrue(Stored(QXPgmrId::WordAddressing));
    whole.fill = buffer.FillByte();
    whole.size = buffer.Size();
    candidates << whole;
    const QByteArray bytes = buffer.Bytes(0, buffer.Size());
    for (const LinkedLoad& load : candidates) {
        DataBuffer staged;
        QString error;
        if (load.Rebuild(staged, error) != 0 || staged.Bytes(0, staged.Size()) != bytes)
            continue;
        // Found once, it holds until the buffer or the file changes.
        m_lastLoad = load;
        m_lastLoadRevision = buffer.Revision();
        m_lastLoadStamp = stamp;
        return load;
    }
    return std::nullopt;
}

qint32 QXPgmrStandIn::saveJob(const QString& path)
{
    auto fail = [this](qint32 code, const QString& reason) {
        RaiseEvent.JobSavingError(reason);
        return code;
    };
    const FaultPlan plan = FaultPlan::Read(EngineFolder());
    if (const qint32 fault = plan.Code(QStringLiteral("jobsave")))
        return fail(fault, QStringLiteral("The job was not saved: the engine failed."));
    if (!m_device)
        return fail(kJobRefused, QStringLiteral("The job was not saved: no device is selected."));
    if (path.isEmpty())
        return fail(kCannotWrite, QStringLiteral("The job was not saved: it has no file name."));

    JobFile job;
    job.Set(kJobInfo, QStringLiteral("QXType"), QStringLiteral("SK"));

    QString fileName, filePath, jobName;
    qint32 low = 0, high = 0, bufferAddress = 0;
    RaiseEvent.RequestJobSettingText24(fileName);
    RaiseEvent.JobSetting25(filePath);
    RaiseEvent.RequestJobSetting26(low);
    RaiseEvent.RequestJobSetting27(high);
    RaiseEvent.RequestJobSetting28(bufferAddress);
    RaiseEvent.JobSettingText60(jobName);
    m_jobs->note.clear();
    RaiseEvent.RequestSealbookNote();
    job.Set(kJobInfo, QStringLiteral("Note"), m_jobs->note);

    // A host whose export failed has not written all of its settings: the
    // file would be refused on load, so it is not written.
    m_jobs->saving = &job;
    QString exportError;
    try {
        RaiseEvent.SealbookExport();
    } catch (const std::exception& error) {
        exportError = QString::fromStdString(error.what());
    } catch (...) {
        exportError = QStringLiteral("unknown error");
    }
    m_jobs->saving = nullptr;
    if (!exportError.isNull())
        return fail(
            kCannotWrite,
            QStringLiteral("The job was not saved: the operation settings were not written: %1.").arg(exportError));

    job.Set(kDevice, QStringLiteral("Name"), m_device->Name());
    for (const JobOption& option : kJobOptions) {
        QVariantList none;
        job.Set(kOptions, QString::fromLatin1(option.name),
                QString::number(Invoke(option.dispid, InvokeKind::PropertyGet, none).toInt()));
    }

    const Serialization& s = m_serialization;
    const QList<QPair<const char*, QString>> serial = {
        {"On", Flag(s.on)},
        {"Mode", QString::number(s.mode)},
        {"Size", QString::number(s.size)},
        {"Skip", QString::number(s.skip)},
        {"Order", QString::number(s.order)},
        {"Verify", QString::number(s.verify)},
        {"Retry", QString::number(s.retry)},
        {"Hex", QString::number(s.hex)},
        {"Resume", QString::number(s.resume)},
        {"DataFile", s.dataFile},
        {"BufferAddress", s.bufferAddress},
        {"LogFile", s.logFile},
        {"First", s.first},
        {"Last", s.last},
        {"Program", s.program},
    };
    for (const auto& [key, value] : serial)
        job.Set(kSerial, QString::fromLatin1(key), value);

    const SealbookSettings settings = SealbookSettings::Load(EngineIni());
    job.Set(kSealbook, QStringLiteral("StartInOperatorMode"), Flag(settings.startInOperatorMode));
    job.Set(kSealbook, QStringLiteral("MarkInputEnabled"), Flag(settings.markInputEnabled));
    job.Set(kSealbook, QStringLiteral("VerifyChecksum"), Flag(settings.verifyChecksum));
    job.Set(kSealbook, QStringLiteral("PasswordSalt"), QString::fromLatin1(settings.passwordSalt));
    job.Set(kSealbook, QStringLiteral("PasswordKey"), QString::fromLatin1(settings.passwordKey));

    job.Set(kData, QStringLiteral("FileName"), fileName);
    job.Set(kData, QStringLiteral("FilePath"), filePath);
    job.Set(kData, QStringLiteral("LowAddress"), QString::number(low));
    job.Set(kData, QStringLiteral("HighAddress"), QString::number(high));
    job.Set(kData, QStringLiteral("BufferAddress"), QString::number(bufferAddress));
    const DataBuffer& buffer = DataBuffer::Instance();
    job.Set(kData, QStringLiteral("Size"), QString::number(buffer.Size()));
    QVariantList none;
    const bool linkable = Linkable(Invoke(QXPgmrId::DataFileTypeCode, InvokeKind::PropertyGet, none).toInt());
    if (m_jobs->linked && linkable) {
        const QString linkedPath = JoinDataPath(filePath, fileName);
        QFile file(linkedPath);
        if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
            return fail(kJobRefused,
                        QStringLiteral("The job was not saved: its data pattern %1 cannot be read.").arg(linkedPath));
        const QByteArray fileBytes = file.readAll();
        const std::optional<LinkedLoad> load = loadOfBuffer(linkedPath);
        if (!load)
            return fail(kJobRefused,
                        QStringLiteral("The job was not saved: the data buffer is not what its data pattern %1 "
                                       "loads (it was changed, or loaded over other data, since). Save the buffer to "
                                       "the file, or store the data pattern in the job.")
                            .arg(linkedPath));
        job.Set(kData, QStringLiteral("Linked"), QStringLiteral("1"));
        job.Set(kData, QStringLiteral("LinkedPath"), QFileInfo(linkedPath).absoluteFilePath());
        job.Set(kData, QStringLiteral("LinkedSize"), QString::number(fileBytes.size()));
        job.Set(kData, QStringLiteral("LinkedSha256"), Sha256Hex(fileBytes));
        load->Write(job, kData);
    } else {
        job.Set(kData, QStringLiteral("Linked"), QStringLiteral("0"));
        job.hasData = true;
        job.data = buffer.Bytes(0, buffer.Size());
    }

    JobFile::WriteFaults faults;
    faults.failPartWay = plan.Code(QStringLiteral("jobwrite")) != 0;
    faults.slowMs = plan.Code(QStringLiteral("jobslow"));
    // A job whose content did not change is left as it is, salt and seal
    // included, so that the auto files naming it still fit it. The seal
    // stays as strong: a changed job is written, salted and sealed anew.
    // The job last read from or written to this very file is compared in
    // memory when the file's stamp shows it untouched since (and was taken
    // late enough to tell); any other file is compared with its bytes.
    const FileStamp stamp = FileStamp::Now(path);
    const std::optional<FileStamp>& known = m_jobs->lastStamp;
    if (m_jobs->last && m_jobs->lastPath == path && known && known->trusted() && known->sameFile(stamp)
        && job.SameContent(*m_jobs->last)) {
        m_jobs->last = std::move(job);
        return kJobOk;
    }
    QByteArray oldBytes;
    if (QFile old(path); stamp.exists && old.open(QIODevice::ReadOnly))
        oldBytes = old.readAll();
    if (!oldBytes.isEmpty() && job.SerializeLike(oldBytes) == oldBytes) {
        m_jobs->last = std::move(job);
        m_jobs->lastSeal = JobFile::SealValue(oldBytes);
        m_jobs->lastPath = path;
        m_jobs->lastStamp = stamp;
        return kJobOk;
    }
    oldBytes.clear();
    const QByteArray bytes = job.Serialize();
    QString reason;
    if (!JobFile::Write(path, bytes, reason, faults))
        return fail(kCannotWrite, QStringLiteral("The job %1 was not saved: %2.").arg(path, reason));

    m_jobs->last = std::move(job);
    m_jobs->lastSeal = JobFile::SealValue(bytes);
    m_jobs->lastPath = path;
    m_jobs->lastStamp = FileStamp::Now(path);
    m_activeTabParameter.clear();
    return kJobOk;
}
