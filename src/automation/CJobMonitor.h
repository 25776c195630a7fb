#pragma once

// The job monitor automation class: a program watches the station without
// driving it. It is told when a socket becomes active, passes or fails and
// when a job completes, and it can ask for the system information text.

#include "AutomationObject.h"

class CJobMonitor : public AutomationObject
{
    Q_OBJECT
public:
    explicit CJobMonitor(QObject* parent = nullptr);
    ~CJobMonitor() override;

    bool Started() const { return m_started; }
    QString GetSystemInfo();

signals:
    void NotifySocketActive(int lSite, int lSocket);
    void NotifySocketPassed(int lSite, int lSocket);
    void NotifySocketFailed(int lSite, int lSocket, int lFailCode);
    void NotifyJobComplete(int lResult);

private:
    bool m_started = false;
};
