// The tab refresh: by option text and from the engine, over a small window
// of the test's own (tabs whose rows its click handler builds) and the
// option table on a recording engine; then once through the operation
// window on the simulated programmer.

#include "RecordingEngine.h"
#include "StandInWindowFixture.h"

#include "operation/CComboBoxData.h"
#include "operation/CRefresh.h"

#include <gtest/gtest.h>

namespace {

using namespace QXPgmrId;

struct Entry
{
    QString text;
    qint32 code;
};

struct Row
{
    QList<Entry> entries;
    int selected = -1;
    qint16 check = 0;
};

constexpr int kRows = 17;

// Every tab carries its own action, so a click onto another tab rebuilds
// the rows from what the tab's builder gives; the stored values are kept per
// tab. Rows not built are empty.
class FakeWindow : public CRefresh::Host
{
public:
    FakeWindow(CComboBoxData& options, QList<QMap<int, Row>> tabs)
        : m_options(options),
          m_built(std::move(tabs))
    {
        saved.resize(m_built.size());
    }

    int TabCount() const override { return int(m_built.size()); }
    int SelectedTab() const override { return selected; }
    void SelectTab(int index) override
    {
        selected = index;
        calls << QStringLiteral("select %1").arg(index);
    }
    void TabBeforeClick() override { calls << QStringLiteral("before"); }
    void TabClick() override
    {
        calls << QStringLiteral("click");
        if (m_shownTab == selected)
            return;
        m_shownTab = selected;
        shown = QList<Row>(kRows);
        for (auto it = m_built[selected - 1].cbegin(); it != m_built[selected - 1].cend(); ++it)
            shown[it.key()] = it.value();
    }
    void SaveCheckBoxValues() override
    {
        calls << QStringLiteral("save %1").arg(selected);
        saved[selected - 1] = shown;
    }
    int RowCount() override { return kRows; }
    int EntryCount(int row) const override { return int(shown[row].entries.size()); }
    QString EntryText(int row, int entry) const override { return shown[row].entries[entry].text; }
    qint32 EntryCode(int row, int entry) const override { return shown[row].entries[entry].code; }
    void SetListIndex(int row, int entry) override { shown[row].selected = entry; }
    qint16 CheckValue(int row) const override { return shown[row].check; }
    void SetCheckValue(int row, qint16 value) override { shown[row].check = value; }
    bool ItemDataSupported(qint32 code) override { return m_options.Supported(code); }
    void CommitComboBoxItemData(qint32 code) override { m_options.Commit(code, true); }

    // Selects a tab as the window stands before the refresh.
    void Open(int tab)
    {
        selected = tab;
        TabClick();
        calls.clear();
    }

    // A stored row as "<selected>[<check>]".
    QString Saved(int tab, int row) const
    {
        const Row& r = saved[tab - 1].value(row);
        return QStringLiteral("%1[%2]").arg(r.selected).arg(r.check);
    }

    QList<Row> shown;
    QList<QList<Row>> saved;
    QStringList calls;
    int selected = 0;

private:
    CComboBoxData& m_options;
    QList<QMap<int, Row>> m_built;
    int m_shownTab = 0;
};

class RefreshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto recording = std::make_unique<RecordingEngine>();
        engine = recording.get();
        control.Attach(std::move(recording));
    }

    QXPgmrControl control;
    RecordingEngine* engine = nullptr;
    CComboBoxData options{control};
};

const QList<Entry> kProgramVerify = {{"Verify Once", 13}, {"Verify Twice", 15}};
const QList<Entry> kVerifyTabVerify = {{"Verify Once", 14}, {"Verify Twice", 16}};

