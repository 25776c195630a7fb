// The job summary's text for jobs of different shapes, its formatting at a
// few places, and the job record it fills beside it.

#include "ReportFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>

namespace {

const QStringList kJobAndDevice = {
    "",
    "Job:",
    ReportFixture::Row("Name:", "Lot 7"),
    ReportFixture::Row("Operating Mode:", "Supervisor Mode"),
    // The revision ends in a carriage return of its own: a line end more.
    ReportFixture::Row("Software Revision:", "V102.3.A"),
    "",
    ReportFixture::Row("Programmer:", "QX-8000"),
    "",
    "Data Pattern File:",
    ReportFixture::Row("Name:", "pattern.hex"),
    ReportFixture::Row("CSUM:", "1A2B"),
    ReportFixture::Row("Date:", "12/9/2026 2:03:07 PM"),
    ReportFixture::Row("Size:", "1000h"),
    "",
    "Device:",
    ReportFixture::Row("Name:", "AT28C256"),
    ReportFixture::Row("Size:", "32K x 8"),
    ReportFixture::Row("Operations:", "Program"),
    "\t\t\t\tVerify",
};

// Lines from the first one that starts with prefix up to (not including) the
// next heading or the end.
QStringList SectionOf(const QStringList& lines, const QString& heading)
{
    QStringList section;
    qsizetype i = lines.indexOf(heading);
    if (i < 0)
        return section;
    for (++i; i < lines.size()
         && !(lines[i].isEmpty() && i + 1 < lines.size() && lines[i + 1].endsWith(':')
              && !lines[i + 1].startsWith('\t'));
         ++i)
        section << lines[i];
    while (!section.isEmpty() && section.last().isEmpty())
        section.removeLast();
    return section;
}

class JobSummaryReportTest : public ReportFixture
{};

TEST_F(JobSummaryReportTest, OneDeviceJobStopsAfterStatistics)
{
    in.counters.lngNumPassed = 1;
    in.user = "op";
    in.logDir = LogFolder();
    QStringList expected = kJobAndDevice;
    expected << ""
             << "Statistics:" << Row("Successful operations:", "1") << Row("Failure operations:", "0")
             << Row("Total operations:", "1") << "\t\t\t " << Row("Overall Yield:", "100.00%") << "";
    EXPECT_EQ(Build(), expected);
    // No site sections and no record for one device.
    EXPECT_FALSE(report->RecordAttempted());
    EXPECT_FALSE(QFileInfo::exists(tempPath("logs") + "/JobSum.log"));
}

TEST_F(JobSummaryReportTest, FailuresAreListedByCategoryInTableOrder)
{
    in.counters.lngNumPassed = 1;
    in.counters.lngNumFailed = 2;
    in.counters.lngNumFailedVerify = 1;
    in.counters.lngNumFailedContinuity = 1;
    in.strJobID = "J-42";
    in.bStartInOperatorMode = true;
    AddSites(1);
    const QStringList lines = Build();
    EXPECT_EQ(lines.mid(2, 3),
              (QStringList{Row("Name:", "Lot 7"), Row("Operating Mode:", "Operator Mode"), Row("Job ID:", "J-42")}));
    EXPECT_EQ(
        SectionOf(lines, "Statistics:"),
        (QStringList{Row("Successful operations:", "1"), Row("Failure operations:", "2"), Row("Total operations:", "3"),
                     "\t\t\t ", Row("Failure operation details:", " "), SubRow("Continuity failures :", "1"),
                     SubRow("Verify failures     :", "1"), "\t ", Row("Overall Yield:", "33.33%")}));
    // Three devices: the socket counters follow (a single-slot site with its
    // daughter card present).
    EXPECT_EQ(SectionOf(lines, "Socket Module Insertion Counters:"),
              (QStringList{"\tSite 1:  \tDaughter Card Total: " + QString("0").rightJustified(10)
                           + "\tDaughter Card Since Reset: " + QString("0").rightJustified(10)}));
}

TEST_F(JobSummaryReportTest, StoppedJobShowsTheRedNoticeBeforeTheSections)
{
    in.blnStopClicked = true;
    const QStringList lines = Build();
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"", "This job has been stopped.", ""}));

    const QTextBlock title = document.firstBlock();
    const QTextCharFormat titleFormat = title.begin().fragment().charFormat();
    EXPECT_EQ(titleFormat.fontPointSize(), 14);
    EXPECT_EQ(titleFormat.fontWeight(), QFont::Bold);
    EXPECT_TRUE(title.text().startsWith("Job Summary  --  "));
    const QTextBlock notice = title.next().next();
    const QTextCharFormat noticeFormat = notice.begin().fragment().charFormat();
    EXPECT_EQ(notice.text(), "This job has been stopped.");
    EXPECT_EQ(noticeFormat.fontPointSize(), 12);
    EXPECT_EQ(noticeFormat.foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(noticeFormat.fontItalic());
    // The sections after it in 8 points, in black.
    const QTextBlock heading = notice.next().next();
    EXPECT_EQ(heading.text(), "Job:");
    EXPECT_EQ(heading.begin().fragment().charFormat().fontPointSize(), 8);
    EXPECT_NE(heading.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(JobSummaryReportTest, LabelsValuesAndCounterNumbersCarryTheirOwnFormat)
{
    in.counters.lngNumPassed = 3;
    AddSites(1);
    Build();
    const QTextCursor name = document.find("Lot 7");
    ASSERT_FALSE(name.isNull());
    EXPECT_TRUE(name.charFormat().fontItalic()); // an emphasised value
    const QTextCursor label = document.find("Operating Mode:");
    EXPECT_EQ(label.charFormat().fontWeight(), QFont::Bold);
    EXPECT_FALSE(label.charFormat().fontUnderline());
    const QTextCursor csum = document.find("1A2B");
    EXPECT_FALSE(csum.charFormat().fontItalic()); // a plain value

    // The whole report, counter numbers included, is in one fixed-pitch
    // font: a field of character positions has the width of its characters.
    const QTextCursor counterLabel = document.find("Daughter Card Total: ");
    ASSERT_FALSE(counterLabel.isNull());
    QTextCursor number(&document);
    number.setPosition(counterLabel.selectionEnd());
    number.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 5);
    EXPECT_EQ(number.selectedText(), "     ");
    EXPECT_EQ(number.charFormat().fontFamilies().toStringList().value(0), JobSummaryReport::CounterFontFamily());
    EXPECT_EQ(document.defaultFont().family(), JobSummaryReport::CounterFontFamily());
    EXPECT_EQ(document.defaultTextOption().tabs().size(), 6);

    // One column is one character of any emphasis: the bold label field and
    // the italic value span as many columns of the plain text as they have
    // characters (whatever Qt's fixed-pitch flag says of the family).
    document.setTextWidth(-1);
    document.documentLayout()->documentSize(); // lays the report out
    const qreal column = QFontMetricsF(document.defaultFont()).horizontalAdvance(' ');
    for (const QTextCursor& field : {label, name}) {
        const QTextBlock block = field.block();
        const int start = field.selectionStart() - block.position();
        const QTextLine line = block.layout()->lineForTextPosition(start);
        const int width = field.selectedText() == "Lot 7" ? 5 : int(JobSummaryReport::Template::Label);
        EXPECT_NEAR(line.cursorToX(start + width) - line.cursorToX(start), width * column, 0.5)
            << field.selectedText().toStdString();
    }
}

// The report lines up whatever "monospace" resolves to on the machine: a
// monospaced family that fontconfig calls proportional (as some packaged
// families are), or a proportional family. The alignment tests run again in
// a process of their own under such a font set-up.
TEST_F(JobSummaryReportTest, LinesUpWhateverMonospaceResolvesTo)
{
    if (qEnvironmentVariableIsSet("TARVO_TEST_FONT_SETUP"))
        GTEST_SKIP() << "already under a font set-up of its own";
    const QString fonts = QStringLiteral("/usr/share/fonts/truetype/dejavu");
    if (!QFileInfo::exists(fonts + "/DejaVuSansMono.ttf") || !QFileInfo::exists(fonts + "/DejaVuSans.ttf"))
        GTEST_SKIP() << "the DejaVu families are not installed";
    const struct
    {
        const char* name;
        const char* monospace; // the family "monospace" resolves to
        bool monoCalledProportional;
    } cases[] = {
        {"a monospaced family called proportional", "DejaVu Sans Mono", true},
        {"a proportional family", "DejaVu Sans", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = tempPath(QString::fromLatin1(c.name).replace(' ', '-'));
        ASSERT_TRUE(QDir().mkpath(folder + "/cache"));
        // A font set-up of its own (with its own cache, so the scan rule
        // below applies): only the DejaVu families.
        QString config = QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n<dir>%1</dir>\n"
                                        "<cachedir>%2/cache</cachedir>\n"
                                        "<alias binding=\"strong\"><family>monospace</family>"
                                        "<prefer><family>%3</family></prefer></alias>\n")
                             .arg(fonts, folder, QString::fromLatin1(c.monospace));
        if (c.monoCalledProportional)
            config += QStringLiteral("<match target=\"scan\"><test name=\"family\"><string>DejaVu Sans Mono</string>"
                                     "</test><edit name=\"spacing\" mode=\"assign\"><const>proportional</const>"
                                     "</edit></match>\n");
        config += QStringLiteral("</fontconfig>\n");
        QFile file(folder + "/fonts.conf");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(config.toUtf8());
        file.close();

        QProcessEnvironment env = childEnvironment();
        env.insert("FONTCONFIG_FILE", folder + "/fonts.conf");
        env.insert("TARVO_TEST_FONT_SETUP", QString::fromLatin1(c.name));
        const ProcessResult run =
            RunProgram(QCoreApplication::applicationFilePath(),
                       {"--gtest_filter=JobSummaryReportTest.LabelsValuesAndCounterNumbersCarryTheirOwnFormat:"
                        "JobSummaryReportTest.ValuesLineUpInTheWindowAndInTheTextFile"},
                       env, 120000);
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("[  PASSED  ] 2 tests")) << run.out.toStdString();
    }
}

