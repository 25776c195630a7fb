// The operation window's layout: one Form_Resize with 8, 16 and 32 site boxes
// in the concurrent frame, through the real site control plug-in
// (BayCtrl.ocx) in a temporary registry, headless.
//
// BM_FormResize: the layout run on a window whose size alternates, as when
// the operator drags the main window's edge (every box moves).
// BM_FormResizeSameSize: the layout run again at an unchanged size.
//
// bench_operation_layout [google benchmark flags]

#include "../tests/support/StationWiring.h"
#include "BenchSupport.h"
#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"

#include <QApplication>
#include <QFrame>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

// An engine that only reports its sites.
class SitesEngine : public DispatchObject
{
public:
    SitesEngine()
        : DispatchObject(QStringLiteral("QXPGMRLib.QXPgmr"), QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
    }
    void SetSites(qint32 sites) { Store(QXPgmrId::SiteCount, QVariant::fromValue(sites)); }
};

SitesEngine* gEngine = nullptr;
frmProgram* gWindow = nullptr;

void ShowSites(qint32 sites)
{
    gEngine->SetSites(sites);
    gWindow->ConcurrentOperationBegan();
}

void BM_FormResize(benchmark::State& state)
{
    ShowSites(qint32(state.range(0)));
    // The window's own resize handler runs Form_Resize once per new size.
    const QSize sizes[] = {QSize(1200, 900), QSize(1260, 940)};
    int i = 0;
    for (auto _ : state) {
        const QSize size = sizes[i++ % 2];
        const auto start = std::chrono::steady_clock::now();
        gWindow->resize(size);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["boxes"] = double(gWindow->GetSiteCount());
}

void BM_FormResizeSameSize(benchmark::State& state)
{
    ShowSites(qint32(state.range(0)));
    for (auto _ : state)
        gWindow->Form_Resize();
    state.counters["boxes"] = double(gWindow->GetSiteCount());
}

BENCHMARK(BM_FormResize)->Arg(8)->Arg(16)->Arg(32)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FormResizeSameSize)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);

    if (!RegisterPlugin(QStringLiteral("BayCtrl.ocx")))
        return 1;

    StationWiring wiring;
    gEngine = new SitesEngine;
    wiring.AttachEngine(std::unique_ptr<IDispatchControl>(gEngine));
    frmProgram* window = &wiring.CreateOperationWindow();
    gWindow = window;
    window->Form_Load();
    window->resize(1200, 900);
    window->show();
    QCoreApplication::processEvents();
    // The measure relies on the resize running the layout at once.
    const int before = window->TwipsGeometry(window->fraConcurrent).width();
    window->resize(1260, 940);
    if (window->TwipsGeometry(window->fraConcurrent).width() == before) {
        std::fprintf(stderr, "a resize did not lay the window out at once\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
