// The main window's engine-event and manual-handler-event handlers, reached as
// the controls reach them: an event raised by name to the window's sink, its
// by-reference values handed back. The station runs on the simulated engine,
// with the test answering some engine members itself.
#include "MainWindowFixture.h"
#include "StationTest.h"
#include "StationWiring.h"
#include "../engine/TestEngineControl.h"

#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitorImpl.h"
#include "automation/CQxProgrammerData.h"
#include "engine/SiteBoxControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "operation/TabStrip.h"
#include "records/frmSKReport.h"
#include "settings/ProgrammerClass.h"
#include <QDialog>
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableWidget>
#include <QTimer>
#include <functional>

namespace {

using frmMainEventsTest = StationTest;

TEST_F(frmMainEventsTest, WarningSwitchIsHandedBackToTheEngine)
{
    ASSERT_TRUE(StartApplication());
    TestEngineControl engine;
    engine.SetEventSink(gMainForm);

    for (const bool enabled : {false, true}) {
        gMainForm->EnablePgmrWarningMessage(enabled);
        bool flag = !enabled;
        engine.RaiseEvent.PgmrWarningMessagesEnabled(flag);
        EXPECT_EQ(flag, enabled);
    }

    // A name the engine's table does not have reaches no handler.
    gMainForm->EnablePgmrWarningMessage(false);
    QVariantList args{VbBool(true)};
    gMainForm->Fire(QStringLiteral("PgmrWarningMessageEnabled"), args);
    EXPECT_EQ(args, QVariantList{VbBool(true)});
    engine.SetEventSink(nullptr);
}

TEST_F(frmMainEventsTest, EventsBeforeTheOperationWindowExistsAreDropped)
{
    StationWiring station;
    ASSERT_EQ(station.main().frmP, nullptr);
    QVariantList request{QStringLiteral("as sent")};
    station.main().Fire(QStringLiteral("RequestJobSettingText24"), request);
    EXPECT_EQ(request, QVariantList{QStringLiteral("as sent")});
    QVariantList setting{QStringLiteral("/jobs")};
    station.main().Fire(QStringLiteral("UpdateJobSetting14"), setting);
    QVariantList none;
    station.main().Fire(QStringLiteral("DeviceConfigurationChanged"), none);
}

// The station with both controls' events raised straight into the main
// window, typed.
class BridgeTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(start());
        ui().SetFailureHandler([](const QString& box) { ADD_FAILURE() << "unexpected box: " << box.toStdString(); });
    }

    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    // The engine asks for a reload for a device: the action tabs appear.
    void selectDevice()
    {
        raise.ReloadForm("AM27C512");
        ASSERT_GT(operationWindow().tabOperation->Count(), 2);
    }
    qsizetype boxCount() const { return const_cast<BridgeTest*>(this)->ui().Shown().size(); }
    // How many lines of the black-box log end in the text.
    static qsizetype logLines(const QString& text)
    {
        QFile log(blackbox::GetLogFolder() + "/BlackBox.log");
        if (!log.open(QIODevice::ReadOnly))
            return 0;
        qsizetype count = 0;
        for (const QString& line : QString::fromUtf8(log.readAll()).split("\r\n"))
            count += line.endsWith(text) ? 1 : 0;
        return count;
    }

    // Lets the main window's timers run for a while.
    static void pump(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    QXPgmrEventRaisers raise{[](const QString& name, QVariantList& args) { gMainForm->Fire(name, args); }};
    ManualHdlEventRaisers raiseHandler{[](const QString& name, QVariantList& args) { gMainForm->Fire(name, args); }};
};

TEST_F(BridgeTest, JobSettingEventsWriteTheJobConfigurationAndRequestsReadItBack)
{
    // Engine writes, then the engine's requests hand the same values back.
    raise.UpdateJobSetting14("/jobs");
    raise.UpdateJobSetting15("a.hex");
    raise.UpdateJobSetting17(0x100);
    raise.UpdateJobSetting18(0x10);
    raise.UpdateJobSetting19(0x7FFF);
    raise.UpdateJobSetting55(3);
    raise.UpdateJobSetting56(5);
    for (const bool flag : {false, true}) {
        raise.UpdateJobSetting20(flag);
        EXPECT_EQ(data().bClearBeforeRead, flag);
        raise.UpdateJobSetting33(flag);
        EXPECT_EQ(data().udtRadix, flag ? 1 : 0);
        raise.UpdateJobSetting76(flag);
        EXPECT_EQ(data().blnAutoLowAddr, flag);
    }
    EXPECT_EQ(data().lngBankSingle, 3);
    EXPECT_EQ(data().lngPosSingle, 5);

    QString text;
    raise.RequestJobSettingText24(text);
    EXPECT_EQ(text, "a.hex");
    raise.JobSetting25(text);
    EXPECT_EQ(text, "/jobs");
    qint32 value = -1;
    raise.RequestJobSetting26(value);
    EXPECT_EQ(value, 0x10);
    raise.RequestJobSetting27(value);
    EXPECT_EQ(value, 0x7FFF);
    raise.RequestJobSetting28(value);
    EXPECT_EQ(value, 0x100);
    raise.RequestValue40(value);
    EXPECT_EQ(value, 0);

    // No file name: the engine is told "<Unknown>".
    raise.UpdateJobSetting15("");
    raise.RequestJobSettingText24(text);
    EXPECT_EQ(text, "<Unknown>");

    // The job name goes back as it is; the caption event forgets it.
    data().strJobName = "job7.qxj";
    raise.JobSettingText60(text);
    EXPECT_EQ(text, "job7.qxj");
    raise.UpdateCaption58();
    raise.JobSettingText60(text);
    EXPECT_EQ(text, "");

    // Sealbook notes by type; other types change nothing.
    raise.JobSetting46("job note", 1);
    raise.JobSetting46("auto note", 2);
    raise.JobSetting46("ignored", 3);
    EXPECT_EQ(data().strJobNote, "job note");
    EXPECT_EQ(data().strSKAutoNote, "auto note");
    for (const auto& [type, expected] :
         {std::pair{1, QStringList{"SealbookNoteText=job note"}},
          std::pair{2, QStringList{"SealbookNoteText=auto note"}}, std::pair{3, QStringList{}}}) {
        data().skType = type;
        engine.calls.clear();
        raise.RequestSealbookNote();
        EXPECT_EQ(engine.Calls({QXPgmrId::SealbookNoteText}), expected) << type;
    }

    SaveSettingValue(appinfo::App(), "Application", "AutoSaveSK_Dir", "/var/sk");
    raise.RequestAutoSaveSealbookDir(text);
    EXPECT_EQ(text, "/var/sk");
}

