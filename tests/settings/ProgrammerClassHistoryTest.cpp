// What the job configuration keeps beside its own settings: the per-action
// settings of older versions, taken over once, and the recent data-pattern
// files with their File menu entries.
#include "TestEnv.h"

#include "mainwindow/Station.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValueConversion.h"
#include "shell/StartUp.h"

#include <QAction>

namespace {

const QString kApp = QStringLiteral("Tarvo");

QString Stored(const QString& section, const QString& name)
{
    return ToText(GetSettingValue(kApp, section, name, QStringLiteral("<absent>")));
}

class ProgrammerClassHistoryTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        appinfo::SetApplicationTitleForTests(kApp);
    }
    void TearDown() override
    {
        gMainForm = nullptr;
        appinfo::SetApplicationTitleForTests(QString());
        TarvoTest::TearDown();
    }
    // The recent-file list as stored, place 1 first.
    QStringList RecentFiles() const
    {
        QStringList files;
        for (int place = 1; place <= 6; ++place) {
            const QString text = Stored("Recent Files", QStringLiteral("RecentFile%1").arg(place));
            if (text != "<absent>")
                files << text;
        }
        return files;
    }
};

TEST_F(ProgrammerClassHistoryTest, OlderActionSettingsAreTakenOverOnceAndRemoved)
{
    SaveSettingValue(kApp, "Configuration", "USR_VFY_CB_3", qint16(1));
    SaveSettingValue(kApp, "Configuration", "USR_BLANKCHECK_LB_17", qint16(4));
    SaveSettingValue(kApp, "Configuration", "CB_1", qint16(1));
    SaveSettingValue(kApp, "Configuration", "usr_vfy_lb_2", qint16(3));      // names match in any letter case
    SaveSettingValue(kApp, "Configuration", "VERIFY_CHECKBOX_3", qint16(0)); // today's layout: not touched

    {
        ProgrammerClass p;
        p.intUserCheckbox(1, 0, 9);
        p.intUserListboxIndex(15, 16, 5);
        EXPECT_TRUE(p.LoadOldActionSettings());
        EXPECT_EQ(p.intUserCheckbox(2, 2), 1);       // verify, option 3
        EXPECT_EQ(p.intUserCheckbox(0, 0), 1);       // action 0 has no prefix
        EXPECT_EQ(p.intUserListboxIndex(4, 16), 4);  // blank check, option 17
        EXPECT_EQ(p.intUserListboxIndex(2, 1), 3);   // verify, option 2, stored in lower case
        EXPECT_EQ(p.intUserListboxIndex(9, 16), 4);  // later actions read the blank check values
        EXPECT_EQ(p.intUserCheckbox(1, 0), 0);       // absent values become 0
        EXPECT_EQ(p.intUserListboxIndex(15, 16), 5); // the last action row is not read
    }
    for (const char* name : {"USR_VFY_CB_3", "USR_BLANKCHECK_LB_17", "CB_1", "usr_vfy_lb_2"})
        EXPECT_EQ(Stored("Configuration", name), "<absent>") << name;
    EXPECT_EQ(Stored("Configuration", "VERIFY_CHECKBOX_3"), "0");

    ProgrammerClass again;
    again.intUserCheckbox(2, 2, 1);
    EXPECT_FALSE(again.LoadOldActionSettings());
    EXPECT_EQ(again.intUserCheckbox(2, 2), 0);
}

TEST_F(ProgrammerClassHistoryTest, RecentFilesKeepFiveMoveAReopenedFileToTheTopAndDropTheOldest)
{
    ProgrammerClass p;
    for (const char* file : {"/d/a.hex", "/d/b.hex", "/d/c.hex", "/d/d.hex", "/d/e.hex"})
        p.UpdateRecentFilesRegistry(file);
    EXPECT_EQ(RecentFiles(), QStringList({"/d/e.hex", "/d/d.hex", "/d/c.hex", "/d/b.hex", "/d/a.hex"}));

    const struct
    {
        const char* opened;
        QStringList after;
    } steps[] = {
        {"/d/c.hex", {"/d/c.hex", "/d/e.hex", "/d/d.hex", "/d/b.hex", "/d/a.hex"}}, // third moves up
        {"/d/a.hex", {"/d/a.hex", "/d/c.hex", "/d/e.hex", "/d/d.hex", "/d/b.hex"}}, // last moves up
        {"/d/a.hex", {"/d/a.hex", "/d/c.hex", "/d/e.hex", "/d/d.hex", "/d/b.hex"}}, // first stays
        {"/d/f.hex", {"/d/f.hex", "/d/a.hex", "/d/c.hex", "/d/e.hex", "/d/d.hex"}}, // oldest drops
        {"/d/F.hex", {"/d/F.hex", "/d/f.hex", "/d/a.hex", "/d/c.hex", "/d/e.hex"}}, // case tells files apart
    };
    for (const auto& step : steps) {
        p.UpdateRecentFilesRegistry(step.opened);
        EXPECT_EQ(RecentFiles(), step.after) << "after opening " << step.opened;
    }
    const std::optional<SettingsTable> all = GetAllSettingValues(kApp, "Recent Files");
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 5);
}

TEST_F(ProgrammerClassHistoryTest, ReopeningTheOnlyFileOfAShortListKeepsItOnce)
{
    ProgrammerClass p;
    p.UpdateRecentFilesRegistry("/d/a.hex");
    p.UpdateRecentFilesRegistry("/d/b.hex");
    p.UpdateRecentFilesRegistry("/d/b.hex");
    p.UpdateRecentFilesRegistry("/d/a.hex");
    EXPECT_EQ(RecentFiles(), QStringList({"/d/a.hex", "/d/b.hex"}));
}

TEST_F(ProgrammerClassHistoryTest, FileMenuShowsTheRecentFiles)
{
    Station station;
    frmMain window(station);
    gMainForm = &window;
    QList<QAction*>& entries = window.mnuRecentFile;
    ASSERT_EQ(entries.size(), 6);
    ProgrammerClass p;

    // No recent files: the menu is left as it is.
    entries[1]->setText("untouched");
    p.UpdateFileMenuWithRecentFiles();
    EXPECT_EQ(entries[1]->text(), "untouched");
    EXPECT_FALSE(entries[0]->isVisible());

    for (const char* file : {"/d/a.hex", "/d/Tom & Jerry.hex"})
        p.UpdateRecentFilesRegistry(file);
    p.UpdateFileMenuWithRecentFiles();
    EXPECT_TRUE(entries[0]->isVisible());
    EXPECT_EQ(entries[1]->text(), "&1 /d/Tom && Jerry.hex");
    EXPECT_EQ(entries[2]->text(), "&2 /d/a.hex");
    EXPECT_TRUE(entries[1]->isVisible() && entries[2]->isVisible());
    for (int i = 3; i <= 5; ++i) {
        EXPECT_FALSE(entries[i]->isVisible()) << i;
        EXPECT_EQ(entries[i]->text(), "") << i;
    }

    // A long path is shortened in the middle; its file name stays.
    const QString longPath = "/data/" + QString("deep/").repeated(40) + "pattern.hex";
    p.UpdateRecentFilesRegistry(longPath);
    p.UpdateFileMenuWithRecentFiles();
    const QString caption = entries[1]->text();
    EXPECT_TRUE(caption.startsWith("&1 ")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith("pattern.hex")) << caption.toStdString();
    EXPECT_LT(caption.size(), longPath.size());
    EXPECT_EQ(entries[3]->text(), "&3 /d/a.hex");
}

} // namespace
