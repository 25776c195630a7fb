// A data pattern loaded the way automation and "-prog_file" load it: command 6
// of the operation window (no window on screen) with a 16 MiB Intel HEX file
// of random bytes, written by srec_cat, into the buffer of the KS25Q128, a
// 128-Mbit serial flash. The time covers the whole command: the load dialog's
// checks and commit, the engine's load, and the summary and buttons brought
// up to date. Goal: at most 150 ms.
//
// bench_buffer_command [google benchmark flags]

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "settings/ProgrammerClass.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <random>

namespace {

constexpr qint64 kSize = 16 * 1024 * 1024;
frmProgram* gWindow = nullptr;
QString gIntel;

bool WritePattern(const BenchStation& station)
{
    if (QStandardPaths::findExecutable(QStringLiteral("srec_cat")).isEmpty()) {
        std::fprintf(stderr, "srec_cat is missing: install the package \"srecord\"\n");
        return false;
    }
    const QString binary = station.filePath(QStringLiteral("pattern.bin"));
    gIntel = station.filePath(QStringLiteral("pattern.hex"));
    QByteArray bytes(kSize, Qt::Uninitialized);
    std::mt19937 rng(6);
    for (char& b : bytes)
        b = char(rng());
    QFile file(binary);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != kSize)
        return false;
    file.close();
    QProcess srecCat;
    srecCat.start(QStringLiteral("srec_cat"),
                  {binary, QStringLiteral("-binary"), QStringLiteral("-o"), gIntel, QStringLiteral("-intel")});
    return srecCat.waitForFinished(300000) && srecCat.exitCode() == 0;
}

void BM_Command6IntelHex(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool loaded = gWindow->ExecuteBufferCommand(6, gIntel, 255);
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!loaded) {
            state.SkipWithError("the engine did not load the file");
            break;
        }
    }
}

BENCHMARK(BM_Command6IntelHex)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

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
    if (!WritePattern(station))
        return 1;
    frmProgram* window = &wiring.CreateOperationWindow();
    gWindow = window;
    window->Form_Load();
    window->resize(1200, 900);
    window->show();
    if (!window->SelectDevice(QStringLiteral("KS25Q128"))) {
        std::fprintf(stderr, "the engine did not select the KS25Q128\n");
        return 1;
    }
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
