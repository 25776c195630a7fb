#pragma once

// The process-wide state behind the CJobMonitor automation class: whether a
// client holds one, and its events (job complete, socket passed, failed,
// active).

#include <QObject>

class CJobMonitorImpl : public QObject
{
    Q_OBJECT
public:
    static CJobMonitorImpl& Instance();

    void Attach();
    void Release();
    bool JobMonitorInstantiated() const { return m_clients > 0; }

    // Both raise only while a client holds a CJobMonitor object.
    void RaiseNotifyJobComplete(qint32 result);
    // Status 0 raises NotifySocketPassed, 1 NotifySocketFailed with the
    // failure code, 3 NotifySocketActive; other statuses raise nothing.
    void FireSiteStatus(qint32& status, qint32& index, qint32& failCode);

signals:
    void NotifyJobComplete(qint32 result);
    void NotifySocketPassed(qint32 index);
    void NotifySocketFailed(qint32 index, qint32 failCode);
    void NotifySocketActive(qint32 index);

private:
    CJobMonitorImpl() = default;
    qint32 m_clients = 0;
};
