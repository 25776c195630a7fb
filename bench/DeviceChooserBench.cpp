// The engine's device selection window over a list of ten thousand devices
// (made by the build with qxalg_gen --devices 10000): the time from one
// keystroke in its search box to the list narrowed (or widened) and painted,
// headless. Also the time the window takes to open on the list.
//
// BM_ChooserKeystroke: the operator types "ks85t" and takes it back again,
// one character per iteration.
// BM_ChooserOpen: DeviceSelectResult up to the window shown, then cancelled.
//
// bench_device_chooser [google benchmark flags]

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"
#include "platform/ScriptedUiService.h"
#include "platform/UiService.h"

#include <QApplication>
#include <QDialog>
#include <QLibrary>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

QXPgmrControl* gEngine = nullptr;
ScriptedUiService* gUi = nullptr;

void BM_ChooserKeystroke(benchmark::State& state)
{
    const QStringList texts = {QString(), QStringLiteral("k"), QStringLiteral("ks"), QStringLiteral("ks8"),
                               QStringLiteral("ks85"), QStringLiteral("ks85t"), QStringLiteral("ks85"),
                               QStringLiteral("ks8"), QStringLiteral("ks"), QStringLiteral("k")};
    qint64 shown = 0;
    gUi->OnModal([&](QDialog* dialog) {
        auto* search = dialog->findChild<QLineEdit*>(QStringLiteral("search"));
        auto* table = dialog->findChild<QTableView*>(QStringLiteral("devices"));
        if (!search || !table) {
            state.SkipWithError("the window has no search box or list");
            return int(QDialog::Rejected);
        }
        dialog->show();
        QApplication::processEvents();
        int i = 0;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            search->setText(texts.at(++i % texts.size()));
            // Includes the relayout and the repaint of the list.
            QApplication::processEvents();
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            shown += table->model()->rowCount();
        }
        dialog->hide();
        return int(QDialog::Rejected);
    });
    gEngine->DeviceSelectResult();
    state.counters["devices shown (mean)"] = benchmark::Counter(double(shown), benchmark::Counter::kAvgIterations);
}

void BM_ChooserOpen(benchmark::State& state)
{
    for (auto _ : state) {
        gUi->OnModal([](QDialog* dialog) {
            dialog->show();
            QApplication::processEvents();
            dialog->hide();
            return int(QDialog::Rejected);
        });
        gEngine->DeviceSelectResult();
    }
}

BENCHMARK(BM_ChooserKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    qputenv("TARVO_REGISTRY_DIR", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TARVO_ENGINE_DB", TARVO_LARGE_DB);
    qunsetenv("TARVO_ENGINE_FAULTS");
    QApplication app(argc, argv);

    auto ui = std::make_unique<ScriptedUiService>();
    gUi = ui.get();
    SetUi(std::move(ui));

    QLibrary plugin(QCoreApplication::applicationDirPath() + "/QXPgmr.ocx");
    auto registerServer = reinterpret_cast<long (*)()>(plugin.resolve("DllRegisterServer"));
    if (!registerServer || registerServer() != companion::S_OK) {
        std::fprintf(stderr, "cannot register the stand-in engine: %s\n", qPrintable(plugin.errorString()));
        return 1;
    }
    QXPgmrControl engine;
    engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    if (engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0) {
        std::fprintf(stderr, "the database of 10000 devices did not load\n");
        return 1;
    }
    QString device = QStringLiteral("KS85T-05000");
    engine.SelectDeviceByName(false, device);
    gEngine = &engine;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gEngine = nullptr;
    return 0;
}
