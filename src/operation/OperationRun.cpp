#include "OperationRun.h"

#include "ActionTabs.h"
#include "RunCounters.h"
#include "RunResults.h"
#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitorImpl.h"
#include "automation/CQxProgrammerData.h"
#include "engine/EngineCodes.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/Station.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValueConversion.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

using enginecall::Ask;
using enginecall::Try;

constexpr qint32 kLargestLong = std::numeric_limits<qint32>::max();
// A quantity below 1 runs until Cancel, Stop or a final result.
constexpr qint32 kUnboundedQuantity = 65535;

// Actions by number.
using ActionTabs::kBlankCheck;
using ActionTabs::kErase;
using ActionTabs::kFirstCustomAction;
using ActionTabs::kNoAction;
using ActionTabs::kProgram;
using ActionTabs::kRead;
using ActionTabs::kSecure;
using ActionTabs::kTest;
using ActionTabs::kVerify;

// Engine command codes of ExecuteDeviceCommand.
namespace Command {
constexpr qint32 ProgramWithoutProgramRow = 0;
constexpr qint32 BlankCheck = 1;
constexpr qint32 VerifyByCompare = 2;
constexpr qint32 Erase = 3;
constexpr qint32 Program = 4;
constexpr qint32 Read = 5;
constexpr qint32 Secure = 6;
constexpr qint32 VerifyBySum = 7;
constexpr qint32 Test = 8;
constexpr qint32 Verify = 9;
constexpr qint32 CustomAction = 14;
constexpr qint32 VerifyEncrypted = 15;
} // namespace Command

bool In(std::initializer_list<qint32> values, qint32 v)
{
    return std::find(values.begin(), values.end(), v) != values.end();
}

QString Str(qint32 n)
{
    // VB's Str: a leading blank stands for the sign of a non-negative number.
    return n >= 0 ? QStringLiteral(" ") + QString::number(n) : QString::number(n);
}

// Steps of an operation by the low byte of its code.
struct StepCount
{
    std::initializer_list<qint32> lows;
    qint32 steps;
};
const StepCount kStepCounts[] = {
    {{0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 14, 23, 24, 26, 32, 33, 34, 35, 38, 39, 46}, 1},
    {{6, 7, 8, 9, 15, 16, 17, 19, 25, 31, 36, 37, 41, 43}, 2},
    {{18, 20, 21, 42, 44}, 3},
    {{22}, 4},
};

// The 0-based step a progress code stands for, by the low byte of the
// row's operation.
qint32 StepOfCode(qint32 low, qint32 code)
{
    switch (low) {
    case 6:
    case 7:
    case 8:
    case 9:
    case 36:
    case 37: return code == 1 ? 0 : 1;
    case 15:
    case 16: return code == 8 ? 0 : 1;
    case 17:
    case 19: return In({6, 7, 8}, code) ? 0 : 1;
    case 18:
    case 20: return code == 12 ? 1 : code == 11 ? 2 : 0;
    case 21: return In({6, 8}, code) ? 0 : code == 7 ? 1 : 2;
    case 22: return code == 7 ? 1 : code == 12 ? 2 : code == 11 ? 3 : 0;
    case 25: return code == 11 ? 1 : 0;
    case 31: return code == 9 ? 1 : 0;
    case 41: return code == 9 ? 0 : 1;
    case 42: return code == 9 ? 0 : code == 12 ? 1 : 2;
    case 43: return code == 4 ? 0 : 1;
    case 44: return code == 12 ? 0 : code == 11 ? 1 : 2;
    default: return 0;
    }
}

} // namespace

OperationRun::OperationRun(Station& station, Host& host, RunCounters& counters)
    : m_station(station),
      m_host(host),
      m_counters(counters)
{
    m_station.SetRun(this);
}

OperationRun::~OperationRun()
{
    m_station.LeaveRun(this);
}

double OperationRun::LeadingNumber(const QString& text)
{
    // Blanks, a sign, digits and one decimal point; anything after ends it.
    const QString t = text.trimmed();
    int end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('+') || t[end] == QLatin1Char('-')))
        ++end;
    bool point = false;
    while (end < t.size() && (t[end].isDigit() || (t[end] == QLatin1Char('.') && !point))) {
        point = point || t[end] == QLatin1Char('.');
        ++end;
    }
    bool ok = false;
    const double value = t.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

qint32 OperationRun::HandlerType()
{
    return m_station.pgmrData().udtHandlerType;
}

// --- Action and the run ---

