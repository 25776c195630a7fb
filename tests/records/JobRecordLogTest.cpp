// The job record log as other tools read it: through Python's csv module.

#include "ChildRole.h"
#include "ReportFixture.h"

#include "records/JobRecordLog.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The rows of a CSV file as Python's csv module reads them.
QList<QStringList> ReadCsv(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f))))\n"),
                  path});
    python.waitForFinished(60000);
    QList<QStringList> rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray())
            fields << field.toString();
        rows << fields;
    }
    return rows;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList RecordFields(const QString& user, int n)
{
    QStringList fields(JobRecord::kColumnCount);
    fields[JobRecord::kUser] = user;
    fields[JobRecord::kPassed] = QString::number(n);
    return fields;
}

// Appends records to the log of a folder: args folder, user, count.
const ChildRole kAppender("jobsum-append", [](const QStringList& args) {
    const int count = args.value(2).toInt();
    for (int i = 0; i < count; ++i) {
        QString error;
        if (!JobRecordLog::Append(args.value(0), JobRecord::HeaderLine(),
                                  JobRecord::Line(RecordFields(args.value(1), i)), &error))
            return 2;
    }
    return 0;
});

// Appends one record as a user who may write the log but not its folder:
// args folder. Run by root, the child takes the unprivileged account first,
// as root would write anywhere.
const ChildRole kGuestAppender("jobsum-append-guest", [](const QStringList& args) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        return 3;
    QString error;
    const bool written =
        JobRecordLog::Append(args.value(0), JobRecord::HeaderLine(), JobRecord::Line(RecordFields("guest", 7)), &error);
    printf("%s\n", qPrintable(error));
    return written ? 0 : 2;
});

// Appends one record with the file size limited to a few bytes more than the
// log has: the write fails part way. args folder; exit 0 when the append
// reported the failure.
const ChildRole kFullDisk("jobsum-full", [](const QStringList& args) {
    std::signal(SIGXFSZ, SIG_IGN);
    const QString folder = args.value(0);
    const qint64 size = QFileInfo(JobRecordLog::FilePath(folder)).size();
    rlimit limit{rlim_t(size + 10), rlim_t(size + 10)};
    setrlimit(RLIMIT_FSIZE, &limit);
    QString error;
    const bool written =
        JobRecordLog::Append(folder, JobRecord::HeaderLine(), JobRecord::Line(RecordFields("late", 1)), &error);
    printf("%s\n", qPrintable(error));
    return written ? 1 : 0;
});

class JobRecordLogTest : public ReportFixture
{
protected:
    // A job of 40 devices on four concurrent sites.
    void FourSiteJob()
    {
        in.counters.lngNumPassed = 38;
        in.counters.lngNumFailed = 2;
        in.counters.lngNumFailedErase = 2;
        in.lngNumCopies = 40;
        in.actionIsRepeatable = true;
        in.firstSiteBoxVisible = true;
        engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
        engine->Set(QXPgmrId::SiteCount, 4);
        for (ScriptedSiteBox* site : AddSites(4)) {
            site->Set(SiteBoxId::SitePassedCount, 9);
            site->Set(SiteBoxId::SiteFailedCount, 1);
            site->Set(SiteBoxId::SiteTotalCount, 10);
        }
    }
};

