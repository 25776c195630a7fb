#pragma once

// The process-wide state behind the CJobControl automation class: whether a
// client holds one, and its NotifyJobComplete event.

#include <QObject>

class CJobControlImpl : public QObject
{
    Q_OBJECT
public:
    static CJobControlImpl& Instance();

    void Attach();
    void Release();
    bool JobCntrlInstantiated() const { return m_clients > 0; }

    // Raised only while a client holds a CJobControl object.
    void RaiseNotifyJobComplete(qint32 result);

signals:
    void NotifyJobComplete(qint32 result);

private:
    CJobControlImpl() = default;
    qint32 m_clients = 0;
};
