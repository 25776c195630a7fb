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
