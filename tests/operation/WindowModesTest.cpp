// The operation window's modes and enable states, tab selection, the job ID
// prompt, the run statistics, the widened drop-downs and the command-line
// data pattern.
#include "OperationFixture.h"

#include "operation/TabStrip.h"
#include "platform/AppInfo.h"
#include "settings/SettingsStore.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

class WindowModesTest : public OperationWindowTest
{
protected:
    void SetUp() override
    {
        OperationWindowTest::SetUp();
        LoadAndShow();
    }

    QList<QWidget*> EditingControls() const
    {
        return {window->DeviceButton, window->txtDevice, window->FileButton, window->txtFile, window->OptionsButton,
                window->txtOptions, window->lblDatPos, window->cboDatPos, window->lblBankNum, window->cboBankNum};
    }
};

TEST_F(WindowModesTest, OptionRowsFollowTheirSwitchButAGreyedStepStaysLocked)
{
    frmProgram::SetCheckValue(window->Check1[2], 2);
    frmProgram::SetCheckValue(window->Check1[1], 1);
    window->EnableOperationSettings(true);
    for (int row = 0; row < 17; ++row) {
        EXPECT_EQ(window->Check1[row]->isEnabled(), row != 2) << row;
        EXPECT_TRUE(window->cboOperation[row]->isEnabled()) << row;
    }
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[2]), 2);
    window->EnableOperationSettings(false);
    for (int row = 0; row < 17; ++row) {
        EXPECT_FALSE(window->Check1[row]->isEnabled()) << row;
        EXPECT_FALSE(window->cboOperation[row]->isEnabled()) << row;
    }
}

TEST_F(WindowModesTest, SupervisorModeGivesBackTheEditingControlsButNotTheOptionRows)
{
    window->SetOperatorModeControls();
    for (QWidget* w : EditingControls())
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (int row = 0; row < 17; ++row) {
        EXPECT_FALSE(window->Check1[row]->isEnabled()) << row;
        EXPECT_FALSE(window->cboOperation[row]->isEnabled()) << row;
    }

    window->SetSupervisorModeControls();
    for (QWidget* w : EditingControls())
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    for (int row = 0; row < 17; ++row)
        EXPECT_FALSE(window->cboOperation[row]->isEnabled()) << row;

    window->EnableOperationSettings(true);
    EXPECT_TRUE(window->cboOperation[0]->isEnabled());
}

TEST_F(WindowModesTest, OperationsLockAndUnlockTheRunButtons)
{
    window->EnableOperations(false);
    EXPECT_TRUE(data().blnInAction);
    for (QPushButton* b : {window->btnAction, window->btnStop, window->DeviceButton, window->FileButton,
                           window->OptionsButton})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    window->EnableOperations(true);
    EXPECT_FALSE(data().blnInAction);
    for (QPushButton* b : {window->btnAction, window->btnStop, window->DeviceButton, window->FileButton,
                           window->OptionsButton})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
}

TEST_F(WindowModesTest, SelectTabTakesOnlyATabThatExists)
{
    window->tabOperation->Add(1, QStringLiteral("PROGRA&M"), QStringLiteral("&Program"));
    window->tabOperation->Add(2, QStringLiteral("VERIF&Y"), QStringLiteral("&Verify"));
    window->tabOperation->Add(3, QStringLiteral("REA&D"), QStringLiteral("&Read"));
    window->intActionTabIndex[1] = 1;
    window->intActionTabIndex[2] = 2;
    window->intActionTabIndex[3] = 3;
    window->tabOperation->Select(1);
    for (const qint32 outside : {0, 4, -1}) {
        window->SelectTab(outside);
        EXPECT_EQ(window->tabOperation->SelectedIndex(), 1) << outside;
    }
    window->SelectTab(3);
    EXPECT_EQ(window->tabOperation->SelectedIndex(), 3);
    EXPECT_EQ(window->WhichAction(3), 3);
    EXPECT_EQ(window->WhichAction(5), 0);

    QString decorated = QStringLiteral("unchanged");
    window->DecoratedTabName(QStringLiteral("Verify"), decorated);
    EXPECT_EQ(decorated, "&Verify");
    // No such tab: an empty text, not the one passed in.
    window->DecoratedTabName(QStringLiteral("Erase"), decorated);
    EXPECT_EQ(decorated, "");
    window->DecoratedTabName(QStringLiteral("verify"), decorated);
    EXPECT_EQ(decorated, "");
}

