#include "ManualHdlStandIn.h"

#include "simplan/NotSimulated.h"
#include "simplan/ReportValues.h"

#include "ManualHdlPlan.h"

#include "engine/EngineCodes.h"
#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <limits>
#include <QEventLoop>
#include <QTimer>
#include <QVector>

namespace {

// The operator gives up after this many rounds in a row without a pass.
constexpr int kRoundsWithoutPass = 3;
// While it waits for a client the session asks the host this often whether
// it was aborted; a client's notice or AbortSession ends the wait at once.
constexpr int kAbortPollMs = 50;

bool ContainsAll(const QSet<qint32>& set, const QVector<qint32>& items)
{
    for (const qint32 item : items) {
        if (!set.contains(item))
            return false;
    }
    return true;
}

} // namespace

ManualHdlStandIn::ManualHdlStandIn()
    : DispatchObject(QString::fromLatin1(ManualHdlControl::ClassName), ManualHdlControl::Members()),
      m_deviceArbiter(std::make_shared<ArbiterStandIn>(QString::fromLatin1(ManualHdlDeviceArbiterControl::ClassName),
                                                       ManualHdlDeviceArbiterControl::Members())),
      m_socketArbiter(std::make_shared<ArbiterStandIn>(QString::fromLatin1(ManualHdlSocketArbiterControl::ClassName),
                                                       ManualHdlSocketArbiterControl::Members()))
{
    const auto notice = [this](const QString& member, const QVariantList& args) { Notice(member, args); };
    m_deviceArbiter->SetListener(notice);
    m_socketArbiter->SetListener(notice);
    On(ManualHdlId::ThreadCommUtil,
       [this](InvokeKind, QVariantList&) { return companion::ObjectValue(m_socketArbiter); });
    On(ManualHdlId::SetHostWindowHandle, [this](InvokeKind, QVariantList& args) {
        m_hostWindowHandle = Arg(args, 0, ValueKind::Variant).toLongLong();
        AnnounceAutomation();
        return QVariant();
    });
    On(ManualHdlId::RunConcurrentSession, [this](InvokeKind, QVariantList& args) {
        return QVariant(
            RunConcurrentSession(Arg(args, 0, ValueKind::Long).toInt(), Arg(args, 1, ValueKind::Long).toInt()));
    });
    On(ManualHdlId::AbortSession, [this](InvokeKind, QVariantList&) {
        // Only a running session ends; an abort while idle is forgotten.
        if (m_running)
            m_abortRequested = true;
        if (m_wait)
            m_wait->quit();
        return QVariant();
    });
    // Units per hour of the last session (or as the environment sets it,
    // ApplyReportValues).
    Stores({ManualHdlId::SessionValue1004});
    Raises({"SessionOperationBegan", "SiteStatusChanged", "RunStatisticsChanged", "IsSessionAborted",
            "RepeatCommandRequest", "SetThreadCommUtilPtr", "SetDeviceAutomationArbiter", "AbortSession",
            "MasterSiteRequest"});
    DeclareNotSimulated(simulation::kNotSimulated);
    ApplyReportValues();
}

ManualHdlStandIn::~ManualHdlStandIn()
{
    // The host may hold the arbiters longer: they tell nobody from now on.
    m_deviceArbiter->SetListener({});
    m_socketArbiter->SetListener({});
}

void ManualHdlStandIn::Notice(const QString& member, const QVariantList& args)
{
    const qint32 value = args.isEmpty() ? 0 : args.first().toInt();
    if (member == QLatin1String("NotifyDevicePlaced"))
        m_placed.insert(value);
    else if (member == QLatin1String("NotifyDevicePicked"))
        m_picked.insert(value);
    else if (member == QLatin1String("NotifySiteClosed"))
        m_closed.insert(value);
    else if (member == QLatin1String("NotifySiteOpened"))
        m_opened.insert(value);
    else if (member == QLatin1String("NotifyBeginPartialSites"))
        m_partialsAsked = true;
    else if (member == QLatin1String("AttachThreadCommUtil"))
        m_socketAttached = true;
    else if (member == QLatin1String("NotifyDoubleAbort") && m_running)
        m_abortRequested = true;
    if (m_wait)
        m_wait->quit();
}

