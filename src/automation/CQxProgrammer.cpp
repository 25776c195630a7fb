#include "CQxProgrammer.h"

#include "AutomationHost.h"
#include "CJobControlImpl.h"
#include "CQxProgrammerData.h"
#include "ClientJobSilence.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/cRegistry.h"

#include <QDBusMessage>
#include <QPointer>

namespace {
using Params = CQxProgrammerMsgServer::ParamList;
constexpr int kQuantityRefused = 154;
constexpr int kRunAgain = 153;
constexpr int kMaxDevices = 65535;

void LogCom(const QString& text)
{
    CQxProgrammerData::Instance().WriteComLog(text);
}
} // namespace

CQxProgrammer::CQxProgrammer(QObject* parent)
    : AutomationObject(parent)
{
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    if (data.LiveCount() == 0)
        data.Initialize();
    data.AttachProgrammer(this);
    data.MessageServer();
    AutomationHost* host = Host();
    m_started = host && host->EnsureMainWindow(false);
    if (m_started)
        enginecall::Try([&] { host->SetGuiReady(true); });
}

CQxProgrammer::~CQxProgrammer()
{
    CQxProgrammerData::Instance().ReleaseProgrammer(this);
}

QString CQxProgrammer::StatusName(int status)
{
    static const char* const kWords[] = {"PASSED", "FAILED", "IDLE",        "ACTIVE",
                                         "READY",  "NA",     "ReadyToPICK", "ReadyToBePLACED"};
    if (status < 0 || status > 7)
        return QStringLiteral("UNKNOWN!!!");
    return QString::fromLatin1(kWords[status]);
}

bool CQxProgrammer::ReadLogComSwitch()
{
    cRegistry reg;
    return reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo"),
                       QStringLiteral("LogComTransactions"), cRegistry::REG_DWORD, 0)
               .toInt()
        != 0;
}

void CQxProgrammer::BeginJob(int lNumDevices, const QString& sQxFile)
{
    BeginCall();
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    AutomationHost* host = Host();
    // One job at a time: a second one would run inside the first, on its
    // sites and counters.
    if (data.m_bJobQueued || data.RunningJob() || CJobControlImpl::Instance().JobQueued()
        || (host && host->RunInProgress())) {
        Fail(automationerrors::Named(QStringLiteral("JobRunning"), QStringLiteral("A job is already running.")));
        return;
    }
    data.SetQxProgrammer(this);
    data.StartClientJob(this, calledFromDBus() ? message().service() : QStringLiteral("in this process"));
    try {
        if (host)
            host->SetGuiReady(true);
    } catch (const AutomationError& error) {
        data.EndClientJob();
        Fail(automationerrors::ForAutomation(error));
        return;
    }
    data.SetShouldLog(ReadLogComSwitch());
    data.OnJobBegin();
    data.m_bJobQueued = true;
    data.EnqueueMethod(QStringLiteral("DoBeginJob"),
                       {{QStringLiteral("lNumDevices"), lNumDevices}, {QStringLiteral("sJobFile"), sQxFile}});
}

void CQxProgrammer::QueueWhileRunning(const QString& name, int value, const QString& key)
{
    BeginCall();
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    // Only the job's own client places into its sockets.
    if (data.RunningJob() && data.GetQxProgrammer() == this)
        data.EnqueueMethod(name, {{key, value}});
}

void CQxProgrammer::DevicePlaced(int lSiteNumber)
{
    QueueWhileRunning(QStringLiteral("DoDevicePlaced"), lSiteNumber, QStringLiteral("lSiteNumber"));
}

void CQxProgrammer::DevicePicked(int lSiteNumber)
{
    QueueWhileRunning(QStringLiteral("DoDevicePicked"), lSiteNumber, QStringLiteral("lSiteNumber"));
}

void CQxProgrammer::SiteClosed(int lSiteNumber)
{
    QueueWhileRunning(QStringLiteral("DoSiteClosed"), lSiteNumber, QStringLiteral("lSiteNumber"));
}

void CQxProgrammer::SiteOpened(int lSiteNumber)
{
    QueueWhileRunning(QStringLiteral("DoSiteOpened"), lSiteNumber, QStringLiteral("lSiteNumber"));
}

void CQxProgrammer::IncreaseErrors(int lBy)
{
    QueueWhileRunning(QStringLiteral("DoIncreaseErrors"), lBy, QStringLiteral("lBy"));
}

void CQxProgrammer::Abort()
{
    BeginCall();
    LogCom(QStringLiteral("Got Abort()"));
    if (AutomationHost* host = Host())
        host->PressStop();
    // A client's job that waits in a box or dialog takes its cancel way.
    if (CQxProgrammerData::Instance().RunningJob())
        Ui().CancelOpenBoxes();
}

void CQxProgrammer::SetSocaMode(int lMode)
{
    BeginCall();
    LogCom(QStringLiteral("Got SetSocaMode(%1)").arg(lMode));
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    if (data.RunningJob())
        return;
    if (lMode == 0)
        data.SetSessionMode(1);
    else if (lMode == 1)
        data.SetSessionMode(2);
}

QDBusVariant CQxProgrammer::GetErrorMessage(int lErrorCode)
{
    BeginCall();
    try {
        if (AutomationHost* host = Host())
            return QDBusVariant(host->ErrorMessageText(lErrorCode));
    } catch (const AutomationError& error) {
        Fail(automationerrors::ForAutomation(error));
    }
    return QDBusVariant(QString());
}

