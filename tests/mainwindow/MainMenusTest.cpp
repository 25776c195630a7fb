// The main window's menu bar on a running station: the tree, the commands
// behind the items as the engine sees them, the menu rules, the quantity
// box, the data pattern viewer and the help.
#include "MainWindowFixture.h"

#include "device/frmDeviceConfigure.h"
#include "engine/DataPaneControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/HelpTopic.h"
#include "mainwindow/VersionStrings.h"
#include "operation/OperationLists.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "settings/frmConfigure.h"
#include "shell/ComponentRegistration.h"
#include "shell/frmAbout.h"
#include "shell/frmTechSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSet>
#include <QUrl>
#include <QtTest/QTest>

namespace {

using namespace QXPgmrId;

// The engine as the window gets it, with members the test makes fail as the
// engine would (any kind of call).
class FailingEngine : public IDispatchControl
{
public:
    FailingEngine(const QSet<int>& failing, std::unique_ptr<IDispatchControl> engine)
        : m_failing(failing),
          m_engine(std::move(engine))
    {
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        if (m_failing.contains(dispid)) {
            m_engine->Invoke(dispid, InvokeKind::PropertyGet, args); // recorded, answer dropped
            throw AutomationError(qint32(0x80004005u), QStringLiteral("QXPGMRLib.QXPgmr"),
                                  QStringLiteral("The programmer did not answer."));
        }
        return m_engine->Invoke(dispid, kind, args);
    }
    int GetIDOfName(const QString& name) const override { return m_engine->GetIDOfName(name); }
    void SetEventSink(IEventSink* sink) override { m_engine->SetEventSink(sink); }
    QString ClassName() const override { return m_engine->ClassName(); }
    QWidget* Widget() override { return m_engine->Widget(); }

private:
    const QSet<int>& m_failing;
    std::unique_ptr<IDispatchControl> m_engine;
};

// The data pattern viewer: keeps what it is given, records its calls, and
// lets the test play the operator while the editor is open.
class RecordingViewer : public IDispatchControl
{
public:
    QHash<int, QVariant> values;
    QStringList calls;
    std::function<void(RecordingViewer&)> whileOpen;

    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        const MemberInfo* member = FindMember(DataPaneControl::Members(), dispid);
        const QString name = member ? QString::fromLatin1(member->name) : QString::number(dispid);
        switch (kind) {
        case InvokeKind::PropertyPut:
            values[dispid] = args.value(0);
            calls << name + "=" + Text(args.value(0));
            return {};
        case InvokeKind::PropertyGet: return values.value(dispid);
        case InvokeKind::Method:
            calls << name + "(" + (args.isEmpty() ? QString() : Text(args.value(0))) + ")";
            if (dispid == DataPaneId::ShowEditor && whileOpen)
                whileOpen(*this);
            return {};
        }
        return {};
    }
    int GetIDOfName(const QString&) const override { return -1; }
    void SetEventSink(IEventSink*) override {}
    QString ClassName() const override { return QString::fromLatin1(DataPaneControl::ClassName); }
    QWidget* Widget() override { return nullptr; }

    static QString Text(const QVariant& v)
    {
        return v.typeId() == QMetaType::Bool ? QString::number(v.toBool() ? -1 : 0) : v.toString();
    }
};

class MainMenusTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frmMain::SetControlWrapper(
            [this](std::unique_ptr<IDispatchControl> control) -> std::unique_ptr<IDispatchControl> {
                if (control->ClassName() == QLatin1String(QXPgmrControl::ClassName))
                    return std::make_unique<FailingEngine>(
                        failing, std::make_unique<ScriptedEngine>(engine, std::move(control)));
                if (control->ClassName() == QLatin1String(DataPaneControl::ClassName)) {
                    auto recording = std::make_unique<RecordingViewer>();
                    viewer = recording.get();
                    return recording;
                }
                return control;
            });
    }
    void TearDown() override
    {
        viewer = nullptr;
        MainWindowTest::TearDown();
    }

    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    QStringList boxes() const { return const_cast<MainMenusTest*>(this)->ui().Shown(); }
    static QString Box(const QString& title, const QString& text, int buttons, int answer)
    {
        return ScriptedUiService::LogLine(title, text, QString::number(buttons), QString::number(answer));
    }
    static QString BlackBox()
    {
        QFile log(blackbox::GetLogFolder() + "/BlackBox.log");
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    QSet<int> failing;
    RecordingViewer* viewer = nullptr;
};

// Every item of the menu bar, in order: "name|caption|shortcut" with
// "|hidden" for the items not shown when the window loads.
QStringList MenuRows(frmMain& window)
{
    QStringList rows;
    for (QAction* title : window.menuBar()->actions()) {
        QMenu* menu = title->menu();
        rows << menu->objectName() + "|" + menu->title() + "|";
        for (QAction* a : menu->actions()) {
            QString row = a->objectName() + "|" + (a->isSeparator() ? QStringLiteral("-") : a->text()) + "|"
                + a->shortcut().toString();
            if (!a->isVisible())
                row += "|hidden";
            rows << row;
        }
    }
    return rows;
}

