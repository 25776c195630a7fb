// The job summary window through its buttons: printing (to PDF through the
// scripted print dialog), saving the text, OK and the automatic report
// saving, its size floor, and the environment it reads when it loads.

#include "ReportFixture.h"

#include "platform/AppInfo.h"
#include "records/frmJobSummary.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QAbstractTextDocumentLayout>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace {

QString PdfText(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    pdftotext.waitForFinished(60000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class JobSummaryWindowTest : public ReportFixture
{
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        m_savedLog = qgetenv("QXELOG");
        m_savedUser = qgetenv("USER");
        qunsetenv("QXELOG");
        qunsetenv("USER");
        in.counters.lngNumPassed = 3;
        AddSites(1);
    }
    void TearDown() override
    {
        window.reset();
        qputenv("QXELOG", m_savedLog);
        qputenv("USER", m_savedUser);
        ReportFixture::TearDown();
    }

    frmJobSummary& Open()
    {
        window = std::make_unique<frmJobSummary>(in);
        return *window;
    }

    // A job of 16 devices, two failing, on an eight-site programmer: the
    // widest report, with its site yields and socket counters.
    void EightSiteJob()
    {
        in.counters.lngNumPassed = 14;
        in.counters.lngNumFailed = 2;
        in.counters.lngNumFailedVerify = 2;
        in.lngNumCopies = 16;
        in.actionIsRepeatable = true;
        in.firstSiteBoxVisible = true;
        in.selectedTabCaption = QStringLiteral("&Program");
        engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
        engine->Set(QXPgmrId::SiteCount, 8);
        AddSites(7);
        engine->On(QXPgmrId::SocketModuleCount, [](InvokeKind, QVariantList& args) {
            const qint32 site = args[0].toInt();
            args[1] = qint32(1000 + site);
            args[2] = qint32(20 + site);
            args[3] = qint32(500 + site);
            args[4] = qint32(5 + site);
            return QVariant(qint32(0));
        });
    }

    std::unique_ptr<frmJobSummary> window;

private:
    QByteArray m_savedLog, m_savedUser;
};

TEST_F(JobSummaryWindowTest, PrintsTheReportOrItsSelectionToPdf)
{
    frmJobSummary& w = Open();
    EXPECT_EQ(w.windowTitle(), "Job Summary");
    const QString whole = tempPath("whole.pdf");
    ui().Answer(whole);
    w.btnPrint->click();
    const QString text = PdfText(whole);
    EXPECT_TRUE(text.contains("Job Summary")) << text.toStdString();
    EXPECT_TRUE(text.contains("Successful operations:"));
    EXPECT_TRUE(text.contains("Socket Module Insertion Counters"));
    // On paper too the values stand in one column.
    QList<qsizetype> columns;
    for (const QString& line : text.split('\n')) {
        for (const char* value : {"Lot 7", "pattern.hex", "AT28C256", "Verify"}) {
            if (line.trimmed().endsWith(QLatin1String(value)))
                columns << line.indexOf(QLatin1String(value));
        }
    }
    ASSERT_GE(columns.size(), 4) << text.toStdString();
    for (const qsizetype column : columns)
        EXPECT_EQ(column, columns.first()) << text.toStdString();

    // With part of the report selected only that part prints.
    QTextCursor selection = w.rtfReport->document()->find("Device:");
    ASSERT_FALSE(selection.isNull());
    selection.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 1);
    selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    w.rtfReport->setTextCursor(selection);
    const QString part = tempPath("part.pdf");
    ui().Answer(part);
    w.btnPrint_Click();
    const QString partText = PdfText(part);
    EXPECT_TRUE(partText.contains("Device:")) << partText.toStdString();
    EXPECT_TRUE(partText.contains("AT28C256"));
    EXPECT_FALSE(partText.contains("Statistics"));
    EXPECT_FALSE(partText.contains("Job Summary"));

    // Cancel prints nothing.
    const QString cancelled = tempPath("cancelled.pdf");
    ui().Answer("Cancel");
    w.btnPrint_Click();
    EXPECT_FALSE(QFileInfo::exists(cancelled));
    EXPECT_EQ(ui().Remaining(), 0);
}

