#include "JobBackups.h"

#include <QFile>
#include <QFileInfo>

namespace jobbackups {

QString MakeBackupName(const QString& file)
{
    if (file.isEmpty())
        return QString();
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return file + QStringLiteral("_Backup");
    return file.left(dot) + QStringLiteral("_Backup") + file.mid(dot);
}

bool CopyOver(const QString& file, const QString& backup)
{
    if (QFileInfo::exists(backup) || QFileInfo(backup).isSymLink()) {
        QFile old(backup);
        old.setPermissions(old.permissions() | QFileDevice::WriteOwner);
        if (!old.remove())
            return false;
    }
    if (!QFile::copy(file, backup))
        return false;
    QFile copy(backup);
    copy.setPermissions(copy.permissions() | QFileDevice::WriteOwner);
    return true;
}

bool IsReadOnly(const QString& file)
{
    const QFileInfo info(file);
    return !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner);
}

} // namespace jobbackups
