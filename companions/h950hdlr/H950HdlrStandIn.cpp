#include "H950HdlrStandIn.h"

#include "H950HdlrJobFile.h"

#include "simplan/NotSimulated.h"
#include "simplan/ReportValues.h"

#include "engine/EngineCodes.h"
#include "engine/H950HdlrControl.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace {

// The label editor's window, looked for as the host's link to it finds it:
// named after its title in $XDG_RUNTIME_DIR, else the temporary folder.
bool EditorWindowShown()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return QFileInfo::exists(QDir(folder).filePath(QStringLiteral("P-touch EDITOR")));
}

constexpr int kEditorWaitMs = 10000;
constexpr int kEditorPollMs = 20;
constexpr qint32 kPassBin = 0;
constexpr qint32 kRejectBin = 1;

// The inspection's checks, as the handler's vision program names them.
const char* const kInspectionChecks[] = {"Pin 1 Mark",  "Lead Count",   "Lead Pitch", "Lead Span",
                                         "Coplanarity", "Package Size", "Marking",    "Orientation"};

qint32 PerHour(qint64 units, qint64 ms)
{
    const qint64 perHour = units * 3600000 / std::max<qint64>(ms, 1);
    return qint32(std::min<qint64>(perHour, std::numeric_limits<qint32>::max()));
}

QString Duration(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

H950HdlrStandIn::H950HdlrStandIn()
    : DispatchObject(QString::fromLatin1(H950HdlrControl::ClassName), H950HdlrControl::Members()),
      m_timer(std::make_unique<QTimer>())
{
    // The simulated handler family offers both automatic handler types.
    Store(H950HdlrId::HandlerModelFamily, VbBool(true));
    m_timer->setSingleShot(true);
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { Step(); });
    On(H950HdlrId::StartSession, [this](InvokeKind, QVariantList& args) {
        StartSession(Arg(args, 0, ValueKind::Long).toInt());
        return QVariant();
    });
    On(H950HdlrId::StopSession, [this](InvokeKind, QVariantList&) {
        // The device in the handler finishes; the next step ends the session.
        if (m_running)
            m_stopAsked = true;
        return QVariant();
    });
    On(H950HdlrId::IsRunning, [this](InvokeKind, QVariantList&) { return VbBool(m_running); });
    // Job files: 1 when done, 0 when refused.
    On(H950HdlrId::SaveHandlerJobFile, [this](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        return QVariant::fromValue<qint32>(H950HdlrJobFile::Save(path, [this](int dispid) { return Stored(dispid); }));
    });
    On(H950HdlrId::LoadHandlerJobFile, [this](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        return QVariant::fromValue<qint32>(
            H950HdlrJobFile::Load(path, [this](int dispid, const QVariant& value) { Store(dispid, value); }));
    });
    bindSealbook();

    using namespace H950HdlrId;
    // The settings the host puts and reads back, and the values it reads
    // (the session keeps the counts; the report values come from the
    // environment, ApplyReportValues).
    Stores({HandlerValue1,
            HandlerValue2,
            HandlerValue3,
            HandlerValue4,
            Quantity,
            PrimarySource,
            AlternateSource,
            PrimaryDestination,
            AlternateDestination,
            Marker,
            Package,
            HandlerMode,
            SealbookFileName,
            SealbookAutoFileDirectory,
            HandlerFlag21,
            HandlerJobName,
            SerialNumber,
            AutoHandlerInUse,
            HandlerKind,
            InspectionFileName,
            InspectionProgramNumber,
            PartsInspected,
            InspectionLabelAt,
            InspectionPassedAt,
            InspectionFailedAt,
            LabelerValue67,
            JobRunTime,
            PotentialUnitsPerHour,
            DelayTime,
            JobStartTime,
            JobEndTime,
            BinCountAt,
            BinLabelAt,
            BinCount,
            BinFlagAAt,
            BinFlagBAt,
            HandlerModelFamily,
            LaserMarkerLineCount,
            EmptySocketTestInterval,
            LaserMarkerLineAt});
    // The handler's own window and its mode switches: nothing here shows them.
    Takes({EnableHandlerGui, HandlerCommand1000, HandlerCommand1001});
    Raises({"SessionStarted",
            "SiteStatusChanged",
            "RepeatCommandRequest",
            "RunStatisticsChanged",
            "HandlerEvent42",
            "JobComplete",
            "SessionStopped",
            "ReadSealbookValueRequest",
            "ReadSealbookLongRequest",
            "ReadSealbookStringRequest",
            "WriteSealbookValueRequest",
            "SessionOperationBegan",
            "HandlerStatusText11",
            "HandlerEvent17",
            "InitLabelPrintRequest",
            "HandlerEvent19",
            "HandlerEvent20",
            "OpenLabelFileRequest",
            "HandlerEvent22",
            "HandlerAbortCommand",
            "RequestPinCount",
            "LoadSealbookAutoFileRequest",
            "HandlerSerialNumberReport",
            "AskJobId",
            "StartPowerSupplyLog",
            "RequestEngineDirectory",
            "RequestLabelPrinterDirectory",
            "HandlerMessage46",
            "RequestFlag43",
            "RequestFlag26",
            "RequestActionRepeatable",
            "HandlerQuantityChanged",
            "HandlerEvent16"});
    DeclareNotSimulated(simulation::kNotSimulated);
    ApplyPanelValues(H950HdlrPlan::Read());
    ApplyReportValues();
}

