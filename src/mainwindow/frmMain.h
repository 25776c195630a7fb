#pragma once

// The main window: the multiple-document frame that hosts the engine control
// and the handler controls, owns the operation window, and runs the second
// half of start-up and the shut-down.

#include "buffer/CommonDialog.h"
#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/JobFiles.h"
#include "mainwindow/Station.h"
#include "mainwindow/VersionStrings.h"
#include "platform/AppInfo.h"
#include "platform/Dispatch.h"

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QAction;
class QKeyEvent;
class QTabBar;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QToolBar;
class QStatusBar;
class frmDeviceConfigure;
class frmH950HdlrContainer;
class frmProgram;
class ProgrammerClass;

class frmMain : public QMainWindow,
                public IEventSink,
                public QXPgmrEvents,
                public ManualHdlEvents,
                private JobFiles::Host
{
    Q_OBJECT
public:
    explicit frmMain(Station& station);
    ~frmMain() override;

    // What the windows share; the names below are the station's members.
    Station& station() const { return m_station; }
    // The job-file commands; the names below forward to them.
    JobFiles& jobFiles() const { return *m_jobFiles; }

    // --- outside controls hosted here ---
    QXPgmrControl& QXProgrammer;
    ManualHdlControl& ConcurrentManualHandler;
    H950HdlrControl& QXH950AutoHandler; // its events go to the hidden host window frmH950
    DataPaneControl& vwBufViewer;

    // Armed for one 250 ms tick after automation set a job parameter; the
    // tick re-reads the operation tabs (CJobControlImpl).
    QTimer m_oSettingsRefreshTimer;
    void m_oSettingsRefreshTimer_Timer();

    // --- windows owned here ---
    frmProgram* frmP = nullptr;
    frmH950HdlrContainer* frmH950 = nullptr;
    // The hidden device options window; null until DeviceConfigureDlg()
    // first makes it.
    frmDeviceConfigure* frmDeviceConfigureDlg = nullptr;
    frmDeviceConfigure& DeviceConfigureDlg();

    // --- inner area, quantity box and status bar ---
    QMdiArea* mdiArea = nullptr;
    QStatusBar* sbStatusBar = nullptr;

    // --- menus (frmMainMenus.cpp) ---
    // The menu bar, built from one table; every item is named as the code
    // names it, so that other parts reach an item by its object name.
    QMenu* mnuFile = nullptr;
    QAction* mnuFileConfigure = nullptr;
    QAction* mnuFileBar3 = nullptr;
    QAction* OpenDataPattern = nullptr;
    QAction* SaveDataPattern = nullptr;
    QAction* SaveDataPatternAs = nullptr;
    QAction* EditDataPattern = nullptr;
    QAction* DataPatternOptions = nullptr;
    QAction* ClearDataPattern = nullptr;
    // The recent data-pattern files of the File menu: entry 0 is the
    // separator above them, entries 1 to 5 the files (hidden while unused).
    QList<QAction*> mnuRecentFile;
    QAction* mnuFileBar2 = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuDevice = nullptr;
    QAction* mnuSelectDevice = nullptr;
    QAction* mnuDeviceBar1 = nullptr;
    QAction* mnuDeviceInfo = nullptr;
    QAction* mnuSocketModuleInfo = nullptr;
    QAction* mnuDeviceBar2 = nullptr;
    QAction* mnuDeviceRange = nullptr;
    QAction* mnuDeviceByteOrder = nullptr;
    QAction* mnuDeviceSetsAndBanks = nullptr;
    QAction* mnuDeviceTestVectors = nullptr;
    QAction* mnuDeviceBufferOffset = nullptr;
    QAction* mnuDeviceNandOptions = nullptr;
    QAction* mnuDeviceBar3 = nullptr;
    QMenu* mnuTools = nullptr;
    QAction* mnuSelftest = nullptr;
    QAction* mnuDefaultConfigure = nullptr;
    QAction* mnuToolsOptions = nullptr;
    QAction* mnuSocketModuleCounter = nullptr;
    QAction* Serialization = nullptr;
    QAction* mnuPowerSupply = nullptr;
    QAction* mnuFlashBIOS = nullptr;
    QAction* mnuToolsSiteNumberAssignment = nullptr;
    // The Sealbook and job items are built here and wired by the job files
    // and locked-job code, by object name.
    QMenu* mnuSealbook = nullptr;
    QAction* mnuEnterNewMode = nullptr;
    QAction* mnuSKSep1 = nullptr;
    QAction* mnuLoadJob = nullptr;
    QAction* mnuJobSep1 = nullptr;
    QAction* mnuSaveJob = nullptr;
    QAction* mnuSaveJobAs = nullptr;
    QAction* mnuJobSep2 = nullptr;
    QAction* mnuSealbookConfigure = nullptr;
    QAction* mnuJobChangePassword = nullptr;
    QAction* mnuViewNote = nullptr;
    QAction* mnuSKSep = nullptr;
    QList<QAction*> mnuTasks; // 0 to 15
    QAction* mnuJobBar3 = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuTarvoHelp = nullptr;
    QAction* mnuTechSupport = nullptr;
    QAction* mnuJobBar4 = nullptr;
    QAction* mnuHelpAbout = nullptr;
    // The quantity box and its label.
    QLabel* Label1 = nullptr;
    QLineEdit* txtNumCopies = nullptr;

    // Builds the menu bar and the quantity box (once, from the constructor).
    void CreateMenusAndQuantityBox();

    // Menu rules.
    void SetDeviceMenuLogic();
    void SetToolsMenuLogic();
    // Runs the data pattern viewer over the engine's buffer; the viewer's
    // settings come back into the engine and the job configuration.
    void ViewBuffer_Click();
    // The operator changed the quantity box.
    void txtNumCopies_Change();

    // Help: the topic (a page of the help folder, relative to it) in the
    // desktop's viewer; "" opens the edition's first topic.
    void LaunchHelp(const QString& topic);

    // Menu handlers.
    void mnuFileConfigure_Click();
    void OpenDataPattern_Click();
    void SaveDataPattern_Click();
    void SaveDataPatternAs_Click();
    void EditDataPattern_Click();
    void DataPatternOptions_Click();
    void ClearDataPattern_Click();
    void mnuRecentFile_Click(int Index);
    void mnuFileExit_Click();
    void mnuSelectDevice_Click();
    void mnuDeviceInfo_Click();
    void mnuSocketModuleInfo_Click();
    void mnuDeviceRange_Click();
    void mnuDeviceByteOrder_Click();
    void mnuDeviceSetsAndBanks_Click();
    void mnuDeviceTestVectors_Click();
    void mnuDeviceBufferOffset_Click();
    void mnuDeviceNandOptions_Click();
    void mnuSelftest_Click();
    void mnuDefaultConfigure_Click();
    void mnuToolsOptions_Click();
    void mnuSocketModuleCounter_Click();
    void Serialization_Click();
    void mnuPowerSupply_Click();
    void mnuFlashBIOS_Click();
    void mnuToolsSiteNumberAssignment_Click();
    void mnuTarvoHelp_Click();
    void mnuTechSupport_Click();
    void mnuHelpAbout_Click();

    // --- start-up, event and message state ---
    bool blnTerminate = false;
    bool bInitialized = false;
    bool bHex = true;
    bool& bEnableEvent;
    bool& bWarningMessagesEnabled;
    bool& bErrorMessagesEnabled;
    bool& bStatusMessagesEnabled;
    bool bLabelPrintEnabled = true;
    // The station's quantity, read here; it is set through the station.
    const qint32& lngNumCopies;
    QString sWorkingDirectoryAtLaunch;

    // --- load, start-up and shut-down ---
    // The job configuration, kept by the station.
    ProgrammerClass& pgmrData();

    // The first use of the window's handle loads it (runs MDIForm_Load once).
    void EnsureLoaded();
    bool IsLoaded() const { return m_loaded; }
    // Runs the unload (once) and hides the window.
    void Unload();

    void MDIForm_Load();
    void MDIForm_Unload();
    void MDIForm_Resize();
    void InitializeGui();
    void SaveStartUpWorkingDirectory();
    // The actions the command line asks for once start-up is done.
    void ExecuteCommandLineArguments();
    // A device list run writes the engine's list and closes the station.
    void ExecCmdLnArgGenerateDeviceList();
    // Closed by a command-line action (the device list run), and whether
    // that action failed: start-up then ends with its status.
    bool IsUnloaded() const { return m_unloaded; }
    bool CommandLineActionFailed() const { return m_commandLineActionFailed; }
    // A handler's status text: the black-box log, and a status line while
    // events and status messages are let through.
    void HandlerStatusText(const QString& text);
    void EnableExperiencedMode();
    // A status text of the engine (or a box's message while the engine asks
    // for silence): always logged, shown as a status line only while events
    // reach the operation window and status messages are on.
    void OperationStatusText(const QString& text);

    // Lets pending window messages run once; a call made while an earlier
    // one is still pumping returns at once.
    void SafeDoEvents();
    // The month number ("1" to "12") of the first of JAN ... DEC found in
    // the text, whatever its case; "" when it holds none.
    static QString GetMonth(const QString& text);
    // Selects the action tab (1-based) and runs its operation, for the
    // automation layer. 0 once the operation ran (its result stays with the
    // operation window); a tab outside the strip, or any tab while a run
    // goes on, runs nothing, says so and gives kActionRefused.
    qint32 OperationModeAction(qint32 tab);
    static constexpr qint32 kActionRefused = -1;

    // --- label printing through the outside label editor (frmMainLabels.cpp) ---
    void InitLabelerPrint();
    void OpenLabelFile(const QString& fileName);
    void SetLabelerText(const QString& text);
    QString GetLabelText();
    void MoveLabelText(qint32 direction);
    void PrintLabel();
    void SaveLabelFile();
    void ExitPrintApp();

    // A run (device loop or session) is going on in the operation window.
    bool RunInProgress() const;
    // Work the engine asks for that must not happen inside a run: False,
    // with a status line naming it, while one goes on.
    bool RefuseDuringRun(const QString& what);

    // --- enabling the window around long commands (frmMainJobs.cpp) ---
    // The menu bar's titles only; the items inside keep their own states.
    void EnableAllMainMenuItems(bool enable);
    // The menu titles, the job buttons and the quantity box; enabling again
    // re-applies the current Sealbook mode, so operator mode outlasts every
    // command.
    void EnableMenu(bool enable);
    void EnableGui(bool enable);
    // The control table of each Sealbook mode (SealbookModeTable), then the
    // recent files, the Device menu, the handler and the operation window.
    void SetOperatorModeControls();
    void SetSupervisorModeControls();
    void SetDeviceMenuStatesForSkMode(bool enable);

    // --- test seam ---
    // Puts a control of the test's own around each outside control the
    // window creates (to record the calls it gets or to answer some itself);
    // unset, the controls are used as created.
    using ControlWrapper = std::function<std::unique_ptr<IDispatchControl>(std::unique_ptr<IDispatchControl>)>;
    static void SetControlWrapper(ControlWrapper wrapper);

    // --- buffer and range states of the File menu ---
    CommonDialog dlgCommonDialog; // the data-pattern file browser
    bool ClearBuffer();
    void SetBufferEmptyControlStates();
    void ClearFileMRUList();
    bool IsVexalDeviceOrAfmOrStaplFile();
    void DisableBufferActionsForVexal();
    void EnableFileSaveDataPattern();
    void GetEngineRangeValues(qint32& low, qint32& high);
    void SetEngineRangeValues(qint32 low, qint32 high);
    void LoadRangeSettingsFromRegistry();
    void EnableRecentFileMenus(bool enable);
    // Draws the recent data-pattern files, most recent first.
    void ShowRecentFiles(const QStringList& files);

    // --- menu rules, locked-job modes and job files ---
    void SetButtonMenuLogic();
    // Operator mode always; supervisor mode once start-up has ended asks for
    // the Sealbook password when one is set, and the engine checks it.
    void SetSKMode(bool bOperatorMode);
    // The Sealbook menu: switch mode, options, password, note history.
    void mnuEnterNewMode_Click();
    void mnuSealbookConfigure_Click();
    void mnuJobChangePassword_Click();
    void mnuViewNote_Click();
    void SKConversionPrompt();
    // Sealbook auto files of the automatic handler (frmMainJobs.cpp):
    // result 0, -1 for the station's own refusals, else the engine's code.
    void LoadSKAutoFile(const QString& file, qint32& result);
    void LoadSKAutoFileCore(const QString& file, qint32& result, bool bOpen);
    void SaveSKAutoFile(const QString& file, qint32& result, bool bNoNotePrompt);
    // Job files (frmMainJobs.cpp). title: the file's name without its
    // folder, "" from a caller that has none. result 0, or 150 when the file
    // was not accepted as a job.
    void LoadQxFile(const QString& file, const QString& title, qint32& result);
    void LoadJob(const QString& file, qint32& result);
    // useGiven 0 shows the file dialog; 1 (automation) also skips the note.
    // ok: a job was loaded or saved.
    void ExecLoadJobCmd(qint32 useGiven, const QString& file, bool& ok);
    void ExecSaveJobCmd(qint32 useGiven, const QString& file, bool& ok);
    void mnuLoadJob_Click();
    void mnuSaveJob_Click();
    void mnuSaveJobAs_Click();
    void cmdLoadJob_Click();
    void cmdSaveJob_Click();
    // Connects the job items of the menu tree by their names (those that
    // exist; each once).
    void ConnectJobMenus();
    QPushButton* cmdLoadJob = nullptr;
    QPushButton* cmdSaveJob = nullptr;
    // The job setup report (type 1 a job, 2 an auto file); accepted: the
    // operator confirmed it, or no report is shown and there is no error.
    void ShowJobReport(qint32 type, bool showQXJobPage, bool jobError, bool& accepted);

    // --- logs, versions and message switches ---
    void WriteLogInfo(const QString& text, bool bTimeStamp);
    void EnablePgmrWarningMessage(bool enable);
    void EnablePgmrErrorMessage(bool enable);
    void EnablePgmrStatusMessage(bool enable);
    void SetHandlerStateInfo();
    QString GetSoftwareVersion();
    QString GetVersionNDate();
    void WriteInfoToLogFile(const QString& text, bool bAddDate);
    void SetExportChiseloLogFile(bool value);
    void SetDemoMode(qint32 model);

    // --- engine and handler events ---
    // Engine and handler events arrive here by name and go to their typed
    // handlers through the engine's event table (frmMainEvents.cpp).
    void Fire(const QString& eventName, QVariantList& args) override;

    void QXProgrammer_StatusTextReported(const QString& text) override;
    void QXProgrammer_SysInfoMessage(const QString& text) override;
    void QXProgrammer_WarningMessage(const QString& text) override;
    void QXProgrammer_SiteInfo(qint32 site, qint32 info) override;
    void QXProgrammer_ReloadForm(const QString& deviceName) override;
    void QXProgrammer_UpdateJobSetting14(const QString& text) override;
    void QXProgrammer_UpdateJobSetting15(const QString& text) override;
    void QXProgrammer_UpdateJobSetting17(qint32 value) override;
    void QXProgrammer_UpdateJobSetting18(qint32 value) override;
    void QXProgrammer_UpdateJobSetting19(qint32 value) override;
    void QXProgrammer_UpdateJobSetting20(bool flag) override;
    void QXProgrammer_JobSavingError(const QString& text) override;
    void QXProgrammer_WordRange22(qint32 low) override;
    void QXProgrammer_WordRange23(qint32 high) override;
    void QXProgrammer_RequestJobSettingText24(QString& text) override;
    void QXProgrammer_JobSetting25(QString& text) override;
    void QXProgrammer_RequestJobSetting26(qint32& value) override;
    void QXProgrammer_RequestJobSetting27(qint32& value) override;
    void QXProgrammer_RequestJobSetting28(qint32& value) override;
    void QXProgrammer_RequestHandlerValue15(bool& flag) override;
    void QXProgrammer_DeviceSelected() override;
    void QXProgrammer_UpdateCaption31(const QString& text1, const QString& text2) override;
    void QXProgrammer_RequestQuantity(qint32& value) override;
    void QXProgrammer_UpdateJobSetting33(bool flag) override;
    void QXProgrammer_DataFileLoaded() override;
    void QXProgrammer_EnableStatusMessages(bool flag) override;
    void QXProgrammer_OperationOptionsChanged() override;
    void QXProgrammer_DeviceConfigurationChanged() override;
    void QXProgrammer_JobLoadFailed(bool flag) override;
    void QXProgrammer_SealbookModeChanged(bool supervisor, bool& refused) override;
    void QXProgrammer_RequestValue40(qint32& value) override;
    void QXProgrammer_SealbookExport() override;
    void QXProgrammer_SealbookImport() override;
    void QXProgrammer_DeviceConfigureOptionsChanged() override;
    void QXProgrammer_BufferCleared() override;
    void QXProgrammer_RequestSealbookNote() override;
    void QXProgrammer_JobSetting46(const QString& note, qint32 type) override;
    void QXProgrammer_SealbookLoadingError(qint32& result, qint32 type) override;
    void QXProgrammer_RequestAutoSaveSealbookDir(QString& dir) override;
    void QXProgrammer_OperationOptionStateChanged(const QString& operationName, const QString& optionName,
                                                  qint32 n) override;
    void QXProgrammer_RequestHandlerValue3(qint32& value) override;
    void QXProgrammer_RequestHandlerValue4(qint32& value) override;
    void QXProgrammer_RequestHandlerValue2(qint32& value) override;
    void QXProgrammer_RequestHandlerValue1(qint32& value) override;
    void QXProgrammer_RequestHandlerQuantity(qint32& value) override;
    void QXProgrammer_UpdateJobSetting55(qint32 value) override;
    void QXProgrammer_UpdateJobSetting56(qint32 value) override;
    void QXProgrammer_ResetButtons(bool inAction) override;
    void QXProgrammer_UpdateCaption58() override;
    void QXProgrammer_LogMessage(const QString& text) override;
    void QXProgrammer_JobSettingText60(QString& text) override;
    void QXProgrammer_LoadJobFileRequest(const QString& file) override;
    void QXProgrammer_ExecuteOperationRequest() override;
    void QXProgrammer_SetQuantity(qint32 value) override;
    void QXProgrammer_RequestSetDefaultConfigure() override;
    void QXProgrammer_PgmrWarningMessagesEnabled(bool& flag) override;
    void QXProgrammer_RefreshGuiSecure() override;
    void QXProgrammer_GetLaserMarkerLines(QStringList& lines) override;
    void QXProgrammer_OperationProgress(qint32 code, qint32 value) override;
    void QXProgrammer_OperationComplete(qint32 code) override;
    void QXProgrammer_SetupOperationRequest(qint32& command, bool& isSpecial, bool& outOfRange) override;
    void QXProgrammer_BufferContentChanged(const QVariant& value) override;
    void QXProgrammer_CJobCntrlInUse(bool& flag) override;
    void QXProgrammer_CQxPgmrInUse(bool& flag) override;
    void QXProgrammer_SiteStatusFromEngine(qint32 status, qint32 code) override;
    void QXProgrammer_CJobMonitorInUse(bool& flag) override;
    void QXProgrammer_UpdateJobSetting76(bool flag) override;
    void QXProgrammer_RequestDecoratedTabName(const QString& name, QString& decorated) override;

    void ConcurrentManualHandler_SessionOperationBegan() override;
    void ConcurrentManualHandler_SiteStatusChanged(qint32 site, qint32 status, qint32 code) override;
    void ConcurrentManualHandler_RunStatisticsChanged(qint32 passed, qint32 failed, qint32 active, qint32 remaining,
                                                      qint32 value5, qint32 value6) override;
    void ConcurrentManualHandler_IsSessionAborted(bool& flag) override;
    void ConcurrentManualHandler_RepeatCommandRequest(qint32 site, qint32& result) override;
    void ConcurrentManualHandler_SetThreadCommUtilPtr(qint32 pointer) override;
    void ConcurrentManualHandler_SetDeviceAutomationArbiter(const QVariant& arbiter) override;
    void ConcurrentManualHandler_AbortSession() override;
    void ConcurrentManualHandler_MasterSiteRequest() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- steps of the load and the unload ---
    bool CreateControls();
    void ShowOperationWindow();
    void PlaceOperationWindow();
    // The title: the window's own caption, and the operation window's
    // caption after it while that window fills the inner area (its own
    // title bar is never seen), so the operator sees the model, the job and
    // the operator mode.
    void SetMainCaption(const QString& caption);
    void ShowCaption();
    // The diagnostics device replaces the job's device and data pattern:
    // refused, with a box, while the job is locked in operator mode.
    bool DiagnosticsRefusedInOperatorMode(const QString& command);
    void RunDiagnostics();
    void RestoreRangeSettings();
    void SaveRangeSettings();
    void ReadSettingsAtLoad();
    void WriteSettingsAtUnload();
    void LoadCommandLineJobFile(const QString& file);

    // --- job files (frmMainJobs.cpp) ---
    void CreateJobButtons(QToolBar* toolbar);
    void ApplySealbookMode(bool operatorMode);
    // JobFiles::Host
    void EnableMenus(bool enable) override;
    void EnableOperations(bool enable) override;
    void EnableOperationSettings(bool enable) override;
    void RefreshOperationWindow(Refresh what) override;
    void StatusLine(const QString& text) override;
    qint32 DataPositionIndex() const override;
    qint32 BankIndex() const override;
    QString BufferInfo() const override;
    bool BufferDirty() const override;
    std::function<void()> KeepBufferView() override;
    void ClearDataBuffer() override;
    bool AskSupervisorPassword(QString& password) override;
    bool AskSaveNote(qint32 skType, NoteWindow window) override;
    bool ConfirmJobReport(const JobFiles::Report& report) override;
    std::unique_ptr<JobFiles> m_jobFiles;
    void WriteStartupInformation();

    // --- work held back while a run goes on (frmMainEvents.cpp) ---
    // Engine requests that would rebuild the operation window under a run
    // are carried out once, in arrival order, when it has ended; a close
    // asked for from outside (SIGTERM) presses Stop and closes then.
    enum class HeldBack { ReloadForm, DeviceSelected, DeviceConfigurationChanged };
    void HoldBackUntilRunEnds(HeldBack what);
    void WatchForRunEnd();
    void CarryOutHeldBackWork();
    void ReloadOperationWindow(const QString& deviceName);
    void SelectedDeviceChanged();
    void DeviceConfigurationChanged();
    QList<HeldBack> m_heldBack;
    QString m_heldBackDeviceName;
    bool m_closeWhenRunEnds = false;
    QTimer m_afterRunTimer;
    bool m_bInSafeDoEvents = false;

    // --- access keys (frmMainAccessKeys.cpp) ---
    // One control that shows an access key underlined in its caption.
    struct AccessKeyOwner
    {
        QAction* title = nullptr; // a menu bar title
        QAbstractButton* button = nullptr;
        QTabBar* tabs = nullptr;
        int tab = -1;
        // The owner the operator is on now: its menu open, its focus, its
        // tab selected and focused.
        bool Current() const;
    };
    // The controls that show the key underlined: the menu bar's titles,
    // then the operation window's buttons and tabs, each visible and enabled.
    std::vector<AccessKeyOwner> AccessKeyOwners(const QKeyEvent& event) const;
    // Takes an access key (its shortcut override and its press) meant for
    // this window; False leaves the event to Qt.
    bool RouteAccessKey(QObject* receiver, QKeyEvent* event);
    // The key an open menu passed on at its shortcut override: its press
    // that follows is not the menu's.
    int m_accessKeyTakenInMenu = 0;

    // --- menus (frmMainMenus.cpp) ---
    void ApplyDefaultConfiguration(bool bResetSettings) override;
    void ReselectDeviceAfterModelChange();
    void UnloadMainWindow();
    // Runs a menu command; an error it raises is shown ("Error") and
    // logged, never left to the event loop.
    void RunMenuCommand(const QString& what, const std::function<void()>& command);

    // --- own state ---
    Station& m_station;
    QMdiSubWindow* m_operationSubWindow = nullptr;
    QString m_mainCaption;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_commandLineActionFailed = false;
    bool m_operationUnloaded = false;
    bool bOperationWindowPlaced = false;
    // Held while this station uses the engine's folder: another station
    // (another edition included) writing the same logs and settings is
    // refused.
    std::unique_ptr<appinfo::SingleInstance> m_engineFolderLock;
    bool m_engineFolderRefused = false;
};