// Where each line's value starts, as the window lays the report out and as
// its text file reads: the values of labels, sub-labels and the further
// operations stand in one column.
TEST_F(JobSummaryReportTest, ValuesLineUpInTheWindowAndInTheTextFile)
{
    in.counters.lngNumPassed = 1;
    in.counters.lngNumFailed = 2;
    in.counters.lngNumFailedVerify = 1;
    in.counters.lngNumFailedContinuity = 1;
    in.operationsLog = {QStringLiteral("Program"), QStringLiteral("Verify"), QStringLiteral("Blank Check")};
    AddSites(1);
    Build();
    const QString laidOut = JobSummaryReport::LaidOutText(document.toPlainText());
    EXPECT_FALSE(laidOut.contains('\t'));
    const QStringList fileLines = laidOut.split('\n');

    const QStringList values = {"Lot 7",  "Supervisor Mode", "pattern.hex", "AT28C256", "Program",
                                "Verify", "Blank Check",     "1A2B",        "33.33%"};
    std::vector<int> xs;
    std::vector<qsizetype> columns;
    document.setTextWidth(-1);
    document.documentLayout()->documentSize(); // lays the report out
    for (const QString& value : values) {
        SCOPED_TRACE(value.toStdString());
        // "Program" is not the start of "Programmer:".
        const QTextCursor at = document.find(value, 0, QTextDocument::FindWholeWords);
        ASSERT_FALSE(at.isNull());
        const QTextBlock block = at.block();
        const int inBlock = at.selectionStart() - block.position();
        ASSERT_GT(block.layout()->lineCount(), 0);
        xs.push_back(int(block.layout()->lineForTextPosition(inBlock).cursorToX(inBlock)));
        const QString& line = fileLines.value(block.blockNumber());
        columns.push_back(line.indexOf(value));
    }
    // The sub-labels' counts: the "1" after a category name.
    for (const char* category : {"Continuity failures :", "Verify failures     :"}) {
        const QTextCursor label = document.find(category);
        ASSERT_FALSE(label.isNull());
        const QTextBlock block = label.block();
        const int inBlock = int(block.text().lastIndexOf('1'));
        xs.push_back(int(block.layout()->lineForTextPosition(inBlock).cursorToX(inBlock)));
        columns.push_back(fileLines.value(block.blockNumber()).lastIndexOf('1'));
    }
    for (size_t i = 1; i < xs.size(); ++i) {
        EXPECT_EQ(xs[i], xs[0]) << "value " << i;
        EXPECT_EQ(columns[i], columns[0]) << "value " << i;
    }
}

