#include "ManualHdlStandIn.h"

#include "simplan/ReportValues.h"

#include "ManualHdlPlan.h"

#include "engine/EngineCodes.h"
#include "engine/ManualHdlControl.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QVector>

namespace {

// The operator gives up after this many rounds in a row without a pass.
constexpr int kRoundsWithoutPass = 3;

} // namespace

ManualHdlStandIn::ManualHdlStandIn()
    : DispatchObject(QString::fromLatin1(ManualHdlControl::ClassName), ManualHdlControl::Members())
{
    On(ManualHdlId::SetHostWindowHandle, [this](InvokeKind, QVariantList& args) {
        m_hostWindowHandle = Arg(args, 0, ValueKind::Variant).toLongLong();
        AnnounceAutomation();
        return QVariant();
    });
    On(ManualHdlId::RunConcurrentSession, [this](InvokeKind, QVariantList& args) {
        return QVariant(RunConcurrentSession(Arg(args, 0, ValueKind::Long).toInt(), Arg(args, 1, ValueKind::Long).toInt()));
    });
    On(ManualHdlId::AbortSession, [this](InvokeKind, QVariantList&) {
        // Only a running session ends; an abort while idle is forgotten.
        if (m_running)
            m_abortRequested = true;
        return QVariant();
    });
    ApplyReportValues();
}

void ManualHdlStandIn::AnnounceAutomation()
{
    // No thread utility and no device arbiter of its own: the automation
    // layer is told so.
    RaiseEvent.SetThreadCommUtilPtr(0);
    RaiseEvent.SetDeviceAutomationArbiter(QVariant());
}

void ManualHdlStandIn::Pump(int ms)
{
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool ManualHdlStandIn::Aborted()
{
    if (m_abortRequested)
        return true;
    bool asked = false;
    RaiseEvent.IsSessionAborted(asked);
    return m_abortRequested || asked;
}

qint32 ManualHdlStandIn::RunConcurrentSession(qint32 copies, qint32 mode)
{
    if (copies < 1)
        return kBadQuantity;
    if (m_running)
        return kBusy;
    if (mode != 0)
        return kModeNotAvailable;
    m_running = true;
    m_abortRequested = false;
    qint32 result = 0;
    try {
        result = RunOperatorSession(copies);
    } catch (...) {
        m_running = false;
        throw;
    }
    m_running = false;
    return result;
}

qint32 ManualHdlStandIn::RunOperatorSession(qint32 copies)
{
    const ManualHdlPlan plan = ManualHdlPlan::Read();
    QVector<qint32> sockets;
    for (qint32 site = 1; site <= plan.sites; ++site) {
        if (!plan.empty.contains(site))
            sockets << site;
    }
    if (sockets.isEmpty())
        return kNoSockets;

    AnnounceAutomation();
    RaiseEvent.SessionOperationBegan();
    qint32 passed = 0;
    qint32 failed = 0;
    int placed = 0;
    int roundsWithoutPass = 0;
    while (passed < copies) {
        if (Aborted())
            return 0;
        // The operator fills as many sockets as devices are still to pass.
        QVector<qint32> round;
        for (const qint32 site : sockets) {
            if (passed + round.size() >= copies)
                break;
            if (plan.abortAt != 0 && placed + 1 == plan.abortAt) {
                // The handler's own abort: the host presses Stop.
                m_abortRequested = true;
                RaiseEvent.AbortSession();
                return 0;
            }
            Pump(plan.delayMs);
            if (Aborted())
                return 0;
            ++placed;
            round << site;
            RaiseEvent.SiteStatusChanged(site, SiteStatus::Ready, 0);
        }
        const qint32 passedBefore = passed;
        for (qsizetype i = 0; i < round.size(); ++i) {
            const qint32 site = round.at(i);
            RaiseEvent.SiteStatusChanged(site, SiteStatus::Active, 0);
            qint32 deviceResult = -1;
            RaiseEvent.RepeatCommandRequest(site, deviceResult);
            if (deviceResult == 0) {
                ++passed;
                RaiseEvent.SiteStatusChanged(site, SiteStatus::Passed, 0);
            } else {
                ++failed;
                RaiseEvent.SiteStatusChanged(site, SiteStatus::Failed, deviceResult);
            }
            const qint32 active = qint32(round.size() - i - 1);
            RaiseEvent.RunStatisticsChanged(passed, failed, active, copies - passed, 0, 0);
            Pump(0);
            if (m_abortRequested)
                return 0;
        }
        roundsWithoutPass = passed == passedBefore ? roundsWithoutPass + 1 : 0;
        if (roundsWithoutPass >= kRoundsWithoutPass)
            return kNothingPasses;
    }
    return plan.result;
}

void ManualHdlStandIn::ApplyReportValues()
{
    handlerplan::ForEachReportValue("TARVO_MANUALHDL_VALUES", [this](const QString& member, const QVariantList& index, const QVariant& value) {
        const int dispid = GetIDOfName(member);
        if (dispid >= 0)
            Store(dispid, value, index);
    });
}
