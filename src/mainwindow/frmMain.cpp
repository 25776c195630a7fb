#include "frmMain.h"

#include "BlackBoxLog.h"
#include "engine/EngineCodes.h"
#include "WindowPlacement.h"
#include "automation/CJobControlImpl.h"
#include "automation/frmH950HdlrContainer.h"
#include "device/frmDeviceConfigure.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/Companion.h"
#include "platform/EngineCall.h"
#include "platform/Registry.h"
#include "platform/StationShutdown.h"
#include "platform/Twips.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValueConversion.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"
#include "shell/frmSplash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <cstdio>
#include <optional>

namespace {
using enginecall::Ask;
using enginecall::Try;

frmMain::ControlWrapper g_controlWrapper;

using appinfo::App;

// The main window's designed size, in twips.
constexpr qint32 kStartWidth = 9390;
constexpr qint32 kStartHeight = 6790;

QVariant Setting(const char* section, const char* name, const QVariant& defaultValue)
{
    return GetSettingValue(App(), QString::fromLatin1(section), QString::fromLatin1(name), defaultValue);
}

void Save(const char* section, const char* name, const QVariant& value)
{
    Try([&] { SaveSettingValue(App(), QString::fromLatin1(section), QString::fromLatin1(name), value); });
}

// The start-up failures of the algorithm database, by load result.
struct LoadFailure
{
    qint32 result;
    const char* title;
    const char* text;
};
constexpr LoadFailure kLoadFailures[] = {
    {LoadResult::VersionMismatch, "Version Mismatch",
     "QXEng.dll and QXAlg.db versions mismatched (0x71).  Exiting the software, contact QX Technical Support."},
    {LoadResult::ControlInternalError, "QXPgmr.ocx error",
     "QXPgmr.ocx internal error (0x7E).  Exiting the software, contact QX Technical Support."},
};
constexpr LoadFailure kOtherLoadFailure = {
    0, "Algo Database Error", "Error loading QXAlg.db.  Exiting the software, contact QX Technical Support."};

const LoadFailure& LoadFailureFor(qint32 result)
{
    for (const LoadFailure& f : kLoadFailures) {
        if (f.result == result)
            return f;
    }
    return kOtherLoadFailure;
}
} // namespace

frmMain::frmMain(Station& station)
    : QXProgrammer(station.QXProgrammer),
      ConcurrentManualHandler(station.ConcurrentManualHandler),
      QXH950AutoHandler(station.QXH950AutoHandler),
      vwBufViewer(station.vwBufViewer),
      bEnableEvent(station.bEnableEvent),
      bWarningMessagesEnabled(station.bWarningMessagesEnabled),
      bErrorMessagesEnabled(station.bErrorMessagesEnabled),
      bStatusMessagesEnabled(station.bStatusMessagesEnabled),
      lngNumCopies(station.lngNumCopies),
      m_station(station)
{
    setObjectName(QStringLiteral("frmMain"));
    SetMainWindowEngine(&QXProgrammer);
    JobFiles::Host& jobHost = *this;
    m_jobFiles = std::make_unique<JobFiles>(station, jobHost);
    station.SetJobFiles(m_jobFiles.get());
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    // The operation window never shrinks below what its controls need: when
    // the inner area is smaller, its scroll bars reach the rest (Action and
    // Stop included).
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->viewport()->installEventFilter(this);
    // Every key of the application passes here first: an access key typed
    // anywhere in this window, the quantity box and an open menu included.
    qApp->installEventFilter(this);

    CreateMenusAndQuantityBox();

    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));

    m_oSettingsRefreshTimer.callOnTimeout(this, &frmMain::m_oSettingsRefreshTimer_Timer);
    CJobControlImpl::Instance().SetSettingsRefresh(
        {[this] { return m_oSettingsRefreshTimer.isActive(); },
         [this] {
             // The summary follows the new job parameters, but never under a
             // run.
             if (!frmP || RefuseDuringRun(QStringLiteral("Refreshing the operation tabs")))
                 return;
             frmP->SetDisplayInfo();
         },
         [this] {
             m_oSettingsRefreshTimer.stop();
             m_oSettingsRefreshTimer.setInterval(0);
         }});
}

void frmMain::m_oSettingsRefreshTimer_Timer()
{
    CJobControlImpl::Instance().OnSettingsRefreshTimer();
}

