#include "CQxProgrammerData.h"

CQxProgrammerData& CQxProgrammerData::Instance()
{
    static CQxProgrammerData data;
    return data;
}

void CQxProgrammerData::AttachProgrammer()
{
    ++m_programmers;
}

void CQxProgrammerData::ReleaseProgrammer()
{
    if (m_programmers > 0)
        --m_programmers;
}

void CQxProgrammerData::DoubleAbort()
{
    if (m_doubleAbort)
        m_doubleAbort();
}

void CQxProgrammerData::EnqueueMethod(const QString& name)
{
    m_queued.append(name);
}

QStringList CQxProgrammerData::TakeQueuedMethods()
{
    return std::exchange(m_queued, {});
}

void CQxProgrammerData::SetThreadCommUtilPtr(qint32 value)
{
    m_lThreadCommUtilPtr = value;
    if (m_threadComm)
        m_threadComm(value);
}

void CQxProgrammerData::SetThreadCommTarget(std::function<void(qint32)> target)
{
    m_threadComm = std::move(target);
    // A value that came before the object existed reaches it now.
    if (m_threadComm && m_lThreadCommUtilPtr != 0)
        m_threadComm(m_lThreadCommUtilPtr);
}
