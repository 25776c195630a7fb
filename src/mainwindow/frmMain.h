#pragma once

// The main window: the multiple-document frame that hosts the engine control
// and the handler controls, owns the operation window, and runs the second
// half of start-up and the shut-down.

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/VersionStrings.h"
#include "platform/Dispatch.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class frmDeviceConfigure;
class frmH950HdlrContainer;
class frmProgram;
class ProgrammerClass;

class frmMain : public QMainWindow, public IEventSink, public QXPgmrEvents
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // --- outside controls hosted here ---
    QXPgmrControl QXProgrammer;
    ManualHdlControl ConcurrentManualHandler;
    H950HdlrControl QXH950AutoHandler; // lives on the hidden host window frmH950
    DataPaneControl vwBufViewer;

    // --- windows owned here ---
    frmProgram* frmP = nullptr;
    frmH950HdlrContainer* frmH950 = nullptr;
    frmDeviceConfigure* frmDeviceConfigureDlg = nullptr;

    // --- inner area, menus, quantity box and status bar ---
    QMdiArea* mdiArea = nullptr;
    QLineEdit* txtNumCopies = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* SaveDataPattern = nullptr;
    QAction* SaveDataPatternAs = nullptr;
    QAction* EditDataPattern = nullptr;
    // The recent data-pattern files of the File menu: entry 0 is the
    // separator above them, entries 1 to 5 the files (hidden while unused).
    QList<QAction*> mnuRecentFile;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuTarvoHelp = nullptr;

    // --- start-up, event and message state ---
    bool blnTerminate = false;
    bool bInitialized = false;
    bool bHex = true;
    bool bEnableEvent = false;
    bool bWarningMessagesEnabled = true;
    bool bErrorMessagesEnabled = true;
    bool bStatusMessagesEnabled = true;
    bool bLabelPrintEnabled = true;
    qint32 lngNumCopies = 1;
    QString sWorkingDirectoryAtLaunch;

    // --- load, start-up and shut-down ---
    // The job configuration, kept by the operation window.
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
    void ExecCmdLnArgGenerateDeviceList();
    void EnableExperiencedMode();
    // A message meant for a box while the engine asks for silence.
    void OperationStatusText(const QString& text);

    // --- test seam ---
    // Puts a control of the test's own around each outside control the
    // window creates (to record the calls it gets or to answer some itself);
    // unset, the controls are used as created.
    using ControlWrapper = std::function<std::unique_ptr<IDispatchControl>(std::unique_ptr<IDispatchControl>)>;
    static void SetControlWrapper(ControlWrapper wrapper);

    // --- buffer and range states of the File menu ---
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
    void SetSKMode(bool bOperatorMode);
    void SKConversionPrompt();
    void LoadJob(const QString& file, qint32& result);
    void LoadSKAutoFileCore(const QString& file, qint32& result, bool bStartUp);

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
    void QXProgrammer_PgmrWarningMessagesEnabled(bool& flag) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- steps of the load and the unload ---
    bool CreateControls();
    void ShowOperationWindow();
    void PlaceOperationWindow();
    void RestoreRangeSettings();
    void SaveRangeSettings();
    void ReadSettingsAtLoad();
    void WriteSettingsAtUnload();
    void LoadCommandLineJobFile(const QString& file);
    void WriteStartupInformation();

    // --- own state ---
    QMdiSubWindow* m_operationSubWindow = nullptr;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_operationUnloaded = false;
    bool bOperationWindowPlaced = false;
};
