#pragma once

#include <QString>
#include <ctime>
#include <sys/stat.h>

// What stat() tells of a file: enough to see that it was replaced or written
// since, without reading it (see trusted() for when that holds).
struct FileStamp
{
    bool valid = false;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    timespec readAt{}; // the clock just before the file's bytes were read

    static FileStamp Of(const struct stat& st, const timespec& readAt);
    static FileStamp Missing();
    // The file's stamp now, read at this moment; Missing when there is no
    // such file, invalid when it cannot be looked at.
    static FileStamp Now(const QString& path);

    bool sameFile(const FileStamp& other) const;

    // File times come from a coarse clock: a file rewritten within one tick
    // of the bytes we read may keep its times. Only a file whose last change
    // lies well before that read can be judged by its stamp alone (as git
    // judges its index); a "racy" one is read and compared again.
    bool trusted() const;
};
