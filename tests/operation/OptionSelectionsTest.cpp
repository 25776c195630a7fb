// Option choices by text over a window of the test's own: tabs whose rows
// keep their lists and choices while other tabs are visited, as the
// operation window's rows do.
#include "TestEnv.h"

#include "engine/EngineCodes.h"
#include "operation/ActionTabs.h"
#include "operation/OptionSelections.h"

#include <gtest/gtest.h>

namespace {

struct Row
{
    QStringList entries;
    int selected = -1;
    qint16 check = 0;
    bool visible = true;
    bool enabled = true;
    QList<qint32> codes = {};
};

struct Tab
{
    QString caption;
    qint32 action;
    QList<Row> rows;
};

class FakeWindow : public OptionSelections::Host
{
public:
    int TabCount() const override { return int(tabs.size()); }
    int SelectedTab() const override { return selected; }
    QString TabCaption(int tab) const override { return tabs[tab - 1].caption; }
    qint32 TabAction(int tab) const override { return tab >= 1 && tab <= TabCount() ? tabs[tab - 1].action : 0; }
    void VisitTab(int tab) override
    {
        visits << tab;
        selected = tab;
    }
    QStringList Entries(int row) const override { return R(row) ? R(row)->entries : QStringList(); }
    int Selected(int row) const override { return R(row) ? R(row)->selected : -1; }
    void Select(int row, int entry) override { R(row)->selected = entry; }
    qint32 SelectedCode(int row) const override { return R(row)->codes.value(R(row)->selected); }
    bool ListVisible(int row) const override { return R(row) && R(row)->visible && !R(row)->entries.isEmpty(); }
    bool CheckVisible(int row) const override { return ListVisible(row); }
    qint16 CheckValue(int row) const override { return R(row) ? R(row)->check : qint16(0); }
    void SetCheckValue(int row, qint16 value) override { R(row)->check = value; }
    void EnableRow(int row, bool enable) override { R(row)->enabled = enable; }
    QString DeviceName() override { return QStringLiteral("AM27C512"); }
    void Warn(const QString& text) override { warnings << text; }

    Row* R(int row) const
    {
        if (selected < 1 || selected > TabCount())
            return nullptr;
        auto& rows = const_cast<QList<Row>&>(tabs[selected - 1].rows);
        return row >= 0 && row < rows.size() ? &rows[row] : nullptr;
    }
    Row& At(int tab, int row) { return tabs[tab - 1].rows[row]; }

    QList<Tab> tabs;
    int selected = 1;
    QList<int> visits;
    QStringList warnings;
};

class OptionSelectionsTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        Reset();
    }

    // Three tabs; the test tab's row 0 is empty.
    void Reset()
    {
        auto owned = std::make_unique<FakeWindow>();
        window = owned.get();
        window->tabs = {
            {"&Program", ActionTabs::kProgram, {{{"Erase", "Program"}, 1, 1}, {{"Blank check"}, 0, 0}}},
            {"&Verify", ActionTabs::kVerify, {{{"Verify"}, 0, 1}, {{"Normal", "Fast"}, 1, 1}}},
            {"&Test", ActionTabs::kTest, {{{}, -1, 0}, {{"Program", "Fast"}, 0, 1}}},
        };
        selections = std::make_unique<OptionSelections>(std::move(owned));
    }

    FakeWindow* window = nullptr;
    std::unique_ptr<OptionSelections> selections;
};

const QString kWarning = "Some of the device options selected for device\"AM27C512\" are not supported on this "
                         "programmer model. Please review the option settings for this device before performing "
                         "any operations.";

TEST_F(OptionSelectionsTest, ChoicesFollowTheirTextsAcrossAModelChangeAndAGoneOneWarnsOnce)
{
    window->selected = 2;
    selections->SaveCurrentComboBoxStrings();
    EXPECT_EQ(window->selected, 2);

    // The new model's lists: entries moved; on the program tab "Program"
    // and "Blank check" are gone.
    window->At(1, 0) = {{"Program+", "Erase"}, 0, 1};
    window->At(1, 1) = {{"Blank"}, 0, 0};
    window->At(2, 1) = {{"Slow", "Normal", "Fast"}, 0, 1};
    selections->CheckNewComboBoxStringsAgainstOld();

    EXPECT_EQ(window->warnings, QStringList{kWarning});
    EXPECT_EQ(window->At(1, 0).selected, 0); // gone: entry 0
    EXPECT_EQ(window->At(1, 1).selected, 0);
    EXPECT_EQ(window->At(2, 1).selected, 2); // "Fast" again, at its new place
    EXPECT_EQ(window->selected, 2);

    // Everything still there: no message.
    window->warnings.clear();
    selections->SaveCurrentComboBoxStrings();
    window->At(2, 1) = {{"Normal", "Fast"}, 0, 1};
    selections->CheckNewComboBoxStringsAgainstOld();
    EXPECT_TRUE(window->warnings.isEmpty());
    EXPECT_EQ(window->At(2, 1).selected, 1);
}

