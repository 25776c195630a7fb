#include "CJobControlImpl.h"

#include "AutomationErrors.h"
#include "AutomationHost.h"
#include "CJobMonitorImpl.h"
#include "ClientJobSilence.h"
#include "operation/RunResults.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"

#include <QCoreApplication>

namespace {
const QString kCustomOptions = QStringLiteral("DeviceCustomOptions.");
const QString kDeviceConfig = QStringLiteral("DeviceConfig.");
} // namespace

CJobControlImpl::CJobControlImpl() = default;
CJobControlImpl::~CJobControlImpl() = default;

CJobControlImpl& CJobControlImpl::Instance()
{
    static CJobControlImpl impl;
    return impl;
}

void CJobControlImpl::Attach(QObject* object)
{
    m_live.append(object);
}

void CJobControlImpl::Release(QObject* object)
{
    if (!m_live.removeOne(object))
        return;
    if (object && object == m_jobOwner && !m_live.contains(object))
        EndJobOfGoneClient();
    if (m_live.isEmpty())
        Destroy();
}

void CJobControlImpl::EndJobOfGoneClient()
{
    m_jobOwner = nullptr;
    if (m_bJobQueued) {
        // Not begun yet: it never will.
        m_bJobQueued = false;
        if (m_oMsgServer)
            m_oMsgServer->RemoveAllParams();
        return;
    }
    if (!m_bRunningJob && !m_bHandlerJob)
        return;
    AutomationHost* host = Host();
    if (!host)
        return;
    host->OperationStatusText(QStringLiteral("The automation client of the running job left: the job is stopped."));
    // Pressed once the release is done, outside the bus's call.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if ((m_bRunningJob || m_bHandlerJob) && !m_jobOwner) {
                if (AutomationHost* h = Host())
                    h->PressStop();
                // A box the job waits in has nobody left to answer it.
                Ui().CancelOpenBoxes();
            }
        },
        Qt::QueuedConnection);
}

void CJobControlImpl::Initialize()
{
    if (m_dispatchDepth == 0)
        m_retired.clear();
    MessageServer();
}

void CJobControlImpl::Destroy()
{
    if (m_oMsgServer) {
        m_oMsgServer->Desist();
        m_retired.push_back(std::move(m_oMsgServer));
    }
    m_bJobQueued = false;
    if (AutomationHost* host = Host(); host && host->MainWindowLoaded())
        enginecall::Try([&] { host->SetGuiReady(false); });
}

CQxProgrammerMsgServer& CJobControlImpl::MessageServer()
{
    if (!m_oMsgServer)
        m_oMsgServer = std::make_unique<CQxProgrammerMsgServer>();
    if (!m_oMsgServer->IsInitialized())
        m_oMsgServer->Init({QStringLiteral("DoBeginJob")}, [this](const QString& name) { DispatchCall(name); });
    return *m_oMsgServer;
}

void CJobControlImpl::Notify(qint32 result)
{
    m_noticeGiven = true;
    m_notifyTarget = m_jobOwner;
    if (JobCntrlInstantiated())
        emit NotifyJobComplete(result);
    m_notifyTarget = nullptr;
}

void CJobControlImpl::RaiseNotifyJobComplete(qint32 result)
{
    if (m_bRunningJob && !m_noticeGiven)
        Notify(result);
}

void CJobControlImpl::HandlerJobComplete(qint32 result)
{
    if (m_bHandlerJob) {
        m_bHandlerJob = false;
        m_handlerSilence.reset();
        Notify(result);
        m_jobOwner = nullptr;
    }
    CJobMonitorImpl::Instance().RaiseNotifyJobComplete(result);
}

void CJobControlImpl::SetDefaultConfiguration()
{
    if (AutomationHost* host = Host())
        host->SetDefaultConfiguration();
}

qint32 CJobControlImpl::SetJobParameter(const QString& sName, const QString& sValue)
{
    AutomationHost* host = Host();
    if (!host)
        return 3;
    if (sName.startsWith(kCustomOptions)) {
        if (sValue != QLatin1String("ENABLE") && sValue != QLatin1String("DISABLE"))
            return 2;
        return host->SetCustomOption(sName.mid(kCustomOptions.size()), sValue == QLatin1String("ENABLE")) ? 0 : 1;
    }
    if (sName.startsWith(kDeviceConfig)) {
        if (host->ExtraCommandCount() == 0)
            return 3;
        return host->RunExtraCommand(sName.mid(kDeviceConfig.size()), sValue);
    }
    const qint32 result = host->ApplyJobParameter(sName, sValue);
    if (result == 0) {
        // A name set again is refreshed once, with its last value and in
        // its last place (a later parameter may name the same row).
        m_changedParameters.removeIf([&](const QPair<QString, QString>& p) { return p.first == sName; });
        m_changedParameters.append({sName, sValue});
        host->ArmSettingsRefresh();
        if (sName == QLatin1String("DeviceOptions.Operation"))
            host->SelectJobTab();
    }
    return result;
}

