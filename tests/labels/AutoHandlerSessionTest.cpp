// A whole automatic-handler session on the station started in this process:
// the operator presses the Action button, the simulated handler runs its
// devices, prints a label for each pass through the stand-in label editor
// into a PDF, and the job summary reports the handler's rates and bins.

#include "StationTest.h"

#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "settings/ProgrammerClass.h"
#include "records/frmJobSummary.h"
#include "settings/SettingsStore.h"
#include "shell/CommandLine.h"
#include "shell/StartUp.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>

namespace {

class AutoHandlerSessionTest : public StationTest
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        for (const char* name : kVariables)
            m_saved << qgetenv(name);
        // The editor's socket in a folder of this test's own: no other
        // editor answers for it.
        const QString runtime = tempPath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        m_window = QDir(runtime).filePath(QStringLiteral("P-touch EDITOR"));
    }
    void TearDown() override
    {
        StationTest::TearDown();
        int i = 0;
        for (const char* name : kVariables)
            qputenv(name, m_saved.at(i++));
    }

    static constexpr const char* kVariables[] = {"XDG_RUNTIME_DIR", "TARVO_LABEL_PDF", "TARVO_ENGINE_FAULTS",
                                                 "TARVO_ENGINE_MODEL"};
    QList<QByteArray> m_saved;
    QString m_window;
};

TEST_F(AutoHandlerSessionTest, LabelsArePrintedAndTheSummaryGivesTheHandlersRatesAndBins)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) << "poppler-utils";
    const QString labelFile = tempPath(QStringLiteral("lot7.lbl"));
    {
        QSettings label(labelFile, QSettings::IniFormat);
        label.setValue(QStringLiteral("Label/Text"), QStringLiteral("LOT 7 PASSED"));
        label.setValue(QStringLiteral("Label/X"), 4);
        label.setValue(QStringLiteral("Label/Y"), 10);
    }
    const QString pdf = tempPath(QStringLiteral("labels.pdf"));
    qputenv("TARVO_LABEL_PDF", pdf.toLocal8Bit());
    qputenv("TARVO_ENGINE_MODEL", "RG-1080/8");
    // Two sockets; the engine fails the second device's verify.
    qputenv("TARVO_ENGINE_FAULTS",
            ("delay=0;device.2=28;auto.speed=0;auto.sites=2;auto.label=" + labelFile).toLocal8Bit());
    SetRawCommandLineText(QStringLiteral("-device AM27C512"));
    ASSERT_TRUE(StartApplication());
    frmMain& main = *gMainForm;
    ASSERT_TRUE(main.pgmrData().blnDeviceSelected);
    main.pgmrData().udtHandlerType = 1;
    SaveSettingValue(appinfo::App(), QStringLiteral("Application"), QStringLiteral("JobID_Enable"),
                     QStringLiteral("1"));
    // The operator types the quantity.
    main.txtNumCopies->selectAll();
    QTest::keyClicks(main.txtNumCopies, QStringLiteral("3"));
    ASSERT_EQ(main.lngNumCopies, 3);

    // The handler's job-ID prompt is answered; the summary is read when it
    // shows.
    ui().Answer(QStringLiteral("LOT-77"));
    QString report;
    ui().OnModal([&](QDialog* dialog) {
        if (auto* summary = qobject_cast<frmJobSummary*>(dialog))
            report = summary->rtfReport->toPlainText();
        return int(QDialog::Rejected);
    });
    main.frmP->btnAction->click();
    QDeadlineTimer deadline(30000);
    while (report.isEmpty() && !deadline.hasExpired())
        QTest::qWait(20);
    ASSERT_FALSE(report.isEmpty()) << "no job summary";
    EXPECT_FALSE(main.QXH950AutoHandler.IsRunning());
    EXPECT_EQ(main.pgmrData().strJobID, QStringLiteral("LOT-77"));

    // Three passes and one failure, the failure in the handler's reject bin.
    EXPECT_EQ(main.QXH950AutoHandler.HandlerValue3(), 3);
    EXPECT_EQ(main.QXH950AutoHandler.HandlerValue4(), 1);
    const QRegularExpressionMatch perHour =
        QRegularExpression(QStringLiteral("Units/Hour:\\s*\\t(\\d+)\\n")).match(report);
    ASSERT_TRUE(perHour.hasMatch()) << report.toStdString();
    EXPECT_GT(perHour.captured(1).toLongLong(), 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Reject\\s*\\t1\\n")).match(report).hasMatch())
        << report.toStdString();
    const QRegularExpressionMatch efficiency =
        QRegularExpression(QStringLiteral("Operation Efficiency:\\s*\\t([\\d.]+)%")).match(report);
    ASSERT_TRUE(efficiency.hasMatch()) << report.toStdString();
    EXPECT_GT(efficiency.captured(1).toDouble(), 0.0);

    // The editor printed the label and was closed at the session's end.
    QDeadlineTimer closed(15000);
    while (QFileInfo::exists(m_window) && !closed.hasExpired())
        QTest::qWait(20);
    EXPECT_FALSE(QFileInfo::exists(m_window)) << "the label editor is still open";
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(pdftotext.readAllStandardOutput()).trimmed(), QStringLiteral("LOT 7 PASSED"));
}

} // namespace