TEST_F(BridgeTest, QuantityRequestReadsTheQuantityAsANumberAndSetQuantityGoesThroughItsRule)
{
    // Each text is set as the operator's would be, through the station's
    // rule (a number out of range is told in a box); the engine reads what
    // the box then shows.
    struct Case
    {
        const char* text;
        bool outOfRange;
        qint32 value;
    };
    for (const Case c : {Case{"12", false, 12}, Case{"7 pcs", false, 7}, Case{"2.5", false, 2}, Case{"3.5", false, 4},
                         Case{"", false, 0}, Case{"-3", true, 1}, Case{"99999999999", true, 65535}}) {
        if (c.outOfRange)
            ui().Answer(vb::vbOK);
        gMainForm->station().SetQuantityText(c.text);
        EXPECT_EQ(gMainForm->txtNumCopies->text(), gMainForm->station().QuantityText()) << c.text;
        qint32 value = -99;
        raise.RequestQuantity(value);
        EXPECT_EQ(value, c.value) << c.text;
    }
    // The engine's quantity is the count the next run does, and the box's.
    raise.SetQuantity(250);
    EXPECT_EQ(gMainForm->txtNumCopies->text(), "250");
    EXPECT_EQ(gMainForm->lngNumCopies, 250);
    ui().Answer(vb::vbOK);
    raise.SetQuantity(0);
    EXPECT_EQ(gMainForm->lngNumCopies, 1);
    EXPECT_TRUE(ui().Shown().last().startsWith("Quantity Number Error")) << ui().Shown().last().toStdString();
}

TEST_F(BridgeTest, HandlerValueRequestsAnswerTheRunCountersWithoutAnAutomaticHandler)
{
    frmProgram& window = operationWindow();
    data().udtHandlerType = 0;
    window.lngNumPassed = 11;
    window.lngNumFailed = 4;
    window.lngNumLeft = 6;
    gMainForm->station().SetQuantityText(QStringLiteral("21"));
    struct Case
    {
        void (QXPgmrEventRaisers::*request)(qint32&);
        qint32 expected;
        const char* name;
    };
    for (const Case c : {Case{&QXPgmrEventRaisers::RequestHandlerValue3, 11, "passed"},
                         Case{&QXPgmrEventRaisers::RequestHandlerValue4, 4, "failed"},
                         Case{&QXPgmrEventRaisers::RequestHandlerValue1, 6, "left"},
                         Case{&QXPgmrEventRaisers::RequestHandlerQuantity, 21, "quantity"}}) {
        qint32 value = -1;
        (raise.*c.request)(value);
        EXPECT_EQ(value, c.expected) << c.name;
    }

    // Value 2 counts the site boxes that read state 2 (idle).
    ASSERT_FALSE(window.SiteBox.empty());
    qint32 idle = -1;
    window.SiteBox[0]->ShowIdle();
    raise.RequestHandlerValue2(idle);
    EXPECT_EQ(idle, 1);
    window.SiteBox[0]->ShowPassed();
    raise.RequestHandlerValue2(idle);
    EXPECT_EQ(idle, 0);

    // With an automatic handler the handler answers.
    data().udtHandlerType = 1;
    gMainForm->QXH950AutoHandler.Quantity(qint32(33));
    qint32 quantity = -1;
    raise.RequestHandlerQuantity(quantity);
    EXPECT_EQ(quantity, gMainForm->QXH950AutoHandler.Quantity());
    EXPECT_NE(quantity, 21);
    data().udtHandlerType = 0;
}

