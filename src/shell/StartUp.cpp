#include "StartUp.h"

#include "ComponentRegistration.h"
#include "ShellUtilities.h"
#include "frmSplash.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/Registry.h"
#include "platform/TerminationSignals.h"
#include "platform/UiService.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <memory>

frmMain* gMainForm = nullptr;

namespace {
std::unique_ptr<appinfo::SingleInstance> g_instance;

// Where start-up stands. While it runs, a termination request is only
// recorded: closing from inside the main window's load would unload the
// station in the middle of loading it.
enum class StartUpPhase { NotAttempted, Running, Done };
StartUpPhase g_phase = StartUpPhase::NotAttempted;
StartUpOutcome g_outcome = StartUpOutcome::NotAttempted;
bool g_terminationRequested = false;

const QString kUsageText = QStringLiteral("Available command line options: \r\n\r\n"
                                          "-SK <Job File Name>\r\n"
                                          "-device <Device Name>\r\n"
                                          "-prog_file <Data File Name>\r\n"
                                          "-log <Log File Name>\r\n");
} // namespace

// The program icon, on the top of the main window's owner chain, the main
// window (loading it if that has not happened yet) and the application. Qt
// keeps one icon with every size, so the two calls of start-up set the same.
static void SetAppIcons()
{
    const QIcon icon = AppIcon();
    gMainForm->EnsureLoaded();
    if (QWidget* top = GetTopOwnerWindow(gMainForm))
        top->setWindowIcon(icon);
    gMainForm->setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}


StartUpOutcome LastStartUpOutcome() { return g_outcome; }
bool TerminationRequested() { return g_terminationRequested; }

void OnTerminationRequest()
{
    Ui().EndOpenBoxes();
    if (g_phase == StartUpPhase::Running) {
        g_terminationRequested = true;
        return;
    }
    if (gMainForm)
        gMainForm->close();
}

int Main()
{
    if (appinfo::GetStartMode() != appinfo::StartMode::Standalone) {
        // An automation client started us: its first call runs the start-up
        // (EnsureMainWindow). Until then there is nothing to show.
        return qApp->exec();
    }
    InstallTerminationHandler(OnTerminationRequest);
    // Watching processes (tests, measures) learn that start-up has begun.
    if (qEnvironmentVariableIsSet("TARVO_REPORT_SHOWN")) {
        std::fputs("starting\n", stdout);
        std::fflush(stdout);
    }
    if (!StartApplication() || !gMainForm)
        return LastStartUpOutcome() == StartUpOutcome::Failed ? kStartUpFailedExitCode : 0;
    if (g_terminationRequested) {
        // Asked to end while starting: now that the station stands, it closes
        // through its own close path (its settings are saved).
        WriteLogInfo(QStringLiteral("Termination requested during start-up; the station closes."), true);
        QTimer::singleShot(0, gMainForm, [] { gMainForm->close(); });
        return qApp->exec();
    }
    // Start-up measures wait for this line: the station is up and shown.
    if (qEnvironmentVariableIsSet("TARVO_REPORT_SHOWN")) {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
    }
    // Headless runs (tests, measurements) close the station through its own
    // close path once it has been shown for the given time.
    bool closeAfterOk = false;
    const int closeAfterMs = qEnvironmentVariableIntValue("TARVO_TEST_CLOSE_AFTER_MS", &closeAfterOk);
    if (closeAfterOk)
        QTimer::singleShot(closeAfterMs, gMainForm, [] { gMainForm->close(); });
    return qApp->exec();
}

void ReleaseInstanceLock()
{
    g_instance.reset();
    g_phase = StartUpPhase::NotAttempted;
    g_outcome = StartUpOutcome::NotAttempted;
    g_terminationRequested = false;
}

static StartUpOutcome StartApplicationBody();

bool StartApplication()
{
    g_phase = StartUpPhase::Running;
    g_outcome = StartApplicationBody();
    g_phase = StartUpPhase::Done;
    return g_outcome == StartUpOutcome::Started;
}