TEST_F(JobSummaryReportTest, MediaTransferJobWarnsAndLeavesOutPatternAndDevice)
{
    in.udtHandlerType = 1;
    autoHandler->Set(H950HdlrId::AutoHandlerInUse, VbBool(true));
    autoHandler->Set(H950HdlrId::HandlerValue3, 1);
    const QStringList lines = Build();
    EXPECT_EQ(lines.mid(0, 4),
              (QStringList{"", "Job:", Row("Warning:", "Devices not programmed. Media transfer only."),
                           Row("Name:", "Lot 7")}));
    EXPECT_FALSE(lines.contains("Data Pattern File:"));
    EXPECT_FALSE(lines.contains("Device:"));
    EXPECT_FALSE(lines.contains("AutoHandler:"));
    EXPECT_EQ(SectionOf(lines, "Statistics:").last(), Row("Overall Yield:", "100.00%"));
}

TEST_F(JobSummaryReportTest, AutomaticHandlerReportsBinsTimesAndVision)
{
    in.udtHandlerType = 2;
    in.counters.lngNumFailedProgramming = 1;
    autoHandler->Set(H950HdlrId::HandlerValue3, 97);
    autoHandler->Set(H950HdlrId::HandlerValue4, 3);
    autoHandler->Set(H950HdlrId::BinCount, 3);
    autoHandler->SetAt(H950HdlrId::BinFlagAAt, 0, 1);
    autoHandler->SetAt(H950HdlrId::BinLabelAt, 0, "Bin 2 Reject");
    autoHandler->SetAt(H950HdlrId::BinCountAt, 0, 2);
    autoHandler->SetAt(H950HdlrId::BinFlagAAt, 2, 1);
    autoHandler->SetAt(H950HdlrId::BinFlagBAt, 2, 1);
    autoHandler->Set(H950HdlrId::JobStartTime, "09:00:00");
    autoHandler->Set(H950HdlrId::JobEndTime, "10:00:00");
    autoHandler->Set(H950HdlrId::JobRunTime, 450);
    autoHandler->Set(H950HdlrId::PotentialUnitsPerHour, 600);
    autoHandler->Set(H950HdlrId::DelayTime, "00:05:00");
    autoHandler->Set(H950HdlrId::HandlerKind, 1);
    autoHandler->Set(H950HdlrId::InspectionProgramNumber, 40000); // beyond 16 bits
    autoHandler->Set(H950HdlrId::InspectionFileName, "lead.vis");
    autoHandler->Set(H950HdlrId::PartsInspected, 100);
    for (qint32 i = 0; i < 8; ++i)
        autoHandler->SetAt(H950HdlrId::InspectionLabelAt, i, QString("Lead %1").arg(i));
    autoHandler->SetAt(H950HdlrId::InspectionPassedAt, 7, 99);
    autoHandler->SetAt(H950HdlrId::InspectionFailedAt, 7, 1);
    AddSites(1);
    in.user = "op";
    in.logDir = LogFolder();
    const QStringList lines = Build();

    EXPECT_EQ(SectionOf(lines, "AutoHandler:"), (QStringList{Row("Empty Socket Test Interval:", "N/A")}));
    EXPECT_EQ(
        SectionOf(lines, "Statistics:"),
        (QStringList{Row("Successful operations:", "97"), Row("Failure operations:", "3"),
                     Row("Total operations:", "100"), "\t\t\t ", Row("Failure operation details:", " "),
                     SubRow("Bin 2 Reject", "2"), SubRow("Program failures    :", "1"), "\t ",
                     Row("Overall Yield:", "97.00%"), Row("Start Time:", "09:00:00"), Row("End Time:", "10:00:00"),
                     Row("Units/Hour:", "450"), "\t ", Row("Potential Units/Hour:", "600"),
                     Row("Delay Time During the Job:", "00:05:00"), Row("Operation Efficiency:", "75.00%")}));
    const QStringList vision = SectionOf(lines, "2D Vision Inspection Statistics:");
    ASSERT_EQ(vision.size(), 12);
    EXPECT_EQ(vision.mid(0, 4),
              (QStringList{Row("Program Number:", "40000"), Row("File Name:", "lead.vis"),
                           Row("Total Number Of Parts Inspected:", "100"), "\t "}));
    EXPECT_EQ(vision[4], Row("    Lead 0:", "Passed: 0\tFailed: 0"));
    EXPECT_EQ(vision[11], Row("    Lead 7:", "Passed: 99\tFailed: 1"));
    EXPECT_EQ(report->Record().At(JobRecord::kHandlerType), "8x00 handler");
    EXPECT_EQ(report->Record().At(JobRecord::kUnitsPerHour), "450");
}

