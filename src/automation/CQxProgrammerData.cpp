#include "CQxProgrammerData.h"

#include "AutomationHost.h"
#include "CQxProgrammer.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"

#include <QCoreApplication>

namespace {
AutomationHost* g_host = nullptr;
}

AutomationHost* Host()
{
    return g_host;
}
void SetAutomationHost(AutomationHost* host)
{
    g_host = host;
}

namespace {
// Calls a held arbiter's method by name.
CQxProgrammerData::ArbiterCall CallsOn(const ControlHandle& arbiter)
{
    return [arbiter](const QString& member, QVariantList& args) {
        const int dispid = arbiter->GetIDOfName(member);
        if (dispid < 0)
            return false;
        arbiter->Call(dispid, args);
        return true;
    };
}
} // namespace

CQxProgrammerData& CQxProgrammerData::Instance()
{
    static CQxProgrammerData data;
    return data;
}

CQxProgrammerData::~CQxProgrammerData()
{
    // The arbiters may outlive this object in their handler: they must not
    // call back into it.
    ReleaseDeviceArbiter();
    ReleaseSocketArbiter();
}

void CQxProgrammerData::SetDeviceAutomationArbiter(const QVariant& arbiter)
{
    const ControlHandle object = companion::ObjectOf(arbiter);
    if (object && object == m_deviceArbiterObject)
        return;
    ReleaseDeviceArbiter();
    m_oDeviceAutomationArbiter = arbiter;
    if (!object)
        return;
    m_deviceArbiterObject = object;
    object->SetEventSink(&m_deviceArbiterEvents);
    m_deviceArbiter = CallsOn(object);
}

void CQxProgrammerData::ReleaseDeviceArbiter()
{
    if (m_deviceArbiterObject)
        m_deviceArbiterObject->SetEventSink(nullptr);
    m_deviceArbiterObject.reset();
    m_oDeviceAutomationArbiter = QVariant();
    m_deviceArbiter = {};
}

void CQxProgrammerData::TakeSocketArbiter()
{
    if (m_socketArbiterSource) {
        m_socketArbiter = m_socketArbiterSource();
        return;
    }
    AutomationHost* host = Host();
    if (!host)
        return;
    const ControlHandle object =
        companion::ObjectOf(enginecall::Ask([&] { return host->ThreadCommUtil(); }, QVariant()));
    if (!object)
        return;
    m_socketArbiterObject = object;
    object->SetEventSink(&m_socketArbiterEvents);
    m_socketArbiter = CallsOn(object);
}

void CQxProgrammerData::ReleaseSocketArbiter()
{
    if (m_socketArbiterObject)
        m_socketArbiterObject->SetEventSink(nullptr);
    m_socketArbiterObject.reset();
    m_socketArbiter = {};
}

void CQxProgrammerData::AttachProgrammer(CQxProgrammer* programmer)
{
    m_live.append(programmer);
    // A running job keeps its client's object: the new one waits for the
    // next job.
    if (m_clientJob)
        m_nextProgrammer = programmer;
    else
        SetQxProgrammer(programmer);
}

void CQxProgrammerData::ReleaseProgrammer(CQxProgrammer* programmer)
{
    if (!m_live.removeOne(programmer))
        return;
    const bool stillLive = m_live.contains(programmer);
    if (m_attached && m_current == programmer && !stillLive) {
        m_attached = false;
        m_current = nullptr;
    }
    if (m_nextProgrammer == programmer && !stillLive)
        m_nextProgrammer = nullptr;
    if (m_clientJob && m_jobOwner == programmer && !stillLive)
        EndJobOfGoneClient();
    if (m_live.isEmpty())
        Destroy();
}

void CQxProgrammerData::StartClientJob(CQxProgrammer* owner, const QString& client)
{
    m_jobOwner = owner;
    m_jobClient = client;
    m_clientJob = true;
    m_waitReported = false;
    m_nextProgrammer = nullptr;
}

void CQxProgrammerData::EndClientJob()
{
    m_clientJob = false;
    m_jobOwner = nullptr;
    m_bGotBeginPartials = false;
    // Detached, or handed to the object made during the job.
    SetQxProgrammer(m_nextProgrammer && m_live.contains(m_nextProgrammer) ? m_nextProgrammer : nullptr);
    m_nextProgrammer = nullptr;
}

void CQxProgrammerData::ReportWaitingForClient()
{
    if (!ClientJobRunning() || m_waitReported)
        return;
    m_waitReported = true;
    if (AutomationHost* host = Host())
        host->OperationStatusText(QStringLiteral("Waiting for the automation client ") + m_jobClient
                                  + QStringLiteral(" to place the devices (Stop ends its job)."));
}

void CQxProgrammerData::EndJobOfGoneClient()
{
    AutomationHost* host = Host();
    const QString client = m_jobClient;
    m_jobOwner = nullptr;
    if (!m_bRunningJob) {
        // Not begun yet: it never will.
        m_clientJob = false;
        m_bJobQueued = false;
        if (m_oMsgServer)
            m_oMsgServer->RemoveAllParams();
        return;
    }
    // The session no longer waits for the client: Stop ends it as the
    // operator's Stop would (the handler aborted at once, the run counted
    // as stopped).
    m_clientJob = false;
    if (!host)
        return;
    host->OperationStatusText(QStringLiteral("The automation client ") + client
                              + QStringLiteral(" left during its job: the job is stopped."));
    // Pressed once the release is done, outside the bus's call.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this] {
            if (m_bRunningJob && !m_clientJob) {
                if (AutomationHost* h = Host())
                    h->PressStop();
                // A box the job waits in has nobody left to answer it.
                Ui().CancelOpenBoxes();
            }
        },
        Qt::QueuedConnection);
}

