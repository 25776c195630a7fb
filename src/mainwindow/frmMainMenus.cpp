// The main window's menu bar and quantity box: the menu tree, the rules that
// show and enable its items, and the commands behind them.

#include "frmMain.h"

#include "BlackBoxLog.h"
#include "HelpTopic.h"
#include "QuantityRule.h"
#include "device/frmDeviceConfigure.h"
#include "operation/OperationLists.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "records/SerializationFrm.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "settings/frmConfigure.h"
#include "shell/ComponentRegistration.h"
#include "shell/StartUp.h"
#include "shell/frmAbout.h"
#include "shell/frmTechSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScopeGuard>
#include <QToolBar>
#include <QUrl>

namespace {
using enginecall::Ask;
using enginecall::Try;

// One row of the menu tree, in the order the items appear. A row without a
// handler is either a heading or separator, or an item that other parts of
// the station wire by its object name (job files, locked jobs).
enum class Kind { Menu, Item, Separator, RecentFiles, Tasks };
struct MenuRow
{
    Kind kind;
    const char* name;
    const char* caption;
    const char* shortcut;
    QMenu* frmMain::*menu;
    QAction* frmMain::*action;
    void (frmMain::*handler)();
    bool hidden;
};

// clang-format off
#define MENU(member, caption) {Kind::Menu, #member, caption, "", &frmMain::member, nullptr, nullptr, false}
#define ITEM(member, caption, shortcut, handler) \
    {Kind::Item, #member, caption, shortcut, nullptr, &frmMain::member, handler, false}
#define BAR(member, hidden) {Kind::Separator, #member, "-", "", nullptr, &frmMain::member, nullptr, hidden}
// clang-format on

const MenuRow kMenuTree[] = {
    MENU(mnuFile, "&File"),
    ITEM(mnuFileConfigure, "&Configure...", "Ctrl+N", &frmMain::mnuFileConfigure_Click),
    BAR(mnuFileBar3, false),
    ITEM(OpenDataPattern, "&Open Data Pattern...", "Ctrl+O", &frmMain::OpenDataPattern_Click),
    ITEM(SaveDataPattern, "&Save Data Pattern", "", &frmMain::SaveDataPattern_Click),
    ITEM(SaveDataPatternAs, "S&ave Data Pattern As...", "", &frmMain::SaveDataPatternAs_Click),
    ITEM(EditDataPattern, "&Edit Data Pattern...", "Ctrl+E", &frmMain::EditDataPattern_Click),
    ITEM(DataPatternOptions, "&Data Pattern Options...", "", &frmMain::DataPatternOptions_Click),
    ITEM(ClearDataPattern, "C&lear Data Pattern", "", &frmMain::ClearDataPattern_Click),
    {Kind::RecentFiles, "mnuRecentFile", "", "", nullptr, nullptr, nullptr, true},
    BAR(mnuFileBar2, false),
    ITEM(mnuFileExit, "E&xit", "", &frmMain::mnuFileExit_Click),

    MENU(mnuDevice, "&Device"),
    ITEM(mnuSelectDevice, "Select &Device...", "Ctrl+D", &frmMain::mnuSelectDevice_Click),
    BAR(mnuDeviceBar1, false),
    ITEM(mnuDeviceInfo, "Device &Info...", "", &frmMain::mnuDeviceInfo_Click),
    ITEM(mnuSocketModuleInfo, "Socket &Module Info...", "", &frmMain::mnuSocketModuleInfo_Click),
    BAR(mnuDeviceBar2, false),
    ITEM(mnuDeviceRange, "&Range...", "", &frmMain::mnuDeviceRange_Click),
    ITEM(mnuDeviceByteOrder, "&Byte Order...", "", &frmMain::mnuDeviceByteOrder_Click),
    ITEM(mnuDeviceSetsAndBanks, "&Sets && Banks...", "", &frmMain::mnuDeviceSetsAndBanks_Click),
    ITEM(mnuDeviceTestVectors, "Test &Vectors...", "", &frmMain::mnuDeviceTestVectors_Click),
    ITEM(mnuDeviceBufferOffset, "Buffer &Offset...", "", &frmMain::mnuDeviceBufferOffset_Click),
    ITEM(mnuDeviceNandOptions, "&NAND Options...", "", &frmMain::mnuDeviceNandOptions_Click),
    BAR(mnuDeviceBar3, false),

    MENU(mnuTools, "&Tools"),
    ITEM(mnuSelftest, "Programmer Dia&gnostics", "", &frmMain::mnuSelftest_Click),
    ITEM(mnuDefaultConfigure, "Set &Default Configuration", "", &frmMain::mnuDefaultConfigure_Click),
    ITEM(mnuToolsOptions, "&Options...", "", &frmMain::mnuToolsOptions_Click),
    ITEM(mnuSocketModuleCounter, "&Socket Module Counter...", "", &frmMain::mnuSocketModuleCounter_Click),
    ITEM(Serialization, "Se&rialization...", "", &frmMain::Serialization_Click),
    ITEM(mnuPowerSupply, "&Power Supply...", "", &frmMain::mnuPowerSupply_Click),
    ITEM(mnuFlashBIOS, "&Flash BIOS...", "", &frmMain::mnuFlashBIOS_Click),
    ITEM(mnuToolsSiteNumberAssignment, "Site &Number Assignment...", "", &frmMain::mnuToolsSiteNumberAssignment_Click),

    MENU(mnuSealbook, "&Sealbook"),
    ITEM(mnuEnterNewMode, "&Enter", "", nullptr),
    BAR(mnuSKSep1, false),
    ITEM(mnuLoadJob, "&Load Job...", "Ctrl+L", nullptr),
    BAR(mnuJobSep1, false),
    ITEM(mnuSaveJob, "&Save Job", "Ctrl+S", nullptr),
    ITEM(mnuSaveJobAs, "Save Job &As...", "Ctrl+A", nullptr),
    BAR(mnuJobSep2, false),
    ITEM(mnuSealbookConfigure, "Sealbook &Configure...", "", nullptr),
    ITEM(mnuJobChangePassword, "Change Pass&word...", "", nullptr),
    ITEM(mnuViewNote, "View &Note...", "", nullptr),
    BAR(mnuSKSep, true),
    {Kind::Tasks, "mnuTasks", "&Tasks", "", nullptr, nullptr, nullptr, false},
    BAR(mnuJobBar3, true),

    MENU(mnuHelp, "&Help"),
    ITEM(mnuTarvoHelp, "Tarvo &Help...", "F1", &frmMain::mnuTarvoHelp_Click),
    ITEM(mnuTechSupport, "&Tech Support...", "", &frmMain::mnuTechSupport_Click),
    BAR(mnuJobBar4, false),
    ITEM(mnuHelpAbout, "&About Tarvo...", "", &frmMain::mnuHelpAbout_Click),
};
#undef MENU
#undef ITEM
#undef BAR

constexpr int kRecentFileEntries = 5;
constexpr int kTaskEntries = 16;

// The Device menu's items shown by what the selected device supports.
struct DeviceMenuRule
{
    QAction* frmMain::*item;
    bool (*supports)(QXPgmrControl&);
};
const DeviceMenuRule kDeviceMenuRules[] = {
    {&frmMain::mnuDeviceSetsAndBanks, [](QXPgmrControl& e) { return bool(e.DeviceSupportsSetsAndBanks()); }},
    {&frmMain::mnuDeviceRange, [](QXPgmrControl& e) { return bool(e.DeviceSupportsRange()); }},
    {&frmMain::mnuDeviceByteOrder, [](QXPgmrControl& e) { return bool(e.DeviceSupportsByteOrder()); }},
    {&frmMain::mnuDeviceTestVectors, [](QXPgmrControl& e) { return bool(e.DeviceSupportsTestVectors()); }},
    {&frmMain::mnuDeviceBufferOffset, [](QXPgmrControl& e) { return bool(e.DeviceSupportsBufferOffset()); }},
    {&frmMain::mnuDeviceNandOptions, [](QXPgmrControl& e) { return bool(e.DeviceSupportsNandOptions()); }},
};

// The data-pattern items, by the operation window's buffer command.
enum BufferCommand : qint32 { kOpen = 1, kSave = 2, kSaveAs = 3, kEdit = 4, kClear = 5 };

const QString kVexalDiagnostics = QStringLiteral("Vexal Diagnostics");
const QString kCorvaneDiagnostics = QStringLiteral("Corvane Diagnostics");

bool AutomaticHandler(qint32 handlerType)
{
    return handlerType == 1 || handlerType == 2;
}

// What the serialization window needs from the station.
class MainSerializationHost : public QObject, public SerializationFrm::Host
{
public:
    static constexpr const char* kName = "serializationHost";
    explicit MainSerializationHost(frmMain* main)
        : QObject(main),
          m_main(main)
    {
        setObjectName(QString::fromLatin1(kName));
    }
    // The main window's host, made when first asked for.
    static MainSerializationHost* Of(frmMain* main)
    {
        auto* host = dynamic_cast<MainSerializationHost*>(
            main->findChild<QObject*>(QString::fromLatin1(kName), Qt::FindDirectChildrenOnly));
        return host ? host : new MainSerializationHost(main);
    }
    ~MainSerializationHost() override { SerializationFrm::SetHost(nullptr); }

    QXPgmrControl& Engine() override { return m_main->station().QXProgrammer; }
    QString QuantityText() override { return m_main->station().QuantityText(); }
    QString WorkingDirectoryAtLaunch() override { return m_main->sWorkingDirectoryAtLaunch; }
    void AddStatusTextLine(const QString& text) override
    {
        if (m_main->frmP)
            m_main->frmP->AddStatusTextLine(text);
    }

private:
    frmMain* m_main;
};
} // namespace

// --- building ---

void frmMain::CreateMenusAndQuantityBox()
{
    QMenu* current = nullptr;
    for (const MenuRow& row : kMenuTree) {
        const QString name = QString::fromLatin1(row.name);
        const QString caption = QString::fromLatin1(row.caption);
        switch (row.kind) {
        case Kind::Menu:
            current = menuBar()->addMenu(caption);
            current->setObjectName(name);
            this->*row.menu = current;
            break;
        case Kind::Separator: {
            QAction* bar = current->addSeparator();
            bar->setObjectName(name);
            bar->setVisible(!row.hidden);
            this->*row.action = bar;
            break;
        }
        case Kind::Item: {
            QAction* item = current->addAction(caption);
            item->setObjectName(name);
            if (*row.shortcut)
                item->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            this->*row.action = item;
            if (const auto handler = row.handler)
                connect(item, &QAction::triggered, this,
                        [this, handler, caption] { RunMenuCommand(caption, [&] { (this->*handler)(); }); });
            break;
        }
        case Kind::RecentFiles: {
            // Entry 0 is the separator above the files; the files appear as
            // the recent-file list fills them.
            QAction* bar = current->addSeparator();
            bar->setObjectName(name + QLatin1Char('0'));
            mnuRecentFile << bar;
            for (int i = 1; i <= kRecentFileEntries; ++i) {
                QAction* entry = current->addAction(QStringLiteral("RecentFile%1").arg(i));
                entry->setObjectName(name + QString::number(i));
                connect(entry, &QAction::triggered, this, [this, i] {
                    RunMenuCommand(QStringLiteral("Recent file %1").arg(i), [&] { mnuRecentFile_Click(i); });
                });
                mnuRecentFile << entry;
            }
            for (QAction* a : mnuRecentFile)
                a->setVisible(false);
            break;
        }
        case Kind::Tasks:
            for (int i = 0; i < kTaskEntries; ++i) {
                QAction* task = current->addAction(caption);
                task->setObjectName(name + QString::number(i));
                mnuTasks << task;
            }
            break;
        }
    }
    SetRecentFilesMenu({[this] { return int(mnuRecentFile.size()) - 1; },
                        [this](const QStringList& files) { ShowRecentFiles(files); }});

    auto* toolbar = addToolBar(QStringLiteral("Quantity"));
    toolbar->setObjectName(QStringLiteral("tbQuantity"));
    Label1 = new QLabel(QStringLiteral("Quantity:"), toolbar);
    Label1->setObjectName(QStringLiteral("Label1"));
    toolbar->addWidget(Label1);
    txtNumCopies = new QLineEdit(toolbar);
    txtNumCopies->setObjectName(QStringLiteral("txtNumCopies"));
    txtNumCopies->setMaximumWidth(80);
    txtNumCopies->setToolTip(QStringLiteral("This is the number of times you wish to successfully perform a DEVICE "
                                            "command. The range is between 1 and 65535."));
    toolbar->addWidget(txtNumCopies);
    txtNumCopies->installEventFilter(this);
    // What the operator types goes through the station's quantity rule, as
    // what the engine, the handler and automation set does; the box shows
    // the station's quantity, whoever set it.
    connect(txtNumCopies, &QLineEdit::textEdited, this, [this] { txtNumCopies_Change(); });
    connect(&m_station, &Station::QuantityTextChanged, txtNumCopies, [this](const QString& text) {
        if (txtNumCopies->text() != text)
            txtNumCopies->setText(text);
    });
    connect(&m_station, &Station::QuantityRefused, txtNumCopies, [this] { txtNumCopies->setFocus(); });
    CreateJobButtons(toolbar);
}

void frmMain::RunMenuCommand(const QString& what, const std::function<void()>& command)
{
    QString reason;
    try {
        command();
        return;
    } catch (const AutomationError& e) {
        reason = e.Description();
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    QString shown = what;
    shown.remove(QLatin1Char('&'));
    WriteLogInfo(QStringLiteral("Tarvo Main:  ") + shown + QStringLiteral(" failed: ") + reason, true);
    Ui().MsgBox(reason, vb::vbCritical, QStringLiteral("Error"));
}

// --- menu rules ---

void frmMain::SetButtonMenuLogic()
{
    for (QAction* task : mnuTasks)
        task->setVisible(false);
    mnuSKSep->setEnabled(false);
    mnuSKSep->setVisible(false);
    if (frmP && !pgmrData().blnInAction) {
        SetDeviceMenuLogic();
        SetToolsMenuLogic();
    }
}

void frmMain::SetDeviceMenuLogic()
{
    for (const DeviceMenuRule& rule : kDeviceMenuRules)
        (this->*rule.item)->setVisible(Ask([&] { return rule.supports(QXProgrammer); }, false));
}

void frmMain::SetToolsMenuLogic()
{
    mnuToolsSiteNumberAssignment->setEnabled(Ask([&] { return bool(QXProgrammer.IsUsbProgrammer()); }, false));
}

// --- File menu ---

void frmMain::mnuFileConfigure_Click()
{
    const qint32 model = QXProgrammer.ProgrammerModelIndex();
    {
        frmConfigure dialog(m_station, this);
        dialog.ShowDialog();
        frmP->RefreshAll();
    }
    if (QXProgrammer.ProgrammerModelIndex() != model)
        ReselectDeviceAfterModelChange();
    ProgrammerClass& data = pgmrData();
    if (AutomaticHandler(data.udtHandlerType))
        data.bNoviceMode = false;
    QXProgrammer.RunOption60(data.bNoviceMode);
}

void frmMain::ReselectDeviceAfterModelChange()
{
    const QString name = QXProgrammer.DeviceName();
    if (name == QLatin1String("No Device Selected"))
        return;
    if (name.startsWith(QLatin1String("STAPL"))) {
        Ui().MsgBox(
            QStringLiteral("A new programmer model has been selected. As a result it will be necessary for you to"
                           " reload the STAPL file. All existing settings will be cleared."),
            vb::vbExclamation, appinfo::App());
        ApplyDefaultConfiguration(true);
        return;
    }
    const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
    if (frmP->SelectDevice(name)) {
        frmP->AddStatusTextLine(
            quoted
            + QStringLiteral(" device configuration settings may have been changed.  Please review the settings."));
        frmP->CheckNewComboBoxStringsAgainstOld();
        return;
    }
    Ui().MsgBox(QStringLiteral("Device ") + quoted + QStringLiteral(" could not be selected for this")
                    + QStringLiteral(" programmer model.") + QStringLiteral("\r\n")
                    + QStringLiteral("All device related settings will be cleared. ")
                    + QStringLiteral("Please select a device."),
                vb::vbExclamation, appinfo::App());
    ApplyDefaultConfiguration(false);
}

void frmMain::OpenDataPattern_Click()
{
    frmP->ExecuteBufferCommand(kOpen, QString(), -1);
}
void frmMain::SaveDataPattern_Click()
{
    frmP->ExecuteBufferCommand(kSave, QString(), -1);
}
void frmMain::SaveDataPatternAs_Click()
{
    frmP->ExecuteBufferCommand(kSaveAs, QString(), -1);
}
void frmMain::EditDataPattern_Click()
{
    frmP->ExecuteBufferCommand(kEdit, QString(), -1);
}
void frmMain::ClearDataPattern_Click()
{
    frmP->ExecuteBufferCommand(kClear, QString(), -1);
}
void frmMain::DataPatternOptions_Click()
{
    frmP->FileButton_Click();
}

void frmMain::mnuRecentFile_Click(int Index)
{
    const QString app = appinfo::App();
    const QString section = QStringLiteral("Recent Files");
    if (GetSettingValue(app, section, QStringLiteral("RecentFile1"), QString()).toString().isEmpty())
        return;
    const std::optional<SettingsTable> list = GetAllSettingValues(app, section);
    // An entry past the list opens nothing.
    if (!list || Index < 1 || Index > list->size())
        return;
    frmP->ExecuteBufferCommand(kOpen, list->at(Index - 1).value.toString(), -1);
    pgmrData().UpdateFileMenuWithRecentFiles();
}

void frmMain::mnuFileExit_Click()
{
    UnloadMainWindow();
}

void frmMain::UnloadMainWindow()
{
    // The close runs the window's unload, which the operation window may
    // refuse while a run goes on.
    close();
}

// --- Device menu ---

void frmMain::mnuSelectDevice_Click()
{
    frmP->SelectDevice(QString());
}
void frmMain::mnuDeviceInfo_Click()
{
    QXProgrammer.ShowDeviceInfo();
}
void frmMain::mnuSocketModuleInfo_Click()
{
    QXProgrammer.ShowSocketModuleInfo();
}
void frmMain::mnuDeviceRange_Click()
{
    DeviceConfigureDlg().btnRange_Click();
}
void frmMain::mnuDeviceByteOrder_Click()
{
    DeviceConfigureDlg().btnByteOrder_Click();
}
void frmMain::mnuDeviceSetsAndBanks_Click()
{
    DeviceConfigureDlg().btnArray_Click();
}
void frmMain::mnuDeviceTestVectors_Click()
{
    DeviceConfigureDlg().btnVector_Click();
}
void frmMain::mnuDeviceBufferOffset_Click()
{
    DeviceConfigureDlg().cmdBufferSettings_Click();
}
void frmMain::mnuDeviceNandOptions_Click()
{
    QXProgrammer.ShowNandOptions();
}

// --- Tools menu ---

void frmMain::mnuSelftest_Click()
{
    if (DiagnosticsRefusedInOperatorMode(QStringLiteral("Programmer Diagnostics")))
        return;
    RunDiagnostics();
}

void frmMain::mnuFlashBIOS_Click()
{
    if (DiagnosticsRefusedInOperatorMode(QStringLiteral("Flash BIOS")))
        return;
    gbFlashBiosRun = true;
    const auto cleared = qScopeGuard([] { gbFlashBiosRun = false; });
    RunDiagnostics();
}

bool frmMain::DiagnosticsRefusedInOperatorMode(const QString& command)
{
    if (!pgmrData().bStartInOperatorMode)
        return false;
    Ui().MsgBox(command
                    + QStringLiteral(" selects a diagnostics device in place of the job's device and data pattern. "
                                     "The job cannot be changed in operator mode: enter supervisor mode to run it."),
                vb::vbExclamation, QStringLiteral("Operator Mode"));
    return true;
}

void frmMain::RunDiagnostics()
{
    const QString device =
        ProgrammerClass::IsVexalModel(pgmrData().udtPgmrType) ? kVexalDiagnostics : kCorvaneDiagnostics;
    // A diagnostics device the engine cannot select runs nothing.
    if (!frmP->SelectDevice(device)) {
        frmP->AddStatusTextLine(QStringLiteral("The diagnostics did not run: the device \"") + device
                                + QStringLiteral("\" could not be selected."));
        return;
    }
    frmP->ExecuteOperation();
}

void frmMain::mnuDefaultConfigure_Click()
{
    if (Ui().MsgBox(QStringLiteral("The default configuration will be set!"), vb::vbOKCancel + vb::vbQuestion,
                    QStringLiteral("Default Configuration"))
        == vb::vbOK)
        QXProgrammer_RequestSetDefaultConfigure();
}

void frmMain::QXProgrammer_RequestSetDefaultConfigure()
{
    if (RefuseDuringRun(QStringLiteral("Setting the default configuration")))
        return;
    // Also the handler of the engine's request: an error stays here.
    RunMenuCommand(QStringLiteral("Set Default Configuration"), [&] {
        frmP->AddStatusTextLine(QStringLiteral("Set the default configure..."));
        ApplyDefaultConfiguration(true);
    });
}

void frmMain::ApplyDefaultConfiguration(bool bResetSettings)
{
    ProgrammerClass& data = pgmrData();
    EnablePgmrStatusMessage(false);
    // Warnings and status lines come back however the steps end.
    const auto restored = qScopeGuard([this] {
        bWarningMessagesEnabled = true;
        EnablePgmrStatusMessage(true);
    });
    if (AutomaticHandler(data.udtHandlerType))
        QXH950AutoHandler.HandlerCommand1001();
    if (bResetSettings)
        data.SetDefaultConfig();
    SetButtonMenuLogic();
    bWarningMessagesEnabled = false;
    QXProgrammer.RefreshState202(qint32(0), qint32(0), qint32(0));
    if (bResetSettings)
        ClearBuffer();
    bWarningMessagesEnabled = true;
    frmP->Reload();
    EnablePgmrStatusMessage(true);
    if (QXProgrammer.OperatorModeFlag()) {
        SetSKMode(true);
        frmP->DisableCheckboxesAsNecessary();
    }
    QXProgrammer.MenuCall316();
}

void frmMain::mnuToolsOptions_Click()
{
    if (QXProgrammer.ToolsOption1013() != 1)
        return;
    ProgrammerClass& data = pgmrData();
    data.bBeepOn = QXProgrammer.ToolsOption66();
    data.bElapsedTime = QXProgrammer.ToolsOption68();
    data.bMatchChipPinAndSocket = qint32(QXProgrammer.ToolsOption278()) != 0;
    data.bMemoryIntegrityCheck = QXProgrammer.ToolsOption327();
}

void frmMain::Serialization_Click()
{
    const bool a = QXProgrammer.SerializationField244();
    const bool b = QXProgrammer.SerializationValue303();
    const bool c = QXProgrammer.DeviceSupportsStaplSerialization();
    SerializationFrm& window = SerializationFrm::Default();
    SerializationFrm::SetHost(MainSerializationHost::Of(this));

    if ((a || b) && c) {
        if (!QXProgrammer.IsConcurrentProgrammer()) {
            const QString text = QStringLiteral("The selected programmer model is non-concurrent ")
                + QStringLiteral("and therefore does not support STAPL serialization.");
            Ui().MsgBox(text, vb::vbOKOnly, appinfo::App());
            WriteLogInfo(text, true);
            return;
        }
    } else if (!a) {
        if (b)
            Ui().MsgBox(QStringLiteral("Serialization is not supported by the current data pattern."), vb::vbOKOnly,
                        appinfo::App());
        return;
    } else {
        qint32 zero = 0;
        const qint32 r = QXProgrammer.SerializationValueAt245(zero);
        if (r == 0)
            window.SelectOption(window.None);
        else if (QXProgrammer.SerializationField260() != 0)
            window.SelectOption(window.ComplexRadio);
        else
            window.SelectOption(window.SimpleRadio);
    }
    window.ShowDialog();
}

void frmMain::mnuSocketModuleCounter_Click()
{
    QXProgrammer.ShowSocketModuleCounter();
}
void frmMain::mnuToolsSiteNumberAssignment_Click()
{
    QXProgrammer.ShowSiteNumberAssignment();
}

void frmMain::mnuPowerSupply_Click()
{
    // The power supply's dialog reports its own failures; one it raises is
    // only logged.
    try {
        QXProgrammer.ShowPowerSupplyDialog();
    } catch (const AutomationError& e) {
        WriteLogInfo(QStringLiteral("Tarvo Main:  Power Supply failed (ignored): ") + e.Description(), true);
    }
}

// --- Help menu ---

void frmMain::mnuTarvoHelp_Click()
{
    LaunchHelp(QString());
}
// Closed either way, the window is unloaded, so that it is loaded afresh
// (with the engine's current versions) the next time.
void frmMain::mnuTechSupport_Click()
{
    Ui().ShowModal(&frmTechSupport::Instance(this));
    frmTechSupport::Unload();
}

void frmMain::mnuHelpAbout_Click()
{
    Ui().ShowModal(&frmAbout::Instance(this));
    frmAbout::Unload();
}

void frmMain::LaunchHelp(const QString& topic)
{
    const HelpEdition edition = HelpTopic::Edition(gbChiseloEdition);
    // The folder is found by its first topic, beside the program.
    const QString firstPage = LocateComponent(edition.folder + QLatin1Char('/') + edition.defaultTopic);
    if (firstPage.isEmpty()) {
        QXProgrammer_SysInfoMessage(QStringLiteral("Help cannot be displayed because the file ") + edition.folder
                                    + QStringLiteral(" could not be found.  Please reinstall the application."));
        return;
    }
    const QString folder = firstPage.left(firstPage.size() - edition.defaultTopic.size() - 1);
    const HelpPage page = HelpTopic::Resolve(folder, topic, edition.defaultTopic);
    if (!page.fallbackReason.isEmpty())
        WriteLogInfo(page.fallbackReason, true);
    QUrl url = QUrl::fromLocalFile(page.path);
    if (!page.anchor.isEmpty())
        url.setFragment(page.anchor);
    if (!QDesktopServices::openUrl(url))
        QXProgrammer_SysInfoMessage(QStringLiteral("Help cannot be displayed because no viewer could be started for ")
                                    + page.path + QStringLiteral(".  Please install a web browser."));
}

// --- the data pattern viewer ---

void frmMain::ViewBuffer_Click()
{
    RunMenuCommand(QStringLiteral("Edit Data Pattern"), [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto pointer = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        const qint32 saved = QXProgrammer.BufferSize();
        QXProgrammer.SealbookPutFlag58(qint32(0));
        if (QXProgrammer.SizeInFuses()) {
            vwBufViewer.FuseMode(true);
            vwBufViewer.DataSize(saved);
            const qint32 deviceSize = QXProgrammer.DeviceSize();
            vwBufViewer.FuseCount(double(saved < deviceSize ? deviceSize : saved));
        } else {
            vwBufViewer.FuseMode(false);
            vwBufViewer.DataSize(saved);
        }
        vwBufViewer.FillByte(qint32(QXProgrammer.DefaultBufferByte()));
        vwBufViewer.ViewerSetting6(qint16(0));
        vwBufViewer.HexDisplay(pgmrData().udtRadix != 0);
        const QString virgin = QXProgrammer.DeviceConfigValue(QStringLiteral("algcfg.virgin"));
        vwBufViewer.SetBlankBitValue(qint16(virgin.endsWith(QLatin1Char('0')) ? 0 : 1));

        QApplication::restoreOverrideCursor();
        vwBufViewer.ShowEditor();
        QApplication::setOverrideCursor(Qt::WaitCursor);

        QXProgrammer.BufferSize(qint32(vwBufViewer.DataSize()));
        if (vwBufViewer.FuseMode())
            QXProgrammer.JobFlag72(double(vwBufViewer.FuseCount()));
        const qint32 radix = vwBufViewer.HexDisplay() ? 1 : 0;
        pgmrData().udtRadix = radix;
        QXProgrammer.DisplayRadix(radix);
    });
}

// --- the quantity box ---

void frmMain::txtNumCopies_Change()
{
    if (!bInitialized)
        return;
    m_station.SetQuantityText(txtNumCopies->text());
    txtNumCopies->setCursorPosition(int(txtNumCopies->text().size()));
}
