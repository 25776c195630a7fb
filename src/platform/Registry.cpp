// The registry: each hive is a text file (its form is described at the top of
// RegistryHive.cpp), read into a key tree and cached by path.
//
// Files of a hive "HKCU.reg" in its folder:
// - "HKCU.reg": the hive.
// - "HKCU.reg.lock": the cross-process lock (flock). Readers hold it shared,
//   writers exclusive. The kernel drops the lock of a process that dies, so a
//   crashed writer never leaves a stale lock behind. (QLockFile syncs its lock
//   file to disk on every lock, about 0.3 ms, which alone would cost 100 ms
//   for 300 single-value writes.)
// - "HKCU.reg.spare": where the next content is written before it takes the
//   hive's place. Swapping the two names (renameat2 RENAME_EXCHANGE) is atomic,
//   and leaves the previous content in the spare to be overwritten next time:
//   replacing the hive by a plain rename instead frees a file on every write,
//   which costs about 0.1 ms on ext4. Where the file system cannot swap names
//   the spare is renamed over the hive.
// - "HKCU.reg.corrupt-<time>": a hive file that could not be read, set aside.
//
// A write takes the exclusive lock, re-reads the hive when the file differs
// from what this process last saw, applies the change, writes the whole hive
// to the spare and swaps it in, then unlocks. So the hive file always holds
// either the old content or the new one, two processes never lose each
// other's values, and a value is in the file as soon as the call returns.
// There is no fsync per write (about 0.3 ms each here, 100 ms for 300
// values): the file survives the death of the process, not necessarily a
// power cut in the seconds after a write.
//
// Each process keeps the tree it last read or wrote, with the file's stamp
// (device, inode, size, modification and change times). A call that finds
// the file's stamp unchanged uses the tree as it is: one stat, no lock, no
// read (a start-up makes hundreds of registry calls). Otherwise a reader
// takes the shared lock (the spare it might otherwise be reading could be
// rewritten under it), reads the file and compares it with the bytes it last
// parsed: the tree is parsed again only when they differ. A file changed
// shortly before our last read is always read again (its times may not show
// a change made in the same clock tick; see FileStamp::trusted). In a batch
// (a window's load, the settings saved at close) a read, or a write that
// would change nothing, spares even the stat once the batch has found the
// file unchanged; a write that changes something always takes the lock and
// looks at the file.
//
// Handles: one table for the process, guarded by one mutex with the caches (the
// registration worker thread writes HKCR while the GUI thread reads). A handle
// names a key by its path; a handle whose key was deleted answers
// ERROR_KEY_DELETED. The predefined handles name the hive roots and need no
// opening; HKCR is HKCU\Software\Classes, created on its first write.

#include "Registry.h"
#include "FileStamp.h"
#include "RegistryHive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <QTemporaryFile>

#include <unordered_map>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace reg {

