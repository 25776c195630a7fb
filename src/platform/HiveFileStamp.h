#pragma once

#include <sys/stat.h>
#include <ctime>

namespace reg {

// What stat() tells of a hive file: enough to see that it changed without
// reading it (see trusted() for when that holds).
struct HiveFileStamp
{
    bool valid = false;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    timespec readAt{}; // the clock just before the file's bytes were read

    static HiveFileStamp Of(const struct stat& st, const timespec& readAt);
    static HiveFileStamp Missing();

    bool sameFile(const HiveFileStamp& other) const;

    // File times come from a coarse clock: a file rewritten within one tick
    // of the bytes we read may keep its times. Only a file whose last change
    // lies well before that read can be judged by its stamp alone (as git
    // judges its index); a "racy" one is read and compared again.
    bool trusted() const;
};

} // namespace reg