void OperationRun::ActionClicked()
{
    if (LeadingNumber(m_station.QuantityText()) <= 0)
        m_station.SetQuantityText(QStringLiteral("1"));
    m_host.LogLine(QStringLiteral("Tarvo Main:  Manual Handler Quantity = ") + m_station.QuantityText());

    QXPgmrControl& engine = m_station.QXProgrammer;
    if (Ask([&] { return engine.TestOnlyStation(); }, false) || HandlerType() == 0) {
        ExecuteOperation();
        return;
    }
    // The automatic handler's session drives the window from here.
    try {
        m_station.QXH950AutoHandler.StartSession(m_station.NumCopies());
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
    }
}

qint32 OperationRun::ExecuteOperation()
{
    const qint32 result = ExecuteOperationCore();
    // An ignored request is not a job of its own: the running job completes.
    if (result != RunResult::Busy && HandlerType() == 0) {
        CJobControlImpl::Instance().RaiseNotifyJobComplete(result);
        CJobMonitorImpl::Instance().RaiseNotifyJobComplete(result);
    }
    return result;
}

bool OperationRun::SetModeRefused()
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    return engine.IsConcurrentProgrammer() && engine.SetMode() == 1
        && (engine.SetWidth() > 1 || engine.BankCount() > 1);
}

