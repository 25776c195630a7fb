#pragma once

// A run of the selected operation, outside the window that shows it: the
// device loop, the sessions, Stop, the site results and the progress live
// here, so that they can be driven by a fake engine and a fake host. The run
// is synchronous: it runs inside the Action handler on the GUI thread, and
// the engine raises its events from inside its calls; the run keeps the
// station alive through the host's event pump.
//
// The host is the window: it shows status lines, progress rows, site boxes
// and button states, pumps events and asks the operator (through the UI
// service). This class never includes a window header.

#include <QString>

class RunCounters;

class OperationRun
{
public:
    class Host
    {
    public:
        virtual ~Host() = default;

        // A status line, as every window adds one (list and logs).
        virtual void StatusLine(const QString& text) = 0;

        // The option rows' progress bars, 0 to 100 each.
        virtual int ProgressRowCount() const = 0;
        virtual void SetProgressValue(int row, int value) = 0;
        // The row's check box is ticked (its step runs).
        virtual bool ProgressRowChecked(int row) const = 0;

        // The site boxes, index 0 for site 1: the texts and the display of
        // a site status.
        virtual int SiteBoxCount() const = 0;
        virtual void ShowSiteStatus(int index, qint32 status, const QString& statusText, const QString& errorText) = 0;

        // Buttons and option rows follow the run state.
        virtual void UpdateButtonStates() = 0;
        virtual void LockOptionSettings(bool locked) = 0;

        // Lets pending window messages run (Stop, engine events).
        virtual void PumpEvents() = 0;

        // Asks the operator; the answer is the box's (vbOK, vbCancel, ...).
        virtual qint32 Prompt(const QString& text, qint32 buttons, const QString& title) = 0;
    };

    OperationRun(Host& host, RunCounters& counters);

    Host& host() const { return m_host; }
    RunCounters& counters() const { return m_counters; }

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

private:
    Host& m_host;
    RunCounters& m_counters;
};
