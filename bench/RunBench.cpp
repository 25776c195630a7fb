// A long run through the Action button: 100,000 devices on a single-site
// model, each answered at once by an in-process engine that raises what the
// engine raises per device (site active, a pump, a step's progress and
// completion, site passed), with the scripted UI answering every prompt.
//
// Yardstick in the same run: the same engine calls made directly, with a sink
// that does nothing, so that the figure left is the program's own time per
// device-site result. Resident memory is sampled every 10,000 devices.
//
// Then (b): the same number of devices over the 8 sites of "RG-1080/8",
// driven as the manual handler drives a concurrent session: the simulated
// engine (QXPgmr.ocx, zero delay) and the simulated manual handler
// (ManualHdl.ocx) with their events through the main window, Action pressed
// once. Its yardstick: the engine's own calls for every device
// (MarkSiteReady, RepeatSiteCommand, MarkSiteFinished) into a sink that only
// answers the set-up request with the command to run. Resident memory every
// 10,000 devices. With TARVO_BENCH_HIDDEN set the window of (b) is not shown
// (no repaint per device), to tell the painting from the rest.
//
// bench_run [devices]   (default 100000)

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"
#include "engine/EngineCodes.h"
#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"
#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"
#include "platform/ScriptedUiService.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>
#include <vector>
#include <chrono>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

using namespace QXPgmrId;

// What the engine raises for one device, to whoever listens.
struct DeviceSink
{
    std::function<void(qint32 site, qint32 status, qint32 code)> siteStatus;
    std::function<void(qint32 code, qint32 value)> progress;
    std::function<void(qint32 code)> complete;
};

class ZeroDelayEngine : public DispatchObject
{
public:
    ZeroDelayEngine()
        : DispatchObject(QStringLiteral("QXPGMRLib.QXPgmr"), QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
        Store(SiteCount, QVariant::fromValue<qint32>(1));
        Store(SiteSlotCount, QVariant::fromValue<qint16>(1));
        Store(PortIndex, QVariant::fromValue<qint32>(1));
        Store(MasterSite, QVariant::fromValue<qint32>(1));
        Store(DeviceName, QStringLiteral("PART"));
        Store(DeviceSupportsProgram, VbBool(true));
        // The summary at the end would wait for the operator.
        Store(SilentMode, VbBool(true));
        On(ExecuteDeviceCommand, [this](InvokeKind, QVariantList&) {
            ++devices;
            sink.siteStatus(1, SiteStatus::Active, 0);
            sink.progress(ProgressCode::Pump, 0);
            sink.progress(5, 50);
            sink.complete(5);
            sink.siteStatus(1, SiteStatus::Passed, 0);
            if (devices % 10000 == 0 && onTenThousand)
                onTenThousand(devices);
            return QVariant::fromValue<qint16>(0);
        });
    }

    // The engine's events as the main window receives them.
    QXPgmrEventRaisers RaiseEvent{[this](const QString& name, QVariantList& args) { Raise(name, args); }};

    DeviceSink sink;
    qint64 devices = 0;
    std::function<void(qint64)> onTenThousand;
};

// Every box answers OK and nothing is kept of it: the scripted service's
// record of each box would grow with the run.
class AnsweringUi : public ScriptedUiService
{
public:
    AnsweringUi()
        : ScriptedUiService({}, WhenExhausted::DefaultAnswer)
    {
    }
    int MsgBox(const QString&, int, const QString&) override { return vb::vbOK; }
};

double ResidentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Engine event to the bar (or the site box) changed, through the bridge and
// by a direct call of the window's member.
void ReportBridgeLatency(ZeroDelayEngine& engine, frmProgram& window)
{
    using clock = std::chrono::steady_clock;
    const auto ms = [](clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    constexpr int kRow = 2; // progress code 5 moves the third row's bar
    QProgressBar* bar = window.ProgressBar1[kRow];
    const int rounds = 20000;
    std::vector<double> viaBridge, direct, siteViaBridge;
    for (int i = 0; i < rounds; ++i) {
        const qint32 value = 1 + i % 98;
        auto t = clock::now();
        engine.RaiseEvent.OperationProgress(5, value);
        viaBridge.push_back(ms(clock::now() - t));
        if (bar->value() != value)
            std::fprintf(stderr, "the bar did not follow the event\n");
        t = clock::now();
        window.SetOperationProgress(5, 99 - value);
        direct.push_back(ms(clock::now() - t));
        const qint32 status = i % 2 ? SiteStatus::Passed : SiteStatus::Active;
        t = clock::now();
        engine.RaiseEvent.SiteStatusFromEngine(status, 0);
        siteViaBridge.push_back(ms(clock::now() - t));
    }
    std::printf("bridge latency (ms)    p50 / p99: event to bar %.4f / %.4f, direct call %.4f / %.4f\n",
                Percentile(viaBridge, 0.5), Percentile(viaBridge, 0.99), Percentile(direct, 0.5),
                Percentile(direct, 0.99));
    std::printf("                       event to site box %.4f / %.4f\n", Percentile(siteViaBridge, 0.5),
                Percentile(siteViaBridge, 0.99));
}

} // namespace

namespace {

// (a) The device loop on a single site.
bool RunDeviceLoopBench(qint64 devices)
{
    std::printf("(a) device loop, one site\n");
    StationWiring wiring;
    auto* engine = new ZeroDelayEngine;
    wiring.AttachEngine(std::unique_ptr<IDispatchControl>(engine));
    frmMain& main = wiring.main();
    main.bEnableEvent = true;
    frmProgram& window = wiring.CreateOperationWindow();
    window.Form_Load();
    window.resize(frmProgram::kMinimumWidth / 15, frmProgram::kMinimumHeight / 15);
    window.show();
    window.pgmrData().blnDeviceSelected = true;
    window.udtAction = 1;
    window.SetButtonStates();

    // Yardstick: the engine's calls with a sink that does nothing.
    engine->sink = {[](qint32, qint32, qint32) {}, [](qint32, qint32) {}, [](qint32) {}};
    QXPgmrControl& control = main.QXProgrammer;
    auto start = std::chrono::steady_clock::now();
    for (qint64 i = 0; i < devices; ++i) {
        qint32 command = 4;
        control.CurrentDataPosition(0);
        control.CurrentBank(0);
        control.ExecuteDeviceCommand(command, false, false);
        control.PortIndex();
        control.IsStopResult(0);
    }
    const double yardstick = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // The run: the engine's events reach the window through the main
    // window's bridge, as in the station.
    engine->SetEventSink(&main);
    engine->devices = 0;
    engine->sink = {[&](qint32, qint32 status, qint32 code) { engine->RaiseEvent.SiteStatusFromEngine(status, code); },
                    [&](qint32 code, qint32 value) { engine->RaiseEvent.OperationProgress(code, value); },
                    [&](qint32 code) { engine->RaiseEvent.OperationComplete(code); }};
    QList<double> resident;
    engine->onTenThousand = [&](qint64) { resident << ResidentMegabytes(); };
    // More devices than the box takes: the count is set as the settings set it.
    main.station().LoadQuantity(qint32(devices));
    start = std::chrono::steady_clock::now();
    window.btnAction_Click();
    const double run = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("devices run            %lld (passed %d)\n", static_cast<long long>(engine->devices),
                window.lngNumPassed);
    std::printf("run                    %.3f s\n", run);
    std::printf("yardstick              %.3f s\n", yardstick);
    std::printf("program per result     %.4f ms\n", (run - yardstick) * 1000.0 / double(std::max<qint64>(devices, 1)));
    std::printf("resident (MB) per 10k ");
    for (double mb : resident)
        std::printf(" %.1f", mb);
    std::printf("\n");
    if (resident.size() >= 10)
        std::printf("growth 50k to 100k     %.2f MB\n", resident[9] - resident[4]);
    const bool allPassed = window.lngNumPassed == devices;
    ReportBridgeLatency(*engine, window);
    return allPassed;
}

// Hands the manual handler's events to the main window and samples the
// resident memory every 10,000 device results.
class CountingSink : public IEventSink
{
public:
    explicit CountingSink(IEventSink& to)
        : m_to(to)
    {
    }
    void Fire(const QString& eventName, QVariantList& args) override
    {
        m_to.Fire(eventName, args);
        if (eventName == QLatin1String("RepeatCommandRequest") && ++results % 10000 == 0)
            resident << ResidentMegabytes();
    }
    qint64 results = 0;
    QList<double> resident;

private:
    IEventSink& m_to;
};

// Only answers the engine's set-up request: the program command, no variant.
class CommandOnlySink : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        if (eventName == QLatin1String("SetupOperationRequest") && !args.isEmpty())
            args[0] = qint32(4);
    }
};