namespace {

enum class Hive { CurrentUser, LocalMachine };

struct Location
{
    QString path;
    bool writable = true;
    mode_t mode = 0600;
};

Location WorkOutHiveLocation(Hive hive)
{
    const QString dir = qEnvironmentVariable("TARVO_REGISTRY_DIR");
    const QString file = hive == Hive::CurrentUser ? QStringLiteral("HKCU.reg") : QStringLiteral("HKLM.reg");
    if (!dir.isEmpty())
        return {QDir(dir).filePath(file), true, mode_t(hive == Hive::CurrentUser ? 0600 : 0644)};
    if (hive == Hive::LocalMachine)
        return {QStringLiteral("/etc/xdg/Corvane/registry/") + file, false, 0644};
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return {config + QStringLiteral("/Corvane/registry/") + file, true, 0600};
}

// Start-up alone reads hundreds of values: the place is worked out again only
// when one of the variables it comes from has changed.
Location HiveLocation(Hive hive)
{
    struct Known
    {
        bool valid = false;
        QByteArray dir, config, home;
        Location location;
    };
    thread_local Known known[2];
    Known& k = known[hive == Hive::CurrentUser ? 0 : 1];
    // Only what the place can come from is read: a registry folder named in
    // the environment makes the others irrelevant.
    QByteArray dir = qgetenv("TARVO_REGISTRY_DIR");
    const bool fromUser = dir.isEmpty() && hive == Hive::CurrentUser;
    QByteArray config = fromUser ? qgetenv("XDG_CONFIG_HOME") : QByteArray();
    QByteArray home = fromUser ? qgetenv("HOME") : QByteArray();
    if (!k.valid || k.dir != dir || k.config != config || k.home != home)
        k = {true, std::move(dir), std::move(config), std::move(home), WorkOutHiveLocation(hive)};
    return k.location;
}

// What a handle stands for. A root (a predefined handle or a connected one)
// always exists: when its path is missing it reads as an empty key and is
// created by the first write below it.
struct KeyRef
{
    Hive hive = Hive::CurrentUser;
    QStringList path;
    bool isRoot = false;
};

timespec Now()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

struct CachedHive
{
    bool exists = false;
    QByteArray bytes; // the file as last read or written
    FileStamp stamp;  // of the file the bytes were read from
    std::unique_ptr<hive::Key> root;
    bool corrupt = false; // damaged and could not be set aside: never written
    quint64 confirmedInBatch = 0; // the batch that found the stamp unchanged
};

struct State
{
    std::mutex mutex;
    QHash<HKEY, KeyRef> handles;
    HKEY nextHandle = 0x1000;
    std::unordered_map<QString, CachedHive> hives;
    std::function<void(const QString&)> reporter;
    std::function<bool(SaveStep)> saveHook;
    QStringList pendingReports;
    QStringList heldReports; // made while no reporter was installed
    // The batch that lasts (0: none), how deep they nest, and how many there
    // have been.
    quint64 batch = 0;
    int batchDepth = 0;
    quint64 batches = 0;
};

State& S()
{
    static State state;
    return state;
}

constexpr qsizetype kMaxHeldReports = 16;

// One registry call: holds the process-wide mutex, and hands the reports of
// damaged hives out after releasing it (the reporter may use the registry).
class Session
{
public:
    Session() : m_lock(S().mutex) {}
    ~Session()
    {
        QStringList reports;
        reports.swap(S().pendingReports);
        const auto reporter = S().reporter;
        m_lock.unlock();
        for (const QString& report : reports) {
            std::fprintf(stderr, "%s\n", qPrintable(report));
            if (reporter)
                reporter(report);
        }
        if (!reporter && !reports.isEmpty()) {
            // Kept for the reporter installed later (the station's log opens
            // after the first hive was read).
            std::lock_guard<std::mutex> lock(S().mutex);
            S().heldReports += reports;
            while (S().heldReports.size() > kMaxHeldReports)
                S().heldReports.removeFirst();
        }
    }

private:
    std::unique_lock<std::mutex> m_lock;
};

bool IsPredefined(HKEY key)
{
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

long Resolve(HKEY key, KeyRef* ref)
{
    switch (key) {
    case HKEY_CLASSES_ROOT: *ref = {Hive::CurrentUser, {QStringLiteral("Software"), QStringLiteral("Classes")}, true}; return ERROR_SUCCESS;
    case HKEY_CURRENT_USER: *ref = {Hive::CurrentUser, {}, true}; return ERROR_SUCCESS;
    case HKEY_LOCAL_MACHINE: *ref = {Hive::LocalMachine, {}, true}; return ERROR_SUCCESS;
    default: break;
    }
    const auto it = S().handles.constFind(key);
    if (it == S().handles.constEnd())
        return ERROR_INVALID_HANDLE;
    *ref = *it;
    return ERROR_SUCCESS;
}

// Handles count up from kFirstHandle and stay below every predefined root:
// past the last one they start again at the first, skipping those still open.
constexpr HKEY kFirstHandle = 0x1000;

HKEY NewHandle(const KeyRef& ref)
{
    HKEY handle = S().nextHandle;
    for (;;) {
        if (handle < kFirstHandle || handle >= HKEY_CLASSES_ROOT)
            handle = kFirstHandle;
        if (!S().handles.contains(handle))
            break;
        handle += 4;
    }
    S().nextHandle = handle + 4;
    S().handles.insert(handle, ref);
    return handle;
}

QStringList SplitPath(const QString& subKey) { return subKey.split(u'\\', Qt::SkipEmptyParts); }

// --- files ---

// The lock file of a hive, held shared or exclusive until destroyed.
class HiveLock
{
public:
    enum Result { Locked, NoLockFile, TimedOut };

    ~HiveLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // drops the lock
    }

    Result acquire(const QString& hivePath, bool exclusive)
    {
        const QByteArray path = QFile::encodeName(hivePath + QStringLiteral(".lock"));
        if (m_fd < 0) {
            m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (m_fd < 0 && exclusive && errno == ENOENT) {
                QDir().mkpath(QFileInfo(hivePath).path());
                m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            }
            if (m_fd < 0 && !exclusive)
                m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (m_fd < 0) {
                m_error = errno;
                return NoLockFile;
            }
        }
        // Writes hold the lock for well under a millisecond; wait in short
        // steps, but give up on a holder that hangs.
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(10);
        auto pause = microseconds(50);
        while (::flock(m_fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                m_error = errno;
                return NoLockFile;
            }
            if (steady_clock::now() > deadline)
                return TimedOut;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, microseconds(1000));
        }
        return Locked;
    }

