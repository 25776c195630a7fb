// Runs of the real program as a process, unattended: the simulated
// programmer's start key begins a job once the station is up, its fault plan
// fails chosen devices, and the station is ended by a signal or killed.
#include "ProgramProcessFixture.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <csignal>
#include <map>

namespace {

class RunProcessTest : public ProgramProcessTest
{
protected:
    // A station whose quantity is set and whose engine starts one job on its
    // own shortly after start-up; every box is answered OK.
    QProcessEnvironment runEnv(int devices, const QString& faults)
    {
        QFile hive(registryRoot() + "/HKCU.reg");
        EXPECT_TRUE(QDir().mkpath(registryRoot()));
        EXPECT_TRUE(hive.open(QIODevice::WriteOnly));
        hive.write(
            QStringLiteral("Corvane registry hive 1\n\n[Software\\Corvane\\Tarvo\\Device]\n\"NumDevices\"=sz:\"%1\"\n")
                .arg(devices)
                .toUtf8());
        hive.close();
        QFile answers(tempPath("answers"));
        EXPECT_TRUE(answers.open(QIODevice::WriteOnly));
        answers.write(QByteArray("1\n").repeated(4 * devices + 8));
        answers.close();

        QProcessEnvironment e = env(-1);
        e.insert("TARVO_UI_SCRIPT", answers.fileName());
        e.insert("TARVO_ENGINE_FAULTS", "start=300:1;" + faults);
        return e;
    }
    // The same run on the eight-site programmer, its job record written to
    // the test's folder.
    bool startEightSites(QProcess& station, int devices, const QString& faults)
    {
        QProcessEnvironment e = runEnv(devices, faults);
        e.insert("TARVO_ENGINE_MODEL", "RG-1080/8");
        e.insert("QXELOG", tempPath());
        e.insert("USER", "station");
        station.setProcessEnvironment(e);
        station.start(program(), {"-device", "AM27C512"});
        return station.waitForStarted();
    }
    // Waits until the black-box log holds a line that many times.
    // Polls until the condition holds; false once the station has ended or
    // the time is up.
    template <typename Condition>
    static bool waitUntil(Condition holds, QProcess& station, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (holds())
                return true;
            if (station.state() == QProcess::NotRunning)
                return false;
            station.waitForFinished(50);
        }
        return false;
    }
    bool waitForLogLines(const QString& line, int count, QProcess& station, int ms = 60000)
    {
        return waitUntil([&] { return blackBoxLog().count(line) >= count; }, station, ms);
    }
    // A box's or window's line in the UI log is written once it has been
    // answered, after whatever it logged while it loaded.
    bool waitForUiLines(const QString& text, int count, QProcess& station, int ms = 60000)
    {
        return waitUntil([&] { return uiLines().filter(text).size() >= count; }, station, ms);
    }
    static void endWith(QProcess& station, int signal)
    {
        ::kill(pid_t(station.processId()), signal);
        ASSERT_TRUE(station.waitForFinished(30000));
    }
};

TEST_F(RunProcessTest, TheStartKeyRunsAJobOfTwentyDevicesWithItsFailuresLogged)
{
    QProcess station;
    station.setProcessEnvironment(runEnv(20, "delay=0;device.3=28;device.7=@program;device.12=38"));
    station.start(program(), {"-device", "AM27C512"});
    ASSERT_TRUE(station.waitForStarted());

    // Failed devices do not use up the quantity: twenty pass, three fail.
    ASSERT_TRUE(waitForLogLines("Site 1: Program passed.", 20, station)) << blackBoxLog().toStdString();
    endWith(station, SIGTERM);
    EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(station.exitCode(), 0);

    const QString log = blackBoxLog();
    EXPECT_EQ(log.count("Site 1: Program started."), 23);
    EXPECT_EQ(log.count("Site 1: Program passed."), 20);
    for (const char* failure : {"Verify failure", "Programming failure", "Functional test failure"}) {
        EXPECT_EQ(log.count(QStringLiteral("Site 1: Program failed: %1.").arg(failure)), 1) << failure;
        EXPECT_EQ(log.count(QStringLiteral("Error Message: Failed to perform operation on device.\r\n%1").arg(failure)),
                  1)
            << failure;
    }
    EXPECT_TRUE(log.contains("System has been shut down successfully!"));
    // Each device after the first was asked for.
    EXPECT_EQ(uiLines().filter("\tInsert next device\t").size(), 22);
}

