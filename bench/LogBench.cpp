// Lines per second of the black-box log writer: every line checks that the
// log folder (machine-wide setting, else the engine's folder) is unchanged,
// opens
// "BlackBox.log", appends the line and closes the file again, and rotates the
// file into the archives "qx<n>.log" each time it passes 1,048,576 bytes.
//
// bench_log [google benchmark flags]
//
// Arguments: the length of the text of a line; 1024 rotates about every
// thousand lines. BM_RawAppend is the yardstick: the same stamped line
// appended to one file with a plain open, write and close, nothing else.

#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/VersionStrings.h"
#include "platform/DispatchObject.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>
#include <benchmark/benchmark.h>

namespace {

QString gEngineFolder;

// An engine that answers its folder; the log needs nothing else of it.
class FolderEngine : public DispatchObject
{
public:
    FolderEngine()
        : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
        Store(QXPgmrId::EngineDirectory, gEngineFolder);
    }
};

int ArchivesPresent()
{
    return int(QDir(gEngineFolder + "/DATALOG").entryList({QStringLiteral("qx*.log")}, QDir::Files).size());
}

QString LineText(qint64 length)
{
    return QStringLiteral("Site 1: Program passed, checksum 0x3FA2C01B. ")
        .repeated(int(length) / 46 + 1)
        .left(int(length));
}

void BM_WriteLogInfo(benchmark::State& state)
{
    const QString text = LineText(state.range(0));
    for (auto _ : state)
        WriteLogInfo(text, true);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * (text.size() + 26));
    state.counters["archives"] = ArchivesPresent();
}

BENCHMARK(BM_WriteLogInfo)->Arg(80)->Arg(1024)->Unit(benchmark::kMicrosecond);

// The line as the log stamps it, made once and appended with open, write
// and close, with no rotation (the file is emptied when it passes the log's size limit, so
// that both measures write to a file of the same size).
void BM_RawAppend(benchmark::State& state)
{
    const QString text = LineText(state.range(0));
    const QByteArray path = QFile::encodeName(gEngineFolder + "/raw.log");
    QDir().mkpath(gEngineFolder);
    qint64 size = 0;
    const QByteArray line =
        (GeneralDateText(QDateTime::currentDateTime()) + QStringLiteral("  ") + text + QStringLiteral("\r\n")).toUtf8();
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, line.constData(), size_t(line.size())) != line.size()) {
            state.SkipWithError("cannot append to the file");
            break;
        }
        ::close(fd);
        size += line.size();
        if (size > 1048576) {
            ::truncate(path.constData(), 0);
            size = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * (text.size() + 26));
}

BENCHMARK(BM_RawAppend)->Arg(80)->Arg(1024)->Unit(benchmark::kMicrosecond);

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
