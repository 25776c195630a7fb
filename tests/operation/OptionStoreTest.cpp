// The operator's choices in the option rows are kept per tab: they survive a
// visit to another tab, a change to another device with the same tabs and a
// restart; a list never starts on an entry nobody chose.

#include "OperationFixture.h"
#include "StandInWindowFixture.h"

#include "operation/OptionStore.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFocusEvent>

namespace {

class OptionChoicesTest : public StandInWindowTest
{
protected:
    // The operator's choices on NV29F040: Program row 1 "Erase & Blank
    // Check" and its verify step off; Verify row 0 "ID Check"; Secure row 4
    // the second variant.
    void MakeChoices()
    {
        ASSERT_TRUE(window->SelectDevice(QStringLiteral("NV29F040")));
        Pick(1, QStringLiteral("Erase & Blank Check"));
        window->Check1[3]->click();
        Visit(2);
        Pick(0, QStringLiteral("ID Check"));
        Visit(5);
        Pick(4, QStringLiteral("Secure(Chip Protect)"));
        Visit(1);
    }

    QString Selected(int row) const { return window->cboOperation[row]->currentText(); }
    qint16 Check(int row) const { return frmProgram::CheckValue(window->Check1[row]); }
};

TEST_F(OptionChoicesTest, ChoicesSurviveAVisitToAnotherTab)
{
    LoadAndShow();
    MakeChoices();
    EXPECT_EQ(Selected(1), QStringLiteral("Erase & Blank Check"));
    EXPECT_EQ(Check(3), 0);
    EXPECT_EQ(Check(1), 1);
    Visit(2);
    EXPECT_EQ(Selected(0), QStringLiteral("ID Check"));
    EXPECT_EQ(Selected(3), QStringLiteral("Verify Once"));
    Visit(5);
    EXPECT_EQ(Selected(4), QStringLiteral("Secure(Chip Protect)"));
}

TEST_F(OptionChoicesTest, ChoicesSurviveADeviceWithTheSameTabsWhereItOffersThem)
{
    LoadAndShow();
    MakeChoices();
    // KS25Q128 has the same tabs; its checks list has "Continuity" first,
    // and other secure variants.
    ui().OnModal([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("search"))->setText(QStringLiteral("KS25Q128"));
        dialog->accept();
        return dialog->result();
    });
    window->DeviceButton->click();
    ASSERT_EQ(data().strDeviceName, QStringLiteral("KS25Q128"));
    EXPECT_EQ(Selected(1), QStringLiteral("Erase & Blank Check"));
    EXPECT_EQ(Check(3), 0);
    Visit(2);
    EXPECT_EQ(Selected(0), QStringLiteral("ID Check"));
    // A choice the new device does not offer gives way to the default.
    Visit(5);
    EXPECT_EQ(Selected(4), QStringLiteral("Secure(Status Lock)"));

    // Back to the first device: what was kept comes back, by its text.
    Visit(1);
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("NV29F040")));
    EXPECT_EQ(Selected(1), QStringLiteral("Erase & Blank Check"));
    Visit(2);
    EXPECT_EQ(Selected(0), QStringLiteral("ID Check"));
}

TEST_F(OptionChoicesTest, ChoicesSurviveARestart)
{
    LoadAndShow();
    MakeChoices();
    Restart();
    ASSERT_EQ(data().strDeviceName, QStringLiteral("NV29F040"));
    ASSERT_EQ(Tabs().size(), 6);
    EXPECT_EQ(Selected(1), QStringLiteral("Erase & Blank Check"));
    EXPECT_EQ(Check(3), 0);
    EXPECT_EQ(Check(1), 1);
    Visit(2);
    EXPECT_EQ(Selected(0), QStringLiteral("ID Check"));
    Visit(5);
    EXPECT_EQ(Selected(4), QStringLiteral("Secure(Chip Protect)"));
}

TEST_F(OptionChoicesTest, ACheckBoxFollowsItsActionToAnotherTab)
{
    LoadAndShow();
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("NV29F040")));
    Visit(5); // Secure is the fifth tab here
    window->Check1[0]->click();
    ASSERT_EQ(Check(0), 0);
    Visit(1);
    // KX2103-SEC has no Read or Blank tab: Secure is its fourth.
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("KX2103-SEC")));
    ASSERT_EQ(window->tabOperation->Caption(4), QStringLiteral("&Secure"));
    Visit(4);
    EXPECT_EQ(Check(0), 0);
    Visit(2);
    EXPECT_EQ(Check(0), 1);
}

TEST_F(OptionChoicesTest, RefreshGuiSecureSetsTheSecuringRowFromTheEngine)
{
    LoadAndShow();
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("NV29F040")));
    ASSERT_EQ(Check(4), 1);
    engine().SecureMode(false);
    window->RefreshGuiSecure();
    EXPECT_EQ(Check(4), 0);
    EXPECT_EQ(data().intUserCheckbox(1, 4), 0); // stored at once
    engine().SecureMode(true);
    window->RefreshGuiSecure();
    EXPECT_EQ(Check(4), 1);

    // A Vexal device keeps its rows as they are.
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("VX-SEC32")));
    engine().SecureMode(false);
    window->RefreshGuiSecure();
    EXPECT_EQ(Check(4), 1);
}