TEST_F(MainMenusTest, TheMenuTreeHasEveryItemInOrderWithItsCaptionShortcutAndVisibility)
{
    QStringList expected = {
        "mnuFile|&File|",
        "mnuFileConfigure|&Configure...|Ctrl+N",
        "mnuFileBar3|-|",
        "OpenDataPattern|&Open Data Pattern...|Ctrl+O",
        "SaveDataPattern|&Save Data Pattern|",
        "SaveDataPatternAs|S&ave Data Pattern As...|",
        "EditDataPattern|&Edit Data Pattern...|Ctrl+E",
        "DataPatternOptions|&Data Pattern Options...|",
        "ClearDataPattern|C&lear Data Pattern|",
        "mnuRecentFile0|-||hidden",
        "mnuRecentFile1|RecentFile1||hidden",
        "mnuRecentFile2|RecentFile2||hidden",
        "mnuRecentFile3|RecentFile3||hidden",
        "mnuRecentFile4|RecentFile4||hidden",
        "mnuRecentFile5|RecentFile5||hidden",
        "mnuFileBar2|-|",
        "mnuFileExit|E&xit|",
        "mnuDevice|&Device|",
        "mnuSelectDevice|Select &Device...|Ctrl+D",
        "mnuDeviceBar1|-|",
        "mnuDeviceInfo|Device &Info...|",
        "mnuSocketModuleInfo|Socket &Module Info...|",
        "mnuDeviceBar2|-|",
        "mnuDeviceRange|&Range...|",
        "mnuDeviceByteOrder|&Byte Order...|",
        "mnuDeviceSetsAndBanks|&Sets && Banks...|",
        "mnuDeviceTestVectors|Test &Vectors...|",
        "mnuDeviceBufferOffset|Buffer &Offset...|",
        "mnuDeviceNandOptions|&NAND Options...|",
        "mnuDeviceBar3|-|",
        "mnuTools|&Tools|",
        "mnuSelftest|Programmer Dia&gnostics|",
        "mnuDefaultConfigure|Set &Default Configuration|",
        "mnuToolsOptions|&Options...|",
        "mnuSocketModuleCounter|&Socket Module Counter...|",
        "Serialization|Se&rialization...|",
        "mnuPowerSupply|&Power Supply...|",
        "mnuFlashBIOS|&Flash BIOS...|",
        "mnuToolsSiteNumberAssignment|Site &Number Assignment...|",
        "mnuSealbook|&Sealbook|",
        "mnuEnterNewMode|&Enter|",
        "mnuSKSep1|-|",
        "mnuLoadJob|&Load Job...|Ctrl+L",
        "mnuJobSep1|-|",
        "mnuSaveJob|&Save Job|Ctrl+S",
        "mnuSaveJobAs|Save Job &As...|Ctrl+A",
        "mnuJobSep2|-|",
        "mnuSealbookConfigure|Sealbook &Configure...|",
        "mnuJobChangePassword|Change Pass&word...|",
        "mnuViewNote|View &Note...|",
        "mnuSKSep|-||hidden",
    };
    for (int i = 0; i < 16; ++i)
        expected << QStringLiteral("mnuTasks%1|&Tasks|").arg(i);
    expected << "mnuJobBar3|-||hidden"
             << "mnuHelp|&Help|"
             << "mnuTarvoHelp|Tarvo &Help...|F1"
             << "mnuTechSupport|&Tech Support...|"
             << "mnuJobBar4|-|"
             << "mnuHelpAbout|&About Tarvo...|";

    {
        Station station;
        frmMain window(station);
        EXPECT_EQ(MenuRows(window), expected);
        // The quantity box beside its label, with its tip.
        ASSERT_NE(window.Label1, nullptr);
        EXPECT_EQ(window.Label1->text(), "Quantity:");
        EXPECT_EQ(window.txtNumCopies->toolTip(),
                  "This is the number of times you wish to successfully perform a "
                  "DEVICE command. The range is between 1 and 65535.");
    }

    // The OEM edition renames the two Help items as the window loads.
    appinfo::SetApplicationTitleForTests(QStringLiteral("Chiselo"));
    ASSERT_TRUE(start());
    const QStringList loaded = MenuRows(*gMainForm);
    EXPECT_TRUE(loaded.contains("mnuTarvoHelp|Chiselo &Help...|F1"));
    EXPECT_TRUE(loaded.contains("mnuHelpAbout|&About Chiselo...|"));
    // Once loaded the task items are hidden.
    EXPECT_TRUE(loaded.contains("mnuTasks0|&Tasks||hidden"));
}

TEST_F(MainMenusTest, ConfigureWithoutAModelChangeSelectsNothingAndStillSendsTheNoviceFlag)
{
    ASSERT_TRUE(start());
    struct Case
    {
        qint32 handlerType;
        const char* novice;
    };
    for (const Case c : {Case{0, "-1"}, Case{1, "0"}}) {
        SCOPED_TRACE(c.handlerType);
        data().udtHandlerType = c.handlerType;
        data().bNoviceMode = true;
        engine.calls.clear();
        ui().OnModal([](QDialog* dialog) {
            EXPECT_EQ(dialog->objectName(), "frmConfigure");
            dialog->reject();
            return dialog->result();
        });
        gMainForm->mnuFileConfigure->trigger();
        EXPECT_EQ(engine.Calls({RunOption60}), QStringList{QStringLiteral("RunOption60=") + c.novice});
        EXPECT_TRUE(engine.Calls({DeviceName, SelectDeviceByName}).isEmpty());
    }
}

