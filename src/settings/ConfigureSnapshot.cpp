#include "settings/ConfigureSnapshot.h"

#include "engine/QXPgmrControl.h"
#include "platform/EngineCall.h"
#include "settings/ProgrammerClass.h"

using enginecall::Ask;
using enginecall::Try;

ConfigureSnapshot::ConfigureSnapshot(QXPgmrControl& engine, const ProgrammerClass& data)
    : m_model(Ask([&] { return engine.ProgrammerModelIndex(); }, qint32(-1)))
    , m_port(Ask([&] { return engine.PortIndex(); }, qint32(-1)))
    , m_masterSite(Ask([&] { return engine.MasterSite(); }, qint32(-1)))
    , m_handlerType(data.udtHandlerType)
    , m_parallelPort(data.udtParallelPort)
    , m_pgmrType(data.udtPgmrType)
    , m_noviceMode(data.bNoviceMode)
    , m_masterSiteId(data.lngMasterSiteID)
    , m_startInOperatorMode(data.bStartInOperatorMode)
{
}

void ConfigureSnapshot::Restore(QXPgmrControl& engine, ProgrammerClass& data) const
{
    // The model first: selecting a model may move the master site.
    if (m_model >= 0 && Ask([&] { return engine.ProgrammerModelIndex(); }, qint32(-1)) != m_model)
        Try([&] { engine.SelectProgrammerModel(m_model); });
    if (m_port >= 0 && Ask([&] { return engine.PortIndex(); }, qint32(-1)) != m_port)
        Try([&] { engine.PortIndex(m_port); });
    if (m_masterSite >= 1 && Ask([&] { return engine.MasterSite(); }, qint32(-1)) != m_masterSite)
        Try([&] { engine.MasterSite(m_masterSite); });

    data.udtHandlerType = m_handlerType;
    data.udtParallelPort = m_parallelPort;
    data.udtPgmrType = m_pgmrType;
    data.bNoviceMode = m_noviceMode;
    data.lngMasterSiteID = m_masterSiteId;
    data.bStartInOperatorMode = m_startInOperatorMode;
}
