#pragma once

// What the configuration dialog's OK may change before it knows that all of
// it will stand: the engine's model, port and master site and the job
// configuration's fields. Taken before the first change; put back when a
// later step is refused or fails, so that OK commits all or nothing.

#include <QtGlobal>

class ProgrammerClass;
class QXPgmrControl;

class ConfigureSnapshot
{
public:
    // Reads the engine and the job configuration as they stand now.
    ConfigureSnapshot(QXPgmrControl& engine, const ProgrammerClass& data);

    // Puts everything back. Engine calls that fail are passed over: the
    // engine keeps what it can take back.
    void Restore(QXPgmrControl& engine, ProgrammerClass& data) const;

private:
    // The engine; each read may fail, then it is not put back.
    qint32 m_model = -1;
    qint32 m_port = -1;
    qint32 m_masterSite = -1;

    // The job configuration.
    qint32 m_handlerType = 0;
    qint32 m_parallelPort = 0;
    qint32 m_pgmrType = 0;
    bool m_noviceMode = false;
    qint16 m_masterSiteId = 1;
    bool m_startInOperatorMode = false;
};
