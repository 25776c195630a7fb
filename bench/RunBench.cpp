// A long run through the Action button: 100,000 devices on a single-site
// model, each answered at once by an in-process engine that raises what the
// engine raises per device (site active, a pump, a step's progress and
// completion, site passed), with the scripted UI answering every prompt.
//
// Yardstick in the same run: the same engine calls made directly, with a sink
// that does nothing, so that the figure left is the program's own time per
// device-site result. Resident memory is sampled every 10,000 devices.
//
// bench_run [devices]   (default 100000)

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"
#include "engine/EngineCodes.h"
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

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);
    const qint64 devices = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100000;

    if (!RegisterPlugin(QStringLiteral("BayCtrl.ocx")))
        return 1;
    SetUi(std::make_unique<AnsweringUi>());

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
    main.txtNumCopies->setText(QString::number(devices));
    main.lngNumCopies = qint32(devices);
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
    return allPassed ? 0 : 1;
}
