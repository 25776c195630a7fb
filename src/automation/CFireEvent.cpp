#include "CFireEvent.h"

void CFireEvent::SiteStatus(qint32 index, qint32 status, qint32 failCode, qint32 passed, qint32 failed,
                            qint32 active, qint32 ready)
{
    emit NotifySocketStatusChanged(index, status, failCode, passed, failed, active, ready);
}