qint32 OperationRun::ExecuteOperationCore()
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    ProgrammerClass& data = m_station.pgmrData();

    qint32 result = RunResult::Success;
    try {
        engine.BeginOperation();
    } catch (const AutomationError& error) {
        if (!data.blnInAction && !mbActionClicked) {
            ReportCallFailure(error);
            return RunResult::CallFailed;
        }
    }
    if (data.blnInAction || mbActionClicked)
        return RunResult::Busy;
    mbActionClicked = true;
    m_runReportFinished = false;

    try {
        if (SetModeRefused()) {
            m_host.Prompt(QStringLiteral("SET mode is not supported on concurrent programmers!"), vb::vbCritical,
                          QStringLiteral("SET Mode Error"));
            mbActionClicked = false;
            return RunResult::SetModeRefused;
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
        mbActionClicked = false;
        return RunResult::CallFailed;
    }

    const qint32 handlerType = HandlerType();
    const bool automaticHandler = handlerType == 1 || handlerType == 2;
    bool choicesSaved = false;
    try {
        if (automaticHandler)
            data.bNoviceMode = false;
        engine.RunOption60(data.bNoviceMode);
        if (automaticHandler)
            m_station.QXH950AutoHandler.EnableHandlerGui(false);
        engine.PrepareRun();
        m_host.SaveCheckBoxValues();
        choicesSaved = true;
        m_host.EnableMenu(false);
        m_host.LockOptionSettings(true);
        Start_PowerSupplyLogFile();
        bSpecialConcurrent = false;
        bool done = false;

        if (!data.blnDeviceSelected) {
            m_host.Prompt(QStringLiteral("Please make a device selection before attempting to program one. To make a "
                                         "device selection click on the DEVICE button at the upper left of the main "
                                         "window."),
                          vb::vbExclamation, QStringLiteral("DEVICE SELECTION"));
            result = RunResult::NoDeviceSelected;
        } else {
            ResetAbortTrackers();
            m_host.AskJobID();
            // Stopped while the job ID was asked (a client's Abort ends the
            // prompt): the job runs nothing and ends as stopped.
            done = blnStopClicked;
            const qint32 action = m_host.CurrentAction();
            const OptionRow programRow = m_host.Row(2);
            if (!done && action == kProgram && programRow.hasSelection && programRow.code != OperationCode::Program) {
                // A program variant: concurrent when the engine runs it so.
                const bool repeatable = ActionIsRepeatable(action);
                const bool concurrent = engine.IsConcurrentProgrammer();
                const bool runsConcurrently = engine.OperationRunsConcurrently(programRow.text);
                if (concurrent && repeatable && runsConcurrently && (m_station.NumCopies() != 1 || handlerType != 0)
                    && programRow.visible) {
                    bSpecialConcurrent = true;
                } else {
                    result = RunOperationLoop();
                    done = true;
                }
            }
            if (!done && action >= kFirstCustomAction && action < m_host.ActionCount()
                && !SendCustomActionSelections(action)) {
                done = true;
                result = RunResult::CustomActionFailed;
            }
            if (!done) {
                // A client's job is its session; an object a client only
                // holds changes no run.
                const bool client = CQxProgrammerData::Instance().ClientJobRunning();
                const bool repeatable = ActionIsRepeatable(action);
                const bool concurrent = engine.IsConcurrentProgrammer();
                const qint32 copies = m_station.NumCopies();
                if (client || (concurrent && repeatable && ((copies != 1 && !client) || handlerType != 0)))
                    result = RunManualHandlerSession();
                else
                    result = RunDeviceLoop();
            }
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
        result = RunResult::CallFailed;
        // The restore rebuilds the rows from the store: what the operator
        // chose goes there first.
        if (!choicesSaved)
            m_host.SaveCheckBoxValues();
    }

    if (blnStopClicked)
        FinishStoppedRunReport();
    RestoreAfterRun();
    // A call that failed may have left the buttons as a running job has them.
    if (result == RunResult::CallFailed)
        m_host.UpdateButtonStates();
    if (blnStopClicked && result == RunResult::Success)
        result = RunResult::Stopped;
    return result;
}

void OperationRun::RestoreAfterRun()
{
    ProgrammerClass& data = m_station.pgmrData();
    m_host.UpdateFormCaption(true);
    data.blnInAction = false;
    m_host.LockOptionSettings(false);
    m_host.EnableMenu(true);
    m_host.DisableCheckboxesAsNecessary();
    const qint32 handlerType = HandlerType();
    if (handlerType == 1 || handlerType == 2) {
        try {
            m_station.QXH950AutoHandler.EnableHandlerGui(true);
        } catch (const AutomationError& error) {
            ReportCallFailure(error);
        }
    }
    mbActionClicked = false;
}

void OperationRun::ReportCallFailure(const AutomationError& error)
{
    const QString text = QStringLiteral("Operation failed: ") + error.Description();
    m_host.StatusLine(text);
    m_host.LogLine(
        QStringLiteral("Error Message: %1 (error %2 from %3)").arg(text).arg(error.Number()).arg(error.Source()));
}

void OperationRun::FinishStoppedRunReport()
{
    if (m_runReportFinished)
        return;
    m_runReportFinished = true;
    QXPgmrControl& engine = m_station.QXProgrammer;
    Try([&] { engine.PrepareRun(); });
    Try([&] { engine.FinishRunReport(); });
}

qint32 OperationRun::RunOperationLoop()
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    ProgrammerClass& data = m_station.pgmrData();
    const OptionRow row = m_host.Row(2);
    qint32 index = 0;
    try {
        if (!row.hasSelection) {
            m_host.StatusLine(QStringLiteral("No program variant is selected: nothing was run."));
            return RunResult::VariantOutOfRange;
        }
        const qint32 count = engine.ExecuteVariantCount();
        index = row.code & 255;
        if (index >= count) {
            m_host.StatusLine(QStringLiteral("The program variant %1 is not one of the device's %2: nothing was run.")
                                  .arg(index)
                                  .arg(count));
            return RunResult::VariantOutOfRange;
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
        return RunResult::CallFailed;
    }

    ResetAbortTrackers();
    data.blnInAction = true;
    m_host.UpdateButtonStates();
    m_counters.Reset();
    ClearProgressBars();

    qint32 result = RunResult::Success;
    try {
        const bool testOnly = engine.TestOnlyStation();
        qint32 devices = testOnly ? 1 : m_station.NumCopies();
        if (devices < 1)
            devices = kUnboundedQuantity;
        for (qint32 done = 0; done < devices;) {
            if (!testOnly && done != 0
                && m_host.Prompt(QStringLiteral("Insert next device"), vb::vbOKCancel, appinfo::App()) == vb::vbCancel)
                break;
            m_stepSkip = false;
            m_host.SetOperationOptions();
            engine.CurrentDataPosition(0);
            engine.CurrentBank(0);
            m_deviceReported = false;
            const bool firstPass = m_counters.lngNumPassed == 0;
            qint32 variant = index;
            result = engine.RunOperation(variant, false);
            ++done;
            // One count per device: the engine's site report when it made
            // one, otherwise the result.
            if (blnStopClicked) {
                if (!m_deviceReported)
                    m_counters.CountAbortedDevice();
                m_host.Prompt(QStringLiteral("Operation aborted"), vb::vbExclamation, appinfo::App());
                break;
            }
            if (result != 0) {
                if (!m_deviceReported)
                    m_counters.CountAbortedDevice();
                if (engine.ShowErrorMessages() && row.text != QLatin1String("Vexal_ChkSum"))
                    m_host.Prompt(QStringLiteral("Failed to perform operation on device"), vb::vbExclamation,
                                  appinfo::App());
            } else {
                if (firstPass) {
                    FillCheckedProgressBars();
                    m_host.Sleep(1);
                }
                if (!m_deviceReported)
                    m_counters.CountPass();
            }
            ClearProgressBars();
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
        result = RunResult::CallFailed;
    }
    EndDeviceLoopState();
    return result;
}

void OperationRun::WarnSetsModeInSession()
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    const bool setsMode = Ask([&] { return engine.DeviceSupportsSetsAndBanks(); }, false)
        && Ask([&] { return engine.SetMode(); }, qint32(0)) == 1
        && (Ask([&] { return engine.BankCount(); }, qint32(0)) >= 2
            || Ask([&] { return engine.SetWidth(); }, qint32(0)) >= 2);
    if (setsMode)
        m_host.Prompt(QStringLiteral("Set mode is not allowed for a concurrent operation"), vb::vbExclamation,
                      appinfo::App());
}

qint32 OperationRun::RunManualHandlerSession()
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    ProgrammerClass& data = m_station.pgmrData();
    ResetAbortTrackers();
    data.blnInAction = true;
    m_host.UpdateButtonStates();
    m_counters.Reset();
    ClearProgressBars();
    WarnSetsModeInSession();

    const qint32 copies = m_station.NumCopies();
    m_counters.lngNumLeft = copies;
    blnRunningConcurrent = true;
    qint32 result = RunResult::Success;
    if (HandlerType() == 0) {
        try {
            result = m_station.ConcurrentManualHandler.RunConcurrentSession(
                copies, CQxProgrammerData::Instance().SessionMode());
            if (copies >= 2 && result == 0)
                m_host.StatusLine(QStringLiteral("Function completed."));
        } catch (const AutomationError& error) {
            ReportCallFailure(error);
            result = RunResult::CallFailed;
        }
    } else {
        // The automatic handler's sessions start from the handler.
        m_host.StatusLine(QStringLiteral("A concurrent session needs the manual handler: the automatic handler "
                                         "runs its own sessions. Nothing was run."));
        result = RunResult::NotManualHandler;
    }
    blnRunningConcurrent = false;

    if (result != 0) {
        const QString message = QStringLiteral("Failed to run concurrent session");
        if (!Ask([&] { return engine.SilentMode(); }, false) && Ask([&] { return engine.ShowErrorMessages(); }, true))
            m_host.Prompt(message, vb::vbExclamation, appinfo::App());
        m_host.LogLine(QStringLiteral("Error Message: ") + message);
        m_host.StatusLine(QStringLiteral("Function aborted."));
        m_host.ShowJobSummary();
    } else if (copies != 1 || blnStopClicked) {
        // As after the device loop, a session of several devices ends in its
        // summary and record; so does a stopped one, which says so. A
        // client's job has it built and recorded, not shown.
        m_host.ShowJobSummary();
    }
    EndDeviceLoopState();
    return result;
}

