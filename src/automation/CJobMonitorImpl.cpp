#include "CJobMonitorImpl.h"

#include "engine/EngineCodes.h"

CJobMonitorImpl& CJobMonitorImpl::Instance()
{
    static CJobMonitorImpl impl;
    return impl;
}

void CJobMonitorImpl::Attach()
{
    ++m_clients;
}

void CJobMonitorImpl::Release()
{
    if (m_clients > 0)
        --m_clients;
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
    switch (status) {
    case SiteStatus::Passed:
        emit NotifySocketPassed(index);
        break;
    case SiteStatus::Failed:
        emit NotifySocketFailed(index, failCode);
        break;
    case SiteStatus::Active:
        emit NotifySocketActive(index);
        break;
    default:
        break;
    }
}
