#include "CQxProgrammerData.h"

#include "AutomationHost.h"
#include "CQxProgrammer.h"
#include "platform/EngineCall.h"

namespace {
AutomationHost* g_host = nullptr;
}

AutomationHost* Host() { return g_host; }
void SetAutomationHost(AutomationHost* host) { g_host = host; }

CQxProgrammerData& CQxProgrammerData::Instance()
{
    static CQxProgrammerData data;
    return data;
}

void CQxProgrammerData::AttachProgrammer(CQxProgrammer* programmer)
{
    m_live.append(programmer);
    SetQxProgrammer(programmer);
}

void CQxProgrammerData::ReleaseProgrammer(CQxProgrammer* programmer)
{
    if (!m_live.removeOne(programmer))
        return;
    if (m_attached && m_current == programmer && !m_live.contains(programmer)) {
        m_attached = false;
        m_current = nullptr;
    }
    if (m_live.isEmpty())
        Destroy();
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
    m_socketArbiter = {};
}

void CQxProgrammerData::SetSessionMode(qint32 mode)
{
    m_lSessionMode = mode;
    if (mode != 2) {
        m_socketArbiter = {};
        if (mode == 0)
            m_deviceArbiter = {};
    } else if (!m_socketArbiter && m_socketArbiterSource) {
        m_socketArbiter = m_socketArbiterSource();
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
    CallSocketArbiter(QStringLiteral("AttachThreadCommUtil"), {value});
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
