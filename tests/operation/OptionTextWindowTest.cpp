// Option choices by text on the operation window itself, over the simulated
// engine: an option set by text on another tab changes that tab's row, and
// the window goes on showing the operator's tab with that tab's own rows.
#include "StandInWindowFixture.h"

#include "operation/OptionSelections.h"

namespace {

class OptionTextWindowTest : public StandInWindowTest
{
protected:
    void SetUp() override
    {
        StandInWindowTest::SetUp();
        LoadAndShow();
        ASSERT_TRUE(window->SelectDevice(QStringLiteral("AM27C512")));
        ASSERT_GE(window->tabOperation->Count(), 2);
    }

    // The first row of the tab with a ticked or cleared box and an entry.
    int FirstOpenRow() const
    {
        for (int row = 0; row < window->cboOperation.size(); ++row) {
            const qint16 value = frmProgram::CheckValue(window->Check1[row]);
            if (!window->Check1[row]->isHidden() && window->cboOperation[row]->count() > 0 && value != 2)
                return row;
        }
        return -1;
    }
};

TEST_F(OptionTextWindowTest, AnOptionSetOnAnotherTabLeavesTheOperatorsTabShowingItsOwnRows)
{
    // The option: the selected entry of an open row of tab 2, ticked.
    Visit(2);
    const int row = FirstOpenRow();
    ASSERT_GE(row, 0);
    const QString option = window->cboOperation[row]->currentText();
    frmProgram::SetCheckValue(window->Check1[row], 1);
    const QString operation = OptionSelections::LettersOnly(window->tabOperation->Caption(2)).toLower();

    Visit(1);
    const QStringList shown = Rows();
    window->SetOperationOptionState(operation, option.toUpper(), 0);
    EXPECT_EQ(window->tabOperation->SelectedIndex(), 1);
    EXPECT_EQ(Rows(), shown);

    Visit(2);
    EXPECT_EQ(window->cboOperation[row]->currentText(), option);
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[row]), 0);
}

} // namespace