TEST_F(BridgeTest, EngineMessagesAreLoggedAndShownByTheirSwitches)
{
    struct Case
    {
        bool silent;
        bool switchOn;
        bool boxShown;
        bool statusLine; // SysInfo only: where the box does not show
    };
    for (const Case c :
         {Case{false, true, true, false}, Case{true, true, false, true}, Case{false, false, false, true}}) {
        SCOPED_TRACE(testing::Message() << "silent " << c.silent << ", switch " << c.switchOn);
        engine.answers[QXPgmrId::SilentMode] = VbBool(c.silent);
        gMainForm->EnablePgmrErrorMessage(c.switchOn);
        gMainForm->EnablePgmrWarningMessage(c.switchOn);

        const qsizetype boxes = boxCount();
        if (c.boxShown)
            ui().Answer(1);
        const QString error = QStringLiteral("engine error %1%2").arg(c.silent).arg(c.switchOn);
        raise.SysInfoMessage(error);
        EXPECT_EQ(boxCount() - boxes, c.boxShown ? 1 : 0);
        if (c.boxShown) {
            EXPECT_TRUE(ui().Shown().last().startsWith("SysInfo\t" + error));
        }
        EXPECT_EQ(statusLines().contains(error), c.statusLine);
        // Shown or a status line, the message is in the log once.
        EXPECT_EQ(logLines(error), 1);
        operationWindow().cboStatus->clear();

        if (c.boxShown)
            ui().Answer(1);
        raise.WarningMessage("low voltage");
        EXPECT_EQ(boxCount() - boxes, c.boxShown ? 2 : 0);
        if (c.boxShown) {
            EXPECT_TRUE(ui().Shown().last().startsWith("Warning\tlow voltage"));
        }
        EXPECT_FALSE(statusLines().contains("low voltage"));
    }
    // With the status list's updates off the message still reaches the log.
    engine.answers[QXPgmrId::SilentMode] = VbBool(true);
    operationWindow().bEnableStatusTextUpdate = false;
    raise.SysInfoMessage("engine error while reloading");
    operationWindow().bEnableStatusTextUpdate = true;
    EXPECT_FALSE(statusLines().contains("engine error while reloading"));
    EXPECT_EQ(logLines("engine error while reloading"), 1);
    engine.answers.remove(QXPgmrId::SilentMode);
}

TEST_F(BridgeTest, OperationStatusTextNeedsBothGates)
{
    for (const bool enableEvent : {false, true}) {
        for (const bool statusOn : {false, true}) {
            gMainForm->bEnableEvent = enableEvent;
            raise.EnableStatusMessages(statusOn);
            const QString text = QStringLiteral("status %1 %2").arg(enableEvent).arg(statusOn);
            raise.StatusTextReported(text);
            EXPECT_EQ(statusLines().contains(text), enableEvent && statusOn) << text.toStdString();
        }
    }
    gMainForm->bEnableEvent = true;
}

TEST_F(BridgeTest, GatedEventsAreDroppedOnceTheOperationWindowUnloaded)
{
    gMainForm->bEnableEvent = false;
    engine.answers[QXPgmrId::SilentMode] = VbBool(false);
    // No box may show (the scripted UI has no answer), no line be added.
    raise.SysInfoMessage("late error");
    raise.WarningMessage("late warning");
    raise.SiteInfo(99, 0);
    raise.OperationProgress(20, 50);
    raise.OperationComplete(24);
    raiseHandler.SessionOperationBegan();
    raiseHandler.SiteStatusChanged(1, 0, 0);
    qint32 result = 77;
    raiseHandler.RepeatCommandRequest(1, result);
    EXPECT_EQ(result, 77);
    EXPECT_TRUE(ui().Shown().isEmpty());
    EXPECT_FALSE(statusLines().contains("late error"));
    EXPECT_EQ(logLines("late error"), 1);
    EXPECT_EQ(engine.Calls({QXPgmrId::RepeatSiteCommand}), QStringList());

    // The events that do not test the switch still act.
    raise.UpdateJobSetting56(9);
    EXPECT_EQ(data().lngPosSingle, 9);

    // Listening again, the repeat request reaches the engine and its answer
    // is handed back.
    gMainForm->bEnableEvent = true;
    engine.answers[QXPgmrId::RepeatSiteCommand] = 5;
    raiseHandler.RepeatCommandRequest(1, result);
    EXPECT_EQ(result, 5);
    EXPECT_EQ(engine.Calls({QXPgmrId::RepeatSiteCommand}), QStringList{"RepeatSiteCommand(1)"});
    engine.answers.remove(QXPgmrId::SilentMode);
}

TEST_F(BridgeTest, SiteInfoAddressesTheBoxOfTheSiteAndRefusesOthers)
{
    frmProgram& window = operationWindow();
    ASSERT_EQ(window.SiteBox.size(), 1u);
    // The engine counts more sites than the window has boxes.
    engine.answers[QXPgmrId::SiteCount] = 2;
    struct Case
    {
        qint32 site;
        qint32 info;
        qint32 state;
    };
    // Site 0 and site 1 are both the first box.
    for (const Case c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{0, 3, 3}}) {
        raise.SiteInfo(c.site, c.info);
        EXPECT_EQ(window.SiteBox[0]->SiteState(), c.state) << c.site;
    }
    // Site 2 is counted but has no box: nothing happens.
    raise.SiteInfo(2, 0);
    EXPECT_EQ(window.SiteBox[0]->SiteState(), 3);
    EXPECT_TRUE(ui().Shown().isEmpty());

    for (const qint32 site : {3, -1}) {
        ui().Answer(1);
        raise.SiteInfo(site, 0);
        ASSERT_FALSE(ui().Shown().isEmpty());
        EXPECT_TRUE(ui().Shown().last().startsWith("SiteBox\tWrong site info! Site: " + QString::number(site)));
    }
    EXPECT_EQ(window.SiteBox[0]->SiteState(), 3);
    engine.answers.remove(QXPgmrId::SiteCount);
}