void OperationRun::HandlerSessionStarted()
{
    ProgrammerClass& data = m_station.pgmrData();
    ResetAbortTrackers();
    m_handlerStopAsked = false;
    data.blnInAction = true;
    m_host.UpdateButtonStates();
    m_counters.Reset();
    m_host.LockOptionSettings(true);
    const qint32 action = m_host.CurrentAction();
    if (action >= kFirstCustomAction && action < m_host.ActionCount() && !SendCustomActionSelections(action)) {
        m_host.StatusLine(QStringLiteral("Error generating dynamic action execution string."));
        // The engine has no selection to run: the session must not feed it
        // devices.
        m_handlerStopAsked = true;
        try {
            m_station.QXH950AutoHandler.StopSession();
        } catch (const AutomationError& error) {
            ReportCallFailure(error);
        }
    }
    ClearProgressBars();
    WarnSetsModeInSession();
    m_counters.lngNumLeft = m_station.NumCopies();
    blnRunningConcurrent = true;
}

void OperationRun::HandlerSessionStopped()
{
    ProgrammerClass& data = m_station.pgmrData();
    // Stopped only when asked to stop or devices remain: a session that
    // ran its quantity ended normally.
    blnStopClicked = blnStopClicked || m_handlerStopAsked || m_counters.lngNumLeft > 0;
    blnRunningConcurrent = false;
    data.blnInAction = false;
    m_host.ShowJobSummary();
    m_host.SetDisplayInfo();
    m_host.UpdateButtonStates();
    m_counters.Reset();
    m_host.HideConcurrentFrame();
    ClearProgressBars();
    m_host.LockOptionSettings(false);
}

bool OperationRun::SendCustomActionSelections(qint32 action)
{
    Q_UNUSED(action);
    const QString caption = m_host.SelectedTabCaption();
    try {
        QString text = QStringLiteral("@") + caption + QStringLiteral(":");
        const QList<bool> required = m_host.ProcRequired();
        int optionRow = 0;
        for (qsizetype i = 0; i + 1 < required.size(); ++i) {
            if (required[i]) {
                text += QStringLiteral("1,");
                continue;
            }
            const OptionRow row = m_host.Row(optionRow++);
            if (row.visible)
                text += row.check == CheckBoxValue::Ticked ? QStringLiteral("1,") : QStringLiteral("0,");
        }
        m_station.QXProgrammer.RunCustomAction(text);
        return true;
    } catch (const AutomationError&) {
        m_host.Prompt(QStringLiteral("Error executing ") + caption, vb::vbOKOnly, appinfo::App());
        return false;
    }
}