// (b) A concurrent session over the 8 sites of "RG-1080/8".
bool RunSessionBench(qint64 devices)
{
    std::printf("\n(b) manual-handler session, 8 sites of RG-1080/8\n");
    qputenv("TARVO_ENGINE_FAULTS", "delay=0");
    qputenv("TARVO_ENGINE_MODEL", "RG-1080/8");
    if (!RegisterPlugin(QStringLiteral("ManualHdl.ocx")))
        return false;
    StationWiring wiring;
    frmMain& main = wiring.main();
    QXPgmrControl& engine = main.QXProgrammer;
    if (!AttachStandInEngine(engine))
        return false;
    engine.StartupValue108(QCoreApplication::applicationDirPath());
    if (engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0 || engine.SiteCount() != 8) {
        std::fprintf(stderr, "bench_run: the engine did not load the 8-site model\n");
        return false;
    }
    main.ConcurrentManualHandler.Attach(companion::CreateControl(QString::fromLatin1(ManualHdlControl::ClassName)));
    CountingSink counting(main);
    main.ConcurrentManualHandler.Control()->SetEventSink(&counting);
    main.bEnableEvent = true;
    frmProgram& window = wiring.CreateOperationWindow();
    window.Form_Load();
    window.resize(frmProgram::kMinimumWidth / 15, frmProgram::kMinimumHeight / 15);
    if (qEnvironmentVariableIsEmpty("TARVO_BENCH_HIDDEN"))
        window.show();
    window.Form_Reload(true, QStringLiteral("AM27C512"));
    if (!window.pgmrData().blnDeviceSelected) {
        std::fprintf(stderr, "bench_run: no device selected\n");
        return false;
    }

    // Yardstick: the engine's calls of every device, events into a sink that
    // only answers the command.
    CommandOnlySink quiet;
    engine.Control()->SetEventSink(&quiet);
    auto start = std::chrono::steady_clock::now();
    for (qint64 i = 0; i < devices; ++i) {
        qint32 site = qint32(i % 8) + 1;
        engine.MarkSiteReady(site);
        engine.RepeatSiteCommand(site);
        engine.MarkSiteFinished(site);
    }
    const double yardstick = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    engine.Control()->SetEventSink(&main);
    // The summary at the end would wait for the operator.
    engine.SilentMode(true);
    // More devices than the box takes: the count is set as the settings set it.
    main.station().LoadQuantity(qint32(devices));
    start = std::chrono::steady_clock::now();
    window.btnAction_Click();
    const double run = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("device-site results    %lld (passed %d)\n", static_cast<long long>(counting.results),
                window.lngNumPassed);
    std::printf("run                    %.3f s\n", run);
    std::printf("yardstick              %.3f s\n", yardstick);
    std::printf("program per result     %.4f ms\n",
                (run - yardstick) * 1000.0 / double(std::max<qint64>(counting.results, 1)));
    std::printf("resident (MB) per 10k ");
    for (double mb : counting.resident)
        std::printf(" %.1f", mb);
    std::printf("\n");
    if (counting.resident.size() >= 10)
        std::printf("growth 50k to 100k     %.2f MB\n", counting.resident[9] - counting.resident[4]);
    return window.lngNumPassed == devices;
}

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);
    const qint64 devices = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100000;

    if (!RegisterPlugin(QStringLiteral("BayCtrl.ocx")))
        return 1;
    SetUi(std::make_unique<AnsweringUi>());
    const bool loop = RunDeviceLoopBench(devices);
    const bool session = RunSessionBench(devices);
    return loop && session ? 0 : 1;
}