TEST_F(OptionSelectionsTest, SavedTextsBelongToTheTabsActionWhenTheTabsAreRebuilt)
{
    selections->SaveCurrentComboBoxStrings();
    // The new model has no program tab: the verify tab is tab 1 now, and a
    // read tab comes that was not there.
    window->tabs.removeFirst();
    window->tabs.append({"&Read", ActionTabs::kRead, {{{"Read"}, 0, 1}}});
    window->At(1, 1) = {{"Normal", "Fast"}, 0, 1};
    window->selected = 1;
    selections->CheckNewComboBoxStringsAgainstOld();
    EXPECT_TRUE(window->warnings.isEmpty());
    EXPECT_EQ(window->At(1, 1).selected, 1);
}

TEST_F(OptionSelectionsTest, SetOperationSelectionTakesOnlyAnExactText)
{
    window->selected = 2;
    for (const auto& [text, selected] : {std::pair{"fast", 1}, std::pair{"Missing", 1}, std::pair{"Normal", 0}}) {
        selections->SetOperationSelection(1, QString::fromLatin1(text));
        EXPECT_EQ(window->At(2, 1).selected, selected) << text;
    }
    selections->SetOperationSelection(17, "Normal"); // no such row: nothing
}

TEST_F(OptionSelectionsTest, SetOperationOptionStateActsOnTheOperationsOwnTabOnly)
{
    const struct
    {
        const char* name;
        const char* operation;
        const char* option;
        qint16 state;
        int tab, row, selected;
        qint16 check;
    } cases[] = {
        {"letters only, any case", "program", "blank CHECK", 1, 1, 1, 0, 1},
        {"the entry is selected and ticked off", "PROGRAM", "program", 0, 1, 0, 1, 0},
        // "Program" is on the test tab too; the test tab's own match wins.
        {"a later tab's own option", "Test", "PROGRAM", 0, 3, 1, 0, 0},
        // Found only on a later tab (the test tab): nothing changes there.
        {"found on a later tab", "verify", "Program", 0, 3, 1, 1, 1},
        {"no such tab", "Erase", "Erase", 0, 1, 0, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        window->At(3, 1).selected = 1;
        window->selected = 2;
        selections->SetOperationOptionState(c.operation, c.option, c.state);
        EXPECT_EQ(window->At(c.tab, c.row).selected, c.selected);
        EXPECT_EQ(window->At(c.tab, c.row).check, c.check);
        // The operator's tab is shown again, by a visit that shows its rows.
        EXPECT_EQ(window->selected, 2);
        if (!window->visits.isEmpty()) {
            EXPECT_EQ(window->visits.last(), 2);
        }
    }
}

TEST_F(OptionSelectionsTest, AGreyedBoxIsNotChangedAndAnEmptyFirstRowIsNoRefusal)
{
    window->At(3, 1).check = CheckBoxValue::Forced;
    selections->SetOperationOptionState("Test", "Fast", 0);
    EXPECT_EQ(window->At(3, 1).selected, 1);
    EXPECT_EQ(window->At(3, 1).check, CheckBoxValue::Forced);
    window->At(3, 1).check = 0;
    selections->SetOperationOptionState("Test", "Program", 1);
    EXPECT_EQ(window->At(3, 1).selected, 0);
    EXPECT_EQ(window->At(3, 1).check, 1);
}

// While the rows shown hold no operations (row 0 empty) nothing is searched
// for, and no check box changes on any tab.
TEST_F(OptionSelectionsTest, AnEmptyFirstRowOnTheShownTabSearchesNothing)
{
    window->selected = 3;
    selections->SetOperationOptionState("Test", "Fast", 0);
    EXPECT_EQ(window->At(3, 1).selected, 0);
    EXPECT_EQ(window->At(3, 1).check, 1);
    EXPECT_EQ(window->selected, 3);
    for (int visited : window->visits)
        EXPECT_EQ(visited, 3);
}

TEST_F(OptionSelectionsTest, OnTheVerifyTabACompareInRowThreeClearsAndDisablesRowFour)
{
    window->selected = 2;
    QList<Row>& rows = window->tabs[1].rows;
    rows = {{{"a"}, 0, 0},
            {{"b"}, 0, 0},
            {{"c"}, 0, 0},
            {{"Compare", "Sum", "Other"},
             0,
             1,
             true,
             true,
             {OperationCode::VerifyByCompare, OperationCode::VerifyBySum, 5}},
            {{"Follow-up"}, 0, 1}};
    selections->ApplyVerifyRowRule();
    EXPECT_EQ(rows[4].check, 0);
    EXPECT_FALSE(rows[4].enabled);
    rows[3].selected = 1;
    rows[4].check = 1;
    rows[4].enabled = true;
    selections->ApplyVerifyRowRule();
    EXPECT_EQ(rows[4].check, 0);
    EXPECT_FALSE(rows[4].enabled);
    rows[3].selected = 2;
    selections->ApplyVerifyRowRule();
    EXPECT_TRUE(rows[4].enabled);
    EXPECT_EQ(rows[4].check, 0); // it stays cleared

    // Row 3 unticked, or the same rows on another tab: nothing changes.
    rows[3].selected = 0;
    rows[3].check = 0;
    selections->ApplyVerifyRowRule();
    EXPECT_TRUE(rows[4].enabled);
    rows[3].check = 1;
    rows[4].check = 1;
    window->tabs[0].rows = rows;
    window->selected = 1;
    selections->ApplyVerifyRowRule();
    EXPECT_TRUE(window->At(1, 4).enabled);
    EXPECT_EQ(window->At(1, 4).check, 1);
}

} // namespace
