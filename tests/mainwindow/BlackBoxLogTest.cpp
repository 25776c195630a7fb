// The black-box log: line format, the job header, the log folder, rotation
// into numbered archives, and that a failing file system loses no line.
#include "LogTestFixture.h"

#include "engine/H950HdlrControl.h"
#include "platform/DispatchObject.h"
#include "platform/UiService.h"

#include <QDateTime>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

namespace {

using BlackBoxLogTest = LogTest;

// Dates a file or folder (to the second, so two calls give equal dates).
void SetModified(const QString& path, const QDateTime& when)
{
    const timespec t{time_t(when.toSecsSinceEpoch()), 0};
    const timespec times[2] = {t, t};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0) << path.toStdString();
}

// Archives qx0.log to qx159.log holding their own names, dated an hour ago.
void MakeArchives(const QString& folder)
{
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    for (int n = 0; n < 160; ++n) {
        const QString path = folder + QStringLiteral("/qx%1.log").arg(n);
        LogTest::writeFile(path, QStringLiteral("archive %1\r\n").arg(n).toUtf8());
        SetModified(path, hourAgo);
    }
}

TEST_F(BlackBoxLogTest, FirstLineOfEachRunArchivesThePreviousLog)
{
    // The engine's folder does not exist yet: the default log folder is made.
    WriteLogInfo(QStringLiteral("first run"), false);
    EXPECT_EQ(readAll(logFile()), QByteArray("first run\r\n"));
    EXPECT_FALSE(QFile::exists(logFile(QStringLiteral("qx0.log"))));

    blackbox::RequestRotation(); // the program starts again
    WriteLogInfo(QStringLiteral("second run"), true);
    WriteLogInfo(QStringLiteral("still second run"), false);

    EXPECT_EQ(readAll(logFile(QStringLiteral("qx0.log"))), QByteArray("first run\r\n"));
    const QStringList now = lines(logFile());
    ASSERT_EQ(now.size(), 2) << readAll(logFile()).constData();
    EXPECT_TRUE(isStamped(now[0], QStringLiteral("second run"))) << now[0].toStdString();
    EXPECT_EQ(now[1], QStringLiteral("still second run"));
    EXPECT_FALSE(QFile::exists(logFile(QStringLiteral("qx1.log"))));
}

