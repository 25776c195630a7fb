// The action tabs' settings in a job file, over a window of tabs and option
// rows kept in memory and an engine store that keeps the first value written
// for a key, as the engine does within one save.
#include "operation/JobTabSettings.h"

#include "platform/AutomationError.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

struct Row
{
    QStringList entries;
    int selected = -1;
    qint16 check = 1;
    bool visible = true;
};

struct Tab
{
    QString caption;
    std::vector<Row> rows;
};

class FakeWindow : public JobTabSettings::Host
{
public:
    std::vector<Tab> tabs;
    int selected = 1;
    QString device = QStringLiteral("AM27C512");
    int actionSlots = 9;
    bool operatorMode = false;
    bool showErrors = true;

    // The engine's store: the job being saved or loaded, and the last one.
    QMap<QPair<QString, QString>, QString> job;
    QMap<QPair<QString, QString>, QString> lastJob;
    QMap<QPair<QString, QString>, int> writes; // writes per key
    int failAtWrite = -1;                      // the write (0-based) that fails
    int writeCount = 0;
    int stepFailures = 0;
    QStringList boxes; // "title\ttext"
    QList<int> visits;

    int TabCount() const override { return int(tabs.size()); }
    int SelectedTab() const override { return selected; }
    QString TabCaption(int tab) const override { return valid(tab) ? tabs[size_t(tab - 1)].caption : QString(); }
    void VisitTab(int tab) override
    {
        if (!valid(tab))
            return;
        selected = tab;
        visits << tab;
    }
    QStringList Entries(int row) const override { return rowOf(row) ? rowOf(row)->entries : QStringList(); }
    int Selected(int row) const override { return rowOf(row) ? rowOf(row)->selected : -1; }
    void Select(int row, int entry) override { rowOf(row)->selected = entry; }
    bool CheckVisible(int row) const override { return rowOf(row) && rowOf(row)->visible; }
    qint16 CheckValue(int row) const override { return rowOf(row) ? rowOf(row)->check : qint16(0); }
    void SetCheckValue(int row, qint16 value) override { rowOf(row)->check = value; }
    int ActionSlots() const override { return actionSlots; }
    bool StartInOperatorMode() const override { return operatorMode; }
    QString DeviceName() override { return device; }
    bool ShowErrorMessages() override { return showErrors; }
    void ShowCritical(const QString& text, const QString& title) override { boxes << title + '\t' + text; }
    void WriteValue(const QString& section, const QString& key, const QString& value, qint32) override
    {
        if (writeCount++ == failAtWrite)
            throw AutomationError(5, QStringLiteral("engine"), QStringLiteral("disk full"));
        ++writes[{section, key}];
        if (!job.contains({section, key}))
            job[{section, key}] = value;
    }
    QString ReadValue(const QString& section, const QString& key, qint32, qint32& status, bool fromLastJob) override
    {
        const auto& store = fromLastJob ? lastJob : job;
        status = store.contains({section, key}) ? 0 : 1;
        return store.value({section, key});
    }
    void ReadStepFailed() override { ++stepFailures; }

    Row& row(int tab, int r) { return tabs[size_t(tab - 1)].rows[size_t(r)]; }
    QString value(const QString& section, const QString& key) const { return job.value({section, key}, "<none>"); }

private:
    bool valid(int tab) const { return tab >= 1 && tab <= int(tabs.size()); }
    const Row* rowOf(int r) const
    {
        if (!valid(selected) || r < 0 || r >= int(tabs[size_t(selected - 1)].rows.size()))
            return nullptr;
        return &tabs[size_t(selected - 1)].rows[size_t(r)];
    }
    Row* rowOf(int r) { return const_cast<Row*>(std::as_const(*this).rowOf(r)); }
};

// Three tabs of 17 rows: each list offers three entries; row 3 of the read
// tab has an empty list.
FakeWindow ThreeTabs()
{
    FakeWindow w;
    for (const char* caption : {"&Program", "&Verify", "&Read"}) {
        Tab tab{QString::fromLatin1(caption), {}};
        for (int r = 0; r < 17; ++r)
            tab.rows.push_back(
                Row{{QStringLiteral("A%1").arg(r), QStringLiteral("B%1").arg(r), QStringLiteral("C%1").arg(r)},
                    0,
                    1,
                    true});
        w.tabs.push_back(tab);
    }
    w.row(3, 3) = Row{{}, -1, 0, true};
    return w;
}