void ManualHdlStandIn::RaiseSiteStatus(qint32 site, qint32 status, qint32 code)
{
    if (m_tracing) {
        // Taken before the host hears of it: the trace measures the host.
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        m_trace += QByteArray::number(qint64(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())) + ' '
            + QByteArray::number(site) + ' ' + QByteArray::number(status) + '\n';
    }
    RaiseEvent.SiteStatusChanged(site, status, code);
}

void ManualHdlStandIn::WriteTrace()
{
    if (!m_tracing || m_trace.isEmpty())
        return;
    QFile file(qEnvironmentVariable("TARVO_MANUALHDL_TRACE"));
    if (file.open(QIODevice::Append))
        file.write(m_trace);
    m_trace.clear();
}

bool ManualHdlStandIn::WaitFor(const std::function<bool()>& done)
{
    while (!done()) {
        if (Aborted())
            return false;
        QEventLoop loop;
        m_wait = &loop;
        QTimer::singleShot(kAbortPollMs, &loop, &QEventLoop::quit);
        loop.exec();
        m_wait = nullptr;
    }
    return !m_abortRequested;
}

void ManualHdlStandIn::AnnounceAutomation()
{
    // The session runs on the host's thread: there is no thread pointer to
    // hand over, only the value the socket arbiter is attached with.
    RaiseEvent.SetThreadCommUtilPtr(0);
    RaiseEvent.SetDeviceAutomationArbiter(companion::ObjectValue(m_deviceArbiter));
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
    if (mode < 0 || mode > 2)
        return kModeNotAvailable;
    m_running = true;
    m_abortRequested = false;
    m_tracing = !qEnvironmentVariableIsEmpty("TARVO_MANUALHDL_TRACE");
    m_devicesRun = 0;
    m_sessionClock.start();
    qint32 result = 0;
    try {
        result = mode == 0 ? RunOperatorSession(copies) : RunClientSession(copies, mode);
    } catch (...) {
        m_wait = nullptr;
        m_running = false;
        WriteTrace();
        throw;
    }
    m_running = false;
    WriteTrace();
    StoreUnitsPerHour();
    return result;
}

qint32 ManualHdlStandIn::RunOperatorSession(qint32 copies)
{
    const ManualHdlPlan plan = ManualHdlPlan::Read();
    const QVector<qint32> sockets = SocketsToFill(plan);
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
            RaiseSiteStatus(site, SiteStatus::Ready, 0);
        }
        const qint32 passedBefore = passed;
        for (qsizetype i = 0; i < round.size(); ++i) {
            RunDevice(round.at(i), copies, qint32(round.size() - i - 1), passed, failed);
            Pump(0);
            if (m_abortRequested)
                return 0;
        }
        roundsWithoutPass = passed == passedBefore ? roundsWithoutPass + 1 : 0;
        if (roundsWithoutPass >= kRoundsWithoutPass)
            return kNothingPasses;
    }
    // Every copy passed: the master site, which closes the session, is
    // shown passed.
    RaiseEvent.MasterSiteRequest();
    return plan.result;
}

QVector<qint32> ManualHdlStandIn::SocketsToFill(const ManualHdlPlan& plan) const
{
    QVector<qint32> sockets;
    for (qint32 site = 1; site <= plan.sites; ++site) {
        if (!plan.empty.contains(site))
            sockets << site;
    }
    return sockets;
}

void ManualHdlStandIn::StoreUnitsPerHour()
{
    // Only a session that ran devices has a rate; the last one stays else.
    if (m_devicesRun > 0) {
        const qint64 ms = std::max<qint64>(m_sessionClock.elapsed(), 1);
        const qint64 perHour = qint64(m_devicesRun) * 3600000 / ms;
        Store(ManualHdlId::SessionValue1004, qint32(std::min<qint64>(perHour, std::numeric_limits<qint32>::max())));
    }
    ApplyReportValues();
}

void ManualHdlStandIn::RunDevice(qint32 site, qint32 copies, qint32 active, qint32& passed, qint32& failed)
{
    ++m_devicesRun;
    RaiseSiteStatus(site, SiteStatus::Active, 0);
    qint32 deviceResult = -1;
    RaiseEvent.RepeatCommandRequest(site, deviceResult);
    if (deviceResult == 0) {
        ++passed;
        RaiseSiteStatus(site, SiteStatus::Passed, 0);
    } else {
        ++failed;
        RaiseSiteStatus(site, SiteStatus::Failed, deviceResult);
    }
    RaiseEvent.RunStatisticsChanged(passed, failed, active, copies - passed, 0, 0);
}

