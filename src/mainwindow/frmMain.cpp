#include "frmMain.h"

#include "BlackBoxLog.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/Companion.h"
#include "platform/UiService.h"
#include "shell/StartUp.h"
#include "shell/frmSplash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolBar>

namespace {
// Twips to pixels at the 96 dots per inch the window sizes were made for.
int Twips(int twips) { return twips / 15; }

// Calls an engine member and goes on when it fails: the load and the unload
// pass over errors one statement at a time.
template <class F>
void Try(F&& f)
{
    try {
        f();
    } catch (const AutomationError&) {
    }
}
} // namespace

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    mdiArea = new QMdiArea(this);
    setCentralWidget(mdiArea);

    auto* toolbar = addToolBar(QStringLiteral("Quantity"));
    toolbar->setObjectName(QStringLiteral("tbQuantity"));
    txtNumCopies = new QLineEdit(toolbar);
    txtNumCopies->setObjectName(QStringLiteral("txtNumCopies"));
    txtNumCopies->setMaximumWidth(80);
    toolbar->addWidget(txtNumCopies);

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuRecentFile << mnuFile->addSeparator();
    for (int i = 1; i <= 5; ++i) {
        QAction* entry = mnuFile->addAction(QString());
        entry->setObjectName(QStringLiteral("mnuRecentFile%1").arg(i));
        mnuRecentFile << entry;
    }
    for (QAction* a : mnuRecentFile)
        a->setVisible(false);

    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
}

frmMain::~frmMain() = default;

void frmMain::EnsureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    MDIForm_Load();
}

bool frmMain::CreateControls()
{
    try {
        QXProgrammer.Attach(companion::CreateControl(QStringLiteral("QXPGMRLib.QXPgmr")));
        ConcurrentManualHandler.Attach(companion::CreateControl(QStringLiteral("MANUALHDLLib.ManualHdl")));
        QXH950AutoHandler.Attach(companion::CreateControl(QStringLiteral("MYH950HDLRLib.QXH950Handler")));
        vwBufViewer.Attach(companion::CreateControl(QStringLiteral("DATAPANELib.DataPane")));
    } catch (const AutomationError& e) {
        Ui().MsgBox(e.Description(), vb::vbCritical, QStringLiteral("System Error"));
        return false;
    }
    for (IDispatchControl* control : {QXProgrammer.Control(), ConcurrentManualHandler.Control(),
                                      QXH950AutoHandler.Control(), vwBufViewer.Control()})
        control->SetEventSink(this);
    return true;
}

void frmMain::MDIForm_Load()
{
    bWarningMessagesEnabled = bErrorMessagesEnabled = bStatusMessagesEnabled = true;
    bEnableEvent = true;
    bLabelPrintEnabled = true;
    if (!CreateControls()) {
        blnTerminate = true;
        return;
    }

    blnTerminate = false;
    bInitialized = false;
    sbStatusBar->hide();
    setWindowTitle(appinfo::ApplicationTitle());
    resize(Twips(9390), Twips(6790));
    if (gbGenerateDeviceList)
        Try([&] { QXProgrammer.SetGuiReady(true); });

    if (frmSplash::IsLoaded())
        frmSplash::Instance().ShowInitStep(2);
    Try([&] { QXProgrammer.StartupValue108(appinfo::ProgramFolder()); });
    qint32 result = 0;
    try {
        result = QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db"));
    } catch (const AutomationError&) {
        result = -1;
    }

    if (result != 0) {
        struct Failure { qint32 code; const char* title; const char* text; };
        static const Failure kFailures[] = {
            {0x71, "Version Mismatch",
             "QXEng.dll and QXAlg.db versions mismatched (0x71).  Exiting the software, contact QX Technical Support."},
            {0x7E, "QXPgmr.ocx error",
             "QXPgmr.ocx internal error (0x7E).  Exiting the software, contact QX Technical Support."},
        };
        QString title = QStringLiteral("Algo Database Error");
        QString text = QStringLiteral("Error loading QXAlg.db.  Exiting the software, contact QX Technical Support.");
        for (const Failure& f : kFailures) {
            if (f.code == result) {
                title = QString::fromLatin1(f.title);
                text = QString::fromLatin1(f.text);
            }
        }
        Ui().MsgBox(text, vb::vbCritical, title);
        blnTerminate = true;
        bool vexal = false;
        Try([&] { vexal = QXProgrammer.IsVexalMode(); });
        if (!vexal)
            return;
    }

    if (frmSplash::IsLoaded())
        frmSplash::Instance().ShowInitStep(3);
    qint32 result2 = 0;
    try {
        result2 = QXProgrammer.InitializeEngine194(qint32(0));
    } catch (const AutomationError&) {
        result2 = -1;
    }
    if (result2 != 0) {
        blnTerminate = true;
        return;
    }
    Try([&] {
        if (QXProgrammer.IsVexalMode())
            gbVexalMode = true;
    });
}

void frmMain::InitializeGui()
{
    bInitialized = true;
}

void frmMain::SaveStartUpWorkingDirectory()
{
    sWorkingDirectoryAtLaunch = QDir::currentPath();
    Try([&] { QXProgrammer.SerializationCall246(sWorkingDirectoryAtLaunch); });
}

void frmMain::ExecuteCommandLineArguments()
{
}

void frmMain::EnableExperiencedMode()
{
    Try([&] { QXProgrammer.RunOption60(false); });
}

void frmMain::OperationStatusText(const QString& text)
{
    WriteLogInfo(text, true);
}

void frmMain::Fire(const QString& eventName, QVariantList& args)
{
    Q_UNUSED(eventName);
    Q_UNUSED(args);
}

void frmMain::MDIForm_Unload()
{
    WriteLogInfo(QStringLiteral("Application Tarvo is being shut down!"), true);
    Try([&] { QXProgrammer.ShutDown(); });
    WriteLogInfo(QStringLiteral("System has been shut down successfully!"), true);
}

void frmMain::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_loaded)
        MDIForm_Unload();
    hide();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Unload();
    event->accept();
}
