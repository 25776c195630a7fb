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
