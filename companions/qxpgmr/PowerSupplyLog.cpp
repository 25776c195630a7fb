#include "PowerSupplyLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

QString Volts(int millivolts)
{
    return QString::number(millivolts / 1000.0, 'f', 2);
}

} // namespace

bool PowerSupplyLog::SetFolder(const QString& folder)
{
    m_folder.clear();
    if (folder.isEmpty())
        return true;
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable())
        return false;
    m_folder = folder;
    return true;
}

bool PowerSupplyLog::Append(const QDateTime& when, int site, const QString& operation, qint32 result,
                            int vccMillivolts, int vppMillivolts, int iccMilliamps) const
{
    if (!IsOn())
        return false;
    QFile file(QDir(m_folder).filePath(FileName()));
    const bool isNew = !file.exists() || file.size() == 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray text;
    if (isNew)
        text += "Date,Time,Site,Operation,Result,VCC (V),VPP (V),ICC (mA)\r\n";
    // An operation name never holds a comma; one that did is quoted.
    QString name = operation;
    if (name.contains(QLatin1Char(',')) || name.contains(QLatin1Char('"')))
        name = QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    text += QStringList{when.date().toString(Qt::ISODate), when.time().toString(QStringLiteral("HH:mm:ss.zzz")),
                        QString::number(site), name, QString::number(result), Volts(vccMillivolts),
                        Volts(vppMillivolts), QString::number(iccMilliamps)}
                .join(QLatin1Char(','))
                .toUtf8();
    text += "\r\n";
    return file.write(text) == text.size() && file.flush();
}