bool CJobControlImpl::LoadPatternFile(const QString& sPath, qint32 lType)
{
    AutomationHost* host = Host();
    return host && host->LoadPatternFile(sPath, lType);
}

void CJobControlImpl::Abort()
{
    if (AutomationHost* host = Host())
        host->PressStop();
    // A client's job that waits in a box or dialog takes its cancel way.
    if (m_bRunningJob || m_bHandlerJob)
        Ui().CancelOpenBoxes();
}

void CJobControlImpl::BeginJob(qint32 lQuantity, QObject* owner)
{
    m_jobOwner = owner;
    m_bJobQueued = true;
    MessageServer().EnqueueMethodWithParams(QStringLiteral("DoBeginJob"), {{QStringLiteral("lQuantity"), lQuantity}});
}

void CJobControlImpl::DispatchCall(const QString& sMethod)
{
    if (sMethod != QLatin1String("DoBeginJob"))
        return;
    ++m_dispatchDepth;
    DoBeginJob();
    --m_dispatchDepth;
}

void CJobControlImpl::DoBeginJob()
{
    m_bJobQueued = false;
    AutomationHost* host = Host();
    if (!host || !m_oMsgServer) {
        m_jobOwner = nullptr;
        return;
    }
    const auto params = m_oMsgServer->GetParams(QStringLiteral("DoBeginJob"));
    // Nobody need be at the screen: the job never waits on a box. The
    // handler's session stays silent until its JobComplete.
    auto silence = std::make_unique<ClientJobSilence>();
    host->SetQuantityText(CQxProgrammerMsgServer::Param(params, QStringLiteral("lQuantity")).toString());
    OnSettingsRefreshTimer();
    if (enginecall::Ask([&] { return host->HandlerType(); }, 0) != 0) {
        // In Autohandler mode the job is the handler's session, started as
        // the Action button starts it; the handler's JobComplete ends it.
        m_bHandlerJob = true;
        m_noticeGiven = false;
        m_handlerSilence = std::move(silence);
        if (!enginecall::Ask([&] { return host->StartHandlerSession(); }, false) && m_bHandlerJob) {
            // No session runs, so no JobComplete will come: the job ends here.
            HandlerJobComplete(RunResult::CallFailed);
        }
        return;
    }
    // The run ends by raising NotifyJobComplete with its result; a run that
    // could not even start still ends the job with its notice.
    m_bRunningJob = true;
    m_noticeGiven = false;
    const qint32 result = enginecall::Ask([&] { return host->ExecuteOperation(); }, qint32(RunResult::CallFailed));
    silence.reset();
    if (!m_noticeGiven) {
        // Busy: a run of the operator's started first; this job ran nothing.
        Notify(result);
        if (result != RunResult::Busy)
            CJobMonitorImpl::Instance().RaiseNotifyJobComplete(result);
    }
    m_bRunningJob = false;
    m_jobOwner = nullptr;
}

QString CJobControlImpl::NiceErrorDescription(qint32 lErrNum)
{
    switch (lErrNum) {
    case automationerrors::kInvalidParamName: return QStringLiteral("The parameter name is invalid.");
    case automationerrors::kInvalidParamValue: return QStringLiteral("The parameter value is invalid.");
    case automationerrors::kUnsupportedParamName:
        return QStringLiteral("The parameter name is unsupported by the current Tarvo/hardware configuration.");
    case automationerrors::kUnsupportedParamValue:
        return QStringLiteral("The parameter value is unsupported by the current Tarvo/hardware configuration.");
    default: return {};
    }
}

void CJobControlImpl::OnSettingsRefreshTimer()
{
    // A tick of a timer nobody armed (or no window to refresh) does nothing.
    if (!m_settingsRefresh.armed || !m_settingsRefresh.armed())
        return;
    const auto changed = std::exchange(m_changedParameters, {});
    if (AutomationHost* host = Host()) {
        for (const auto& [name, value] : changed) {
            if (name == QLatin1String("DeviceOptions.Operation"))
                continue;
            // "DeviceOptions.Blank Check" names the row offering "Blank Check".
            static const QStringList kOff{QStringLiteral("DISABLE"), QStringLiteral("FALSE"), QStringLiteral("OFF"),
                                          QStringLiteral("NO"), QStringLiteral("0")};
            const bool enable = !kOff.contains(value.trimmed().toUpper());
            enginecall::Try([&] { host->RefreshOption(name.section(QLatin1Char('.'), -1), enable); });
        }
    }
    if (m_settingsRefresh.refresh)
        m_settingsRefresh.refresh();
    if (m_settingsRefresh.disarm)
        m_settingsRefresh.disarm();
}
