// Saving the whole job configuration at exit and loading it at start, through
// the real registry (a temporary TARVO_REGISTRY_DIR) and the stand-in engine,
// as the program does: every value through a fresh registry object, the device
// settings kept by name included.
//
// bench_config [google benchmark flags]

#include "engine/QXPgmrControl.h"
#include "platform/AppInfo.h"
#include "platform/Companion.h"
#include "settings/ProgrammerClass.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

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
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    qputenv("TARVO_REGISTRY_DIR", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
    QCoreApplication app(argc, argv);
    appinfo::SetApplicationTitleForTests(QStringLiteral("Tarvo"));

    // The stand-in engine, registered and created as the main window does.
    QLibrary plugin(QCoreApplication::applicationDirPath() + "/QXPgmr.ocx");
    auto registerServer = reinterpret_cast<long (*)()>(plugin.resolve("DllRegisterServer"));
    if (!registerServer || registerServer() != companion::S_OK) {
        std::fprintf(stderr, "cannot register the stand-in engine: %s\n", qPrintable(plugin.errorString()));
        return 1;
    }
    QXPgmrControl engine;
    engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
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
