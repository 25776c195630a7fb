// Selecting a device rebuilds the action tabs: the Device button through the
// engine's own window, the custom actions of the engine's list with their
// limits and messages, a faulty list that keeps its sound actions, the option
// frame that grows for custom actions, and the Options button.

#include "OperationFixture.h"
#include "StandInWindowFixture.h"

#include "device/frmDeviceConfigure.h"
#include "operation/ActionTabs.h"
#include "operation/CustomActions.h"

#include <QDialog>
#include <QListWidget>
#include <QTableView>

namespace {

QStringList StatusLines(const frmProgram* window)
{
    QStringList lines;
    for (int i = 0; i < window->cboStatus->count(); ++i)
        lines << window->cboStatus->item(i)->text();
    return lines;
}

// --- over the simulated engine ---

class DeviceTabsTest : public StandInWindowTest
{
protected:
    // The operator types into the engine's device window and takes the
    // first match (or cancels with an empty text).
    void ChooseInEngineWindow(const QString& search)
    {
        ui().OnModal([search](QDialog* dialog) {
            if (search.isEmpty()) {
                dialog->reject();
                return dialog->result();
            }
            auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("search"));
            EXPECT_NE(box, nullptr);
            if (box)
                box->setText(search);
            dialog->accept();
            return dialog->result();
        });
    }
};

TEST_F(DeviceTabsTest, TheDeviceButtonSelectsThroughTheEnginesWindowAndRebuildsTheWindow)
{
    LoadAndShow();
    data().strJobName = QStringLiteral("old job");
    ChooseInEngineWindow(QStringLiteral("4550"));
    window->DeviceButton->click();

    EXPECT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(data().strDeviceName, QStringLiteral("SL18F4550"));
    EXPECT_EQ(data().strDevicePackage, QStringLiteral("DIP40"));
    EXPECT_EQ(data().strJobName, QString());
    EXPECT_TRUE(window->txtDevice->text().startsWith(QStringLiteral("SL18F4550")));
    EXPECT_EQ(Tabs(), (QStringList{"&Program", "&Verify", "&Read", "&Blank", "T&est", "&Secure", "&Erase", "Calibrate"}));
    EXPECT_EQ(window->udtAction, 1);
    EXPECT_EQ(window->btnAction->text(), QStringLiteral("PROGRA&M"));
    EXPECT_EQ(Rows().size(), 5);
    EXPECT_TRUE(window->DeviceButton->isEnabled());

    // Cancelled: the device, the tabs and the rows stay.
    const QStringList rows = Rows();
    ChooseInEngineWindow(QString());
    window->DeviceButton->click();
    EXPECT_EQ(data().strDeviceName, QStringLiteral("SL18F4550"));
    EXPECT_EQ(Tabs().size(), 8);
    EXPECT_EQ(Rows(), rows);
    EXPECT_TRUE(window->DeviceButton->isEnabled());
}

TEST_F(DeviceTabsTest, SelectDeviceByNameOrByTheEnginesWindow)
{
    LoadAndShow();
    EXPECT_TRUE(window->SelectDevice(QStringLiteral("am27c512")));
    EXPECT_EQ(data().strDeviceName, QStringLiteral("AM27C512"));
    EXPECT_EQ(Tabs().size(), 4);

    // A name the engine does not know, and a cancelled choice: False, the
    // device and job stay, the tabs are rebuilt all the same.
    data().strJobName = QStringLiteral("job");
    EXPECT_FALSE(window->SelectDevice(QStringLiteral("NO-SUCH-PART")));
    ChooseInEngineWindow(QString());
    EXPECT_FALSE(window->SelectDevice(QString()));
    EXPECT_EQ(data().strJobName, QStringLiteral("job"));
    EXPECT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(Tabs().size(), 4);
    EXPECT_EQ(window->udtAction, 1);
}

