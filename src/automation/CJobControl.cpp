#include "CJobControl.h"

#include "AutomationHost.h"
#include "CJobControlImpl.h"
#include "CQxProgrammerData.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"

#include <QFileInfo>

namespace {
const QString kSource = QStringLiteral("CJobControl");
constexpr int kMaxManualQuantity = 65535;
} // namespace

CJobControl::CJobControl(QObject* parent)
    : AutomationObject(parent)
{
    CJobControlImpl& impl = CJobControlImpl::Instance();
    impl.Initialize();
    impl.Attach(this);
    // Only the object whose BeginJob began the job hears its end.
    connect(&impl, &CJobControlImpl::NotifyJobComplete, this, [this](qint32 result) {
        if (CJobControlImpl::Instance().NotifyTarget() == this)
            emit NotifyJobComplete(result);
    });
    AutomationHost* host = Host();
    m_started = host && host->EnsureMainWindow(false);
    if (m_started) {
        enginecall::Try([&] { host->SetGuiReady(true); });
        enginecall::Try([&] { host->AttachJobControl(); });
    }
}

CJobControl::~CJobControl()
{
    CJobControlImpl::Instance().Release(this);
}

bool CJobControl::IsFileType(int lType)
{
    return (lType >= 0 && lType <= 17) || lType == 255;
}

template <class F>
bool CJobControl::Guard(F&& f)
{
    try {
        f();
        return true;
    } catch (const AutomationError& error) {
        Fail(automationerrors::ForAutomation(error));
        return false;
    }
}

bool CJobControl::RaiseJobControlError(bool ok, qint32 code, const QString& text)
{
    if (ok)
        return true;
    if (AutomationHost* host = Host())
        host->OperationStatusText(QStringLiteral("CJobControl Error: ") + text);
    Fail(automationerrors::ForCode(code, kSource, text));
    return false;
}

bool CJobControl::RequireFileExists(const QString& sPath)
{
    return RaiseJobControlError(QFileInfo(sPath).isFile(), automationerrors::kFileNotFound,
                                QStringLiteral("The file ") + sPath + QStringLiteral(" could not be accessed."));
}

bool CJobControl::RequireAutoHandlerMode()
{
    AutomationHost* host = Host();
    return RaiseJobControlError(host && host->HandlerType() != 0, automationerrors::kAutoHandlerModeRequired,
                                QStringLiteral("This method requires Tarvo to be in Autohandler mode."));
}

void CJobControl::SetDefaultConfiguration()
{
    BeginCall();
    Guard([] { CJobControlImpl::Instance().SetDefaultConfiguration(); });
}

void CJobControl::SetJobParameter(const QString& sName, const QString& sValue)
{
    BeginCall();
    qint32 n = 0;
    if (!Guard([&] { n = CJobControlImpl::Instance().SetJobParameter(sName, sValue); }) || n == 0)
        return;
    const qint32 code = qint32(quint32(automationerrors::kJobParamBase) + quint32(n));
    Fail(automationerrors::ForJobParameter(n, kSource, CJobControlImpl::NiceErrorDescription(code)));
}

void CJobControl::LoadPatternFile(const QString& sPath, int lType)
{
    BeginCall();
    if (!RequireFileExists(sPath))
        return;
    // A code that names no format is refused before anything is loaded: the
    // buffer keeps what it holds.
    if (!RaiseJobControlError(IsFileType(lType), automationerrors::kErrorLoadingFile,
                              QStringLiteral("There was a problem loading the pattern file.")))
        return;
    bool ok = false;
    if (!Guard([&] { ok = CJobControlImpl::Instance().LoadPatternFile(sPath, lType); }))
        return;
    RaiseJobControlError(ok, automationerrors::kErrorLoadingFile,
                         QStringLiteral("There was a problem loading the pattern file."));
}

void CJobControl::Abort()
{
    BeginCall();
    Guard([] { CJobControlImpl::Instance().Abort(); });
}

void CJobControl::BeginJob(int lQuantity)
{
    BeginCall();
    AutomationHost* host = Host();
    const CQxProgrammerData& programmer = CQxProgrammerData::Instance();
    // One job at a time, whoever began the running one.
    if (CJobControlImpl::Instance().JobQueued() || programmer.m_bJobQueued || programmer.RunningJob()
        || (host && host->RunInProgress())) {
        Fail(automationerrors::Named(QStringLiteral("JobRunning"), QStringLiteral("A job is already running.")));
        return;
    }
    // The quantity box's range: at least one device, at most 65535 unless
    // the automatic handler counts them. Anything else would be a job of no
    // end (or a box no client can answer).
    const bool automatic = host && enginecall::Ask([&] { return host->HandlerType(); }, 0) != 0;
    if (lQuantity < 1 || (lQuantity > kMaxManualQuantity && !automatic)) {
        Fail(automationerrors::ForCode(automationerrors::kInvalidParamValue, kSource,
                                       CJobControlImpl::NiceErrorDescription(automationerrors::kInvalidParamValue)));
        return;
    }
    CJobControlImpl::Instance().BeginJob(lQuantity, this);
}

void CJobControl::LoadQxFile(const QString& sPath)
{
    BeginCall();
    if (!RequireFileExists(sPath))
        return;
    bool ok = false;
    if (!Guard([&] { ok = Host() && Host()->ExecLoadJobCmd(sPath); }))
        return;
    RaiseJobControlError(ok, automationerrors::kErrorLoadingFile,
                         QStringLiteral("There was a problem loading the .qx file."));
}

void CJobControl::SaveQxFile(const QString& sPath)
{
    BeginCall();
    bool ok = false;
    if (!Guard([&] { ok = Host() && Host()->SaveQxFile(sPath); }))
        return;
    RaiseJobControlError(ok, automationerrors::kErrorSavingFile,
                         QStringLiteral("There was a problem saving the .qx file."));
}

void CJobControl::LoadAqxFile(const QString& sPath)
{
    BeginCall();
    if (!RequireAutoHandlerMode() || !RequireFileExists(sPath))
        return;
    bool ok = false;
    if (!Guard([&] { ok = Host()->LoadHandlerJobFile(sPath); }))
        return;
    RaiseJobControlError(ok, automationerrors::kErrorLoadingFile,
                         QStringLiteral("There was a problem loading the .aqx file."));
}

void CJobControl::SaveAqxFile(const QString& sPath)
{
    BeginCall();
    if (!RequireAutoHandlerMode())
        return;
    bool ok = false;
    if (!Guard([&] { ok = Host()->SaveHandlerJobFile(sPath); }))
        return;
    RaiseJobControlError(ok, automationerrors::kErrorSavingFile,
                         QStringLiteral("There was a problem saving the .aqx file."));
}
