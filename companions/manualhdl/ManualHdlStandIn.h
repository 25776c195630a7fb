#pragma once

// The simulated concurrent manual handler, class "MANUALHDLLib.ManualHdl".
// Members without behaviour of their own are stored properties.
//
// RunConcurrentSession(copies, mode) runs the session inside the call, the
// host's events pumped between devices, until copies devices passed or the
// session was aborted (AbortSession, the host's IsSessionAborted, or the
// operator's abort of the fault plan). Mode 0: a simulated operator fills
// the sockets round after round. Per round each filled socket reports
// SiteStatusChanged 4 (a device placed); then, socket by socket, 3 (active),
// RepeatCommandRequest (the host runs the device and answers the engine's
// result), 0 (passed) or 1 with the result as the failure code, and
// RunStatisticsChanged. A failed socket is filled again in the next round.
// Sockets are 1-based. The faults it takes from the engine's fault plan are
// in ManualHdlPlan.h.
//
// Results of RunConcurrentSession:
//   0  the copies passed, or the session was aborted
//   1  copies below 1: nothing ran
//   2  a session is running already: nothing ran
//   3  no socket to fill (every socket planned empty)
//   4  session modes 1 and 2 (device placed and picked by an automation
//      client) need the client's arbiters, which this handler does not
//      have; any other mode is unknown: nothing ran
//   5  the operator gave up: three rounds in a row in which no device passed
//   the fault plan's manual.result code, when it plans one
//
// The values the job summary reads can be set from outside, so a trial or a
// test sees a report of its choosing: environment variable TARVO_MANUALHDL_VALUES, entries
// "Member=value" or "Member(index)=value" separated by ";", members by their
// names in the handler's table, e.g.
//   TARVO_MANUALHDL_VALUES="SessionValue1004=1200"
// "true" and "false" are Booleans, whole numbers are numbers, anything else text.

#include "engine/ManualHdlControl.h"
#include "platform/DispatchObject.h"

class ManualHdlStandIn : public DispatchObject
{
public:
    static constexpr qint32 kBadQuantity = 1;
    static constexpr qint32 kBusy = 2;
    static constexpr qint32 kNoSockets = 3;
    static constexpr qint32 kModeNotAvailable = 4;
    static constexpr qint32 kNothingPasses = 5;

    ManualHdlStandIn();

    // The test hook's way in (ManualHdlTestHook.h): any event, by name.
    void RaiseForTest(const QString& eventName, QVariantList& args) { Raise(eventName, args); }

private:
    void ApplyReportValues();
    qint32 RunConcurrentSession(qint32 copies, qint32 mode);
    qint32 RunOperatorSession(qint32 copies);
    // The session's hand-over of its automation values (events 16 and 17).
    void AnnounceAutomation();
    bool Aborted();
    // Lets the host's messages run, waiting ms without spinning.
    void Pump(int ms);

    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    ManualHdlEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
    qint64 m_hostWindowHandle = 0;
    bool m_running = false;
    bool m_abortRequested = false;
};
