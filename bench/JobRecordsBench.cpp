// The job records: one row appended to a 100 MB job record log (beside a raw
// open, append and close of the same line), the job summary of 32 sites and
// 100,000 devices with every section (beside inserting the same text into a
// text document as one plain string), and printing that summary to PDF.
//
// bench_job_records [google benchmark flags]

#include "BenchSupport.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "platform/DispatchObject.h"
#include "platform/PrintTarget.h"
#include "records/JobRecord.h"
#include "records/JobRecordLog.h"
#include "records/JobSummaryReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

QString gFolder;

template <class Accessor>
class Values : public DispatchObject
{
public:
    Values()
        : DispatchObject(QString::fromLatin1(Accessor::ClassName), Accessor::Members())
    {
        AnswerUndeclaredAsFake();
    }
    using DispatchObject::On;
    using DispatchObject::Store;
};

constexpr int kSites = 32;

// A finished job: 32 concurrent sites, 100,000 devices through an automatic
// handler with bins, times and vision, complex serialization.
struct Job
{
    QXPgmrControl engine;
    H950HdlrControl handler;
    ManualHdlControl manual;
    std::vector<std::unique_ptr<SiteBoxControl>> sites;
    JobSummaryInputs in;

    Job()
    {
        auto e = std::make_unique<Values<QXPgmrControl>>();
        e->Store(QXPgmrId::EngineVersion, qint32(0x0102030A));
        e->Store(QXPgmrId::ProgrammerModelName, QStringLiteral("QX-8000/USB"));
        e->Store(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
        e->Store(QXPgmrId::SiteCount, kSites);
        e->Store(QXPgmrId::SerializationField244, VbBool(true));
        e->Store(QXPgmrId::SerializationField260, 1);
        e->Store(QXPgmrId::SerializationField236, QStringLiteral("/opt/sn/mkserial --lot 7"));
        e->On(QXPgmrId::SerializationValueAt245, [](InvokeKind, QVariantList&) { return QVariant(qint32(1)); });
        e->On(QXPgmrId::SerializationValueAt314,
              [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("/opt/sn/mkserial")); });
        e->On(QXPgmrId::SocketModuleCount, [](InvokeKind, QVariantList& args) {
            args[1] = qint32(100000);
            args[2] = qint32(3125);
            args[3] = qint32(-1);
            args[4] = qint32(-1);
            return QVariant(qint32(0));
        });
        engine.Attach(std::move(e));
        auto h = std::make_unique<Values<H950HdlrControl>>();
        h->Store(H950HdlrId::HandlerValue3, 99000);
        h->Store(H950HdlrId::HandlerValue4, 1000);
        h->Store(H950HdlrId::HandlerKind, 1);
        h->Store(H950HdlrId::BinCount, 4);
        for (qint32 i = 0; i < 4; ++i) {
            h->Store(H950HdlrId::BinFlagAAt, 1, {QVariant(i)});
            h->Store(H950HdlrId::BinFlagBAt, i == 3 ? 1 : 0, {QVariant(i)});
            h->Store(H950HdlrId::BinLabelAt, QStringLiteral("Bin %1").arg(i), {QVariant(i)});
            h->Store(H950HdlrId::BinCountAt, 250, {QVariant(i)});
        }
        h->Store(H950HdlrId::JobRunTime, 3600);
        h->Store(H950HdlrId::PotentialUnitsPerHour, 4000);
        handler.Attach(std::move(h));
        manual.Attach(std::make_unique<Values<ManualHdlControl>>());
        for (int i = 0; i < kSites; ++i) {
            auto site = std::make_unique<SiteBoxControl>();
            auto values = std::make_unique<Values<SiteBoxControl>>();
            values->Store(SiteBoxId::SiteLabel, QString::number(i + 1));
            values->Store(SiteBoxId::SitePassedCount, 3094);
            values->Store(SiteBoxId::SiteFailedCount, 31);
            values->Store(SiteBoxId::SiteTotalCount, 3125);
            site->Attach(std::move(values));
            sites.push_back(std::move(site));
        }
        in.engine = &engine;
        in.autoHandler = &handler;
        in.manualHandler = &manual;
        in.siteBox = [this](int i) { return size_t(i) < sites.size() ? sites[size_t(i)].get() : nullptr; };
        in.udtHandlerType = 1;
        in.counters.lngNumFailedVerify = 250;
        in.selectedTabCaption = QStringLiteral("&Program");
        in.lngNumCopies = 100000;
        in.actionIsRepeatable = true;
        in.firstSiteBoxVisible = true;
        in.strJobName = QStringLiteral("Lot 7");
        in.operationsLog = {QStringLiteral("Program"), QStringLiteral("Verify")};
    }
};