TEST_F(RunProcessTest, AnEightSiteJobWithFailuresEndsInItsSummaryAndOneJobRecord)
{
    QProcess station;
    ASSERT_TRUE(startEightSites(station, 16, "delay=0;manual.sites=8;device.3=28;device.9=21"));

    // The handler's session ran its sixteen (two more failed), and ended in
    // the summary window with the counts the sites reported.
    ASSERT_TRUE(waitForLogLines("Successful operations:", 1, station)) << blackBoxLog().toStdString();
    EXPECT_TRUE(waitForUiLines("frmJobSummary", 1, station)) << uiLines().join('\n').toStdString();
    endWith(station, SIGTERM);
    const QString log = blackBoxLog();
    EXPECT_EQ(log.count(QRegularExpression("Site [1-8]: Program passed\\.")), 16);
    EXPECT_EQ(log.count(QRegularExpression("Site [1-8]: Program failed")), 2);
    EXPECT_TRUE(log.contains("Successful operations:          \t16\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("Failure operations:             \t2\r\n"));
    EXPECT_EQ(uiLines().filter("frmJobSummary").size(), 1) << uiLines().join('\n').toStdString();

    QFile record(tempPath("JobSum.log"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(record.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2); // the header and the job's row
    EXPECT_TRUE(rows[1].contains(",16,0,0,0,0,0,0,0,0,1,0,1,0,88.89%,")) << rows[1].toStdString();
}

TEST_F(RunProcessTest, AnEightSiteJobsSiteYieldsAgreeWithItsStatusLinesStatisticsAndJobRecord)
{
    QProcess station;
    ASSERT_TRUE(startEightSites(station, 16, "delay=0;device.3=28;device.9=28"));
    ASSERT_TRUE(waitForLogLines("Socket Module Insertion Counters:", 1, station)) << blackBoxLog().toStdString();
    endWith(station, SIGTERM);
    const QString log = blackBoxLog();

    // What each site reported, device by device, in the status lines.
    struct Counts
    {
        int passed = 0;
        int failed = 0;
    };
    std::map<int, Counts> reported;
    const QRegularExpression verdict("Site (\\d+): Program (passed|failed)");
    for (auto it = verdict.globalMatch(log); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        Counts& site = reported[m.captured(1).toInt()];
        ++(m.captured(2) == "passed" ? site.passed : site.failed);
    }
    int reportedFailed = 0;
    for (const auto& [site, counts] : reported)
        reportedFailed += counts.failed;
    ASSERT_EQ(reportedFailed, 2) << log.toStdString();

    const QRegularExpressionMatch total = QRegularExpression("Total operations:\\s+(\\d+)\\r\\n").match(log);
    ASSERT_TRUE(total.hasMatch()) << log.toStdString();
    EXPECT_EQ(total.captured(1).toInt(), 18);

    // The summary's site rows: the sites' own devices, adding up to the total.
    const QRegularExpression row(
        "\\tSite (\\d+):\\s+Passed:\\s+(\\d+)\\s+Failed:\\s+(\\d+)\\s+Total:\\s+(\\d+)\\s+(\\S+)\\r\\n");
    QStringList rowFields;
    int rowsTotal = 0;
    int rows = 0;
    for (auto it = row.globalMatch(log); it.hasNext(); ++rows) {
        const QRegularExpressionMatch m = it.next();
        const int site = m.captured(1).toInt();
        SCOPED_TRACE(site);
        EXPECT_EQ(site, rows + 1);
        EXPECT_EQ(m.captured(2).toInt(), reported[site].passed);
        EXPECT_EQ(m.captured(3).toInt(), reported[site].failed);
        EXPECT_EQ(m.captured(4).toInt(), reported[site].passed + reported[site].failed);
        rowsTotal += m.captured(4).toInt();
        rowFields << m.captured(2) << m.captured(3) << m.captured(4) << m.captured(5);
    }
    EXPECT_EQ(rows, 8);
    EXPECT_EQ(rowsTotal, 18);

    // The job record carries the same figures in its site columns.
    QFile record(tempPath("JobSum.log"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(record.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QStringList fields = lines[1].split(',');
    ASSERT_GE(fields.size(), 18 + rowFields.size());
    EXPECT_EQ(fields.mid(18, rowFields.size()), rowFields) << lines[1].toStdString();
}

TEST_F(RunProcessTest, TerminationDuringASlowRunStopsItAndClosesCleanly)
{
    QProcess station;
    station.setProcessEnvironment(runEnv(5, "delay=300"));
    station.start(program(), {"-device", "AM27C512"});
    ASSERT_TRUE(station.waitForStarted());
    ASSERT_TRUE(waitForLogLines("Site 1: Program started.", 1, station)) << blackBoxLog().toStdString();

    endWith(station, SIGTERM);
    EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(station.exitCode(), 0);
    const QString log = blackBoxLog();
    EXPECT_LT(log.count("Site 1: Program passed."), 5);
    EXPECT_TRUE(log.contains("Application Tarvo is being shut down!"));
    EXPECT_TRUE(log.contains("System has been shut down successfully!"));
    EXPECT_TRUE(settingsHive().contains("\"NumDevices\"=sz:\"5\""));
}

TEST_F(RunProcessTest, AStationKilledMidRunLeavesItsLogAndSettingsReadable)
{
    QProcess station;
    station.setProcessEnvironment(runEnv(5, "delay=300"));
    station.start(program(), {"-device", "AM27C512"});
    ASSERT_TRUE(station.waitForStarted());
    ASSERT_TRUE(waitForLogLines("Site 1: Program started.", 1, station)) << blackBoxLog().toStdString();
    endWith(station, SIGKILL);

    // Every line written is whole.
    const QString log = blackBoxLog();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.endsWith("\r\n")) << log.right(80).toStdString();
    EXPECT_TRUE(settingsHive().startsWith("Corvane registry hive 1"));

    // The next start finds its settings as they were, with nothing set aside.
    QFile::remove(uiLog());
    const ProcessResult again = RunProgram(program(), {}, env(200), 60000);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    EXPECT_TRUE(settingsHive().contains("\"NumDevices\"=sz:\"5\""));
    EXPECT_TRUE(QDir(registryRoot()).entryList({"*.corrupt-*"}).isEmpty());
}

} // namespace
