// The real program asked for help where no viewer can be started (as on a
// headless machine): it says so and keeps running. The station is started by
// a private bus daemon of the test's own and reached with gdbus.
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

const QString kName = QStringLiteral("com.corvane.Tarvo");

class HelpProcessTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        QProcessEnvironment env = childEnvironment();
        const QString services = env.value("XDG_DATA_HOME") + "/dbus-1/services";
        QDir().mkpath(services);
        ASSERT_TRUE(QFile::copy(BinDir() + "/dbus-1/services/com.corvane.Tarvo.service",
                                services + "/com.corvane.Tarvo.service"));
        env.insert("TARVO_UI_SCRIPT", "/dev/null");
        env.insert("TARVO_UI_LOG", uiLog());
        // No program that could show a page is within reach.
        QStringList path;
        for (const QString& dir : env.value("PATH").split(':')) {
            bool viewer = false;
            for (const char* program : {"xdg-open", "firefox", "chromium", "google-chrome", "konqueror", "mozilla"})
                viewer = viewer || QFileInfo::exists(dir + "/" + program);
            if (!viewer)
                path << dir;
        }
        env.insert("PATH", path.join(':'));
        env.remove("BROWSER");
        env.remove("DEFAULT_BROWSER");
        m_daemon.setProcessEnvironment(env);
        // The bus socket lives in the test's own folder, removed with it.
        m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address",
                                       "--address=unix:dir=" + QDir(tempPath()).absolutePath()});
        ASSERT_TRUE(m_daemon.waitForStarted());
        while (!m_daemon.canReadLine())
            ASSERT_TRUE(m_daemon.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        ASSERT_FALSE(m_address.isEmpty());
    }
    void TearDown() override
    {
        if (const qint64 pid = StationPid(); pid > 0)
            ::kill(pid_t(pid), SIGKILL);
        m_daemon.kill();
        m_daemon.waitForFinished();
        TarvoTest::TearDown();
    }

    QString uiLog() const { return tempPath("ui.log"); }
    ProcessResult Gdbus(QStringList args)
    {
        args.insert(1, "--address");
        args.insert(2, m_address);
        return RunProgram("gdbus", args, childEnvironment());
    }
    ProcessResult Call(const QString& path, const QString& method, const QStringList& args = {})
    {
        return Gdbus(QStringList{"call", "--dest", kName, "--object-path", path, "--method", method} + args);
    }
    qint64 StationPid()
    {
        if (m_address.isEmpty())
            return 0;
        const ProcessResult r =
            Gdbus({"call", "--dest", "org.freedesktop.DBus", "--object-path", "/org/freedesktop/DBus", "--method",
                   "org.freedesktop.DBus.GetConnectionUnixProcessID", kName});
        const auto match = QRegularExpression(R"(uint32 (\d+))").match(r.out);
        return match.hasMatch() ? match.captured(1).toLongLong() : 0;
    }

    QProcess m_daemon;
    QString m_address;
};

TEST_F(HelpProcessTest, WithoutAViewerTheStationSaysSoAndKeepsRunning)
{
    const ProcessResult created =
        Call("/com/corvane/Tarvo", "com.corvane.Tarvo.Server.Create", {"CQxProgrammer", "true"});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    const QString instance = QRegularExpression("'(/[^']*)'").match(created.out).captured(1);
    ASSERT_FALSE(instance.isEmpty()) << created.out.toStdString();

    const ProcessResult help = Call(instance, "com.corvane.Tarvo.CQxProgrammer.LaunchHelp", {""});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    const qint64 pid = StationPid();
    EXPECT_GT(pid, 0);

    QFile log(uiLog());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString shown = QString::fromUtf8(log.readAll());
    const QString page = QDir::cleanPath(BinDir() + "/TarvoHelp/Tarvo/First_Topic.htm");
    EXPECT_TRUE(shown.contains("SysInfo\tHelp cannot be displayed because no viewer could be started for " + page
                               + ".  Please install a web browser."))
        << shown.toStdString();

    // Still serving: a second request reaches the same process.
    EXPECT_EQ(Call(instance, "com.corvane.Tarvo.CQxProgrammer.LaunchHelp", {"Tarvo/Menus.htm"}).exitCode, 0);
    EXPECT_EQ(StationPid(), pid);
}

} // namespace