    bool held() const { return m_fd >= 0; }
    // Why there is no lock (an errno value).
    int error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadFile(const QString& path, QByteArray* bytes, FileStamp* stamp = nullptr)
{
    bytes->clear();
    const timespec readAt = Now();
    if (stamp)
        *stamp = FileStamp::Missing();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    // Under the lock the file does not change: reading its size's worth is
    // reading all of it (one more read would only find the end).
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (stamp)
        *stamp = ok ? FileStamp::Of(st, readAt) : FileStamp();
    const qsizetype expected = ok ? qsizetype(st.st_size) : 0;
    bytes->resize(expected);
    qsizetype total = 0;
    while (ok) {
        if (total == bytes->size()) {
            if (total == expected && total > 0)
                break;
            bytes->resize(bytes->size() * 2 + 4096);
        }
        const ssize_t n = ::read(fd, bytes->data() + total, size_t(bytes->size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        total += n;
    }
    ::close(fd);
    bytes->resize(total);
    return ok ? ReadResult::Read : ReadResult::Failed;
}

bool WriteAll(int fd, const char* data, qsizetype size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

bool SaveStepPassed(SaveStep step)
{
    return !S().saveHook || S().saveHook(step);
}

// Writes the spare and swaps it in for the hive (see the top of this file).
bool SaveHive(const Location& location, const QByteArray& bytes)
{
    const QByteArray hivePath = QFile::encodeName(location.path);
    const QByteArray sparePath = hivePath + ".spare";
    const int fd = ::open(sparePath.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, location.mode);
    if (fd < 0)
        return false;
    const qsizetype half = bytes.size() / 2;
    bool ok = WriteAll(fd, bytes.constData(), half, 0) && SaveStepPassed(SaveStep::HalfWritten)
              && WriteAll(fd, bytes.constData() + half, bytes.size() - half, off_t(half))
              && ::ftruncate(fd, off_t(bytes.size())) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || !SaveStepPassed(SaveStep::Written))
        return false;
    if (::renameat2(AT_FDCWD, sparePath.constData(), AT_FDCWD, hivePath.constData(), RENAME_EXCHANGE) != 0) {
        if (errno != ENOENT && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return false;
        if (::rename(sparePath.constData(), hivePath.constData()) != 0)
            return false;
    }
    SaveStepPassed(SaveStep::Replaced);
    return true;
}

// Moves a damaged hive file out of the way; "" when it cannot.
QString SetAside(const QString& path)
{
    const QString base = path + QStringLiteral(".corrupt-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + u'-' + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0)
        return {};
    return target;
}

// The cached hive of this file when the file has not changed since it was
// read, judged by its stamp alone (no lock is needed for that: the hive file
// is only ever replaced whole); nullptr when it has to be read. In a batch, a
// read or a write that would change nothing (BatchMaySpare) takes a hive found
// unchanged earlier in the batch as it is; under the lock the file is always
// looked at (AtTheFile).
enum class Look { BatchMaySpare, AtTheFile };
CachedHive* UnchangedHive(const QString& path, Look look)
{
    auto& hives = S().hives;
    const auto it = hives.find(path);
    if (it == hives.end() || !it->second.stamp.trusted())
        return nullptr;
    CachedHive& cached = it->second;
    const bool inBatch = look == Look::BatchMaySpare && S().batch != 0;
    if (inBatch && cached.confirmedInBatch == S().batch)
        return &cached;
    if (!cached.stamp.sameFile(FileStamp::Now(path)))
        return nullptr;
    if (inBatch)
        cached.confirmedInBatch = S().batch;
    return &cached;
}

// The hive's tree as the file holds it now, parsed again only when the file
// differs from what this process last read or wrote. Called with the hive
// lock held (shared or exclusive) where there is a lock file. A damaged file
// is set aside (this needs the exclusive lock, taken here when the caller
// holds the shared one) and read as an empty hive.
CachedHive* LoadHive(const Location& location, HiveLock& lock, long* result)
{
    auto& hives = S().hives;
    if (CachedHive* cached = UnchangedHive(location.path, Look::AtTheFile))
        return cached;

    QByteArray bytes;
    FileStamp stamp;
    const ReadResult read = ReadFile(location.path, &bytes, &stamp);
    if (read == ReadResult::Failed) {
        *result = ERROR_CANTREAD;
        return nullptr;
    }
    const bool exists = read == ReadResult::Read;

    if (auto it = hives.find(location.path);
        it != hives.end() && it->second.exists == exists && it->second.bytes == bytes) {
        it->second.stamp = stamp;
        it->second.confirmedInBatch = 0;
        return &it->second;
    }
    if (hives.size() > 16)
        hives.clear(); // hives of folders long gone (tests use a folder each)

    CachedHive loaded;
    loaded.exists = exists;
    loaded.bytes = bytes;
    loaded.stamp = stamp;
    QString error;
    loaded.root = exists ? hive::Parse(bytes, &error) : std::make_unique<hive::Key>();
    if (!loaded.root) {
        // Only a writer may move the file, and only the file it judged: when
        // it changed while we waited for the exclusive lock, judge it again.
        const bool exclusive = location.writable && lock.held()
                               && lock.acquire(location.path, true) == HiveLock::Locked;
        if (exclusive) {
            QByteArray again;
            if (ReadFile(location.path, &again) != ReadResult::Read || again != bytes)
                return LoadHive(location, lock, result);
        }
        const QString aside = exclusive ? SetAside(location.path) : QString();
        loaded.root = std::make_unique<hive::Key>();
        if (!aside.isEmpty()) {
            S().pendingReports << QStringLiteral("Registry hive \"%1\" is damaged (%2); it was moved to \"%3\" "
                                                 "and an empty hive takes its place.")
                                      .arg(location.path, error, aside);
            loaded.exists = false;
            loaded.bytes.clear();
            loaded.stamp = FileStamp::Missing();
        } else {
            S().pendingReports << QStringLiteral("Registry hive \"%1\" is damaged (%2) and cannot be moved aside; "
                                                 "it reads as an empty hive and is left unchanged.")
                                      .arg(location.path, error);
            loaded.corrupt = true;
        }
    }
    CachedHive& entry = hives[location.path];
    entry = std::move(loaded);
    return &entry;
}

// The tree of a hive for reading; nullptr with *result set when it cannot be
// read.
hive::Key* ReadHive(Hive hive, long* result)
{
    const Location location = HiveLocation(hive);
    // Most reads find the file as it was: then neither the lock nor the
    // file is touched.
    if (CachedHive* cached = UnchangedHive(location.path, Look::BatchMaySpare))
        return cached->root.get();
    HiveLock lock;
    if (lock.acquire(location.path, false) == HiveLock::TimedOut) {
        *result = ERROR_CANTREAD;
        return nullptr;
    }
    CachedHive* cached = LoadHive(location, lock, result);
    return cached ? cached->root.get() : nullptr;
}

struct Change
{
    long result = ERROR_SUCCESS;
    bool changed = false;
};

// Applies a change to a hive under the exclusive lock and saves it when it
// changed anything. apply(root) must leave the tree untouched when it fails
// or changes nothing.
template <typename Apply>
long WriteHive(Hive hive, Apply apply)
{
    const Location location = HiveLocation(hive);
    if (!location.writable)
        return ERROR_ACCESS_DENIED;
    // A change that the unchanged hive already holds (a key that exists, a
    // value written again as it is) needs neither the lock nor the file. The
    // settings and the registration of every start are mostly such changes.
    if (CachedHive* cached = UnchangedHive(location.path, Look::BatchMaySpare); cached && !cached->corrupt) {
        const Change change = apply(*cached->root);
        if (!change.changed)
            return change.result;
        // It changed the tree without the lock: forget it, so that the locked
        // write below reads the file again and applies the change to that.
        S().hives.erase(location.path);
    }
    HiveLock lock;
    switch (lock.acquire(location.path, true)) {
    case HiveLock::Locked: break;
    case HiveLock::NoLockFile:
        return lock.error() == EACCES || lock.error() == EROFS ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE;
    case HiveLock::TimedOut: return ERROR_CANTWRITE;
    }
    long result = ERROR_SUCCESS;
    CachedHive* cached = LoadHive(location, lock, &result);
    if (!cached)
        return ERROR_CANTWRITE;
    if (cached->corrupt)
        return ERROR_CANTWRITE;
    const Change change = apply(*cached->root);
    if (change.result != ERROR_SUCCESS || !change.changed)
        return change.result;
    const QByteArray bytes = hive::Serialize(*cached->root);
    if (!SaveHive(location, bytes)) {
        // The tree is ahead of the file now: read the file again next time.
        S().hives.erase(location.path);
        return ERROR_CANTWRITE;
    }
    cached->exists = true;
    cached->bytes = bytes;
    // Just written, so its times are racy: the next call compares bytes.
    cached->stamp = FileStamp();
    cached->confirmedInBatch = 0;
    return ERROR_SUCCESS;
}

// The key a reference names in a loaded tree: nullptr with *result set when
// it is gone. A root whose path is missing reads as an empty key (*isEmptyRoot).
hive::Key* FindKey(hive::Key& root, const KeyRef& ref, long* result, bool* isEmptyRoot = nullptr)
{
    hive::Key* key = root.find(ref.path);
    if (isEmptyRoot)
        *isEmptyRoot = !key && ref.isRoot;
    if (!key)
        *result = ref.isRoot ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    return key;
}

// The key a reference names, created with its path when it is a root.
hive::Key* FindOrCreateRoot(hive::Key& root, const KeyRef& ref, bool* created)
{
    if (hive::Key* key = root.find(ref.path))
        return key;
    if (!ref.isRoot)
        return nullptr;
    hive::Key* key = &root;
    for (const QString& name : ref.path)
        key = key->addSubkey(name);
    *created = true;
    return key;
}

} // namespace

long RegOpenKeyEx(HKEY key, const QString& subKey, HKEY* result)
{
    Session session;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    KeyRef ref;
    if (const long rc = Resolve(key, &ref))
        return rc;
    const QStringList sub = SplitPath(subKey);
    if (sub.isEmpty() && IsPredefined(key)) {
        *result = key;
        return ERROR_SUCCESS;
    }
    long rc = ERROR_SUCCESS;
    hive::Key* root = ReadHive(ref.hive, &rc);
    if (!root)
        return rc;
    bool emptyRoot = false;
    hive::Key* base = FindKey(*root, ref, &rc, &emptyRoot);
    if (!base && !(emptyRoot && sub.isEmpty()))
        return rc;
    if (base && !base->find(sub))
        return ERROR_FILE_NOT_FOUND;
    ref.path += sub;
    ref.isRoot = ref.isRoot && sub.isEmpty();
    *result = NewHandle(ref);
    return ERROR_SUCCESS;
}

long RegCreateKeyEx(HKEY key, const QString& subKey, HKEY* result, bool* created)
{
    Session session;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    KeyRef ref;
    if (const long rc = Resolve(key, &ref))
        return rc;
    const QStringList sub = SplitPath(subKey);
    for (const QString& name : sub) {
        if (!hive::IsValidKeyName(name))
            return ERROR_INVALID_PARAMETER;
    }
    // A key the hive file could not be read back with is not made.
    if (ref.path.size() + sub.size() > hive::kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    bool isNew = false;
    const long rc = WriteHive(ref.hive, [&](hive::Key& root) -> Change {
        isNew = false; // the change may be applied twice (see WriteHive)
        hive::Key* key = FindOrCreateRoot(root, ref, &isNew);
        if (!key)
            return {ERROR_KEY_DELETED, false};
        for (const QString& name : sub) {
            if (hive::Key* existing = key->subkey(name)) {
                key = existing;
            } else {
                key = key->addSubkey(name);
                isNew = true;
            }
        }
        return {ERROR_SUCCESS, isNew};
    });
    if (rc != ERROR_SUCCESS)
        return rc;
    if (created)
        *created = isNew;
    if (sub.isEmpty() && IsPredefined(key)) {
        *result = key;
        return ERROR_SUCCESS;
    }
    ref.path += sub;
    ref.isRoot = ref.isRoot && sub.isEmpty();
    *result = NewHandle(ref);
    return ERROR_SUCCESS;
}

// Looks up an open key for reading; the caller holds the session. rc tells
// why there is none; isEmptyRoot, that the hive itself is still empty.
static const hive::Key* KeyForReading(HKEY key, long* rc, bool* isEmptyRoot = nullptr)
{
    KeyRef ref;
    if ((*rc = Resolve(key, &ref)) != ERROR_SUCCESS)
        return nullptr;
    hive::Key* root = ReadHive(ref.hive, rc);
    if (!root)
        return nullptr;
    return FindKey(*root, ref, rc, isEmptyRoot);
}

// A value of an open key, copied out; the caller holds the session.
static long CopyValue(const hive::Key& key, const QString& valueName, ValueType* type, QByteArray* data)
{
    const hive::Value* value = key.value(valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    if (data)
        *data = value->data;
    return ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const QString& valueName, ValueType* type, QByteArray* data)
{
    Session session;
    long rc = ERROR_SUCCESS;
    const hive::Key* k = KeyForReading(key, &rc);
    return k ? CopyValue(*k, valueName, type, data) : rc;
}

long RegGetValue(HKEY key, const QString& subKey, const QString& valueName, ValueType* type, QByteArray* data)
{
    Session session;
    long rc = ERROR_SUCCESS;
    const hive::Key* base = KeyForReading(key, &rc);
    if (!base)
        return rc;
    const hive::Key* k = base->find(SplitPath(subKey));
    return k ? CopyValue(*k, valueName, type, data) : ERROR_FILE_NOT_FOUND;
}

long RegSetValueEx(HKEY key, const QString& valueName, ValueType type, const QByteArray& data)
{
    return RegSetValuesEx(key, {ValueEntry{valueName, type, data}});
}

long RegSetValuesEx(HKEY key, const QList<ValueEntry>& values)
{
    Session session;
    KeyRef ref;
    if (const long rc = Resolve(key, &ref))
        return rc;
    return WriteHive(ref.hive, [&](hive::Key& root) -> Change {
        bool created = false;
        hive::Key* k = FindOrCreateRoot(root, ref, &created);
        if (!k)
            return {ERROR_KEY_DELETED, false};
        bool changed = created;
        for (const ValueEntry& v : values)
            changed = k->setValue(v.name, v.type, v.data) || changed;
        return {ERROR_SUCCESS, changed};
    });
}

long RegEnumValue(HKEY key, quint32 index, QString* valueName, ValueType* type, QByteArray* data)
{
    Session session;
    long rc = ERROR_SUCCESS;
    bool emptyRoot = false;
    const hive::Key* k = KeyForReading(key, &rc, &emptyRoot);
    if (!k)
        return emptyRoot ? ERROR_NO_MORE_ITEMS : rc;
    if (index >= k->values().size())
        return ERROR_NO_MORE_ITEMS;
    const hive::Value& value = k->values().at(index);
    if (valueName)
        *valueName = value.name;
    if (type)
        *type = value.type;
    if (data)
        *data = value.data;
    return ERROR_SUCCESS;
}

long RegEnumKey(HKEY key, quint32 index, QString* subKeyName)
{
    Session session;
    long rc = ERROR_SUCCESS;
    bool emptyRoot = false;
    const hive::Key* k = KeyForReading(key, &rc, &emptyRoot);
    if (!k)
        return emptyRoot ? ERROR_NO_MORE_ITEMS : rc;
    if (index >= k->subkeys().size())
        return ERROR_NO_MORE_ITEMS;
    if (subKeyName)
        *subKeyName = k->subkeys().at(index)->name();
    return ERROR_SUCCESS;
}

long RegDeleteKey(HKEY key, const QString& subKey)
{
    Session session;
    KeyRef ref;
    if (const long rc = Resolve(key, &ref))
        return rc;
    const QStringList fullPath = ref.path + SplitPath(subKey);
    if (fullPath.isEmpty() || (fullPath.size() <= ref.path.size() && ref.isRoot))
        return ERROR_ACCESS_DENIED; // a hive's root (or HKCR's) is not deleted
    return WriteHive(ref.hive, [&](hive::Key& root) -> Change {
        long rc = ERROR_SUCCESS;
        if (!FindKey(root, ref, &rc))
            return {rc, false};
        QStringList path = fullPath;
        const QString name = path.takeLast();
        hive::Key* parent = root.find(path);
        hive::Key* target = parent ? parent->subkey(name) : nullptr;
        if (!target)
            return {ERROR_FILE_NOT_FOUND, false};
        if (!target->subkeys().empty())
            return {ERROR_ACCESS_DENIED, false};
        parent->removeSubkey(name);
        return {ERROR_SUCCESS, true};
    });
}

long RegDeleteValue(HKEY key, const QString& valueName)
{
    Session session;
    KeyRef ref;
    if (const long rc = Resolve(key, &ref))
        return rc;
    return WriteHive(ref.hive, [&](hive::Key& root) -> Change {
        long rc = ERROR_SUCCESS;
        hive::Key* k = FindKey(root, ref, &rc);
        if (!k)
            return {rc, false};
        if (!k->removeValue(valueName))
            return {ERROR_FILE_NOT_FOUND, false};
        return {ERROR_SUCCESS, true};
    });
}

long RegQueryInfoKey(HKEY key, quint32* subKeys, quint32* maxSubKeyLen, quint32* values,
                     quint32* maxValueNameLen, quint32* maxValueLen)
{
    Session session;
    long rc = ERROR_SUCCESS;
    bool emptyRoot = false;
    const hive::Key* k = KeyForReading(key, &rc, &emptyRoot);
    if (!k && !emptyRoot)
        return rc;
    const hive::Key empty;
    if (!k)
        k = &empty;
    quint32 longestKey = 0, longestName = 0, longestData = 0;
    for (const auto& subkey : k->subkeys())
        longestKey = std::max(longestKey, quint32(subkey->name().size()));
    for (const hive::Value& value : k->values()) {
        longestName = std::max(longestName, quint32(value.name.size()));
        longestData = std::max(longestData, quint32(value.data.size()));
    }
    if (subKeys)
        *subKeys = quint32(k->subkeys().size());
    if (maxSubKeyLen)
        *maxSubKeyLen = longestKey;
    if (values)
        *values = quint32(k->values().size());
    if (maxValueNameLen)
        *maxValueNameLen = longestName;
    if (maxValueLen)
        *maxValueLen = longestData;
    return ERROR_SUCCESS;
}

long RegConnectRegistry(const QString& machineName, HKEY hive, HKEY* result)
{
    Session session;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    QString machine = machineName;
    if (machine.startsWith(QStringLiteral("\\\\")))
        machine = machine.mid(2);
    if (!machine.isEmpty() && machine.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) != 0)
        return ERROR_BAD_NETPATH;
    KeyRef ref;
    if (!IsPredefined(hive) || Resolve(hive, &ref) != ERROR_SUCCESS)
        return ERROR_INVALID_HANDLE;
    *result = NewHandle(ref);
    return ERROR_SUCCESS;
}

Batch::Batch()
{
    std::lock_guard<std::mutex> lock(S().mutex);
    if (S().batchDepth++ == 0)
        S().batch = ++S().batches;
}

Batch::~Batch()
{
    std::lock_guard<std::mutex> lock(S().mutex);
    if (--S().batchDepth == 0)
        S().batch = 0;
}

long RegCloseKey(HKEY key)
{
    Session session;
    if (IsPredefined(key))
        return ERROR_SUCCESS;
    return S().handles.remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

QString HiveFilePath(HKEY hive)
{
    switch (hive) {
    case HKEY_CLASSES_ROOT:
    case HKEY_CURRENT_USER: return HiveLocation(Hive::CurrentUser).path;
    case HKEY_LOCAL_MACHINE: return HiveLocation(Hive::LocalMachine).path;
    default: return {};
    }
}

void SetCorruptHiveReporter(std::function<void(const QString& message)> reporter)
{
    QStringList held;
    {
        std::lock_guard<std::mutex> lock(S().mutex);
        S().reporter = reporter;
        held.swap(S().heldReports); // removing the reporter forgets them too
    }
    if (reporter) {
        for (const QString& report : std::as_const(held))
            reporter(report);
    }
}

bool HiveFolderWritable(HKEY hive, QString* folder)
{
    const Location location = HiveLocation(hive == HKEY_LOCAL_MACHINE ? Hive::LocalMachine : Hive::CurrentUser);
    const QString dir = QFileInfo(location.path).path();
    if (folder)
        *folder = dir;
    if (!location.writable || !QDir().mkpath(dir))
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}

void SetNextHandleForTests(HKEY next)
{
    Session session;
    S().nextHandle = next;
}

void SetSaveStepHook(std::function<bool(SaveStep step)> hook)
{
    Session session;
    S().saveHook = std::move(hook);
}

} // namespace reg