// The operator on the Verify tab presses Device and cancels, or picks the
// same device again: the strip, the action, the Action button and the rows
// stay on Verify, and nothing of Verify is stored as Program's choices.
TEST_F(DeviceTabsTest, ChoosingNoOtherDeviceKeepsTheTabTheActionAndTheRowsInStep)
{
    LoadAndShow();
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("SL18F4550")));
    const int programTab = window->intActionTabIndex[size_t(ActionTabs::kProgram)];
    const int verifyTab = window->intActionTabIndex[size_t(ActionTabs::kVerify)];
    ASSERT_GT(verifyTab, 0);
    const QStringList programRows = Rows();
    const auto programStore = [&] {
        QStringList stored;
        for (int row = 0; row < 5; ++row)
            stored << QStringLiteral("%1|%2|%3")
                          .arg(data().strUserListboxText(programTab, row))
                          .arg(data().intUserCheckbox(programTab, row))
                          .arg(data().intUserListboxIndex(programTab, row));
        return stored;
    };
    Visit(verifyTab);
    const QStringList verifyRows = Rows();
    ASSERT_NE(verifyRows, programRows);
    const QStringList storedForProgram = programStore();

    for (const QString& choice : {QString(), QStringLiteral("SL18F4550")}) {
        ChooseInEngineWindow(choice);
        window->DeviceButton->click();
        EXPECT_EQ(window->tabOperation->SelectedIndex(), verifyTab) << choice.toStdString();
        EXPECT_EQ(window->udtAction, ActionTabs::kVerify);
        EXPECT_EQ(window->btnAction->text(), QStringLiteral("VERIF&Y"));
        EXPECT_EQ(Rows(), verifyRows);
    }

    // Back on Program: its stored choices and its rows are the operator's.
    Visit(programTab);
    EXPECT_EQ(programStore(), storedForProgram);
    EXPECT_EQ(Rows(), programRows);
    EXPECT_EQ(window->btnAction->text(), QStringLiteral("PROGRA&M"));
}

TEST_F(DeviceTabsTest, ToolTipsNameTheActionOfEachStandardTab)
{
    LoadAndShow();
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("AM27C512")));
    const QStringList expected = {"Selects the PROGRAM DEVICE option", "Selects the VERIFY DEVICE option",
                                  "Selects the READ DEVICE option", "Selects the BLANK CHECK DEVICE option"};
    for (int tab = 1; tab <= 4; ++tab)
        EXPECT_EQ(window->tabOperation->ToolTip(tab), expected.at(tab - 1)) << tab;
}

TEST_F(DeviceTabsTest, ACustomActionWithMoreOptionsThanRowsIsOfferedButCannotRun)
{
    LoadAndShow();
    ui().Answer(vb::vbOK);
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("KS85T-FT")));
    const QString message = ActionTabs::TooManyOptionsText(17, QStringLiteral("Factory Trim"));
    EXPECT_EQ(message, QStringLiteral("The maximum number of options(max options=17) allowed has been exceeded by "
                                      "Factory Trim.\r\nThis action will not be available."));
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown().first().contains(QStringLiteral("exceeded by Factory Trim.\\r\\nThis action")));
    EXPECT_TRUE(StatusLines(window).contains(message));
    EXPECT_EQ(Tabs(), (QStringList{"&Program", "&Verify", "&Read", "Factory Trim"}));
    // Nothing grew for it.
    EXPECT_EQ(window->TwipsGeometry(window->fraOptions).height(), 4 * 360 + 330);

    Visit(4);
    EXPECT_EQ(Rows(), QStringList{QStringLiteral("0 [1 off] *Invalid Action=45")});
    EXPECT_TRUE(StatusLines(window).contains(QStringLiteral("Error processing procedures for action Factory Trim")));
    EXPECT_FALSE(window->btnAction->isEnabled());
    EXPECT_FALSE(window->btnStop->isEnabled());
}