TEST_F(WindowModesTest, JobIdIsAskedOnlyWhenSwitchedOn)
{
    data().strJobID = QStringLiteral("old");
    window->funcAskJobID(); // not set: no prompt
    EXPECT_EQ(data().strJobID, "");

    const QString app = appinfo::ApplicationTitle();
    SaveSettingValue(app, QStringLiteral("Application"), QStringLiteral("JobID_Enable"), QStringLiteral("0"));
    data().strJobID = QStringLiteral("old");
    window->funcAskJobID();
    EXPECT_EQ(data().strJobID, "");

    SaveSettingValue(app, QStringLiteral("Application"), QStringLiteral("JobID_Enable"), QStringLiteral("1"));
    ui().Answer(QStringLiteral("LOT-0042"));
    window->funcAskJobID();
    EXPECT_EQ(data().strJobID, "LOT-0042");
    ASSERT_FALSE(ui().Shown().isEmpty());
    EXPECT_TRUE(ui().Shown().last().startsWith("job ID\tEnter Job ID\t")) << ui().Shown().last().toStdString();
}

TEST_F(WindowModesTest, RunStatisticsShowTheFourCounts)
{
    window->UpdateJobRunStatistics(3, 0, -1, 12, 99, 0.5);
    EXPECT_EQ(window->m_sDevicesPassedValue->text(), " 3");
    EXPECT_EQ(window->m_sDevicesFailedValue->text(), " 0");
    EXPECT_EQ(window->m_sDevicesActiveValue->text(), "-1");
    EXPECT_EQ(window->m_sDevicesRemainingValue->text(), " 12");
}

TEST_F(WindowModesTest, DropDownsOpenWideEnoughForTheirEntries)
{
    QComboBox* narrow = window->cboOperation[0];
    narrow->addItem(QStringLiteral("A"));
    QComboBox* wide = window->cboOperation[1];
    const QString longest = QStringLiteral("Verify once with encryption at the nominal and the marginal voltages");
    wide->addItem(QStringLiteral("Blank Check"));
    wide->addItem(longest);
    window->SetOptionListDropWidths();
    // Narrow entries: 300 twips wider than the box.
    EXPECT_EQ(narrow->view()->minimumWidth(), (narrow->width() * 15 + 300) / 15);
    EXPECT_EQ(wide->view()->minimumWidth(), (wide->fontMetrics().horizontalAdvance(longest) * 15 + 300) / 15);
    // An empty list is left alone.
    EXPECT_EQ(window->cboOperation[2]->view()->minimumWidth(), 0);
}

TEST_F(WindowModesTest, NoCommandLineDataPatternLoadsNothingAndKeepsTheDeviceName)
{
    SetCmdLineDevice(QStringLiteral("AT29C040"));
    EXPECT_TRUE(window->LoadCmdLnDataPatternFile());
    EXPECT_EQ(GetCmdLineDevice(), "AT29C040");
    EXPECT_EQ(window->cboStatus->count(), 0);
}

TEST_F(WindowModesTest, ReloadStartsAgainWithoutADevice)
{
    data().blnDeviceSelected = true;
    window->bSpecialConcurrent = true;
    window->blnSaveActionOptions.assign(10, true);
    window->Reload();
    EXPECT_FALSE(data().blnDeviceSelected);
    EXPECT_FALSE(window->bSpecialConcurrent);
    for (bool flag : window->blnSaveActionOptions)
        EXPECT_FALSE(flag);
}

TEST_F(WindowModesTest, RefreshKeepsShownSiteBoxesShown)
{
    engine->Set(QXPgmrId::SiteCount, 3);
    window->ConcurrentOperationBegan();
    window->RefreshAll();
    for (const auto& box : window->SiteBox) {
        EXPECT_TRUE(box->Visible());
        EXPECT_FALSE(box->Control()->Widget()->isHidden());
    }
}

TEST_F(WindowModesTest, GetOperationSettingTakesTheEnginesRadix)
{
    engine->Set(QXPgmrId::DisplayRadix, 1);
    window->GetOperationSetting();
    EXPECT_EQ(data().udtRadix, 1);
    engine->Set(QXPgmrId::DisplayRadix, 0);
    window->GetOperationSetting();
    EXPECT_EQ(data().udtRadix, 0);
}

TEST_F(WindowModesTest, CustomActionOptionsCountOptionalAndRecommendedSteps)
{
    EXPECT_EQ(window->CountCustomActionOptions(QStringLiteral("Fuse Blow:REQ|Init:OPT|Blow:REC|Check:opt|Lower")), 2);
    EXPECT_EQ(window->CountCustomActionOptions(QStringLiteral("Check")), 0);
}

} // namespace
