// The real program, started as a process: headless, with a scripted UI, a
// temporary registry root and home.
#include "TestEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>

namespace {

class ProgramProcessTest : public TarvoTest
{
protected:
    QString program() const { return BinDir() + "/tarvo"; }
    QString uiLog() const { return tempPath("ui.log"); }

    QProcessEnvironment env(int closeAfterMs = 0) const
    {
        QProcessEnvironment e = childEnvironment();
        e.insert("TARVO_UI_SCRIPT", "/dev/null");
        e.insert("TARVO_UI_LOG", uiLog());
        if (closeAfterMs >= 0)
            e.insert("TARVO_TEST_CLOSE_AFTER_MS", QString::number(closeAfterMs));
        return e;
    }
    QStringList uiLines() const
    {
        QFile f(uiLog());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // Waits until the running instance holds its single-instance lock.
    bool waitForLock() const
    {
        for (int i = 0; i < 200; ++i) {
            if (!QDir(childEnvironment().value("XDG_RUNTIME_DIR")).entryList({"*.lock"}, QDir::Files).isEmpty())
                return true;
            QThread::msleep(50);
        }
        return false;
    }
};

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
    EXPECT_EQ(fields[1], "Available command line options: \\r\\n\\r\\n-SK <Job File Name>\\r\\n-device <Device Name>"
                         "\\r\\n-prog_file <Data File Name>\\r\\n-log <Log File Name>\\r\\n");
    // No window was made: nothing was registered.
    EXPECT_FALSE(QFile::exists(registryRoot() + "/HKCU.reg"));
}

TEST_F(ProgramProcessTest, SecondInstanceIsRefusedAndTheFirstGoesOn)
{
    QProcess first;
    first.setProcessEnvironment(env(4000));
    first.start(program(), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForLock());

    const ProcessResult second = RunProgram(program(), {}, env(0), 20000);
    EXPECT_EQ(second.exitCode, 0);
    const QStringList lines = uiLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("Instance Error\tOnly one instance of this application could be run at a time!\t"));
    EXPECT_EQ(first.state(), QProcess::Running);

    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(uiLines().size(), 1);
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

} // namespace
