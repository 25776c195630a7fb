#include "StartUp.h"

#include "ComponentRegistration.h"
#include "DeferredIconStyle.h"
#include "FontWarmUp.h"
#include "automation/AutomationServer.h"
#include "automation/frmAutomationHost.h"
#include "ShellUtilities.h"
#include "StartUpHeap.h"
#include "StartUpHelper.h"
#include "frmSplash.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/Registry.h"
#include "platform/StationShutdown.h"
#include "platform/TerminationSignals.h"
#include "platform/UiService.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <memory>

frmMain* gMainForm = nullptr;

namespace {
std::unique_ptr<appinfo::SingleInstance> g_instance;
frmAutomationHost g_automationHost;
// Started by an automation client with no Create within this time: the
// process ends.
constexpr int kFirstCreateTimeoutMs = 60000;
// How long the station stands before the allocator gets its usual limits
// back: giving the start-up heap back right away would only make the first
// work after start-up (or an immediate close) fault its pages in again.
constexpr int kHeapReleaseDelayMs = 1000;

// Where start-up stands. While it runs, a termination request is only
// recorded: closing from inside the main window's load would unload the
// station in the middle of loading it.
enum class StartUpPhase { NotAttempted, Running, Done };
StartUpPhase g_phase = StartUpPhase::NotAttempted;
StartUpOutcome g_outcome = StartUpOutcome::NotAttempted;
bool g_terminationRequested = false;
// Main or the automation start runs the station's loop: once the station has
// ended, that loop ends too.
bool g_stationLoopRunning = false;

const QString kUsageText = QStringLiteral("Available command line options: \r\n\r\n"
                                          "-SK <Job File Name>\r\n"
                                          "-device <Device Name>\r\n"
                                          "-prog_file <Data File Name>\r\n"
                                          "-log <Log File Name>\r\n");
} // namespace

namespace {
// The station the main window is made over. It goes with its main window
// (its QObject parent, deleted after the windows inside it), wherever the
// main window is deleted; the automation host works on it while it stands.
Station* g_station = nullptr;

void MakeMainWindow()
{
    g_station = new Station;
    gMainForm = new frmMain(*g_station);
    g_station->setParent(gMainForm);
    g_automationHost.SetStation(g_station);
}

void DeleteMainWindow()
{
    g_automationHost.SetStation(nullptr);
    delete gMainForm;
    gMainForm = nullptr;
    g_station = nullptr;
}
} // namespace

// The program icon, on the application, the top of the main window's owner
// chain and the main window (loading it if that has not happened yet). Qt
// keeps one icon with every size, so the two calls of start-up set the same.
// The application has it before the main window loads, so that the operation
// window's title bar shows it at once instead of a stand-in from the style.
static void SetAppIcons()
{
    const QIcon icon = AppIcon();
    QApplication::setWindowIcon(icon);
    gMainForm->EnsureLoaded();
    if (QWidget* top = GetTopOwnerWindow(gMainForm))
        top->setWindowIcon(icon);
    gMainForm->setWindowIcon(icon);
}

StartUpOutcome LastStartUpOutcome()
{
    return g_outcome;
}
bool TerminationRequested()
{
    return g_terminationRequested;
}

// The closer of the one shutdown path; it runs from the outermost loop.
static bool CloseStation()
{
    // The station closes once start-up has finished.
    if (g_phase == StartUpPhase::Running)
        return false;
    if (gMainForm && !gMainForm->IsUnloaded()) {
        gMainForm->close();
        // A run is being stopped: the station closes once it has ended.
        if (!gMainForm->IsUnloaded())
            return false;
    }
    // Nothing a handler showed on its way out keeps the process.
    if (g_stationLoopRunning)
        QCoreApplication::quit();
    return true;
}

void OnTerminationRequest()
{
    if (g_phase == StartUpPhase::Running)
        g_terminationRequested = true;
    shutdown::SetCloser(CloseStation);
    shutdown::Request();
}

// Runs the station's loop until the station has ended.
static int RunStationLoop()
{
    g_stationLoopRunning = true;
    const int code = qApp->exec();
    g_stationLoopRunning = false;
    return code;
}

