// Runs through the Action button on the simulated engine, with its events
// reaching the main window's bridge as in the station: the status lines, the
// step bars, the site box, the counters and the prompts of a whole job.
#include "StandInWindowFixture.h"

#include "engine/EngineCodes.h"
#include "engine/SiteBoxControl.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <map>

namespace {

class StandInRunTest : public StandInWindowTest
{
protected:
    void SetUp() override
    {
        m_savedFaults = qgetenv("TARVO_ENGINE_FAULTS");
        qputenv("TARVO_ENGINE_FAULTS", "delay=0;device.2=28");
        StandInWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(ShowOnDevice(QStringLiteral("AM27C512")));
        // The highest value each bar reached during the run.
        for (int row = 0; row < window->ProgressBar1.size(); ++row) {
            QObject::connect(window->ProgressBar1[row], &QProgressBar::valueChanged, window,
                             [this, row](int value) { m_highest[row] = std::max(m_highest[row], value); });
        }
    }
    void TearDown() override
    {
        StandInWindowTest::TearDown();
        qputenv("TARVO_ENGINE_FAULTS", m_savedFaults);
    }

    void setQuantity(int copies) { main->station().SetQuantityText(QString::number(copies)); }
    QStringList statusLines() const
    {
        QStringList lines;
        for (int i = 0; i < window->cboStatus->count(); ++i)
            lines << window->cboStatus->item(i)->text();
        return lines;
    }

    std::map<int, int> m_highest;

private:
    QByteArray m_savedFaults;
};

TEST_F(StandInRunTest, AJobOfThreeRunsUntilThreePassedWithItsFailureCountedAndShown)
{
    setQuantity(3);
    engine().ShowErrorMessages(true);
    window->cboStatus->clear();
    // Devices 2 to 4 are asked for; the failed one shows its box; the job
    // summary closes.
    for (int i = 0; i < 5; ++i)
        ui().Answer(vb::vbOK);
    window->btnAction_Click();

    EXPECT_EQ(window->lngNumPassed, 3);
    EXPECT_EQ(window->lngNumFailed, 1);
    EXPECT_EQ(window->lngNumFailedVerify, 1);
    EXPECT_EQ(statusLines(),
              (QStringList{"Site 1: Program started.", "Site 1: Program passed.", "Site 1: Program started.",
                           "Site 1: Program failed: Verify failure.", "Site 1: Program started.",
                           "Site 1: Program passed.", "Site 1: Program started.", "Site 1: Program passed."}));
    const QStringList boxes = ui().Shown();
    EXPECT_EQ(boxes.filter("\tInsert next device\t").size(), 3);
    EXPECT_EQ(boxes.filter("Failed to perform operation on device.\\r\\nVerify failure").size(), 1);

    // Every checked row's step ran to its end; the bars are cleared after.
    for (int row = 0; row < window->ProgressBar1.size(); ++row) {
        if (window->cboOperation[row]->isHidden()
            || frmProgram::CheckValue(window->Check1[row]) != CheckBoxValue::Ticked)
            continue;
        EXPECT_EQ(m_highest[row], 100) << "row " << row;
        EXPECT_EQ(window->ProgressBar1[row]->value(), 0) << "row " << row;
    }
    // The site box shows the last device's result; the station is free again.
    EXPECT_EQ(window->SiteBox.at(0)->SiteState(), SiteStatus::Passed);
    EXPECT_TRUE(window->btnAction->isEnabled());
    EXPECT_FALSE(window->pgmrData().blnInAction);
    EXPECT_FALSE(window->mbActionClicked);
}

TEST_F(StandInRunTest, StopDuringASlowDeviceEndsTheJobWithThatDeviceCountedOnce)
{
    // Slow steps, so that Stop is pressed while the first device runs; the
    // engine keeps the station alive (pumps) while it works.
    qputenv("TARVO_ENGINE_FAULTS", "delay=40");
    setQuantity(5);
    window->cboStatus->clear();
    for (int i = 0; i < 2; ++i)
        ui().Answer(vb::vbOK); // "Operation aborted", the job summary
    // Pressed at the first pump after the device has started.
    QObject::connect(window->cboStatus->model(), &QAbstractItemModel::rowsInserted, window, [this] {
        if (window->cboStatus->count() == 1)
            QTimer::singleShot(0, window, [this] { window->btnStop_Click(); });
    });
    window->btnAction_Click();

    EXPECT_TRUE(window->blnStopClicked);
    EXPECT_EQ(window->lngNumPassed, 0);
    EXPECT_EQ(window->lngNumFailed, 1);
    EXPECT_EQ(window->lngNumFailedOther, 1);
    EXPECT_EQ(ui().Shown().filter("\tOperation aborted\t").size(), 1) << ui().Shown().join('\n').toStdString();
    EXPECT_EQ(statusLines(), (QStringList{"Site 1: Program started.", "Site 1: Program aborted."}));
    EXPECT_TRUE(window->btnAction->isEnabled());
    EXPECT_FALSE(window->mbActionClicked);
}

} // namespace
