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

    // A client created (or released) a CJobMonitor object; every live one
    // gets the events.
    void Attach(QObject* object = nullptr);
    void Release(QObject* object = nullptr);
    bool JobMonitorInstantiated() const { return !m_live.isEmpty(); }

    // Both raise only while a client holds a CJobMonitor object.
    void RaiseNotifyJobComplete(qint32 result);
    // Status 0 raises NotifySocketPassed, 1 NotifySocketFailed with the
    // failure code, 3 NotifySocketActive; other statuses raise nothing. The
    // Socket... signals carry the engine's site and socket for the index.
    void FireSiteStatus(qint32& status, qint32& index, qint32& failCode);

signals:
    void NotifyJobComplete(qint32 result);
    void NotifySocketPassed(qint32 index);
    void NotifySocketFailed(qint32 index, qint32 failCode);
    void NotifySocketActive(qint32 index);
    void SocketPassed(qint32 site, qint32 socket);
    void SocketFailed(qint32 site, qint32 socket, qint32 failCode);
    void SocketActive(qint32 site, qint32 socket);

private:
    CJobMonitorImpl() = default;
    QList<QObject*> m_live;
};
