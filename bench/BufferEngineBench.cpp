// The data pattern through the engine's members and the buffer viewer, in
// one run, on the simulated engine (QXPgmr.ocx) and viewer (DataPane.ocx)
// as the station creates them:
//
//   - LoadDataFileRange of a 16 MiB Intel HEX and S-record file of random
//     bytes (written by srec_cat) into the KS25Q128 buffer, beside srec_cat
//     converting the same file to binary;
//   - SaveDataFileRange of that buffer as Intel HEX and S-records, beside
//     srec_cat converting the binary to the same format;
//   - the viewer's editor on the 64 MiB buffer of the NV25Q512 filled with
//     random bytes: one Page Down with its repaint, a jump between the ends
//     with its repaint, and a find of a text at the buffer's end.
//
// Goals: each load and save at most 100 ms, every repaint under 16 ms (the
// repaint counters give the slowest one of a run). The editor is opened
// through the UI service as the station opens it, and the measures run
// while it is open.
//
// bench_buffer_engine [google benchmark flags]

#include "BenchSupport.h"

#include "engine/DataPaneControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"
#include "platform/ScriptedUiService.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

namespace {

constexpr qint64 kPatternSize = 16 * 1024 * 1024;
constexpr qint64 kViewerSize = 64 * 1024 * 1024;
const QByteArray kEndMarker = "TARVO-END-MARKER";

QXPgmrControl* gEngine = nullptr;
QDialog* gEditor = nullptr;
QTemporaryDir* gDir = nullptr;
QString gBinary, gIntel, gMotorola, gLarge;

QString Path(const char* name)
{
    return gDir->filePath(QString::fromLatin1(name));
}

bool SrecCat(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("srec_cat"), arguments);
    return process.waitForFinished(300000) && process.exitCode() == 0;
}

bool WriteRandom(const QString& path, qint64 size, unsigned seed, const QByteArray& tail = {})
{
    QByteArray bytes(size, Qt::Uninitialized);
    std::mt19937 rng(seed);
    for (char& b : bytes)
        b = char(rng());
    bytes.replace(size - tail.size(), tail.size(), tail);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == size;
}

bool Select(const char* device)
{
    QString name = QString::fromLatin1(device);
    return gEngine->SelectDeviceByName(name, false) == 0;
}

qint32 Load(const QString& file, qint32 type)
{
    QString path = file;
    return gEngine->LoadDataFileRange(path, type, true, false, qint32(0), qint32(-1), qint32(0));
}

bool Prepare()
{
    if (QStandardPaths::findExecutable(QStringLiteral("srec_cat")).isEmpty()) {
        std::fprintf(stderr, "srec_cat is missing: install the package \"srecord\"\n");
        return false;
    }
    gDir = new QTemporaryDir;
    gBinary = Path("pattern.bin");
    gIntel = Path("pattern.hex");
    gMotorola = Path("pattern.s28");
    gLarge = Path("large.bin");
    return WriteRandom(gBinary, kPatternSize, 16) && WriteRandom(gLarge, kViewerSize, 64, kEndMarker)
        && SrecCat({gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), gIntel, QStringLiteral("-intel")})
        && SrecCat({gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), gMotorola, QStringLiteral("-motorola")});
}

void EngineLoad(benchmark::State& state, const QString& file, qint32 type)
{
    if (!Select("KS25Q128"))
        state.SkipWithError("cannot select KS25Q128");
    for (auto _ : state) {
        if (const qint32 result = Load(file, type))
            state.SkipWithError(gEngine->ErrorMessageText(result).toLocal8Bit().constData());
    }
}

void EngineSave(benchmark::State& state, qint32 type, const char* name)
{
    if (!Select("KS25Q128") || Load(gBinary, 0) != 0)
        state.SkipWithError("cannot load the pattern");
    for (auto _ : state) {
        QString path = Path(name);
        qint32 low = 0, high = 0;
        if (const qint32 result = gEngine->SaveDataFileRange(path, type, true, low, high))
            state.SkipWithError(gEngine->ErrorMessageText(result).toLocal8Bit().constData());
    }
}

void SrecCatConvert(benchmark::State& state, const QStringList& arguments)
{
    for (auto _ : state) {
        if (!SrecCat(arguments))
            state.SkipWithError("srec_cat failed");
    }
}

