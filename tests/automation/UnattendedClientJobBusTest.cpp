// Client jobs on the default single-site model over a private bus, on the
// station the bus starts: a client's job runs silent (no box waits, its
// summary is built and recorded), the operator's own run in the same station
// keeps its prompts, and a job held in a box (a station whose client jobs
// show the operator's boxes) ends at its client's Abort or leaving. The
// clients are tests/automation/session_clients.py.
#include "PrivateBusTest.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kServer = QStringLiteral("/com/corvane/Tarvo");

class UnattendedClientJobBusTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        SelectDeviceAtStart("AM27C512");
        QDir().mkpath(JobLogs());
    }

    QProcessEnvironment Environment(const QString& faults, bool scriptedBoxes)
    {
        QProcessEnvironment env = BusEnvironment();
        if (!scriptedBoxes) // the operator's boxes, shown and waiting
            env.remove("TARVO_UI_SCRIPT");
        env.insert("TARVO_ENGINE_FAULTS", faults);
        env.insert("QXELOG", JobLogs());
        env.insert("USER", "station");
        return env;
    }

    // The first call starts the station by activation.
    void StartStation()
    {
        const ProcessResult r = Call(kServer, "com.corvane.Tarvo.Server.Create", {"CJobMonitor", "true"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString path = QRegularExpression("'(/[^']*)'").match(r.out).captured(1);
        Call(kServer, "com.corvane.Tarvo.Server.Release", {path});
    }

    QStringList Heard(const QString& scenario, const QJsonObject& settings)
    {
        const ProcessResult r = RunSessionClients(scenario, settings);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
        return r.out.split('\n', Qt::SkipEmptyParts);
    }

    QString JobLogs() const { return tempPath("joblogs"); }
    // The job record log's rows, its header left out.
    QStringList JobRows() const { return JobRecordRows(JobLogs()); }
    QStringList UiLines() const
    {
        QFile log(tempPath("ui.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                             : QStringList();
    }
    // Polls for up to 30 s.
    template <typename Condition>
    static bool WaitUntil(Condition holds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            if (holds())
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    bool WaitForBlackBox(const QString& text, int count)
    {
        return WaitUntil([&] { return BlackBox().count(text) >= count; });
    }
    // A box's or window's line in the UI log is written once it has been
    // answered, after whatever it logged while it loaded.
    bool WaitForUiLines(const QString& text, int count)
    {
        return WaitUntil([&] { return UiLines().filter(text).size() >= count; });
    }
};

QJsonObject Settings(std::initializer_list<std::pair<const char*, QJsonValue>> values)
{
    QJsonObject object;
    for (const auto& [key, value] : values)
        object[key] = value;
    return object;
}

std::string Text(const QStringList& lines)
{
    return lines.join('\n').toStdString();
}

TEST_F(UnattendedClientJobBusTest, AClientsJobOfTenRunsWithoutABoxWhileTheOperatorsRunKeepsItsPrompts)
{
    // The operator's run of three (the engine's start key presses Action
    // once the station is up) and then the client's job of ten; the third
    // device of each fails its verify. Every box the station shows is
    // answered with its default and logged.
    SaveSettingValue("Tarvo", "Device", "NumDevices", "3");
    const QString summaries = tempPath("summaries");
    QDir().mkpath(summaries);
    SaveSettingValue("Tarvo", "Application", "AutoSaveSK_Enable", "1");
    SaveSettingValue("Tarvo", "Application", "AutoSaveSK_Dir", summaries);
    StartDaemon(Environment("delay=0;start=300:1;device.3=28;device.8=28", true));
    StartStation();
    ASSERT_TRUE(WaitForBlackBox("Successful operations:", 1)) << BlackBox().toStdString();

    // The operator's run asked for each device after the first and ended in
    // its summary window.
    EXPECT_TRUE(WaitForUiLines("frmJobSummary", 1)) << Text(UiLines());
    const QStringList operatorBoxes = UiLines();
    EXPECT_EQ(operatorBoxes.filter("\tInsert next device\t").size(), 3) << Text(operatorBoxes);
    EXPECT_EQ(operatorBoxes.filter("frmJobSummary").size(), 1) << Text(operatorBoxes);
    ASSERT_EQ(JobRows().size(), 1);
    // Its window was closed without OK: nothing was handed to the engine.
    EXPECT_TRUE(QDir(summaries).entryList(QDir::Files).isEmpty());

    // The client's job: ten pass, two fail, one notice, and not one box.
    const QStringList heard = Heard("control", Settings({{"quantity", 10}}));
    EXPECT_EQ(heard.filter("A control complete").join('\n'), "A control complete 0") << Text(heard);
    EXPECT_EQ(heard.filter("A monitor passed").size(), 10);
    EXPECT_EQ(heard.filter("A monitor failed").size(), 2);
    EXPECT_EQ(Text(UiLines()), Text(operatorBoxes));
    // Its prompts went to the status line, its failures to the log, and its
    // summary was built and recorded: the job record log's second row.
    const QString log = BlackBox();
    EXPECT_EQ(log.count("Error Message: Failed to perform operation on device."), 3);
    EXPECT_EQ(log.count("Insert next device"), 11) << log.toStdString();
    EXPECT_EQ(log.count("Successful operations:"), 2);
    const QStringList rows = JobRows();
    ASSERT_EQ(rows.size(), 2) << Text(rows);
    EXPECT_TRUE(rows[1].startsWith("station,")) << rows[1].toStdString();
    EXPECT_TRUE(rows[1].contains(",10,0,0,0,0,0,0,0,0,0,0,2,0,83.33%,")) << rows[1].toStdString();
    // The unshown summary was handed on as its OK would: auto-saved.
    const QStringList saved = QDir(summaries).entryList(QDir::Files);
    ASSERT_EQ(saved.size(), 1) << Text(saved);
    QFile text(summaries + "/" + saved.first());
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString report = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(report.contains(QRegularExpression("Successful operations:\\s+10\r\n"))) << report.toStdString();
}

TEST_F(UnattendedClientJobBusTest, AbortOrLeavingEndsAClientsJobHeldInABoxAndTheNextJobRuns)
{
    // A station whose client jobs show the operator's boxes, and nobody to
    // answer them: each job of three waits at "Insert next device".
    SetSilentClientJobs(false);
    StartDaemon(Environment("delay=0", false));
    StartStation();
    for (const char* how : {"abort", "leave"}) {
        SCOPED_TRACE(how);
        const QStringList heard = Heard("held", Settings({{"quantity", 3}, {"how", how}, {"after", "passed"}}));
        EXPECT_EQ(heard.filter("B monitor passed").size(), 1) << Text(heard);
        EXPECT_EQ(heard.filter("B monitor complete").join('\n'), "B monitor complete -1005") << Text(heard);
        const QStringList after = heard.filter("ended after ");
        ASSERT_EQ(after.size(), 1) << Text(heard);
        EXPECT_LT(after.first().mid(12).toDouble(), 1.0) << Text(heard);
    }
    // Both jobs waited in the box, which took its Cancel answer.
    const QStringList boxes = UiLines().filter("\tInsert next device\t");
    EXPECT_EQ(boxes.size(), 2) << Text(UiLines());
    for (const QString& box : boxes)
        EXPECT_TRUE(box.endsWith("\t2")) << box.toStdString();
    EXPECT_TRUE(BlackBox().contains("The automation client of the running job left: the job is stopped."));

    // The next client's job runs in full.
    const QStringList next = Heard("control", Settings({{"quantity", 1}}));
    EXPECT_TRUE(next.contains("A control complete 0")) << Text(next);
}

TEST_F(UnattendedClientJobBusTest, AbortDuringTheJobIdPromptEndsTheJobBeforeItsFirstDevice)
{
    // The job ID is asked at the start of every run: a client's job, shown
    // the operator's boxes, waits there.
    SetSilentClientJobs(false);
    SaveSettingValue("Tarvo", "Application", "JobID_Enable", "1");
    StartDaemon(Environment("delay=0", false));
    StartStation();
    const QStringList heard = Heard("held", Settings({{"quantity", 3}, {"how", "abort"}, {"after", "begun"}}));
    QStringList ends = heard.filter("complete");
    ends.sort();
    EXPECT_EQ(Text(ends), "A control complete -1005\nB monitor complete -1005") << Text(heard);
    EXPECT_TRUE(heard.filter("passed").isEmpty()) << Text(heard);
    EXPECT_EQ(UiLines().filter("\tEnter Job ID\t").size(), 1) << Text(UiLines());
    EXPECT_FALSE(BlackBox().contains("Site 1: Program started."));
}

} // namespace