TEST_F(JobSummaryWindowTest, SavesTheReportAsOneQuotedItemWithCrLf)
{
    frmJobSummary& w = Open();
    const QString path = tempPath("summary.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, '#')); // longer than the report
    }
    ui().Answer(path);
    w.cmdSave->click();
    const QByteArray bytes = Contents(path);
    EXPECT_TRUE(bytes.startsWith("\"Job Summary  --  "));
    EXPECT_TRUE(bytes.endsWith("\"\r\n"));
    EXPECT_FALSE(bytes.contains('#'));
    const QByteArray inner = bytes.mid(1, bytes.size() - 4);
    EXPECT_EQ(inner.count('\n'), inner.count("\r\n"));
    EXPECT_TRUE(inner.contains("\r\nStatistics:\r\n"));
    // The file reads as the window shows it, in any editor.
    EXPECT_EQ(QString::fromUtf8(inner), JobSummaryReport::LaidOutText(w.ReportText()));
    EXPECT_FALSE(inner.contains('\t'));
    EXPECT_EQ(ui().Shown().last().section('\t', 2, 2), "Save");

    // A name typed without an extension is saved as a summary file.
    ui().Answer(tempPath("lot7"));
    w.cmdSave->click();
    EXPECT_EQ(Contents(tempPath("lot7.txt")), bytes);
    EXPECT_FALSE(QFileInfo::exists(tempPath("lot7")));

    // Cancel writes nothing; a failed save says so, naming the file.
    ui().Answer("");
    w.cmdSave_Click();
    const QString unwritable = tempPath("absent") + "/summary.txt";
    ui().Answer(unwritable);
    ui().Answer(vb::vbOK);
    w.cmdSave_Click();
    EXPECT_TRUE(ui().Shown().last().contains(unwritable)) << ui().Shown().last().toStdString();
    EXPECT_EQ(ui().Remaining(), 0);
}

TEST_F(JobSummaryWindowTest, OnlyOkHandsTheReportToAutomaticSaving)
{
    QStringList handed;
    engine->On(QXPgmrId::AutoSaveJobSummary, [&](InvokeKind, QVariantList& args) {
        handed << args.value(0).toString();
        return QVariant();
    });
    struct Case
    {
        const char* setting; // nullptr: absent, as on a station never configured
        bool viaOk;
        bool handedOn;
    };
    const Case cases[] = {{nullptr, true, true}, {"0", true, false},  {"x", true, false},  {"1", false, false},
                          {"1", true, true},     {"1.0", true, true}, {" 1 ", true, true}, {"1.5", true, false}};
    for (const Case& c : cases) {
        handed.clear();
        if (c.setting)
            SaveSettingValue(appinfo::App(), "Application", "AutoSaveSK_Enable", QString(c.setting));
        frmJobSummary& w = Open();
        w.show();
        if (c.viaOk)
            w.btnOK->click();
        else
            w.close();
        EXPECT_FALSE(w.isVisible());
        ASSERT_EQ(handed.size(), c.handedOn ? 1 : 0) << (c.setting ? c.setting : "absent") << c.viaOk;
        if (c.handedOn) {
            EXPECT_EQ(handed[0], JobSummaryReport::LaidOutText(w.ReportText()));
        }
    }
}

TEST_F(JobSummaryWindowTest, KeepsAFloorOf1500TwipsAndItsButtonsBottomRight)
{
    frmJobSummary& w = Open();
    w.show();
    w.resize(40, 300);
    w.Form_Resize();
    EXPECT_EQ(w.width(), 100);
    EXPECT_EQ(w.height(), 300);
    w.resize(640, 480);
    w.Form_Resize();
    EXPECT_EQ(w.btnOK->geometry().right() + 1, 640 - 8);
    EXPECT_EQ(w.btnOK->geometry().bottom() + 1, 480 - 8);
    EXPECT_LT(w.btnPrint->x(), w.btnOK->x());
    EXPECT_LT(w.cmdSave->x(), w.btnPrint->x());
    EXPECT_EQ(w.btnPrint->y(), w.btnOK->y());
    EXPECT_LT(w.rtfReport->geometry().bottom(), w.btnOK->y());
}