void OperationRun::Start_PowerSupplyLogFile()
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    if (engine.PortIndex() == 0)
        return;
    const QString app = appinfo::App();
    const QString section = QStringLiteral("Application");
    if (ToLong(GetSettingValue(app, section, QStringLiteral("PSLogFile_Enable"), QStringLiteral("0")), 0) != 1)
        return;
    engine.SetPowerSupplyLogFolder(
        GetSettingValue(app, section, QStringLiteral("PSLogFile_Dir"), QString()).toString());
}

// --- the device loop ---

qint32 OperationRun::GetNumberOfOperations()
{
    const bool testOnly = Ask([&] { return m_station.QXProgrammer.TestOnlyStation(); }, false);
    const qint32 count = ActionIsRepeatable(m_host.CurrentAction()) || testOnly ? m_station.NumCopies() : 1;
    return count < 1 ? kUnboundedQuantity : count;
}

void OperationRun::GetSetsParameters(bool& setsMode, qint64& count, qint32& position, qint32& bank)
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    const bool supports = engine.DeviceSupportsSetsAndBanks();
    const qint32 setMode = engine.SetMode();
    const qint32 banks = engine.BankCount();
    const qint32 width = engine.SetWidth();
    const bool several = banks > 1 || width > 1;
    setsMode = supports && setMode == 1 && several;
    if (setsMode) {
        // In 64 bits, held to the largest Long: the loop counts passes in a Long.
        count *= qint64(std::max(banks, 1)) * qint64(std::max(width, 1));
        count = std::min<qint64>(count, kLargestLong);
    }
    if (supports && setMode <= 0 && several) {
        position = std::max(m_host.DataPositionIndex(), 0);
        bank = std::max(m_host.BankIndex(), 0);
    } else {
        position = 0;
        bank = 0;
    }
}

void OperationRun::PromptUserForNextDevice(bool setsMode, qint32 position, qint32 bank, qint32& prompted,
                                           qint32& answer)
{
    if (!setsMode) {
        if (!m_station.QXProgrammer.TestOnlyStation() && prompted >= 1)
            answer = m_host.Prompt(QStringLiteral("Insert next device"), vb::vbOKCancel, appinfo::App());
        return;
    }
    answer = m_host.Prompt(QStringLiteral("Insert device at data position ") + Str(position)
                               + QStringLiteral(" in bank ") + Str(bank),
                           vb::vbOKCancel, appinfo::App());
}

void OperationRun::PrepareDeviceLoop()
{
    ProgrammerClass& data = m_station.pgmrData();
    ResetAbortTrackers();
    data.blnInAction = true;
    m_host.UpdateButtonStates();
    m_counters.Reset();
    ClearProgressBars();
    if (m_host.CurrentAction() == kRead) {
        data.blnBufferEmpty = true;
        data.blnFileLoaded = false;
    }
}

qint32 OperationRun::RunDeviceLoop()
{
    PrepareDeviceLoop();
    QXPgmrControl& engine = m_station.QXProgrammer;
    qint32 result = RunResult::Success;
    try {
        qint64 count = GetNumberOfOperations();
        bool setsMode = false;
        qint32 position = 0;
        qint32 bank = 0;
        GetSetsParameters(setsMode, count, position, bank);
        const qint32 width = setsMode ? std::max(engine.SetWidth(), 1) : 1;
        const qint32 banks = setsMode ? std::max(engine.BankCount(), 1) : 1;
        const qint32 command = GetPgmrCommandToRun();
        qint32 prompted = 0;

        while (m_counters.lngNumPassed < count) {
            qint32 answer = 0;
            PromptUserForNextDevice(setsMode, position, bank, prompted, answer);
            if (answer == vb::vbCancel)
                break;
            m_stepSkip = false;
            m_host.SetOperationOptions();
            engine.CurrentDataPosition(position);
            engine.CurrentBank(bank);
            m_deviceReported = false;
            qint32 commandArg = command;
            const qint32 deviceResult = engine.ExecuteDeviceCommand(commandArg, false, false);
            if (engine.PortIndex() == 0) {
                // Demo mode: one device, no result of its own. The station is
                // still handed back usable.
                EndDeviceLoopState();
                return RunResult::Success;
            }
            ++prompted;
            HandleDeviceResult(deviceResult, command);
            if (count == 1) {
                result = deviceResult;
                break;
            }
            if (blnStopClicked) {
                result = RunResult::Stopped;
                break;
            }
            if (engine.IsStopResult(deviceResult)) {
                result = deviceResult;
                break;
            }
            ClearProgressBars();
            if (setsMode) {
                if (++position >= width) {
                    position = 0;
                    if (++bank >= banks)
                        bank = 0;
                }
            }
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
        result = RunResult::CallFailed;
    }
    FinishDeviceLoop();
    return result;
}

void OperationRun::HandleDeviceResult(qint32 result, qint32 command)
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    if (blnStopClicked) {
        // A device the engine reported has been counted already.
        if (!m_deviceReported)
            m_counters.CountAbortedDevice();
        m_host.Prompt(QStringLiteral("Operation aborted"), vb::vbExclamation, appinfo::App());
        return;
    }
    if (result == 0) {
        if (m_counters.lngNumPassed == 0)
            FillCheckedProgressBars();
        return;
    }
    // A blank check's failure is its answer, not an error.
    if (command == Command::BlankCheck)
        return;
    const QString message =
        QStringLiteral("Failed to perform operation on device.\r\n") + engine.ErrorMessageText(result);
    m_host.LogLine(QStringLiteral("Error Message: ") + message);
    if (engine.ShowErrorMessages() && !engine.SilentMode())
        m_host.Prompt(message, vb::vbExclamation, appinfo::App());
}