H950HdlrStandIn::~H950HdlrStandIn() = default;

void H950HdlrStandIn::StartSession(qint32 quantity)
{
    // A second start while a session runs is not a session of its own.
    if (m_running)
        return;
    m_plan = H950HdlrPlan::Read();
    ApplyPanelValues(m_plan);
    ApplyReportValues();
    m_sockets.clear();
    for (qint32 site = 1; site <= m_plan.sites; ++site) {
        if (!m_plan.empty.contains(site))
            m_sockets << site;
    }
    m_quantity = quantity;
    Store(H950HdlrId::Quantity, QVariant(quantity));
    m_handled = m_passed = m_failed = 0;
    m_label = Label::None;
    m_running = true;
    m_started = false;
    m_stopAsked = false;
    StoreValues();
    m_timer->start(m_plan.stepMs);
}

void H950HdlrStandIn::Step()
{
    if (!m_running || m_inStep)
        return;
    // The host pumps its messages inside the events (HandlerEvent42): a tick
    // that comes meanwhile waits for this step's end.
    m_inStep = true;
    try {
        if (!m_started) {
            BeginSession();
        } else if (!m_stopAsked && !OpenLabel()) {
            // The editor's window is not there yet (a stop need not wait for
            // it).
        } else if (m_quantity < 1) {
            Finish(kBadQuantity);
        } else if (m_sockets.isEmpty()) {
            Finish(kNoSockets);
        } else if (m_stopAsked) {
            Finish(kStopped);
        } else if (m_passed >= m_quantity) {
            Finish(m_plan.result);
        } else if (m_plan.jamAt != 0 && m_handled + 1 == m_plan.jamAt) {
            Finish(kJammed);
        } else if (m_plan.stopAt != 0 && m_handled + 1 == m_plan.stopAt) {
            // The operator pressed the handler's own Stop: the host stops
            // its run, and the handler ends its session itself.
            RaiseEvent.HandlerAbortCommand();
            Finish(kStopped);
        } else {
            RunDevice();
        }
    } catch (...) {
        m_inStep = false;
        throw;
    }
    m_inStep = false;
    if (m_running)
        m_timer->start(m_label == Label::WaitingForEditor ? std::max(m_plan.stepMs, kEditorPollMs) : m_plan.stepMs);
}

