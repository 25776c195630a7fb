// Saving and loading a whole job through the simulated engine (SaveJobFile,
// LoadJobFile) with its data pattern inside (1 MiB and 16 MiB of random
// bytes) or linked to a binary data file, beside QFile::copy of the same job
// file in the same run. Goal: under 50 ms for each save and load of 1 MiB.
//
// bench_job_files [google benchmark flags]

#include "BenchSupport.h"
#include "DataBuffer.h"
#include "engine/QXPgmrControl.h"
#include "platform/Dispatch.h"

#include <QCoreApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <random>

namespace {

// The station's answers a save asks for: the data file the buffer came from.
class Host : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        if (name == QLatin1String("RequestJobSettingText24"))
            args[0] = QStringLiteral("pattern.bin");
        else if (name == QLatin1String("JobSetting25"))
            args[0] = folder;
    }
    QString folder;
};

QXPgmrControl* gEngine = nullptr;
BenchStation* gStation = nullptr;

void Fill(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    std::mt19937 rng(14);
    for (char& b : bytes)
        b = char(rng());
    DataBuffer& buffer = DataBuffer::Instance();
    buffer.Resize(size);
    buffer.Write(0, reinterpret_cast<const quint8*>(bytes.constData()), size);
    QFile data(gStation->filePath(QStringLiteral("pattern.bin")));
    if (data.open(QIODevice::WriteOnly))
        data.write(bytes);
}

QString JobPath(qint64 size, bool linked)
{
    return gStation->filePath(QStringLiteral("job-%1-%2.qx").arg(size).arg(linked ? "linked" : "inside"));
}

void Prepare(qint64 size, bool linked)
{
    Fill(size);
    gEngine->DataFileTypeCode(qint32(0));
    gEngine->SetDataPatternLinked(linked);
}

void BM_SaveJob(benchmark::State& state)
{
    const qint64 size = state.range(0);
    const bool linked = state.range(1) != 0;
    Prepare(size, linked);
    const QString path = JobPath(size, linked);
    for (auto _ : state) {
        if (gEngine->SaveJobFile(path) != 0)
            state.SkipWithError("the job was not saved");
    }
}

void BM_LoadJob(benchmark::State& state)
{
    const qint64 size = state.range(0);
    const bool linked = state.range(1) != 0;
    Prepare(size, linked);
    const QString path = JobPath(size, linked);
    if (gEngine->SaveJobFile(path) != 0)
        state.SkipWithError("the job was not saved");
    for (auto _ : state) {
        if (gEngine->LoadJobFile(path) != 0)
            state.SkipWithError("the job was not loaded");
    }
}

// The yardstick: copying the same job file.
void BM_CopyJobFile(benchmark::State& state)
{
    const qint64 size = state.range(0);
    Prepare(size, false);
    const QString path = JobPath(size, false);
    const QString copy = path + QStringLiteral(".copy");
    if (gEngine->SaveJobFile(path) != 0)
        state.SkipWithError("the job was not saved");
    for (auto _ : state) {
        QFile::remove(copy);
        if (!QFile::copy(path, copy))
            state.SkipWithError("the copy failed");
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    for (qint64 size : {qint64(1) << 20, qint64(16) << 20})
        for (int linked : {0, 1})
            b->Args({size, linked});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_SaveJob)->Apply(Sizes);
BENCHMARK(BM_LoadJob)->Apply(Sizes);
BENCHMARK(BM_CopyJobFile)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QCoreApplication app(argc, argv);
    gStation = &station;

    QXPgmrControl engine;
    if (!AttachStandInEngine(engine))
        return 1;
    gEngine = &engine;
    Host host;
    host.folder = station.filePath(QString());
    engine.Control()->SetEventSink(&host);
    if (!LoadShippedDatabase(engine))
        return 1;
    QString device = QStringLiteral("AM27C512");
    engine.SelectDeviceByName(device, false);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    engine.Control()->SetEventSink(nullptr);
    gEngine = nullptr;
    return 0;
}