void BM_EngineLoadIntel(benchmark::State& state)
{
    EngineLoad(state, gIntel, 1);
}
void BM_SrecCatIntelToBinary(benchmark::State& state)
{
    SrecCatConvert(
        state,
        {gIntel, QStringLiteral("-intel"), QStringLiteral("-o"), Path("from-intel.bin"), QStringLiteral("-binary")});
}
void BM_EngineSaveIntel(benchmark::State& state)
{
    EngineSave(state, 1, "saved.hex");
}
void BM_SrecCatBinaryToIntel(benchmark::State& state)
{
    SrecCatConvert(
        state, {gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), Path("srec.hex"), QStringLiteral("-intel")});
}
void BM_EngineLoadSRecords(benchmark::State& state)
{
    EngineLoad(state, gMotorola, 3);
}
void BM_SrecCatSRecordsToBinary(benchmark::State& state)
{
    SrecCatConvert(state,
                   {gMotorola, QStringLiteral("-motorola"), QStringLiteral("-o"), Path("from-srec.bin"),
                    QStringLiteral("-binary")});
}
void BM_EngineSaveSRecords(benchmark::State& state)
{
    EngineSave(state, 3, "saved.s28");
}
void BM_SrecCatBinaryToSRecords(benchmark::State& state)
{
    SrecCatConvert(
        state,
        {gBinary, QStringLiteral("-binary"), QStringLiteral("-o"), Path("srec.s28"), QStringLiteral("-motorola")});
}

// The viewer measures share the 64 MiB buffer, loaded once.
QAbstractScrollArea* ViewerOnLargeBuffer(benchmark::State& state)
{
    static bool loaded = false;
    if (!loaded) {
        loaded = Select("NV25Q512") && Load(gLarge, 0) == 0;
        if (!loaded)
            state.SkipWithError("cannot load the 64 MiB pattern");
    }
    return gEditor->findChild<QAbstractScrollArea*>(QStringLiteral("BufferView"));
}

void Key(QWidget* view, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(view, &press);
}

// Each iteration: the key and the paint of the view after it, timed together; the
// slowest one goes into a counter.
void TimedRepaints(benchmark::State& state, const std::function<void(QAbstractScrollArea*, qint64)>& step)
{
    QAbstractScrollArea* view = ViewerOnLargeBuffer(state);
    if (!view)
        return;
    Key(view, Qt::Key_Home, Qt::ControlModifier);
    view->viewport()->grab();
    double slowest = 0;
    qint64 i = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        step(view, i++);
        // A headless window is never exposed, so repaint() would paint
        // nothing: the paint is rendered into a pixmap instead, which costs
        // a little more than a paint on screen.
        view->viewport()->grab();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        slowest = std::max(slowest, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["slowest_ms"] = slowest * 1000;
}

void BM_ViewerPageDown(benchmark::State& state)
{
    TimedRepaints(state, [](QAbstractScrollArea* view, qint64) { Key(view, Qt::Key_PageDown); });
}

void BM_ViewerJumpBetweenTheEnds(benchmark::State& state)
{
    TimedRepaints(state, [](QAbstractScrollArea* view, qint64 i) {
        Key(view, i % 2 ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
    });
}

void BM_ViewerFindAtTheEnd(benchmark::State& state)
{
    QAbstractScrollArea* view = ViewerOnLargeBuffer(state);
    if (!view)
        return;
    gEditor->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QString::fromLatin1(kEndMarker));
    gEditor->findChild<QCheckBox*>(QStringLiteral("chkFindText"))->setChecked(true);
    auto* next = gEditor->findChild<QPushButton*>(QStringLiteral("btnFindNext"));
    for (auto _ : state) {
        state.PauseTiming();
        Key(view, Qt::Key_Home, Qt::ControlModifier);
        state.ResumeTiming();
        next->click();
        view->viewport()->grab();
    }
    if (view->property("cursorAddress").toLongLong() != kViewerSize - kEndMarker.size())
        state.SkipWithError("the marker was not found at the end");
}

BENCHMARK(BM_EngineLoadIntel)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SrecCatIntelToBinary)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EngineSaveIntel)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SrecCatBinaryToIntel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EngineLoadSRecords)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SrecCatSRecordsToBinary)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EngineSaveSRecords)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SrecCatBinaryToSRecords)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ViewerPageDown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2000);
BENCHMARK(BM_ViewerJumpBetweenTheEnds)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(200);
BENCHMARK(BM_ViewerFindAtTheEnd)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QXPgmrControl engine;
    DataPaneControl pane;
    if (!AttachStandInEngine(engine) || !RegisterPlugin(QStringLiteral("DataPane.ocx")))
        return 1;
    gEngine = &engine;
    engine.StartupValue108(QCoreApplication::applicationDirPath());
    if (engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) != 0 || !Prepare()) {
        std::fprintf(stderr, "cannot set up the engine and its pattern files\n");
        return 1;
    }
    pane.Attach(companion::CreateControl(QString::fromLatin1(DataPaneControl::ClassName)));
    pane.HexDisplay(true);

    // Every measure runs while the editor is open, as the station opens it.
    auto ui = std::make_unique<ScriptedUiService>(QStringList{}, ScriptedUiService::WhenExhausted::DefaultAnswer);
    ui->OnModal([](QDialog* dialog) {
        gEditor = dialog;
        dialog->resize(800, 600);
        dialog->show();
        benchmark::RunSpecifiedBenchmarks();
        dialog->reject();
        return dialog->result();
    });
    SetUi(std::move(ui));
    pane.ShowEditor();
    benchmark::Shutdown();
    return 0;
}
