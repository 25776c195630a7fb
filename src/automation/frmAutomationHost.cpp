#include "frmAutomationHost.h"

#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/JobFiles.h"
#include "platform/EngineCall.h"
#include "mainwindow/Station.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "settings/ProgrammerClass.h"
#include "shell/StartUp.h"

#include <QLineEdit>
#include <QTimer>

namespace {
constexpr int kSettingsRefreshDelayMs = 250;
constexpr qint32 kLoadBufferCommand = 6;
// What a job action answers while no station stands to run it.
constexpr qint32 kNoStation = -1;

} // namespace

bool frmAutomationHost::Up() const
{
    return m_station && gMainForm && gMainForm->IsLoaded();
}

bool frmAutomationHost::EnsureMainWindow(bool monitorOnly)
{
    return ::EnsureMainWindow(monitorOnly);
}
bool frmAutomationHost::MainWindowLoaded() const
{
    return Up();
}
bool frmAutomationHost::RunInProgress() const
{
    if (!Up())
        return false;
    if (gMainForm->RunInProgress())
        return true;
    // The automatic handler's session runs before it tells the window.
    return gMainForm->frmP && m_station->pgmrData().udtHandlerType != 0
        && enginecall::Ask([this] { return m_station->QXH950AutoHandler.IsRunning(); }, false);
}
void frmAutomationHost::WriteLogInfo(const QString& text)
{
    ::WriteLogInfo(text, true);
}

void frmAutomationHost::OperationStatusText(const QString& text)
{
    if (Up())
        gMainForm->OperationStatusText(text);
    else
        ::WriteLogInfo(text, true);
}

void frmAutomationHost::SetQuantityText(const QString& text)
{
    if (!Up())
        return;
    // The count the run reads, and the box: a job runs the quantity its
    // client asked for.
    m_station->SetQuantityText(text);
}

qint32 frmAutomationHost::LoadQxFile(const QString& file)
{
    if (!Up())
        return kNoStation;
    return m_station->Jobs()->LoadQxFileForClient(file);
}

bool frmAutomationHost::ExecLoadJobCmd(const QString& file)
{
    if (!Up())
        return false;
    return m_station->Jobs()->LoadJobForClient(file);
}

bool frmAutomationHost::SaveQxFile(const QString& file)
{
    if (!Up())
        return false;
    return m_station->Jobs()->SaveJobForClient(file);
}

qint32 frmAutomationHost::ExecuteOperation()
{
    return Up() && gMainForm->frmP ? gMainForm->frmP->ExecuteOperation() : kNoStation;
}

bool frmAutomationHost::StartHandlerSession()
{
    if (!Up() || !gMainForm->frmP)
        return false;
    gMainForm->frmP->btnAction_Click();
    return m_station->QXH950AutoHandler.IsRunning();
}

void frmAutomationHost::PressStop()
{
    if (Up() && gMainForm->frmP)
        gMainForm->frmP->btnStop_Click();
}

void frmAutomationHost::LaunchHelp(QString& topic)
{
    if (gMainForm)
        gMainForm->LaunchHelp(topic);
    else
        ::WriteLogInfo(
            QStringLiteral("Help asked for the topic ") + topic + QStringLiteral(" with no station to show it"), true);
}

void frmAutomationHost::SetDefaultConfiguration()
{
    if (Up())
        gMainForm->QXProgrammer_RequestSetDefaultConfigure();
}

bool frmAutomationHost::SetCustomOption(const QString& option, bool enable)
{
    if (!Up() || !gMainForm->frmP)
        return false;
    bool found = false;
    gMainForm->frmP->TabsContents(option, enable, found);
    return found;
}

bool frmAutomationHost::LoadPatternFile(const QString& file, qint32 type)
{
    if (!Up() || !gMainForm->frmP)
        return false;
    const bool ok = gMainForm->frmP->ExecuteBufferCommand(kLoadBufferCommand, file, type);
    return ok && m_station->pgmrData().blnFileLoaded;
}

qint32 frmAutomationHost::HandlerType() const
{
    return Up() ? m_station->pgmrData().udtHandlerType : 0;
}

bool frmAutomationHost::LoadHandlerJobFile(const QString& file)
{
    return Up() && m_station->QXH950AutoHandler.LoadHandlerJobFile(file) != 0;
}

bool frmAutomationHost::SaveHandlerJobFile(const QString& file)
{
    return Up() && m_station->QXH950AutoHandler.SaveHandlerJobFile(file) != 0;
}

void frmAutomationHost::RefreshOption(const QString& option, bool enable)
{
    if (!Up() || !gMainForm->frmP || gMainForm->RunInProgress())
        return;
    bool found = false;
    gMainForm->frmP->TabsContents(option, enable, found);
}

void frmAutomationHost::ArmSettingsRefresh()
{
    if (!Up())
        return;
    QTimer& timer = gMainForm->m_oSettingsRefreshTimer;
    timer.stop();
    timer.setSingleShot(false);
    timer.setInterval(kSettingsRefreshDelayMs);
    timer.start();
}

void frmAutomationHost::SelectJobTab()
{
    // The tab the last job names, without its rows: the client has just set
    // the operation and the rows follow with the settings refresh.
    if (Up() && gMainForm->frmP)
        gMainForm->frmP->SetActiveTabFromSk(false);
}

void frmAutomationHost::AbortSession()
{
    if (Up())
        m_station->ConcurrentManualHandler.AbortSession();
}

void frmAutomationHost::SetSiteStatus(qint32 site, qint32 status, qint32 code)
{
    if (Up() && gMainForm->frmP)
        gMainForm->frmP->SetSiteStatus(site, status, code);
}

QVariant frmAutomationHost::ThreadCommUtil()
{
    return Up() ? m_station->ConcurrentManualHandler.ThreadCommUtil() : QVariant();
}

void frmAutomationHost::SetGuiReady(bool ready)
{
    if (Up())
        m_station->QXProgrammer.SetGuiReady(ready);
}

bool frmAutomationHost::SilentMode()
{
    return Up() && m_station->QXProgrammer.SilentMode();
}

void frmAutomationHost::SetSilentMode(bool silent)
{
    if (Up())
        m_station->QXProgrammer.SilentMode(silent);
}

void frmAutomationHost::AttachJobControl()
{
    if (Up())
        m_station->QXProgrammer.AttachJobControl();
}

QString frmAutomationHost::ErrorMessageText(qint32 code)
{
    if (!Up())
        return {};
    qint32 byRef = code;
    return m_station->QXProgrammer.ErrorMessageText(byRef);
}

QString frmAutomationHost::SystemInfo()
{
    return Up() ? m_station->QXProgrammer.MonitorValue1005() : QString();
}

void frmAutomationHost::SiteToSocket(qint32 virtSite, qint32& site, qint32& socket)
{
    if (Up())
        m_station->QXProgrammer.SiteToSocket(virtSite, site, socket);
}

qint32 frmAutomationHost::ExtraCommandCount()
{
    return Up() ? m_station->QXProgrammer.ExtraCommandCount() : 0;
}

qint32 frmAutomationHost::RunExtraCommand(const QString& command, const QString& value)
{
    return Up() ? m_station->QXProgrammer.RunExtraCommand(qint32(0), command, value) : 3;
}

qint32 frmAutomationHost::ApplyJobParameter(const QString& name, const QString& value)
{
    return Up() ? m_station->QXProgrammer.ApplyJobParameter(name, value) : 3;
}
