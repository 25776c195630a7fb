// The main window's handlers of the engine's and the manual handler's
// events. Each event reaches its handler through its control's event table,
// so a handler is written once, typed, under the name the control's events
// are known by. Most are relays to the operation window; the request handlers
// hand their answers back through their by-reference arguments.

#include "mainwindow/frmMain.h"

#include "device/frmDeviceConfigure.h"

#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitorImpl.h"
#include "automation/CQxProgrammerData.h"
#include "engine/SiteBoxControl.h"
#include "operation/OperationRun.h"
#include "operation/TabStrip.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "shell/ShellUtilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
using enginecall::Try;

// How often the main window looks whether a run it waits for has ended.
constexpr int kAfterRunPollMs = 50;

// A number rounded as VB rounds to a Long (halves to even), held to the
// Long's range rather than overflowing.
qint32 RoundToLong(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (rounded <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(rounded);
}

bool AutomaticHandler(qint32 handlerType)
{
    return handlerType != 0;
}

// A line for the operator's status list and the black-box log, written to the
// log once: a status line goes there by itself, and a line the status list
// does not take (its updates are off) still goes to the log.
void StatusLineOrLog(frmProgram& window, const QString& text)
{
    if (window.bEnableStatusTextUpdate)
        window.AddStatusTextLine(text);
    else
        WriteLogInfo(text, true);
}
} // namespace

void frmMain::Fire(const QString& eventName, QVariantList& args)
{
    // The handlers act on the operation window and its job configuration:
    // an event before the window exists is logged and dropped.
    if (!frmP) {
        WriteLogInfo(QStringLiteral("Event ") + eventName
                         + QStringLiteral(" arrived before the operation window; ignored."),
                     true);
        return;
    }
    // The engine and the manual handler raise their events here (the buffer
    // viewer too, whose events have no handler); no name is in both tables.
    if (!QXPgmrEvents::Dispatch(*this, eventName, args))
        ManualHdlEvents::Dispatch(*this, eventName, args);
}

// --- public members the handlers and the automation layer use ---

void frmMain::SafeDoEvents()
{
    if (m_bInSafeDoEvents)
        return;
    m_bInSafeDoEvents = true;
    QCoreApplication::processEvents();
    m_bInSafeDoEvents = false;
}

void frmMain::OperationStatusText(const QString& text)
{
    // A status line reaches the black-box log by itself; without one the
    // text is still logged (once).
    if (frmP && bEnableEvent && bStatusMessagesEnabled && frmP->bEnableStatusTextUpdate)
        frmP->AddStatusTextLine(text);
    else
        WriteLogInfo(text, true);
}

QString frmMain::GetMonth(const QString& text)
{
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const QString upper = text.toUpper();
    for (int i = 0; i < 12; ++i) {
        if (upper.contains(QLatin1String(kMonths[i])))
            return QString::number(i + 1);
    }
    // No month: nothing, rather than a December nobody wrote.
    return QString();
}

qint32 frmMain::OperationModeAction(qint32 tab)
{
    if (!frmP)
        return kActionRefused;
    TabStrip* strip = frmP->tabOperation;
    if (tab < 1 || tab > strip->Count()) {
        frmP->AddStatusTextLine(QStringLiteral("The operation of tab %1 cannot be run: the window has %2 action tabs.")
                                    .arg(tab)
                                    .arg(strip->Count()));
        return kActionRefused;
    }
    // Another tab chosen under a running operation would change its rows.
    if (RefuseDuringRun(QStringLiteral("Running the operation of tab %1").arg(tab)))
        return kActionRefused;
    strip->setEnabled(true);
    // As an operator's click: the tab being left keeps its rows, then the
    // chosen tab shows its own.
    qint16 cancel = 1;
    frmP->tabOperation_BeforeClick(cancel);
    strip->Select(tab);
    frmP->tabOperation_Click();
    strip->update();
    strip->setEnabled(false);
    frmP->ExecuteOperation();
    return 0;
}

bool frmMain::RunInProgress() const
{
    return m_station.RunInProgress();
}

bool frmMain::RefuseDuringRun(const QString& what)
{
    if (!RunInProgress())
        return false;
    StatusLineOrLog(*frmP,
                    what + QStringLiteral(" was refused: an operation is running. Try again once it has ended."));
    return true;
}

// --- work held back while a run goes on ---

void frmMain::HoldBackUntilRunEnds(HeldBack what)
{
    if (!m_heldBack.contains(what))
        m_heldBack.append(what);
    WatchForRunEnd();
}

