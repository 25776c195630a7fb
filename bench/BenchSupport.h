#pragma once

// What every measure shares: a station set up in a temporary folder, and the
// plug-ins registered as start-up registers them.

#include <QString>
#include <QTemporaryDir>

class QXPgmrControl;

// A station's surroundings in a temporary folder, removed at exit: the
// registry's root and the XDG folders, so that a measure never touches the
// user's own; the shipped database and no injected engine faults; headless
// unless the caller chose a platform; the program's title "Tarvo". Made before
// the application object, which reads the platform when it is made. Without
// its folder no measure can run: the program ends at once.
class BenchStation
{
public:
    BenchStation();

    QString filePath(const QString& name) const { return m_root.filePath(name); }

private:
    QTemporaryDir m_root;
};

// Registers a plug-in from the program's folder ("BayCtrl.ocx") through its
// DllRegisterServer; says why on stderr when it cannot.
bool RegisterPlugin(const QString& file);

// The stand-in engine (QXPgmr.ocx), registered and created into engine as the
// main window does; says why on stderr when it cannot.
bool AttachStandInEngine(QXPgmrControl& engine);

// Points the engine at the program's folder and loads the shipped algorithm
// database ("qxalg.db"); says so on stderr when it does not load.
bool LoadShippedDatabase(QXPgmrControl& engine);