TEST_F(BridgeTest, DeviceConfigurationChangeKeepsRangeOffsetFillByteAndTheStatusSwitch)
{
    for (const bool statusLines : {true, false}) {
        SCOPED_TRACE(statusLines);
        gMainForm->SetEngineRangeValues(0x20, 0x3F);
        gMainForm->QXProgrammer.BufferOffset(qint32(0x400));
        gMainForm->QXProgrammer.DefaultBufferByte(qint32(0xA5));
        operationWindow().bEnableStatusTextUpdate = statusLines;
        engine.calls.clear();

        raise.DeviceConfigurationChanged();

        // Put back after the reload, in this order.
        EXPECT_EQ(engine
                      .Calls({QXPgmrId::WordRangeLow, QXPgmrId::WordRangeHigh, QXPgmrId::BufferOffset,
                              QXPgmrId::DefaultBufferByte})
                      .filter("="),
                  (QStringList{"WordRangeLow=32", "WordRangeHigh=63", "BufferOffset=1024", "DefaultBufferByte=165"}));
        qint32 low = 0, high = 0;
        gMainForm->GetEngineRangeValues(low, high);
        EXPECT_EQ(low, 0x20);
        EXPECT_EQ(high, 0x3F);
        EXPECT_EQ(gMainForm->QXProgrammer.BufferOffset(), 0x400);
        EXPECT_EQ(gMainForm->QXProgrammer.DefaultBufferByte(), 0xA5);
        EXPECT_EQ(operationWindow().bEnableStatusTextUpdate, statusLines);
    }
}

TEST_F(BridgeTest, ReloadsDuringARunAreCarriedOutOnceAfterItAndWorkIsRefused)
{
    frmProgram& window = operationWindow();
    // What one of each of the three requests writes back to the engine.
    const auto offsetWrites = [this] { return engine.Calls({QXPgmrId::BufferOffset}).filter("=").size(); };
    engine.calls.clear();
    raise.ReloadForm("AM27C512");
    raise.DeviceConfigurationChanged();
    raise.DeviceSelected();
    const qsizetype onceEach = offsetWrites();
    ASSERT_GT(onceEach, 0);

    data().blnDeviceSelected = false;
    window.mbActionClicked = true;
    engine.calls.clear();

    raise.ReloadForm("AM27C512");
    raise.DeviceConfigurationChanged();
    raise.DeviceSelected();
    raise.DeviceConfigurationChanged();
    raise.ReloadForm("AM27C512");
    pump(120);

    // Nothing rebuilt the window under the run: its guard still holds.
    EXPECT_TRUE(window.mbActionClicked);
    EXPECT_FALSE(data().blnDeviceSelected);
    EXPECT_EQ(offsetWrites(), 0);

    // A job load and the default configuration are refused with a reason.
    raise.LoadJobFileRequest("/jobs/next.qxj");
    raise.RequestSetDefaultConfigure();
    const QStringList refused = statusLines().filter("was refused: an operation is running");
    ASSERT_EQ(refused.size(), 2);
    EXPECT_TRUE(refused[0].startsWith("Loading the job /jobs/next.qxj"));
    EXPECT_TRUE(refused[1].startsWith("Setting the default configuration"));
    for (const QString& line : refused)
        EXPECT_EQ(logLines(line), 1) << line.toStdString();

    // The run ends: each held-back request runs once.
    window.mbActionClicked = false;
    window.bSpecialConcurrent = true; // cleared by a reload
    pump(200);
    EXPECT_FALSE(window.bSpecialConcurrent);
    EXPECT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(offsetWrites(), onceEach);

    // Outside a run the job load is not refused (its loader speaks).
    raise.LoadJobFileRequest("/jobs/next.qxj");
    EXPECT_EQ(statusLines().filter("was refused").size(), 2);
    EXPECT_TRUE(statusLines().contains("Failed to load the job. It is not a job file or the file is corrupted."));
}

TEST_F(BridgeTest, SettingsRefreshTickIsRefusedDuringARunAndDisarms)
{
    frmProgram& window = operationWindow();
    for (const bool running : {true, false}) {
        window.mbActionClicked = running;
        window.cboStatus->clear();
        gMainForm->m_oSettingsRefreshTimer.start(20);
        pump(150);
        EXPECT_FALSE(gMainForm->m_oSettingsRefreshTimer.isActive());
        EXPECT_EQ(statusLines().filter("Refreshing the operation tabs was refused").size(), running ? 1 : 0);
    }
}

