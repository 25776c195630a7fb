#pragma once

// The simulated automatic handler, class "MYH950HDLRLib.QXH950Handler".
// Members without behaviour of their own are stored properties.
//
// StartSession(q) returns at once; the session then runs in timer steps on
// the host's loop (the fault plan's auto.speed, H950HdlrPlan.h). The first
// step begins the session: RequestFlag43 (without a device chosen the
// handler does not start: HandlerStatusText11 and JobComplete(kNoDevice)
// only), LoadSealbookAutoFileRequest (auto.loadfile, its folder asked with
// RequestEngineDirectory), HandlerQuantityChanged and HandlerEvent16 (the
// quantity typed on its panel, auto.quantity), HandlerSerialNumberReport,
// RequestPinCount (the socket kit, told in HandlerStatusText11),
// StartPowerSupplyLog, RequestActionRepeatable (an action that does not
// repeat runs one device), SessionStarted, SessionOperationBegan, AskJobId, and
// with auto.label RequestLabelPrinterDirectory and InitLabelPrintRequest; the
// label waits (steps of at least 20 ms, up to 10 s) for the editor's window,
// then OpenLabelFileRequest and, with auto.labelmove, HandlerEvent20. Each
// further step runs one device on the next socket: SiteStatusChanged 7 (ready
// to place), 4 (placed), 3 (active), RepeatCommandRequest (the host runs the
// device and answers the engine's result), 0 (passed, then HandlerEvent17
// prints its label) or 1 with the result as the failure code, 6 (ready to
// pick), then RunStatisticsChanged and HandlerEvent42. HandlerValue1 (devices
// handled), HandlerValue2 (still to pass), HandlerValue3 (passed),
// HandlerValue4 (failed) and IsRunning follow the session. When q devices
// passed, StopSession was called, the handler's own Stop was pressed
// (auto.stop: HandlerAbortCommand first) or the handler jams, the session
// ends: HandlerEvent19 (the moved label saved) and HandlerEvent22 (the editor
// closed), JobComplete(result), SessionStopped, and with auto.savefile
// RequestFlag26 and, with a job open, HandlerMessage46(file, 0, 1).
//
// The report values follow the session: JobStartTime and JobEndTime, the
// units per hour reached (JobRunTime) and those it would have reached had it
// never waited for the host or the label editor (PotentialUnitsPerHour), the
// time it waited (DelayTime, "h:mm:ss"), its bins ("Pass", and "Reject" counted as a failure
// bin), AutoHandlerInUse (True for a media-transfer job, auto.mediatransfer)
// and, with auto.inspection, the vision inspection's counts. What only the
// handler's own panel sets (LabelerValue67, EmptySocketTestInterval, the
// laser marker lines) comes from the fault plan's panel entries
// (auto.neweditor, auto.emptytest, auto.marker: H950HdlrPlan.h) and from the
// handler's part of a Sealbook auto file, or as TARVO_H950_VALUES sets it.
//
// JobComplete's result: 0 when the quantity passed (or the fault plan's
// auto.result), kStopped after StopSession, kJammed after a jam, kNoSockets
// when every socket is planned empty, kBadQuantity for a quantity below 1,
// kNoDevice when the host has no device chosen.
//
// The values the job summary reads can also be set from outside (they win
// over the session's), so a trial or a test sees a report of its choosing: environment variable TARVO_H950_VALUES, entries
// "Member=value" or "Member(index)=value" separated by ";", members by their
// names in the handler's table, e.g.
//   TARVO_H950_VALUES="HandlerValue3=98;HandlerValue4=2;BinLabelAt(0)=Reject"
// "true" and "false" are Booleans, whole numbers are numbers, anything else text.

#include "H950HdlrPlan.h"

#include "engine/H950HdlrControl.h"
#include "platform/DispatchObject.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QVector>
#include <memory>

class QTimer;

class H950HdlrStandIn : public DispatchObject
{
public:
    static constexpr qint32 kBadQuantity = 1;
    static constexpr qint32 kStopped = 2;
    static constexpr qint32 kJammed = 3;
    static constexpr qint32 kNoSockets = 4;
    static constexpr qint32 kNoDevice = 5;

    H950HdlrStandIn();
    ~H950HdlrStandIn() override;

    // The test hook's way in (H950HdlrTestHook.h): any event, by name.
    void RaiseForTest(const QString& eventName, QVariantList& args) { RaiseAny(eventName, args); }

private:
    // SealbookAutoValue58 and 59 (H950HdlrStandInSealbook.cpp).
    void bindSealbook();
    void ApplyReportValues();
    // The panel's settings the plan gives (auto.neweditor, auto.marker,
    // auto.emptytest).
    void ApplyPanelValues(const H950HdlrPlan& plan);
    void StoreMarkerLines(const QStringList& lines);
    void StartSession(qint32 quantity);
    void Step();
    void BeginSession();
    // False while the label waits for the editor's window.
    bool OpenLabel();
    void RunDevice();
    void Finish(qint32 result);
    void StoreValues();
    void StoreReportValues();
    // A planned file name; a relative one in the folder the host names.
    QString PlannedFile(const QString& name, bool labelFolder);
    // Raises an event that waits on the host, counting the wait as delay.
    template <class F>
    void Waiting(F&& raise);

    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    H950HdlrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};

    std::unique_ptr<QTimer> m_timer;
    H950HdlrPlan m_plan;
    QVector<qint32> m_sockets;
    bool m_running = false;
    bool m_started = false;
    bool m_stopAsked = false;
    bool m_inStep = false;
    qint32 m_quantity = 0;
    qint32 m_handled = 0;
    qint32 m_passed = 0;
    qint32 m_failed = 0;
    enum class Label { None, WaitingForEditor, Open };
    Label m_label = Label::None;
    QString m_labelFile;
    QElapsedTimer m_labelWait;
    QDateTime m_startTime;
    QElapsedTimer m_clock;
    qint64 m_waitedMs = 0;
};
