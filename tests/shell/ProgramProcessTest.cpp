// The real program, started as a process: headless, with a scripted UI, a
// temporary registry root and home.
#include "ProgramProcessFixture.h"

#include "shell/StartUp.h"

#include <QDir>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>

namespace {

TEST_F(ProgramProcessTest, StartsShowsItsMainWindowAndEndsWhenClosed)
{
    const ProcessResult r = RunProgram(program(), {}, env(200));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.crashed);
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    // The shut-down ran: the black-box log holds its lines.
    QFile log(childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine/DATALOG/BlackBox.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains("Command line: ")) << text.toStdString();
    EXPECT_TRUE(text.contains("System has been shut down successfully!")) << text.toStdString();
}

TEST_F(ProgramProcessTest, UsageBoxAndNothingElse)
{
    const ProcessResult r = RunProgram(program(), {"-SK", "a job.sk", "-?"}, env(-1), 20000);
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(uiLines().size(), 1);
    const QStringList fields = uiLines()[0].split('\t');
    ASSERT_GE(fields.size(), 4);
    EXPECT_EQ(fields[0], "Command Line Options");
    EXPECT_EQ(fields[1],
              "Available command line options: \\r\\n\\r\\n-SK <Job File Name>\\r\\n-device <Device Name>"
              "\\r\\n-prog_file <Data File Name>\\r\\n-log <Log File Name>\\r\\n");
    // No window was made: nothing was registered.
    EXPECT_FALSE(QFile::exists(registryRoot() + "/HKCU.reg"));
}

TEST_F(ProgramProcessTest, SecondInstanceIsRefusedAndTheFirstGoesOn)
{
    QProcess first;
    first.setProcessEnvironment(env(600000));
    first.start(program(), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForLock());

    const ProcessResult second = RunProgram(program(), {}, env(0), 20000);
    EXPECT_EQ(second.exitCode, 0);
    const QStringList lines = uiLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("Instance Error\tOnly one instance of this application could be run at a time!\t"));
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first closes when told to, not after a time of its own.
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(uiLines().size(), 1);
}

// The OEM edition is the same program under another name, on the same
// engine folder: started beside a running station it is refused before it
// touches that folder's logs, and runs once the folder is free again.
TEST_F(ProgramProcessTest, TwoEditionsOnOneEngineFolderAreOneStation)
{
    const QString chiselo = tempPath("bin/chiselo");
    ASSERT_TRUE(QDir().mkpath(tempPath("bin")));
    ASSERT_TRUE(QFile::link(program(), chiselo));
    const QDir datalog(QFileInfo(blackBoxLogPath()).path());
    auto logFiles = [&] { return datalog.entryList(QDir::Files, QDir::Name); };

    // Tarvo's start-up has written all it writes (automation's line comes
    // last) once it reports that it is shown.
    QProcess tarvo;
    QProcessEnvironment tarvoEnv = env(600000);
    tarvoEnv.insert("TARVO_REPORT_SHOWN", "1");
    tarvo.setProcessEnvironment(tarvoEnv);
    tarvo.start(program(), {});
    ASSERT_TRUE(tarvo.waitForStarted());
    QByteArray tarvoOutput;
    ASSERT_TRUE(waitForOutput(tarvo, "shown\n", &tarvoOutput)) << tarvoOutput.constData();
    ASSERT_TRUE(blackBoxLog().contains("PTouch directory path: "));
    const QString logBefore = blackBoxLog();
    const QStringList filesBefore = logFiles();

    const ProcessResult second = RunProgram(chiselo, {}, env(0), 30000);
    EXPECT_FALSE(second.crashed);
    const QStringList lines = uiLines();
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Instance Error\tOnly one instance of this application could be run at a time!\t"));
    // Tarvo's live log stayed where it was, and nothing was added to it.
    EXPECT_EQ(logFiles(), filesBefore);
    EXPECT_EQ(blackBoxLog(), logBefore);
    EXPECT_EQ(tarvo.state(), QProcess::Running);

    ::kill(pid_t(tarvo.processId()), SIGTERM);
    ASSERT_TRUE(tarvo.waitForFinished(30000));
    EXPECT_EQ(tarvo.exitCode(), 0);
    EXPECT_TRUE(blackBoxLog().startsWith(logBefore));
    EXPECT_TRUE(blackBoxLog().endsWith("System has been shut down successfully!\r\n"));

    // The folder is free: the other edition starts and ends on its own.
    const ProcessResult alone = RunProgram(chiselo, {}, env(200), 30000);
    EXPECT_EQ(alone.exitCode, 0) << alone.err.toStdString();
    EXPECT_EQ(uiLines().size(), 1);
    EXPECT_TRUE(blackBoxLog().contains("Command line: "));
}

