// Saving the whole job configuration at exit and loading it at start, through
// the real registry (a temporary TARVO_REGISTRY_DIR) and the stand-in engine,
// as the program does: every value through a fresh registry object, the device
// settings kept by name included.
//
// bench_config [google benchmark flags]

#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "settings/ProgrammerClass.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

QXPgmrControl* gEngine = nullptr;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A configuration that differs from the defaults everywhere it can.
void Change(ProgrammerClass& p)
{
    p.strFileName = "pattern.hex";
    p.strFilePath = "/data/patterns/";
    p.bBeepOn = false;
    p.lngHighAddrSave = 0x7FFFF;
    p.strOperatorPwd = "operator15chars";
    p.strDataCaptureReportFileName = "/data/capture/report.txt";
    p.lngDCDiffColor = 0xFF00;
}

// Destroying the object saves its values; the unload saves the engine's
// device settings kept by name.
void BM_SaveAtExit(benchmark::State& state)
{
    for (auto _ : state) {
        auto p = std::make_unique<ProgrammerClass>(gEngine);
        Change(*p);
        const auto start = std::chrono::steady_clock::now();
        p->RunDelayedRegInit(false);
        p.reset();
        state.SetIterationTime(Seconds(start));
    }
}

// Creating the object loads its values; the main window's load restores the
// engine's device settings kept by name.
void BM_LoadAtStart(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto p = std::make_unique<ProgrammerClass>(gEngine);
        p->RunDelayedRegInit(true);
        state.SetIterationTime(Seconds(start));
        benchmark::DoNotOptimize(p->strOperatorPwd);
        state.PauseTiming();
        p.reset(); // saves again, outside the measure
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SaveAtExit)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAtStart)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QCoreApplication app(argc, argv);

    QXPgmrControl engine;
    if (!AttachStandInEngine(engine))
        return 1;
    gEngine = &engine;

    // The store holds a whole configuration before the first measure.
    {
        ProgrammerClass p(gEngine);
        Change(p);
        p.RunDelayedRegInit(false);
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gEngine = nullptr;
    return 0;
}
