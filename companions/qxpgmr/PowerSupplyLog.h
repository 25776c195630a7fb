#pragma once

// The engine's power-supply log: one comma-separated line per device run,
// appended to "PowerSupplyLog.csv" in the folder the station hands over
// (SetPowerSupplyLogFolder), with a header line when the file is new:
//
//   Date,Time,Site,Operation,Result,VCC (V),VPP (V),ICC (mA)
//   2026-12-10,03:19:43.125,1,Program,0,5.00,12.50,21
//
// Lines end in CR LF, as the station's other logs do. Each line is appended
// and the file closed again, so a crash loses nothing already written.

#include <QString>

class QDateTime;

class PowerSupplyLog
{
public:
    static QString FileName() { return QStringLiteral("PowerSupplyLog.csv"); }

    // Switches the log on for a folder ("" switches it off); False when the
    // folder cannot be made or written (the log stays off).
    bool SetFolder(const QString& folder);
    bool IsOn() const { return !m_folder.isEmpty(); }
    QString Folder() const { return m_folder; }

    // Appends one device's line; False when it could not be written.
    bool Append(const QDateTime& when, int site, const QString& operation, qint32 result, int vccMillivolts,
                int vppMillivolts, int iccMilliamps) const;

private:
    QString m_folder;
};