void OperationRun::FinishDeviceLoop()
{
    ProgrammerClass& data = m_station.pgmrData();
    QXPgmrControl& engine = m_station.QXProgrammer;
    if (m_host.CurrentAction() == kRead) {
        m_host.SetBufferSource(QStringLiteral("<Device Content>"), QDateTime::currentDateTime(), 2);
        data.blnBufferEmpty = false;
        data.strFileName.clear();
        data.lngFileSize = Ask([&] { return engine.BufferSize(); }, qint32(0));
    }
    if (m_station.NumCopies() != 1)
        m_host.ShowJobSummary();
    EndDeviceLoopState();
}

void OperationRun::EndDeviceLoopState()
{
    m_station.pgmrData().blnInAction = false;
    m_host.SetDisplayInfo();
    m_host.UpdateButtonStates();
    m_host.HideConcurrentFrame();
    ClearProgressBars();
}

// --- engine command selection ---

qint32 OperationRun::GetPgmrCommandToRun()
{
    const qint32 action = m_host.CurrentAction();
    switch (action) {
    case kProgram:
        if (m_host.Row(2).check != CheckBoxValue::Cleared)
            return Command::Program;
        if (m_host.Row(4).check == CheckBoxValue::Ticked)
            return Command::ProgramWithoutProgramRow;
        return Command::Secure;
    case kVerify: {
        const OptionRow row = m_host.Row(3);
        if (row.check == CheckBoxValue::Ticked)
            return Command::Verify;
        const qint32 code = row.hasSelection ? row.code : -1;
        if (code == OperationCode::VerifyBySum)
            return Command::VerifyBySum;
        if ((code & OperationCode::kStepMask) == OperationCode::VerifyByCompare)
            return Command::VerifyByCompare;
        if ((code & qint32(0xFFFFF000)) == OperationCode::EncryptFlag)
            return Command::VerifyEncrypted;
        return Command::Verify;
    }
    case kRead: return Command::Read;
    case kBlankCheck: return Command::BlankCheck;
    case kSecure: return Command::Secure;
    case kTest: return Command::Test;
    case kErase: return Command::Erase;
    default:
        if (action >= kFirstCustomAction && action < m_host.ActionCount())
            return Command::CustomAction;
        return Command::Verify;
    }
}

bool OperationRun::ActionIsRepeatable(qint32 action)
{
    if (action == kNoAction || action == kRead)
        return false;
    if (action == kVerify) {
        const qint32 command = GetPgmrCommandToRun();
        return command != Command::VerifyByCompare && command != Command::VerifyBySum;
    }
    return true;
}

// --- Stop ---