TEST_F(RefreshTest, OptionTextSelectsItsEntryInEveryTabAndComesBack)
{
    FakeWindow window(options,
                      {{{3, {kProgramVerify, 0, 0}}, {4, {{{"Verify Twice", 15}}, -1, 2}}},
                       {{3, {kVerifyTabVerify, 0, 1}}},
                       {{2, {{{"Read", 34}}, 0, 2}}}});
    window.Open(2);
    bool found = false;
    CRefresh(window, options).TabsContents(QStringLiteral("Verify Twice"), true, found);

    EXPECT_TRUE(found);
    EXPECT_EQ(window.Saved(1, 3), "1[1]");
    EXPECT_EQ(window.Saved(1, 4), "0[2]"); // greyed: selected, value kept
    EXPECT_EQ(window.Saved(2, 3), "1[1]");
    EXPECT_EQ(window.Saved(3, 2), "0[2]");
    EXPECT_EQ(window.calls,
              QStringList({"before", "select 1", "click", "save 1", "before", "select 2", "click", "save 2", "before",
                           "select 3", "click", "save 3", "select 2", "click"}));
    EXPECT_EQ(window.selected, 2);
    EXPECT_TRUE(engine->writes.isEmpty());

    // Disabling clears the boxes of the matching rows, the entry still chosen.
    CRefresh(window, options).TabsContents(QStringLiteral("Verify Once"), false, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(window.Saved(1, 3), "0[0]");
    EXPECT_EQ(window.Saved(2, 3), "0[0]");
}

TEST_F(RefreshTest, OptionTextMustMatchExactly)
{
    FakeWindow window(options, {{{3, {kProgramVerify, 0, 0}}}});
    window.Open(1);
    bool found = true;
    CRefresh(window, options).TabsContents(QStringLiteral("verify twice"), true, found);
    EXPECT_FALSE(found);
    EXPECT_EQ(window.Saved(1, 3), "0[0]");
}

TEST_F(RefreshTest, EngineModeCommitsAndSelectsTheCurrentEntriesUpToTheExecuteVariants)
{
    engine->Set(VerifyMode, 2);
    engine->Set(EraseOption, true);
    FakeWindow window(options,
                      {{
                          {0, {{{"Continuity", 0}}, 0, 1}},   // not current: cleared
                          {1, {{}, -1, 1}},                   // empty: cleared
                          {2, {{{"Program", 12}}, 0, 2}},     // greyed: kept
                          {3, {kProgramVerify, 0, 0}},        // Verify Twice current
                          {4, {{{"Erase", 10}}, -1, 0}},      // current
                          {5, {{{"Program A", 1025}}, 0, 1}}, // the tab ends here
                          {6, {{{"Erase", 10}}, -1, 0}},
                      }});
    window.Open(1);
    bool found = false;
    CRefresh(window, options).TabsContents(QString(), false, found);

    EXPECT_TRUE(found);
    EXPECT_EQ(window.Saved(1, 0), "0[0]");
    EXPECT_EQ(window.Saved(1, 1), "-1[0]");
    EXPECT_EQ(window.Saved(1, 2), "0[2]");
    EXPECT_EQ(window.Saved(1, 3), "1[1]"); // ticked although enable was False
    EXPECT_EQ(window.Saved(1, 4), "0[1]");
    EXPECT_EQ(window.Saved(1, 5), "0[1]");
    EXPECT_EQ(window.Saved(1, 6), "-1[0]");
    EXPECT_EQ(engine->TakeWrites(),
              QStringList({"VerifyMode=2", "TestMode=0", "BlankCheckOption=0", "EraseOption=-1"}));
}

TEST_F(RefreshTest, EngineModeFindsNothingInATabWithoutCurrentEntries)
{
    FakeWindow window(options, {{{0, {{{"Continuity", 0}}, 0, 1}}}});
    window.Open(1);
    bool found = true;
    CRefresh(window, options).TabsContents(QString(), true, found);
    EXPECT_FALSE(found);
    EXPECT_EQ(window.Saved(1, 0), "0[0]");
}

struct FlaggedCase
{
    const char* what;
    qint32 verifyMode;
    qint16 encrypt;
    qint16 decrypt;
    int selected;
};

// Row 3 of the program tab with its encrypting entries, and row 3 of a
// verify tab with decrypting ones: the flagged entry is current only with
// its step and the engine's encrypt or decrypt option.
TEST_F(RefreshTest, FlaggedEntriesNeedTheirStepAndTheEnginesOption)
{
    const QList<Entry> program = {{"Verify Once", 13},
                                  {"Verify Twice", 15},
                                  {"Verify Once & Encrypt", 4109},
                                  {"Verify Twice & Encrypt", 4111},
                                  {"Encrypt", 4096}};
    const FlaggedCase cases[] = {
        {"verify twice, no encryption", 2, 0, 0, 1},
        {"verify twice with encryption", 2, -1, 0, 3},
        {"encryption alone", 0, -1, 0, 4},
        {"nothing", 0, 0, 0, -1},
    };
    for (const FlaggedCase& c : cases) {
        SCOPED_TRACE(c.what);
        engine->Set(VerifyMode, c.verifyMode);
        engine->Set(TestMode, 0);
        control.CombinedEncryptDecrypt(qint16(1), c.encrypt);
        control.CombinedEncryptDecrypt(qint16(2), c.decrypt);
        FakeWindow window(options, {{{3, {program, -1, 0}}}});
        window.Open(1);
        bool found = false;
        CRefresh(window, options).TabsContents(QString(), true, found);
        EXPECT_EQ(window.saved[0][3].selected, c.selected);
    }

    const QList<Entry> verifyTab = {{"Verify Once", 14}, {"Decrypt & Verify Once", 8206}};
    for (qint16 decrypt : {qint16(0), qint16(1)}) {
        engine->Set(VerifyMode, 1);
        control.CombinedEncryptDecrypt(qint16(2), decrypt);
        FakeWindow window(options, {{{3, {verifyTab, -1, 0}}}});
        window.Open(1);
        bool found = false;
        CRefresh(window, options).TabsContents(QString(), true, found);
        EXPECT_EQ(window.saved[0][3].selected, decrypt == 1 ? 1 : 0) << "decrypt " << decrypt;
    }
}

// The operation window's own tabs and rows on the simulated programmer.
class WindowRefreshTest : public StandInWindowTest
{};

TEST_F(WindowRefreshTest, OptionTextReachesEveryTabsRowsAndTheirStoredValues)
{
    LoadAndShow();
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("AM27C512")));
    ASSERT_EQ(Tabs(), QStringList({"&Program", "&Verify", "&Read", "&Blank"}));
    Visit(3);

    bool found = false;
    window->TabsContents(QStringLiteral("Verify"), false, found);

    EXPECT_TRUE(found);
    EXPECT_EQ(window->tabOperation->SelectedIndex(), 3);
    // Program tab: row 3 cleared; verify tab: row 3 greyed, kept.
    EXPECT_EQ(data().intUserCheckbox(1, 3), 0);
    EXPECT_EQ(data().intUserListboxIndex(1, 3), 0);
    EXPECT_EQ(data().intUserCheckbox(2, 3), 2);
    Visit(1);
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[3]), 0);
    EXPECT_EQ(window->cboOperation[3]->currentText(), "Verify");

    window->TabsContents(QStringLiteral("No such step"), true, found);
    EXPECT_FALSE(found);
}

} // namespace