void H950HdlrStandIn::BeginSession()
{
    m_started = true;
    // The handler starts only with a device chosen on the station; one that
    // does not answer is taken to have one.
    bool deviceChosen = true;
    RaiseEvent.RequestFlag43(deviceChosen);
    if (!deviceChosen) {
        m_running = false;
        RaiseEvent.HandlerStatusText11(QStringLiteral("No device is selected: the handler does not start."));
        RaiseEvent.JobComplete(kNoDevice);
        return;
    }
    if (!m_plan.loadFile.isEmpty())
        RaiseEvent.LoadSealbookAutoFileRequest(PlannedFile(m_plan.loadFile, false), 0);
    if (m_plan.quantity > 0) {
        // Typed and confirmed on the handler's panel: the station's
        // quantity box follows.
        m_quantity = m_plan.quantity;
        Store(H950HdlrId::Quantity, QVariant(m_quantity));
        RaiseEvent.HandlerQuantityChanged(m_quantity);
        RaiseEvent.HandlerEvent16();
    }
    if (!m_plan.serial.isEmpty())
        Store(H950HdlrId::SerialNumber, m_plan.serial);
    const QString serial = Stored(H950HdlrId::SerialNumber).toString();
    if (!serial.isEmpty())
        RaiseEvent.HandlerSerialNumberReport(serial);
    qint32 pins = 0;
    RaiseEvent.RequestPinCount(pins);
    if (pins > 0)
        RaiseEvent.HandlerStatusText11(QStringLiteral("Socket kit for %1 pins").arg(pins));
    RaiseEvent.StartPowerSupplyLog();
    // An action that cannot repeat runs on one device only.
    bool repeatable = true;
    RaiseEvent.RequestActionRepeatable(repeatable);
    if (!repeatable && m_quantity > 1) {
        m_quantity = 1;
        Store(H950HdlrId::Quantity, QVariant(m_quantity));
        RaiseEvent.HandlerStatusText11(QStringLiteral("The action does not repeat: the handler runs one device."));
    }
    m_startTime = QDateTime::currentDateTime();
    m_clock.start();
    m_waitedMs = 0;
    RaiseEvent.SessionStarted();
    RaiseEvent.SessionOperationBegan();
    Waiting([&] { RaiseEvent.AskJobId(); });
    // Labels only for a session that will run devices (the host may have
    // stopped it as it started).
    if (!m_plan.labelFile.isEmpty() && m_quantity >= 1 && !m_sockets.isEmpty() && !m_stopAsked) {
        m_labelFile = PlannedFile(m_plan.labelFile, true);
        RaiseEvent.InitLabelPrintRequest(m_labelFile);
        m_label = Label::WaitingForEditor;
        m_labelWait.start();
    }
    StoreReportValues();
}

bool H950HdlrStandIn::OpenLabel()
{
    if (m_label != Label::WaitingForEditor)
        return true;
    // An editor that never shows is the host's to report when the keys find
    // no window: the session goes on after the wait.
    if (!EditorWindowShown() && !m_labelWait.hasExpired(kEditorWaitMs))
        return false;
    // The handler stood still for the label printer.
    m_waitedMs += m_labelWait.elapsed();
    m_label = Label::Open;
    RaiseEvent.OpenLabelFileRequest(m_labelFile);
    if (m_plan.labelMove >= 0)
        RaiseEvent.HandlerEvent20(m_plan.labelMove);
    return true;
}