void OperationRun::StopClicked()
{
    // A run that has begun and not yet locked its buttons (a client's Abort
    // while the job ID is asked) is stopped too.
    if (m_host.ActionButtonAvailable() && !mbActionClicked)
        return;
    try {
        if (!m_station.QXProgrammer.TestOnlyStation() && HandlerType() != 0) {
            m_host.DisableStopButton();
            m_handlerStopAsked = true;
            m_station.QXH950AutoHandler.StopSession();
            return;
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
        return;
    }
    TrackAbortRequest();
}

void OperationRun::TrackAbortRequest()
{
    if (++lngStopPressCount >= 3)
        return;
    CQxProgrammerData& automation = CQxProgrammerData::Instance();
    const bool second = blnStopClicked;
    if (second)
        automation.SetRunningJob(false);
    try {
        if (!automation.ClientJobRunning()) {
            m_station.QXProgrammer.AbortOperation();
        } else if (second) {
            m_station.QXProgrammer.AbortOperation();
            automation.DoubleAbort();
        }
    } catch (const AutomationError& error) {
        // The flag below still ends the loop after the device in progress.
        ReportCallFailure(error);
    }
    blnStopClicked = true;
    if (!blnRunningConcurrent)
        return;
    try {
        if (HandlerType() == 0) {
            if (!automation.ClientJobRunning())
                m_station.ConcurrentManualHandler.AbortSession();
            else
                automation.EnqueueMethod(QStringLiteral("DoAbort"));
        } else {
            m_station.QXH950AutoHandler.EnableHandlerGui(false);
        }
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
    }
}

void OperationRun::AbortCommand()
{
    blnStopClicked = true;
    try {
        m_station.QXProgrammer.AbortOperation();
        if (blnRunningConcurrent && HandlerType() == 0)
            m_station.ConcurrentManualHandler.AbortSession();
    } catch (const AutomationError& error) {
        ReportCallFailure(error);
    }
}

void OperationRun::ResetAbortTrackers()
{
    blnStopClicked = false;
    lngStopPressCount = 0;
    m_runReportFinished = false;
}

// --- site results ---

void OperationRun::SetSiteStatus(qint32 site, qint32 status, qint32 code)
{
    qint32 index = site - 1;
    if (site == 0) {
        try {
            index = m_station.QXProgrammer.MasterSite() - 1;
        } catch (const AutomationError& error) {
            ReportCallFailure(error);
            index = -1;
        }
    }
    if (index >= 0 && index < m_host.SiteBoxCount())
        ApplySiteStatus(index, status, code);
    if (index < 0) {
        // No client can place a site before the first.
        m_host.LogLine(QStringLiteral("Site status %1 (code %2) for site %3 is not reported: no such site.")
                           .arg(status)
                           .arg(code)
                           .arg(site));
        return;
    }
    CQxProgrammerData& automation = CQxProgrammerData::Instance();
    automation.FireEvent().SiteStatus(index, status, code, m_counters.lngNumPassed, m_counters.lngNumFailed,
                                      m_host.ActiveCountShown(), automation.NumInserted());
    qint32 s = status;
    qint32 i = index;
    qint32 c = code;
    CJobMonitorImpl::Instance().FireSiteStatus(s, i, c);
}

void OperationRun::ApplySiteStatus(qint32 index, qint32 status, qint32 code)
{
    QXPgmrControl& engine = m_station.QXProgrammer;
    CQxProgrammerData& automation = CQxProgrammerData::Instance();
    QString statusText;
    if (status == SiteStatus::Passed || status == SiteStatus::Active)
        statusText = Ask([&] { return engine.SiteStatusText(index); }, QString());
    QString errorText;
    switch (status) {
    case SiteStatus::Passed:
        m_counters.CountPassedSite();
        m_deviceReported = true;
        break;
    case SiteStatus::Failed:
        errorText = Ask([&] { return engine.SiteErrorText(code); }, QString());
        m_counters.CountFailure(code);
        m_deviceReported = true;
        break;
    case SiteStatus::Active:
        // A site that goes active without a device counted in never takes
        // the count below 0.
        if (automation.NumInserted() > 0)
            automation.DecrementInserted();
        break;
    case SiteStatus::Ready: automation.IncrementInserted(); break;
    default: break;
    }
    ShowSite(index, status, statusText, errorText);
}

// --- progress ---

qint32 OperationRun::GetProgressPhase(qint32 code) const
{
    const qint32 action = m_host.CurrentAction();
    if (code == 1 || code == 2)
        return action == kRead ? 1 : 0;
    if (code == 3)
        return action == kBlankCheck ? 2 : 1;
    if (code == 4)
        return 1;
    if (In({5, 13, 19}, code))
        return 2;
    if (In({6, 7, 8, 14, 15}, code))
        return 3;
    if (code == 9)
        return 4;
    if (In({10, 11, 12}, code)) {
        const OptionRow row3 = m_host.Row(3);
        const bool verifyAndTest = row3.hasSelection && In({17, 18, 19, 20, 21, 22}, row3.code);
        return action == kProgram && verifyAndTest && !m_stepSkip ? 3 : 4;
    }
    return -1;
}

bool OperationRun::IsOptionRowValid(qint32 row) const
{
    if (row < 0 || row >= m_station.pgmrData().GetMaximumNumberOfOptions())
        return false;
    return m_host.Row(row).hasSelection;
}

qint32 OperationRun::GetPhaseStepCount(qint32 row) const
{
    if (!IsOptionRowValid(row))
        return 0;
    const OptionRow r = m_host.Row(row);
    const qint32 op = r.code;
    const qint32 low = op & OperationCode::kStepMask;
    qint32 steps = 0;
    for (const StepCount& entry : kStepCounts) {
        if (In(entry.lows, low))
            steps = entry.steps;
    }
    const qint32 family = op & OperationCode::kVariantFamilyMask;
    if (family == OperationCode::ProgramVariantBase)
        // The checksum check of a program variant has two steps; the row's
        // own selection says whether it is chosen.
        steps = r.text == QLatin1String("P_Check") ? 2 : 0;
    if (op == OperationCode::EncryptFlag)
        steps = 1;
    if (family == OperationCode::SecureVariantBase)
        steps = 1;
    else if (family == OperationCode::SecureVariantTestOnceBase)
        steps = 2;
    else if (family == OperationCode::SecureVariantTestTwiceBase)
        steps = 3;
    return steps;
}

qint32 OperationRun::GetPhaseStepIndex(qint32 code) const
{
    const qint32 row = GetProgressPhase(code);
    if (!IsOptionRowValid(row))
        return 0;
    const qint32 op = m_host.Row(row).code;
    const qint32 low = op & OperationCode::kStepMask;
    qint32 step = StepOfCode(low, code);
    if (op == OperationCode::EncryptFlag)
        step = 0;
    const qint32 family = op & OperationCode::kVariantFamilyMask;
    if (family == OperationCode::SecureVariantBase)
        step = 0;
    if (family == OperationCode::SecureVariantTestOnceBase)
        step = code == 9 ? 0 : 1;
    if ((op & 0xFF00) == OperationCode::SecureVariantTestTwiceBase)
        step = code == 9 ? 0 : code == 12 ? 1 : 2;
    return step;
}

qint32 OperationRun::ProgressFor(qint32 code, qint32 value, bool complete, qint32& row) const
{
    row = GetProgressPhase(code);
    const qint32 steps = GetPhaseStepCount(row);
    if (steps == 0) {
        row = -1;
        return 0;
    }
    const qint32 step = GetPhaseStepIndex(code);
    // Halves to the even neighbour, as the bar has always rounded.
    const double exact = double(value) / steps + double(step) * 100.0 / steps;
    const qint32 shown = qint32(std::nearbyint(exact));
    return complete ? std::min(shown, 100) : shown;
}

void OperationRun::SetOperationProgress(qint32 code, qint32 value)
{
    if (m_host.CurrentAction() == kRead && m_host.ProgressRowCount() > 0 && m_host.ProgressRowChecked(0)
        && m_host.ProgressValue(0) == 0 && m_station.pgmrData().blnInAction)
        SetProgress(0, 100);
    if (GetProgressPhase(code) < 0) {
        if (code == ProgressCode::FirstRow)
            SetProgress(0, value);
        m_host.PumpEvents();
        return;
    }
    qint32 row = -1;
    const qint32 shown = ProgressFor(code, value, false, row);
    if (row >= 0)
        SetProgress(row, shown);
}

void OperationRun::SetOperationComplete(qint32 code)
{
    if (m_host.CurrentAction() == kRead && m_host.ProgressRowCount() > 0 && m_host.ProgressRowChecked(0)
        && m_host.ProgressValue(0) == 0 && m_station.pgmrData().blnInAction)
        SetProgress(0, 100);
    if (GetProgressPhase(code) < 0) {
        // The first row's own step is complete: it shows full.
        if (code == ProgressCode::FirstRow)
            SetProgress(0, 100);
        m_host.PumpEvents();
        return;
    }
    qint32 row = -1;
    const qint32 shown = ProgressFor(code, 100, true, row);
    if (row >= 0 && m_host.ProgressRowChecked(row))
        SetProgress(row, shown);
}

void OperationRun::ClearProgressBars()
{
    for (int row = 0; row < m_host.ProgressRowCount(); ++row)
        m_host.SetProgressValue(row, 0);
}

void OperationRun::FillCheckedProgressBars()
{
    for (int row = 0; row < m_host.ProgressRowCount(); ++row) {
        if (m_host.ProgressRowChecked(row))
            m_host.SetProgressValue(row, 100);
    }
}

void OperationRun::SetProgress(int row, qint32 value)
{
    if (row < 0 || row >= m_host.ProgressRowCount())
        return;
    m_host.SetProgressValue(row, std::clamp<qint32>(value, 0, 100));
}

void OperationRun::ShowSite(int index, qint32 status, const QString& statusText, const QString& errorText)
{
    if (index < 0 || index >= m_host.SiteBoxCount())
        return;
    m_host.ShowSiteStatus(index, status, statusText, errorText);
}
