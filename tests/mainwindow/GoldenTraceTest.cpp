// A golden trace of one whole station run: the real program on the simulated
// four-site programmer "RG-1040/4", driven by an automation client over a
// private bus (tests/mainwindow/golden_trace_client.py) and by the engine's
// fault plan. What the station wrote (its black-box log with the job
// summaries in it, the job record log JobSum.log, the log of the boxes it
// showed) and what the client heard are compared, line by line, with the
// files in tests/mainwindow/golden/, after the masks below hide what differs
// from run to run (dates, times, the test's folders, the user's login name).
//
// The run: a first station, started in operator mode by its locked-job
// setting, saves the job the trace uses; the traced station starts in
// supervisor mode with "-device" and the client runs two devices, loads the
// locked job (the station enters operator mode), runs five devices on four sites with two
// planned failures, runs five more and stops the job while the third device
// runs, runs five more that the handler's operator aborts in the second
// round, and runs two devices on the programmer object, placing and picking
// them itself; then the station is ended by SIGTERM.
//
// After a deliberate change of behaviour, rewrite the expectations from a run:
//   TARVO_GOLDEN_UPDATE=1 build/bin/test_mainwindow --gtest_filter='GoldenTraceTest.*'
// and review the change with git diff tests/mainwindow/golden/.
#include "PrivateBusTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

// Run-dependent values, replaced in every line (after the folders, which are
// replaced as plain text). Each stands for one kind of value only, so a line
// that changes in anything else still differs.
const struct
{
    QRegularExpression pattern;
    QString replacement;
} kMasks[] = {
    // "Friday, 11 December 2026  04:05:19 UTC" (the job summary's heading)
    {QRegularExpression(R"(\b[A-Z][a-z]+day, \d{1,2} [A-Z][a-z]+ \d{4}  \d\d:\d\d:\d\d \S+)"), "<date time zone>"},
    // "Fri Dec 11 04:05:19 2026" (JobSum.log)
    {QRegularExpression(R"(\b[A-Z][a-z]{2} [A-Z][a-z]{2} [ \d]\d \d\d:\d\d:\d\d \d{4}\b)"), "<date time>"},
    // "12/11/2026" and "4:05:19 AM"
    {QRegularExpression(R"(\b\d{1,2}/\d{1,2}/\d{4}\b)"), "<date>"},
    {QRegularExpression(R"(\b\d{1,2}:\d\d:\d\d [AP]M\b)"), "<time>"},
    // The login name of whoever runs the test (the header's "User:").
    {QRegularExpression(R"(^  User: .*$)"), "  User: <login>"},
    // The bus name of a client, given by the bus in connection order.
    {QRegularExpression(R"(\B:\d+\.\d+\b)"), "<bus name>"},
    // Units per hour follow the run's time on the clock: the summary's line
    // and the record's column after the yield (the date is masked above).
    {QRegularExpression(R"(^(\tUnits/Hour:\s+)\d+$)"), "\\1<rate>"},
    {QRegularExpression(R"(^([^,]*,[^,]*,<date time>,(?:[^,]*,){14})\d+,)"), "\\1<rate>,"},
};

class GoldenTraceTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        // The programmer object's calls and events go into the black-box log.
        SetComTransactionLog(true);
        m_engineFolder = childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine";
        ASSERT_TRUE(QDir().mkpath(m_engineFolder));
        ASSERT_TRUE(QDir().mkpath(LogFolder()));
        // A data pattern that is not all one value, so its checksum says something.
        QFile pattern(tempPath("pattern.bin"));
        ASSERT_TRUE(pattern.open(QIODevice::WriteOnly));
        for (int i = 0; i < 4096; ++i)
            pattern.write(QByteArray(1, char(i * 7 % 256)));
        pattern.close();
    }

    QString LogFolder() const { return tempPath("qxelog"); }
    QString EngineIni() const { return m_engineFolder + "/engine.ini"; }

    // The locked-job setting of the station (kept by the engine).
    void SetStartInOperatorMode(bool on) const
    {
        QSettings ini(EngineIni(), QSettings::IniFormat);
        ini.setValue("Sealbook/StartInOperatorMode", on);
    }

    QProcessEnvironment StationEnvironment(const QString& name) const
    {
        QProcessEnvironment env = childEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        env.insert("TARVO_ENGINE_MODEL", "RG-1040/4");
        env.insert("TARVO_UI_LOG", tempPath(name + "-ui.log"));
        env.insert("QXELOG", LogFolder());
        env.insert("USER", "operator7");
        env.insert("LC_ALL", "C.UTF-8");
        env.insert("LANG", "C.UTF-8");
        env.insert("TZ", "UTC");
        return env;
    }

    // Starts the station, runs the client's steps on it, ends the station by
    // SIGTERM; what the client printed.
    QStringList RunStation(const QProcessEnvironment& env, const QStringList& args, const QJsonArray& steps)
    {
        QProcess station;
        station.setProcessEnvironment(env);
        station.start(BinDir() + "/tarvo", args);
        EXPECT_TRUE(station.waitForStarted(30000));

        QProcessEnvironment clientEnv = childEnvironment();
        clientEnv.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        const ProcessResult client = RunProgram(
            kPython,
            {SourceDir() + "/tests/mainwindow/golden_trace_client.py", QString::number(station.processId()),
             m_engineFolder + "/faultplan.ini", QString::fromUtf8(QJsonDocument(steps).toJson(QJsonDocument::Compact))},
            clientEnv, 120000);
        EXPECT_EQ(client.exitCode, 0) << client.out.toStdString() << client.err.toStdString();

        ::kill(pid_t(station.processId()), SIGTERM);
        EXPECT_TRUE(station.waitForFinished(60000));
        EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(station.exitCode(), 0) << station.readAllStandardError().toStdString();
        return client.out.split('\n', Qt::SkipEmptyParts);
    }

    static QStringList FileLines(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("<no file %1>").arg(QFileInfo(path).fileName())};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    // The lines with their run-dependent values masked. The log's CR LF line
    // ends become LF, so the expectations are plain text files.
    QStringList Masked(QStringList lines) const
    {
        // The test's own folder holds the home, data, registry and temporary folders.
        const QString root = QFileInfo(childEnvironment().value("HOME")).absolutePath();
        for (QString& line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            line.replace(root, "<test>");
            line.replace(BinDir(), "<bin>");
            for (const auto& mask : kMasks)
                line.replace(mask.pattern, mask.replacement);
        }
        return lines;
    }

    // Compares the lines with the expectation file, or rewrites the file when
    // TARVO_GOLDEN_UPDATE is set.
    void ExpectGolden(const QString& name, const QStringList& actual)
    {
        const QString path = SourceDir() + "/tests/mainwindow/golden/" + name;
        if (qEnvironmentVariableIntValue("TARVO_GOLDEN_UPDATE") == 1) {
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
            file.write((actual.join('\n') + '\n').toUtf8());
            return;
        }
        const QStringList expected = FileLines(path);
        if (expected != actual)
            ADD_FAILURE() << name.toStdString()
                          << " differs from its expectation (TARVO_GOLDEN_UPDATE=1 rewrites it):\n"
                          << Diff(name, expected, actual).toStdString();
    }

    // The first differing lines as a unified diff hunk with three lines of
    // context; long hunks are cut.
    static QString Diff(const QString& name, const QStringList& expected, const QStringList& actual)
    {
        qsizetype first = 0;
        while (first < expected.size() && first < actual.size() && expected[first] == actual[first])
            ++first;
        qsizetype endExpected = expected.size(), endActual = actual.size();
        while (endExpected > first && endActual > first && expected[endExpected - 1] == actual[endActual - 1]) {
            --endExpected;
            --endActual;
        }
        constexpr qsizetype kContext = 3, kShown = 25;
        const qsizetype from = std::max<qsizetype>(0, first - kContext);
        QStringList out{"--- golden/" + name, "+++ this run"};
        out << QStringLiteral("@@ -%1,%2 +%1,%3 @@")
                   .arg(from + 1)
                   .arg(std::min(endExpected + kContext, expected.size()) - from)
                   .arg(std::min(endActual + kContext, actual.size()) - from);
        for (qsizetype i = from; i < first; ++i)
            out << " " + expected[i];
        const auto side = [&](const QStringList& lines, qsizetype end, const QString& sign) {
            for (qsizetype i = first; i < end && i < first + kShown; ++i)
                out << sign + lines[i];
            if (end - first > kShown)
                out << QStringLiteral("%1... %2 more lines").arg(sign).arg(end - first - kShown);
        };
        side(expected, endExpected, "-");
        side(actual, endActual, "+");
        for (qsizetype i = endActual; i < std::min(endActual + kContext, actual.size()); ++i)
            out << " " + actual[i];
        return out.join('\n');
    }

    QString m_engineFolder;
};

