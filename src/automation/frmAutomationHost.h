#pragma once

// The station's side of the automation classes: what they ask of the main
// window and the operation window (reached through gMainForm), and of the
// engine, the handlers, the job configuration and the quantity (the station
// start-up hands it once it has made one).

#include "AutomationHost.h"

class Station;

class frmAutomationHost : public AutomationHost
{
public:
    // Null while no station stands.
    void SetStation(Station* station) { m_station = station; }

    bool EnsureMainWindow(bool monitorOnly) override;
    bool MainWindowLoaded() const override;
    bool RunInProgress() const override;
    void WriteLogInfo(const QString& text) override;
    void OperationStatusText(const QString& text) override;
    void SetQuantityText(const QString& text) override;
    qint32 LoadQxFile(const QString& file) override;
    bool ExecLoadJobCmd(const QString& file) override;
    bool SaveQxFile(const QString& file) override;
    qint32 ExecuteOperation() override;
    bool StartHandlerSession() override;
    void PressStop() override;
    void LaunchHelp(QString& topic) override;
    void SetDefaultConfiguration() override;
    bool SetCustomOption(const QString& option, bool enable) override;
    bool LoadPatternFile(const QString& file, qint32 type) override;
    qint32 HandlerType() const override;
    bool LoadHandlerJobFile(const QString& file) override;
    bool SaveHandlerJobFile(const QString& file) override;
    void RefreshOption(const QString& option, bool enable) override;
    void ArmSettingsRefresh() override;
    void SelectJobTab() override;
    void AbortSession() override;
    void SetSiteStatus(qint32 site, qint32 status, qint32 code) override;
    QVariant ThreadCommUtil() override;
    void SetGuiReady(bool ready) override;
    bool SilentMode() override;
    void SetSilentMode(bool silent) override;
    void AttachJobControl() override;
    QString ErrorMessageText(qint32 code) override;
    QString SystemInfo() override;
    void SiteToSocket(qint32 virtSite, qint32& site, qint32& socket) override;
    qint32 ExtraCommandCount() override;
    qint32 RunExtraCommand(const QString& command, const QString& value) override;
    qint32 ApplyJobParameter(const QString& name, const QString& value) override;

private:
    // A station stands and its main window has loaded.
    bool Up() const;
    Station* m_station = nullptr;
};