void frmMain::WatchForRunEnd()
{
    if (!m_afterRunTimer.isActive()) {
        m_afterRunTimer.setInterval(kAfterRunPollMs);
        m_afterRunTimer.callOnTimeout(this, &frmMain::CarryOutHeldBackWork, Qt::UniqueConnection);
        m_afterRunTimer.start();
    }
}

void frmMain::CarryOutHeldBackWork()
{
    if (RunInProgress())
        return;
    m_afterRunTimer.stop();
    if (!frmP) {
        m_heldBack.clear();
        return;
    }
    // The guards are cleared first: a reload may itself raise these events,
    // which then run at once.
    const QList<HeldBack> work = std::exchange(m_heldBack, {});
    for (const HeldBack what : work) {
        switch (what) {
        case HeldBack::ReloadForm: ReloadOperationWindow(m_heldBackDeviceName); break;
        case HeldBack::DeviceSelected: SelectedDeviceChanged(); break;
        case HeldBack::DeviceConfigurationChanged: DeviceConfigurationChanged(); break;
        }
    }
    if (std::exchange(m_closeWhenRunEnds, false))
        close();
}

// --- the engine's events ---

void frmMain::QXProgrammer_StatusTextReported(const QString& text)
{
    OperationStatusText(text);
}

void frmMain::QXProgrammer_SysInfoMessage(const QString& text)
{
    if (!bEnableEvent || !frmP) {
        WriteLogInfo(text, true);
        return;
    }
    bool silent = false;
    Try([&] { silent = QXProgrammer.SilentMode(); });
    if (!silent && bErrorMessagesEnabled) {
        WriteLogInfo(text, true);
        Ui().MsgBox(text, vb::vbCritical, QStringLiteral("SysInfo"));
    } else {
        StatusLineOrLog(*frmP, text);
    }
}

void frmMain::QXProgrammer_WarningMessage(const QString& text)
{
    WriteLogInfo(text, true);
    if (!bEnableEvent)
        return;
    bool silent = false;
    Try([&] { silent = QXProgrammer.SilentMode(); });
    if (!silent && bWarningMessagesEnabled)
        Ui().MsgBox(text, vb::vbExclamation, QStringLiteral("Warning"));
}

void frmMain::QXProgrammer_SiteInfo(qint32 site, qint32 info)
{
    if (!bEnableEvent || !frmP)
        return;
    qint32 siteCount = 0;
    Try([&] { siteCount = QXProgrammer.SiteCount(); });
    if (site > siteCount || site < 0) {
        Ui().MsgBox(QStringLiteral("Wrong site info! Site: ") + QString::number(site), vb::vbCritical,
                    QStringLiteral("SiteBox"));
        return;
    }
    // Site 0 is the engine's current site, shown in the first box. A site
    // the engine counts but the window has no box for is left alone.
    const size_t index = size_t(std::max(site - 1, 0));
    if (index >= frmP->SiteBox.size() || !frmP->SiteBox[index])
        return;
    Try([&] { frmP->SiteBox[index]->ShowSiteInfo(info); });
}

void frmMain::QXProgrammer_ReloadForm(const QString& deviceName)
{
    if (!frmP)
        return;
    if (RunInProgress()) {
        m_heldBackDeviceName = deviceName;
        HoldBackUntilRunEnds(HeldBack::ReloadForm);
        return;
    }
    ReloadOperationWindow(deviceName);
}

void frmMain::ReloadOperationWindow(const QString& deviceName)
{
    frmP->Form_Reload(true, deviceName);
    frmP->SetDisplayInfo();
}

void frmMain::QXProgrammer_UpdateJobSetting14(const QString& text)
{
    pgmrData().strFilePath = text;
}
void frmMain::QXProgrammer_UpdateJobSetting15(const QString& text)
{
    pgmrData().strFileName = text;
}
void frmMain::QXProgrammer_UpdateJobSetting17(qint32 value)
{
    pgmrData().lngBufLoadAddr = value;
}
void frmMain::QXProgrammer_UpdateJobSetting18(qint32 value)
{
    pgmrData().lngLowAddrLoad = value;
}
void frmMain::QXProgrammer_UpdateJobSetting19(qint32 value)
{
    pgmrData().lngHighAddrLoad = value;
}
void frmMain::QXProgrammer_UpdateJobSetting20(bool flag)
{
    pgmrData().bClearBeforeRead = flag;
}