frmMain::~frmMain()
{
    m_station.SetJobFiles(nullptr);
    qApp->removeEventFilter(this);
    CJobControlImpl::Instance().SetSettingsRefresh({});
    reg::SetCorruptHiveReporter(nullptr);
    blackbox::SetJobHeaderSource({});
    SetRecentFilesMenu({});
    SetMainWindowEngine(nullptr);
    SetSettingsLogWriter({});
    SetMessageBoxRoute({});
    // The handler control goes before its host window: it raises its events
    // to that window.
    if (QXH950AutoHandler.IsAttached())
        QXH950AutoHandler.Control()->SetEventSink(nullptr);
    // The controls raise their events to this window: they go with it, as
    // they were made with it.
    vwBufViewer.Attach(nullptr);
    QXH950AutoHandler.Attach(nullptr);
    ConcurrentManualHandler.Attach(nullptr);
    QXProgrammer.Attach(nullptr);
}

ProgrammerClass& frmMain::pgmrData()
{
    return m_station.pgmrData();
}

void frmMain::EnsureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    MDIForm_Load();
}

void frmMain::SetControlWrapper(ControlWrapper wrapper)
{
    g_controlWrapper = std::move(wrapper);
}

bool frmMain::CreateControls()
{
    const auto create = [](const char* className) {
        std::unique_ptr<IDispatchControl> control = companion::CreateControl(QString::fromLatin1(className));
        return g_controlWrapper ? g_controlWrapper(std::move(control)) : std::move(control);
    };
    try {
        QXProgrammer.Attach(create(QXPgmrControl::ClassName));
        ConcurrentManualHandler.Attach(create(ManualHdlControl::ClassName));
        vwBufViewer.Attach(create(DataPaneControl::ClassName));
    } catch (const AutomationError& e) {
        Ui().MsgBox(e.Description(), vb::vbCritical, QStringLiteral("System Error"));
        return false;
    }
    QXProgrammer.Control()->SetEventSink(this);
    ConcurrentManualHandler.Control()->SetEventSink(this);
    vwBufViewer.Control()->SetEventSink(this);
    return true;
}