QJsonArray Steps(std::initializer_list<QJsonArray> steps)
{
    QJsonArray all;
    for (const QJsonArray& step : steps)
        all << step;
    return all;
}

TEST_F(GoldenTraceTest, ALockedJobRunStoppedAndAbortedLeavesItsTrace)
{
    StartDaemon(BusEnvironment());
    const QString job = tempPath("locked.qx");

    // The job: saved by a station whose locked-job setting starts it in
    // operator mode, so the job starts in operator mode too.
    SetStartInOperatorMode(true);
    QProcessEnvironment prepare = StationEnvironment("prepare");
    prepare.insert("TARVO_UI_SCRIPT", "/dev/null");
    const QStringList saved = RunStation(prepare, {"-device", "AM27C512", "-prog_file", tempPath("pattern.bin")},
                                         Steps({{"call", "SaveQxFile", job}}));
    ASSERT_EQ(saved.join('\n').toStdString(), ("SaveQxFile(" + job + ") -> done").toStdString());
    SetStartInOperatorMode(false);

    // The traced station: every box it shows is answered OK, in order; any
    // further box takes its default answer.
    QProcessEnvironment traced = StationEnvironment("station");
    QFile answers(tempPath("answers"));
    ASSERT_TRUE(answers.open(QIODevice::WriteOnly));
    answers.write("1\n1\n1\n1\n1\n");
    answers.close();
    traced.insert("TARVO_UI_SCRIPT", answers.fileName());
    // The second device of each job fails its verify, the sixth its blank check.
    traced.insert("TARVO_ENGINE_FAULTS", "delay=0;device.2=28;device.6=@blank");
    const QStringList heard = RunStation(traced, {"-device", "AM27C512"},
                                         Steps({
                                             // Two devices in supervisor mode, then the locked job.
                                             {"job", 2, 2},
                                             {"call", "LoadQxFile", job},
                                             {"job", 5, 2},
                                             // Stop while the third device runs (it would take 20 s).
                                             {"plan", "delay.site.3=20000"},
                                             {"abort-at", 3},
                                             {"job", 5, 2},
                                             // The handler's operator aborts before placing the sixth device.
                                             {"plan", "manual.abort=6"},
                                             {"job", 5, 2},
                                             {"plan"},
                                             {"programmer", 2, job, 2},
                                         }));

    ExpectGolden("client.txt", Masked(heard));
    ExpectGolden("BlackBox.log", Masked(FileLines(m_engineFolder + "/DATALOG/BlackBox.log")));
    ExpectGolden("JobSum.log", Masked(FileLines(LogFolder() + "/JobSum.log")));
    ExpectGolden("ui.log", Masked(FileLines(tempPath("station-ui.log"))));
    ExpectGolden("HKCU.reg", Masked(FileLines(registryRoot() + "/HKCU.reg")));
}

} // namespace
