#pragma once
// Opens the algorithm database on a helper thread while the program does
// other start-up work, for the load that follows. The load takes what was
// opened only when it asks for the same file and the file is still the one
// that was opened; otherwise it opens the file itself, as without a prefetch.

#include "AlgorithmDatabase.h"

#include <QString>
#include <sys/types.h>
#include <thread>

class DatabasePrefetch
{
public:
    DatabasePrefetch() = default;
    ~DatabasePrefetch();
    DatabasePrefetch(const DatabasePrefetch&) = delete;
    DatabasePrefetch& operator=(const DatabasePrefetch&) = delete;

    // Starts opening the file; a path of "" starts nothing. Once only.
    void Start(const QString& path);
    // Waits for the opening to end.
    void Finish();
    // Hands the opened database over to db (whatever db held is closed):
    // True only when the prefetch opened this path successfully and the
    // file has not changed since. The prefetch is spent either way.
    bool Take(const QString& path, AlgorithmDatabase& db);

private:
    // What stat() tells of the file: enough to see that it was replaced or
    // written since it was opened.
    struct FileId
    {
        bool valid = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const FileId& other) const;
    };
    static FileId IdOf(const QString& path);

    std::thread m_thread;
    QString m_path;
    FileId m_opened;
    qint32 m_result = -1;
    AlgorithmDatabase m_database;
};
