// The automation page's own examples, taken from docs/automation.md as it
// stands and run as a new user would: the station set up as the page says
// (its last device), then the gdbus commands with their monitor and the
// Python script, against the station the private bus starts.
#include "PrivateBusTest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The distribution's interpreter: it has the dbus and gi modules.
const QString kPython = QStringLiteral("/usr/bin/python3");

// The page's fenced blocks of a language under a heading, in order.
QStringList Blocks(const QString& page, const QString& heading, const QString& language)
{
    const qsizetype start = page.indexOf(QStringLiteral("\n## ") + heading + QLatin1Char('\n'));
    if (start < 0)
        return {};
    qsizetype end = page.indexOf(QStringLiteral("\n## "), start + 1);
    if (end < 0)
        end = page.size();
    const QString section = page.mid(start, end - start);
    QStringList blocks;
    const QRegularExpression fence(QStringLiteral("\\n *```") + language + QStringLiteral("\\n(.*?)\\n *```"),
                                   QRegularExpression::DotMatchesEverythingOption);
    for (auto it = fence.globalMatch(section); it.hasNext();)
        blocks << it.next().captured(1);
    return blocks;
}

// A shell block's commands (continued lines joined), each with the output
// the "# ..." line after it shows ("" where none is shown).
struct Command
{
    QString text;
    QString shown;
};
QList<Command> Commands(const QString& block)
{
    QList<Command> commands;
    QString pending;
    for (const QString& line : block.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('#'))) {
            if (!commands.isEmpty() && pending.isEmpty())
                commands.last().shown = trimmed.mid(1).trimmed();
            continue;
        }
        if (trimmed.isEmpty())
            continue;
        pending += trimmed.endsWith(QLatin1Char('\\')) ? trimmed.chopped(1) + QLatin1Char(' ') : trimmed;
        if (!trimmed.endsWith(QLatin1Char('\\'))) {
            commands << Command{pending, QString()};
            pending.clear();
        }
    }
    return commands;
}

class AutomationDocTest : public PrivateBusTest
{
protected:
    void SetUp() override
    {
        PrivateBusTest::SetUp();
        QFile doc(SourceDir() + QStringLiteral("/docs/automation.md"));
        ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
        page = QString::fromUtf8(doc.readAll());
    }

    // The clients' environment: the private bus is their session bus.
    QProcessEnvironment ClientEnvironment() const
    {
        QProcessEnvironment env = childEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        return env;
    }