TEST_F(JobSummaryReportTest, HandlerWithoutForcedBinWritesNoCategoriesAndZeroPotentialGivesZeroEfficiency)
{
    in.udtHandlerType = 1;
    in.counters.lngNumFailedVerify = 4;
    autoHandler->Set(H950HdlrId::HandlerValue3, 6);
    autoHandler->Set(H950HdlrId::HandlerValue4, 4);
    autoHandler->Set(H950HdlrId::EmptySocketTestInterval, 25);
    const QStringList lines = Build();
    const QStringList statistics = SectionOf(lines, "Statistics:");
    EXPECT_FALSE(statistics.contains(SubRow("Verify failures     :", "4")));
    EXPECT_TRUE(statistics.contains(Row("Operation Efficiency:", "0.00%")));
    EXPECT_EQ(SectionOf(lines, "AutoHandler:"), (QStringList{Row("Empty Socket Test Interval:", "25")}));
}

TEST_F(JobSummaryReportTest, ConcurrentSitesReportYieldsAndSocketCounters)
{
    in.counters.lngNumPassed = 37;
    in.counters.lngNumFailed = 3;
    in.lngNumCopies = 40;
    in.actionIsRepeatable = true;
    in.firstSiteBoxVisible = true;
    in.user = "op";
    in.logDir = LogFolder();
    engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
    engine->Set(QXPgmrId::SiteCount, 4);
    manualHandler->Set(ManualHdlId::SessionValue1004, 1200);
    const auto sites = AddSites(4);
    const qint32 counts[4][2] = {{10, 0}, {9, 1}, {8, 2}, {10, 0}};
    for (int i = 0; i < 4; ++i) {
        sites[size_t(i)]->Set(SiteBoxId::SitePassedCount, counts[i][0]);
        sites[size_t(i)]->Set(SiteBoxId::SiteFailedCount, counts[i][1]);
        sites[size_t(i)]->Set(SiteBoxId::SiteTotalCount, counts[i][0] + counts[i][1]);
    }
    // Site 1 with its daughter card, site 2 without one (all ones), site 3
    // without counters, site 4 again with its card.
    engine->On(QXPgmrId::SocketModuleCount, [](InvokeKind, QVariantList& args) {
        const qint32 site = args[0].toInt();
        if (site == 3)
            return QVariant(qint32(1));
        args[1] = qint32(1000 + site);
        args[2] = qint32(20 + site);
        args[3] = site == 2 ? qint32(-1) : qint32(500 + site);
        args[4] = site == 2 ? qint32(-1) : qint32(5 + site);
        return QVariant(qint32(0));
    });
    const QStringList lines = Build();

    const auto num = [](qint64 n) { return QString::number(n).rightJustified(10); };
    EXPECT_EQ(SectionOf(lines, "Site Yields:"),
              (QStringList{
                  "\tSite 1:  \t     Passed: " + num(10) + "\t     Failed: " + num(0) + "\t      Total: " + num(10)
                      + "\t   100.00%",
                  "\tSite 2:  \t     Passed: " + num(9) + "\t     Failed: " + num(1) + "\t      Total: " + num(10)
                      + "\t    90.00%",
                  "\tSite 3:  \t     Passed: " + num(8) + "\t     Failed: " + num(2) + "\t      Total: " + num(10)
                      + "\t    80.00%",
                  "\tSite 4:  \t     Passed: " + num(10) + "\t     Failed: " + num(0) + "\t      Total: " + num(10)
                      + "\t   100.00%",
              }));
    EXPECT_EQ(SectionOf(lines, "Socket Module Insertion Counters:"),
              (QStringList{
                  "\tSite 1:  \tDaughter Card Total: " + num(501) + "\tDaughter Card Since Reset: " + num(6),
                  "\tSite 2:  \t      Total: " + num(1002) + "\tSince Reset: " + num(22),
                  "\tSite 3:  \t       N/A",
                  "\tSite 4:  \tDaughter Card Total: " + num(504) + "\tDaughter Card Since Reset: " + num(9),
              }));
    EXPECT_TRUE(SectionOf(lines, "Statistics:").contains(Row("Units/Hour:", "1200")));

    const JobRecord& record = report->Record();
    EXPECT_EQ(record.At(JobRecord::kFirstSiteYield + 4), "9");
    EXPECT_EQ(record.At(JobRecord::kFirstSiteYield + 7), "90.00%");
    EXPECT_EQ(record.At(JobRecord::kFirstOdometer + 2), "1002");
    EXPECT_EQ(record.At(JobRecord::kFirstOdometer + 4), ""); // site 3: N/A
    EXPECT_EQ(record.At(JobRecord::kFirstOdometer + 7), "9");
    EXPECT_EQ(record.At(JobRecord::kFirstSiteYield + 16), ""); // site 5 does not exist
    EXPECT_EQ(record.At(JobRecord::kUnitsPerHour), "1200");
}

