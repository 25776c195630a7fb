#include "DatabasePrefetch.h"

#include <system_error>

DatabasePrefetch::~DatabasePrefetch()
{
    Finish();
}

void DatabasePrefetch::Start(const QString& path)
{
    if (path.isEmpty() || m_thread.joinable() || !m_path.isEmpty())
        return;
    m_path = path;
    try {
        m_thread = std::thread([this] {
            // The stamp is taken before the file is read: a change made while
            // it is read shows as a different stamp at the hand-over.
            m_opened = FileStamp::Now(m_path);
            m_result = m_database.Open(m_path);
        });
    } catch (const std::system_error&) {
        m_path.clear(); // no helper: the load opens the file itself
    }
}

void DatabasePrefetch::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool DatabasePrefetch::Take(const QString& path, AlgorithmDatabase& db)
{
    Finish();
    const bool usable = !m_path.isEmpty() && path == m_path && m_result == AlgorithmDatabase::Loaded
        && m_opened.trusted() && m_opened.sameFile(FileStamp::Now(path));
    m_path.clear();
    if (usable)
        db.Swap(m_database);
    m_database.Close();
    return usable;
}
