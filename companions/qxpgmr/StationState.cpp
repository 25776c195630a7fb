#include "StationState.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

QString StationState::FileIn(const QString& engineFolder)
{
    return QDir(engineFolder).filePath(QStringLiteral("engine.ini"));
}

StationState StationState::Load(const QString& file)
{
    const QSettings ini(file, QSettings::IniFormat);
    StationState s;
    s.modelIndex = ini.value(QStringLiteral("Station/ModelIndex"), s.modelIndex).toInt();
    s.port = ini.value(QStringLiteral("Station/Port"), s.port).toInt();
    s.masterSite = ini.value(QStringLiteral("Station/MasterSite"), s.masterSite).toInt();
    s.device = ini.value(QStringLiteral("Station/Device")).toString();
    s.siteCount = ini.value(QStringLiteral("Station/SiteCount"), s.siteCount).toInt();
    return s;
}

void StationState::Save(const QString& file) const
{
    if (QFileInfo::exists(file) && Load(file) == *this)
        return;
    QSettings ini(file, QSettings::IniFormat);
    ini.setValue(QStringLiteral("Station/ModelIndex"), modelIndex);
    ini.setValue(QStringLiteral("Station/Port"), port);
    ini.setValue(QStringLiteral("Station/MasterSite"), masterSite);
    ini.setValue(QStringLiteral("Station/Device"), device);
    ini.setValue(QStringLiteral("Station/SiteCount"), siteCount);
    ini.sync();
}
