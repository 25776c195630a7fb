#pragma once

// The station as the engine left it, so that it comes back as it was on the
// next start: programmer model, port, master site and selected device. Kept
// in "engine.ini" in the engine's folder and written at each change, so a
// crash loses nothing; a save that would write what the file holds already
// leaves it alone (each write is synced to disk).

#include <QString>

struct StationState
{
    // A fresh station is the single-site model on the first port: a real
    // (simulated) programmer, so a first run is a real one, not DEMO.
    int modelIndex = 0;
    int port = 1;       // 0 is DEMO
    int masterSite = 1; // 1-based
    QString device;     // "" when none is selected
    int siteCount = 1;  // the model's sites, read by the handlers

    static QString FileIn(const QString& engineFolder);
    // The saved state; the defaults above for a station never saved.
    static StationState Load(const QString& file);
    void Save(const QString& file) const;

    bool operator==(const StationState&) const = default;
};
