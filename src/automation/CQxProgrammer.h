#pragma once

// The programmer automation class: handler software begins a job with a
// quantity and a job file, reports devices placed and picked, sites closed
// and opened, extra errors and the start on partially populated sites, and
// is told of every socket change, the job's end and sites to close or open.
// It keeps no state: CQxProgrammerData holds it. Calls that start work are
// posted and run later on the GUI thread.

#include "AutomationObject.h"

#include <QDBusVariant>

class CQxProgrammer : public AutomationObject
{
    Q_OBJECT
public:
    explicit CQxProgrammer(QObject* parent = nullptr);
    ~CQxProgrammer() override;

    // The station could not start for this object.
    bool Started() const { return m_started; }

    void BeginJob(int lNumDevices, const QString& sQxFile);
    void DevicePlaced(int lSiteNumber);
    void DevicePicked(int lSiteNumber);
    void Abort();
    void SiteClosed(int lSiteNumber);
    void SiteOpened(int lSiteNumber);
    void SetSocaMode(int lMode);
    QDBusVariant GetErrorMessage(int lErrorCode);
    void IncreaseErrors(int lBy);
    QString LaunchHelp(const QString& sTopic);
    void BeginOperationOnPartiallyPopulatedSites();

    // Friends of the station.
    void DispatchDeferredCall(const QString& sMethod);
    void FireSocketStatusChanged(int socket, int status, int failCode, int passed, int failed, int active,
                                 int ready);
    void RaiseNotifyCloseSite(int lSiteNumber);
    void RaiseNotifyOpenSite(int lSiteNumber);

    static QString StatusName(int status);
    // The registry switch that turns the COM log on, read at each BeginJob.
    static bool ReadLogComSwitch();

signals:
    void NotifySocketStatusChanged(int lSocketNumber, int lStatusCode, int lFailCode, int lTotalDevicesPassed,
                                   int lTotalDevicesFailed, int lTotalSocketsActive, int lTotalSocketsReady);
    void NotifyJobComplete(int lResult);
    void NotifyCloseSite(int lSiteNumber);
    void NotifyOpenSite(int lSiteNumber);

private:
    void QueueWhileRunning(const QString& name, int lSiteNumber, const QString& key);
    void DoBeginJob();
    bool m_started = false;
};
