// From SelectDevice to the operation window rebuilt for the device: its
// action tabs, the option rows of the first tab, the summary lines, and the
// repaint that follows. Over the simulated engine (QXPgmr.ocx) with the
// shipped database, in a temporary registry, headless.
//
// BM_SelectDevice/SL18F4550: every standard tab and a custom action.
// BM_SelectDevice/KS85T: three custom actions.
// BM_SelectDeviceOtherTabs: SL18F4550 and KS85T in turn, so that every
// selection also moves the per-tab choices through the registry.
//
// bench_device_selection [google benchmark flags]

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "operation/TabStrip.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

frmProgram* gWindow = nullptr;

void Measure(benchmark::State& state, const QStringList& devices)
{
    int i = 0;
    for (auto _ : state) {
        const QString& device = devices.at(i++ % devices.size());
        const auto start = std::chrono::steady_clock::now();
        const bool selected = gWindow->SelectDevice(device);
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!selected) {
            state.SkipWithError("the engine did not select the device");
            break;
        }
    }
}

void BM_SelectDevice(benchmark::State& state, const char* device)
{
    gWindow->SelectDevice(QLatin1String(device)); // the tabs' choices settle first
    Measure(state, {QLatin1String(device)});
    state.counters["tabs"] = double(gWindow->tabOperation->Count());
}

void BM_SelectDeviceOtherTabs(benchmark::State& state)
{
    Measure(state, {QStringLiteral("SL18F4550"), QStringLiteral("KS85T")});
}

BENCHMARK_CAPTURE(BM_SelectDevice, SL18F4550, "SL18F4550")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SelectDevice, KS85T, "KS85T")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectDeviceOtherTabs)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);

    if (!RegisterPlugin(QStringLiteral("BayCtrl.ocx")))
        return 1;
    StationWiring wiring;
    if (!AttachStandInEngine(wiring.engine()))
        return 1;
    if (!LoadShippedDatabase(wiring.engine()))
        return 1;
    frmProgram* window = &wiring.CreateOperationWindow();
    gWindow = window;
    window->Form_Load();
    window->resize(1200, 900);
    window->show();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
