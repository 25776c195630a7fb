#include "BlackBoxLog.h"

#include "VersionStrings.h"
#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/Registry.h"
#include "platform/UiService.h"
#include "settings/cRegistry.h"
#include "shell/ShellUtilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringMatcher>
#include <bitset>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

const QString kLogFileName = QStringLiteral("BlackBox.log");
const QString kFallbackFileName = QStringLiteral("qx.dat");
const QString kDirectoryPathsKey = QStringLiteral("Software\\Corvane\\Tarvo\\Directory Paths");
constexpr qint64 kRotateAbove = 1048576;
constexpr int kArchiveCount = 160;

// The next line moves the log to an archive first.
bool g_rotationPending = true;
blackbox::JobHeaderSource g_jobHeader;
// The job header's own lines never start another header (a device or file
// name may contain the words), and a line that fails while the failure box is
// up (a silent engine turns the box into a status line that may come back
// here) does not open a second box.
bool g_inJobHeader = false;
bool g_inFailureBox = false;

void ToStderr(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void WriteJobHeader()
{
    static QXPgmrControl noEngine; // a detached control: every read fails and counts as 0
    QXPgmrControl* engine = HostEngine();
    const blackbox::JobHeaderSource& job = g_jobHeader;
    g_inJobHeader = true;
    WriteLogInfo(LogVersionLine(engine ? *engine : noEngine, false), false);
    WriteLogInfo(job.operatorMode && job.operatorMode() ? QStringLiteral("Operator Mode")
                                                        : QStringLiteral("Supervisor Mode"),
                 false);
    WriteLogInfo(QStringLiteral("Device: ") + (job.deviceInfo ? job.deviceInfo() : QString()), true);
    WriteLogInfo(QStringLiteral("Buffer: ") + (job.bufferInfo ? job.bufferInfo() : QString()), true);
    g_inJobHeader = false;
}

// The file of archive number n in the log folder.
QString ArchivePath(const QDir& folder, int n)
{
    return folder.filePath(QStringLiteral("qx%1.log").arg(n));
}

// The archive number a file name stands for ("qx<n>.log", n written
// without leading zeros), or -1.
int ArchiveNumber(const char* name)
{
    if (name[0] != 'q' || name[1] != 'x' || name[2] < '0' || name[2] > '9' || (name[2] == '0' && name[3] != '.'))
        return -1;
    int n = 0;
    const char* p = name + 2;
    for (; *p >= '0' && *p <= '9' && n < kArchiveCount; ++p)
        n = n * 10 + (*p - '0');
    return n < kArchiveCount && std::strcmp(p, ".log") == 0 ? n : -1;
}

// The archive the log moves to: the first free number, else the one with the
// oldest date (the lower number on equal dates, number 0 when none is older
// than now).
int ChooseArchive(const QDir& folder)
{
    // One read of the folder tells which numbers are taken (by a file or
    // anything else of that name); the dates are looked at only when every
    // number is. Without the list, each name is looked for.
    std::bitset<kArchiveCount> taken;
    DIR* dir = ::opendir(QFile::encodeName(folder.path()).constData());
    const bool listed = dir != nullptr;
    if (listed) {
        while (const dirent* entry = ::readdir(dir)) {
            if (const int n = ArchiveNumber(entry->d_name); n >= 0)
                taken.set(size_t(n));
        }
        ::closedir(dir);
    }
    for (int n = 0; n < kArchiveCount; ++n) {
        if (taken.test(size_t(n)))
            continue;
        if (listed || !QFileInfo::exists(ArchivePath(folder, n)))
            return n;
    }
    // Dates to the millisecond, read straight from the file system (a local
    // date would look up the time zone for every archive); an archive that
    // cannot be read counts as dated at the epoch.
    const auto msecs = [](const timespec& t) { return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000; };
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    int chosen = 0;
    qint64 oldest = msecs(now);
    for (int n = 0; n < kArchiveCount; ++n) {
        struct stat st {};
        const QByteArray path = QFile::encodeName(ArchivePath(folder, n));
        const qint64 date = ::stat(path.constData(), &st) == 0 ? msecs(st.st_mtim) : 0;
        if (date < oldest) {
            chosen = n;
            oldest = date;
        }
    }
    return chosen;
}

void Rotate(const QDir& folder)
{
    const QString log = folder.filePath(kLogFileName);
    if (!QFileInfo::exists(log))
        return;
    const QByteArray archive = QFile::encodeName(ArchivePath(folder, ChooseArchive(folder)));
    // rename(2) replaces the old archive in the same step. When the move
    // fails, the log stays where it is with every line it holds, and the
    // lines go on being appended to it.
    // Freeing the replaced archive's blocks can take milliseconds (a file
    // system that discards freed blocks waits for the disk): the old archive
    // is held open across the rename and let go on a helper thread, so that
    // the freeing happens there and not in the line being logged.
    const int replaced = ::open(archive.constData(), O_RDONLY | O_CLOEXEC);
    std::rename(QFile::encodeName(log).constData(), archive.constData());
    if (replaced < 0)
        return;
    try {
        std::thread([replaced] { ::close(replaced); }).detach();
    } catch (const std::system_error&) {
        ::close(replaced);
    }
}

enum class AppendResult { Written, NotOpened, WriteFailed };

blackbox::WriteFunction g_write = nullptr;

// The size of "BlackBox.log", kept from line to line so that the rotation
// test costs no look at the file; learnt again from the file whenever the
// log's path changes or the log was rotated.
struct KnownSize
{
    QByteArray path;
    qint64 size = -1;
};
KnownSize g_logSize;

// Appends the line to one file with a single write, so that it lands whole
// or not at all: a short write (a full disk) is cut off again at the size the
// file had. *size is the file's size before the line when known (else -1,
// and it is read from the file) and after the line when written.
AppendResult AppendTo(const QByteArray& path, const QByteArray& bytes, qint64* size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return AppendResult::NotOpened;
    struct stat st {};
    if (*size < 0)
        *size = ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
    ssize_t written;
    do {
        written = (g_write ? g_write : ::write)(fd, bytes.constData(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    const bool whole = written == bytes.size();
    if (whole) {
        if (*size >= 0)
            *size += written;
        // The count says the file is due for rotation: the file itself has
        // the last word (it may have been emptied or removed meanwhile).
        if (*size > kRotateAbove)
            *size = ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
    } else {
        // Appended at the end: the part written is the file's last bytes.
        if (written > 0 && ::fstat(fd, &st) == 0)
            (void)::ftruncate(fd, st.st_size - written);
        *size = -1;
    }
    ::close(fd);
    return whole ? AppendResult::Written : AppendResult::WriteFailed;
}

// The two files of a log folder, as the file system names them.
struct LogPaths
{
    QString folder;
    QByteArray log;
    QByteArray fallback;
};

const LogPaths& PathsIn(const QString& folder)
{
    static LogPaths paths;
    if (paths.log.isEmpty() || paths.folder != folder) {
        const QDir dir(folder);
        paths = {folder, QFile::encodeName(dir.filePath(kLogFileName)), QFile::encodeName(dir.filePath(kFallbackFileName))};
    }
    return paths;
}

// Appends to "BlackBox.log", or to "qx.dat" when the log does not open.
AppendResult Append(const QString& folder, const QByteArray& bytes)
{
    const LogPaths& paths = PathsIn(folder);
    if (g_logSize.path != paths.log)
        g_logSize = {paths.log, -1};
    const AppendResult result = AppendTo(paths.log, bytes, &g_logSize.size);
    if (result != AppendResult::NotOpened)
        return result;
    qint64 unknown = -1;
    return AppendTo(paths.fallback, bytes, &unknown);
}

// Creates the engine's folder and the default log folder, but only when the
// log goes to the default folder: a folder named in the settings is never
// created by the program.
void EnsureLogFolder(const QString& folder, const QString& defaultFolder)
{
    if (folder != defaultFolder)
        return;
    QDir().mkpath(QFileInfo(defaultFolder).path());
    QDir().mkpath(defaultFolder);
}

struct LogFolders
{
    QString folder;
    QString defaultFolder;
};

LogFolders ReadLogFoldersFromSettings(const QString& defaultFolder)
{
    LogFolders folders;
    folders.defaultFolder = defaultFolder;
    cRegistry reg;
    folders.folder = reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, kDirectoryPathsKey, QStringLiteral("Log"),
                                 cRegistry::REG_SZ, folders.defaultFolder)
                         .toString();
    return folders;
}

// What the machine-wide settings file looks like on disk. Every change of
// the settings replaces the file, so an unchanged stamp means an unchanged
// log folder.
struct FileStamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modified = 0;
    qint64 changed = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QByteArray& path)
{
    struct stat st {};
    FileStamp stamp;
    if (::stat(path.constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

// The log folder read from the settings, kept until the settings file or
// the engine's folder changes: reading the settings for every line would
// cost more than writing the line.
struct FolderCache
{
    bool valid = false;
    QString settingsFile;
    QByteArray settingsPath; // settingsFile as the file system names it
    FileStamp stamp;
    LogFolders folders;
};
FolderCache g_folderCache;

LogFolders ReadLogFolders()
{
    const QString defaultFolder = blackbox::GetDefaultLogFolder();
    const QString settingsFile = reg::HiveFilePath(reg::HKEY_LOCAL_MACHINE);
    FolderCache& cache = g_folderCache;
    if (cache.settingsFile != settingsFile || cache.settingsPath.isEmpty()) {
        cache.valid = false;
        cache.settingsFile = settingsFile;
        cache.settingsPath = QFile::encodeName(settingsFile);
    }
    const FileStamp stamp = StampOf(cache.settingsPath);
    if (!cache.valid || !(cache.stamp == stamp) || cache.folders.defaultFolder != defaultFolder) {
        cache.folders = ReadLogFoldersFromSettings(defaultFolder);
        // Stamped after the read: a change made during it is seen next time.
        cache.stamp = stamp;
        cache.valid = true;
    }
    return cache.folders;
}

} // namespace

namespace blackbox {

void SetJobHeaderSource(JobHeaderSource source) { g_jobHeader = std::move(source); }

void RequestRotation()
{
    g_rotationPending = true;
    g_folderCache.valid = false;
}

void SetWriteFunction(WriteFunction write) { g_write = write; }

QString GetDefaultLogFolder()
{
    QXPgmrControl* engine = HostEngine();
    if (!engine)
        return {};
    try {
        const QString engineFolder = engine->EngineDirectory();
        return engineFolder.isEmpty() ? QString() : QDir(engineFolder).filePath(QStringLiteral("DATALOG"));
    } catch (const AutomationError&) {
        return {};
    }
}

QString GetLogFolder() { return ReadLogFolders().folder; }

} // namespace blackbox

void WriteLogInfo(const QString& text, bool bTimeStamp)
{
    static const QStringMatcher jobStarts(QStringLiteral("Job Starts"), Qt::CaseInsensitive);
    if (!g_inJobHeader && jobStarts.indexIn(text) >= 0)
        WriteJobHeader();

    const QString stamp = bTimeStamp ? GeneralDateTextNow() + QStringLiteral("  ") : QString();
    const auto line = [&] { return stamp + text; };

    const LogFolders folders = ReadLogFolders();
    // Without a main window's engine and without a configured folder there is
    // no log folder at all: there is nothing to retry.
    if (folders.folder.isEmpty()) {
        ToStderr(line());
        return;
    }
    if (g_rotationPending) {
        g_rotationPending = false;
        Rotate(QDir(folders.folder));
        g_logSize.size = -1;
    }

    QByteArray bytes = stamp.toLatin1();
    bytes.append(text.toUtf8()).append("\r\n", 2);
    AppendResult result = Append(folders.folder, bytes);
    if (result == AppendResult::NotOpened && !QFileInfo::exists(folders.folder)) {
        EnsureLogFolder(folders.folder, folders.defaultFolder);
        result = Append(folders.folder, bytes);
    }
    while (result == AppendResult::NotOpened && !g_inFailureBox) {
        g_inFailureBox = true;
        // Cancel is the default button, so a scripted station that takes the
        // default answer is not held in a loop of retries.
        const int answer = AppMsgBox(QStringLiteral("Cannot create BlackBox log file."),
                                     vb::vbRetryCancel | vb::vbDefaultButton2,
                                     QStringLiteral("Hard Drive Access Error"));
        g_inFailureBox = false;
        if (answer != vb::vbRetry)
            break;
        result = Append(folders.folder, bytes);
    }
    if (result != AppendResult::Written)
        ToStderr(line());

    if (result == AppendResult::Written && g_logSize.size > kRotateAbove)
        g_rotationPending = true;
}

void SetHandlerStateInfo(qint32 handlerType, const QString& serialNumber, H950HdlrControl& handler)
{
    try {
        if (handlerType == 0) {
            handler.HandlerCommand1001();
        } else if (handlerType == 1 || handlerType == 2) {
            handler.SerialNumber(serialNumber);
            handler.HandlerCommand1000();
        }
    } catch (const AutomationError&) {
    }
}
