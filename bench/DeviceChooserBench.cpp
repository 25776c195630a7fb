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

#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "platform/ScriptedUiService.h"
#include "platform/UiService.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTableView>
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
    BenchStation station;
    qputenv("QT_QPA_PLATFORM", "offscreen"); // headless whatever the caller's display
    qputenv("TARVO_ENGINE_DB", TARVO_LARGE_DB);
    QApplication app(argc, argv);

    auto ui = std::make_unique<ScriptedUiService>();
    gUi = ui.get();
    SetUi(std::move(ui));

    QXPgmrControl engine;
    if (!AttachStandInEngine(engine))
        return 1;
    if (engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0) {
        std::fprintf(stderr, "the database of 10000 devices did not load\n");
        return 1;
    }
    QString device = QStringLiteral("KS85T-05000");
    engine.SelectDeviceByName(device, false);
    gEngine = &engine;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gEngine = nullptr;
    return 0;
}
