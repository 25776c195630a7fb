#include "settings/FolderBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QStringList FolderBrowser::Drives()
{
    QStringList drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !drives.contains(volume.rootPath()))
            drives << volume.rootPath();
    }
    drives.removeAll(QStringLiteral("/"));
    drives.sort();
    drives.prepend(QStringLiteral("/"));
    return drives;
}

QString FolderBrowser::DriveOf(const QString& path, const QStringList& drives)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    QString best;
    for (const QString& root : drives) {
        const bool inside = root == QLatin1String("/") || clean == root || clean.startsWith(root + u'/');
        if (inside && root.size() > best.size())
            best = root;
    }
    return best;
}

bool FolderBrowser::SetFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    m_folder = QDir::cleanPath(info.absoluteFilePath());
    return true;
}

void FolderBrowser::SetNearestFolder(const QString& path)
{
    if (!path.isEmpty()) {
        // A relative path is walked up from the current folder, as opening
        // it would find it.
        for (QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());;) {
            if (SetFolder(folder))
                return;
            const QString parent = QFileInfo(folder).path();
            if (parent == folder)
                break;
            folder = parent;
        }
    }
    if (!SetFolder(QDir::homePath()))
        SetFolder(QDir::rootPath());
}

QStringList FolderBrowser::Entries() const
{
    if (m_folder.isEmpty())
        return {};
    QDir dir(m_folder);
    QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    if (!dir.isRoot())
        entries.prepend(QStringLiteral(".."));
    return entries;
}

bool FolderBrowser::Enter(const QString& entry)
{
    if (m_folder.isEmpty() || entry.isEmpty())
        return false;
    return SetFolder(QDir(m_folder).filePath(entry));
}
