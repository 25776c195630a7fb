#pragma once

// The process-wide state behind the CQxProgrammer automation class: whether a
// client holds a CQxProgrammer object, the job it runs, the devices waiting
// in sockets, the deferred calls queued for the GUI thread and the site event
// relay. Created on first use; the operation window reports its run here.

#include "CFireEvent.h"
#include "CQxProgrammerMsgServer.h"
#include "DeviceArbiterEvents.h"
#include "SocketArbiterEvents.h"
#include "platform/Companion.h"

#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class CQxProgrammer;

class CQxProgrammerData
{
public:
    static CQxProgrammerData& Instance();

    // A client created (or released) a CQxProgrammer object. The live set
    // holds every object; the attached one (the last created, or the one
    // whose BeginJob ran) gets the events. While a job is queued or runs its
    // object keeps the events: one created meanwhile is attached when the
    // job ends, for the next job. Releasing another object leaves the
    // attached one; releasing the job's own object ends its job as stopped;
    // releasing the last one stops the deferred-call server.
    void AttachProgrammer(CQxProgrammer* programmer = nullptr);
    void ReleaseProgrammer(CQxProgrammer* programmer = nullptr);
    bool QxProgrammerInstantiated() const { return m_attached; }
    void SetQxProgrammer(CQxProgrammer* programmer);
    CQxProgrammer* GetQxProgrammer() const { return m_attached ? m_current : nullptr; }
    qsizetype LiveCount() const { return m_live.size(); }

    // A new server, session mode 1, the partial-sites flag down.
    void Initialize();
    // The server stopped, no devices waiting, the engine told the automation
    // GUI is gone, nothing attached.
    void Destroy();
    CQxProgrammerMsgServer& MessageServer();

    // Deferred calls: logged as "Got name(params)", posted with their
    // parameters, run later as the attached object's Do... body.
    void EnqueueMethod(const QString& sMethod, const CQxProgrammerMsgServer::ParamList& params);
    CQxProgrammerMsgServer::ParamList GetParams(const QString& sMethod) { return MessageServer().GetParams(sMethod); }
    void DispatchCall(const QString& sMethod);

    // The end of a job: its waiting calls are voided.
    void OnJobComplete();
    void OnJobBegin() { SetSessionMode(m_lSessionMode); }

    void SetShouldLog(bool on) { m_bShouldLog = on; }
    bool GetShouldLog() const { return m_bShouldLog; }
    // "COM: " + text to the station's log, while logging is on.
    void WriteComLog(const QString& text);

    bool m_bGotBeginPartials = false;
    // BeginJob returned and its job has not yet started.
    bool m_bJobQueued = false;

    // The automation arbiters of the concurrent manual-handler session, as
    // calls by member name; False when the arbiter is not held (the body
    // then does nothing). The socket arbiter is taken in session mode 2 from
    // its source (the manual handler's ThreadCommUtil, through the host,
    // unless a source is set) and released in the other modes and at the
    // end of a job. The arbiters' events are bound while they are held.
    using ArbiterCall = std::function<bool(const QString& member, QVariantList& args)>;
    void SetDeviceArbiterCall(ArbiterCall call) { m_deviceArbiter = std::move(call); }
    void SetSocketArbiterSource(std::function<ArbiterCall()> source) { m_socketArbiterSource = std::move(source); }
    bool CallDeviceArbiter(const QString& member, QVariantList args = {});
    bool CallSocketArbiter(const QString& member, QVariantList args = {});
    bool SocketArbiterHeld() const { return bool(m_socketArbiter); }

    void SetRunningJob(bool running) { m_bRunningJob = running; }
    bool RunningJob() const { return m_bRunningJob; }

    // The job a client's BeginJob queued: its object (which keeps the
    // events until the job ends) and the client's bus name for the status
    // lines. EndClientJob attaches the object created meanwhile, if any.
    void StartClientJob(CQxProgrammer* owner, const QString& client);
    void EndClientJob();
    // A client's job runs and its client is still there: the run is its
    // session (its session mode, its placements, its abort). An idle object
    // holds up nobody's run.
    bool ClientJobRunning() const { return m_bRunningJob && m_clientJob; }
    QString JobClient() const { return m_jobClient; }
    // Says once per job that the session waits for the client's devices.
    void ReportWaitingForClient();

