#include "CFireEvent.h"

#include "CQxProgrammer.h"
#include "CQxProgrammerData.h"

void CFireEvent::SiteStatus(qint32 index, qint32 status, qint32 failCode, qint32 passed, qint32 failed,
                            qint32 active, qint32 ready)
{
    emit NotifySocketStatusChanged(index, status, failCode, passed, failed, active, ready);
    if (CQxProgrammer* programmer = CQxProgrammerData::Instance().GetQxProgrammer())
        programmer->FireSocketStatusChanged(index, status, failCode, passed, failed, active, ready);
}

void CFireEvent::SiteReadyToClose(qint32 site)
{
    if (CQxProgrammer* programmer = CQxProgrammerData::Instance().GetQxProgrammer())
        programmer->RaiseNotifyCloseSite(site);
}

void CFireEvent::SiteReadyToOpen(qint32 site)
{
    if (CQxProgrammer* programmer = CQxProgrammerData::Instance().GetQxProgrammer())
        programmer->RaiseNotifyOpenSite(site);
}
