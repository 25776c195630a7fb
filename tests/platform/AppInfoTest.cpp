#include "ChildRole.h"

#include "platform/AppInfo.h"
#include "shell/StartUp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <unistd.h>

using appinfo::StartMode;

namespace {

// Child roles of the tests below. "appinfo-names" prints what the process
// learns of its own name; "appinfo-hold" takes the single-instance lock of
// the given name and keeps it until killed.
const ChildRole kNamesRole("appinfo-names", [](const QStringList&) {
    std::printf("EXE=%s\nTITLE=%s\nFOLDER=%s\n", qPrintable(appinfo::ExeName()),
                qPrintable(appinfo::ApplicationTitle()), qPrintable(appinfo::ProgramFolder()));
    return 0;
});
const ChildRole kHoldRole("appinfo-hold", [](const QStringList& args) {
    appinfo::SingleInstance instance(args.value(0));
    const bool locked = instance.TryAcquire();
    std::printf("LOCK=%s\n", locked ? "locked" : "refused");
    std::fflush(stdout);
    if (!locked)
        return 1;
    for (;;)
        pause();
});

class AppInfoTest : public TarvoTest
{
protected:
    QString selfPath() const { return QCoreApplication::applicationFilePath(); }

    // Starts this program as a child in the given role.
    void startChild(QProcess& child, const QString& role, const QStringList& args = {}, const QString& program = {})
    {
        ASSERT_TRUE(StartChildRole(child, childEnvironment(), role, args, program));
    }

    // Waits for "KEY=" in the child's output and returns its value.
    static QString waitForValue(QProcess& child, const QString& key, QString* output)
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            *output += QString::fromUtf8(child.readAllStandardOutput());
            for (const QString& line : output->split('\n'))
                if (line.startsWith(key + "=") && output->endsWith('\n'))
                    return line.mid(key.size() + 1);
            if (child.state() == QProcess::NotRunning && !child.bytesAvailable())
                break;
            child.waitForReadyRead(200);
        }
        return QStringLiteral("<none>");
    }
};

struct RawCase
{
    QStringList arguments;
    QString raw;
    QStringList tokens; // what the command-line parser gives back
};

} // namespace

TEST_F(AppInfoTest, RawCommandLineSurvivesTheParser)
{
    const RawCase cases[] = {
        {{"tarvo"}, "", {}},
        {{"tarvo", "-SK", "/home/op/My Jobs/a.qx", "-device", "AT29C256"},
         "-SK \"/home/op/My Jobs/a.qx\" -device AT29C256",
         {"-SK", "/home/op/My Jobs/a.qx", "-device", "AT29C256"}},
        {{"tarvo", "-device", "", "-log", "x.log"}, "-device \"\" -log x.log", {"-device", "", "-log", "x.log"}},
        // A quote inside is written twice, so that quoting closes again; the
        // parser drops every quote. The options after it stay options.
        {{"tarvo", "say\"hi"}, "\"say\"\"hi\"", {"sayhi"}},
        {{"tarvo", "-log", "12\" reel.log", "-device", "KS24C256"},
         "-log \"12\"\" reel.log\" -device KS24C256",
         {"-log", "12 reel.log", "-device", "KS24C256"}},
        {{"tarvo", "\"", "-device", "A B"}, "\"\"\"\" -device \"A B\"", {"", "-device", "A B"}},
        {{"tarvo", "-Vexal", "-GenerateDeviceList"}, "-Vexal -GenerateDeviceList", {"-Vexal", "-GenerateDeviceList"}},
    };
    for (const RawCase& c : cases) {
        const QString raw = appinfo::RawCommandLine(c.arguments);
        EXPECT_EQ(raw, c.raw);
        const int count = ParseCommandLine(raw);
        QStringList tokens;
        for (int i = 0; i < count; ++i)
            tokens.append(gCmdLineTokens.at(i));
        EXPECT_EQ(tokens, c.tokens) << c.raw.toStdString();
    }
}