    // A second Stop: passed to the programmer object when one is set.
    void DoubleAbort();
    void SetDoubleAbortTarget(std::function<void()> target) { m_doubleAbort = std::move(target); }

    // Queues a deferred call, run later on the GUI thread as the Do... method
    // of that name; the message server takes the queue.
    void EnqueueMethod(const QString& name) { EnqueueMethod(name, {}); }
    // The calls posted and not yet run, which are voided.
    QStringList TakeQueuedMethods();

    CFireEvent& FireEvent() { return m_oFireEvent; }

    // Devices waiting in sockets: up when a site is ready, down when it
    // becomes active. A site that turns active without having been ready
    // does not take the count below 0.
    void IncrementInserted() { ++m_lNumInserted; }
    void DecrementInserted()
    {
        if (m_lNumInserted > 0)
            --m_lNumInserted;
    }
    qint32 NumInserted() const { return m_lNumInserted; }
    void SetNumInserted(qint32 count) { m_lNumInserted = count; }

    // The session mode of the client's job, 0 (the operator fills the
    // sockets) for any other run.
    qint32 SessionMode() const { return ClientJobRunning() ? m_lSessionMode : 0; }
    // 0 no session, 1 plain, 2 socket automation.
    void SetSessionMode(qint32 mode);
    qint32 StoredSessionMode() const { return m_lSessionMode; }

    // From the manual-handler control: the value for the automation layer's
    // thread-communication object (handed over when that object exists; kept
    // until then) and the device-automation arbiter.
    void SetThreadCommUtilPtr(qint32 value);
    qint32 ThreadCommUtilPtr() const { return m_lThreadCommUtilPtr; }
    void SetThreadCommTarget(std::function<void(qint32)> target);
    // An object value; anything else leaves no device arbiter held.
    void SetDeviceAutomationArbiter(const QVariant& arbiter);
    QVariant DeviceAutomationArbiter() const { return m_oDeviceAutomationArbiter; }

private:
    CQxProgrammerData() = default;
    ~CQxProgrammerData();
    void ReleaseDeviceArbiter();
    void ReleaseSocketArbiter();
    void TakeSocketArbiter();
    // The client that began the job is gone: a queued job is dropped, a
    // running one stopped as the operator's Stop stops it.
    void EndJobOfGoneClient();

    QList<CQxProgrammer*> m_live;
    CQxProgrammer* m_current = nullptr;
    bool m_attached = false;
    CQxProgrammer* m_jobOwner = nullptr;
    CQxProgrammer* m_nextProgrammer = nullptr;
    bool m_clientJob = false;
    bool m_waitReported = false;
    QString m_jobClient;
    std::unique_ptr<CQxProgrammerMsgServer> m_oMsgServer;
    // Servers stopped while one of their calls may still be running: kept
    // until the next Initialize outside any call.
    std::vector<std::unique_ptr<CQxProgrammerMsgServer>> m_retired;
    int m_dispatchDepth = 0;
    bool m_bShouldLog = false;
    ArbiterCall m_deviceArbiter;
    ArbiterCall m_socketArbiter;
    std::function<ArbiterCall()> m_socketArbiterSource;
    bool m_bRunningJob = false;
    qint32 m_lNumInserted = 0;
    qint32 m_lSessionMode = 1;
    std::function<void()> m_doubleAbort;
    qint32 m_lThreadCommUtilPtr = 0;
    std::function<void(qint32)> m_threadComm;
    QVariant m_oDeviceAutomationArbiter;
    ControlHandle m_deviceArbiterObject;
    ControlHandle m_socketArbiterObject;
    DeviceArbiterEvents m_deviceArbiterEvents;
    SocketArbiterEvents m_socketArbiterEvents;
    CFireEvent m_oFireEvent;
};
