// The real program asked for help where no viewer can be started (as on a
// headless machine): it says so and keeps running. The station is started by
// a private bus daemon of the test's own and reached with gdbus.
#include "PrivateBusTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

class HelpProcessTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        QProcessEnvironment env = BusEnvironment();
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
        StartDaemon(env);
    }

    QString uiLog() const { return tempPath("ui.log"); }
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