TEST_F(DeviceTabsTest, TheOptionsButtonNeedsADevice)
{
    LoadAndShow();
    ui().Answer(vb::vbOK);
    window->OptionsButton_Click();
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown().first().contains(QStringLiteral("Please choose a device before selecting to modify it!")));

    ASSERT_TRUE(window->SelectDevice(QStringLiteral("AM27C512")));
    bool shown = false;
    ui().OnModal([&](QDialog* dialog) {
        shown = qobject_cast<frmDeviceConfigure*>(dialog) != nullptr && dialog->parentWidget() == main;
        return int(QDialog::Accepted);
    });
    window->OptionsButton_Click();
    EXPECT_TRUE(shown);
    // The window only: no second message.
    EXPECT_EQ(ui().Shown().filter(QStringLiteral("Please choose a device")).size(), 1);
}

// --- over an engine of the test's own ---

class CustomActionTabsTest : public PartDeviceTest
{
protected:
    void Offer(const QString& list)
    {
        engine->Set(QXPgmrId::CustomActionList, list);
        window->SetSelectedDevice();
        window->DisableCheckboxesAsNecessary();
    }

    QStringList Captions() const
    {
        QStringList captions;
        for (int i = 1; i <= window->tabOperation->Count(); ++i)
            captions << window->tabOperation->Caption(i);
        return captions;
    }

    static QString Options(int count)
    {
        QString procedures;
        for (int i = 0; i < count; ++i)
            procedures += QStringLiteral(":OPT|step %1").arg(i);
        return procedures;
    }

    qint32 OptionsFrameHeight() const { return window->TwipsGeometry(window->fraOptions).height(); }
};

TEST_F(CustomActionTabsTest, CustomActionsGetTabsAndActionNumbersInTheEnginesOrder)
{
    Offer(QStringLiteral("@Fuse Blow:OPT|Blow A|Blow B:REQ|Check Fuses@Check:REC|Read Signature"));
    EXPECT_EQ(Captions(), (QStringList{"&Program", "Fuse Blow", "Check"}));
    EXPECT_EQ(window->lngNumberOfActions, 10);
    EXPECT_EQ(window->intActionTabIndex[8], 2);
    EXPECT_EQ(window->intActionTabIndex[9], 3);
    EXPECT_EQ(window->WhichAction(3), 9);
    // The per-tab store covers the new tabs: three tabs, a total of four.
    EXPECT_EQ(data().GetTotalNumberOfTabs(), 4);
}

TEST_F(CustomActionTabsTest, AFaultyEntryIsLeftOutWithAStatusLineAndTheOthersStay)
{
    Offer(QStringLiteral(
        "@Fuse Blow:OPT|A|B:REQ|C@@:REQ|x@Check:REC|y@Fuse Blow:OPT|z@ :OPT|q@PROGRA&M:OPT|p@Lock Bits:REQ|w@"));
    EXPECT_EQ(Captions(), (QStringList{"&Program", "Fuse Blow", "Check", "Lock Bits"}));
    EXPECT_EQ(window->lngNumberOfActions, 11);
    const QStringList lines = StatusLines(window);
    EXPECT_TRUE(lines.contains(
        QStringLiteral("Custom action 2 of the device's list is empty (\"@@\" or a trailing \"@\"); it was skipped.")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Custom action 3 of the device's list has no name; it was skipped.")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("The custom action \"Fuse Blow\" is listed more than once; only the first one is available.")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Custom action 6 of the device's list has no name; it was skipped.")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("The custom action \"PROGRA&M\" has the name of another tab; it is not available.")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("Custom action 9 of the device's list is empty (\"@@\" or a trailing \"@\"); it was skipped.")));

    // The first of the two "Fuse Blow" is the one its tab offers.
    window->SelectTab(2);
    EXPECT_EQ(window->cboOperation[0]->count(), 2);
    EXPECT_EQ(window->cboOperation[0]->itemText(1), QStringLiteral("B"));
    EXPECT_EQ(window->blnProcRequired, (QList<bool>{false, true, false}));
}

