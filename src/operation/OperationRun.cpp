#include "OperationRun.h"

#include "RunCounters.h"

#include <algorithm>

OperationRun::OperationRun(Host& host, RunCounters& counters)
    : m_host(host)
    , m_counters(counters)
{
}

void OperationRun::ClearProgressBars()
{
    for (int row = 0; row < m_host.ProgressRowCount(); ++row)
        m_host.SetProgressValue(row, 0);
}

void OperationRun::FillCheckedProgressBars()
{
    for (int row = 0; row < m_host.ProgressRowCount(); ++row) {
        if (m_host.ProgressRowChecked(row))
            m_host.SetProgressValue(row, 100);
    }
}

void OperationRun::SetProgress(int row, qint32 value)
{
    if (row < 0 || row >= m_host.ProgressRowCount())
        return;
    m_host.SetProgressValue(row, std::clamp<qint32>(value, 0, 100));
}

void OperationRun::ShowSite(int index, qint32 status, const QString& statusText, const QString& errorText)
{
    if (index < 0 || index >= m_host.SiteBoxCount())
        return;
    m_host.ShowSiteStatus(index, status, statusText, errorText);
}
