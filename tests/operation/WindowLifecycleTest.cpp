// The operation window's load, reload for a device, unload with its
// refusals, and the job summary at the end of a run.
#include "OperationFixture.h"

#include "platform/AppInfo.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QDialog>
#include <QListWidget>

namespace {

QString App()
{
    return appinfo::ApplicationTitle();
}

void Store(const char* section, const char* name, const char* value)
{
    SaveSettingValue(App(), QLatin1String(section), QLatin1String(name), QString::fromLatin1(value));
}

QString Setting(const char* section, const char* name)
{
    return GetSettingValue(App(), QLatin1String(section), QLatin1String(name), QStringLiteral("<none>")).toString();
}

TEST_F(OperationWindowTest, LoadSizesTheTablesAndMarksTheBufferEmpty)
{
    window->Form_Load();
    EXPECT_EQ(window->lngNumberOfActions, 9);
    EXPECT_EQ(window->intActionTabIndex.size(), 10u);
    EXPECT_EQ(window->blnSaveActionOptions.size(), 10u);
    EXPECT_EQ(window->m_asOptionText.size(), 18);
    EXPECT_EQ(window->strOldComboBoxStrings.size(), 18u);
    EXPECT_TRUE(window->bEnableStatusTextUpdate);
    EXPECT_EQ(window->BufferTypeGetName(), "<Empty>");
    EXPECT_EQ(window->BufferTypeGetType(), 0);
    EXPECT_EQ(window->udtAction, 0);
    EXPECT_FALSE(window->bBufferDirty);
}

struct ReloadCase
{
    const char* title;
    // What start-up and the store hold.
    const char* cmdLineDevice;
    const char* cmdLineDataFile;
    qint32 detectedFileType;
    const char* storedSelected;
    const char* storedName;
    // The engine's answer to the selection.
    qint32 selectResult;
    // A reload (True) or the load (False), with the device name it carries.
    bool reload;
    const char* reloadName;
    // What comes out.
    bool selected;
    QStringList selections;
    int refreshStateCalls;
    QString statusLine;
};

void PrintTo(const ReloadCase& c, std::ostream* os)
{
    *os << c.title;
}

class Reload : public OperationWindowTest, public ::testing::WithParamInterface<ReloadCase>
{
};

TEST_P(Reload, SelectsTheDeviceItWasGiven)
{
    const ReloadCase& c = GetParam();
    if (c.reload) {
        window->Form_Load(); // nothing stored: no selection
        ASSERT_TRUE(engine->selections.isEmpty());
    }
    SetCmdLineDevice(QString::fromLatin1(c.cmdLineDevice));
    SetCmdLineDataFile(QString::fromLatin1(c.cmdLineDataFile));
    engine->detectedFileType = c.detectedFileType;
    if (*c.storedSelected)
        Store("Device", "DevSelected", c.storedSelected);
    if (*c.storedName)
        Store("Device", "SelectedDeviceName", c.storedName);
    engine->selectResult = c.selectResult;

    if (c.reload)
        window->Form_Reload(true, QString::fromLatin1(c.reloadName));
    else
        window->Form_Load();

    EXPECT_EQ(data().blnDeviceSelected, c.selected) << c.title;
    EXPECT_EQ(engine->selections, c.selections) << c.title;
    EXPECT_EQ(engine->refreshStateCalls, c.refreshStateCalls) << c.title;
    const QString lastLine = window->cboStatus->count() ? window->cboStatus->item(window->cboStatus->count() - 1)->text()
                                                        : QString();
    EXPECT_EQ(lastLine, c.statusLine) << c.title;
    // Engine warnings are back on after the selection.
    EXPECT_TRUE(main->bWarningMessagesEnabled) << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reload,
    ::testing::Values(
        ReloadCase{"the device saved at the last exit", "", "", 0, "True", "AT29C040", 0, false, "", true,
                   {"AT29C040|False"}, 0, ""},
        ReloadCase{"nothing saved", "", "", 0, "", "", 0, false, "", false, {}, 0, ""},
        ReloadCase{"a saved device the engine refuses", "", "", 0, "True", "OLD_DEV", 5, false, "", false,
                   {"OLD_DEV|False"}, 0, ""},
        ReloadCase{"the command-line device", "AM29F010", "", 0, "", "", 0, false, "", true, {"AM29F010|True"}, 0, ""},
        ReloadCase{"an invalid command-line device", "NO_SUCH", "", 0, "True", "AT29C040", 1, false, "", false,
                   {"NO_SUCH|True"}, 0, "Invalid command line specified device NO_SUCH"},
        ReloadCase{"a command-line device with a STAPL data file", "AM29F010", "job.stp", 16, "", "", 0, false, "",
                   false, {}, 0, ""},
        ReloadCase{"a command-line device with another data file", "AM29F010", "data.hex", 3, "", "", 0, false, "",
                   true, {"AM29F010|True"}, 0, ""},
        ReloadCase{"a reload for a device", "", "", 0, "", "", 0, true, "AT29C040", true, {"AT29C040|False"}, 0, ""},
        ReloadCase{"a reload without a device name", "", "", 0, "", "", 0, true, "", false, {}, 0, ""},
        ReloadCase{"a reload the engine refuses with -1", "", "", 0, "", "", -1, true, "AT29C040", false,
                   {"AT29C040|False"}, 1, ""}));

TEST_F(OperationWindowTest, AReloadForASTAPLDeviceChangesNothingButTheCaption)
{
    window->Form_Load();
    data().blnDeviceSelected = true;
    window->udtAction = 4;
    window->bBufferDirty = true;
    window->mbActionClicked = true;
    window->Form_Reload(true, QStringLiteral("STAPL_JTAG"));
    EXPECT_TRUE(engine->selections.isEmpty());
    EXPECT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(window->udtAction, 4);
    EXPECT_TRUE(window->bBufferDirty);
    // The run flags are cleared before the STAPL test.
    EXPECT_FALSE(window->mbActionClicked);
}

TEST_F(OperationWindowTest, AnOffsetOutOfRangeWritesTheEnginesRangeBack)
{
    Store("Device", "DevSelected", "True");
    Store("Device", "SelectedDeviceName", "AT29C040");
    engine->Set(QXPgmrId::WordRangeLow, 0x10);
    engine->Set(QXPgmrId::WordRangeHigh, 0x7FF);
    engine->Set(QXPgmrId::BufferOffset, 0x9000);
    engine->offsetInRange = false;
    engine->correctedLow = 0x20;
    engine->correctedHigh = 0x3FF;
    engine->correctedOffset = 0x100;
    window->Form_Load();
    EXPECT_EQ(engine->Value(QXPgmrId::WordRangeLow).toInt(), 0x20);
    EXPECT_EQ(engine->Value(QXPgmrId::WordRangeHigh).toInt(), 0x3FF);
    EXPECT_EQ(engine->Value(QXPgmrId::BufferOffset).toInt(), 0x100);
    EXPECT_EQ(window->m_lBufferOffset, 0x100);
}

TEST_F(OperationWindowTest, AnOffsetInRangeLeavesTheEngineAlone)
{
    Store("Device", "DevSelected", "True");
    Store("Device", "SelectedDeviceName", "AT29C040");
    engine->Set(QXPgmrId::WordRangeLow, 0x10);
    engine->Set(QXPgmrId::BufferOffset, 0x40);
    engine->correctedLow = 0x99;
    window->Form_Load();
    EXPECT_EQ(engine->Value(QXPgmrId::WordRangeLow).toInt(), 0x10);
    EXPECT_EQ(window->m_lBufferOffset, 0x40);
}

// --- unload ---

TEST_F(OperationWindowTest, CloseIsRefusedWhileARunGoesOnAndTheWindowKeepsListening)
{
    for (const bool clicked : {false, true}) {
        LoadAndShow();
        data().blnInAction = !clicked;
        window->mbActionClicked = clicked;
        ui().Answer(vb::vbOK);
        qint16 cancel = 0;
        window->Form_Unload(cancel);
        EXPECT_EQ(cancel, 1);
        ASSERT_FALSE(ui().Shown().isEmpty());
        EXPECT_TRUE(ui().Shown().last().startsWith(
            "SysInfo\tAborted abnormally! Job terminated! Please click OK, wait till the current operation is aborted, "
            "and then close the application!\t"));
        // Refused: the main window still forwards events here.
        EXPECT_TRUE(main->bEnableEvent);
        EXPECT_EQ(Setting("Application", "Action"), "<none>");
    }
}

TEST_F(OperationWindowTest, CloseIsRefusedWhileTheAutomaticHandlerRuns)
{
    auto* handler = new FakeAutoHandler;
    handler->SetRunning(true);
    main->QXH950AutoHandler.Attach(std::unique_ptr<IDispatchControl>(handler));
    LoadAndShow();
    data().blnInAction = true;
    ui().Answer(vb::vbOK);
    EXPECT_FALSE(window->Form_Unload());
    EXPECT_TRUE(ui().Shown().last().startsWith(
        "SysInfo\tAborted abnormally! Job terminated! Please click OK and then close the application!\t"));
    EXPECT_FALSE(data().blnInAction);
    EXPECT_TRUE(main->bEnableEvent);

    // Once the session has ended the close goes ahead.
    handler->SetRunning(false);
    EXPECT_TRUE(window->Form_Unload());
    EXPECT_FALSE(main->bEnableEvent);
}

TEST_F(OperationWindowTest, CloseGoesAheadWhenIdleAndSavesTheDeviceAndAction)
{
    LoadAndShow();
    engine->Set(QXPgmrId::DeviceName, "AT29C040");
    data().blnDeviceSelected = true;
    window->udtAction = 3;
    window->cboDatPos->clear(); // no position chosen: stored as 0
    data().lngPosSingle = 5;
    window->cboBankNum->addItem(QStringLiteral(" 1"));
    window->cboBankNum->addItem(QStringLiteral(" 2"));
    window->cboBankNum->setCurrentIndex(1);
    qint16 cancel = 7;
    window->Form_Unload(cancel);
    EXPECT_EQ(cancel, 0);
    EXPECT_FALSE(main->bEnableEvent);
    EXPECT_EQ(Setting("Device", "DevSelected"), "True");
    EXPECT_EQ(Setting("Device", "SelectedDeviceName"), "AT29C040");
    EXPECT_EQ(Setting("Application", "Action"), "3");
    EXPECT_EQ(data().lngPosSingle, 0);
    EXPECT_EQ(data().lngBankSingle, 1);
}

TEST_F(OperationWindowTest, CloseKeepsTheStoredDeviceWhenASTAPLDeviceIsSelected)
{
    LoadAndShow();
    engine->Set(QXPgmrId::DeviceName, "STAPL_JTAG");
    data().blnDeviceSelected = true;
    EXPECT_TRUE(window->Form_Unload());
    EXPECT_EQ(Setting("Device", "DevSelected"), "<none>");
    EXPECT_EQ(Setting("Device", "SelectedDeviceName"), "<none>");
    EXPECT_EQ(Setting("Application", "Action"), "0");
}

TEST_F(OperationWindowTest, TheWindowCannotBeClosedOnItsOwn)
{
    LoadAndShow();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
}

// --- the job summary ---

TEST_F(OperationWindowTest, JobSummaryIsShownModallyUnlessTheEngineIsSilent)
{
    LoadAndShow();
    engine->Set(QXPgmrId::SilentMode, true);
    window->ShowJobSummary(); // an unexpected window would fail the test

    engine->Set(QXPgmrId::SilentMode, false);
    QString shown;
    ui().OnModal([&](QDialog* dialog) {
        shown = dialog->objectName() + "|" + dialog->windowTitle();
        EXPECT_EQ(dialog->parent(), nullptr);
        return int(QDialog::Accepted);
    });
    window->ShowJobSummary();
    EXPECT_EQ(shown, "frmJobSummary|Job Summary");
    EXPECT_TRUE(engine->calls.isEmpty());
}

TEST_F(OperationWindowTest, AStoppedRunOnAProgrammerFinishesItsReportFirst)
{
    LoadAndShow();
    window->blnStopClicked = true;
    for (const qint32 port : {0, 1}) {
        engine->calls.clear();
        engine->Set(QXPgmrId::PortIndex, port);
        ui().OnModal([](QDialog*) { return int(QDialog::Accepted); });
        window->ShowJobSummary();
        EXPECT_EQ(engine->calls, port == 0 ? QStringList() : QStringList({"PrepareRun", "FinishRunReport"})) << port;
    }
}

TEST_F(OperationWindowTest, RunCountersStartAgainExceptTheRemainingOnes)
{
    window->Form_Load();
    qint32* counters[] = {&window->lngNumFailed, &window->lngNumPassed, &window->lngNumFailedAlreadySecured,
                          &window->lngNumFailedBadID, &window->lngNumFailedContinuity, &window->lngNumFailedErase,
                          &window->lngNumFailedFunctionality, &window->lngNumFailedIllegalBit,
                          &window->lngNumFailedNonBlank, &window->lngNumFailedOverCurrent,
                          &window->lngNumFailedProgramming, &window->lngNumFailedSecurity, &window->lngNumFailedVerify,
                          &window->lngNumFailedOther};
    for (qint32* c : counters)
        *c = 5;
    window->lngNumLeft = 7;
    window->lngNumToDo = 9;
    window->ResetRunCounters();
    for (qint32* c : counters)
        EXPECT_EQ(*c, 0);
    EXPECT_EQ(window->lngNumLeft, 7);
    EXPECT_EQ(window->lngNumToDo, 9);
}

} // namespace
