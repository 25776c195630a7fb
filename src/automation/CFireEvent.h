#pragma once

// Relays the operation window's site changes to the CQxProgrammer clients as
// NotifySocketStatusChanged. The automation server connects its clients to
// the signal; with none connected a relay goes nowhere.

#include <QObject>

class CFireEvent : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // index is the 0-based site box; ready is the count of devices waiting
    // in sockets.
    // The attached CQxProgrammer raises its event (only while its job runs).
    void SiteStatus(qint32 index, qint32 status, qint32 failCode, qint32 passed, qint32 failed, qint32 active,
                    qint32 ready);
    // From the socket arbiter: the client is asked to close or open a site.
    void SiteReadyToClose(qint32 site);
    void SiteReadyToOpen(qint32 site);

signals:
    void NotifySocketStatusChanged(qint32 index, qint32 status, qint32 failCode, qint32 passed, qint32 failed,
                                   qint32 active, qint32 ready);
};
