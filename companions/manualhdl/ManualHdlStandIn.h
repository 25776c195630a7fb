#pragma once

// The simulated concurrent manual handler, class "MANUALHDLLib.ManualHdl".
// Members without behaviour of their own are stored properties.
//
// RunConcurrentSession(copies, mode) runs the session inside the call, the
// host's events pumped while it waits (without spinning), until copies
// devices passed or the session was aborted (AbortSession, the host's
// IsSessionAborted, the socket arbiter's NotifyDoubleAbort, or the
// operator's abort of the fault plan). Each session first hands the host its
// automation values (events SetThreadCommUtilPtr and
// SetDeviceAutomationArbiter, as SetHostWindowHandle does); then
// SessionOperationBegan. A session whose copies all passed ends with
// MasterSiteRequest (the host shows the master site's box passed).
// SessionValue1004 is the last session's devices run per hour.
//
// Mode 0: a simulated operator fills the sockets round after round. Per
// round each filled socket reports SiteStatusChanged 4 (a device placed);
// then, socket by socket, 3 (active), RepeatCommandRequest (the host runs
// the device and answers the engine's result), 0 (passed) or 1 with the
// result as the failure code, and RunStatisticsChanged. A failed socket is
// filled again in the next round.
//
// Modes 1 and 2: an automation client places and picks the devices. Per
// round the device arbiter raises DeviceReadyToPlace for each socket to fill
// and the session waits for NotifyDevicePlaced of each; when the client
// asks to begin on partially populated sites (NotifyBeginPartialSites, and
// the host answers GotBeginPartials True), the round goes on with the
// sockets placed so far and ResetBeginPartialsFlag follows. Mode 2 then has
// the socket arbiter raise SiteReadyToClose for each and waits for
// NotifySiteClosed. The sockets run as in mode 0 (4, then 3, the request, the
// verdict, the statistics); mode 2 has them opened (SiteReadyToOpen, wait for
// NotifySiteOpened); last the device arbiter raises DeviceReadyToPick and
// the session waits for NotifyDevicePicked of each.
//
// Sockets are 1-based to the host and on the device arbiter; the socket
// arbiter speaks the client's 0-based numbers. The faults it takes from the
// engine's fault plan are in ManualHdlPlan.h.
//
// Results of RunConcurrentSession:
//   0  the copies passed, or the session was aborted
//   1  copies below 1: nothing ran
//   2  a session is running already: nothing ran
//   3  no socket to fill (every socket planned empty)
//   4  no client to take part: mode 1 or 2 and nobody binds the device
//      arbiter's events, or mode 2 and nobody holds the socket arbiter (it
//      was not taken and attached); or a mode other than 0, 1 and 2: nothing
//      ran
//   5  the operator gave up: three rounds in a row in which no device passed
//   the fault plan's manual.result code, when it plans one
//
// The values the job summary reads can also be set from outside (they win
// over the session's), so a trial or a
// test sees a report of its choosing: environment variable TARVO_MANUALHDL_VALUES, entries
// "Member=value" or "Member(index)=value" separated by ";", members by their
// names in the handler's table, e.g.
//   TARVO_MANUALHDL_VALUES="SessionValue1004=1200"
// "true" and "false" are Booleans, whole numbers are numbers, anything else text.
//
// For measures: with TARVO_MANUALHDL_TRACE naming a file, each session
// appends a line per SiteStatusChanged it raised, "<ns> <site> <status>",
// the time on the monotonic clock (std::chrono::steady_clock) taken just
// before the host was told.

#include "ArbiterStandIn.h"

#include "engine/ManualHdlControl.h"
#include "engine/ManualHdlDeviceArbiterControl.h"
#include "engine/ManualHdlSocketArbiterControl.h"
#include "platform/DispatchObject.h"

#include <QElapsedTimer>
#include <QSet>
#include <QVector>
#include <memory>

class QEventLoop;
struct ManualHdlPlan;

class ManualHdlStandIn : public DispatchObject
{
public:
    static constexpr qint32 kBadQuantity = 1;
    static constexpr qint32 kBusy = 2;
    static constexpr qint32 kNoSockets = 3;
    static constexpr qint32 kModeNotAvailable = 4;
    static constexpr qint32 kNothingPasses = 5;

    ManualHdlStandIn();
    ~ManualHdlStandIn() override;

    // The test hook's way in (ManualHdlTestHook.h): any event, by name.
    void RaiseForTest(const QString& eventName, QVariantList& args) { RaiseAny(eventName, args); }

private:
    void ApplyReportValues();
    // SessionValue1004: the devices the session ran per hour.
    void StoreUnitsPerHour();
    qint32 RunConcurrentSession(qint32 copies, qint32 mode);
    qint32 RunOperatorSession(qint32 copies);
    qint32 RunClientSession(qint32 copies, qint32 mode);
    // One socket's device: active, the run, the verdict, the statistics.
    void RunDevice(qint32 site, qint32 copies, qint32 active, qint32& passed, qint32& failed);
    QVector<qint32> SocketsToFill(const ManualHdlPlan& plan) const;
    // A client's notice through an arbiter.
    void Notice(const QString& member, const QVariantList& args);
    // Waits, the host's events running, until done() holds; False when the
    // session was aborted first.
    bool WaitFor(const std::function<bool()>& done);
    void RaiseSiteStatus(qint32 site, qint32 status, qint32 code);
    void WriteTrace();
    // The session's hand-over of its automation values (events 16 and 17).
    void AnnounceAutomation();
    bool Aborted();
    // Lets the host's messages run, waiting ms without spinning.
    void Pump(int ms);

    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    ManualHdlEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
    std::shared_ptr<ArbiterStandIn> m_deviceArbiter;
    std::shared_ptr<ArbiterStandIn> m_socketArbiter;
    ManualHdlDeviceArbiterEventRaisers RaiseDeviceEvent{
        [this](const QString& eventName, QVariantList& args) { m_deviceArbiter->RaiseEventByName(eventName, args); }};
    ManualHdlSocketArbiterEventRaisers RaiseSocketEvent{
        [this](const QString& eventName, QVariantList& args) { m_socketArbiter->RaiseEventByName(eventName, args); }};
    // What the client told the arbiters during this session.
    QSet<qint32> m_placed;
    QSet<qint32> m_picked;
    QSet<qint32> m_closed;
    QSet<qint32> m_opened;
    bool m_partialsAsked = false;
    bool m_socketAttached = false;
    QEventLoop* m_wait = nullptr;
    bool m_tracing = false;
    QByteArray m_trace;
    qint64 m_hostWindowHandle = 0;
    bool m_running = false;
    bool m_abortRequested = false;
    qint32 m_devicesRun = 0;
    QElapsedTimer m_sessionClock;
};
