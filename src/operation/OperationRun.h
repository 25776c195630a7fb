#pragma once

// A run of the selected operation, outside the window that shows it: the
// Action entry, the device loop, Stop, the site results and the progress
// live here, so that they can be driven by a fake engine and a fake host. The
// run is synchronous: it runs inside the Action handler on the GUI thread,
// and the engine raises its events from inside its calls; the run keeps the
// station alive through the host's event pump.
//
// The station holds what the run works on: the engine, the handlers, the job
// configuration and the quantity. The host is the window: it shows status
// lines, progress rows, site boxes and button states, pumps events and asks
// the operator (through the UI service). This class never includes a window
// header.

#include <QDateTime>
#include <QList>
#include <QString>

class AutomationError;
class H950HdlrControl;
class ManualHdlControl;
class ProgrammerClass;
class QXPgmrControl;
class RunCounters;
class Station;

class OperationRun
{
public:
    // One option row of the current tab as the run reads it.
    struct OptionRow
    {
        qint16 check = 0; // 0 clear, 1 ticked, 2 greyed
        bool hasSelection = false;
        qint32 code = 0; // the selected entry's operation code
        QString text;    // the selected entry's text
        bool visible = false;
        bool enabled = false;
    };

    class Host
    {
    public:
        virtual ~Host() = default;

        // A status line, as every window adds one (list and export log).
        virtual void StatusLine(const QString& text) = 0;
        // A line of the black-box log, time-stamped.
        virtual void LogLine(const QString& text) = 0;

        // The option rows' progress bars, 0 to 100 each.
        virtual int ProgressRowCount() const = 0;
        virtual void SetProgressValue(int row, int value) = 0;
        virtual int ProgressValue(int row) const = 0;
        // The row's check box is ticked (its step runs).
        virtual bool ProgressRowChecked(int row) const = 0;
        virtual OptionRow Row(int row) const = 0;

        // The current action, the number of action slots (custom actions
        // from 8), the selected tab's caption and, per procedure of the
        // current custom action, whether it is required.
        virtual qint32 CurrentAction() const = 0;
        virtual qint32 ActionCount() const = 0;
        virtual QString SelectedTabCaption() const = 0;
        virtual QList<bool> ProcRequired() const = 0;
        // The list indexes of the data position and bank lists (-1: none).
        virtual qint32 DataPositionIndex() const = 0;
        virtual qint32 BankIndex() const = 0;

        // The site boxes, index 0 for site 1: the texts and the display of
        // a site status.
        virtual int SiteBoxCount() const = 0;
        virtual void ShowSiteStatus(int index, qint32 status, const QString& statusText, const QString& errorText) = 0;
        // The number the concurrent frame shows as active.
        virtual qint32 ActiveCountShown() const = 0;

        // Buttons, menus and option rows follow the run state.
        virtual void UpdateButtonStates() = 0;
        virtual void LockOptionSettings(bool locked) = 0;
        virtual void EnableMenu(bool enable) = 0;
        // Action is enabled and visible: no run is going.
        virtual bool ActionButtonAvailable() const = 0;
        virtual void DisableStopButton() = 0;

        // The window's own steps around a run.
        virtual void SaveCheckBoxValues() = 0;
        virtual void DisableCheckboxesAsNecessary() = 0;
        virtual void SetDisplayInfo() = 0;
        virtual void HideConcurrentFrame() = 0;
        virtual void ShowJobSummary() = 0;
        virtual void AskJobID() = 0;
        virtual void SetOperationOptions() = 0;
        virtual void UpdateFormCaption(bool showVersion) = 0;
        virtual void SetBufferSource(const QString& name, const QDateTime& date, qint16 type) = 0;

        // Lets pending window messages run (Stop, engine events).
        virtual void PumpEvents() = 0;
        // Waits, the window staying alive (the first passed variant shows
        // its full bars a moment).
        virtual void Sleep(qint32 seconds) = 0;

        // Asks the operator; the answer is the box's (vbOK, vbCancel, ...).
        virtual qint32 Prompt(const QString& text, qint32 buttons, const QString& title) = 0;
    };

    OperationRun(Station& station, Host& host, RunCounters& counters);
    ~OperationRun();
    OperationRun(const OperationRun&) = delete;
    OperationRun& operator=(const OperationRun&) = delete;

