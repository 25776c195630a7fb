#include "CJobControlImpl.h"

CJobControlImpl& CJobControlImpl::Instance()
{
    static CJobControlImpl impl;
    return impl;
}

void CJobControlImpl::Attach()
{
    ++m_clients;
}

void CJobControlImpl::Release()
{
    if (m_clients > 0)
        --m_clients;
}

void CJobControlImpl::RaiseNotifyJobComplete(qint32 result)
{
    if (JobCntrlInstantiated())
        emit NotifyJobComplete(result);
}

void CJobControlImpl::OnSettingsRefreshTimer()
{
    // A tick of a timer nobody armed (or no window to refresh) does nothing.
    if (!m_settingsRefresh.armed || !m_settingsRefresh.armed())
        return;
    if (m_settingsRefresh.refresh)
        m_settingsRefresh.refresh();
    if (m_settingsRefresh.disarm)
        m_settingsRefresh.disarm();
}