TEST_F(BlackBoxLogTest, JobStartGetsTheJobHeaderFirst)
{
    setEngineVersion(0x04420109, 0x2A);
    struct Case
    {
        const char* text;
        bool vexal;
        bool operatorMode;
        bool header;
    };
    const Case cases[] = {
        {"Job Starts", false, false, true},
        {"*** job starts: 10 devices ***", true, true, true},
        {"JOB STARTS", false, true, true},
        {"Job Started", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QFile::remove(logFile());
        control().Store(QXPgmrId::IsVexalMode, VbBool(c.vexal));
        blackbox::SetJobHeaderSource({[&] { return c.operatorMode; }, [] { return QStringLiteral("AM29F040 PLCC32"); },
                                      [] { return QStringLiteral("<Empty>"); }});
        WriteLogInfo(QString::fromLatin1(c.text), true);

        const QStringList written = lines(logFile());
        if (!c.header) {
            ASSERT_EQ(written.size(), 1);
            continue;
        }
        ASSERT_EQ(written.size(), 5) << readAll(logFile()).constData();
        EXPECT_EQ(written[0],
                  c.vexal ? QStringLiteral("DTarvo 442.1.9  Algo DB Rev. 2A")
                          : QStringLiteral("Tarvo 442.1.9  Algo DB Rev. 2A"));
        EXPECT_EQ(written[1], c.operatorMode ? QStringLiteral("Operator Mode") : QStringLiteral("Supervisor Mode"));
        EXPECT_TRUE(isStamped(written[2], QStringLiteral("Device: AM29F040 PLCC32"))) << written[2].toStdString();
        EXPECT_TRUE(isStamped(written[3], QStringLiteral("Buffer: <Empty>"))) << written[3].toStdString();
        EXPECT_TRUE(isStamped(written[4], QString::fromLatin1(c.text))) << written[4].toStdString();
    }
}

TEST_F(BlackBoxLogTest, HeaderLinesNeverStartAnotherHeader)
{
    // A data file may well be called so; its name must not start the header
    // again from inside the header.
    blackbox::SetJobHeaderSource({{}, {}, [] { return QStringLiteral("/data/job starts.hex"); }});
    WriteLogInfo(QStringLiteral("Job Starts"), false);
    const QStringList written = lines(logFile());
    ASSERT_EQ(written.size(), 5) << readAll(logFile()).constData();
    EXPECT_EQ(written[1], QStringLiteral("Supervisor Mode"));
    EXPECT_TRUE(isStamped(written[3], QStringLiteral("Buffer: /data/job starts.hex")));
}

TEST_F(BlackBoxLogTest, RotationTakesTheFirstFreeNumberElseTheOldestArchive)
{
    const QDateTime now = QDateTime::currentDateTime();
    struct Case
    {
        const char* name;
        std::function<void(const QString&)> arrange;
        int expected;
    };
    const Case cases[] = {
        {"number 3 free", [](const QString& f) { QFile::remove(f + "/qx3.log"); }, 3},
        {"look-alike names take no number",
         [](const QString& f) {
             QFile::rename(f + "/qx3.log", f + "/qx03.log");
             QFile::copy(f + "/qx03.log", f + "/qx3.log.bak");
             QFile::copy(f + "/qx03.log", f + "/qx3");
         },
         3},
        {"oldest archive", [&](const QString& f) { SetModified(f + "/qx57.log", now.addDays(-2)); }, 57},
        {"equal oldest dates: the lower number",
         [&](const QString& f) {
             SetModified(f + "/qx20.log", now.addDays(-2));
             SetModified(f + "/qx10.log", now.addDays(-2));
         },
         10},
        {"all dated after now",
         [&](const QString& f) {
             for (int n = 0; n < 160; ++n)
                 SetModified(f + QStringLiteral("/qx%1.log").arg(n), now.addSecs(3600));
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(logFolder()).removeRecursively();
        MakeArchives(logFolder());
        c.arrange(logFolder());
        writeFile(logFile(), "current\r\n");
        blackbox::RequestRotation();

        WriteLogInfo(QStringLiteral("next"), false);

        const QString chosen = logFile(QStringLiteral("qx%1.log").arg(c.expected));
        EXPECT_EQ(readAll(chosen), QByteArray("current\r\n"));
        EXPECT_EQ(readAll(logFile()), QByteArray("next\r\n"));
        int moved = 0;
        for (int n = 0; n < 160; ++n)
            moved += readAll(logFile(QStringLiteral("qx%1.log").arg(n))) == "current\r\n" ? 1 : 0;
        EXPECT_EQ(moved, 1);
    }
}

TEST_F(BlackBoxLogTest, RotatesOnlyOnceTheFileHasPassedTheLimit)
{
    struct Case
    {
        qint64 size;
        bool rotates;
    };
    for (const Case c : {Case{1048576, false}, Case{1048577, true}}) {
        SCOPED_TRACE(c.size);
        QDir(logFolder()).removeRecursively();
        blackbox::RequestRotation();
        WriteLogInfo(QString(int(c.size - 2), QLatin1Char('x')), false);
        ASSERT_EQ(QFileInfo(logFile()).size(), c.size);

        WriteLogInfo(QStringLiteral("next"), false);

        if (c.rotates) {
            EXPECT_EQ(QFileInfo(logFile(QStringLiteral("qx0.log"))).size(), c.size);
            EXPECT_EQ(readAll(logFile()), QByteArray("next\r\n"));
        } else {
            EXPECT_FALSE(QFile::exists(logFile(QStringLiteral("qx0.log"))));
            EXPECT_EQ(QFileInfo(logFile()).size(), c.size + 6);
        }
    }
}

TEST_F(BlackBoxLogTest, FailedMoveToTheArchiveKeepsTheLog)
{
    // The oldest archive name is taken by a folder, so the move fails.
    MakeArchives(logFolder());
    QFile::remove(logFile(QStringLiteral("qx7.log")));
    QDir().mkpath(logFile(QStringLiteral("qx7.log")) + "/inside");
    SetModified(logFile(QStringLiteral("qx7.log")), QDateTime::currentDateTime().addDays(-3));
    writeFile(logFile(), "kept\r\n");
    blackbox::RequestRotation();

    WriteLogInfo(QStringLiteral("after"), false);

    EXPECT_EQ(readAll(logFile()), QByteArray("kept\r\nafter\r\n"));
    EXPECT_TRUE(QFileInfo(logFile(QStringLiteral("qx7.log"))).isDir());
    EXPECT_EQ(readAll(logFile(QStringLiteral("qx6.log"))), QByteArray("archive 6\r\n"));
}

TEST_F(BlackBoxLogTest, LogThatDoesNotOpenFallsBackToQxDat)
{
    WriteLogInfo(QStringLiteral("first"), false);
    QFile::remove(logFile());
    QDir().mkpath(logFile()); // "BlackBox.log" cannot be opened as a file now

    WriteLogInfo(QStringLiteral("second"), false);
    WriteLogInfo(QStringLiteral("third"), false);

    EXPECT_EQ(readAll(logFile(QStringLiteral("qx.dat"))), QByteArray("second\r\nthird\r\n"));
}

TEST_F(BlackBoxLogTest, ConfiguredFolderIsUsedAndNeverCreated)
{
    const QString configured = tempPath(QStringLiteral("station-logs"));
    QDir().mkpath(configured);
    setConfiguredLogFolder(configured);
    WriteLogInfo(QStringLiteral("to the configured folder"), false);
    EXPECT_EQ(readAll(configured + "/BlackBox.log"), QByteArray("to the configured folder\r\n"));
    EXPECT_FALSE(QFileInfo::exists(logFolder()));

    // A configured folder that is gone: both files fail, the operator may
    // retry, and a line given up goes to stderr.
    QDir(configured).removeRecursively();
    ui().Answer(vb::vbRetry);
    ui().Answer(vb::vbCancel);
    testing::internal::CaptureStderr();
    WriteLogInfo(QStringLiteral("nowhere to go"), false);
    const std::string err = testing::internal::GetCapturedStderr();

    const QString box = QStringLiteral("Hard Drive Access Error\tCannot create BlackBox log file.\t%1\t")
                            .arg(vb::vbRetryCancel | vb::vbDefaultButton2);
    EXPECT_EQ(ui().Shown().join('\n').toStdString(), QStringList({box + "4", box + "2"}).join('\n').toStdString());
    EXPECT_NE(err.find("nowhere to go"), std::string::npos) << err;
    EXPECT_FALSE(QFileInfo::exists(configured));
    EXPECT_FALSE(QFileInfo::exists(logFolder()));
}

TEST_F(BlackBoxLogTest, WithoutAnyLogFolderTheLineGoesToStderr)
{
    SetHostEngine(nullptr); // no main window and no folder configured
    testing::internal::CaptureStderr();
    WriteLogInfo(QStringLiteral("early line"), false);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("early line"), std::string::npos) << err;
    EXPECT_TRUE(ui().Shown().isEmpty());
}

// The automatic-handler control, recording the calls it gets.
class RecordingHandler : public DispatchObject
{
public:
    RecordingHandler()
        : DispatchObject(QString::fromLatin1(H950HdlrControl::ClassName), H950HdlrControl::Members())
    {
        AnswerUndeclaredAsFake();
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        calls << (kind == InvokeKind::PropertyPut ? QStringLiteral("%1=%2").arg(dispid).arg(args.last().toString())
                                                  : QString::number(dispid));
        return DispatchObject::Invoke(dispid, kind, args);
    }
    QStringList calls;
};

TEST(SetHandlerStateInfoTest, SendsTheCommandOfTheHandlerType)
{
    struct Case
    {
        qint32 type;
        QStringList calls;
    };
    const Case cases[] = {
        {0, {"1001"}}, {1, {"28=SNH950", "1000"}}, {2, {"28=SNH950", "1000"}}, {3, {}}, {-1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        H950HdlrControl handler;
        auto* control = new RecordingHandler();
        handler.Attach(std::unique_ptr<IDispatchControl>(control));
        SetHandlerStateInfo(c.type, QStringLiteral("SNH950"), handler);
        EXPECT_EQ(control->calls, c.calls);
    }
}

// A disk that fills in the middle of a line: write(2) takes only part of it.
ssize_t HalfWrite(int fd, const void* data, size_t size)
{
    return ::write(fd, data, size / 2);
}
// A disk that is full: nothing is taken.
ssize_t FullDisk(int, const void*, size_t)
{
    errno = ENOSPC;
    return -1;
}

TEST_F(BlackBoxLogTest, ALineIsWrittenWholeOrNotAtAll)
{
    WriteLogInfo(QStringLiteral("before"), false);
    for (const blackbox::WriteFunction write : {&HalfWrite, &FullDisk}) {
        blackbox::SetWriteFunction(write);
        testing::internal::CaptureStderr();
        WriteLogInfo(QStringLiteral("the line that does not fit"), false);
        const std::string err = testing::internal::GetCapturedStderr();
        blackbox::SetWriteFunction(nullptr);

        EXPECT_EQ(readAll(logFile()), QByteArray("before\r\n"));
        EXPECT_NE(err.find("the line that does not fit"), std::string::npos) << err;
    }
    WriteLogInfo(QStringLiteral("after"), false);
    EXPECT_EQ(readAll(logFile()), QByteArray("before\r\nafter\r\n"));
    EXPECT_TRUE(ui().Shown().isEmpty());
}

TEST_F(BlackBoxLogTest, AChangedLogFolderTakesEffectAtTheNextLine)
{
    WriteLogInfo(QStringLiteral("default"), false);
    const QString first = tempPath(QStringLiteral("first-logs"));
    const QString second = tempPath(QStringLiteral("second-logs"));
    QDir().mkpath(first);
    QDir().mkpath(second);

    setConfiguredLogFolder(first);
    WriteLogInfo(QStringLiteral("one"), false);
    setConfiguredLogFolder(second);
    WriteLogInfo(QStringLiteral("two"), false);

    EXPECT_EQ(readAll(logFile()), QByteArray("default\r\n"));
    EXPECT_EQ(readAll(first + "/BlackBox.log"), QByteArray("one\r\n"));
    EXPECT_EQ(readAll(second + "/BlackBox.log"), QByteArray("two\r\n"));
}

TEST_F(BlackBoxLogTest, ALogEmptiedFromOutsideIsNotRotatedEarly)
{
    WriteLogInfo(QString(1048576 - 100, QLatin1Char('x')), false);
    QFile::resize(logFile(), 0);
    WriteLogInfo(QString(200, QLatin1Char('y')), false);
    WriteLogInfo(QStringLiteral("next"), false);

    EXPECT_FALSE(QFile::exists(logFile(QStringLiteral("qx0.log"))));
    EXPECT_EQ(QFileInfo(logFile()).size(), 202 + 6);
}

} // namespace
