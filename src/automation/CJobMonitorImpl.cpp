#include "CJobMonitorImpl.h"

#include "AutomationHost.h"
#include "engine/EngineCodes.h"
#include "platform/EngineCall.h"

CJobMonitorImpl& CJobMonitorImpl::Instance()
{
    static CJobMonitorImpl impl;
    return impl;
}

void CJobMonitorImpl::Attach(QObject* object)
{
    m_live.append(object);
}

void CJobMonitorImpl::Release(QObject* object)
{
    m_live.removeOne(object);
}

void CJobMonitorImpl::RaiseNotifyJobComplete(qint32 result)
{
    if (JobMonitorInstantiated())
        emit NotifyJobComplete(result);
}

void CJobMonitorImpl::FireSiteStatus(qint32& status, qint32& index, qint32& failCode)
{
    if (!JobMonitorInstantiated())
        return;
    // The engine fills site and socket; it gets a copy of the index, so the
    // caller's site stays what it was.
    qint32 virtSite = index;
    qint32 site = 0;
    qint32 socket = 0;
    if (AutomationHost* host = Host())
        enginecall::Try([&] { host->SiteToSocket(virtSite, site, socket); });
    switch (status) {
    case SiteStatus::Passed:
        emit NotifySocketPassed(index);
        emit SocketPassed(site, socket);
        break;
    case SiteStatus::Failed:
        emit NotifySocketFailed(index, failCode);
        emit SocketFailed(site, socket, failCode);
        break;
    case SiteStatus::Active:
        emit NotifySocketActive(index);
        emit SocketActive(site, socket);
        break;
    default:
        break;
    }
}
