// Windows from construction to their first paint, headless, against an
// empty QDialog in the same run.
//
// BM_EmptyDialog: a bare QDialog, shown until it has painted once.
// BM_DeviceOptionsWindow: the device options window for a device with every
// option button and two extra commands.
//
// bench_dialogs [google benchmark flags]

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"
#include "device/frmDeviceConfigure.h"
#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

// An engine for a device that offers every option and two extra commands.
class OptionsEngine : public DispatchObject
{
public:
    OptionsEngine()
        : DispatchObject(QStringLiteral("QXPGMRLib.QXPgmr"), QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
        using namespace QXPgmrId;
        for (int member : {DeviceSupportsTestVectors, DeviceSupportsByteOrder, DeviceSupportsRange,
                           DeviceSupportsSetsAndBanks, DeviceSupportsBufferOffset})
            Store(member, VbBool(true));
        Store(ExtraCommandCount, QVariant::fromValue<qint32>(2));
        On(ExtraCommandNameAt, [](InvokeKind, QVariantList& args) {
            return QVariant(args.value(0).toInt() == 0 ? QStringLiteral("Erase Boot") : QStringLiteral("Lock"));
        });
    }
};

// Notes the first paint of the window it watches.
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

// Shows the window and waits for its first paint; False after a second.
bool ShowUntilPainted(QDialog& dialog)
{
    PaintWatch watch;
    dialog.installEventFilter(&watch);
    dialog.show();
    QElapsedTimer timer;
    timer.start();
    while (!watch.painted && timer.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    dialog.removeEventFilter(&watch);
    return watch.painted;
}

template <class Make>
void MeasureFirstPaint(benchmark::State& state, Make make)
{
    for (auto _ : state) {
        auto dialog = make();
        if (!ShowUntilPainted(*dialog)) {
            state.SkipWithError("the window never painted");
            break;
        }
        state.PauseTiming();
        dialog.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_EmptyDialog(benchmark::State& state)
{
    MeasureFirstPaint(state, [] { return std::make_unique<QDialog>(); });
}

void BM_DeviceOptionsWindow(benchmark::State& state)
{
    MeasureFirstPaint(state, [] { return std::make_unique<frmDeviceConfigure>(gMainForm->station(), gMainForm); });
}

BENCHMARK(BM_EmptyDialog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeviceOptionsWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);

    StationWiring wiring;
    wiring.AttachEngine(std::make_unique<OptionsEngine>());
    {
        // The measure is of the full window: every button and both extras.
        frmDeviceConfigure check(gMainForm->station(), gMainForm);
        if (check.btnSpecial.size() != 2 || !check.cmdBufferSettings->isVisibleTo(&check)) {
            std::fprintf(stderr, "the device options window did not get every button\n");
            return 1;
        }
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