// Configure's OK with another programmer model, the device selected before
// as given: the device is selected again, or the STAPL file must be loaded
// again, or a device the new model does not run is dropped with the default
// configuration.
TEST_F(MainMenusTest, AModelChangeSelectsTheDeviceAgain)
{
    ASSERT_TRUE(start());
    struct Case
    {
        const char* device;
        QStringList boxes;
        QString statusLine;
        bool defaultConfiguration;
        qint32 model = 0; // the model to start from; 0: as it is
    };
    const Case cases[] = {
        {"AM27C512",
         {},
         "\"AM27C512\" device configuration settings may have been changed.  Please review the settings.",
         false},
        {"STAPL ISP Device",
         {Box("Tarvo",
              "A new programmer model has been selected. As a result it will be necessary for you to reload the "
              "STAPL file. All existing settings will be cleared.",
              vb::vbExclamation, vb::vbOK)},
         "",
         true},
        // The gang flash runs on the last gang model only; the next model
        // does not run it.
        {"NV29GL128-G",
         {Box("Tarvo",
              "Device \"NV29GL128-G\" could not be selected for this programmer model.\r\nAll device related "
              "settings will be cleared. Please select a device.",
              vb::vbExclamation, vb::vbOK)},
         "",
         true,
         12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        if (c.model != 0)
            gMainForm->QXProgrammer.SelectProgrammerModel(c.model);
        ASSERT_TRUE(operationWindow().SelectDevice(QString::fromLatin1(c.device)));
        const qint32 before = gMainForm->QXProgrammer.ProgrammerModelIndex();
        engine.calls.clear();
        const qsizetype shownBefore = boxes().size();
        ui().OnModal([](QDialog* dialog) {
            auto* configure = static_cast<frmConfigure*>(dialog);
            QComboBox* models = configure->cboProgrammerModel;
            models->setCurrentIndex((models->currentIndex() + 1) % models->count());
            configure->btnOK_Click();
            return dialog->result();
        });
        for (qsizetype i = 0; i < c.boxes.size(); ++i)
            ui().Answer(vb::vbOK);
        gMainForm->mnuFileConfigure->trigger();

        EXPECT_NE(gMainForm->QXProgrammer.ProgrammerModelIndex(), before);
        EXPECT_EQ(boxes().mid(shownBefore).filter("\tModal\t").size(), 1);
        QStringList shown = boxes().mid(shownBefore);
        shown.erase(
            std::remove_if(shown.begin(), shown.end(), [](const QString& l) { return l.contains("\tModal\t"); }),
            shown.end());
        EXPECT_EQ(shown, c.boxes);
        if (c.defaultConfiguration) {
            EXPECT_EQ(engine.Calls({RefreshState202}), QStringList{"RefreshState202(0, 0, 0)"});
            EXPECT_TRUE(data().blnBufferEmpty);
        } else {
            EXPECT_EQ(engine.Calls({SelectDeviceByName}).size(), 1);
            EXPECT_TRUE(engine.Calls({RefreshState202}).isEmpty());
        }
        if (!c.statusLine.isEmpty()) {
            EXPECT_TRUE(statusLines().contains(c.statusLine)) << statusLines().join('\n').toStdString();
        }
    }
}

TEST_F(MainMenusTest, DefaultConfigurationAsksFirstAndRunsItsStepsInOrder)
{
    ASSERT_TRUE(start());
    const int buttons = vb::vbOKCancel + vb::vbQuestion;
    const QString question = "The default configuration will be set!";

    ui().Answer(vb::vbCancel);
    engine.calls.clear();
    gMainForm->mnuDefaultConfigure->trigger();
    EXPECT_EQ(boxes().last(), Box("Default Configuration", question, buttons, vb::vbCancel));
    EXPECT_TRUE(engine.Calls({RefreshState202, MenuCall316}).isEmpty());

    ui().Answer(vb::vbOK);
    gMainForm->mnuDefaultConfigure->trigger();
    EXPECT_EQ(boxes().last(), Box("Default Configuration", question, buttons, vb::vbOK));
    EXPECT_EQ(engine.Calls({RefreshState202, DataFileValue313, OperatorModeFlag, MenuCall316}),
              (QStringList{"RefreshState202(0, 0, 0)", "DataFileValue313()", "OperatorModeFlag", "MenuCall316()"}));
    EXPECT_TRUE(statusLines().contains("Set the default configure..."));
    EXPECT_TRUE(gMainForm->bWarningMessagesEnabled);
    EXPECT_TRUE(gMainForm->bStatusMessagesEnabled);
}

TEST_F(MainMenusTest, AFailingRefreshIsReportedAndBothSwitchesComeBack)
{
    ASSERT_TRUE(start());
    failing.insert(RefreshState202);
    ui().Answer(vb::vbOK); // the question
    ui().Answer(vb::vbOK); // the error
    engine.calls.clear();
    gMainForm->mnuDefaultConfigure->trigger();

    EXPECT_EQ(boxes().last(), Box("Error", "The programmer did not answer.", vb::vbCritical, vb::vbOK));
    EXPECT_TRUE(gMainForm->bWarningMessagesEnabled);
    EXPECT_TRUE(gMainForm->bStatusMessagesEnabled);
    EXPECT_TRUE(engine.Calls({MenuCall316}).isEmpty());
    EXPECT_TRUE(BlackBox().contains("Set Default Configuration failed: The programmer did not answer."));
}

// The load refreshes the engine with its error messages off: they come back
// on however the refresh ends.
TEST_F(MainMenusTest, AFailingRefreshAtLoadGivesTheEngineItsErrorMessagesBack)
{
    engine.answers[ShowErrorMessages] = VbBool(true); // the engine reports its errors
    failing.insert(RefreshState202);
    ASSERT_TRUE(start());
    const QStringList calls = engine.Calls({ShowErrorMessages, RefreshState202});
    const qsizetype refresh = calls.indexOf("RefreshState202[0, 0, 0]");
    ASSERT_GE(refresh, 2) << calls.join('\n').toStdString();
    EXPECT_EQ(
        calls.mid(refresh - 2, 4),
        (QStringList{"ShowErrorMessages", "ShowErrorMessages=0", "RefreshState202[0, 0, 0]", "ShowErrorMessages=-1"}))
        << calls.join('\n').toStdString();
}

TEST_F(MainMenusTest, DiagnosticsSelectTheDeviceOfTheModelAndRunNothingWhenItIsRefused)
{
    ASSERT_TRUE(start());
    // The engine refuses the selection: nothing runs, and the operator reads why.
    engine.answers[SelectDeviceByName] = qint32(1);
    struct Case
    {
        qint32 pgmrType;
        const char* device;
    };
    for (QAction* item : {gMainForm->mnuSelftest, gMainForm->mnuFlashBIOS}) {
        for (const Case c : {Case{12, "Corvane Diagnostics"}, Case{22, "Vexal Diagnostics"},
                             Case{23, "Vexal Diagnostics"}, Case{24, "Vexal Diagnostics"}}) {
            SCOPED_TRACE((item->objectName() + " " + QString::number(c.pgmrType)).toStdString());
            data().udtPgmrType = c.pgmrType;
            engine.calls.clear();
            item->trigger();
            const QStringList selected = engine.Calls({SelectDeviceByName});
            ASSERT_EQ(selected.size(), 1);
            EXPECT_TRUE(selected.first().startsWith(QStringLiteral("SelectDeviceByName(") + c.device + ","));
            EXPECT_TRUE(engine.Calls({PrepareRun, RunOperation}).isEmpty());
            EXPECT_EQ(statusLines().last(),
                      QStringLiteral("The diagnostics did not run: the device \"") + c.device
                          + "\" could not be selected.");
            EXPECT_FALSE(gbFlashBiosRun);
        }
    }
}

TEST_F(MainMenusTest, FlashBiosRunsOnTheDiagnosticsDeviceAndEndsTheFlashRun)
{
    ASSERT_TRUE(start());
    data().udtPgmrType = 12;
    engine.calls.clear();
    gMainForm->mnuFlashBIOS->trigger();
    EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), "Corvane Diagnostics");
    EXPECT_FALSE(engine.Calls({RunOperation}).isEmpty());
    EXPECT_FALSE(gbFlashBiosRun);
}

