#pragma once

// The job record log "JobSum.log": one CSV line per job, appended, never read
// or rewritten. Several stations may share one log folder, so the header is
// decided under a lock on the open log itself and each row goes out in one
// append; a failed write cuts back what it added, leaving the file as it was.
// Nothing else is created in the folder.

#include <QByteArray>
#include <QString>

class JobRecordLog
{
public:
    static constexpr const char* kFileName = "JobSum.log";

    // The log in the folder, whether or not the folder ends with a "/".
    static QString FilePath(const QString& folder);

    // Appends the line to the log of the folder; the header goes first when
    // the log is absent or empty. False on failure, with the file's name and
    // the system's reason in *error.
    static bool Append(const QString& folder, const QByteArray& header, const QByteArray& line, QString* error);
};