qint32 ManualHdlStandIn::RunClientSession(qint32 copies, qint32 mode)
{
    const ManualHdlPlan plan = ManualHdlPlan::Read();
    const QVector<qint32> sockets = SocketsToFill(plan);
    if (sockets.isEmpty())
        return kNoSockets;

    m_socketAttached = false;
    AnnounceAutomation();
    // Without a client on the arbiters nobody would ever place a device.
    if (!m_deviceArbiter->Bound() || (mode == 2 && !(m_socketArbiter->Bound() && m_socketAttached)))
        return kModeNotAvailable;
    const bool socketRound = mode == 2;
    // The socket arbiter speaks the client's numbers, from 0.
    const auto clientSocket = [](qint32 site) { return site - 1; };

    RaiseEvent.SessionOperationBegan();
    m_partialsAsked = false;
    qint32 passed = 0;
    qint32 failed = 0;
    int asked = 0;
    int roundsWithoutPass = 0;
    while (passed < copies) {
        if (Aborted())
            return 0;
        QVector<qint32> wanted;
        for (const qint32 site : sockets) {
            if (passed + wanted.size() >= copies)
                break;
            if (plan.abortAt != 0 && asked + 1 == plan.abortAt) {
                m_abortRequested = true;
                RaiseEvent.AbortSession();
                return 0;
            }
            ++asked;
            wanted << site;
        }
        m_placed.clear();
        m_picked.clear();
        m_closed.clear();
        m_opened.clear();
        for (const qint32 site : wanted)
            RaiseDeviceEvent.DeviceReadyToPlace(site);

        // Every socket placed, or the client begins on those placed so far.
        bool partial = false;
        const bool placed = WaitFor([&] {
            if (ContainsAll(m_placed, wanted))
                return true;
            if (m_partialsAsked && !m_placed.isEmpty()) {
                m_partialsAsked = false;
                bool begin = false;
                RaiseDeviceEvent.GotBeginPartials(begin);
                partial = begin;
            }
            return partial;
        });
        if (!placed)
            return 0;
        if (partial)
            RaiseDeviceEvent.ResetBeginPartialsFlag();
        QVector<qint32> round;
        for (const qint32 site : wanted) {
            if (m_placed.contains(site))
                round << site;
        }

        if (socketRound) {
            QVector<qint32> closing;
            for (const qint32 site : round) {
                closing << clientSocket(site);
                RaiseSocketEvent.SiteReadyToClose(clientSocket(site));
            }
            if (!WaitFor([&] { return ContainsAll(m_closed, closing); }))
                return 0;
        }

        for (const qint32 site : round)
            RaiseSiteStatus(site, SiteStatus::Ready, 0);
        const qint32 passedBefore = passed;
        for (qsizetype i = 0; i < round.size(); ++i) {
            RunDevice(round.at(i), copies, qint32(round.size() - i - 1), passed, failed);
            Pump(0);
            if (m_abortRequested)
                return 0;
        }

        if (socketRound) {
            QVector<qint32> opening;
            for (const qint32 site : round) {
                opening << clientSocket(site);
                RaiseSocketEvent.SiteReadyToOpen(clientSocket(site));
            }
            if (!WaitFor([&] { return ContainsAll(m_opened, opening); }))
                return 0;
        }
        for (const qint32 site : round)
            RaiseDeviceEvent.DeviceReadyToPick(site);
        if (!WaitFor([&] { return ContainsAll(m_picked, round); }))
            return 0;

        roundsWithoutPass = passed == passedBefore ? roundsWithoutPass + 1 : 0;
        if (roundsWithoutPass >= kRoundsWithoutPass)
            return kNothingPasses;
    }
    // Every copy passed: the master site, which closes the session, is
    // shown passed.
    RaiseEvent.MasterSiteRequest();
    return plan.result;
}

void ManualHdlStandIn::ApplyReportValues()
{
    handlerplan::ForEachReportValue("TARVO_MANUALHDL_VALUES",
                                    [this](const QString& member, const QVariantList& index, const QVariant& value) {
                                        const int dispid = GetIDOfName(member);
                                        if (dispid >= 0)
                                            Store(dispid, value, index);
                                    });
}