// Started by bus activation: the name at once, then the first Create runs the
// start-up. A station already running (the lock) or the name held elsewhere
// ends this process with one line on stderr.
static int RunEmbedded()
{
    shutdown::SetCloser(CloseStation);
    InstallTerminationHandler(OnTerminationRequest);
    g_instance = std::make_unique<appinfo::SingleInstance>(appinfo::ApplicationTitle());
    if (!g_instance->TryAcquire()) {
        std::fputs("tarvo: a station is already running in this session; automation not started.\n", stderr);
        return kStartUpFailedExitCode;
    }
    SetAutomationHost(&g_automationHost);
    // The bus that started us is the session bus we serve.
    if (qEnvironmentVariable("DBUS_STARTER_BUS_TYPE") == QLatin1String("session")
        && qEnvironmentVariableIsSet("DBUS_STARTER_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", qgetenv("DBUS_STARTER_ADDRESS"));
    AutomationServer server(QDBusConnection::sessionBus());
    server.SetStartUp([] { return EnsureMainWindow(true); });
    QString reason;
    if (!server.Publish(false, &reason)) {
        std::fprintf(stderr, "tarvo: automation not started: %s\n", qPrintable(reason));
        SetAutomationHost(nullptr);
        return kStartUpFailedExitCode;
    }
    QObject::connect(&server, &AutomationServer::startUpFailed, qApp, [] { qApp->exit(kStartUpFailedExitCode); });
    QTimer::singleShot(kFirstCreateTimeoutMs, &server, [&server] {
        if (!server.CreateSeen())
            qApp->exit(0);
    });
    const int code = RunStationLoop();
    server.ReleaseAll();
    SetAutomationHost(nullptr);
    return code;
}

// A station the user started offers automation once it stands: it asks for
// the name, queued behind a holder.
static std::unique_ptr<AutomationServer> PublishAutomation(const QDBusConnection& bus)
{
    SetAutomationHost(&g_automationHost);
    auto server = std::make_unique<AutomationServer>(bus);
    QString reason;
    if (!server->Publish(true, &reason)) {
        WriteLogInfo(QStringLiteral("Automation is not offered: ") + reason, true);
        if (!bus.isConnected())
            server.reset();
    }
    return server;
}

int Main()
{
    QApplication::setStyle(new DeferredIconStyle);
    if (appinfo::GetStartMode() != appinfo::StartMode::Standalone)
        return RunEmbedded();
    shutdown::SetCloser(CloseStation);
    InstallTerminationHandler(OnTerminationRequest);
    PreloadComponents();
    // The session bus is reached on a helper thread while the station loads:
    // offering automation once it stands then finds the connection made (or
    // known to be missing) instead of waiting for it; asking again would try
    // a missing bus once more. Whatever the outcome, the helper is waited for
    // before Main returns.
    QDBusConnection sessionBus(QString{});
    StartUpHelper busHelper;
    const bool busOnHelper = busHelper.Start([&sessionBus] { sessionBus = QDBusConnection::sessionBus(); });
    // Watching processes (tests, measures) learn that start-up has begun.
    if (qEnvironmentVariableIsSet("TARVO_REPORT_SHOWN")) {
        std::fputs("starting\n", stdout);
        std::fflush(stdout);
    }
    if (!StartApplication() || !gMainForm)
        return LastStartUpOutcome() == StartUpOutcome::Failed ? kStartUpFailedExitCode : 0;
    if (g_terminationRequested) {
        // Asked to end while starting: now that the station stands, the
        // closer closes it through its own close path (its settings are saved).
        WriteLogInfo(QStringLiteral("Termination requested during start-up; the station closes."), true);
        return RunStationLoop();
    }
    busHelper.Finish();
    if (!busOnHelper)
        sessionBus = QDBusConnection::sessionBus();
    const std::unique_ptr<AutomationServer> automation = PublishAutomation(sessionBus);
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
    return RunStationLoop();
}

void ReleaseInstanceLock()
{
    g_instance.reset();
    g_phase = StartUpPhase::NotAttempted;
    g_outcome = StartUpOutcome::NotAttempted;
    g_terminationRequested = false;
    shutdown::Reset();
}

static StartUpOutcome StartApplicationBody();

bool StartApplication()
{
    shutdown::SetCloser(CloseStation);
    g_phase = StartUpPhase::Running;
    g_outcome = StartApplicationBody();
    g_phase = StartUpPhase::Done;
    QTimer::singleShot(kHeapReleaseDelayMs, qApp, [] { startupheap::Release(); });
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

    // One station per user session (a start by activation holds it already).
    if (!g_instance)
        g_instance = std::make_unique<appinfo::SingleInstance>(appinfo::ApplicationTitle());
    if (!g_instance->TryAcquire()) {
        FinishFontWarmUp();
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
        FinishFontWarmUp();
        Ui().MsgBox(kUsageText, vb::vbInformation, QStringLiteral("Command Line Options"));
        return StartUpOutcome::Ended;
    }

    // The first window: the font configuration read ahead must be there.
    FinishFontWarmUp();
    MakeMainWindow();

    frmSplash& splash = frmSplash::Instance();
    // The first step's text paints the splash once.
    splash.show();
    splash.ShowInitStep(0);

    // A failed registration ends the program before anything is loaded.
    if (!SettingsFolderWritable() || !RegisterComponents()) {
        frmSplash::Unload();
        DeleteMainWindow();
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
        DeleteMainWindow();
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

    // The last job, the Vexal flag and the command-line actions. The quantity
    // box already shows the station's quantity: it follows it from the load.
    gMainForm->InitializeGui();
    gMainForm->QXProgrammer.VexalCommandLine(gbVexalMode);
    gMainForm->SaveStartUpWorkingDirectory();
    gMainForm->ExecuteCommandLineArguments();

    ClearCommandLineFiles();
    // A command-line action that closed the station (the device list run)
    // ends the program here, with the action's status.
    if (gMainForm->IsUnloaded()) {
        const bool failed = gMainForm->CommandLineActionFailed();
        DeleteMainWindow();
        return failed ? StartUpOutcome::Failed : StartUpOutcome::Ended;
    }
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