// The window opens showing its whole report as far as its screen allows:
// as wide as the widest line (the heading with its long date among them),
// as tall as the report with its statistics and site sections; where the
// screen is smaller, it takes the screen's room and scrolls.
TEST_F(JobSummaryWindowTest, OpensShowingTheWholeReportAsFarAsTheScreenAllows)
{
    in.now = QDateTime(QDate(2026, 9, 30), QTime(23, 59, 59));
    for (const bool eightSites : {false, true}) {
        SCOPED_TRACE(eightSites ? "eight sites" : "one site");
        in.selectedTabCaption = QStringLiteral("&Program"); // with its serialization section
        if (eightSites)
            EightSiteJob();
        frmJobSummary& w = Open();
        w.show();
        QApplication::processEvents();
        const QRect room = w.screen()->availableGeometry();
        EXPECT_LE(w.frameGeometry().width(), room.width());
        EXPECT_LE(w.frameGeometry().height(), room.height());

        // Where each line ends and where the report ends, as laid out.
        QTextDocument* document = w.rtfReport->document();
        qreal widest = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i)
                widest = std::max(widest, layout->position().x() + layout->lineAt(i).naturalTextWidth());
        }
        const QTextCursor statistics = document->find("Overall Yield:");
        ASSERT_FALSE(statistics.isNull());
        const qreal last = document->documentLayout()->blockBoundingRect(document->lastBlock()).bottom();

        QScrollBar* across = w.rtfReport->horizontalScrollBar();
        if (widest + 100 <= room.width()) {
            EXPECT_EQ(across->maximum(), 0) << "a line hides past the right edge";
            EXPECT_GE(w.rtfReport->viewport()->width(), int(std::ceil(widest)));
        } else {
            EXPECT_GE(w.width(), room.width() - 100);
        }
        if (last + 150 <= room.height()) {
            EXPECT_EQ(w.rtfReport->verticalScrollBar()->maximum(), 0) << "the report's end hides below";
            const QRectF shown = document->documentLayout()->blockBoundingRect(statistics.block());
            EXPECT_LE(shown.bottom(), w.rtfReport->viewport()->height());
        } else {
            EXPECT_GE(w.height(), room.height() - 150);
        }
        window.reset();
    }
}

// On paper the report keeps its lines: a report wider than the page is
// scaled to it, so neither the heading nor a site's row wraps.
TEST_F(JobSummaryWindowTest, PrintsEveryLineWholeOnItsPage)
{
    in.now = QDateTime(QDate(2026, 9, 30), QTime(23, 59, 59));
    EightSiteJob();
    frmJobSummary& w = Open();
    const QString pdf = tempPath("eight.pdf");
    ui().Answer(pdf);
    w.btnPrint->click();
    const QStringList lines = PdfText(pdf).split('\n');
    const QString date = QLocale::system().toString(in.now.date(), QLocale::LongFormat);
    const QString time = QLocale::system().toString(in.now.time(), QLocale::LongFormat);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].contains("Job Summary") && lines[0].contains(date) && lines[0].contains(time))
        << lines.join('\n').toStdString();
    int rows = 0;
    for (const QString& line : lines) {
        if (line.contains("Passed:")) {
            ++rows;
            EXPECT_TRUE(line.contains("Total:") && line.trimmed().endsWith("N/A")) << line.toStdString();
        }
    }
    EXPECT_EQ(rows, 8) << lines.join('\n').toStdString();
}

TEST_F(JobSummaryWindowTest, LoadReadsTheLogFolderAndUserFromTheEnvironment)
{
    const QString folder = LogFolder();
    qputenv("QXELOG", folder.toUtf8());
    Open();
    EXPECT_FALSE(QFileInfo::exists(folder + "/JobSum.log")); // no USER

    qputenv("USER", "op");
    frmJobSummary& w = Open();
    EXPECT_EQ(w.strLogDir, folder);
    EXPECT_EQ(w.strUser, "op");
    EXPECT_TRUE(w.Report().RecordWritten());
    EXPECT_TRUE(Contents(folder + "/JobSum.log").contains("\r\nop,Concurrent handler,"));

    // A log folder that does not exist: the operator is told, with the reason.
    qputenv("QXELOG", (folder + "/gone").toUtf8());
    ui().Answer(vb::vbOK);
    Open();
    EXPECT_TRUE(ui().Shown().last().contains(folder + "/gone/JobSum.log: No such file or directory"))
        << ui().Shown().last().toStdString();
}

} // namespace
