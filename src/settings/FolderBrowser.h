#pragma once

// The folder-list half of the directory picker without its widgets: the
// mounted volumes (the "drives" of the station), the folder shown and its
// entries, and entering an entry.

#include <QString>
#include <QStringList>

class FolderBrowser
{
public:
    // The root paths of the mounted, ready volumes, "/" first.
    static QStringList Drives();
    // The drive a path lies on: the longest drive root that contains it;
    // "" when none does.
    static QString DriveOf(const QString& path, const QStringList& drives);

    // The folder shown; "" before one could be shown.
    QString Folder() const { return m_folder; }
    // Shows a folder; False (the folder shown stays) when it does not exist.
    bool SetFolder(const QString& path);
    // Shows the folder, or the nearest folder above it that exists; the
    // user's home folder when the path is empty or nothing of it exists.
    void SetNearestFolder(const QString& path);
    // The entries of the list: ".." above a folder that has a parent, then
    // its subfolders by name.
    QStringList Entries() const;
    // Opens an entry of the list (".." goes up); False when it cannot be
    // opened.
    bool Enter(const QString& entry);

private:
    QString m_folder;
};
