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

#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/TabStrip.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/Companion.h"
#include "shell/StartUp.h"

#include <QApplication>
#include <QLibrary>
#include <QTemporaryDir>
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

long Register(const char* file)
{
    QLibrary plugin(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(file));
    auto registerServer = reinterpret_cast<long (*)()>(plugin.resolve("DllRegisterServer"));
    return registerServer ? registerServer() : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    qputenv("TARVO_REGISTRY_DIR", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
    qunsetenv("TARVO_ENGINE_DB");
    qunsetenv("TARVO_ENGINE_FAULTS");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    appinfo::SetApplicationTitleForTests(QStringLiteral("Tarvo"));

    if (Register("BayCtrl.ocx") != 0 || Register("QXPgmr.ocx") != 0) {
        std::fprintf(stderr, "cannot register the site control and the engine\n");
        return 1;
    }
    frmMain main;
    gMainForm = &main;
    main.QXProgrammer.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    main.QXProgrammer.StartupValue108(QCoreApplication::applicationDirPath());
    if (main.QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0) {
        std::fprintf(stderr, "the shipped database did not load\n");
        return 1;
    }
    auto* window = new frmProgram;
    gWindow = window;
    main.frmP = window;
    window->Form_Load();
    window->resize(1200, 900);
    window->show();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    delete window;
    main.frmP = nullptr;
    gMainForm = nullptr;
    return 0;
}
