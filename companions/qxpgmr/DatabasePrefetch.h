#pragma once
// Opens the algorithm database on a helper thread while the program does
// other start-up work, for the load that follows. The load takes what was
// opened only when it asks for the same file and the file is still the one
// that was opened; otherwise it opens the file itself, as without a prefetch.

#include "AlgorithmDatabase.h"
#include "platform/FileStamp.h"

#include <QString>
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
    // Hands the opened database over to db (whatever db held is closed):
    // True only when the prefetch opened this path successfully, the file
    // was not new when it was opened (its times then tell a change apart)
    // and it has not changed since. The prefetch is spent either way.
    bool Take(const QString& path, AlgorithmDatabase& db);

private:
    void Finish();

    std::thread m_thread;
    QString m_path;
    FileStamp m_opened; // of the file as it was when opened
    qint32 m_result = -1;
    AlgorithmDatabase m_database;
};
