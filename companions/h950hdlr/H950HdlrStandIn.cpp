#include "H950HdlrStandIn.h"

#include "H950HdlrJobFile.h"

#include "simplan/NotSimulated.h"
#include "simplan/ReportValues.h"

#include "engine/EngineCodes.h"
#include "engine/H950HdlrControl.h"

#include <QTimer>

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
            HandlerValue15,
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
    Raises({"SessionStarted", "SiteStatusChanged", "RepeatCommandRequest", "RunStatisticsChanged", "HandlerEvent42",
            "JobComplete", "SessionStopped", "ReadSealbookValueRequest", "WriteSealbookValueRequest"});
    DeclareNotSimulated(simulation::kNotSimulated);
    ApplyReportValues();
}

H950HdlrStandIn::~H950HdlrStandIn() = default;

void H950HdlrStandIn::StartSession(qint32 quantity)
{
    // A second start while a session runs is not a session of its own.
    if (m_running)
        return;
    m_plan = H950HdlrPlan::Read();
    m_sockets.clear();
    for (qint32 site = 1; site <= m_plan.sites; ++site) {
        if (!m_plan.empty.contains(site))
            m_sockets << site;
    }
    m_quantity = quantity;
    Store(H950HdlrId::Quantity, QVariant(quantity));
    m_handled = m_passed = m_failed = 0;
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
            m_started = true;
            RaiseEvent.SessionStarted();
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
        } else {
            RunDevice();
        }
    } catch (...) {
        m_inStep = false;
        throw;
    }
    m_inStep = false;
    if (m_running)
        m_timer->start(m_plan.stepMs);
}

void H950HdlrStandIn::RunDevice()
{
    const qint32 site = m_sockets.at(m_handled % m_sockets.size());
    ++m_handled;
    RaiseEvent.SiteStatusChanged(site, SiteStatus::ReadyToPlace, 0);
    RaiseEvent.SiteStatusChanged(site, SiteStatus::Ready, 0);
    RaiseEvent.SiteStatusChanged(site, SiteStatus::Active, 0);
    qint32 deviceResult = -1;
    RaiseEvent.RepeatCommandRequest(site, deviceResult);
    if (deviceResult == 0) {
        ++m_passed;
        RaiseEvent.SiteStatusChanged(site, SiteStatus::Passed, 0);
    } else {
        ++m_failed;
        RaiseEvent.SiteStatusChanged(site, SiteStatus::Failed, deviceResult);
    }
    RaiseEvent.SiteStatusChanged(site, SiteStatus::ReadyToPick, 0);
    StoreValues();
    RaiseEvent.RunStatisticsChanged(m_passed, m_failed, 0, m_quantity - m_passed, 0, 0, 0);
    RaiseEvent.HandlerEvent42();
}

void H950HdlrStandIn::Finish(qint32 result)
{
    m_running = false;
    StoreValues();
    RaiseEvent.JobComplete(result);
    RaiseEvent.SessionStopped();
}

void H950HdlrStandIn::StoreValues()
{
    Store(H950HdlrId::HandlerValue1, QVariant(m_handled));
    Store(H950HdlrId::HandlerValue2, QVariant(std::max(m_quantity - m_passed, 0)));
    Store(H950HdlrId::HandlerValue3, QVariant(m_passed));
    Store(H950HdlrId::HandlerValue4, QVariant(m_failed));
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
