#pragma once

// How a job that links its data file instead of holding the data rebuilds
// the buffer it was saved with: the load that made that buffer (the file,
// its format, the range and the place in the buffer, word addressing,
// whether the buffer was cleared first) and the fill byte and size of the
// buffer it went into. Replayed into a buffer of its own, it gives the same
// bytes whatever fill value the loading station has.

#include "qxbuffer/BufferFiles.h"

#include <QString>
#include <optional>

class DataBuffer;
class JobFile;

struct LinkedLoad
{
    QString path; // absolute
    qint32 type = 0;
    LoadOptions options;
    quint8 fill = 0xFF;
    qint64 size = 0;

    // Loads into staged, which it sizes and fills first; 0, or the buffer
    // library's code with error naming the fault.
    qint32 Rebuild(DataBuffer& staged, QString& error) const;

    // Kept in the job's data pattern section beside the linked file's
    // identity.
    void Write(JobFile& job, const QString& section) const;
    // None when the job was saved before it kept them, or they are damaged.
    static std::optional<LinkedLoad> Read(const JobFile& job, const QString& section, const QString& path);
};