TEST_F(ProgramProcessTest, LockOfAKilledInstanceDoesNotBlock)
{
    QProcess first;
    first.setProcessEnvironment(env(60000));
    first.start(program(), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForLock());
    ::kill(pid_t(first.processId()), SIGKILL);
    first.waitForFinished(10000);

    const ProcessResult next = RunProgram(program(), {}, env(0));
    EXPECT_EQ(next.exitCode, 0);
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
}

TEST_F(ProgramProcessTest, TerminationSignalsCloseTheStationAsExitDoes)
{
    const QString logPath = childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine/DATALOG/BlackBox.log";
    for (const int signal : {SIGTERM, SIGINT}) {
        QFile::remove(logPath);
        QProcess station;
        station.setProcessEnvironment(env(60000));
        station.start(program(), {});
        ASSERT_TRUE(station.waitForStarted());
        auto logText = [&] {
            QFile log(logPath);
            return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
        };
        // Start-up has shown the window once the install paths are logged.
        for (int i = 0; i < 200 && !logText().contains("PTouch directory path: "); ++i)
            QThread::msleep(50);
        ASSERT_TRUE(logText().contains("PTouch directory path: "));
        QFile::remove(registryRoot() + "/HKCU.reg");
        ::kill(pid_t(station.processId()), signal);
        ASSERT_TRUE(station.waitForFinished(20000));
        EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(station.exitCode(), 0);
        EXPECT_TRUE(logText().endsWith("System has been shut down successfully!\r\n")) << signal;
        QFile hive(registryRoot() + "/HKCU.reg");
        ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(hive.readAll()).contains("NumDevices")) << signal;
    }
}

TEST_F(ProgramProcessTest, TerminationDuringStartUpClosesOnceStartUpHasFinished)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QFile::remove(blackBoxLogPath());
        QFile::remove(registryRoot() + "/HKCU.reg");
        QProcessEnvironment e = env(600000);
        e.insert("TARVO_REPORT_SHOWN", "1");
        QProcess station;
        station.setProcessEnvironment(e);
        station.start(program(), {});
        ASSERT_TRUE(station.waitForStarted());
        // The handler is in place and start-up has begun: the signal is seen
        // at the splash's first repaint, inside start-up.
        QByteArray output;
        ASSERT_TRUE(waitForOutput(station, "starting\n", &output)) << output.toStdString();
        ::kill(pid_t(station.processId()), signal);
        ASSERT_TRUE(station.waitForFinished(30000));
        EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(station.exitCode(), 0);

        // The start-up ran whole, then the station closed once, saving.
        const QString log = blackBoxLog();
        const qsizetype started = log.indexOf("PTouch directory path: ");
        const qsizetype request = log.indexOf("Termination requested during start-up; the station closes.");
        const qsizetype shutDown = log.indexOf("Application Tarvo is being shut down!");
        ASSERT_NE(started, -1) << log.toStdString();
        EXPECT_LT(started, request) << log.toStdString();
        EXPECT_LT(request, shutDown) << log.toStdString();
        EXPECT_EQ(log.count("Application Tarvo is being shut down!"), 1) << log.toStdString();
        EXPECT_TRUE(log.endsWith("System has been shut down successfully!\r\n")) << log.toStdString();
        EXPECT_TRUE(settingsHive().contains("NumDevices"));
        EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    }
}

TEST_F(ProgramProcessTest, TerminationEndsAStartUpErrorBoxWithItsDefaultAnswer)
{
    // The real (Qt) boxes, offscreen: nobody will click.
    QProcessEnvironment e = childEnvironment();
    e.insert("TARVO_UI_LOG", uiLog());
    e.insert("TARVO_REPORT_SHOWN", "1");
    e.insert("TARVO_ENGINE_DB", tempPath("missing.db"));
    QProcess station;
    station.setProcessEnvironment(e);
    station.start(program(), {});
    ASSERT_TRUE(station.waitForStarted());
    QByteArray output;
    ASSERT_TRUE(waitForOutput(station, "box open: Algo Database Error\n", &output)) << output.toStdString();
    ::kill(pid_t(station.processId()), SIGTERM);
    ASSERT_TRUE(station.waitForFinished(30000));
    EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(station.exitCode(), kStartUpFailedExitCode);

    const QStringList lines = uiLines();
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Algo Database Error\tError loading QXAlg.db.")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("\t1")) << lines[0].toStdString(); // OK, the box's default
    EXPECT_TRUE(blackBoxLog().endsWith("System has been shut down successfully!\r\n"));
    EXPECT_FALSE(settingsHive().contains("NumDevices"));
}

