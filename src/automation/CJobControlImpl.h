#pragma once

// The process-wide state behind the CJobControl automation class: the live
// CJobControl objects (the newest one gets the events), its own deferred-call
// server for DoBeginJob, the job parameters by name and the refresh they arm.

#include "CQxProgrammerMsgServer.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class CJobControlImpl : public QObject
{
    Q_OBJECT
public:
    static CJobControlImpl& Instance();

    // A client created (or released) a CJobControl object; null stands for
    // an object of no address. The last release stops the server and tells
    // the engine the automation GUI is gone.
    void Attach(QObject* object = nullptr);
    void Release(QObject* object = nullptr);
    bool JobCntrlInstantiated() const { return !m_live.isEmpty(); }
    // The object that gets the events: the newest live one.
    QObject* Current() const { return m_live.isEmpty() ? nullptr : m_live.last(); }

    void Initialize();
    void Destroy();
    CQxProgrammerMsgServer& MessageServer();

    // Raised only while a client holds a CJobControl object.
    void RaiseNotifyJobComplete(qint32 result);

    void SetDefaultConfiguration();
    // 0, or the failure n (1 invalid name, 2 invalid value, 3 unsupported
    // name, 4 unsupported value, or the engine's own code).
    qint32 SetJobParameter(const QString& sName, const QString& sValue);
    bool LoadPatternFile(const QString& sPath, qint32 lType);
    void Abort();
    void BeginJob(qint32 lQuantity);
    // A job was begun and has not completed: queued, or run by the automatic
    // handler's session (which returns at once and ends with JobComplete).
    bool JobQueued() const { return m_bJobQueued || m_bHandlerJob; }
    // The automatic handler's JobComplete: its job ends, and every client
    // is told, as at the end of a run of the operation window.
    void HandlerJobComplete(qint32 result);
    void DoBeginJob();
    void DispatchCall(const QString& sMethod);
    static QString NiceErrorDescription(qint32 lErrNum);

    // The main window's settings-refresh timer, armed for one tick after a
    // job parameter was set: the tick brings the operation tabs up to date
    // once and disarms the timer. The window installs what the tick reaches.
    struct SettingsRefresh
    {
        std::function<bool()> armed;
        std::function<void()> refresh;
        std::function<void()> disarm;
    };
    void SetSettingsRefresh(SettingsRefresh hooks) { m_settingsRefresh = std::move(hooks); }
    void OnSettingsRefreshTimer();

signals:
    void NotifyJobComplete(qint32 result);

private:
    CJobControlImpl() = default;
    QList<QObject*> m_live;
    std::unique_ptr<CQxProgrammerMsgServer> m_oMsgServer;
    // A server stopped inside its own DoBeginJob is kept until the next
    // Initialize outside it.
    std::vector<std::unique_ptr<CQxProgrammerMsgServer>> m_retired;
    int m_dispatchDepth = 0;
    bool m_bJobQueued = false;
    bool m_bHandlerJob = false;
    SettingsRefresh m_settingsRefresh;
};
