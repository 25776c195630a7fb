// Lines per second of the black-box log writer: every line reads the log
// folder (machine-wide setting, else the engine's folder), opens
// "BlackBox.log", appends the line and closes the file again, and rotates the
// file into the archives "qx<n>.log" each time it passes 1,048,576 bytes.
//
// bench_log [google benchmark flags]
//
// Arguments: the length of the text of a line; 1024 rotates about every
// thousand lines.

#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/VersionStrings.h"
#include "platform/DispatchObject.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>

namespace {

QString gEngineFolder;

// An engine that answers its folder; the log needs nothing else of it.
class FolderEngine : public DispatchObject
{
public:
    FolderEngine() : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members())
    {
        Store(QXPgmrId::EngineDirectory, gEngineFolder);
    }
};

int ArchivesPresent()
{
    return int(QDir(gEngineFolder + "/DATALOG").entryList({QStringLiteral("qx*.log")}, QDir::Files).size());
}

void BM_WriteLogInfo(benchmark::State& state)
{
    const QString text = QStringLiteral("Site 1: Program passed, checksum 0x3FA2C01B. ")
                             .repeated(int(state.range(0)) / 46 + 1)
                             .left(int(state.range(0)));
    for (auto _ : state)
        WriteLogInfo(text, true);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * (text.size() + 26));
    state.counters["archives"] = ArchivesPresent();
}

BENCHMARK(BM_WriteLogInfo)->Arg(80)->Arg(1024)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QCoreApplication app(argc, argv);
    gEngineFolder = station.filePath("engine");

    QXPgmrControl engine;
    engine.Attach(std::make_unique<FolderEngine>());
    SetHostEngine(&engine);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetHostEngine(nullptr);
    return 0;
}
