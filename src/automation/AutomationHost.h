#pragma once

// What the automation classes need from the station: its windows and its
// engine. The main window's side installs one (frmAutomationHost); the
// classes never reach a window themselves. Engine calls that fail throw
// AutomationError; the classes turn it into the client's error.

#include <QString>
#include <QVariant>

class AutomationHost
{
public:
    virtual ~AutomationHost() = default;

    // Starts the station when it is not up yet; False when start-up failed.
    virtual bool EnsureMainWindow(bool monitorOnly) = 0;
    virtual bool MainWindowLoaded() const = 0;
    // A run of the operation window is going on (the operator's or a job's).
    virtual bool RunInProgress() const = 0;

    virtual void WriteLogInfo(const QString& text) = 0;
    virtual void OperationStatusText(const QString& text) = 0;
    virtual void SetQuantityText(const QString& text) = 0;
    // The job file load: 0 or the loader's failure.
    virtual qint32 LoadQxFile(const QString& file) = 0;
    // The main window's job load of a named file, as its Open command does
    // it (the job folder follows, the handler is told it is busy): True when
    // the job loaded.
    virtual bool ExecLoadJobCmd(const QString& file) = 0;
    virtual bool SaveQxFile(const QString& file) = 0;
    virtual qint32 ExecuteOperation() = 0;
    // The automatic handler's session, started as the Action button starts
    // it; True when it runs (its JobComplete will end it).
    virtual bool StartHandlerSession() = 0;
    virtual void PressStop() = 0;
    virtual void LaunchHelp(QString& topic) = 0;
    virtual void SetDefaultConfiguration() = 0;
    // The operation tabs' option by name; False when there is none.
    virtual bool SetCustomOption(const QString& option, bool enable) = 0;
    virtual bool LoadPatternFile(const QString& file, qint32 type) = 0;
    virtual qint32 HandlerType() const = 0;
    virtual bool LoadHandlerJobFile(const QString& file) = 0;
    virtual bool SaveHandlerJobFile(const QString& file) = 0;
    // Ticks (or clears) the operation tabs' rows offering the named option,
    // leaving every other row as it is (never under a run).
    virtual void RefreshOption(const QString& option, bool enable) = 0;
    // Restarts the main window's settings-refresh timer for 250 ms.
    virtual void ArmSettingsRefresh() = 0;
    virtual void SelectJobTab() = 0;
    // The manual-handler session's abort.
    virtual void AbortSession() = 0;
    // The operation window's site status (sites 1-based), as the handlers
    // report it.
    virtual void SetSiteStatus(qint32 site, qint32 status, qint32 code) = 0;
    // The manual handler's socket arbiter (its ThreadCommUtil), an object
    // value; Empty when there is none.
    virtual QVariant ThreadCommUtil() = 0;

    // Engine members.
    virtual void SetGuiReady(bool ready) = 0;
    // The engine's SilentMode: while True the station's message boxes go to
    // the status line and the job summary is not shown.
    virtual bool SilentMode() = 0;
    virtual void SetSilentMode(bool silent) = 0;
    virtual void AttachJobControl() = 0;
    virtual QString ErrorMessageText(qint32 code) = 0;
    virtual QString SystemInfo() = 0;
    virtual void SiteToSocket(qint32 virtSite, qint32& site, qint32& socket) = 0;
    virtual qint32 ExtraCommandCount() = 0;
    virtual qint32 RunExtraCommand(const QString& command, const QString& value) = 0;
    virtual qint32 ApplyJobParameter(const QString& name, const QString& value) = 0;
};

// The installed host; nullptr before the station's side installs one.
AutomationHost* Host();
void SetAutomationHost(AutomationHost* host);