// In operator mode the job cannot be changed: the diagnostics, which would
// put their own device in place of the job's, are refused with a box and
// nothing is selected or run.
TEST_F(MainMenusTest, DiagnosticsAreRefusedInOperatorModeAndTheJobKeepsItsDevice)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(operationWindow().SelectDevice(QStringLiteral("AM27C512")));
    gMainForm->SetSKMode(true);
    for (QAction* item : {gMainForm->mnuSelftest, gMainForm->mnuFlashBIOS}) {
        SCOPED_TRACE(item->objectName().toStdString());
        engine.calls.clear();
        const qsizetype shownBefore = boxes().size();
        ui().Answer(vb::vbOK);
        item->trigger();
        const QString command = item == gMainForm->mnuSelftest ? "Programmer Diagnostics" : "Flash BIOS";
        EXPECT_EQ(boxes().mid(shownBefore),
                  QStringList{
                      Box("Operator Mode",
                          command
                              + " selects a diagnostics device in place of the job's device and data pattern. The job "
                                "cannot be changed in operator mode: enter supervisor mode to run it.",
                          vb::vbExclamation, vb::vbOK)});
        EXPECT_TRUE(engine.Calls({SelectDeviceByName, PrepareRun, RunOperation}).isEmpty());
        EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), "AM27C512");
        EXPECT_FALSE(gbFlashBiosRun);
    }
    gMainForm->SetSKMode(false);
}

