// How long the engine takes to load its algorithm database, as the main
// window's load asks for it: the shipped database and a list of ten thousand
// devices (made by the build with qxalg_gen --devices 10000). Selecting a
// device by name in the large list is measured too.
//
// bench_database [google benchmark flags]

#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QXPgmrControl* gEngine = nullptr;

qint32 Load(const QString& database)
{
    if (database.isEmpty())
        qunsetenv("TARVO_ENGINE_DB");
    else
        qputenv("TARVO_ENGINE_DB", database.toUtf8());
    return gEngine->LoadAlgorithmDatabase(QStringLiteral("qxalg.db"));
}

void LoadEach(benchmark::State& state, const QString& database)
{
    for (auto _ : state) {
        if (Load(database) != 0) {
            state.SkipWithError("the database did not load");
            break;
        }
    }
}

void BM_LoadShippedDatabase(benchmark::State& state)
{
    LoadEach(state, {});
}

void BM_Load10000Devices(benchmark::State& state)
{
    LoadEach(state, QStringLiteral(TARVO_LARGE_DB));
}

void BM_SelectDeviceAmong10000(benchmark::State& state)
{
    if (Load(QStringLiteral(TARVO_LARGE_DB)) != 0) {
        state.SkipWithError("the database did not load");
        return;
    }
    const QString names[] = {QStringLiteral("AM27C512-00001"), QStringLiteral("VX-SEC32-09975")};
    int i = 0;
    for (auto _ : state) {
        QString name = names[i++ % 2];
        if (gEngine->SelectDeviceByName(name, false) != 0) {
            state.SkipWithError("no such device");
            break;
        }
    }
}

BENCHMARK(BM_LoadShippedDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load10000Devices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectDeviceAmong10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QCoreApplication app(argc, argv);

    QXPgmrControl engine;
    if (!AttachStandInEngine(engine))
        return 1;
    engine.StartupValue108(QCoreApplication::applicationDirPath());
    gEngine = &engine;
    // A station left with a concurrent model and a device, as a working one
    // is: each load restores them.
    QString device = QStringLiteral("SL18F4550");
    if (Load({}) != 0 || engine.SelectDeviceByName(device, false) != 0) {
        std::fprintf(stderr, "the shipped database did not load\n");
        return 1;
    }
    engine.SelectProgrammerModel(qint32(11));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gEngine = nullptr;
    return 0;
}