void CQxProgrammerData::SetQxProgrammer(CQxProgrammer* programmer)
{
    m_current = programmer;
    m_attached = programmer != nullptr || m_live.contains(nullptr);
}

void CQxProgrammerData::Initialize()
{
    // A second object keeps the running server: its waiting calls belong to
    // the job of the first.
    if (m_dispatchDepth == 0)
        m_retired.clear();
    if (!m_oMsgServer)
        m_oMsgServer = std::make_unique<CQxProgrammerMsgServer>();
    SetSessionMode(1);
    m_bGotBeginPartials = false;
}

void CQxProgrammerData::Destroy()
{
    if (m_oMsgServer) {
        m_oMsgServer->Desist();
        m_retired.push_back(std::move(m_oMsgServer));
    }
    m_lNumInserted = 0;
    if (AutomationHost* host = Host(); host && host->MainWindowLoaded())
        enginecall::Try([&] { host->SetGuiReady(false); });
    m_attached = false;
    m_current = nullptr;
    m_nextProgrammer = nullptr;
    m_bGotBeginPartials = false;
    m_bJobQueued = false;
}

CQxProgrammerMsgServer& CQxProgrammerData::MessageServer()
{
    if (!m_oMsgServer)
        m_oMsgServer = std::make_unique<CQxProgrammerMsgServer>();
    if (!m_oMsgServer->IsInitialized()) {
        m_oMsgServer->Init({QStringLiteral("DoBeginJob"), QStringLiteral("DoDevicePlaced"),
                            QStringLiteral("DoDevicePicked"), QStringLiteral("DoSiteOpened"),
                            QStringLiteral("DoSiteClosed"), QStringLiteral("DoIncreaseErrors"),
                            QStringLiteral("DoBeginOperationOnPartiallyPopulatedSites"), QStringLiteral("DoAbort")},
                           [this](const QString& name) { DispatchCall(name); });
        m_oMsgServer->SetLog([this](const QString& line) { WriteComLog(line); });
    }
    return *m_oMsgServer;
}

void CQxProgrammerData::EnqueueMethod(const QString& sMethod, const CQxProgrammerMsgServer::ParamList& params)
{
    WriteComLog(QStringLiteral("Got ") + sMethod + QLatin1Char('(') + CQxProgrammerMsgServer::StringizeParams(params)
                + QLatin1Char(')'));
    MessageServer().EnqueueMethodWithParams(sMethod, params);
}

QStringList CQxProgrammerData::TakeQueuedMethods()
{
    if (!m_oMsgServer)
        return {};
    const QStringList names = m_oMsgServer->PendingCalls();
    m_oMsgServer->RemoveAllParams();
    return names;
}

void CQxProgrammerData::DispatchCall(const QString& sMethod)
{
    if (CQxProgrammer* programmer = GetQxProgrammer()) {
        ++m_dispatchDepth;
        programmer->DispatchDeferredCall(sMethod);
        --m_dispatchDepth;
    }
}

void CQxProgrammerData::OnJobComplete()
{
    if (m_oMsgServer)
        m_oMsgServer->RemoveAllParams();
    ReleaseSocketArbiter();
}

void CQxProgrammerData::SetSessionMode(qint32 mode)
{
    m_lSessionMode = mode;
    if (mode != 2) {
        ReleaseSocketArbiter();
        if (mode == 0)
            ReleaseDeviceArbiter();
    } else if (!m_socketArbiter) {
        TakeSocketArbiter();
    }
}

bool CQxProgrammerData::CallDeviceArbiter(const QString& member, QVariantList args)
{
    return m_deviceArbiter && m_deviceArbiter(member, args);
}

bool CQxProgrammerData::CallSocketArbiter(const QString& member, QVariantList args)
{
    return m_socketArbiter && m_socketArbiter(member, args);
}

void CQxProgrammerData::WriteComLog(const QString& text)
{
    if (!m_bShouldLog)
        return;
    if (AutomationHost* host = Host())
        host->WriteLogInfo(QStringLiteral("COM: ") + text);
}

void CQxProgrammerData::DoubleAbort()
{
    CallSocketArbiter(QStringLiteral("NotifyDoubleAbort"));
    if (m_doubleAbort)
        m_doubleAbort();
}

void CQxProgrammerData::SetThreadCommUtilPtr(qint32 value)
{
    m_lThreadCommUtilPtr = value;
    enginecall::Try([&] { CallSocketArbiter(QStringLiteral("AttachThreadCommUtil"), {value}); });
    if (m_threadComm)
        m_threadComm(value);
}

void CQxProgrammerData::SetThreadCommTarget(std::function<void(qint32)> target)
{
    m_threadComm = std::move(target);
    // A value that came before the object existed reaches it now.
    if (m_threadComm && m_lThreadCommUtilPtr != 0)
        m_threadComm(m_lThreadCommUtilPtr);
}