    // The set-up the page asks for: the station started once on the command
    // line it gives, then closed as File > Exit closes it.
    void SetUpAsThePageSays()
    {
        const QStringList setUp = Blocks(page, QStringLiteral("Before the first job"), QStringLiteral("sh"));
        ASSERT_EQ(setUp.size(), 1) << "the page shows no set-up command";
        QStringList words = setUp.first().trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(words.value(0), QStringLiteral("build/bin/tarvo"));
        words.removeFirst();
        QProcessEnvironment env = BusEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), NoBusAddress());
        env.insert(QStringLiteral("TARVO_TEST_CLOSE_AFTER_MS"), QStringLiteral("500"));
        const ProcessResult r = RunProgram(BinDir() + QStringLiteral("/tarvo"), words, env, 60000);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QFile::remove(tempPath(QStringLiteral("ui.log")));
    }

    void StartStationBus()
    {
        QProcessEnvironment env = BusEnvironment();
        env.insert(QStringLiteral("TARVO_ENGINE_FAULTS"), QStringLiteral("delay=0"));
        StartDaemon(env);
    }

    // The boxes the station showed. Until client jobs run silent the
    // single-site model still asks for each next device: those prompts are
    // left out here, every other box counts.
    QStringList Boxes() const
    {
        QFile log(tempPath(QStringLiteral("ui.log")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList boxes;
        for (const QString& line : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (!line.section(QLatin1Char('\t'), 1, 1).startsWith(QLatin1String("Insert next device")))
                boxes << line;
        }
        return boxes;
    }

    QString page;
};

TEST_F(AutomationDocTest, TheGdbusExampleRunsAsWrittenOnAStationSetUpAsThePageSays)
{
    SetUpAsThePageSays();
    StartStationBus();
    const QStringList blocks = Blocks(page, QStringLiteral("gdbus"), QStringLiteral("sh"));
    ASSERT_EQ(blocks.size(), 2) << "the monitor, then the calls";
    const QList<Command> monitorBlock = Commands(blocks.at(0));
    ASSERT_EQ(monitorBlock.size(), 1);
    ASSERT_TRUE(monitorBlock.first().text.startsWith(QLatin1String("gdbus monitor")));

    // The monitor, its lines as they come (not held in a pipe's buffer).
    QProcess monitor;
    monitor.setProcessEnvironment(ClientEnvironment());
    monitor.start(QStringLiteral("stdbuf"),
                  {QStringLiteral("-oL"), QStringLiteral("sh"), QStringLiteral("-c"), monitorBlock.first().text});
    ASSERT_TRUE(monitor.waitForStarted());
    QString heard;
    const auto hear = [&](const QString& what, int ms) {
        QDeadlineTimer deadline(ms);
        while (!heard.contains(what) && !deadline.hasExpired()) {
            monitor.waitForReadyRead(100);
            heard += QString::fromUtf8(monitor.readAllStandardOutput());
        }
        return heard.contains(what);
    };
    hear(QStringLiteral("com.corvane.Tarvo"), 2000); // it watches the name

    const QList<Command> calls = Commands(blocks.at(1));
    ASSERT_GE(calls.size(), 3);
    for (const Command& call : calls) {
        SCOPED_TRACE(call.text.toStdString());
        // The page releases the job control once the job's end was heard.
        if (call.text.contains(QLatin1String("Server.Release"))) {
            EXPECT_TRUE(hear(QStringLiteral("NotifyJobComplete"), 60000)) << heard.toStdString();
        }
        const ProcessResult r =
            RunProgram(QStringLiteral("sh"), {QStringLiteral("-c"), call.text}, ClientEnvironment(), 60000);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        if (!call.shown.isEmpty())
            EXPECT_EQ(r.out.trimmed().toStdString(), call.shown.toStdString());
    }
    EXPECT_TRUE(heard.contains(
        QStringLiteral("/com/corvane/Tarvo/CJobControl/1: com.corvane.Tarvo.CJobControl.NotifyJobComplete (0,)")))
        << heard.toStdString();
    monitor.kill();
    monitor.waitForFinished();

    // Ten devices, blank checked and programmed, and no box in the way.
    const QString log = BlackBox();
    EXPECT_EQ(log.count(QStringLiteral("Program passed.")), 10) << log.toStdString();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join(QLatin1Char('\n')).toStdString();
}

TEST_F(AutomationDocTest, ThePythonExampleRunsAsWrittenOnAStationSetUpAsThePageSays)
{
    SetUpAsThePageSays();
    StartStationBus();
    const QStringList blocks = Blocks(page, QStringLiteral("Python (python3-dbus)"), QStringLiteral("python"));
    ASSERT_EQ(blocks.size(), 1);
    const QString script = tempPath(QStringLiteral("example.py"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(blocks.first().toUtf8());
    file.close();

    const ProcessResult r = RunProgram(kPython, {script}, ClientEnvironment(), 120000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    // Nothing refused (a refusal prints the error's name), and the job ran.
    EXPECT_EQ(r.out.trimmed().toStdString(), "job complete: 0") << r.err.toStdString();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join(QLatin1Char('\n')).toStdString();
}

// The page's tab names are the ones a job parameter takes: each tab
// AM27C512 has is taken, the others are refused as a value the station does
// not allow, and so is the option's name for a tab.
TEST_F(AutomationDocTest, TheTabNamesThePageListsAreTheOnesAJobParameterTakes)
{
    const qsizetype row = page.indexOf(QStringLiteral("| `DeviceOptions.Operation` |"));
    ASSERT_GE(row, 0);
    const QString line = page.mid(row, page.indexOf(QLatin1Char('\n'), row) - row);
    QStringList names;
    for (auto it =
             QRegularExpression(QStringLiteral("`([A-Z][a-z]+)`")).globalMatch(line.section(QLatin1Char('|'), 2, 2));
         it.hasNext();)
        names << it.next().captured(1);
    ASSERT_EQ(names, (QStringList{"Program", "Verify", "Read", "Blank", "Test", "Secure", "Erase"}));

    SelectDeviceAtStart(QStringLiteral("AM27C512"));
    StartStationBus();
    const ProcessResult created =
        Call(QStringLiteral("/com/corvane/Tarvo"), QStringLiteral("com.corvane.Tarvo.Server.Create"),
             {QStringLiteral("CJobControl"), QStringLiteral("true")});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    const QString control = QRegularExpression(QStringLiteral("'(/[^']*)'")).match(created.out).captured(1);
    const QStringList tabs{"Program", "Verify", "Read", "Blank"};
    for (const QString& name : names + QStringList{QStringLiteral("Blank Check")}) {
        SCOPED_TRACE(name.toStdString());
        const ProcessResult r = Call(control, QStringLiteral("com.corvane.Tarvo.CJobControl.SetJobParameter"),
                                     {QStringLiteral("DeviceOptions.Operation"), name});
        if (tabs.contains(name))
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        else
            EXPECT_TRUE(r.err.contains(QLatin1String("0x80040224"))) << r.err.toStdString();
    }
}

} // namespace
