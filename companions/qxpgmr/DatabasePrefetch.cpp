#include "DatabasePrefetch.h"

#include <QFile>
#include <sys/stat.h>
#include <system_error>

bool DatabasePrefetch::FileId::operator==(const FileId& other) const
{
    return valid && other.valid && device == other.device && inode == other.inode && size == other.size
        && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

DatabasePrefetch::FileId DatabasePrefetch::IdOf(const QString& path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return {true, st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

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
            m_opened = IdOf(m_path);
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
    const bool usable =
        !m_path.isEmpty() && path == m_path && m_result == AlgorithmDatabase::Loaded && m_opened == IdOf(path);
    m_path.clear();
    if (usable)
        db.Swap(m_database);
    m_database.Close();
    return usable;
}