Job* gJob = nullptr;

void BM_BuildSummary(benchmark::State& state)
{
    for (auto _ : state) {
        QTextDocument document;
        JobSummaryReport::PrepareDocument(&document);
        JobSummaryReport report(&document, gJob->in);
        report.BuildReport();
        benchmark::DoNotOptimize(document.characterCount());
    }
}

void BM_PlainTextInsert(benchmark::State& state)
{
    QTextDocument built;
    JobSummaryReport(&built, gJob->in).BuildReport();
    const QString text = built.toPlainText();
    for (auto _ : state) {
        QTextDocument document;
        QTextCursor(&document).insertText(text);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.counters["chars"] = double(text.size());
}

void BM_PrintPdf(benchmark::State& state)
{
    QTextDocument document;
    JobSummaryReport::PrepareDocument(&document);
    JobSummaryReport(&document, gJob->in).BuildReport();
    const QString pdf = QDir(gFolder).filePath(QStringLiteral("summary.pdf"));
    for (auto _ : state) {
        QString error;
        const std::unique_ptr<PrintTarget> target = CreatePrintTarget(&error);
        if (!target) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        target->ToPdfFile(pdf);
        document.print(target->Device());
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
}

QByteArray gLine;
QString gLogFolder;

// A log of 100 MB: the header and rows like the one appended.
void MakeLargeLog()
{
    gLogFolder = QDir(gFolder).filePath(QStringLiteral("logs"));
    QDir().mkpath(gLogFolder);
    QStringList fields(JobRecord::kColumnCount);
    for (int i = 0; i < JobRecord::kColumnCount; ++i)
        fields[i] = QString::number(i * 37);
    fields[0] = QStringLiteral("operator");
    gLine = JobRecord::Line(fields);
    QFile log(JobRecordLog::FilePath(gLogFolder));
    log.open(QIODevice::WriteOnly);
    log.write(JobRecord::HeaderLine());
    QByteArray block;
    while (block.size() < 1 << 20)
        block += gLine;
    while (log.size() < 100LL * 1024 * 1024)
        log.write(block);
}

void BM_AppendJobRecord(benchmark::State& state)
{
    const QString path = JobRecordLog::FilePath(gLogFolder);
    const qint64 before = QFileInfo(path).size();
    for (auto _ : state) {
        QString error;
        if (!JobRecordLog::Append(gLogFolder, JobRecord::HeaderLine(), gLine, &error))
            state.SkipWithError(qPrintable(error));
    }
    const qint64 grown = QFileInfo(path).size() - before;
    state.counters["grows_by_lines"] = grown == qint64(state.iterations()) * gLine.size() ? 1 : 0;
    state.counters["log_MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}

void BM_RawAppend(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(QDir(gLogFolder).filePath(QStringLiteral("raw.log")));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        benchmark::DoNotOptimize(::write(fd, gLine.constData(), size_t(gLine.size())));
        ::close(fd);
    }
}

BENCHMARK(BM_AppendJobRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawAppend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTextInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    BenchStation station;
    QApplication app(argc, argv);
    gFolder = station.filePath(QStringLiteral("records"));
    QDir().mkpath(gFolder);
    MakeLargeLog();
    Job job;
    gJob = &job;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