TEST_F(JobSummaryReportTest, MultiSlotSitesShowTheDaughterCardPairUnderPlainLabels)
{
    in.counters.lngNumPassed = 2;
    engine->Set(QXPgmrId::SiteSlotCount, qint16(2));
    engine->On(QXPgmrId::SocketModuleCount, [](InvokeKind, QVariantList& args) {
        args[1] = qint32(7);
        args[2] = qint32(8);
        args[3] = qint32(-2); // 4294967294: a present card with a large count
        args[4] = qint32(3);
        return QVariant(qint32(0));
    });
    AddSites(1);
    EXPECT_EQ(SectionOf(Build(), "Socket Module Insertion Counters:"),
              (QStringList{"\tSite 1:  \t      Total: 4294967294\tSince Reset: " + QString("3").rightJustified(10)}));
}

TEST_F(JobSummaryReportTest, MissingSiteBoxEndsOnlyTheSiteSections)
{
    in.counters.lngNumPassed = 5;
    engine->Set(QXPgmrId::SiteCount, 2);
    AddSites(1); // site 2 has no box
    in.user = "op";
    in.logDir = LogFolder();
    const QStringList lines = Build();
    const QStringList counters = SectionOf(lines, "Socket Module Insertion Counters:");
    ASSERT_EQ(counters.size(), 1);
    EXPECT_TRUE(counters[0].startsWith("\tSite 1:"));
    // The record is still written, the missing site's slots empty.
    EXPECT_TRUE(report->RecordWritten()) << report->RecordError().toStdString();
    EXPECT_EQ(report->Record().At(JobRecord::kFirstOdometer + 2), "");
    // No Units/Hour line: its column stays empty and the columns after it stay put.
    EXPECT_EQ(report->Record().At(JobRecord::kUnitsPerHour), "");
    EXPECT_EQ(report->Record().At(JobRecord::kFirstOdometer), "0");
    EXPECT_EQ(report->Record().At(JobRecord::kOverallYield), "100.00%");
}

