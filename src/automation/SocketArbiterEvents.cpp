#include "SocketArbiterEvents.h"

#include "CQxProgrammerData.h"

void SocketArbiterEvents::SocketAutomationArbiter_SiteReadyToClose(qint32 site)
{
    CQxProgrammerData::Instance().FireEvent().SiteReadyToClose(site);
}

void SocketArbiterEvents::SocketAutomationArbiter_SiteReadyToOpen(qint32 site)
{
    CQxProgrammerData::Instance().FireEvent().SiteReadyToOpen(site);
}