TEST_F(BridgeTest, RunRelaysHandBackWhatTheOperationWindowAnswers)
{
    selectDevice();
    frmProgram& window = operationWindow();

    // Set-up request: command, special and out-of-range as the window's own
    // members give them for the selected operation.
    qint32 expectedCommand = window.GetPgmrCommandToRun();
    // The window's answer starts from "not special, in range".
    bool expectedSpecial = false, expectedOutOfRange = false;
    window.SetupSpecialCmd(expectedCommand, expectedSpecial, expectedOutOfRange);
    qint32 command = -1234;
    bool isSpecial = !expectedSpecial, outOfRange = !expectedOutOfRange;
    raise.SetupOperationRequest(command, isSpecial, outOfRange);
    EXPECT_EQ(command, expectedCommand);
    EXPECT_EQ(isSpecial, expectedSpecial);
    EXPECT_EQ(outOfRange, expectedOutOfRange);

    // ResetButtons: only True marks the window in action.
    for (const auto& [value, inAction] :
         {std::pair{VbBool(true), true}, std::pair{QVariant(1), false}, std::pair{VbBool(false), false}}) {
        QVariantList args{value};
        gMainForm->Fire("ResetButtons", args);
        EXPECT_EQ(data().blnInAction, inAction) << value.toString().toStdString();
    }

    // The handler asks whether its session was aborted.
    for (const bool stop : {true, false}) {
        window.blnStopClicked = stop;
        bool aborted = !stop;
        raiseHandler.IsSessionAborted(aborted);
        EXPECT_EQ(aborted, stop);
    }

    // Master site 1 shows the first box as passed.
    window.SiteBox[0]->ShowIdle();
    engine.answers[QXPgmrId::MasterSite] = 1;
    raiseHandler.MasterSiteRequest();
    EXPECT_EQ(window.SiteBox[0]->SiteState(), 0);
    // A master site without a box is left alone.
    window.SiteBox[0]->ShowIdle();
    engine.answers[QXPgmrId::MasterSite] = 4;
    raiseHandler.MasterSiteRequest();
    EXPECT_EQ(window.SiteBox[0]->SiteState(), 2);
    engine.answers.remove(QXPgmrId::MasterSite);

    // Decorated tab name: the caption of the tab, with its key letter.
    QString decorated = "unchanged";
    raise.RequestDecoratedTabName("Read", decorated);
    EXPECT_EQ(decorated, "&Read");
    decorated = "unchanged";
    raise.RequestDecoratedTabName("NoSuchTab", decorated);
    EXPECT_EQ(decorated, "");
}

TEST_F(BridgeTest, DataFileLoadedRecordsTheFileWithTheEnginesDate)
{
    frmProgram& window = operationWindow();
    data().strFilePath = "/data/patterns";
    data().strFileName = "a.hex";
    data().blnBufferEmpty = true;
    data().blnFileLoaded = false;
    const QDateTime written(QDate(2024, 3, 12), QTime(8, 30, 0));
    engine.answers[QXPgmrId::GetFileDate] = written;
    engine.calls.clear();

    raise.DataFileLoaded();

    EXPECT_EQ(engine.Calls({QXPgmrId::GetFileDate}), QStringList{"GetFileDate[/data/patterns/a.hex, 0]"});
    EXPECT_FALSE(data().blnBufferEmpty);
    EXPECT_TRUE(data().blnFileLoaded);
    EXPECT_EQ(data().dtmFileDate, written);
    EXPECT_EQ(window.BufferTypeGetName(), "a.hex");
    EXPECT_EQ(window.BufferTypeGetType(), 1);
    engine.answers.remove(QXPgmrId::GetFileDate);
}

TEST_F(BridgeTest, HandlerSessionEventsReachTheConcurrentFrame)
{
    frmProgram& window = operationWindow();
    window.fraConcurrent->hide();
    raiseHandler.SessionOperationBegan();
    EXPECT_FALSE(window.fraConcurrent->isHidden());

    // The statistics are shown whatever the switch says; the last two
    // values are not.
    gMainForm->bEnableEvent = false;
    raiseHandler.RunStatisticsChanged(5, 2, 1, 7, 99, 98);
    gMainForm->bEnableEvent = true;
    EXPECT_EQ(window.m_sDevicesPassedValue->text(), " 5");
    EXPECT_EQ(window.m_sDevicesFailedValue->text(), " 2");
    EXPECT_EQ(window.m_sDevicesActiveValue->text(), " 1");
    EXPECT_EQ(window.m_sDevicesRemainingValue->text(), " 7");
}

TEST_F(BridgeTest, BufferContentChangedRecordsDeviceContentOnTheReadTabOnly)
{
    selectDevice();
    frmProgram& window = operationWindow();
    TabStrip* tabs = window.tabOperation;
    int readTab = 0, otherTab = 0;
    for (int i = 1; i <= tabs->Count(); ++i)
        (tabs->Key(i) == "REA&D" ? readTab : otherTab) = i;
    ASSERT_GT(readTab, 0);
    ASSERT_GT(otherTab, 0);

    data().strFileName = "a.hex";
    data().blnBufferEmpty = true;
    window.SelectTab(otherTab);
    raise.BufferContentChanged(QVariant(1));
    EXPECT_EQ(data().strFileName, "a.hex");
    EXPECT_TRUE(data().blnBufferEmpty);

    window.SelectTab(readTab);
    engine.answers[QXPgmrId::BufferSize] = 65536;
    raise.BufferContentChanged(QVariant(1));
    EXPECT_EQ(data().strFileName, "");
    EXPECT_FALSE(data().blnBufferEmpty);
    EXPECT_EQ(data().lngFileSize, 65536);
    EXPECT_EQ(window.BufferTypeGetName(), "<Device Content>");
    EXPECT_EQ(window.BufferTypeGetType(), 2);
    engine.answers.remove(QXPgmrId::BufferSize);
}

