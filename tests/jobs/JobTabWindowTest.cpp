// The operation window's tab settings in the job files the station in this
// process writes: the selected tab, the rows a device carries, and the
// placeholder sections a load checks for.
#include "../mainwindow/MainWindowFixture.h"

#include "JobFile.h"
#include "automation/frmAutomationHost.h"
#include "operation/TabStrip.h"
#include "settings/ProgrammerClass.h"

#include <QLineEdit>

namespace {

class JobTabWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(start());
    }
};

TEST_F(JobTabWindowTest, ASavedJobCarriesTheRowsOfItsDevice)
{
    const std::pair<const char*, int> cases[] = {{"AM27C512", 4}, {"STAPL ISP Device", 16}};
    for (const auto& [device, lastRow] : cases) {
        SCOPED_TRACE(device);
        frmProgram& w = operationWindow();
        ASSERT_TRUE(w.SelectDevice(QString::fromLatin1(device)));
        MarkBufferFromFile();
        ASSERT_GE(w.tabOperation->Count(), 2);
        w.SelectTab(2);

        const QString path = tempPath(QStringLiteral("%1.qx").arg(lastRow));
        bool ok = false;
        gMainForm->ExecSaveJobCmd(1, path, ok);
        ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();
        EXPECT_EQ(w.tabOperation->SelectedIndex(), 2);

        QString reason;
        const std::optional<JobFile> job = JobFile::Read(path, reason);
        ASSERT_TRUE(job) << reason.toStdString();
        EXPECT_EQ(job->ValueOr("JobInfo", "ActiveTab"), w.tabOperation->Caption(2));
        for (int tab = 1; tab <= w.tabOperation->Count(); ++tab) {
            const QString section = "GUI-" + frmProgram::LettersOnly(w.tabOperation->Caption(tab));
            EXPECT_TRUE(job->Value(section, QStringLiteral("Selection%1").arg(lastRow))) << section.toStdString();
            EXPECT_TRUE(job->Value(section, QStringLiteral("EnableSelection%1").arg(lastRow))) << section.toStdString();
            EXPECT_FALSE(job->Value(section, QStringLiteral("Selection%1").arg(lastRow + 1))) << section.toStdString();
        }
        for (const char* name : {"Program", "Verify", "Read", "Blank", "Test", "Secure", "Erase"})
            EXPECT_TRUE(job->Value(QStringLiteral("GUI-") + QLatin1String(name), "EnableSelection4")) << name;
    }
}

TEST_F(JobTabWindowTest, AutomationSelectsTheTabTheLastJobNames)
{
    frmProgram& w = operationWindow();
    ASSERT_TRUE(w.SelectDevice(QStringLiteral("AM27C512")));
    MarkBufferFromFile();
    ASSERT_GE(w.tabOperation->Count(), 2);
    w.SelectTab(2);
    bool ok = false;
    gMainForm->ExecSaveJobCmd(1, tempPath(QStringLiteral("tab.qx")), ok);
    ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();

    w.SelectTab(1);
    ASSERT_EQ(w.tabOperation->SelectedIndex(), 1);
    frmAutomationHost host;
    host.SetStation(&gMainForm->station());
    host.SelectJobTab();
    EXPECT_EQ(w.tabOperation->SelectedIndex(), 2);
}

} // namespace