QString H950HdlrStandIn::PlannedFile(const QString& name, bool labelFolder)
{
    if (QDir::isAbsolutePath(name))
        return name;
    QString folder;
    if (labelFolder)
        RaiseEvent.RequestLabelPrinterDirectory(folder);
    else
        RaiseEvent.RequestEngineDirectory(folder);
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

template <class F>
void H950HdlrStandIn::Waiting(F&& raise)
{
    QElapsedTimer waited;
    waited.start();
    raise();
    m_waitedMs += waited.elapsed();
}

void H950HdlrStandIn::RunDevice()
{
    const qint32 site = m_sockets.at(m_handled % m_sockets.size());
    ++m_handled;
    RaiseEvent.SiteStatusChanged(site, SiteStatus::ReadyToPlace, 0);
    RaiseEvent.SiteStatusChanged(site, SiteStatus::Ready, 0);
    RaiseEvent.SiteStatusChanged(site, SiteStatus::Active, 0);
    // A media-transfer job only moves the device.
    qint32 deviceResult = 0;
    if (!m_plan.mediaTransfer) {
        deviceResult = -1;
        Waiting([&] { RaiseEvent.RepeatCommandRequest(site, deviceResult); });
    }
    if (deviceResult == 0) {
        ++m_passed;
        RaiseEvent.SiteStatusChanged(site, SiteStatus::Passed, 0);
        if (m_label == Label::Open)
            RaiseEvent.HandlerEvent17();
    } else {
        ++m_failed;
        RaiseEvent.SiteStatusChanged(site, SiteStatus::Failed, deviceResult);
    }
    RaiseEvent.SiteStatusChanged(site, SiteStatus::ReadyToPick, 0);
    StoreValues();
    StoreReportValues();
    RaiseEvent.RunStatisticsChanged(m_passed, m_failed, 0, m_quantity - m_passed, 0, 0, 0);
    RaiseEvent.HandlerEvent42();
}

void H950HdlrStandIn::Finish(qint32 result)
{
    m_running = false;
    StoreValues();
    if (m_label != Label::None) {
        if (m_label == Label::Open && m_plan.labelMove >= 0)
            RaiseEvent.HandlerEvent19();
        m_label = Label::None;
        RaiseEvent.HandlerEvent22();
    }
    StoreReportValues();
    Store(H950HdlrId::JobEndTime, QDateTime::currentDateTime());
    RaiseEvent.JobComplete(result);
    RaiseEvent.SessionStopped();
    if (!m_plan.saveFile.isEmpty()) {
        // An auto file holds a job: without one there is nothing to save.
        qint32 jobOpen = 1;
        RaiseEvent.RequestFlag26(jobOpen);
        if (jobOpen != 0)
            RaiseEvent.HandlerMessage46(PlannedFile(m_plan.saveFile, false), 0, 1);
        else
            RaiseEvent.HandlerStatusText11(QStringLiteral("No job is open: the auto file is not saved."));
    }
}

void H950HdlrStandIn::StoreReportValues()
{
    using namespace H950HdlrId;
    const qint64 elapsed = m_clock.isValid() ? m_clock.elapsed() : 0;
    Store(JobStartTime, m_startTime);
    Store(JobRunTime, PerHour(m_handled, elapsed));
    Store(PotentialUnitsPerHour, PerHour(m_handled, elapsed - m_waitedMs));
    Store(DelayTime, Duration(m_waitedMs));
    Store(BinCount, qint32(2));
    const struct
    {
        qint32 bin;
        const char* label;
        qint32 count;
        qint32 failureBin;
    } bins[] = {{kPassBin, "Pass", m_passed, 0}, {kRejectBin, "Reject", m_failed, 1}};
    for (const auto& b : bins) {
        const QVariantList at{b.bin};
        Store(BinLabelAt, QString::fromLatin1(b.label), at);
        Store(BinCountAt, b.count, at);
        Store(BinFlagAAt, b.failureBin, at);
        Store(BinFlagBAt, qint32(0), at);
    }
    Store(AutoHandlerInUse, VbBool(m_plan.mediaTransfer));
    const bool inspecting = !m_plan.inspectionFile.isEmpty();
    Store(HandlerKind, qint32(inspecting ? 1 : 0));
    if (inspecting) {
        Store(InspectionFileName, m_plan.inspectionFile);
        Store(InspectionProgramNumber, qint32(1));
        Store(PartsInspected, m_handled);
        for (qint32 i = 0; i < 8; ++i) {
            const QVariantList at{i};
            Store(InspectionLabelAt, QString::fromLatin1(kInspectionChecks[i]), at);
            Store(InspectionPassedAt, m_handled, at);
            Store(InspectionFailedAt, qint32(0), at);
        }
    }
    // What the environment sets stays as it was set.
    ApplyReportValues();
}

void H950HdlrStandIn::StoreValues()
{
    Store(H950HdlrId::HandlerValue1, QVariant(m_handled));
    Store(H950HdlrId::HandlerValue2, QVariant(std::max(m_quantity - m_passed, 0)));
    Store(H950HdlrId::HandlerValue3, QVariant(m_passed));
    Store(H950HdlrId::HandlerValue4, QVariant(m_failed));
}

void H950HdlrStandIn::ApplyPanelValues(const H950HdlrPlan& plan)
{
    using namespace H950HdlrId;
    if (plan.newerEditor)
        Store(LabelerValue67, VbBool(*plan.newerEditor));
    if (plan.emptySocketTest)
        Store(EmptySocketTestInterval, qint32(*plan.emptySocketTest));
    if (plan.markerLines)
        StoreMarkerLines(*plan.markerLines);
}

void H950HdlrStandIn::StoreMarkerLines(const QStringList& lines)
{
    using namespace H950HdlrId;
    // Lines of an earlier, longer marking are gone.
    const qint32 before = Stored(LaserMarkerLineCount).toInt();
    for (qint32 i = qint32(lines.size()); i < before; ++i)
        Store(LaserMarkerLineAt, QString(), {QVariant(i)});
    Store(LaserMarkerLineCount, qint32(lines.size()));
    for (qint32 i = 0; i < lines.size(); ++i)
        Store(LaserMarkerLineAt, lines.at(i), {QVariant(i)});
}

void H950HdlrStandIn::ApplyReportValues()
{
    handlerplan::ForEachReportValue("TARVO_H950_VALUES",
                                    [this](const QString& member, const QVariantList& index, const QVariant& value) {
                                        const int dispid = GetIDOfName(member);
                                        if (dispid >= 0)
                                            Store(dispid, value, index);
                                    });
}