void frmMain::QXProgrammer_JobSavingError(const QString& text)
{
    m_jobFiles->JobSavingError(text);
}

void frmMain::QXProgrammer_WordRange22(qint32 low)
{
    qint32 low0 = 0, high0 = 0;
    GetEngineRangeValues(low0, high0);
    SetEngineRangeValues(low, high0);
}

void frmMain::QXProgrammer_WordRange23(qint32 high)
{
    qint32 low0 = 0, high0 = 0;
    GetEngineRangeValues(low0, high0);
    SetEngineRangeValues(low0, high);
}

void frmMain::QXProgrammer_RequestJobSettingText24(QString& text)
{
    const QString& name = pgmrData().strFileName;
    text = name.isEmpty() ? QStringLiteral("<Unknown>") : name;
}

void frmMain::QXProgrammer_JobSetting25(QString& text)
{
    text = pgmrData().strFilePath;
}
void frmMain::QXProgrammer_RequestJobSetting26(qint32& value)
{
    value = pgmrData().lngLowAddrLoad;
}
void frmMain::QXProgrammer_RequestJobSetting27(qint32& value)
{
    value = pgmrData().lngHighAddrLoad;
}
void frmMain::QXProgrammer_RequestJobSetting28(qint32& value)
{
    value = pgmrData().lngBufLoadAddr;
}

void frmMain::QXProgrammer_RequestHandlerValue15(bool& flag)
{
    Try([&] { flag = QXH950AutoHandler.HandlerValue15(); });
}

void frmMain::QXProgrammer_DeviceSelected()
{
    if (!frmP)
        return;
    if (RunInProgress()) {
        HoldBackUntilRunEnds(HeldBack::DeviceSelected);
        return;
    }
    SelectedDeviceChanged();
}

void frmMain::SelectedDeviceChanged()
{
    pgmrData().blnDeviceSelected = true;
    frmP->SetSelectedDevice();
    frmP->DisableCheckboxesAsNecessary();
}

void frmMain::QXProgrammer_UpdateCaption31(const QString& text1, const QString& text2)
{
    Q_UNUSED(text1);
    Q_UNUSED(text2);
    if (bInitialized && frmP)
        frmP->UpdateFormCaption(false);
}

void frmMain::QXProgrammer_RequestQuantity(qint32& value)
{
    value = RoundToLong(OperationRun::LeadingNumber(m_station.QuantityText()));
}

void frmMain::QXProgrammer_UpdateJobSetting33(bool flag)
{
    pgmrData().udtRadix = flag ? 1 : 0;
}

void frmMain::QXProgrammer_DataFileLoaded()
{
    if (!frmP)
        return;
    // Each step goes on after a failing one.
    ProgrammerClass& data = pgmrData();
    data.blnBufferEmpty = false;
    const QString fullName =
        data.strFilePath.isEmpty() ? data.strFileName : QDir(data.strFilePath).filePath(data.strFileName);
    Try([&] { data.dtmFileDate = QXProgrammer.GetFileDate(fullName, false); });
    data.blnFileLoaded = true;
    Try([&] { frmP->BufferType(data.strFileName, data.dtmFileDate, 1); });
    Try([&] { frmP->SetDisplayInfo(); });
}

void frmMain::QXProgrammer_EnableStatusMessages(bool flag)
{
    bStatusMessagesEnabled = flag;
}

void frmMain::QXProgrammer_OperationOptionsChanged()
{
    if (!frmP)
        return;
    frmP->SetOperationOptions();
    frmP->SaveCheckBoxValues();
}

void frmMain::QXProgrammer_DeviceConfigurationChanged()
{
    if (!frmP)
        return;
    if (RunInProgress()) {
        HoldBackUntilRunEnds(HeldBack::DeviceConfigurationChanged);
        return;
    }
    DeviceConfigurationChanged();
}