TEST_F(JobRecordLogTest, RowsMatchTheHeaderAndAppendOnly)
{
    FourSiteJob();
    in.user = "Smith, \"Jo\"";
    in.logDir = LogFolder() + "/"; // a trailing slash or not
    const QString log = in.logDir + "JobSum.log";
    Build();
    ASSERT_TRUE(report->RecordWritten()) << report->RecordError().toStdString();
    const QByteArray first = Contents(log);
    document.clear();
    Build();
    const QByteArray second = Contents(log);
    EXPECT_TRUE(second.startsWith(first));
    EXPECT_TRUE(second.endsWith("\r\n"));

    const QList<QStringList> rows = ReadCsv(log);
    ASSERT_EQ(rows.size(), 3);
    QStringList header = JobRecord::HeaderTitles();
    EXPECT_EQ(header.size(), 162);
    EXPECT_EQ(header.mid(0, 5),
              (QStringList{"User", "Handler Type", "Date & Time", "Successful operations:", "Already secured     :"}));
    EXPECT_EQ(header.mid(15, 4), (QStringList{"All other failures:", "Overall Yield", "Units/Hour", "Site 1 Passed"}));
    EXPECT_EQ(header.last(), "Site 24 SM Odometer Socket");
    header << ""; // every field is followed by a comma
    EXPECT_EQ(rows[0], header);
    for (const QStringList& row : rows.mid(1)) {
        ASSERT_EQ(row.size(), 163);
        EXPECT_EQ(row[0], "Smith, \"Jo\"");
        EXPECT_EQ(row[1], "Concurrent handler");
        EXPECT_EQ(row[2], "Wed Dec 09 14:03:07 2026");
        EXPECT_EQ(row.mid(3, 5), (QStringList{"38", "0", "0", "0", "2"}));
        EXPECT_EQ(row[16], "95.00%");
        EXPECT_EQ(row[17], "0"); // the concurrent manual handler's units per hour
        EXPECT_EQ(row.mid(18, 4), (QStringList{"9", "1", "10", "90.00%"}));
        EXPECT_EQ(row.mid(30, 4), (QStringList{"9", "1", "10", "90.00%"}));
        EXPECT_EQ(row.mid(34, 80), QStringList(80)); // 20 empty site groups
        EXPECT_EQ(row.mid(114, 8), (QStringList{"0", "0", "0", "0", "0", "0", "0", "0"}));
        EXPECT_EQ(row.mid(122, 40), QStringList(40)); // 20 empty odometer pairs
    }
}

TEST_F(JobRecordLogTest, OrdinaryRowsAreWrittenAsTheyStand)
{
    QStringList fields(JobRecord::kColumnCount);
    fields[0] = "op";
    fields[16] = "97.50%";
    EXPECT_EQ(JobRecord::Line(fields), "op," + QByteArray(15, ',') + "97.50%," + QByteArray(145, ',') + "\r\n");
    fields[0] = "a\nb";
    EXPECT_TRUE(JobRecord::Line(fields).startsWith("\"a\nb\","));
}

TEST_F(JobRecordLogTest, HeaderOnlyForAnAbsentOrEmptyLog)
{
    const QString folder = LogFolder();
    const QString log = JobRecordLog::FilePath(folder);
    QFile(log).open(QIODevice::WriteOnly); // empty
    QString error;
    ASSERT_TRUE(JobRecordLog::Append(folder, JobRecord::HeaderLine(), JobRecord::Line(RecordFields("a", 1)), &error));
    ASSERT_TRUE(JobRecordLog::Append(folder, JobRecord::HeaderLine(), JobRecord::Line(RecordFields("b", 2)), &error));
    const QList<QStringList> rows = ReadCsv(log);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][0], "User");
    EXPECT_EQ(rows[1][0], "a");
    EXPECT_EQ(rows[2][0], "b");
}

TEST_F(JobRecordLogTest, NoRecordWithoutUserOrFolderOrForOneDevice)
{
    const QString folder = LogFolder();
    struct Case
    {
        QString user, dir;
        qint32 passed;
    };
    const Case cases[] = {{"op", "", 5}, {"", folder, 5}, {"op", folder, 1}};
    for (const Case& c : cases) {
        document.clear();
        in.user = c.user;
        in.logDir = c.dir;
        in.counters.lngNumPassed = c.passed;
        Build();
        EXPECT_FALSE(report->RecordAttempted());
        // Without a user or a folder no record is even built.
        EXPECT_EQ(report->Record().IsEmpty(), c.passed != 1);
        EXPECT_FALSE(QFileInfo::exists(JobRecordLog::FilePath(folder)));
    }
}

