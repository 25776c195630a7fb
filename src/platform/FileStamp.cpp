#include "FileStamp.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdint>

FileStamp FileStamp::Of(const struct stat& st, const timespec& readAt)
{
    return {true, true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, readAt};
}

FileStamp FileStamp::Missing()
{
    return {true, false, 0, 0, 0, {}, {}, {}};
}

FileStamp FileStamp::Now(const QString& path)
{
    timespec readAt{};
    ::clock_gettime(CLOCK_REALTIME, &readAt);
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return Of(st, readAt);
    return errno == ENOENT || errno == ENOTDIR ? Missing() : FileStamp();
}

bool FileStamp::sameFile(const FileStamp& other) const
{
    const auto same = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    if (!valid || !other.valid || exists != other.exists)
        return false;
    return !exists
        || (device == other.device && inode == other.inode && size == other.size && same(modified, other.modified)
            && same(changed, other.changed));
}

bool FileStamp::trusted() const
{
    if (!valid)
        return false;
    if (!exists)
        return true;
    // A file system that keeps fractions of a second takes its times from the
    // kernel's clock, which ticks every few milliseconds (10 at the slowest);
    // one that keeps whole seconds (FAT keeps two) ticks with those. A
    // restart of the station within a second of its close must not pay for
    // the slow case on every settings read.
    constexpr int64_t kFineMarginNs = 20'000'000;
    constexpr int64_t kWholeSecondsMarginNs = 2'000'000'000;
    const bool wholeSeconds = modified.tv_nsec == 0 && changed.tv_nsec == 0;
    const int64_t margin = wholeSeconds ? kWholeSecondsMarginNs : kFineMarginNs;
    const auto ns = [](const timespec& t) { return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return std::max(ns(modified), ns(changed)) + margin < ns(readAt);
}
