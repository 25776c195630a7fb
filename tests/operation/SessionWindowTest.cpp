// A concurrent session end to end: the Action button on an eight-site model
// of the simulated engine, the simulated manual handler filling its sockets,
// a fault plan failing chosen devices; the job ends in a summary whose counts
// are the plan's and one new row of the job record log.

#include "StandInWindowFixture.h"

#include "engine/EngineCodes.h"
#include "engine/ManualHdlControl.h"
#include "records/frmJobSummary.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextEdit>

namespace {

class SessionWindowTest : public StandInWindowTest
{
protected:
    void SetUp() override
    {
        m_saved = {{"TARVO_ENGINE_FAULTS", qgetenv("TARVO_ENGINE_FAULTS")},
                   {"QXELOG", qgetenv("QXELOG")},
                   {"USER", qgetenv("USER")}};
        StandInWindowTest::SetUp();
    }
    void TearDown() override
    {
        StandInWindowTest::TearDown();
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }

    // The station as start-up wires it: the engine's and the handler's
    // events reach the main window.
    void WireHandlers()
    {
        ASSERT_EQ(RegisterPlugin(QStringLiteral("ManualHdl.ocx")), companion::S_OK);
        main->ConcurrentManualHandler.Attach(
            companion::CreateControl(QString::fromLatin1(ManualHdlControl::ClassName)));
        main->ConcurrentManualHandler.Control()->SetEventSink(main);
        engine().Control()->SetEventSink(main);
    }

    void SelectModel(const QString& name)
    {
        for (qint32 i = 0; i < engine().ProgrammerModelCount(); ++i) {
            if (engine().ModelNameAt(i) == name) {
                engine().SelectProgrammerModel(i);
                return;
            }
        }
        FAIL() << "no model " << name.toStdString();
    }

private:
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

TEST_F(SessionWindowTest, ASessionOnEightSitesEndsInASummaryWithTheWindowsCountsAndOneLogRow)
{
    LoadAndShow();
    WireHandlers();
    SelectModel(QStringLiteral("RG-1080/8"));
    window->Form_Reload(true, QStringLiteral("AM27C512"));
    ASSERT_TRUE(data().blnDeviceSelected);
    ASSERT_EQ(engine().SiteCount(), 8);
    ASSERT_TRUE(engine().IsConcurrentProgrammer());
    const QString folder = tempPath("joblogs");
    QDir().mkpath(folder);
    qputenv("QXELOG", folder.toUtf8());
    qputenv("USER", "station");
    main->station().SetQuantityText(QStringLiteral("12"));

    // The 3rd device fails programming, the 10th verify: twelve pass out of
    // fourteen run, over the handler's eight sockets. The handler's session
    // ends as it ran, or reports itself failed: either way the job ends in
    // its summary and its record.
    for (const char* faults :
         {"delay=0;device.3=21;device.10=28", "delay=0;device.3=21;device.10=28;manual.result=7"}) {
        SCOPED_TRACE(faults);
        qputenv("TARVO_ENGINE_FAULTS", faults);
        QFile::remove(folder + "/JobSum.log");
        QString report;
        int summaries = 0;
        qint32 passedShown = -1, failedShown = -1;
        ui().OnModal([&](QDialog* dialog) {
            ++summaries;
            auto* summary = qobject_cast<frmJobSummary*>(dialog);
            report = summary ? summary->rtfReport->toPlainText() : QString();
            // What the window's counters show while the summary is open.
            passedShown = window->m_sDevicesPassedValue->text().trimmed().toInt();
            failedShown = window->m_sDevicesFailedValue->text().trimmed().toInt();
            return int(QDialog::Rejected);
        });

        window->btnAction->click();

        EXPECT_EQ(summaries, 1);
        EXPECT_EQ(window->lngNumPassed, 12);
        EXPECT_EQ(window->lngNumFailed, 2);
        EXPECT_EQ(passedShown, 12);
        EXPECT_EQ(failedShown, 2);
        EXPECT_EQ(window->lngNumFailedProgramming, 1);
        EXPECT_EQ(window->lngNumFailedVerify, 1);
        EXPECT_TRUE(report.contains(QString("Verify failures     :").leftJustified(45) + "\t1\n"))
            << report.toStdString();
        EXPECT_TRUE(report.contains(QString("Program failures    :").leftJustified(45) + "\t1\n"))
            << report.toStdString();
        EXPECT_TRUE(report.contains(QStringLiteral("Successful operations:          \t12\n")));
        EXPECT_TRUE(report.contains(QStringLiteral("Failure operations:             \t2\n")));
        // Every site of the eight took devices.
        for (int site = 0; site < 8; ++site)
            EXPECT_NE(window->SiteBox[size_t(site)]->SiteState(), SiteStatus::Idle) << site + 1;
        EXPECT_FALSE(data().blnInAction);
        EXPECT_FALSE(window->blnRunningConcurrent);
        EXPECT_FALSE(window->blnStopClicked);
        EXPECT_TRUE(window->btnAction->isEnabled());

        QFile log(folder + "/JobSum.log");
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        ASSERT_EQ(lines.size(), 3); // header, the row, and the end after its CR LF
        EXPECT_TRUE(lines[1].startsWith("station,")) << lines[1].toStdString();
        // Passed, the twelve categories in the summary's order, the yield of
        // twelve out of fourteen.
        EXPECT_TRUE(lines[1].contains(",12,0,0,0,0,0,0,0,0,1,0,1,0,85.71%,")) << lines[1].toStdString();
    }
}

} // namespace