TEST_F(BridgeTest, JobLoadAndSaveReportsReachTheOperator)
{
    raise.JobLoadFailed(false);
    EXPECT_TRUE(statusLines().contains("Failed to load the job. It is not a job file or the file is corrupted."));

    data().blnBufferEmpty = false;
    engine.answers[QXPgmrId::DataFileValue313] = VbBool(false);
    raise.JobLoadFailed(true);
    EXPECT_TRUE(data().blnBufferEmpty);

    gMainForm->jobFiles().bJobSaveSucceeded = true;
    engine.answers[QXPgmrId::SilentMode] = VbBool(false);
    ui().Answer(1);
    raise.JobSavingError("disk full");
    EXPECT_FALSE(gMainForm->jobFiles().bJobSaveSucceeded);
    ASSERT_FALSE(ui().Shown().isEmpty());
    EXPECT_TRUE(ui().Shown().last().startsWith("Job Saving Error...\tdisk full"));
    engine.answers.remove(QXPgmrId::SilentMode);
}

TEST_F(BridgeTest, SealbookLoadIsNeverKeptUnacceptedAndAFailedIntegrityCheckSaysSo)
{
    engine.answers[QXPgmrId::DataFileValue313] = VbBool(false);
    engine.answers[QXPgmrId::SealbookErrorCode] = 0x10;
    engine.answers[QXPgmrId::SealbookLoadValue111] = 0x1234;
    engine.answers[QXPgmrId::ShowErrorMessages] = VbBool(true);
    struct Case
    {
        qint32 skType;
        qint32 storedCrc;
        bool integrityFails;
    };
    // A manual-handler file is never compared; an auto file matches by its
    // value or by its value with the error code folded in.
    for (const Case c :
         {Case{1, 0x9999, false}, Case{2, 0x1234, false}, Case{2, 0x1234 ^ 0x10, false}, Case{2, 0x9999, true}}) {
        SCOPED_TRACE(testing::Message() << "type " << c.skType << ", stored " << c.storedCrc);
        data().skType = c.skType;
        data().blnBufferEmpty = false;
        gMainForm->jobFiles().lSKAutoStoredCRC = c.storedCrc;
        operationWindow().cboStatus->clear();
        engine.calls.clear();
        if (c.integrityFails)
            ui().Answer(1);
        // The operator refuses the setup on the job setup report.
        ui().OnModal([](QDialog* report) {
            report->reject();
            return report->result();
        });
        qint32 result = 0;
        raise.SealbookLoadingError(result, 1);

        EXPECT_EQ(result, 1);
        EXPECT_EQ(gMainForm->jobFiles().lSKCRC, 0x1234);
        EXPECT_TRUE(data().blnBufferEmpty);
        const QString failed = "The integrity check failed. The manual handler job file is invalid or corrupted.";
        EXPECT_EQ(statusLines().contains(failed), c.integrityFails);
        const QStringList resets = c.integrityFails ? QStringList{"SealbookErrorReset=-1", "SealbookErrorReset=0"}
                                                    : QStringList{"SealbookErrorReset=-1"};
        EXPECT_EQ(engine.Calls({QXPgmrId::SealbookErrorReset}), resets);
        if (c.integrityFails) {
            // (the setup report follows the box)
            EXPECT_TRUE(ui().Shown().at(ui().Shown().size() - 2).startsWith("Sealbook Loading Error\t" + failed));
        }
    }
    engine.answers.remove(QXPgmrId::DataFileValue313);
    engine.answers.remove(QXPgmrId::ShowErrorMessages);
}

TEST_F(BridgeTest, TheSetupReportOfAManualHandlerJobShowsTheKindOfFileTheEngineLoaded)
{
    engine.answers[QXPgmrId::ShowErrorMessages] = VbBool(true);
    data().strJobName = "lot7.qxs";
    struct Case
    {
        qint32 skType;
        qint32 eventType;
        bool jobRows;  // the manual-handler grid is filled
        bool autoRows; // the auto-file grid is filled
    };
    for (const Case c : {Case{1, 1, true, false}, Case{1, 2, true, true}, Case{1, 0, false, false},
                         Case{2, 1, true, true}, Case{0, 2, false, false}}) {
        SCOPED_TRACE(testing::Message() << "skType " << c.skType << ", event type " << c.eventType);
        data().skType = c.skType;
        gMainForm->jobFiles().lSKAutoStoredCRC = 0;
        engine.answers[QXPgmrId::SealbookLoadValue111] = 0;
        bool jobRows = false;
        bool autoRows = false;
        ui().OnModal([&](QDialog* dialog) {
            auto* report = qobject_cast<frmSKReport*>(dialog);
            EXPECT_NE(report, nullptr);
            if (report) {
                jobRows = !report->mfgSKReport->findItems("Device Name", Qt::MatchExactly).isEmpty();
                autoRows = !report->mfgSKAutoReport->findItems("SK File Name", Qt::MatchExactly).isEmpty();
                if (autoRows) {
                    // The auto file's rows: its name, then the handler's
                    // settings in the report's order.
                    QStringList fields;
                    for (int row = 0; row < report->mfgSKAutoReport->rowCount(); ++row)
                        if (const QTableWidgetItem* item = report->mfgSKAutoReport->item(row, 0))
                            fields << item->text();
                    const qsizetype first = fields.indexOf("SK File Name");
                    EXPECT_EQ(fields.mid(first, 7),
                              (QStringList{"SK File Name", "Primary Source", "Alternate Source", "Primary Destination",
                                           "Alternate Destination", "Marker", "Package"}));
                }
            }
            dialog->accept();
            return int(QDialog::Accepted);
        });
        qint32 result = 7;
        raise.SealbookLoadingError(result, c.eventType);
        EXPECT_EQ(jobRows, c.jobRows);
        EXPECT_EQ(autoRows, c.autoRows);
    }
    engine.answers.remove(QXPgmrId::ShowErrorMessages);
    engine.answers.remove(QXPgmrId::SealbookLoadValue111);
}