TEST_F(JobRecordLogTest, AFailedWriteIsReportedAndLeavesTheLogAsItWas)
{
    const QString folder = LogFolder();
    QString error;
    ASSERT_TRUE(JobRecordLog::Append(folder, JobRecord::HeaderLine(), JobRecord::Line(RecordFields("a", 1)), &error));
    const QByteArray before = Contents(JobRecordLog::FilePath(folder));

    // The disk fills part way through the line: what was written is cut back.
    const ProcessResult full = RunChildRole(childEnvironment(), "jobsum-full", {folder});
    EXPECT_EQ(full.exitCode, 0) << full.out.toStdString() << full.err.toStdString();
    EXPECT_TRUE(full.out.contains("JobSum.log: File too large")) << full.out.toStdString();
    EXPECT_EQ(Contents(JobRecordLog::FilePath(folder)), before);

    // A folder that does not exist.
    const QString missing = folder + "/absent";
    EXPECT_FALSE(JobRecordLog::Append(missing, JobRecord::HeaderLine(), "x\r\n", &error));
    EXPECT_EQ(error, missing + "/JobSum.log: No such file or directory");
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(JobRecordLogTest, SixStationsAppendingAtOnceKeepWholeRowsAndOneHeaderAndLeaveNothingBeside)
{
    const QString folder = LogFolder();
    constexpr int kStations = 6;
    constexpr int kRows = 400;
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int i = 0; i < kStations; ++i) {
        stations.push_back(std::make_unique<QProcess>());
        ASSERT_TRUE(StartChildRole(*stations.back(), childEnvironment(), "jobsum-append",
                                   {folder, QStringLiteral("station%1").arg(i), QString::number(kRows)}));
    }
    for (auto& station : stations) {
        ASSERT_TRUE(station->waitForFinished(120000));
        EXPECT_EQ(station->exitCode(), 0);
    }

    const QList<QStringList> rows = ReadCsv(JobRecordLog::FilePath(folder));
    ASSERT_EQ(rows.size(), kStations * kRows + 1);
    EXPECT_EQ(rows[0][0], "User");
    QHash<QString, QList<int>> perStation;
    for (const QStringList& row : rows.mid(1)) {
        ASSERT_EQ(row.size(), 163);
        perStation[row[0]] << row[JobRecord::kPassed].toInt();
    }
    for (int i = 0; i < kStations; ++i) {
        // Each station's rows, all there and in its own order.
        const QList<int> numbers = perStation.value(QStringLiteral("station%1").arg(i));
        ASSERT_EQ(numbers.size(), kRows) << i;
        for (int n = 0; n < kRows; ++n)
            EXPECT_EQ(numbers[n], n) << i;
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("JobSum.log")});
}

// A shared folder set up so that stations may append to the log but not
// create files in it.
TEST_F(JobRecordLogTest, ALogThatMayBeWrittenInAFolderThatMayNotIsAppendedTo)
{
    QTemporaryDir shared(QDir::tempPath() + QStringLiteral("/jobsum-shared-XXXXXX"));
    ASSERT_TRUE(shared.isValid());
    const QString folder = shared.path();
    QString error;
    ASSERT_TRUE(JobRecordLog::Append(folder, JobRecord::HeaderLine(), JobRecord::Line(RecordFields("a", 1)), &error));
    const QString log = JobRecordLog::FilePath(folder);
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther;
    ASSERT_TRUE(QFile::setPermissions(log, all));
    // Root's account is the one that must not write the folder.
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder, ::geteuid() == 0 ? readable | QFileDevice::WriteOwner : readable));

    const ProcessResult guest = RunChildRole(childEnvironment(), "jobsum-append-guest", {folder});
    QFile::setPermissions(folder, readable | QFileDevice::WriteOwner);
    EXPECT_EQ(guest.exitCode, 0) << guest.out.toStdString() << guest.err.toStdString();
    const QList<QStringList> rows = ReadCsv(log);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2][0], "guest");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("JobSum.log")});
}

} // namespace