TEST_F(CustomActionTabsTest, BeyondTheMostTabsTheRestIsDroppedWithTheMessage)
{
    QString list;
    for (int i = 0; i < ActionTabs::kMaxTabs + 10; ++i)
        list += QStringLiteral("@Action %1:REQ|x").arg(i);
    ui().Answer(vb::vbOK);
    Offer(list);
    const QString message = QStringLiteral("Error # 6\r\nThe maximum number of actions supported by this system has "
                                           "been exceeded.\r\nExcess actions will not be available.");
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown().first().contains(QStringLiteral("Error # 6\\r\\nThe maximum number of actions")));
    const QStringList lines = StatusLines(window);
    EXPECT_TRUE(lines.contains(message));
    EXPECT_TRUE(lines.contains(QStringLiteral("Total Actions loaded = 1023")));
    EXPECT_EQ(window->tabOperation->Count(), ActionTabs::kMaxTabs);
    EXPECT_EQ(window->lngNumberOfActions, 8 + ActionTabs::kMaxTabs - 1);
    EXPECT_EQ(data().GetTotalNumberOfTabs(), ActionTabs::kMaxTabs + 1);
}

TEST_F(CustomActionTabsTest, TheOptionFrameGrowsForTheLargestCustomActionThatFits)
{
    const qint32 designed = OptionsFrameHeight();
    const int windowHeight = window->height();
    ASSERT_EQ(designed, 4 * 360 + 330);

    // 17 rows (the most), next to one of 18 that does not fit.
    ui().Answer(vb::vbOK);
    Offer(QStringLiteral("@Trim") + Options(17) + QStringLiteral("@Too Big") + Options(18));
    EXPECT_EQ(OptionsFrameHeight(), designed + 12 * 360);
    EXPECT_EQ(window->height(), windowHeight + 12 * 360 / 15);
    window->SelectTab(2);
    EXPECT_EQ(window->cboOperation[16]->itemText(0), QStringLiteral("step 16"));
    EXPECT_FALSE(window->cboOperation[16]->isHidden());

    // No custom action needs a row: the frame stays as it is.
    Offer(QStringLiteral("@Lock:REQ|w"));
    EXPECT_EQ(OptionsFrameHeight(), designed + 12 * 360);
    // Five rows or fewer: the designed size again.
    Offer(QStringLiteral("@Trim") + Options(3));
    EXPECT_EQ(OptionsFrameHeight(), designed);
    EXPECT_EQ(window->height(), windowHeight);
}

} // namespace

namespace {

// Option rows beyond the designed five make the window need more room: its
// minimum size says how much, so that a main window can keep Action and Stop
// reachable. At that size the buttons lie inside the option frame, above the
// status list.
TEST_F(CustomActionTabsTest, TheMinimumSizeKeepsActionAndStopInsideTheWindow)
{
    const QSize designed = window->minimumSize();
    EXPECT_EQ(designed, QSize(frmProgram::kMinimumWidth / 15, frmProgram::kMinimumHeight / 15));

    for (int rows : {8, 9, 17, 3}) {
        Offer(QStringLiteral("@Trim") + Options(rows));
        window->resize(window->minimumSize());
        window->Form_Resize();
        const QRect frame = window->TwipsGeometry(window->fraOperation);
        const QRect buttons = window->TwipsGeometry(window->fraButtons);
        EXPECT_LE(buttons.top() + buttons.height(), frame.height()) << rows;
        EXPECT_LE(frame.top() + frame.height(), window->TwipsGeometry(window->cboStatus).top()) << rows;
        // In pixels too: the Stop button ends inside the window.
        const QRect stop(window->btnStop->mapTo(window, QPoint(0, 0)), window->btnStop->size());
        EXPECT_LE(stop.bottom(), window->cboStatus->geometry().top()) << rows;
        EXPECT_EQ(window->minimumSize().height() > designed.height(), rows > 5) << rows;
    }
    EXPECT_EQ(window->minimumSize(), designed);
}

// An entry longer than any window can show still counts as too many
// options: the count stops at the largest Integer instead of wrapping.
TEST(CustomActionCountTest, TheOptionCountDoesNotWrap)
{
    QString entry = QStringLiteral("Huge");
    for (int i = 0; i < 32768 + 5; ++i)
        entry += QStringLiteral(":OPT|s");
    EXPECT_EQ(CustomActions::CountOptions(entry), 32767);
}

} // namespace
