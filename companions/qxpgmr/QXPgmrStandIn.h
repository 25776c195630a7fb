#pragma once

// The simulated programmer engine, class "QXPGMRLib.QXPgmr". It answers the
// engine's members by the program's own table of them; members without
// behaviour of their own are stored properties (DispatchObject).

#include "platform/DispatchObject.h"

class QXPgmrStandIn : public DispatchObject
{
public:
    QXPgmrStandIn();

    // The engine's own folder: per user and writable
    // ($XDG_DATA_HOME/Corvane/QXEngine), with its "DATALOG" folder; both are
    // created on first use.
    static QString EngineFolder();
    // Where the label editor is installed; the engine only names it.
    static QString LabelPrinterFolder();

private:
    void bindStartUp();

    bool m_guiReady = false;
    qint64 m_mainWindowHandle = 0;
};