void frmMain::MDIForm_Load()
{
    // The load reads hundreds of settings: the settings file is looked at
    // once for them, not once each.
    const reg::Batch settings;
    if (!CreateControls()) {
        blnTerminate = true;
        return;
    }
    // Two stations on one engine folder would share its black-box log and
    // settings (one rotating the other's live log away): whatever its
    // edition, the second is refused before it writes anything there.
    const QString engineFolder = Ask([&] { return QString(QXProgrammer.EngineDirectory()); }, QString());
    if (!engineFolder.isEmpty() && QFileInfo(engineFolder).isDir()) {
        m_engineFolderLock = std::make_unique<appinfo::SingleInstance>(QStringLiteral("Station"), engineFolder);
        if (!m_engineFolderLock->TryAcquire() && m_engineFolderLock->HeldElsewhere()) {
            Ui().MsgBox(QStringLiteral("Only one instance of this application could be run at a time!"), vb::vbCritical,
                        QStringLiteral("Instance Error"));
            m_engineFolderRefused = true;
            blnTerminate = true;
            return;
        }
    }

    // A new run starts a new black-box log and a new export log. From now
    // on a damaged settings file is reported there too, not only on stderr.
    blackbox::RequestRotation();
    ResetExportLog();
    SetSettingsLogWriter([](const QString& line) { ::WriteLogInfo(line, true); });
    SetMessageBoxRoute({[this] {
                            bool silent = false;
                            if (QXProgrammer.IsAttached())
                                Try([&] { silent = QXProgrammer.SilentMode(); });
                            return silent;
                        },
                        [this](const QString& text) { OperationStatusText(text); }});
    bWarningMessagesEnabled = bErrorMessagesEnabled = bStatusMessagesEnabled = true;
    bEnableEvent = true;
    bLabelPrintEnabled = true;

    // The automatic handler lives on its hidden host window.
    frmH950 = new frmH950HdlrContainer(m_station, this);
    Try([&] { QXH950AutoHandler.Attach(frmH950->CreateHandler()); });

    WriteInfoToLogFile(QStringLiteral("Command Line: ") + RawCommandLineText(), false);
    Try([&] { QXProgrammer.SoftwareVersion(QStringLiteral(TARVO_VERSION)); });

    // The OEM edition names itself in the Help menu.
    if (gbChiseloEdition) {
        mnuHelpAbout->setText(QStringLiteral("&About Chiselo..."));
        mnuTarvoHelp->setText(QStringLiteral("Chiselo &Help..."));
    }

    frmP = new frmProgram(m_station);
    connect(frmP, &QWidget::windowTitleChanged, this, &frmMain::ShowCaption);
    // The hidden device options window is made when first needed.
    reg::SetCorruptHiveReporter([this](const QString& report) { OperationStatusText(report); });
    blackbox::SetJobHeaderSource({[this] { return pgmrData().bStartInOperatorMode; },
                                  [this] { return frmP ? frmP->GetDeviceInfo() : QString(); },
                                  [this] { return frmP ? frmP->GetBufferInfo() : QString(); }});

    QApplication::setOverrideCursor(Qt::WaitCursor);

    blnTerminate = false;
    bInitialized = false;
    bOperationWindowPlaced = false;
    sbStatusBar->hide();
    SetMainCaption(App());

    // The saved width and height are not read back: the window starts at its
    // designed size.
    ReadSettingsAtLoad();
    resize(twips::ToPixels(kStartWidth), twips::ToPixels(kStartHeight));

    if (gbGenerateDeviceList)
        Try([&] { QXProgrammer.SetGuiReady(true); });
    if (frmSplash::IsLoaded())
        frmSplash::Instance().ShowInitStep(2);
    Try([&] { QXProgrammer.StartupValue108(appinfo::ProgramFolder()); });
    // An engine that fails the call counts as its internal error.
    const qint32 result =
        Ask([&] { return qint32(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db"))); }, qint32(0x7E));

    Try([&] { pgmrData().RunDelayedRegInit(true); });
    Try([&] { QXProgrammer.DefaultBufferByte(ToInteger(Setting("Configuration", "lngDefBufVal", 0), 0)); });
    WriteStartupInformation();

    // A database that did not load ends start-up. In the engine's Vexal mode
    // the load goes on, but start-up still stops.
    if (result != 0) {
        const LoadFailure& failure = LoadFailureFor(result);
        Ui().MsgBox(QString::fromLatin1(failure.text), vb::vbCritical, QString::fromLatin1(failure.title));
        blnTerminate = true;
        bool vexalMode = false;
        Try([&] { vexalMode = QXProgrammer.IsVexalMode(); });
        if (!vexalMode) {
            QApplication::restoreOverrideCursor();
            return;
        }
    }

    // An engine that does not initialise stops start-up without a message.
    if (frmSplash::IsLoaded())
        frmSplash::Instance().ShowInitStep(3);
    const qint32 result2 =
        Ask([&] { return qint32(QXProgrammer.InitializeEngine194(qint32(pgmrData().lngMasterSiteID))); }, qint32(-1));
    if (result2 != 0) {
        blnTerminate = true;
        QApplication::restoreOverrideCursor();
        return;
    }

    // Started: the caption carries the engine's version and date.
    SetMainCaption(App() + QStringLiteral("  ") + GetVersionNDate() + QStringLiteral("   "));
    // The engine's error messages are off for the refresh only: they come
    // back whether the refresh works or fails.
    std::optional<bool> showErrors;
    Try([&] { showErrors = bool(QXProgrammer.ShowErrorMessages()); });
    if (showErrors)
        Try([&] { QXProgrammer.ShowErrorMessages(false); });
    Try([&] { QXProgrammer.RefreshState202(qint32(0), qint32(0), qint32(0)); });
    if (showErrors)
        Try([&] { QXProgrammer.ShowErrorMessages(*showErrors); });
    Try([&] {
        if (QXProgrammer.IsVexalMode())
            gbVexalMode = true;
    });
    // The operation window loads once the engine has its database, so that
    // it can select the device it had.
    frmP->Form_Load();
    ShowOperationWindow();
    RestoreRangeSettings();
    ConnectJobMenus();
    QApplication::restoreOverrideCursor();
}

frmDeviceConfigure& frmMain::DeviceConfigureDlg()
{
    if (!frmDeviceConfigureDlg)
        frmDeviceConfigureDlg = new frmDeviceConfigure(m_station, this);
    return *frmDeviceConfigureDlg;
}

void frmMain::ReadSettingsAtLoad()
{
    m_station.LoadQuantity(ToLong(Setting("Device", "NumDevices", 1), 1));
    // A place saved on a screen that is gone puts the window on the primary
    // screen.
    const QPoint saved(twips::ToPixels(ToLong(Setting("Settings", "MainLeft", 0), 0)),
                       twips::ToPixels(ToLong(Setting("Settings", "MainTop", 0), 0)));
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    move(PlaceOnScreens(saved, QSize(twips::ToPixels(kStartWidth), twips::ToPixels(kStartHeight)), screens,
                        primary ? primary->availableGeometry() : QRect()));
    bHex = ToBool(Setting("Settings", "ShowInHex", true), true);

    // The automatic handler's places, one handler property each.
    struct HandlerText
    {
        const char* name;
        const char* defaultValue;
        void (H950HdlrControl::*put)(const QString&);
    };
    const HandlerText handlerTexts[] = {
        {"Primary Source", "SHUTTLE1", &H950HdlrControl::PrimarySource},
        {"Alternate Source", "SHUTTLE2", &H950HdlrControl::AlternateSource},
        {"Primary Destination", "SHUTTLE1", &H950HdlrControl::PrimaryDestination},
        {"Alternate Destination", "SHUTTLE2", &H950HdlrControl::AlternateDestination},
        {"Marker", "", &H950HdlrControl::Marker},
        {"Package", "TSOP32", &H950HdlrControl::Package},
    };
    // The handler is named once: a call through a member pointer on the
    // reference member inside the lambda read a wrong object under the
    // sanitizer build.
    H950HdlrControl& handler = QXH950AutoHandler;
    for (const HandlerText& t : handlerTexts) {
        const QString value = Setting("H950hdlr", t.name, QString::fromLatin1(t.defaultValue)).toString();
        Try([&handler, &t, &value] { (handler.*t.put)(value); });
    }
    ProgrammerClass& data = pgmrData();
    data.strSKAutoDir = Setting("H950hdlr", "SKAuto File Directory", QString()).toString();
    data.strSerialNumber = Setting("H950hdlr", "Serial Number", QStringLiteral("SNH950")).toString();
    Try([&] { QXH950AutoHandler.SealbookAutoFileDirectory(data.strSKAutoDir); });
}

void frmMain::ShowOperationWindow()
{
    if (!m_operationSubWindow) {
        m_operationSubWindow = mdiArea->addSubWindow(frmP, Qt::FramelessWindowHint);
        m_operationSubWindow->setObjectName(QStringLiteral("frmProgramWindow"));
    }
    m_operationSubWindow->show();
    PlaceOperationWindow();
    frmP->UpdateFormCaption(true);
    bOperationWindowPlaced = true;
    ShowCaption();
}

void frmMain::SetMainCaption(const QString& caption)
{
    m_mainCaption = caption;
    ShowCaption();
}

void frmMain::ShowCaption()
{
    // As a maximised child window's caption joins its frame's title.
    const bool shown = bOperationWindowPlaced && frmP && !m_operationUnloaded && !frmP->windowTitle().isEmpty();
    setWindowTitle(shown ? m_mainCaption + QStringLiteral(" - [") + frmP->windowTitle() + QLatin1Char(']')
                         : m_mainCaption);
}

void frmMain::MDIForm_Resize()
{
    if (!bOperationWindowPlaced)
        return;
    PlaceOperationWindow();
    frmP->RefreshAll();
}

void frmMain::PlaceOperationWindow()
{
    // The operation window fills the inner area, but never less than its
    // controls need (its option rows included): the inner area's scroll bars
    // then reach the rest. It stays at the origin of the scrolled area.
    const QSize needed = frmP->minimumSize().grownBy(m_operationSubWindow->contentsMargins());
    const QPoint origin(-mdiArea->horizontalScrollBar()->value(), -mdiArea->verticalScrollBar()->value());
    m_operationSubWindow->setGeometry(QRect(origin, mdiArea->viewport()->size().expandedTo(needed)));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // The inner area gets its new size after the window's own resize event:
    // the operation window follows the inner area.
    if (watched == mdiArea->viewport() && event->type() == QEvent::Resize)
        MDIForm_Resize();
    // Access keys, wherever the focus is in the main window
    // (frmMainAccessKeys.cpp).
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        if (RouteAccessKey(watched, static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::InitializeGui()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProgrammerClass& data = pgmrData();

    SetButtonMenuLogic();
    SetHandlerStateInfo();

    // On the demo port the engine takes the locked-job settings from the job
    // configuration; a programmer keeps its own.
    Try([&] { data.udtParallelPort = QXProgrammer.PortIndex(); });
    if (data.udtParallelPort != 0) {
        Try([&] { data.bStartInOperatorMode = QXProgrammer.SealbookSetting211(); });
    } else {
        Try([&] { QXProgrammer.ChangeSealbookPassword(QString(), data.strOperatorPwd); });
        Try([&] {
            QXProgrammer.SealbookConfigure210(data.bStartInOperatorMode, data.strOperatorPwd, data.bEnableMarkEditor);
        });
    }

    qint32 model = 0;
    Try([&] { model = QXProgrammer.ProgrammerModelIndex(); });
    data.udtPgmrType = gbChiseloEdition || ProgrammerClass::IsVexalModel(model) ? 22 : 12;

    // The last job comes back when the station starts in operator mode.
    if (data.bAutoLoadJob && data.bStartInOperatorMode) {
        if (!data.strJobName.isEmpty()) {
            // The engine's answer tells whether the job came back.
            const qint32 answer = m_jobFiles->LoadJobFile(data.strJobName);
            frmP->AddStatusTextLine(answer == 0
                                        ? QStringLiteral("Job ") + data.strJobName + QStringLiteral(" loaded.")
                                        : QStringLiteral("Failed to load ") + data.strJobName + QStringLiteral("."));
        } else {
            frmP->AddStatusTextLine(
                QStringLiteral("No job file was selected in previous launches! Cannot load any job!"));
        }
    }

    SetSKMode(data.bStartInOperatorMode);
    bInitialized = true;
    // An automatic handler runs no novice prompts.
    if (data.udtHandlerType == 1 || data.udtHandlerType == 2)
        data.bNoviceMode = false;

    // The engine's options, in the order the engine takes them.
    Try([&] { QXProgrammer.RunOption60(data.bNoviceMode); });
    Try([&] { QXProgrammer.ToolsOption66(data.bBeepOn); });
    Try([&] { QXProgrammer.StartupCall277(data.bMatchChipPinAndSocket); });
    Try([&] { QXProgrammer.ToolsOption327(data.bMemoryIntegrityCheck); });
    Try([&] { QXProgrammer.ToolsOption68(data.bElapsedTime); });

    QApplication::restoreOverrideCursor();

    if (!gCmdLineJobFile.isEmpty())
        LoadCommandLineJobFile(gCmdLineJobFile);

    // A concurrent programmer gets its master site: the stored number is a
    // module, whose first site the engine makes the master site.
    Try([&] {
        if (QXProgrammer.IsConcurrentProgrammer() && data.udtParallelPort != 0)
            QXProgrammer.SelectMasterSite(qint32(data.lngMasterSiteID));
    });

    SKConversionPrompt();
    data.UpdateFileMenuWithRecentFiles();
}

void frmMain::LoadCommandLineJobFile(const QString& file)
{
    ProgrammerClass& data = pgmrData();
    // A job named on the command line that cannot be taken is told, naming
    // the file and why; the station keeps the job it had.
    const auto refuse = [&](const QString& reason) {
        frmP->AddStatusTextLine(QStringLiteral("Failed to load ") + file + QStringLiteral(": ") + reason);
    };
    qint32 opened = -1;
    Try([&] { opened = QXProgrammer.OpenSealbookFile(file); });
    if (opened == 50)
        opened = 0;
    QString type;
    if (opened == 0)
        Try([&] {
            type = QXProgrammer.ReadSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("QXType"), QString());
        });
    Try([&] { QXProgrammer.CloseSealbookFile(); });
    if (opened != 0) {
        const QFileInfo info(file);
        refuse(info.isFile() && info.isReadable()
                   ? QStringLiteral("it is not a job file or the file is corrupted (%1).").arg(opened)
                   : QStringLiteral("the file cannot be opened."));
        return;
    }

    if (type == QLatin1String("SKAuto")) {
        data.skType = 2;
        if (data.udtHandlerType == 1 || data.udtHandlerType == 2) {
            frmP->AddStatusTextLine(QStringLiteral("Loading ") + file + QStringLiteral("..."));
            qint32 result = 0;
            LoadSKAutoFileCore(file, result, true);
            frmP->AddStatusTextLine(result != 0 ? QStringLiteral("Failed to load ") + file + QStringLiteral(".")
                                                : file + QStringLiteral(" loaded."));
        } else {
            Ui().MsgBox(
                QStringLiteral("This is a Sealbook File for auto handler. Please use File/Configure to switch to "
                               "H950 Mode and load the\r\nSealbook Auto file from the H950 handler window."),
                vb::vbCritical, QStringLiteral("Mode Error"));
        }
    } else if (type == QLatin1String("SK")) {
        data.skType = 1;
        qint32 result = 0;
        LoadJob(file, result);
        if (result != 0)
            frmP->AddStatusTextLine(QStringLiteral("Failed to load ") + file + QStringLiteral("."));
    } else {
        refuse(type.isEmpty() ? QStringLiteral("it names no job type.")
                              : QStringLiteral("its job type \"") + type + QStringLiteral("\" is not known."));
    }
}

void frmMain::SaveStartUpWorkingDirectory()
{
    sWorkingDirectoryAtLaunch = QDir::currentPath();
    Try([&] { QXProgrammer.SerializationCall246(sWorkingDirectoryAtLaunch); });
}

void frmMain::ExecuteCommandLineArguments()
{
    ExecCmdLnArgGenerateDeviceList();
    // A device list run has closed the station: nothing more is carried out.
    if (m_unloaded)
        return;
    frmP->LoadCmdLnDataPatternFile();
}

void frmMain::ExecCmdLnArgGenerateDeviceList()
{
    if (!gbGenerateDeviceList)
        return;
    EnableGui(false);
    frmP->btnStop->setEnabled(true);
    Try([&] { ApplyDefaultConfiguration(false); });
    QString failure;
    try {
        QXProgrammer.GenerateDeviceList();
    } catch (const AutomationError& e) {
        failure = e.Description().isEmpty() ? QStringLiteral("error %1").arg(e.Number()) : e.Description();
    }
    EnableGui(true);
    // The window closes either way; a list that was not written must not
    // pass for a finished run, so it is logged, told on stderr and the
    // program ends with a failure status.
    if (!failure.isEmpty()) {
        m_commandLineActionFailed = true;
        const QString text = QStringLiteral("The device list was not generated: ") + failure;
        WriteLogInfo(text, true);
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    close();
}

void frmMain::HandlerStatusText(const QString& text)
{
    WriteLogInfo(QStringLiteral("Status Text ") + text, true);
    if (bEnableEvent && bStatusMessagesEnabled && frmP)
        frmP->AddStatusTextLine(text);
}

void frmMain::EnableExperiencedMode()
{
    pgmrData().bNoviceMode = false;
    Try([&] { QXProgrammer.RunOption60(false); });
}

// --- logs, versions and message switches ---

void frmMain::WriteLogInfo(const QString& text, bool bTimeStamp)
{
    ::WriteLogInfo(text, bTimeStamp);
}
void frmMain::EnablePgmrWarningMessage(bool enable)
{
    bWarningMessagesEnabled = enable;
}
void frmMain::EnablePgmrErrorMessage(bool enable)
{
    bErrorMessagesEnabled = enable;
}
void frmMain::EnablePgmrStatusMessage(bool enable)
{
    bStatusMessagesEnabled = enable;
}

void frmMain::SetHandlerStateInfo()
{
    ::SetHandlerStateInfo(pgmrData().udtHandlerType, pgmrData().strSerialNumber, QXH950AutoHandler);
    frmP->SetButtonStates();
}

QString frmMain::GetSoftwareVersion()
{
    return ::GetSoftwareVersion(QXProgrammer);
}
QString frmMain::GetVersionNDate()
{
    return ::GetVersionNDate(QXProgrammer);
}
void frmMain::WriteInfoToLogFile(const QString& text, bool bAddDate)
{
    ::WriteInfoToLogFile(text, bAddDate);
}
void frmMain::SetExportChiseloLogFile(bool value)
{
    ::SetExportChiseloLogFile(value);
}
void frmMain::WriteStartupInformation()
{
    ::WriteStartupInformation(QXProgrammer);
}

void frmMain::SetDemoMode(qint32 model)
{
    ::SetDemoMode(
        model, pgmrData(), QXProgrammer,
        [this] {
            frmP->UpdateFormCaption(true);
            SetHandlerStateInfo();
        },
        [this](const QString& line) { frmP->AddStatusTextLine(line); });
}

void frmMain::WriteSettingsAtUnload()
{
    ProgrammerClass& data = pgmrData();
    const bool automaticHandler = data.udtHandlerType == 1 || data.udtHandlerType == 2;

    // What the engine and the handler hold goes back into the settings.
    Try([&] { data.bStartInOperatorMode = QXProgrammer.SealbookSetting211(); });
    Try([&] { data.strSKAutoDir = QXH950AutoHandler.SealbookAutoFileDirectory(); });
    qint32 numDevices = lngNumCopies;
    if (numDevices < 1) {
        numDevices = 1;
        if (automaticHandler)
            Try([&] { numDevices = QXH950AutoHandler.Quantity(); });
    }

    // The values are written in this order.
    Save("Device", "NumDevices", numDevices);
    struct HandlerText
    {
        const char* name;
        QString (H950HdlrControl::*get)();
    };
    const HandlerText handlerTexts[] = {
        {"Primary Source", &H950HdlrControl::PrimarySource},
        {"Primary Destination", &H950HdlrControl::PrimaryDestination},
        {"Alternate Source", &H950HdlrControl::AlternateSource},
        {"Alternate Destination", &H950HdlrControl::AlternateDestination},
        {"Marker", &H950HdlrControl::Marker},
        {"Package", &H950HdlrControl::Package},
        {"SKAuto File Directory", &H950HdlrControl::SealbookAutoFileDirectory},
    };
    H950HdlrControl& handler = QXH950AutoHandler;
    for (const HandlerText& t : handlerTexts)
        Try([&handler, &t] { Save("H950hdlr", t.name, (handler.*t.get)()); });
    Save("Settings", "ShowInHex", bHex);
    if (data.udtHandlerType == 0)
        Save("H950hdlr", "Serial Number", data.strSerialNumber);
    else
        Try([&] { Save("H950hdlr", "Serial Number", QXH950AutoHandler.SerialNumber()); });
    // A minimized window keeps the position and size saved before.
    if (!isMinimized()) {
        Save("Settings", "MainLeft", twips::FromPixels(x()));
        Save("Settings", "MainTop", twips::FromPixels(y()));
        Save("Settings", "MainWidth", twips::FromPixels(width()));
        Save("Settings", "MainHeight", twips::FromPixels(height()));
    }
    Try([&] { Save("Configuration", "lngDefBufVal", qint32(QXProgrammer.DefaultBufferByte())); });
}

void frmMain::MDIForm_Unload()
{
    // Most of the hundred and more settings saved here are as they were: the
    // settings file is looked at once for those, not once each.
    const reg::Batch settings;
    // A station refused the engine's folder started nothing there and
    // leaves its logs and the engine to the station that holds it.
    if (m_engineFolderRefused)
        return;
    // Settings are saved and the windows unloaded only after a successful
    // start-up.
    if (!blnTerminate) {
        WriteSettingsAtUnload();
        if (frmP && !m_operationUnloaded)
            frmP->Form_Unload();
        m_operationUnloaded = true;
        SaveRangeSettings();
        delete frmDeviceConfigureDlg;
        frmDeviceConfigureDlg = nullptr;
    }

    // The engine is told to shut down in every case.
    WriteLogInfo(QStringLiteral("Application Tarvo is being shut down!"), true);
    if (QXH950AutoHandler.IsAttached())
        QXH950AutoHandler.Control()->SetEventSink(nullptr);
    delete frmH950;
    frmH950 = nullptr;
    // The job configuration outlives the operation window's unload so that
    // its delayed values go back to the store, then it is saved and ends.
    // After a failed start-up nothing is written back.
    if (m_station.HasProgrammerData()) {
        if (!blnTerminate)
            Try([&] { pgmrData().RunDelayedRegInit(false); });
        m_station.ReleaseProgrammerData(!blnTerminate);
    }
    Try([&] { QXProgrammer.ShutDown(); });
    WriteLogInfo(QStringLiteral("System has been shut down successfully!"), true);
    WriteInfoToLogFile(QStringLiteral("System has been shut down successfully!"), true);
    // This station is done with the engine's folder.
    m_engineFolderLock.reset();
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
    // A close asked for while a box or dialog waits (a termination signal,
    // File > Exit or the window's close reached from inside it) would free
    // what the handler under the dialog still uses: the request ends the
    // boxes, and the station closes from the outermost loop.
    if (m_loaded && !m_unloaded && shutdown::InNestedLoop()) {
        shutdown::Request();
        event->ignore();
        return;
    }
    // A close asked for from outside (the termination signals) during a run
    // presses Stop and closes once the run has ended, rather than leaving a
    // box waiting for an operator. The operator's own close is spontaneous
    // and goes to the operation window, which refuses it during a run.
    if (m_loaded && !m_unloaded && !event->spontaneous() && RunInProgress()) {
        if (!m_closeWhenRunEnds) {
            m_closeWhenRunEnds = true;
            WriteLogInfo(QStringLiteral("Termination requested during an operation; it is stopped and the station "
                                        "closes once it has ended."),
                         true);
            frmP->btnStop_Click();
            WatchForRunEnd();
        }
        event->ignore();
        return;
    }
    // The operation window unloads first and may refuse (a run is going on);
    // then the whole close is refused.
    if (m_loaded && !m_unloaded && !blnTerminate && frmP && !m_operationUnloaded) {
        if (!frmP->Form_Unload()) {
            event->ignore();
            return;
        }
        m_operationUnloaded = true;
    }
    Unload();
    event->accept();
}

// --- buffer and range states of the File menu ---

bool frmMain::ClearBuffer()
{
    bool refused = false;
    Try([&] { refused = QXProgrammer.DataFileValue313(); });
    if (refused)
        return true;
    pgmrData().blnBufferEmpty = true;
    pgmrData().blnFileLoaded = false;
    Try([&] { QXProgrammer.DataFileTypeCode(qint32(0)); });
    SetBufferEmptyControlStates();
    return false;
}

void frmMain::SetBufferEmptyControlStates()
{
    frmP->ShowBufferEmpty();
    SaveDataPattern->setEnabled(false);
    SaveDataPatternAs->setEnabled(false);
    frmP->BufferType(QString(), QDateTime::currentDateTime(), 0);
}

void frmMain::ClearFileMRUList()
{
    for (int i = 1; i < mnuRecentFile.size(); ++i) {
        mnuRecentFile[i]->setText(QString());
        mnuRecentFile[i]->setVisible(false);
    }
}

void frmMain::ShowRecentFiles(const QStringList& files)
{
    ClearFileMRUList();
    for (qsizetype row = 0; row < files.size() && row + 1 < mnuRecentFile.size(); ++row) {
        mnuRecentFile[0]->setVisible(true);
        QString shown = CompactPathToFit(files.at(row), this, nullptr, false, 200);
        // An ampersand of the path is shown, not taken as the entry's key.
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        mnuRecentFile[row + 1]->setText(QStringLiteral("&%1 %2").arg(row + 1).arg(shown));
        mnuRecentFile[row + 1]->setVisible(true);
    }
}

void frmMain::EnableRecentFileMenus(bool enable)
{
    for (int i = 1; i < mnuRecentFile.size(); ++i)
        mnuRecentFile[i]->setEnabled(enable);
}

bool frmMain::IsVexalDeviceOrAfmOrStaplFile()
{
    bool result = false;
    Try([&] { result = QXProgrammer.DeviceIsVexal() || QXProgrammer.DataFileTypeCode() == FileTypes::FT_AFM; });
    return result;
}

void frmMain::DisableBufferActionsForVexal()
{
    bool vexalMode = false;
    Try([&] { vexalMode = QXProgrammer.IsVexalMode(); });
    EditDataPattern->setEnabled(!(IsVexalDeviceOrAfmOrStaplFile() && !vexalMode));
}

void frmMain::EnableFileSaveDataPattern()
{
    bool writable = false;
    Try([&] { writable = QXProgrammer.FileTypeInfoAt(qint32(QXProgrammer.DataFileTypeCode())); });
    SaveDataPattern->setEnabled(writable);
}

void frmMain::GetEngineRangeValues(qint32& low, qint32& high)
{
    Try([&] { low = QXProgrammer.WordRangeLow(); });
    Try([&] { high = QXProgrammer.WordRangeHigh(); });
}

void frmMain::SetEngineRangeValues(qint32 low, qint32 high)
{
    Try([&] { QXProgrammer.WordRangeLow(low); });
    Try([&] { QXProgrammer.WordRangeHigh(high); });
}

void frmMain::LoadRangeSettingsFromRegistry()
{
    SetEngineRangeValues(ToLong(Setting("Configuration", "lngLowWordRange", 0), 0),
                         ToLong(Setting("Configuration", "lngHighWordRange", 0), 0));
}

void frmMain::RestoreRangeSettings()
{
    if (GetCmdLineDevice().isEmpty())
        LoadRangeSettingsFromRegistry();
    frmP->SetDisplayInfo();
}

void frmMain::SaveRangeSettings()
{
    qint32 low = 0, high = 0;
    GetEngineRangeValues(low, high);
    Save("Configuration", "lngLowWordRange", low);
    Save("Configuration", "lngHighWordRange", high);
}
