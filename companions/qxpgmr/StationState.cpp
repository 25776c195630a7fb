#include "StationState.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "simplan/PlainIni.h"

QString StationState::FileIn(const QString& engineFolder)
{
    return QDir(engineFolder).filePath(QStringLiteral("engine.ini"));
}

StationState StationState::Load(const QString& file)
{
    const simplan::PlainIni ini = simplan::PlainIni::Read(file);
    const QString station = QStringLiteral("Station");
    StationState s;
    s.modelIndex = ini.Int(station, QStringLiteral("ModelIndex"), s.modelIndex);
    s.port = ini.Int(station, QStringLiteral("Port"), s.port);
    s.masterSite = ini.Int(station, QStringLiteral("MasterSite"), s.masterSite);
    s.device = ini.Text(station, QStringLiteral("Device"));
    s.siteCount = ini.Int(station, QStringLiteral("SiteCount"), s.siteCount);
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