QString CQxProgrammer::LaunchHelp(const QString& sTopic)
{
    BeginCall();
    LogCom(QStringLiteral("Got LaunchHelp(") + sTopic + QLatin1Char(')'));
    QString topic = sTopic;
    if (AutomationHost* host = Host())
        host->LaunchHelp(topic);
    return topic;
}

void CQxProgrammer::BeginOperationOnPartiallyPopulatedSites()
{
    BeginCall();
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    data.m_bGotBeginPartials = true;
    LogCom(QStringLiteral("Got BeginOperationOnPartiallyPopulatedSites()"));
    if (data.RunningJob())
        data.EnqueueMethod(QStringLiteral("DoBeginOperationOnPartiallyPopulatedSites"), {});
}

void CQxProgrammer::DispatchDeferredCall(const QString& sMethod)
{
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    const Params params = data.GetParams(sMethod);
    const auto site = [&] { return CQxProgrammerMsgServer::Param(params, QStringLiteral("lSiteNumber")).toInt(); };
    // Arbiters are outside controls: a failed call must not end the pump
    // that delivered this one.
    enginecall::Try([&] {
        if (sMethod == QLatin1String("DoBeginJob"))
            DoBeginJob();
        else if (sMethod == QLatin1String("DoDevicePlaced") && data.RunningJob())
            data.CallDeviceArbiter(QStringLiteral("NotifyDevicePlaced"), {site() + 1});
        else if (sMethod == QLatin1String("DoDevicePicked") && data.RunningJob())
            data.CallDeviceArbiter(QStringLiteral("NotifyDevicePicked"), {site() + 1});
        else if (sMethod == QLatin1String("DoSiteClosed") && data.RunningJob())
            data.CallSocketArbiter(QStringLiteral("NotifySiteClosed"), {site()});
        else if (sMethod == QLatin1String("DoSiteOpened") && data.RunningJob())
            data.CallSocketArbiter(QStringLiteral("NotifySiteOpened"), {site()});
        else if (sMethod == QLatin1String("DoIncreaseErrors") && data.RunningJob())
            data.CallDeviceArbiter(QStringLiteral("NotifyErrorsIncreased"),
                                   {CQxProgrammerMsgServer::Param(params, QStringLiteral("lBy")).toInt()});
        else if (sMethod == QLatin1String("DoBeginOperationOnPartiallyPopulatedSites"))
            data.CallDeviceArbiter(QStringLiteral("NotifyBeginPartialSites"));
        else if (sMethod == QLatin1String("DoAbort")) {
            if (AutomationHost* host = Host())
                host->AbortSession();
        }
    });
}

void CQxProgrammer::DoBeginJob()
{
    CQxProgrammerData& data = CQxProgrammerData::Instance();
    data.m_bJobQueued = false;
    const Params params = data.GetParams(QStringLiteral("DoBeginJob"));
    const int devices = CQxProgrammerMsgServer::Param(params, QStringLiteral("lNumDevices")).toInt();
    const QString jobFile = CQxProgrammerMsgServer::Param(params, QStringLiteral("sJobFile")).toString();
    AutomationHost* host = Host();
    // The client may leave while its job runs: the job goes on (to its end
    // or the operator's Stop), but this object is gone.
    const QPointer<CQxProgrammer> self(this);
    int result = kQuantityRefused;
    // A quantity the quantity box cannot hold is refused before anything is
    // loaded, and so is a negative one. 0 asks for as many devices as the
    // client brings: up to the most a job takes.
    if (host && devices >= 0 && devices <= kMaxDevices) {
        // Nobody need be at the screen: the job never waits on a box.
        const ClientJobSilence silence;
        host->SetQuantityText(QString::number(devices == 0 ? kMaxDevices : devices));
        result = enginecall::Ask([&] { return host->LoadQxFile(jobFile); }, -1);
        if (result == 0) {
            data.SetRunningJob(true);
            do {
                result = host->ExecuteOperation();
            } while (result == kRunAgain);
            data.SetRunningJob(false);
        }
    }
    data.OnJobComplete();
    if (self) {
        LogCom(QStringLiteral("Raising NotifyJobComplete(%1)").arg(result));
        emit NotifyJobComplete(result);
    }
    data.EndClientJob();
}

void CQxProgrammer::FireSocketStatusChanged(int socket, int status, int failCode, int passed, int failed, int active,
                                            int ready)
{
    if (!CQxProgrammerData::Instance().RunningJob())
        return;
    LogCom(QStringLiteral("Raising NotifySocketStatusChanged(%1,%2,%3,%4,%5,%6,%7)")
               .arg(socket)
               .arg(StatusName(status))
               .arg(failCode)
               .arg(passed)
               .arg(failed)
               .arg(active)
               .arg(ready));
    emit NotifySocketStatusChanged(socket, status, failCode, passed, failed, active, ready);
}

void CQxProgrammer::RaiseNotifyCloseSite(int lSiteNumber)
{
    if (!CQxProgrammerData::Instance().RunningJob())
        return;
    LogCom(QStringLiteral("Raising NotifyCloseSite(%1)").arg(lSiteNumber));
    emit NotifyCloseSite(lSiteNumber);
}

void CQxProgrammer::RaiseNotifyOpenSite(int lSiteNumber)
{
    if (!CQxProgrammerData::Instance().RunningJob())
        return;
    LogCom(QStringLiteral("Raising NotifyOpenSite(%1)").arg(lSiteNumber));
    emit NotifyOpenSite(lSiteNumber);
}
