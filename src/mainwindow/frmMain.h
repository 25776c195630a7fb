#pragma once

// The main window: the multiple-document frame that hosts the engine control
// and the handler controls, owns the operation window, and runs the second
// half of start-up and the shut-down.

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/Dispatch.h"

#include <QMainWindow>

class QAction;
class QLineEdit;
class QMenu;
class QMdiArea;
class QStatusBar;

class frmMain : public QMainWindow, public IEventSink
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Outside controls hosted here.
    QXPgmrControl QXProgrammer;
    ManualHdlControl ConcurrentManualHandler;
    H950HdlrControl QXH950AutoHandler;
    DataPaneControl vwBufViewer;

    // Controls.
    QMdiArea* mdiArea = nullptr;
    QLineEdit* txtNumCopies = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QMenu* mnuFile = nullptr;
    // The recent data-pattern files of the File menu: entry 0 is the
    // separator above them, entries 1 to 5 the files (hidden while unused).
    QList<QAction*> mnuRecentFile;

    // State.
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

    // The first use of the window's handle loads it (runs MDIForm_Load once).
    void EnsureLoaded();
    bool IsLoaded() const { return m_loaded; }
    // Runs the unload (once) and hides the window.
    void Unload();

    void MDIForm_Load();
    void MDIForm_Unload();
    void InitializeGui();
    void SaveStartUpWorkingDirectory();
    void ExecuteCommandLineArguments();
    void EnableExperiencedMode();
    // A message meant for a box while the engine asks for silence.
    void OperationStatusText(const QString& text);

    // Engine and handler events arrive here by name.
    void Fire(const QString& eventName, QVariantList& args) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool CreateControls();

    bool m_loaded = false;
    bool m_unloaded = false;
};