TEST_F(JobSummaryReportTest, SimpleSerializationInHexadecimal)
{
    in.selectedTabCaption = "&Program";
    in.sWorkingDirectoryAtLaunch = "/srv/station";
    in.counters.lngNumPassed = 1;
    engine->On(QXPgmrId::SerializationValueAt245, [](InvokeKind, QVariantList&) { return QVariant(qint32(1)); });
    engine->Set(QXPgmrId::SerializationField244, VbBool(true));
    engine->Set(QXPgmrId::SerialDataFilePath, "/srv/sn/serial.dat");
    engine->Set(QXPgmrId::SerialVerifyEnabled, VbBool(true));
    engine->Set(QXPgmrId::SerializationField237, qint32(4096));
    engine->Set(QXPgmrId::SerializationField238, 4);
    engine->Set(QXPgmrId::SerializationField239, 1);
    engine->Set(QXPgmrId::SerializationField242, 1);
    engine->Set(QXPgmrId::SerializationIndexRange, "00A0");
    EXPECT_EQ(SectionOf(Build(), "Serialization:"),
              (QStringList{Row("Type:", "Simple"), Row("Serialization Working Dir.:", "/srv/station"),
                           Row("Data File:", "/srv/sn/serial.dat"), Row("Verify Serial Number:", "Enabled"),
                           Row("Attempt Retry of Failed SN:", "Disabled"), Row("SN Buffer Address:", "1000h"),
                           Row("Serial Number Size (bytes):", "4"), Row("Buffer Bytes to Skip:", "Every Other"),
                           Row("Byte Order:", "Reverse"), Row("First Serial Number:", "00A0h")}));
}