// The operation window fills the main window and its own title bar is never
// seen: the main window's title carries its caption, the operator mode
// included, also when a model change in Configure brings the engine's
// operator mode back.
TEST_F(MainMenusTest, TheTitleCarriesTheOperationWindowsCaptionAndTheOperatorMode)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(operationWindow().SelectDevice(QStringLiteral("AM27C512")));
    const QString own = "Tarvo  " + GetVersionNDate(gMainForm->QXProgrammer) + "   ";
    gMainForm->SetSKMode(false);
    const QString supervisorCaption = gMainForm->frmP->windowTitle();
    ASSERT_FALSE(supervisorCaption.isEmpty());
    EXPECT_FALSE(supervisorCaption.contains("<Operator Mode>"));
    EXPECT_EQ(gMainForm->windowTitle(), own + " - [" + supervisorCaption + "]");

    gMainForm->SetSKMode(true);
    EXPECT_EQ(gMainForm->windowTitle(), own + " - [" + supervisorCaption + "  <Operator Mode>]");
    gMainForm->SetSKMode(false);
    EXPECT_EQ(gMainForm->windowTitle(), own + " - [" + supervisorCaption + "]");

    // A supervisor changes the model; the engine's configuration value
    // changes with it and its Sealbook setting asks for operator mode.
    engine.answers[SealbookSetting211] = VbBool(true);
    ui().OnModal([this](QDialog* dialog) {
        auto* configure = static_cast<frmConfigure*>(dialog);
        QComboBox* models = configure->cboProgrammerModel;
        models->setCurrentIndex((models->currentIndex() + 1) % models->count());
        engine.answers[ModelValue315] = qint32(0x5A5A);
        configure->btnOK_Click();
        return dialog->result();
    });
    gMainForm->mnuFileConfigure->trigger();
    engine.answers.remove(ModelValue315);
    engine.answers.remove(SealbookSetting211);
    EXPECT_TRUE(data().bStartInOperatorMode);
    EXPECT_EQ(gMainForm->mnuEnterNewMode->text(), "&Enter Supervisor Mode");
    EXPECT_TRUE(gMainForm->windowTitle().startsWith(own + " - ["));
    EXPECT_TRUE(gMainForm->windowTitle().endsWith("  <Operator Mode>]")) << gMainForm->windowTitle().toStdString();
    gMainForm->SetSKMode(false);
}

TEST_F(MainMenusTest, EngineDialogsOpenAndTheirErrorsAreReportedButThePowerSupplysIsOnlyLogged)
{
    ASSERT_TRUE(start());
    struct Case
    {
        QAction* item;
        int member;
        bool reported;
    };
    const Case cases[] = {
        {gMainForm->mnuDeviceInfo, ShowDeviceInfo, true},
        {gMainForm->mnuDeviceNandOptions, ShowNandOptions, true},
        {gMainForm->mnuSocketModuleInfo, ShowSocketModuleInfo, true},
        {gMainForm->mnuSocketModuleCounter, ShowSocketModuleCounter, true},
        {gMainForm->mnuToolsSiteNumberAssignment, ShowSiteNumberAssignment, true},
        {gMainForm->mnuPowerSupply, ShowPowerSupplyDialog, false},
    };
    // The message boxes shown, without the engine's own dialogs.
    const auto messageBoxes = [this] {
        QStringList shown = boxes();
        shown.removeIf([](const QString& line) { return line.contains(QStringLiteral("\tModal\t")); });
        return shown;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item->objectName().toStdString());
        engine.calls.clear();
        failing = {c.member};
        ui().Answer(2); // the engine's dialog, closed
        if (c.reported)
            ui().Answer(vb::vbOK);
        const qsizetype shownBefore = messageBoxes().size();
        c.item->setEnabled(true); // site numbers: USB programmers only
        c.item->trigger();
        EXPECT_EQ(engine.Calls({c.member}).size(), 1);
        EXPECT_EQ(messageBoxes().size() - shownBefore, c.reported ? 1 : 0);
        if (c.reported) {
            EXPECT_EQ(messageBoxes().last(), Box("Error", "The programmer did not answer.", vb::vbCritical, vb::vbOK));
        }
    }
    EXPECT_TRUE(BlackBox().contains("Power Supply failed (ignored): The programmer did not answer."));
}

