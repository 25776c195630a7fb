// Whole jobs through the main window, as the operator and automation save
// and open them: ExecSaveJobCmd(1, path) (the checks, the engine's save with
// every tab's settings written) and LoadQxFile (the engine's load, every
// tab's settings read back, the silent save that follows), for a device with
// every standard tab, each tab's rows changed, 1 MiB or 16 MiB of data inside
// the job or linked to its data file; beside QFile::copy of the same job
// file in the same run. Goal: under 50 ms each for 1 MiB inside.
//
// The station is started in this process as the program starts it, over the
// simulated engine and the shipped database, in a temporary registry,
// headless; every box takes its default answer.
//
// bench_job_window [google benchmark flags]

#include "BenchSupport.h"
#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/TabStrip.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/ScriptedUiService.h"
#include "qxbuffer/DataBuffer.h"
#include "settings/ProgrammerClass.h"
#include "shell/ComponentRegistration.h"
#include "shell/StartUp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

namespace {

BenchStation* gStation = nullptr;

QString JobPath(qint64 size, bool linked)
{
    return gStation->filePath(QStringLiteral("job-%1-%2.qx").arg(size).arg(linked ? "linked" : "inside"));
}

// Every visible row of every tab away from what the list builder chose.
void ChangeEveryTab(frmProgram& w)
{
    for (int tab = 1; tab <= w.tabOperation->Count(); ++tab) {
        w.SelectTab(tab);
        for (int row = 0; row < w.cboOperation.size(); ++row) {
            if (w.Check1[row]->isHidden())
                continue;
            QComboBox* list = w.cboOperation[row];
            if (list->count() > 1)
                list->setCurrentIndex((list->currentIndex() + 1) % list->count());
        }
    }
    w.SelectTab(1);
}

// The device, a data file of size random bytes loaded into the buffer, and
// the job saved once at its path. False, with the reason, when the station
// cannot be prepared.
bool Prepare(benchmark::State& state, qint64 size, bool linked)
{
    frmMain& main = *gMainForm;
    frmProgram& window = *main.frmP;
    // Devices with every standard tab (the 16 MiB flash has no test tab)
    // and a buffer that holds the data.
    const QString device = size <= (qint64(2) << 20) ? QStringLiteral("NV29LV160B") : QStringLiteral("KS25Q128");
    if (!window.SelectDevice(device)) {
        state.SkipWithError("the device was not selected");
        return false;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    std::mt19937 rng(14);
    for (char& b : bytes)
        b = char(rng());
    const QString dataFile = gStation->filePath(QStringLiteral("pattern-%1.bin").arg(size));
    {
        QFile f(dataFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            state.SkipWithError("the data file was not written");
            return false;
        }
    }
    if (!window.ExecuteBufferCommand(6, dataFile, FileTypes::FT_BINARY)) {
        state.SkipWithError("the data file was not loaded");
        return false;
    }
    ChangeEveryTab(window);
    ProgrammerClass& data = main.pgmrData();
    data.bRemindToVerifyChecksum = false;
    data.bDataPatternLinkedToSKFile = linked;
    bool ok = false;
    main.ExecSaveJobCmd(1, JobPath(size, linked), ok);
    if (!ok) {
        state.SkipWithError("the job was not saved");
        return false;
    }
    state.SetLabel(device.toStdString());
    state.counters["buffer_MiB"] = double(DataBuffer::Instance().Size()) / (1 << 20);
    state.counters["file_MiB"] = double(QFileInfo(JobPath(size, linked)).size()) / (1 << 20);
    return true;
}

void BM_WindowSaveJob(benchmark::State& state)
{
    const qint64 size = state.range(0);
    const bool linked = state.range(1) != 0;
    if (!Prepare(state, size, linked))
        return;
    const QString path = JobPath(size, linked);
    for (auto _ : state) {
        bool ok = false;
        gMainForm->ExecSaveJobCmd(1, path, ok);
        if (!ok) {
            state.SkipWithError("the job was not saved");
            break;
        }
    }
}

void BM_WindowLoadJob(benchmark::State& state)
{
    const qint64 size = state.range(0);
    const bool linked = state.range(1) != 0;
    if (!Prepare(state, size, linked))
        return;
    const QString path = JobPath(size, linked);
    for (auto _ : state) {
        qint32 result = -1;
        gMainForm->LoadQxFile(path, QFileInfo(path).fileName(), result);
        if (result != 0) {
            state.SkipWithError("the job was not loaded");
            break;
        }
    }
}

// The yardstick: copying the same job file.
void BM_CopyJobFile(benchmark::State& state)
{
    const qint64 size = state.range(0);
    const bool linked = state.range(1) != 0;
    if (!Prepare(state, size, linked))
        return;
    const QString path = JobPath(size, linked);
    const QString copy = path + QStringLiteral(".copy");
    for (auto _ : state) {
        QFile::remove(copy);
        if (!QFile::copy(path, copy)) {
            state.SkipWithError("the copy failed");
            break;
        }
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    for (qint64 size : {qint64(1) << 20, qint64(16) << 20})
        for (int linked : {0, 1})
            b->Args({size, linked});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_WindowSaveJob)->Apply(Sizes);
BENCHMARK(BM_WindowLoadJob)->Apply(Sizes);
BENCHMARK(BM_CopyJobFile)->Apply(Sizes);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);
    gStation = &station;

    SetUi(std::make_unique<ScriptedUiService>(QStringList(), ScriptedUiService::WhenExhausted::DefaultAnswer));
    SetComponentFolder(QCoreApplication::applicationDirPath());
    SetRawCommandLineText(QString());
    if (!StartApplication() || !gMainForm || !gMainForm->frmP) {
        std::fprintf(stderr, "the station did not start\n");
        return 1;
    }
    // No one at the setup report: a sound job is taken.
    gMainForm->QXProgrammer.ShowErrorMessages(false);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    gMainForm->close();
    delete gMainForm;
    gMainForm = nullptr;
    ReleaseInstanceLock();
    return 0;
}
