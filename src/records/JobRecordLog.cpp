#include "JobRecordLog.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes all of data at the end of the file (several writes if the system
// takes it in parts; the lock keeps them together).
bool WriteAll(int fd, const QByteArray& data, int* error)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (n == 0) {
            *error = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

struct ClosesOnExit
{
    int fd;
    ~ClosesOnExit() { ::close(fd); }
};

} // namespace

QString JobRecordLog::FilePath(const QString& folder)
{
    return QDir(folder).filePath(QLatin1String(kFileName));
}

bool JobRecordLog::Append(const QString& folder, const QByteArray& header, const QByteArray& line, QString* error)
{
    const QString path = FilePath(folder);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };

    // The lock is taken on the open log itself: several stations sharing a
    // folder queue up for their one append each, and nothing is made beside
    // the log (a shared folder may let a station write the log but not
    // create files).
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(SystemReason(errno));
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int reason = errno;
            ::close(fd);
            return fail(SystemReason(reason));
        }
    }
    // A second descriptor of the same open file keeps the lock while the
    // first is closed, so that a failure reported only at close is still cut
    // back before another station may append.
    const int holder = ::dup(fd);
    if (holder < 0) {
        const int reason = errno;
        ::close(fd);
        return fail(SystemReason(reason));
    }
    const ClosesOnExit lockHolder{holder};

    struct stat info
    {};
    if (::fstat(fd, &info) != 0) {
        const int reason = errno;
        ::close(fd);
        return fail(SystemReason(reason));
    }
    const QByteArray data = info.st_size == 0 ? header + line : line;
    int reason = 0;
    bool written = WriteAll(fd, data, &reason);
    if (::close(fd) != 0 && written) {
        reason = errno;
        written = false;
    }
    if (!written) {
        // A partial line would break every row after it: cut it back.
        [[maybe_unused]] const int cut = ::ftruncate(holder, info.st_size);
        return fail(SystemReason(reason));
    }
    return true;
}