TEST_F(BridgeTest, SealbookModeRequestsAnswerWhetherTheModeWasEntered)
{
    struct Case
    {
        bool operatorMode;
        bool askSupervisor;
        bool hasPassword;
        bool refused;
        bool operatorAfter;
    };
    for (const Case c : {Case{false, true, false, false, false}, Case{true, true, false, false, false},
                         Case{true, true, true, true, true}, Case{false, false, true, false, true},
                         Case{true, false, false, false, true}}) {
        SCOPED_TRACE(testing::Message() << "operator " << c.operatorMode << ", ask supervisor " << c.askSupervisor
                                        << ", password " << c.hasPassword);
        data().bStartInOperatorMode = c.operatorMode;
        engine.answers[QXPgmrId::HasSealbookPassword] = VbBool(c.hasPassword);
        engine.calls.clear();
        // The operator asked for the password cancels.
        if (c.operatorMode && c.askSupervisor && c.hasPassword)
            ui().OnModal([](QDialog* prompt) {
                prompt->reject();
                return prompt->result();
            });
        bool refused = !c.refused;
        raise.SealbookModeChanged(c.askSupervisor, refused);
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(data().bStartInOperatorMode, c.operatorAfter);
        // The engine hears of a mode change only.
        const bool changed = c.operatorMode != c.operatorAfter;
        EXPECT_EQ(engine.Calls({QXPgmrId::OperatorModeFlag}),
                  changed ? QStringList{QStringLiteral("OperatorModeFlag=%1").arg(c.operatorAfter ? -1 : 0)}
                          : QStringList());
    }
    engine.answers.remove(QXPgmrId::HasSealbookPassword);
    data().bStartInOperatorMode = false;
}

TEST_F(BridgeTest, InUseQuestionsAnswerWhetherAClientHoldsAnAutomationObject)
{
    const auto ask = [this] {
        bool control = true, programmer = true, monitor = true;
        raise.CJobCntrlInUse(control);
        raise.CQxPgmrInUse(programmer);
        raise.CJobMonitorInUse(monitor);
        return std::tuple{control, programmer, monitor};
    };
    EXPECT_EQ(ask(), std::tuple(false, false, false));
    CJobControlImpl::Instance().Attach();
    CQxProgrammerData::Instance().AttachProgrammer();
    CJobMonitorImpl::Instance().Attach();
    EXPECT_EQ(ask(), std::tuple(true, true, true));
    CJobControlImpl::Instance().Release();
    CQxProgrammerData::Instance().ReleaseProgrammer();
    CJobMonitorImpl::Instance().Release();
    EXPECT_EQ(ask(), std::tuple(false, false, false));

    // The handler's values reach the automation state.
    raiseHandler.SetThreadCommUtilPtr(0x5150);
    EXPECT_EQ(CQxProgrammerData::Instance().ThreadCommUtilPtr(), 0x5150);
    raiseHandler.SetDeviceAutomationArbiter(QVariant(QStringLiteral("arbiter")));
    EXPECT_EQ(CQxProgrammerData::Instance().DeviceAutomationArbiter(), QVariant(QStringLiteral("arbiter")));
    CQxProgrammerData::Instance().SetThreadCommUtilPtr(0);
    CQxProgrammerData::Instance().SetDeviceAutomationArbiter(QVariant());
}

TEST_F(BridgeTest, LaserMarkerLinesHaveOneEmptyEntryMoreThanTheHandlerHolds)
{
    QStringList lines{"old", "lines"};
    raise.GetLaserMarkerLines(lines);
    const qint32 count = gMainForm->QXH950AutoHandler.LaserMarkerLineCount();
    ASSERT_EQ(lines.size(), count + 1);
    EXPECT_EQ(lines.last(), "");
}

