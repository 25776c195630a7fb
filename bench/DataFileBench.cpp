// Loading and saving a 16 MiB data pattern of random bytes, the size of a
// 128-Mbit serial flash: the buffer library reading an Intel HEX and an
// S-record file that srec_cat wrote, and writing the buffer back, beside
// srec_cat converting the same files to binary and back. Goal: at most
// 100 ms for each load and save.
//
// bench_data_files [google benchmark flags]

#include "BufferFiles.h"
#include "DataBuffer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

namespace {

constexpr qint64 kSize = 16 * 1024 * 1024;

QTemporaryDir* gDir = nullptr;
QString gBinary, gIntel, gMotorola;

QString Path(const char* name) { return gDir->filePath(QString::fromLatin1(name)); }

bool SrecCat(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("srec_cat"), arguments);
    return process.waitForFinished(300000) && process.exitCode() == 0;
}

bool Prepare()
{
    if (QStandardPaths::findExecutable(QStringLiteral("srec_cat")).isEmpty()) {
        std::fprintf(stderr, "srec_cat is missing: install the package \"srecord\"\n");
        return false;
    }
    gDir = new QTemporaryDir;
    gBinary = Path("pattern.bin");
    gIntel = Path("pattern.hex");
    gMotorola = Path("pattern.s28");
    QByteArray bytes(kSize, Qt::Uninitialized);
    std::mt19937 rng(16);
    for (char& b : bytes)
        b = char(rng());
    QFile file(gBinary);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != kSize)
        return false;
    file.close();
    return SrecCat({gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), gIntel, QStringLiteral("-intel")})
        && SrecCat({gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), gMotorola, QStringLiteral("-motorola")});
}

void Load(benchmark::State& state, const QString& path, qint32 type)
{
    DataBuffer buffer;
    buffer.Resize(kSize);
    BufferFiles files(buffer);
    for (auto _ : state) {
        if (files.LoadRange(path, type, LoadOptions()) != 0)
            state.SkipWithError(files.LastErrorText().toLocal8Bit().constData());
    }
}

void Save(benchmark::State& state, const QString& source, qint32 type, const char* name)
{
    DataBuffer buffer;
    buffer.Resize(kSize);
    BufferFiles files(buffer);
    if (files.LoadRange(gBinary, 0, LoadOptions()) != 0)
        state.SkipWithError("cannot load the pattern");
    for (auto _ : state) {
        if (files.Save(Path(name), type, false) != 0)
            state.SkipWithError(files.LastErrorText().toLocal8Bit().constData());
    }
}

void BM_LoadIntelHex(benchmark::State& state) { Load(state, gIntel, 1); }
void BM_LoadSRecords(benchmark::State& state) { Load(state, gMotorola, 3); }
void BM_SaveIntelHex(benchmark::State& state) { Save(state, gBinary, 1, "saved.hex"); }
void BM_SaveSRecords(benchmark::State& state) { Save(state, gBinary, 3, "saved.s28"); }

void SrecCatRun(benchmark::State& state, const QStringList& arguments)
{
    for (auto _ : state) {
        if (!SrecCat(arguments))
            state.SkipWithError("srec_cat failed");
    }
}
void BM_SrecCatIntelHexToBinary(benchmark::State& state)
{
    SrecCatRun(state, {gIntel, QStringLiteral("-intel"), QStringLiteral("-o"), Path("out.bin"), QStringLiteral("-binary")});
}
void BM_SrecCatBinaryToIntelHex(benchmark::State& state)
{
    SrecCatRun(state, {gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), Path("out.hex"), QStringLiteral("-intel")});
}
void BM_SrecCatSRecordsToBinary(benchmark::State& state)
{
    SrecCatRun(state, {gMotorola, QStringLiteral("-motorola"), QStringLiteral("-o"), Path("out.bin"), QStringLiteral("-binary")});
}
void BM_SrecCatBinaryToSRecords(benchmark::State& state)
{
    SrecCatRun(state, {gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), Path("out.s28"), QStringLiteral("-motorola")});
}

} // namespace

BENCHMARK(BM_LoadIntelHex)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_SrecCatIntelHexToBinary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SaveIntelHex)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_SrecCatBinaryToIntelHex)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LoadSRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_SrecCatSRecordsToBinary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SaveSRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_SrecCatBinaryToSRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!Prepare())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete gDir;
    return 0;
}