TEST_F(JobSummaryReportTest, ComplexSerializationNamesTheProgramAndItsArguments)
{
    struct Case
    {
        QString command;
        QString program;
        QStringList expected; // the lines after the working folder
    };
    const QList<Case> cases = {
        {"  \"/opt/sn/make serial\" --lot 7 ",
         "/opt/sn/make serial",
         {Row("Program File:", "/opt/sn/make serial"), Row("Command Line Arguments:", "--lot 7")}},
        {"/opt/sn/mkserial -q",
         "/opt/sn/mkserial",
         {Row("Program File:", "/opt/sn/mkserial"), Row("Command Line Arguments:", "-q")}},
        {"/opt/sn/mkserial", "/opt/sn/mkserial", {Row("Program File:", "/opt/sn/mkserial")}},
    };
    for (const Case& c : cases) {
        document.clear();
        in.selectedTabCaption = "&Program";
        in.sWorkingDirectoryAtLaunch = "/srv/station";
        in.counters.lngNumPassed = 0;
        engine->On(QXPgmrId::SerializationValueAt245, [](InvokeKind, QVariantList&) { return QVariant(qint32(1)); });
        engine->Set(QXPgmrId::SerializationField244, VbBool(true));
        engine->Set(QXPgmrId::SerializationField260, 1);
        engine->Set(QXPgmrId::SerializationField236, c.command);
        engine->Set(QXPgmrId::SerializationField243, 1);
        engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
        engine->Set(QXPgmrId::SerialLogFilePath, "/srv/sn/serial.log");
        QString asked;
        engine->On(QXPgmrId::SerializationValueAt314, [&](InvokeKind, QVariantList& args) {
            asked = args[0].toString();
            return QVariant(c.program);
        });
        QStringList expected = {Row("Type:", "Complex"), Row("Serialization Working Dir.:", "/srv/station")};
        expected << c.expected << Row("Data File:", "") << Row("Log File:", "/srv/sn/serial.log")
                 << Row("Verify Serial Number:", "Disabled") << Row("Attempt Retry of Failed SN:", "Disabled")
                 << Row("Resume from Last SN in file:", "Enabled") << Row("First Serial Number:", "N/A");
        EXPECT_EQ(SectionOf(Build(), "Serialization:"), expected) << c.command.toStdString();
        EXPECT_EQ(asked, c.command.trimmed());
    }
}