TEST_F(BridgeTest, OperationModeActionSelectsTheTabAndRefusesOneOutsideTheStrip)
{
    selectDevice();
    frmProgram& window = operationWindow();
    TabStrip* tabs = window.tabOperation;
    ASSERT_GE(tabs->Count(), 2);
    const int before = tabs->SelectedIndex();

    for (const qint32 tab : {0, qint32(tabs->Count() + 1)}) {
        EXPECT_EQ(gMainForm->OperationModeAction(tab), frmMain::kActionRefused);
        EXPECT_EQ(tabs->SelectedIndex(), before);
        EXPECT_TRUE(statusLines().contains(QStringLiteral("The operation of tab %1 cannot be run: the window has %2 "
                                                          "action tabs.")
                                               .arg(tab)
                                               .arg(tabs->Count())));
    }

    const int target = before == 2 ? 1 : 2;
    // Not under a running operation.
    window.mbActionClicked = true;
    EXPECT_EQ(gMainForm->OperationModeAction(target), frmMain::kActionRefused);
    EXPECT_EQ(tabs->SelectedIndex(), before);
    EXPECT_EQ(statusLines().filter(QStringLiteral("Running the operation of tab %1 was refused").arg(target)).size(),
              1);
    window.mbActionClicked = false;

    EXPECT_EQ(gMainForm->OperationModeAction(target), 0);
    EXPECT_EQ(tabs->SelectedIndex(), target);
    // Locked for the run, the strip follows the button states again once the
    // run has ended.
    EXPECT_FALSE(window.mbActionClicked);
    EXPECT_TRUE(tabs->isEnabled());
}

TEST_F(BridgeTest, OperationModeActionKeepsEachTabsOwnOptionRows)
{
    selectDevice();
    frmProgram& window = operationWindow();
    const auto rows = [&] {
        QStringList shown;
        for (int i = 0; i < window.Check1.size(); ++i)
            shown << QStringLiteral("%1/%2")
                         .arg(frmProgram::CheckValue(window.Check1[i]))
                         .arg(window.cboOperation[i]->currentIndex());
        return shown;
    };
    window.SelectTab(2);
    const QStringList secondTab = rows();
    window.SelectTab(1);
    // The operator changes the first tab's rows, then automation runs the
    // second tab: it shows its own rows, not the first tab's.
    for (QCheckBox* box : window.Check1) {
        if (box->isEnabled() && frmProgram::CheckValue(box) != 2)
            frmProgram::SetCheckValue(box, frmProgram::CheckValue(box) == 1 ? 0 : 1);
    }
    const QStringList firstTab = rows();
    ASSERT_NE(firstTab, secondTab);

    gMainForm->OperationModeAction(2);
    EXPECT_EQ(rows(), secondTab);
    window.SelectTab(1);
    EXPECT_EQ(rows(), firstTab);
}

TEST_F(BridgeTest, EnableMenuGreysTheMenuTitlesAndKeepsOperatorModeAfterwards)
{
    data().bStartInOperatorMode = true;
    gMainForm->EnableMenu(false);
    for (QAction* title : gMainForm->menuBar()->actions())
        EXPECT_FALSE(title->isEnabled()) << title->text().toStdString();
    EXPECT_FALSE(gMainForm->txtNumCopies->isEnabled());

    gMainForm->SaveDataPatternAs->setEnabled(true);
    gMainForm->EnableMenu(true);
    for (QAction* title : gMainForm->menuBar()->actions())
        EXPECT_TRUE(title->isEnabled()) << title->text().toStdString();
    EXPECT_TRUE(gMainForm->txtNumCopies->isEnabled());
    // Operator mode's table applied again.
    EXPECT_FALSE(gMainForm->SaveDataPatternAs->isEnabled());
    EXPECT_FALSE(gMainForm->EditDataPattern->isEnabled());
    data().bStartInOperatorMode = false;
}

TEST_F(BridgeTest, CloseFromOutsideDuringARunWaitsForItsEnd)
{
    frmProgram& window = operationWindow();
    window.mbActionClicked = true;
    OnTerminationRequest(); // what SIGTERM and SIGINT run
    pump(120);
    EXPECT_TRUE(gMainForm->isVisible());
    EXPECT_TRUE(ui().Shown().isEmpty());

    window.mbActionClicked = false;
    pump(200);
    EXPECT_FALSE(gMainForm->isVisible());
}

TEST(GetMonthTest, FirstMonthAbbreviationInCalendarOrder)
{
    struct Case
    {
        const char* text;
        const char* month;
    };
    for (const Case c : {Case{"12-Mar-2024", "3"}, Case{"jan 5", "1"}, Case{"FEB or JAN", "1"}, Case{"DEC", "12"},
                         Case{"Sept", "9"}, Case{"2024-03-12", ""}, Case{"", ""}}) {
        EXPECT_EQ(frmMain::GetMonth(c.text), c.month) << c.text;
    }
}

TEST_F(BridgeTest, SafeDoEventsDoesNotNest)
{
    // Two posted calls: the first pumps again while the second waits.
    int outer = 0, inner = 0;
    QMetaObject::invokeMethod(
        gMainForm,
        [&] {
            ++outer;
            gMainForm->SafeDoEvents();
            EXPECT_EQ(inner, 0) << "a nested pump ran the waiting call";
        },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        gMainForm, [&] { ++inner; }, Qt::QueuedConnection);
    gMainForm->SafeDoEvents();
    gMainForm->SafeDoEvents();
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 1);
}

} // namespace