// --- the store's rules, over an engine of the test's own ---

class OptionStoreRulesTest : public OperationWindowTest
{
protected:
    void SetUp() override
    {
        OperationWindowTest::SetUp();
        engine->Set(QXPgmrId::DeviceName, "PART");
        engine->Set(QXPgmrId::DeviceSupportsProgram, true);
        engine->Set(QXPgmrId::VerifySupport, qint16(1));
        engine->Set(QXPgmrId::DeviceSupportsVerifyTwice, true);
        engine->Set(QXPgmrId::DeviceSupportsTestVectors, true);
        LoadAndShow();
        data().blnDeviceSelected = true;
        window->SetSelectedDevice();
        window->DisableCheckboxesAsNecessary();
    }

    void Rebuild()
    {
        window->udtAction = 0;
        window->DisableCheckboxesAsNecessary();
    }
};

TEST_F(OptionStoreRulesTest, StoredValuesOutsideTheListsComeBackAsTheRulesSay)
{
    // Row 3 offers six verify entries.
    ASSERT_EQ(window->cboOperation[3]->count(), 6);
    struct Case
    {
        qint16 storedIndex;
        qint16 storedCheck;
        int selected;
        qint16 check;
    };
    const Case cases[] = {
        {5, 0, 5, 0},
        {12, 1, 5, 1}, // beyond the list: the last entry
        {-1, 7, 0, 1}, // nothing chosen: the first entry; a check value beyond 2: ticked
        {-3, 2, 0, 1}, // greyed, on a row no rule forces: ticked
    };
    for (const Case& c : cases) {
        data().intUserListboxIndex(1, 3, c.storedIndex);
        data().intUserCheckbox(1, 3, c.storedCheck);
        Rebuild();
        EXPECT_EQ(window->cboOperation[3]->currentIndex(), c.selected) << c.storedIndex;
        EXPECT_EQ(frmProgram::CheckValue(window->Check1[3]), c.check) << c.storedIndex;
    }
}

TEST_F(OptionStoreRulesTest, SavingARowWithoutSelectionStoresNone)
{
    window->cboOperation[3]->setCurrentIndex(-1);
    frmProgram::SetCheckValue(window->Check1[3], 0);
    window->SaveCheckboxValue(1, 3);
    EXPECT_EQ(data().intUserListboxIndex(1, 3), -1);
    EXPECT_EQ(data().strUserListboxText(1, 3), QString());
    EXPECT_EQ(data().intUserCheckbox(1, 3), 0);

    // Row 4 of a Vexal device with nothing chosen yet stores its first entry.
    engine->Set(QXPgmrId::DeviceIsVexal, true);
    data().intUserListboxIndex(1, 4, -1);
    window->cboOperation[4]->setCurrentIndex(-1);
    window->SaveCheckboxValue(1, 4);
    EXPECT_EQ(data().intUserListboxIndex(1, 4), 0);
}

TEST_F(OptionStoreRulesTest, AnEmptyPositionOrBankListWritesNothingOnFocusOut)
{
    engine->Set(QXPgmrId::CurrentBank, 3);
    engine->Set(QXPgmrId::CurrentDataPosition, 1);
    data().lngBankSingle = 3;
    data().lngPosSingle = 1;
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(window->cboBankNum, &out);
    QCoreApplication::sendEvent(window->cboDatPos, &out);
    EXPECT_EQ(engine->Value(QXPgmrId::CurrentBank).toInt(), 3);
    EXPECT_EQ(engine->Value(QXPgmrId::CurrentDataPosition).toInt(), 1);
    EXPECT_EQ(data().lngBankSingle, 3);

    for (const char* item : {"1", "2", "3", "4"}) {
        window->cboBankNum->addItem(QLatin1String(item));
        window->cboDatPos->addItem(QLatin1String(item));
    }
    window->cboBankNum->setCurrentIndex(2);
    window->cboDatPos->setCurrentIndex(0);
    QCoreApplication::sendEvent(window->cboBankNum, &out);
    QCoreApplication::sendEvent(window->cboDatPos, &out);
    EXPECT_EQ(data().lngBankSingle, 2);
    EXPECT_EQ(engine->Value(QXPgmrId::CurrentBank).toInt(), 2);
    EXPECT_EQ(data().lngPosSingle, 0);
    EXPECT_EQ(engine->Value(QXPgmrId::CurrentDataPosition).toInt(), 0);
}

TEST_F(OptionStoreRulesTest, TheOperatorCannotGreyACheckBox)
{
    QCheckBox* check = window->Check1[3];
    frmProgram::SetCheckValue(check, 2);
    frmProgram::SetCheckValue(check, 0);
    check->setEnabled(true);
    check->click();
    EXPECT_EQ(frmProgram::CheckValue(check), 1);
    check->click();
    EXPECT_EQ(frmProgram::CheckValue(check), 0);
}

TEST_F(OptionStoreRulesTest, InOperatorModeNoOptionCanBeChanged)
{
    data().bStartInOperatorMode = true;
    Rebuild();
    for (int row = 0; row < 17; ++row) {
        EXPECT_FALSE(window->cboOperation[row]->isEnabled()) << row;
        EXPECT_FALSE(window->Check1[row]->isEnabled()) << row;
    }
}

} // namespace