    Station& station() const { return m_station; }
    Host& host() const { return m_host; }
    RunCounters& counters() const { return m_counters; }

    // --- the run's flags, under the names the windows read ---
    bool mbActionClicked = false;
    bool blnStopClicked = false;
    bool bSpecialConcurrent = false;
    bool blnRunningConcurrent = false;
    qint32 lngStopPressCount = 0;

    // --- Action, the run and its ways ---
    void ActionClicked();
    qint32 ExecuteOperation();
    qint32 ExecuteOperationCore();
    qint32 RunDeviceLoop();
    // The program variant of row 2, device after device (the engine's
    // RunOperation). A variant the device does not offer runs nothing:
    // a status line and VariantOutOfRange.
    qint32 RunOperationLoop();
    // A concurrent session of the manual handler over the sites; the handler
    // returns when it ended. With an automatic handler nothing runs: a status
    // line and NotManualHandler.
    qint32 RunManualHandlerSession();
    // The automatic handler's session began and ended (its events).
    void HandlerSessionStarted();
    void HandlerSessionStopped();
    bool SendCustomActionSelections(qint32 action);
    void Start_PowerSupplyLogFile();

    // --- the device loop's steps ---
    qint32 GetNumberOfOperations();
    // Sets mode and the loop's start position; count is multiplied by the
    // sets and banks in sets mode, at most the largest Long.
    void GetSetsParameters(bool& setsMode, qint64& count, qint32& position, qint32& bank);
    void PromptUserForNextDevice(bool setsMode, qint32 position, qint32 bank, qint32& prompted, qint32& answer);

    // --- engine command selection ---
    qint32 GetPgmrCommandToRun();
    bool ActionIsRepeatable(qint32 action);

    // --- Stop ---
    void StopClicked();
    void AbortCommand();
    void TrackAbortRequest();
    void ResetAbortTrackers();
    // The engine's report of a stopped run, at most once per run.
    void FinishStoppedRunReport();

    // --- site results ---
    void SetSiteStatus(qint32 site, qint32 status, qint32 code);
    void ApplySiteStatus(qint32 index, qint32 status, qint32 code);

    // --- progress ---
    void SetOperationProgress(qint32 code, qint32 value);
    void SetOperationComplete(qint32 code);
    qint32 GetProgressPhase(qint32 code) const;
    bool IsOptionRowValid(qint32 row) const;
    qint32 GetPhaseStepCount(qint32 row) const;
    qint32 GetPhaseStepIndex(qint32 code) const;

    // Every option row's bar back to 0, before a run and between devices.
    void ClearProgressBars();
    // After the first device passed: the bar of every row whose step ran
    // shows 100.
    void FillCheckedProgressBars();
    // A value for one row's bar, held to 0..100; a row the window does not
    // have is left alone.
    void SetProgress(int row, qint32 value);

    // A site box shows a status with its texts; an index without a box is
    // left alone.
    void ShowSite(int index, qint32 status, const QString& statusText, const QString& errorText);

    // The leading number of a text as the quantity box is read (VB's Val):
    // "12abc" is 12, "abc" and "" are 0.
    static double LeadingNumber(const QString& text);

private:
    void PrepareDeviceLoop();
    void HandleDeviceResult(qint32 result, qint32 command);
    void FinishDeviceLoop();
    // The loop's end that leaves the station usable: run state, display,
    // buttons, frame and bars.
    void EndDeviceLoopState();
    void RestoreAfterRun();
    void ReportCallFailure(const AutomationError& error);
    bool SetModeRefused();
    // Sets mode with more than one set or bank: a concurrent session warns.
    void WarnSetsModeInSession();
    qint32 HandlerType();
    qint32 ProgressFor(qint32 code, qint32 value, bool complete, qint32& row) const;

    Station& m_station;
    Host& m_host;
    RunCounters& m_counters;
    // Cleared before each device; while set, the program action's
    // verify-and-test steps count in the fourth row.
    bool m_stepSkip = false;
    // The engine reported the device in progress passed or failed.
    bool m_deviceReported = false;
    bool m_runReportFinished = false;
    // Stop asked the automatic handler to end its session.
    bool m_handlerStopAsked = false;
};
