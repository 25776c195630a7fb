// The export log of the OEM edition: the file named by "-log" gets a plain
// copy of the status lines, new for every run.
#include "LogTestFixture.h"

#include "platform/UiService.h"

namespace {

class ExportLogTest : public LogTest
{
protected:
    void SetUp() override
    {
        LogTest::SetUp();
        gbChiseloEdition = true;
    }
};

TEST_F(ExportLogTest, EachRunStartsANewFileAndAppendsToIt)
{
    struct Case
    {
        const char* name;
        QString path;
        bool earlierRun;
    };
    const Case cases[] = {
        {"file of an earlier run", tempPath(QStringLiteral("exports/station.log")), true},
        {"missing folders", tempPath(QStringLiteral("new")) + QStringLiteral("/a/b/station.log"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.earlierRun)
            writeFile(c.path, "earlier run\r\n");
        ResetExportLog(); // the main window loads: a new run
        SetCmdLineLogFile(c.path);

        WriteInfoToLogFile(QStringLiteral("Command Line: -log station.log"), false);
        WriteInfoToLogFile(QStringLiteral("Program passed."), true);

        const QStringList written = lines(c.path);
        ASSERT_EQ(written.size(), 2) << readAll(c.path).constData();
        EXPECT_EQ(written[0], QStringLiteral("Command Line: -log station.log"));
        EXPECT_TRUE(isStamped(written[1], QStringLiteral("Program passed."))) << written[1].toStdString();
        EXPECT_TRUE(readAll(c.path).endsWith("\r\n"));
    }
}

TEST_F(ExportLogTest, WritesOnlyInTheOemEditionAndOnlyText)
{
    const QString path = tempPath(QStringLiteral("exports/station.log"));
    writeFile(path, "earlier run\r\n");
    SetCmdLineLogFile(path);

    gbChiseloEdition = false;
    WriteInfoToLogFile(QStringLiteral("not in this edition"), true);
    gbChiseloEdition = true;
    WriteInfoToLogFile(QString(), true);
    EXPECT_EQ(readAll(path), QByteArray("earlier run\r\n"));

    // Neither counted as the run's first line: the first real one still
    // starts the file anew.
    WriteInfoToLogFile(QStringLiteral("first"), false);
    EXPECT_EQ(readAll(path), QByteArray("first\r\n"));
}

TEST_F(ExportLogTest, UnwritableLogIsReportedOnceAndEndsExportLogging)
{
    const QString blocker = tempPath(QStringLiteral("blocker"));
    writeFile(blocker, "a file, not a folder");
    const QString path = blocker + QStringLiteral("/sub/station.log");
    SetCmdLineLogFile(path);
    ui().Answer(vb::vbOK);

    WriteInfoToLogFile(QStringLiteral("Program passed."), true);
    WriteInfoToLogFile(QStringLiteral("Verify passed."), true);

    const QString message = QStringLiteral("Unable to create log file at ") + path +
                            QStringLiteral("\r\nPlease select a valid log file location and name from the Configure menu.");
    QString shown = message;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    EXPECT_EQ(ui().Shown().join('\n').toStdString(), ("Log File Error\t" + shown + "\t16\t1").toStdString());
    EXPECT_EQ(GetCmdLineLogFile(), QString());
    const QStringList blackBox = lines(logFile());
    ASSERT_EQ(blackBox.size(), 2) << readAll(logFile()).constData();
    EXPECT_TRUE(isStamped(blackBox[0] + QStringLiteral("\r\n") + blackBox[1], message));
}

} // namespace