struct FailedStartCase
{
    const char* name;
    const char* title; // of the one box shown; "" for none
    const char* text;  // part of its text
};

class FailedStartTest : public ProgramProcessTest, public ::testing::WithParamInterface<FailedStartCase>
{};

void PrintTo(const FailedStartCase& c, std::ostream* os)
{
    *os << c.name;
}

TEST_P(FailedStartTest, EndsWithANonZeroStatus)
{
    const FailedStartCase& c = GetParam();
    QProcessEnvironment e = env(0);
    QString prog = program();
    QString text = QString::fromLatin1(c.text);
    if (QLatin1String(c.name) == "EngineInitialisation") {
        e.insert("TARVO_ENGINE_FAULTS", "init=5");
    } else if (QLatin1String(c.name) == "MissingCompanion") {
        // The program alone in a folder: no companion beside it.
        prog = tempPath("alone/tarvo");
        ASSERT_TRUE(QFile::copy(program(), prog));
    } else if (QLatin1String(c.name) == "UnwritableSettingsFolder") {
        // A settings folder below a plain file can never be made.
        const QString file = tempPath("plain-file");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        e.insert("TARVO_REGISTRY_DIR", file + "/registry");
        text.replace("<folder>", file + "/registry");
    }
    const ProcessResult r = RunProgram(prog, {}, e, 30000);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, kStartUpFailedExitCode) << r.err.toStdString();
    const QStringList lines = uiLines();
    if (*c.title == '\0') {
        EXPECT_TRUE(lines.isEmpty()) << lines.join('\n').toStdString();
    } else {
        ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
        EXPECT_EQ(lines[0].section('\t', 0, 0), QString::fromLatin1(c.title));
        EXPECT_TRUE(lines[0].section('\t', 1, 1).contains(text)) << lines[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedStartTest,
    ::testing::Values(FailedStartCase{"EngineInitialisation", "", ""},
                      FailedStartCase{"MissingCompanion", "Missing Component Error",
                                      "Could not locate component H950Hdlr.ocx.  Please reinstall the application."},
                      FailedStartCase{"UnwritableSettingsFolder", "System Error",
                                      "The settings folder \"<folder>\" cannot be written."}),
    [](const ::testing::TestParamInfo<FailedStartCase>& info) { return std::string(info.param.name); });

// Every entry the fault plan documents is read by its reader without a word;
// one nobody knows is told once, in a status line and so in the black-box
// log, and stops nothing: the start key's job still runs with no box.
TEST_F(ProgramProcessTest, FaultPlanEntriesStopNothingAndAnUnknownOneIsToldOnce)
{
    QProcessEnvironment e = env(4000);
    e.insert("TARVO_ENGINE_FAULTS",
             "delay=0;start=300;quiet=1;jobslow=5;skopen=0;jobload=0;jobsave=0;jobwrite=0;extra=0;"
             "dialog.ShowDeviceInfo=0;load=0;init=0;delay.device=0;delay.site.1=0;device.99=28;site.9=28;"
             "engineerror=99;callfail=RunOperation:99;module=600000;"
             "manual.sites=1;manual.empty=2;manual.abort=99;manual.result=0;manual.delay=0;"
             "auto.sites=1;auto.empty=2;auto.jam=99;auto.result=0;auto.speed=0;auto.quantity=1;auto.stop=99;"
             "auto.serial=SN1;auto.label=a.lbl;auto.labelmove=1;auto.loadfile=a.sk;auto.savefile=b.sk;"
             "auto.inspection=a.vis;auto.mediatransfer=0;"
             "colour=blue");
    const ProcessResult r = RunProgram(program(), {"-device", "AM27C512"}, e, 30000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    const QString log = blackBoxLog();
    EXPECT_TRUE(log.contains("Site 1: Program passed.")) << log.toStdString();
    EXPECT_EQ(log.count("The fault plan entry \"colour=blue\" is unknown; it plans nothing."), 1) << log.toStdString();
    EXPECT_FALSE(log.contains("cannot be read")) << log.toStdString();

    // Told as the station comes up, before any run: a station left idle
    // hears of it too.
    QFile::remove(blackBoxLogPath());
    e = env(500);
    e.insert("TARVO_ENGINE_FAULTS", "delay=0;colour=blue");
    EXPECT_EQ(RunProgram(program(), {}, e, 30000).exitCode, 0);
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    EXPECT_EQ(blackBoxLog().count("The fault plan entry \"colour=blue\" is unknown; it plans nothing."), 1)
        << blackBoxLog().toStdString();
}

} // namespace