TEST_F(MainMenusTest, TheDeviceMenuShowsWhatTheSelectedDeviceSupports)
{
    ASSERT_TRUE(start());
    // S sets and banks, R range, B byte order, T test vectors, O buffer
    // offset, N NAND options.
    struct Case
    {
        const char* device;
        const char* shown;
    };
    const Case cases[] = {
        {"AM27C512", "RO"}, {"NV29F040", "RO"},    {"NV29LV160B", "SRBO"}, {"NV30F1G08", "SRN"},     {"KS24C256", "RO"},
        {"KS25Q128", "RO"}, {"SL18F4550", "RBTO"}, {"KX2103-SEC", "T"},    {"KS85T", "R"},           {"KS85T-FT", ""},
        {"GAL22V10", "T"},  {"AX3P030", "T"},      {"LT74HC245", "T"},     {"STAPL ISP Device", ""}, {"VX-SEC32", "T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        // This one's custom action has more options than the window's rows.
        if (QLatin1String(c.device) == QLatin1String("KS85T-FT"))
            ui().Answer(vb::vbOK);
        ASSERT_TRUE(operationWindow().SelectDevice(QString::fromLatin1(c.device)));
        gMainForm->SetButtonMenuLogic();
        const std::pair<char, QAction*> items[] = {
            {'S', gMainForm->mnuDeviceSetsAndBanks}, {'R', gMainForm->mnuDeviceRange},
            {'B', gMainForm->mnuDeviceByteOrder},    {'T', gMainForm->mnuDeviceTestVectors},
            {'O', gMainForm->mnuDeviceBufferOffset}, {'N', gMainForm->mnuDeviceNandOptions},
        };
        QString shown;
        for (const auto& [letter, item] : items) {
            if (item->isVisible())
                shown += QLatin1Char(letter);
        }
        EXPECT_EQ(shown, QString::fromLatin1(c.shown));
    }

    // Site numbers are assigned on a USB programmer only; during a run the
    // rules leave the device items alone.
    for (const bool usb : {true, false}) {
        engine.answers[IsUsbProgrammer] = VbBool(usb);
        gMainForm->SetButtonMenuLogic();
        EXPECT_EQ(gMainForm->mnuToolsSiteNumberAssignment->isEnabled(), usb);
    }
    data().blnInAction = true;
    engine.calls.clear();
    gMainForm->SetButtonMenuLogic();
    data().blnInAction = false;
    EXPECT_TRUE(engine.Calls({DeviceSupportsRange, IsUsbProgrammer}).isEmpty());
    EXPECT_FALSE(gMainForm->mnuSKSep->isVisible());
    EXPECT_FALSE(gMainForm->mnuSKSep->isEnabled());
}

TEST_F(MainMenusTest, TheQuantityBoxFollowsWhatTheOperatorTypes)
{
    ASSERT_TRUE(start());
    QLineEdit* box = gMainForm->txtNumCopies;
    struct Case
    {
        const char* typed;
        const char* shown;
        qint32 copies;
        bool rangeBox;
        const char* logged; // "" : nothing logged
    };
    const Case cases[] = {
        {"0", "1", 1, true, "Tarvo Main:  Quantity outside of range. Quantity = 0"},
        {"70000", "65535", 65535, true, "Tarvo Main:  Quantity outside of range. Quantity = 70000"},
        {"12a", "12", 12, false, "Tarvo Main:  Illegal input for Quantity, non-numeric ignored.  Input = '12a'"},
        {"x", "12", 12, false, ""},
        {"250", "250", 250, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        box->clear();
        if (c.rangeBox)
            ui().Answer(vb::vbOK);
        const qsizetype shownBefore = boxes().size();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        EXPECT_EQ(box->text(), c.shown);
        EXPECT_EQ(gMainForm->lngNumCopies, c.copies);
        EXPECT_EQ(box->cursorPosition(), box->text().size());
        if (c.rangeBox) {
            EXPECT_EQ(boxes().mid(shownBefore),
                      QStringList{Box("Quantity Number Error", "The quantity number should be between 1 and 65535.",
                                      vb::vbCritical, vb::vbOK)});
        } else {
            EXPECT_EQ(boxes().size(), shownBefore);
        }
        if (*c.logged) {
            EXPECT_TRUE(BlackBox().contains(QString::fromLatin1(c.logged)));
        }
    }

    // With an automatic handler a larger quantity is accepted and the handler
    // takes it.
    data().udtHandlerType = 1;
    box->clear();
    QTest::keyClicks(box, "70000");
    EXPECT_EQ(box->text(), "70000");
    EXPECT_EQ(gMainForm->lngNumCopies, 70000);
    EXPECT_EQ(gMainForm->QXH950AutoHandler.Quantity(), 70000);
    data().udtHandlerType = 0;
}

TEST_F(MainMenusTest, TheViewerShowsTheBufferAndItsSettingsComeBack)
{
    ASSERT_TRUE(start());
    ASSERT_NE(viewer, nullptr);
    struct Case
    {
        const char* name;
        bool fuses;
        qint32 bufferSize, deviceSize;
        const char* virgin;
        qint32 radix;
        bool hexAfter;
        double fuseCountAfter;
        QStringList viewerCalls;
        QStringList engineWrites;
        qint32 radixAfter;
    };
    const Case cases[] = {
        {"bytes, hexadecimal switched on",
         false,
         65536,
         65536,
         "0xFF",
         0,
         true,
         0,
         {"FuseMode=0", "DataSize=65536", "FillByte=255", "ViewerSetting6=0", "HexDisplay=0", "SetBlankBitValue(1)",
          "ShowEditor()"},
         {"SealbookPutFlag58=0", "BufferSize=65536", "DisplayRadix=1"},
         1},
        {"fuses below the device size",
         true,
         100,
         300,
         "1,0",
         1,
         false,
         350,
         {"FuseMode=-1", "DataSize=100", "FuseCount=300", "FillByte=255", "ViewerSetting6=0", "HexDisplay=-1",
          "SetBlankBitValue(0)", "ShowEditor()"},
         {"SealbookPutFlag58=0", "BufferSize=100", "JobFlag72=350", "DisplayRadix=0"},
         0},
        {"fuses above the device size",
         true,
         500,
         300,
         "",
         0,
         false,
         500,
         {"FuseMode=-1", "DataSize=500", "FuseCount=500", "FillByte=255", "ViewerSetting6=0", "HexDisplay=0",
          "SetBlankBitValue(1)", "ShowEditor()"},
         {"SealbookPutFlag58=0", "BufferSize=500", "JobFlag72=500", "DisplayRadix=0"},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.answers[SizeInFuses] = VbBool(c.fuses);
        engine.answers[BufferSize] = c.bufferSize;
        engine.answers[DeviceSize] = c.deviceSize;
        engine.answers[DefaultBufferByte] = qint32(255);
        engine.answers[DeviceConfigValue] = QString::fromLatin1(c.virgin);
        data().udtRadix = c.radix;
        viewer->calls.clear();
        viewer->whileOpen = [&c](RecordingViewer& v) {
            v.values[DataPaneId::HexDisplay] = c.hexAfter;
            if (c.fuses)
                v.values[DataPaneId::FuseCount] = c.fuseCountAfter;
        };
        engine.calls.clear();
        gMainForm->ViewBuffer_Click();
        EXPECT_EQ(viewer->calls, c.viewerCalls);
        QStringList writes;
        for (const QString& call : engine.Calls({SealbookPutFlag58, BufferSize, JobFlag72, DisplayRadix}))
            if (call.contains('='))
                writes << call;
        EXPECT_EQ(writes, c.engineWrites);
        EXPECT_EQ(data().udtRadix, c.radixAfter);
    }
    EXPECT_FALSE(QApplication::overrideCursor());
}

// An entry opens its file and redraws the list; one that opens nothing
// leaves the menu as it was.
TEST_F(MainMenusTest, RecentFileEntriesPastTheListOrWithoutAFirstFileOpenNothing)
{
    ASSERT_TRUE(start());
    const QString app = appinfo::App();
    SaveSettingValue(app, "Recent Files", "RecentFile1", "/data/a.hex");
    SaveSettingValue(app, "Recent Files", "RecentFile2", "/data/b.hex");
    QAction* first = gMainForm->mnuRecentFile[1];
    for (const int index : {0, 3, 5, 6}) {
        SCOPED_TRACE(index);
        first->setText("untouched");
        gMainForm->mnuRecentFile_Click(index);
        EXPECT_EQ(first->text(), "untouched");
    }
    SaveSettingValue(app, "Recent Files", "RecentFile1", "");
    gMainForm->mnuRecentFile_Click(2);
    EXPECT_EQ(first->text(), "untouched");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(MainMenusTest, WindowItemsOpenTheirWindowsModally)
{
    ASSERT_TRUE(start());
    // A device with every option the Device menu offers a dialog for.
    ASSERT_TRUE(operationWindow().SelectDevice("NV29LV160B"));
    engine.answers[DeviceSupportsTestVectors] = VbBool(true);
    struct Case
    {
        QAction* item;
        const char* window;
        bool overMainWindow; // owned by the main window, so modal over it
    };
    const Case cases[] = {
        {gMainForm->mnuDeviceRange, "frmDeviceRange", false},
        {gMainForm->mnuDeviceByteOrder, "frmByteOrder", false},
        {gMainForm->mnuDeviceSetsAndBanks, "frmDeviceArray", false},
        {gMainForm->mnuDeviceTestVectors, "frmDeviceVector", false},
        {gMainForm->mnuDeviceBufferOffset, "frmDeviceBufferSettings", false},
        {gMainForm->mnuTechSupport, "frmTechSupport", true},
        {gMainForm->mnuHelpAbout, "frmAbout", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        QString opened;
        QWidget* owner = nullptr;
        ui().OnModal([&](QDialog* dialog) {
            opened = dialog->objectName();
            owner = dialog->parentWidget();
            dialog->reject();
            return dialog->result();
        });
        c.item->setEnabled(true);
        c.item->trigger();
        EXPECT_EQ(opened, c.window);
        if (c.overMainWindow)
            EXPECT_EQ(owner, gMainForm);
    }
    // Closed, About and Tech Support are unloaded: the next opening loads them afresh.
    EXPECT_FALSE(frmAbout::IsLoaded());
    EXPECT_FALSE(frmTechSupport::IsLoaded());
    // The Device menu's dialogs all go through the one hidden options window.
    EXPECT_NE(gMainForm->frmDeviceConfigureDlg, nullptr);
    EXPECT_FALSE(gMainForm->frmDeviceConfigureDlg->isVisible());
}

TEST_F(MainMenusTest, SerializationOpensWhenTheDeviceAndDataPatternAllowIt)
{
    ASSERT_TRUE(start());
    const QString stapl = "The selected programmer model is non-concurrent and therefore does not support STAPL "
                          "serialization.";
    struct Case
    {
        const char* name;
        bool a, b, c, concurrent;
        qint32 r, field260;
        QStringList boxes;
        const char* option; // the option checked when the window opens; "" : no window
    };
    const Case cases[] = {
        {"nothing to serialize", false, false, false, false, 0, 0, {}, ""},
        {"data pattern cannot",
         false,
         true,
         false,
         false,
         0,
         0,
         {Box("Tarvo", "Serialization is not supported by the current data pattern.", vb::vbOKOnly, vb::vbOK)},
         ""},
        {"STAPL on a single-site model",
         true,
         false,
         true,
         false,
         0,
         0,
         {Box("Tarvo", stapl, vb::vbOKOnly, vb::vbOK)},
         ""},
        {"none yet", true, false, false, false, 0, 0, {}, "None"},
        {"complex", true, false, false, false, 3, 1, {}, "ComplexRadio"},
        {"simple", true, false, false, false, 3, 0, {}, "SimpleRadio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.answers[SerializationField244] = VbBool(c.a);
        engine.answers[SerializationValue303] = VbBool(c.b);
        engine.answers[DeviceSupportsStaplSerialization] = VbBool(c.c);
        engine.answers[IsConcurrentProgrammer] = VbBool(c.concurrent);
        engine.answers[SerializationValueAt245] = c.r;
        engine.answers[SerializationField260] = c.field260;
        QString checked = "no window";
        if (*c.option) {
            ui().OnModal([&checked](QDialog* dialog) {
                for (const char* name : {"None", "SimpleRadio", "ComplexRadio"}) {
                    auto* option = dialog->findChild<QRadioButton*>(QString::fromLatin1(name));
                    if (option && option->isChecked())
                        checked = QString::fromLatin1(name);
                }
                dialog->reject();
                return dialog->result();
            });
        }
        for (qsizetype i = 0; i < c.boxes.size(); ++i)
            ui().Answer(vb::vbOK);
        const qsizetype shownBefore = boxes().size();
        gMainForm->Serialization->trigger();
        QStringList shown = boxes().mid(shownBefore);
        shown.erase(
            std::remove_if(shown.begin(), shown.end(), [](const QString& l) { return l.contains("\tModal\t"); }),
            shown.end());
        EXPECT_EQ(shown, c.boxes);
        EXPECT_EQ(checked, *c.option ? QString::fromLatin1(c.option) : QStringLiteral("no window"));
    }
    EXPECT_TRUE(BlackBox().contains(stapl));
}

TEST_F(MainMenusTest, ToolsOptionsTakeTheEnginesSettingsOnlyWhenItsDialogWasConfirmed)
{
    ASSERT_TRUE(start());
    engine.answers[ToolsOption66] = VbBool(false);
    engine.answers[ToolsOption68] = VbBool(true);
    engine.answers[ToolsOption278] = qint16(2);
    engine.answers[ToolsOption327] = VbBool(true);
    for (const qint32 answer : {0, 1}) {
        SCOPED_TRACE(answer);
        data().bBeepOn = true;
        data().bElapsedTime = data().bMatchChipPinAndSocket = data().bMemoryIntegrityCheck = false;
        engine.answers[ToolsOption1013] = answer;
        gMainForm->mnuToolsOptions->trigger();
        const bool taken = answer == 1;
        EXPECT_EQ(data().bBeepOn, !taken);
        EXPECT_EQ(data().bElapsedTime, taken);
        EXPECT_EQ(data().bMatchChipPinAndSocket, taken);
        EXPECT_EQ(data().bMemoryIntegrityCheck, taken);
    }
}

// --- help ---

// Takes the file URLs the station asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST_F(MainMenusTest, HelpOpensTheTopicsPageInTheFolderBesideTheProgram)
{
    ASSERT_TRUE(start());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });

    struct Case
    {
        bool oem;
        QString topic;
        QString page; // relative to the program's folder
        bool logged;  // the refused topic is logged
    };
    const Case cases[] = {
        {false, "", "TarvoHelp/Tarvo/First_Topic.htm", false},
        {false, "Tarvo/Menus.htm", "TarvoHelp/Tarvo/Menus.htm", false},
        {false, "Tarvo/First_Topic.htm#environment", "TarvoHelp/Tarvo/First_Topic.htm#environment", false},
        {true, "", "marbrixII_win/About_Marbrix_II.htm", false},
        {false, "..", "TarvoHelp/Tarvo/First_Topic.htm", true},
        {true, "../TarvoHelp/Tarvo/Menus.htm", "marbrixII_win/About_Marbrix_II.htm", true},
        {false, "http://example.com/", "TarvoHelp/Tarvo/First_Topic.htm", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topic.toStdString());
        gbChiseloEdition = c.oem;
        catcher.opened.clear();
        gMainForm->LaunchHelp(c.topic);
        QUrl expected = QUrl::fromLocalFile(QDir::cleanPath(BinDir() + "/" + c.page.section('#', 0, 0)));
        if (c.page.contains('#'))
            expected.setFragment(c.page.section('#', 1));
        EXPECT_EQ(catcher.opened, QList<QUrl>{expected});
        EXPECT_EQ(BlackBox().contains("Help topic \"" + c.topic + "\" not opened"), c.logged);
    }
    gbChiseloEdition = false;
    // F1 is the menu's own item: the first topic.
    catcher.opened.clear();
    gMainForm->mnuTarvoHelp->trigger();
    EXPECT_EQ(catcher.opened.size(), 1);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(MainMenusTest, AMissingHelpFolderIsReportedByName)
{
    ASSERT_TRUE(start());
    const QString empty = tempPath("nohelp");
    QDir().mkpath(empty);
    const QString before = ComponentFolder();
    SetComponentFolder(empty);
    ui().Answer(vb::vbOK);
    gMainForm->LaunchHelp(QString());
    SetComponentFolder(before);
    EXPECT_EQ(boxes(),
              QStringList{Box("SysInfo",
                              "Help cannot be displayed because the file TarvoHelp could not be found.  "
                              "Please reinstall the application.",
                              vb::vbCritical, vb::vbOK)});
}

} // namespace

#include "MainMenusTest.moc"