void frmMain::DeviceConfigurationChanged()
{
    // The operation window is rebuilt for the new configuration while the
    // engine's buffer settings stay as they were.
    qint32 low = 0, high = 0;
    GetEngineRangeValues(low, high);
    qint32 offset = 0;
    const bool offsetKept = Try([&] { offset = QXProgrammer.BufferOffset(); });
    const bool statusLines = frmP->bEnableStatusTextUpdate;
    qint32 fillByte = 0;
    const bool fillKept = Try([&] { fillByte = QXProgrammer.DefaultBufferByte(); });

    frmP->bEnableStatusTextUpdate = false;
    Try([&] { frmP->Form_Reload(true, pgmrData().strDeviceName); });
    SetEngineRangeValues(low, high);
    // A value that could not be read is not written back as 0.
    if (offsetKept)
        Try([&] { QXProgrammer.BufferOffset(offset); });
    // The Device menu's sets-and-banks item follows the new device.
    Try([&] { DeviceConfigureDlg().SetDeviceSetOptions(); });
    Try([&] { frmP->SetDisplayInfo(); });
    frmP->bEnableStatusTextUpdate = statusLines;
    if (fillKept)
        Try([&] { QXProgrammer.DefaultBufferByte(fillByte); });
}

void frmMain::QXProgrammer_JobLoadFailed(bool flag)
{
    // False: the job is as it was (refused at once, or put back). The line
    // is for a file the engine refused: a setup the station or the operator
    // refused was told of already.
    m_jobFiles->JobLoadFailed(flag);
    if (flag)
        ClearBuffer();
    else if (frmP && !m_jobFiles->SetupRefused())
        frmP->AddStatusTextLine(
            QStringLiteral("Failed to load the job. It is not a job file or the file is corrupted."));
}

void frmMain::QXProgrammer_SealbookModeChanged(bool supervisor, bool& refused)
{
    // Before start-up has ended nobody can be asked for the password: the
    // engine does not open a locked job's supervisor mode then.
    bool hasPassword = false;
    Try([&] { hasPassword = QXProgrammer.HasSealbookPassword(); });
    if (supervisor && hasPassword && !bInitialized && pgmrData().bStartInOperatorMode) {
        refused = true;
        return;
    }
    // bStartInOperatorMode equal to the argument: the window is in the other
    // mode than the one asked for.
    if (pgmrData().bStartInOperatorMode == supervisor)
        SetSKMode(!supervisor);
    refused = pgmrData().bStartInOperatorMode == supervisor;
}

void frmMain::QXProgrammer_RequestValue40(qint32& value)
{
    value = 0;
}

void frmMain::QXProgrammer_SealbookExport()
{
    if (frmP)
        frmP->SKExport();
}

void frmMain::QXProgrammer_SealbookImport()
{
    if (!frmP)
        return;
    // A job load keeps the operations disabled, which holds back the window's
    // rebuild for the device the job selected; the settings belong to that
    // device's tabs, so they are built first.
    if (m_heldBack.removeAll(HeldBack::DeviceSelected) > 0)
        SelectedDeviceChanged();
    frmP->SKImport();
}

void frmMain::QXProgrammer_DeviceConfigureOptionsChanged()
{
    if (frmP)
        frmP->SetDeviceConfigureOptions();
}

void frmMain::QXProgrammer_BufferCleared()
{
    ClearBuffer();
}

void frmMain::QXProgrammer_RequestSealbookNote()
{
    const ProgrammerClass& data = pgmrData();
    if (data.skType == 1)
        Try([&] { QXProgrammer.SealbookNoteText(data.strJobNote); });
    else if (data.skType == 2)
        Try([&] { QXProgrammer.SealbookNoteText(data.strSKAutoNote); });
}

void frmMain::QXProgrammer_JobSetting46(const QString& note, qint32 type)
{
    if (type == 1)
        pgmrData().strJobNote = note;
    else if (type == 2)
        pgmrData().strSKAutoNote = note;
}

void frmMain::QXProgrammer_SealbookLoadingError(qint32& result, qint32 type)
{
    m_jobFiles->SealbookLoadingError(result, type);
}

void frmMain::QXProgrammer_RequestAutoSaveSealbookDir(QString& dir)
{
    dir = GetSettingValue(appinfo::App(), QStringLiteral("Application"), QStringLiteral("AutoSaveSK_Dir"), QString())
              .toString();
    // Auto-saving switched on with no folder (as an earlier Configure left
    // it): the folder Configure proposes, not a save that fails every job.
    if (dir.isEmpty())
        dir = ProgrammerClass::UsersOwnFolder();
}

void frmMain::QXProgrammer_OperationOptionStateChanged(const QString& operationName, const QString& optionName,
                                                       qint32 n)
{
    if (frmP)
        frmP->SetOperationOptionState(operationName, optionName, qint16(n));
}

void frmMain::QXProgrammer_RequestHandlerValue3(qint32& value)
{
    if (AutomaticHandler(pgmrData().udtHandlerType))
        Try([&] { value = QXH950AutoHandler.HandlerValue3(); });
    else if (frmP)
        value = frmP->lngNumPassed;
}

