// The configuration dialog: construction to its first paint (offscreen) on a
// 16-site concurrent programmer with its master-site row, beside an empty
// QDialog in the same run; and OK from the click to every value written (the
// engine stand-in, a temporary registry).
//
// bench_configure [google benchmark flags]

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"

#include "platform/Companion.h"
#include "platform/ScriptedUiService.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/frmConfigure.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

class AnsweringUi : public ScriptedUiService
{
public:
    AnsweringUi()
        : ScriptedUiService({}, WhenExhausted::DefaultAnswer)
    {
    }
    int MsgBox(const QString&, int, const QString&) override { return vb::vbOK; }
};

// Notes the first paint of the widget it watches.
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

template <class Make>
void ToFirstPaint(benchmark::State& state, Make make)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<QDialog> dialog = make();
        PaintWatch watch;
        dialog->installEventFilter(&watch);
        dialog->show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(Seconds(start));
        state.PauseTiming();
        dialog.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_EmptyDialogToFirstPaint(benchmark::State& state)
{
    ToFirstPaint(state, [] { return std::make_unique<QDialog>(); });
}

void BM_ConfigureToFirstPaint(benchmark::State& state)
{
    ToFirstPaint(state, [] {
        auto dialog = std::make_unique<frmConfigure>(gMainForm->station());
        dialog->Form_Load();
        return dialog;
    });
}

// OK with a changed folder, so that every value is written each time.
void BM_ConfigureOk(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dialog = std::make_unique<frmConfigure>(gMainForm->station());
        dialog->Form_Load();
        dialog->PSLogFile_Dir->setText(QStringLiteral("/tmp/ps-%1").arg(++i));
        dialog->AutoSaveSK_Dir->setText(QStringLiteral("/tmp/sum-%1").arg(i));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        dialog->btnOK_Click();
        state.SetIterationTime(Seconds(start));
        if (dialog->bCancel)
            state.SkipWithError("OK did not commit");
    }
}

BENCHMARK(BM_EmptyDialogToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConfigureToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConfigureOk)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);
    if (!RegisterPlugin(QStringLiteral("BayCtrl.ocx")) || !RegisterPlugin(QStringLiteral("QXPgmr.ocx")))
        return 1;
    SetUi(std::make_unique<AnsweringUi>());

    StationWiring wiring;
    wiring.AttachEngine(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    QXPgmrControl& engine = wiring.engine();
    engine.StartupValue108(QCoreApplication::applicationDirPath());
    if (engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0) {
        std::fprintf(stderr, "The algorithm database did not load.\n");
        return 1;
    }
    engine.SelectProgrammerModel(qint32(12)); // 16 sites in modules of 4
    engine.PortIndex(qint32(1));
    frmProgram& window = wiring.CreateOperationWindow();
    window.Form_Load();
    window.pgmrData().udtPgmrType = 12;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
