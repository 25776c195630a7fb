// The option rows of a custom action's tab: one row per optional or
// recommended procedure with its alternatives, the required ones remembered
// for the run, and the starting check boxes until the operator has chosen.

#include "OperationFixture.h"

#include "operation/CustomActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace {

class CustomActionRowsTest : public PartDeviceTest
{
protected:
    // Offers one custom action of that text (name and procedures) and shows
    // its tab, the second.
    void Show(const QString& action)
    {
        engine->Set(QXPgmrId::CustomActionList, QStringLiteral("@") + action + QStringLiteral("@Other:REQ|z"));
        window->SetSelectedDevice();
        window->DisableCheckboxesAsNecessary();
        window->SelectTab(2);
    }

    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < 17; ++row) {
            const QComboBox* combo = window->cboOperation[row];
            if (combo->isHidden())
                continue;
            QStringList entries;
            for (int j = 0; j < combo->count(); ++j)
                entries << combo->itemText(j) + QLatin1Char('=') + QString::number(combo->itemData(j).toInt());
            rows << QStringLiteral("%1 [%2%3] %4")
                        .arg(row)
                        .arg(frmProgram::CheckValue(window->Check1[row]))
                        .arg(window->Check1[row]->isEnabled() ? "" : " off")
                        .arg(entries.join(QLatin1Char('|')));
        }
        return rows;
    }
};

TEST_F(CustomActionRowsTest, OptionalAndRecommendedProceduresBecomeRowsRequiredOnesDoNot)
{
    Show(QStringLiteral("Fuse Blow:REQ|Read Fuses:OPT|Blow A|Blow B:REC|Verify Fuses"));
    EXPECT_EQ(window->btnAction->text(), QStringLiteral("EXECUTE"));
    EXPECT_EQ(Rows(), (QStringList{"0 [0] Blow A=1025|Blow B=1025", "1 [1] Verify Fuses=1025"}));
    EXPECT_EQ(window->blnProcRequired, (QList<bool>{true, false, false, false}));
    // Only the first row shows progress.
    EXPECT_FALSE(window->ProgressBar1[0]->isHidden());
    EXPECT_TRUE(window->ProgressBar1[1]->isHidden());

    // Once the operator has chosen, a rebuild keeps the choice.
    window->Check1[0]->click();
    window->cboOperation[0]->setCurrentIndex(1);
    window->SelectTab(1);
    window->SelectTab(2);
    EXPECT_EQ(Rows(), (QStringList{"0 [1] Blow A=1025|Blow B=1025", "1 [1] Verify Fuses=1025"}));
    EXPECT_EQ(window->cboOperation[0]->currentIndex(), 1);
}

TEST_F(CustomActionRowsTest, AnActionWithoutOptionalProceduresShowsOneLockedRow)
{
    Show(QStringLiteral("Lock Bits:REQ|Write Lock:REQ|Verify Lock"));
    EXPECT_EQ(Rows(), QStringList{"0 [2 off] No Optional Procs=0"});
    EXPECT_EQ(window->blnProcRequired, (QList<bool>{true, true, false}));

    // No procedures at all: nothing of the previous action is left to send.
    Show(QStringLiteral("Empty"));
    EXPECT_EQ(Rows(), QStringList{"0 [2 off] No Optional Procs=0"});
    EXPECT_EQ(window->blnProcRequired, QList<bool>{false});
}

TEST_F(CustomActionRowsTest, AProcedureOfAnotherKindBeyondTheLastRowStopsTheBuild)
{
    QString action = QStringLiteral("Trim");
    for (int i = 0; i < 17; ++i)
        action += QStringLiteral(":OPT|step %1").arg(i);
    action += QStringLiteral(":XYZ|extra");
    ui().Answer(vb::vbOK);
    Show(action);
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown().first().startsWith(QStringLiteral("Error\tError loading Dynamic Action: Trim")));
    EXPECT_EQ(Rows().size(), 17);
    bool statusLine = false;
    for (int i = 0; i < window->cboStatus->count(); ++i)
        statusLine |= window->cboStatus->item(i)->text() == QStringLiteral("Error loading Dynamic Action: Trim");
    EXPECT_TRUE(statusLine);
}

TEST(CustomActionsListTest, TextBeforeTheFirstActionIsReportedAndProceduresAreFoundByWholeName)
{
    const CustomActions::Parsed parsed = CustomActions::Parse(QStringLiteral("junk@A:OPT|x@B"));
    ASSERT_EQ(parsed.actions.size(), 2);
    EXPECT_EQ(parsed.actions.at(1).name, QStringLiteral("B"));
    ASSERT_EQ(parsed.faults.size(), 1);
    EXPECT_TRUE(parsed.faults.first().contains(QStringLiteral("\"junk\"")));

    // "B" is also the end of A's procedures: only the action named B counts.
    const QString list = QStringLiteral("@A:OPT|x|B:REQ|y@B:REC|z");
    EXPECT_EQ(CustomActions::ProceduresOf(list, QStringLiteral("B")), QStringLiteral("REC|z"));
    EXPECT_EQ(CustomActions::ProceduresOf(list, QStringLiteral("A")), QStringLiteral("OPT|x|B:REQ|y"));
    EXPECT_EQ(CustomActions::ProceduresOf(list, QStringLiteral("C")), QString());
    // Counted as the window counts its rows: the letters as written.
    EXPECT_EQ(CustomActions::CountOptions(QStringLiteral("A:REQ|a:OPT|b:REC|c:opt|d")), 2);
}

} // namespace