// The settings can be kept only where the settings folder can be written;
// without it the companions cannot be registered either. Says so, naming the
// folder.
static bool SettingsFolderWritable()
{
    QString folder;
    if (reg::HiveFolderWritable(reg::HKEY_CURRENT_USER, &folder))
        return true;
    Ui().MsgBox(QStringLiteral("The settings folder \"") + folder
                    + QStringLiteral("\" cannot be written.  Settings cannot be kept; the program ends."),
                vb::vbCritical, QStringLiteral("System Error"));
    return false;
}

static StartUpOutcome StartApplicationBody()
{
    gCmdLineLogFile.clear();
    ClearCommandLineFiles();

    // One station per user session.
    g_instance = std::make_unique<appinfo::SingleInstance>(appinfo::ApplicationTitle());
    if (!g_instance->TryAcquire()) {
        Ui().MsgBox(QStringLiteral("Only one instance of this application could be run at a time!"), vb::vbCritical,
                    QStringLiteral("Instance Error"));
        return StartUpOutcome::Ended;
    }

    gUserName = appinfo::UserName();
    if (gUserName.isEmpty())
        gUserName = QStringLiteral("Unknown");

    // A title without the program's own name runs the OEM edition.
    gbChiseloEdition = !appinfo::ApplicationTitle().contains(QLatin1String("tarvo"), Qt::CaseInsensitive);

    const QString raw = RawCommandLineText();
    ReadCommandLine(raw);

    if (FindCommandLineArg(QStringLiteral("-?")) != -1) {
        Ui().MsgBox(kUsageText, vb::vbInformation, QStringLiteral("Command Line Options"));
        return StartUpOutcome::Ended;
    }

    gMainForm = new frmMain();

    frmSplash& splash = frmSplash::Instance();
    // The first step's text paints the splash once.
    splash.show();
    splash.ShowInitStep(0);

    // A failed registration ends the program before anything is loaded.
    if (!SettingsFolderWritable() || !RegisterComponents()) {
        frmSplash::Unload();
        delete gMainForm;
        gMainForm = nullptr;
        return StartUpOutcome::Failed;
    }

    // The first use of the main window's handle loads it.
    SetAppIcons();

    // The main window stays hidden until it is shown below.
    splash.ShowInitStep(1);
    frmSplash::Unload();

    // The main window's load failed (database, engine): nothing is saved.
    if (gMainForm->blnTerminate) {
        gMainForm->Unload();
        delete gMainForm;
        gMainForm = nullptr;
        ClearCommandLineFiles();
        return StartUpOutcome::Failed;
    }

    // The command line and the install folders, as the engine reports them.
    WriteLogInfo(QStringLiteral("Command line: ") + raw, true);
    WriteLogInfo(QStringLiteral("QX directory path: ") + gMainForm->QXProgrammer.EngineDirectory(), true);
    WriteLogInfo(QStringLiteral("PTouch directory path: ") + gMainForm->QXProgrammer.LabelPrinterDirectory(), true);

    // The engine and the manual handler own their dialogs through the main window.
    gMainForm->show();
    const qint32 handle = qint32(gMainForm->winId());
    gMainForm->QXProgrammer.SetMainWindowHandle(handle);
    gMainForm->ConcurrentManualHandler.SetHostWindowHandle(handle);

    // The last job, the Vexal flag, the quantity and the command-line actions.
    gMainForm->InitializeGui();
    gMainForm->QXProgrammer.VexalCommandLine(gbVexalMode);
    gMainForm->txtNumCopies->setText(QString::number(gMainForm->lngNumCopies));
    gMainForm->SaveStartUpWorkingDirectory();
    gMainForm->ExecuteCommandLineArguments();

    ClearCommandLineFiles();
    return StartUpOutcome::Started;
}


bool EnsureMainWindow(bool bMonitorOnly)
{
    // A failed start-up deletes the main window: it is not tried again on
    // every call, and a call made while it runs finds no station yet.
    if (g_phase == StartUpPhase::Running)
        return false;
    if (!gMainForm) {
        if (g_phase != StartUpPhase::NotAttempted)
            return false;
        if (!StartApplication())
            return false;
    }
    if (!bMonitorOnly)
        gMainForm->QXProgrammer.SetGuiReady(true);
    gMainForm->EnableExperiencedMode();
    return true;
}