TEST_F(JobSummaryReportTest, SerializationTypeNoneAndStaplSection)
{
    in.selectedTabCaption = "&Program";
    EXPECT_EQ(SectionOf(Build(), "Serialization:"), (QStringList{Row("Type:", "None")}));

    document.clear();
    in.selectedTabCaption = "&Verify";
    engine->Set(QXPgmrId::DeviceSupportsStaplSerialization, VbBool(true));
    engine->Set(QXPgmrId::DataFileTypeCode, 16);
    engine->Set(QXPgmrId::SerialDataFilePath, "/srv/sn/stapl.dat");
    engine->Set(QXPgmrId::SerializationField241, 1);
    engine->Set(QXPgmrId::SerializationIndexRange, "1,3,5-12");
    EXPECT_EQ(SectionOf(Build(), "Serialization:"),
              (QStringList{Row("Data File:", "/srv/sn/stapl.dat"), Row("Attempt Retry of Failed SN:", "Enabled"),
                           Row("Index Range:", "1,3,5-12")}));
}

TEST(FormatYieldTest, RoundsOnceAndCountsInSixtyFourBits)
{
    struct Case
    {
        qint64 part, other;
        const char* expected;
    };
    const Case cases[] = {
        {1, 2, "33.33%"},
        {2, 1, "66.67%"},
        {5, 0, "100.00%"},
        {0, 7, "0.00%"},
        {1, 31, "3.12%"},      // 312.5 rounds to the even 312
        {24999, 1, "100.00%"}, // 99.996%
        {0, 0, "N/A"},
        {300000, 0, "100.00%"}, // past 214,748 devices
        {2000000000, 1000000000, "66.67%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JobSummaryReport::FormatYield(c.part, c.other), c.expected) << c.part << " " << c.other;
}

TEST_F(JobSummaryReportTest, LargeCountsKeepTheStatisticsWhole)
{
    in.counters.lngNumPassed = 2000000000;
    in.counters.lngNumFailed = 1000000000;
    const QStringList statistics = SectionOf(Build(), "Statistics:");
    EXPECT_TRUE(statistics.contains(Row("Total operations:", "3000000000")));
    EXPECT_EQ(statistics.last(), Row("Overall Yield:", "66.67%"));
}

TEST_F(JobSummaryReportTest, SitesAbove24AreReportedButTheRecordKeepsItsColumns)
{
    in.counters.lngNumPassed = 64;
    in.lngNumCopies = 64;
    in.actionIsRepeatable = true;
    in.firstSiteBoxVisible = true;
    in.user = "op";
    in.logDir = LogFolder();
    engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
    engine->Set(QXPgmrId::SiteCount, 32);
    const auto sites = AddSites(32);
    for (ScriptedSiteBox* site : sites) {
        site->Set(SiteBoxId::SitePassedCount, 2);
        site->Set(SiteBoxId::SiteTotalCount, 2);
    }
    const QStringList lines = Build();
    EXPECT_EQ(SectionOf(lines, "Site Yields:").size(), 32);
    EXPECT_EQ(SectionOf(lines, "Socket Module Insertion Counters:").size(), 32);
    EXPECT_EQ(report->Record().At(JobRecord::kFirstSiteYield + 4 * 23), "2");
    EXPECT_EQ(report->Record().At(JobRecord::kFirstOdometer + 2 * 23), "0");
    ASSERT_TRUE(report->RecordWritten());
}

} // namespace