void frmMain::QXProgrammer_RequestHandlerValue4(qint32& value)
{
    if (AutomaticHandler(pgmrData().udtHandlerType))
        Try([&] { value = QXH950AutoHandler.HandlerValue4(); });
    else if (frmP)
        value = frmP->lngNumFailed;
}

void frmMain::QXProgrammer_RequestHandlerValue2(qint32& value)
{
    if (AutomaticHandler(pgmrData().udtHandlerType)) {
        Try([&] { value = QXH950AutoHandler.HandlerValue2(); });
        return;
    }
    if (!frmP)
        return;
    // The site boxes that read state 2.
    qint32 count = 0;
    for (const auto& box : frmP->SiteBox) {
        qint32 state = -1;
        if (box)
            Try([&] { state = box->SiteState(); });
        if (state == 2)
            ++count;
    }
    value = count;
}

void frmMain::QXProgrammer_RequestHandlerValue1(qint32& value)
{
    if (AutomaticHandler(pgmrData().udtHandlerType))
        Try([&] { value = QXH950AutoHandler.HandlerValue1(); });
    else if (frmP)
        value = frmP->lngNumLeft;
}

void frmMain::QXProgrammer_RequestHandlerQuantity(qint32& value)
{
    if (AutomaticHandler(pgmrData().udtHandlerType))
        Try([&] { value = QXH950AutoHandler.Quantity(); });
    else
        value = lngNumCopies;
}

void frmMain::QXProgrammer_UpdateJobSetting55(qint32 value)
{
    pgmrData().lngBankSingle = value;
}
void frmMain::QXProgrammer_UpdateJobSetting56(qint32 value)
{
    pgmrData().lngPosSingle = value;
}

void frmMain::QXProgrammer_ResetButtons(bool inAction)
{
    if (!frmP)
        return;
    if (inAction) {
        frmP->ResetAbortTrackers();
        pgmrData().blnInAction = true;
    } else {
        pgmrData().blnInAction = false;
    }
    frmP->SetButtonStates();
}

void frmMain::QXProgrammer_UpdateCaption58()
{
    pgmrData().strJobName.clear();
    if (frmP)
        frmP->UpdateFormCaption(false);
}

void frmMain::QXProgrammer_LogMessage(const QString& text)
{
    WriteLogInfo(text, true);
}

void frmMain::QXProgrammer_JobSettingText60(QString& text)
{
    text = pgmrData().strJobName;
}

void frmMain::QXProgrammer_LoadJobFileRequest(const QString& file)
{
    if (RefuseDuringRun(QStringLiteral("Loading the job ") + file))
        return;
    qint32 result = 0;
    LoadQxFile(file, QString(), result);
}

void frmMain::QXProgrammer_ExecuteOperationRequest()
{
    if (frmP)
        frmP->ExecuteOperation();
}

void frmMain::QXProgrammer_SetQuantity(qint32 value)
{
    m_station.SetQuantityText(QString::number(value));
}

void frmMain::QXProgrammer_PgmrWarningMessagesEnabled(bool& flag)
{
    flag = bWarningMessagesEnabled;
}

void frmMain::QXProgrammer_RefreshGuiSecure()
{
    if (frmP)
        frmP->RefreshGuiSecure();
}

void frmMain::QXProgrammer_GetLaserMarkerLines(QStringList& lines)
{
    qint32 count = 0;
    Try([&] { count = QXH950AutoHandler.LaserMarkerLineCount(); });
    count = std::max(count, 0);
    // One entry more than lines: the last stays empty.
    lines = QStringList(count + 1);
    for (qint32 i = 0; i < count; ++i) {
        qint32 index = i;
        Try([&] { lines[i] = QXH950AutoHandler.LaserMarkerLineAt(index); });
    }
}

void frmMain::QXProgrammer_OperationProgress(qint32 code, qint32 value)
{
    if (bEnableEvent && frmP)
        frmP->SetOperationProgress(code, value);
}

void frmMain::QXProgrammer_OperationComplete(qint32 code)
{
    if (bEnableEvent && frmP)
        frmP->SetOperationComplete(code);
}

