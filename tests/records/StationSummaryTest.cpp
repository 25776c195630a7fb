// The summary at the end of a job on a station: the window is created and
// loaded (the report built, the job record written) even when a script
// answers its showing, as on a headless station.

#include "../operation/OperationFixture.h"

#include "records/frmJobSummary.h"

#include <QDir>
#include <QFile>
#include <QTextEdit>

namespace {

class StationSummaryTest : public OperationWindowTest
{
protected:
    void TearDown() override
    {
        qputenv("QXELOG", m_savedLog);
        qputenv("USER", m_savedUser);
        OperationWindowTest::TearDown();
    }
    QByteArray m_savedLog = qgetenv("QXELOG");
    QByteArray m_savedUser = qgetenv("USER");
};

TEST_F(StationSummaryTest, AScriptedShowingStillBuildsTheSummaryAndWritesTheRecord)
{
    LoadAndShow();
    const QString folder = tempPath("joblogs");
    QDir().mkpath(folder);
    qputenv("QXELOG", folder.toUtf8());
    qputenv("USER", "station");
    engine->Set(QXPgmrId::ProgrammerModelName, "QX-4000/USB");
    engine->Set(QXPgmrId::SiteCount, 1);
    window->lngNumPassed = 4;
    window->lngNumFailed = 1;
    window->lngNumFailedVerify = 1;
    data().strJobName = "Night lot";

    QString report;
    ui().OnModal([&](QDialog* dialog) {
        auto* summary = qobject_cast<frmJobSummary*>(dialog);
        report = summary ? summary->rtfReport->toPlainText() : QString();
        return int(QDialog::Rejected); // the script closes it
    });
    window->ShowJobSummary();

    EXPECT_TRUE(report.contains("\tNight lot\n")) << report.toStdString();
    EXPECT_TRUE(report.contains("QX-4000\n"));
    EXPECT_TRUE(report.contains(QString("Verify failures     :").leftJustified(45) + "\t1\n"));
    QFile log(folder + "/JobSum.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // header, the row, and the end after its CR LF
    EXPECT_TRUE(lines[1].startsWith("station,Concurrent handler,"));
    EXPECT_TRUE(lines[1].contains(",4,0,0,0,0,0,0,0,0,0,0,1,0,80.00%,"));
}

} // namespace