TEST(JobTabSettingsTest, ExportWritesTheSelectedTabEveryRowAndThePlaceholders)
{
    FakeWindow w = ThreeTabs();
    w.selected = 2;
    w.row(1, 2).selected = 2;
    w.row(1, 2).check = 0;
    w.row(2, 4).check = 2;
    w.row(2, 4).visible = false; // hidden rows are written too
    JobTabSettings(w).Export();

    EXPECT_EQ(w.value("JobInfo", "ActiveTab"), "&Verify");
    EXPECT_EQ(w.value("GUI-Program", "Selection2"), "C2");
    EXPECT_EQ(w.value("GUI-Program", "EnableSelection2"), "0");
    EXPECT_EQ(w.value("GUI-Verify", "Selection4"), "A4");
    EXPECT_EQ(w.value("GUI-Verify", "EnableSelection4"), "2");
    EXPECT_EQ(w.value("GUI-Read", "Selection3"), "");
    // Placeholders fill the built-in sections no tab wrote; slot 8 repeats
    // "Erase" and writes nothing new.
    for (const char* section : {"GUI-Blank", "GUI-Test", "GUI-Secure", "GUI-Erase"}) {
        EXPECT_EQ(w.value(section, "Selection4"), "No_Content") << section;
        EXPECT_EQ(w.value(section, "EnableSelection0"), "0") << section;
        EXPECT_EQ(w.value(section, "Selection5"), "<none>") << section;
    }
    // No key is written twice: a real row is not followed by a placeholder.
    for (auto it = w.writes.cbegin(); it != w.writes.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().first.toStdString() << "/" << it.key().second.toStdString();
    // The operator's tab is selected again.
    EXPECT_EQ(w.selected, 2);
    EXPECT_EQ(w.visits, (QList<int>{1, 2, 3, 2}));
}

TEST(JobTabSettingsTest, StaplDevicesCarryRowsZeroToSixteenOthersZeroToFour)
{
    const std::pair<const char*, int> cases[] = {
        {"AM27C512", 4}, {"STAPL", 16}, {"STAPL EPM7128", 16}, {"stapl EPM", 4}, {"STAP", 4}, {" STAPL", 4},
    };
    for (const auto& [device, lastRow] : cases) {
        SCOPED_TRACE(device);
        FakeWindow saved = ThreeTabs();
        saved.device = QString::fromLatin1(device);
        saved.row(3, 16).selected = 1;
        saved.row(3, lastRow).selected = 2;
        saved.row(3, lastRow).check = 0;
        JobTabSettings(saved).Export();
        EXPECT_NE(saved.value("GUI-Read", QStringLiteral("Selection%1").arg(lastRow)), "<none>");
        EXPECT_EQ(saved.value("GUI-Read", QStringLiteral("Selection%1").arg(lastRow + 1)), "<none>");

        // Read back into a window still showing its first entries.
        FakeWindow loaded = ThreeTabs();
        loaded.device = saved.device;
        loaded.job = saved.job;
        JobTabSettings(loaded).Import();
        EXPECT_EQ(loaded.row(3, lastRow).selected, 2);
        EXPECT_EQ(loaded.row(3, lastRow).check, 0);
        EXPECT_EQ(loaded.row(3, 16).selected, lastRow == 16 ? 2 : 0);
        EXPECT_EQ(loaded.stepFailures, 0);
    }
}

TEST(JobTabSettingsTest, ImportRestoresEveryTabAndSelectsTheSavedOne)
{
    FakeWindow saved = ThreeTabs();
    saved.selected = 2;
    saved.row(1, 0).selected = 1;
    saved.row(2, 1).selected = 2;
    saved.row(2, 1).check = 0;
    JobTabSettings(saved).Export();

    FakeWindow loaded = ThreeTabs();
    loaded.selected = 3;
    loaded.job = saved.job;
    JobTabSettings(loaded).Import();
    EXPECT_EQ(loaded.selected, 2);
    EXPECT_EQ(loaded.row(1, 0).selected, 1);
    EXPECT_EQ(loaded.row(2, 1).selected, 2);
    EXPECT_EQ(loaded.row(2, 1).check, 0);
    // The empty list of the read tab's row 3 imports without a message.
    EXPECT_EQ(loaded.row(3, 3).selected, -1);
    EXPECT_TRUE(loaded.boxes.isEmpty());
    EXPECT_EQ(loaded.stepFailures, 0);

    // A tab the file names that is not here leaves the selected tab.
    loaded.job[{"JobInfo", "ActiveTab"}] = "&Verify ";
    loaded.selected = 3;
    JobTabSettings(loaded).SetActiveTab(true);
    EXPECT_EQ(loaded.selected, 3);
}

TEST(JobTabSettingsTest, WithoutLoadingSettingsTheTabComesFromTheLastJobAndNoRowChanges)
{
    FakeWindow w = ThreeTabs();
    w.job[{"JobInfo", "ActiveTab"}] = "&Program";
    w.job[{"GUI-Read", "Selection0"}] = "C0";
    w.lastJob[{"JobInfo", "ActiveTab"}] = "&Read";
    JobTabSettings(w).SetActiveTab(false);
    EXPECT_EQ(w.selected, 3);
    EXPECT_EQ(w.row(3, 0).selected, 0);
    EXPECT_EQ(w.visits, QList<int>{3});
}

TEST(JobTabSettingsTest, AStoredSelectionFindsItsEntryOrItsSecuredVariant)
{
    const QString missing = QStringLiteral(
        "Load Sealbook\t'%1' operation option is not found in Program tab. The sealbook file may be obsolete.\r"
        "Please review the selected options and re-save the job.");
    struct Case
    {
        const char* stored;
        int selected; // afterwards; the list builder had chosen entry 0
        bool message;
    };
    const Case cases[] = {
        {"Normal", 0, false},
        {"Fast", 2, false},
        {"Secure(Fast)", 2, false},
        {"Secure(Normal)", 1, false},
        {"normal", 0, true},
        {"Gone", 0, true},
        {"", 0, false},
        {"   ", 0, false},
        {"\t\r\n", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        FakeWindow w;
        w.tabs.push_back(Tab{"&Program", {Row{{"Normal", "Secure(Normal)", "Secure(Fast)"}, 0, 1, true}}});
        w.job[{"GUI-Program", "Selection0"}] = QString::fromLatin1(c.stored);
        w.job[{"GUI-Program", "EnableSelection0"}] = "0";
        JobTabSettings(w).SetActiveTab(true);
        EXPECT_EQ(w.row(1, 0).selected, c.selected);
        EXPECT_EQ(w.row(1, 0).check, 0); // the row goes on either way
        EXPECT_EQ(w.boxes, c.message ? QStringList{missing.arg(QString::fromLatin1(c.stored))} : QStringList());
        EXPECT_EQ(w.stepFailures, 0);
    }
}

TEST(JobTabSettingsTest, AMissingOptionInOperatorModeStopsTheImport)
{
    FakeWindow saved = ThreeTabs();
    saved.row(1, 1).selected = 1;
    saved.row(2, 2).selected = 2;
    JobTabSettings(saved).Export();

    struct Case
    {
        bool operatorMode;
        bool showErrors;
        int boxes;
        int stepFailures;
        int verifyRow2; // afterwards
    };
    const Case cases[] = {
        {false, true, 1, 0, 2}, {false, false, 0, 0, 2}, {true, true, 1, 1, 0}, {true, false, 0, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "operator " << c.operatorMode << " show " << c.showErrors);
        FakeWindow loaded = ThreeTabs();
        loaded.job = saved.job;
        loaded.job[{"GUI-Program", "Selection1"}] = "Withdrawn";
        loaded.operatorMode = c.operatorMode;
        loaded.showErrors = c.showErrors;
        JobTabSettings(loaded).SetActiveTab(true);
        EXPECT_EQ(loaded.boxes.size(), c.boxes);
        EXPECT_EQ(loaded.stepFailures, c.stepFailures);
        // Rows after the stop are not read; the file's tab is still selected.
        EXPECT_EQ(loaded.row(2, 2).selected, c.verifyRow2);
        EXPECT_EQ(loaded.selected, 1);
    }
}

TEST(JobTabSettingsTest, ALiveCheckBoxTakesOnlyZeroOrOne)
{
    struct Case
    {
        qint16 before;
        const char* stored;
        qint16 after;
    };
    const Case cases[] = {
        {1, "0", 0}, {0, "1", 1}, {1, "1", 1},  {0, "2", 0}, {1, "2", 1}, {1, "-1", 1},
        {1, "x", 1}, {1, "", 1},  {0, "01", 0}, {2, "0", 2}, {2, "1", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " <- '" << c.stored << "'");
        FakeWindow w;
        w.tabs.push_back(Tab{"&Program", {Row{{"Normal"}, 0, c.before, true}}});
        w.job[{"GUI-Program", "Selection0"}] = "Normal";
        w.job[{"GUI-Program", "EnableSelection0"}] = QString::fromLatin1(c.stored);
        JobTabSettings(w).SetActiveTab(true);
        EXPECT_EQ(w.row(1, 0).check, c.after);
    }
}

TEST(JobTabSettingsTest, HiddenRowsAreNotRead)
{
    FakeWindow w = ThreeTabs();
    w.row(1, 0).visible = false;
    w.job[{"GUI-Program", "Selection0"}] = "Gone";
    w.job[{"GUI-Program", "EnableSelection0"}] = "0";
    JobTabSettings(w).SetActiveTab(true);
    EXPECT_EQ(w.row(1, 0).check, 1);
    EXPECT_TRUE(w.boxes.isEmpty());
}

TEST(JobTabSettingsTest, AFileMissingAnyPlaceholderIsRefused)
{
    FakeWindow saved = ThreeTabs();
    JobTabSettings(saved).Export();
    const std::pair<const char*, const char*> removed[] = {
        {"", ""}, // complete
        {"GUI-Program", "Selection0"},
        {"GUI-Verify", "EnableSelection4"},
        {"GUI-Blank", "Selection2"},
        {"GUI-Erase", "EnableSelection4"},
    };
    for (const auto& [section, key] : removed) {
        SCOPED_TRACE(testing::Message() << section << "/" << key);
        FakeWindow loaded = ThreeTabs();
        loaded.job = saved.job;
        loaded.job.remove({QString::fromLatin1(section), QString::fromLatin1(key)});
        JobTabSettings(loaded).Import();
        EXPECT_EQ(loaded.stepFailures, *section ? 1 : 0);
    }

    // Placeholders beyond row 4 are not asked for; more action slots reuse
    // the last built-in name.
    FakeWindow loaded = ThreeTabs();
    loaded.job = saved.job;
    loaded.actionSlots = 12;
    loaded.job.remove({"GUI-Blank", "Selection5"});
    JobTabSettings(loaded).Import();
    EXPECT_EQ(loaded.stepFailures, 0);
}

TEST(JobTabSettingsTest, TabsWithTheSameLettersKeepSeparateSections)
{
    EXPECT_EQ(JobTabSettings::SectionNames({"&Program", "Run 1", "Run 2", "R&un-3", "12", "3"}),
              (QStringList{"GUI-Program", "GUI-Run", "GUI-Run#2", "GUI-Run#3", "GUI-", "GUI-#2"}));

    FakeWindow saved;
    for (const char* caption : {"Run 1", "Run 2"})
        saved.tabs.push_back(Tab{QString::fromLatin1(caption), {Row{{"Fast", "Slow"}, 0, 1, true}}});
    saved.row(2, 0).selected = 1;
    saved.row(2, 0).check = 0;
    JobTabSettings(saved).Export();

    FakeWindow loaded = saved;
    loaded.row(2, 0) = Row{{"Fast", "Slow"}, 0, 1, true};
    JobTabSettings(loaded).Import();
    EXPECT_EQ(loaded.row(1, 0).selected, 0);
    EXPECT_EQ(loaded.row(1, 0).check, 1);
    EXPECT_EQ(loaded.row(2, 0).selected, 1);
    EXPECT_EQ(loaded.row(2, 0).check, 0);
}

TEST(JobTabSettingsTest, AFailedExportGoesBackToTheOperatorsTab)
{
    for (int failAt : {0, 1, 20, 60}) {
        SCOPED_TRACE(failAt);
        FakeWindow w = ThreeTabs();
        w.selected = 2;
        w.failAtWrite = failAt;
        EXPECT_THROW(JobTabSettings(w).Export(), AutomationError);
        EXPECT_EQ(w.selected, 2);
        EXPECT_EQ(w.visits.isEmpty() ? 2 : w.visits.last(), 2);
    }
}

} // namespace
