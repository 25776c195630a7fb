// Several clients share one station over a private bus (the station started
// by activation on the simulated eight-site programmer "RG-1080/8" at full
// speed): a job stays with the client that began it, an idle or vanished
// client holds up nobody, and every job ends with its one notice and never
// waits on a box. The clients are tests/automation/session_clients.py.
#include "ClientRoundLines.h"
#include "PrivateBusTest.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kServer = QStringLiteral("/com/corvane/Tarvo");

class SharedStationBusTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        SelectDeviceAtStart("AM27C512");
        SetComTransactionLog(true);
        QProcessEnvironment env = BusEnvironment();
        env.insert("TARVO_ENGINE_MODEL", "RG-1080/8");
        env.insert("TARVO_ENGINE_FAULTS", "delay=0;manual.sites=8");
        env.insert("QXELOG", tempPath());
        env.insert("USER", "station");
        StartDaemon(env);
    }

    // Runs a scenario of the clients; the lines they heard.
    QStringList Heard(const QString& scenario, const QJsonObject& settings)
    {
        const ProcessResult r = RunSessionClients(scenario, settings);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
        return r.out.split('\n', Qt::SkipEmptyParts);
    }

    // A job file the station saves itself: its device and a data pattern.
    QString GoodJobFile()
    {
        const QString pattern = tempPath("pattern.bin");
        QFile data(pattern);
        EXPECT_TRUE(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(256, '\x5a'));
        data.close();
        const QString control = Create("CJobControl");
        const QString file = tempPath("good.qx");
        EXPECT_EQ(Call(control, "com.corvane.Tarvo.CJobControl.LoadPatternFile", {pattern, "0"}).exitCode, 0);
        EXPECT_EQ(Call(control, "com.corvane.Tarvo.CJobControl.SaveQxFile", {file}).exitCode, 0);
        Call(kServer, "com.corvane.Tarvo.Server.Release", {control});
        return file;
    }

    // A kept instance, as a one-shot gdbus client makes it.
    QString Create(const QString& cls)
    {
        const ProcessResult r = Call(kServer, "com.corvane.Tarvo.Server.Create", {cls, "true"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QRegularExpression("'(/[^']*)'").match(r.out).captured(1);
    }

    // The job record log's rows, its header left out.
    QStringList JobRows() const { return JobRecordRows(tempPath()); }

    QString UiLog() const
    {
        QFile log(tempPath("ui.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
};

QJsonObject Job(int quantity, const QString& file)
{
    QJsonObject job;
    job["quantity"] = quantity;
    job["file"] = file;
    return job;
}

std::string Text(const QStringList& lines)
{
    return lines.join('\n').toStdString();
}

// The lines of one client and class: "A" the programmer, "A control",
// "A monitor".
QStringList Of(const QStringList& heard, const QString& who)
{
    QStringList lines;
    const bool plain = !who.contains(' ');
    for (const QString& line : heard) {
        if (!line.startsWith(who + ' '))
            continue;
        const QString rest = line.mid(who.size() + 1);
        if (plain && (rest.startsWith("control ") || rest.startsWith("monitor ")))
            continue;
        lines << rest;
    }
    return lines;
}

TEST_F(SharedStationBusTest, AJobKeepsItsEventsAndItsNoticeWhileAnotherClientComesAndGoes)
{
    const QString good = GoodJobFile();
    const QStringList heard = Heard("two_clients", Job(3, good));

    // A heard its whole job and its one notice, on its programmer only.
    EXPECT_EQ(Text(Of(heard, "A")), Text(ClientRoundLines({0, 1, 2}, false) << "complete 0"));
    EXPECT_TRUE(Of(heard, "A control").isEmpty());
    // A's monitor heard every socket of the job and its end.
    EXPECT_EQ(Text(Of(heard, "A monitor")),
              Text({"active", "passed", "active", "passed", "active", "passed", "complete 0"}));
    // B began nothing: its programmer and control heard nothing; its monitor
    // heard the sockets of the job while it was there.
    EXPECT_TRUE(Of(heard, "B").isEmpty()) << Text(heard);
    EXPECT_TRUE(Of(heard, "B control").isEmpty());
    EXPECT_EQ(Text(Of(heard, "B monitor")), Text({"active", "passed", "active", "passed", "active", "passed"}));
    // B's stray placement never reached A's session, and none of A's was
    // dropped.
    EXPECT_FALSE(BlackBox().contains("Got DoDevicePlaced(5)"));
    EXPECT_FALSE(BlackBox().contains("Dropped"));
}

TEST_F(SharedStationBusTest, AnIdleKeptProgrammerHoldsUpNoJobAndNoJobWaitsOnTheSummary)
{
    const QString good = GoodJobFile();
    Create("CQxProgrammer"); // kept, and never used
    QJsonObject two;
    two["quantity"] = 2;
    QElapsedTimer clock;
    clock.start();
    // The job control's job: the operator's kind of session, the handler
    // filling the sockets, ended by its own notice.
    EXPECT_EQ(Text(Heard("control", two)),
              Text({"A monitor active", "A monitor passed", "A monitor active", "A monitor passed",
                    "A control complete 0", "A monitor complete 0"}));
    // A programmer job of two devices on the eight sites ends in its notice.
    EXPECT_EQ(Text(Of(Heard("job", Job(2, good)), "A")), Text(ClientRoundLines({0, 1}, false) << "complete 0"));
    EXPECT_LT(clock.elapsed(), 10000);
    // Neither session that ran its quantity ended in the modal summary.
    EXPECT_FALSE(UiLog().contains("frmJobSummary")) << UiLog().toStdString();
    EXPECT_TRUE(BlackBox().contains("Waiting for the automation client :"));
}

TEST_F(SharedStationBusTest, AClientsJobOfTenOnEightSitesLeavesItsRecordButNoWindow)
{
    const QString good = GoodJobFile();
    QJsonObject ten;
    ten["quantity"] = 10;
    // The job control's job (the handler fills the sockets), then the
    // programmer's (the client places its devices): each ran its ten and
    // appended its row to the job record log, and neither opened the
    // summary window.
    EXPECT_TRUE(Heard("control", ten).contains("A control complete 0"));
    EXPECT_TRUE(Of(Heard("job", Job(10, good)), "A").contains("complete 0"));
    const QStringList rows = JobRows();
    ASSERT_EQ(rows.size(), 2) << Text(rows);
    for (const QString& row : rows)
        EXPECT_TRUE(row.startsWith("station,") && row.contains(",10,0,0,0,0,0,0,0,0,0,0,0,0,100.00%,"))
            << row.toStdString();
    EXPECT_EQ(BlackBox().count(QStringLiteral("Successful operations:          \t10")), 2);
    EXPECT_FALSE(UiLog().contains("frmJobSummary")) << UiLog().toStdString();
}

TEST_F(SharedStationBusTest, AClientKilledMidJobHasItsJobStoppedAndTheNextClientsJobRuns)
{
    const QString good = GoodJobFile();
    QJsonObject dying = Job(3, good);
    dying["die"] = true;
    const ProcessResult killed = RunSessionClients("job", dying);
    EXPECT_TRUE(killed.out.startsWith("A 0 ReadyToBePLACED")) << killed.out.toStdString();
    EXPECT_FALSE(killed.out.contains("complete"));

    // The next client's job is taken within a second and runs in full.
    const QStringList heard = Heard("job", Job(1, good));
    EXPECT_EQ(Text(Of(heard, "A")), Text(ClientRoundLines({0}, false) << "complete 0"));
    EXPECT_LE(heard.count("retried"), 20);
    const QString log = BlackBox();
    EXPECT_TRUE(log.contains(QRegularExpression("The automation client :[0-9.]+ left during its job: the job is "
                                                "stopped\\.")))
        << log.toStdString();
    // The stopped job's summary and record say so.
    EXPECT_TRUE(log.contains("This job has been stopped.")) << log.toStdString();
    EXPECT_FALSE(UiLog().contains("frmJobSummary"));
}

TEST_F(SharedStationBusTest, QuantityBoundariesOfBothClasses)
{
    const QString good = GoodJobFile();
    // The programmer: 0 is a job of as many devices as the client brings
    // (here stopped in its second round); a negative count or one above
    // 65535 is refused with 154 before anything runs.
    QJsonObject zero = Job(0, good);
    zero["abort_round"] = 2;
    QStringList expected = ClientRoundLines({0, 1, 2, 3, 4, 5, 6, 7}, false);
    expected << "0 ReadyToBePLACED"
             << "1 ReadyToBePLACED"
             << "2 ReadyToBePLACED"
             << "3 ReadyToBePLACED"
             << "4 ReadyToBePLACED"
             << "5 ReadyToBePLACED"
             << "6 ReadyToBePLACED"
             << "7 ReadyToBePLACED"
             << "complete -1005";
    EXPECT_EQ(Text(Of(Heard("job", zero), "A")), Text(expected));
    for (const int refused : {-1, 65536})
        EXPECT_EQ(Text(Of(Heard("job", Job(refused, good)), "A")), "complete 154") << refused;
    EXPECT_EQ(Text(Of(Heard("job", Job(1, good)), "A")), Text(ClientRoundLines({0}, false) << "complete 0"));

    // The job control: the quantity box's range, anything else refused in
    // the call with the invalid-value error.
    const QString control = Create("CJobControl");
    for (const QString& refused : {"-1", "0", "65536", "2147483647"}) {
        const ProcessResult r = Call(control, "com.corvane.Tarvo.CJobControl.BeginJob", {"--", refused});
        EXPECT_NE(r.exitCode, 0) << refused.toStdString();
        EXPECT_TRUE(r.err.contains("com.corvane.Tarvo.Error.CJOBCONTROL_E_INVALIDPARAMVALUE: 0x80040222 "
                                   "CJobControl: The parameter value is invalid."))
            << r.err.toStdString();
    }
    Call(kServer, "com.corvane.Tarvo.Server.Release", {control});
    QJsonObject most;
    most["quantity"] = 1;
    EXPECT_TRUE(Heard("control", most).contains("A control complete 0"));
}

} // namespace
