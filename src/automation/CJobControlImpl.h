#pragma once

// The process-wide state behind the CJobControl automation class: the live
// CJobControl objects (the newest one gets the events), its own deferred-call
// server for DoBeginJob, the job parameters by name and the refresh they arm.

#include "CQxProgrammerMsgServer.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class ClientJobSilence;

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
    // The object whose job's end is being told (only while it is told).
    QObject* NotifyTarget() const { return m_notifyTarget; }

    void Initialize();
    void Destroy();
    CQxProgrammerMsgServer& MessageServer();

    // The end of a run: told, once, to the CJobControl whose BeginJob
    // began it; a run no CJobControl began tells no CJobControl.
    void RaiseNotifyJobComplete(qint32 result);

    void SetDefaultConfiguration();
    // 0, or the failure n (1 invalid name, 2 invalid value, 3 unsupported
    // name, 4 unsupported value, or the engine's own code).
    qint32 SetJobParameter(const QString& sName, const QString& sValue);
    bool LoadPatternFile(const QString& sPath, qint32 lType);
    void Abort();
    // owner: the CJobControl that began it (told of its end; its client's
    // leaving stops it).
    void BeginJob(qint32 lQuantity, QObject* owner = nullptr);
    // A job was begun and has not completed: queued, or run by the automatic
    // handler's session (which returns at once and ends with JobComplete).
    bool JobQueued() const { return m_bJobQueued || m_bHandlerJob; }
    // The automatic handler's JobComplete: the monitors are told; the
    // CJobControl only when its BeginJob began the handler's session.
    void HandlerJobComplete(qint32 result);
    // A CJobControl's job is going (queued, running or the handler's).
    bool ClientJob() const { return m_bJobQueued || m_bRunningJob || m_bHandlerJob; }
    void DoBeginJob();
    void DispatchCall(const QString& sMethod);
    static QString NiceErrorDescription(qint32 lErrNum);

    // The main window's settings-refresh timer, armed for one tick after a
    // job parameter was set: the tick brings the rows the parameters name up
    // to date once (the operation's name changes no row: its tab is chosen
    // at once) and disarms the timer; every other row stays as the operator
    // left it. The window installs what the tick reaches.
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
    CJobControlImpl();
    ~CJobControlImpl() override;
    void Notify(qint32 result);
    // The client that began the job is gone: a queued job is dropped, a
    // running one stopped as the operator's Stop stops it.
    void EndJobOfGoneClient();
    QList<QObject*> m_live;
    QObject* m_jobOwner = nullptr;
    QObject* m_notifyTarget = nullptr;
    bool m_bRunningJob = false;
    bool m_noticeGiven = false;
    std::unique_ptr<CQxProgrammerMsgServer> m_oMsgServer;
    // A server stopped inside its own DoBeginJob is kept until the next
    // Initialize outside it.
    std::vector<std::unique_ptr<CQxProgrammerMsgServer>> m_retired;
    int m_dispatchDepth = 0;
    bool m_bJobQueued = false;
    bool m_bHandlerJob = false;
    // The automatic handler's job runs silent until its JobComplete.
    std::unique_ptr<ClientJobSilence> m_handlerSilence;
    SettingsRefresh m_settingsRefresh;
    // The engine job parameters set since the last refresh, name and value.
    QList<QPair<QString, QString>> m_changedParameters;
};
