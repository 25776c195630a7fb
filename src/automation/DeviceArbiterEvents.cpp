#include "DeviceArbiterEvents.h"

#include "AutomationHost.h"
#include "CQxProgrammerData.h"
#include "engine/EngineCodes.h"
#include "platform/EngineCall.h"

namespace {
void ShowSite(qint32 site, qint32 status)
{
    if (AutomationHost* host = Host())
        enginecall::Try([&] { host->SetSiteStatus(site, status, 0); });
}
} // namespace

void DeviceArbiterEvents::DeviceAutomationArbiter_DeviceReadyToPick(qint32 site)
{
    ShowSite(site, SiteStatus::ReadyToPick);
}

void DeviceArbiterEvents::DeviceAutomationArbiter_DeviceReadyToPlace(qint32 site)
{
    CQxProgrammerData::Instance().ReportWaitingForClient();
    ShowSite(site, SiteStatus::ReadyToPlace);
}

void DeviceArbiterEvents::DeviceAutomationArbiter_GotBeginPartials(bool& flag)
{
    flag = CQxProgrammerData::Instance().m_bGotBeginPartials;
}

void DeviceArbiterEvents::DeviceAutomationArbiter_ResetBeginPartialsFlag()
{
    CQxProgrammerData::Instance().m_bGotBeginPartials = false;
}