void frmMain::QXProgrammer_SetupOperationRequest(qint32& command, bool& isSpecial, bool& outOfRange)
{
    if (!frmP)
        return;
    // The answers are the window's own: what the engine passed in means
    // nothing, and a failing engine call leaves "no special command".
    isSpecial = false;
    outOfRange = false;
    Try([&] { frmP->SetupOperation(); });
    command = frmP->GetPgmrCommandToRun();
    Try([&] { frmP->SetupSpecialCmd(command, isSpecial, outOfRange); });
}

void frmMain::QXProgrammer_BufferContentChanged(const QVariant& value)
{
    Q_UNUSED(value);
    if (!frmP)
        return;
    const int tab = frmP->tabOperation->SelectedIndex();
    if (frmP->tabOperation->Key(tab).toUpper() != QLatin1String("REA&D"))
        return;
    ProgrammerClass& data = pgmrData();
    const QDateTime now = QDateTime::currentDateTime();
    frmP->BufferType(QStringLiteral("<Device Content>"), now, 2);
    data.strFileName.clear();
    data.blnBufferEmpty = false;
    Try([&] { data.lngFileSize = QXProgrammer.BufferSize(); });
    data.dtmFileDate = now;
    frmP->SetDisplayInfo();
}

void frmMain::QXProgrammer_CJobCntrlInUse(bool& flag)
{
    flag = CJobControlImpl::Instance().JobCntrlInstantiated();
}
void frmMain::QXProgrammer_CQxPgmrInUse(bool& flag)
{
    flag = CQxProgrammerData::Instance().QxProgrammerInstantiated();
}

void frmMain::QXProgrammer_SiteStatusFromEngine(qint32 status, qint32 code)
{
    // Site 0: the engine's master site.
    ConcurrentManualHandler_SiteStatusChanged(0, status, code);
}

void frmMain::QXProgrammer_CJobMonitorInUse(bool& flag)
{
    flag = CJobMonitorImpl::Instance().JobMonitorInstantiated();
}

void frmMain::QXProgrammer_UpdateJobSetting76(bool flag)
{
    pgmrData().blnAutoLowAddr = flag;
}

void frmMain::QXProgrammer_RequestDecoratedTabName(const QString& name, QString& decorated)
{
    if (frmP)
        frmP->DecoratedTabName(name, decorated);
}

// --- the manual handler's events ---

void frmMain::ConcurrentManualHandler_SessionOperationBegan()
{
    if (bEnableEvent && frmP)
        frmP->ConcurrentOperationBegan();
}

void frmMain::ConcurrentManualHandler_SiteStatusChanged(qint32 site, qint32 status, qint32 code)
{
    if (bEnableEvent && frmP)
        frmP->SetSiteStatus(site, status, code);
}

void frmMain::ConcurrentManualHandler_RunStatisticsChanged(qint32 passed, qint32 failed, qint32 active,
                                                           qint32 remaining, qint32 value5, qint32 value6)
{
    // The handler's last two values are not shown.
    Q_UNUSED(value5);
    Q_UNUSED(value6);
    if (frmP)
        frmP->UpdateJobRunStatistics(passed, failed, active, remaining);
}

void frmMain::ConcurrentManualHandler_IsSessionAborted(bool& flag)
{
    if (frmP)
        flag = frmP->blnStopClicked;
}

void frmMain::ConcurrentManualHandler_RepeatCommandRequest(qint32 site, qint32& result)
{
    if (bEnableEvent && frmP)
        result = frmP->RepeatCommandOnSite(site);
}

void frmMain::ConcurrentManualHandler_SetThreadCommUtilPtr(qint32 pointer)
{
    CQxProgrammerData::Instance().SetThreadCommUtilPtr(pointer);
}

void frmMain::ConcurrentManualHandler_SetDeviceAutomationArbiter(const QVariant& arbiter)
{
    CQxProgrammerData::Instance().SetDeviceAutomationArbiter(arbiter);
}

void frmMain::ConcurrentManualHandler_AbortSession()
{
    if (frmP)
        frmP->btnStop_Click();
}

void frmMain::ConcurrentManualHandler_MasterSiteRequest()
{
    if (!frmP)
        return;
    qint32 master = 0;
    if (!Try([&] { master = QXProgrammer.MasterSite(); }))
        return;
    // The master site is 1-based; a site without a box is left alone.
    const qint64 index = qint64(master) - 1;
    if (index < 0 || index >= qint64(frmP->SiteBox.size()) || !frmP->SiteBox[size_t(index)])
        return;
    Try([&] { frmP->SiteBox[size_t(index)]->ShowPassed(); });
}