TEST_F(AppInfoTest, StartModeFollowsEmbedding)
{
    const std::pair<QStringList, StartMode> cases[] = {
        {{"tarvo"}, StartMode::Standalone},
        {{"tarvo", "-Embedding"}, StartMode::Automation},
        {{"tarvo", "-embedding"}, StartMode::Automation},
        {{"tarvo", "-SK", "job.qx", "-EMBEDDING"}, StartMode::Automation},
        {{"tarvo", "-SK", "/tmp/-Embedding.qx"}, StartMode::Standalone},
        {{"-Embedding"}, StartMode::Standalone}, // the program's own name is no argument
    };
    for (const auto& [arguments, mode] : cases)
        EXPECT_EQ(appinfo::GetStartMode(arguments), mode) << arguments.join(' ').toStdString();
}

TEST_F(AppInfoTest, UserNameIsTheAccountName)
{
    QProcess id;
    id.start("id", {"-un"});
    if (!id.waitForFinished(10000) || id.exitCode() != 0)
        GTEST_SKIP() << "no id command";
    EXPECT_EQ(appinfo::UserName(), QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());
}

TEST_F(AppInfoTest, TitleComesFromTheInvokedNameAndCanBeOverridden)
{
    EXPECT_EQ(appinfo::ExeName(), QFileInfo(selfPath()).fileName());
    EXPECT_EQ(appinfo::ApplicationTitle(), "Test_platform");
    appinfo::SetApplicationTitleForTests("Chiselo");
    EXPECT_EQ(appinfo::ApplicationTitle(), "Chiselo");
    appinfo::SetApplicationTitleForTests({});
    EXPECT_EQ(appinfo::ApplicationTitle(), "Test_platform");

    // A link named chiselo runs as Chiselo, with the real program's folder.
    const QString link = tempPath("links/chiselo");
    ASSERT_TRUE(QFile::link(selfPath(), link));
    QProcess child;
    startChild(child, "appinfo-names", {}, link);
    QString output;
    EXPECT_EQ(waitForValue(child, "EXE", &output), "chiselo") << output.toStdString();
    EXPECT_EQ(waitForValue(child, "TITLE", &output), "Chiselo");
    EXPECT_EQ(waitForValue(child, "FOLDER", &output), QCoreApplication::applicationDirPath());
    child.waitForFinished(10000);
}

TEST_F(AppInfoTest, SingleInstanceRefusesASecondHolderInThisProcess)
{
    auto first = std::make_unique<appinfo::SingleInstance>("Tarvo");
    EXPECT_TRUE(first->LockFilePath().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/"));
    ASSERT_TRUE(first->TryAcquire());
    EXPECT_TRUE(first->TryAcquire()); // asking again keeps it

    appinfo::SingleInstance second("Tarvo");
    EXPECT_FALSE(second.TryAcquire());
    appinfo::SingleInstance otherName("Chiselo");
    EXPECT_TRUE(otherName.TryAcquire());

    first.reset();
    EXPECT_TRUE(second.TryAcquire());
}

TEST_F(AppInfoTest, SingleInstanceWithoutRuntimeFolderUsesTheTempFolder)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    appinfo::SingleInstance instance("TarvoNoRuntimeDir");
    qputenv("XDG_RUNTIME_DIR", saved);
    EXPECT_EQ(QFileInfo(instance.LockFilePath()).path(), QDir::tempPath());
}

TEST_F(AppInfoTest, SingleInstanceAcrossProcessesAndAfterAKill)
{
    // This process holds the lock: a second process is refused.
    {
        appinfo::SingleInstance mine("Tarvo");
        ASSERT_TRUE(mine.TryAcquire());
        QProcess child;
        startChild(child, "appinfo-hold", {"Tarvo"});
        QString output;
        EXPECT_EQ(waitForValue(child, "LOCK", &output), "refused") << output.toStdString();
        EXPECT_TRUE(child.waitForFinished(10000));
    }

    // Another process holds it: this one is refused until that process is
    // killed, leaving its lock file behind.
    QProcess child;
    startChild(child, "appinfo-hold", {"Tarvo"});
    QString output;
    ASSERT_EQ(waitForValue(child, "LOCK", &output), "locked") << output.toStdString();
    appinfo::SingleInstance mine("Tarvo");
    EXPECT_FALSE(mine.TryAcquire());

    child.kill(); // SIGKILL: no clean-up in the child
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(mine.LockFilePath()));
    EXPECT_TRUE(mine.TryAcquire());
}
