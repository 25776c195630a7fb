// CJobControl's job save on the station started in this process: the job is
// written through the main window's save command and loads back; a refused
// or failed save reaches the client as the save error, with its status line
// and a black-box line in place of a box, and leaves the file that was there
// as it was.
#include "../mainwindow/MainWindowFixture.h"

#include "automation/AutomationHost.h"
#include "automation/CJobControl.h"
#include "automation/frmAutomationHost.h"
#include "mainwindow/BlackBoxLog.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace {

const QString kSaveError = QStringLiteral("There was a problem saving the .qx file.");

class JobControlSaveTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartReadyForJobs());
        host.SetStation(&gMainForm->station());
        SetAutomationHost(&host);
    }
    void TearDown() override
    {
        control.reset();
        SetAutomationHost(nullptr);
        MainWindowTest::TearDown();
    }
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    static QStringList BlackBoxLines()
    {
        QFile log(blackbox::GetLogFolder() + "/BlackBox.log");
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split("\r\n", Qt::SkipEmptyParts)
                                             : QStringList();
    }
    CJobControl& jobControl()
    {
        if (!control)
            control = std::make_unique<CJobControl>();
        return *control;
    }
    static QByteArray ReadAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    frmAutomationHost host;
    std::unique_ptr<CJobControl> control;
};

TEST_F(JobControlSaveTest, TheSavedJobIsWrittenAndLoadsBack)
{
    const QString path = tempPath("jobs/line4.qx");
    jobControl().SaveQxFile(path);
    ASSERT_FALSE(jobControl().LastError()) << jobControl().LastError()->message.toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(data().strJobName, path);
    // No note was asked for: an automation client is not an operator.
    EXPECT_TRUE(ui().Shown().isEmpty()) << ui().Shown().join('\n').toStdString();

    data().strJobName.clear();
    jobControl().LoadQxFile(path);
    EXPECT_FALSE(jobControl().LastError());
    EXPECT_EQ(data().strJobName, path);
}

TEST_F(JobControlSaveTest, ARefusedOrFailedSaveIsTheClientsErrorAndKeepsTheOldFile)
{
    const QByteArray before("an older job");
    QFile blocker(tempPath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const struct
    {
        const char* name;
        QString path;
        bool deviceSelected;
        const char* logged; // what the black-box log says in place of a box
    } cases[] = {
        {"no device", tempPath("nodevice.qx"), false,
         "Automation client's save: No device has been selected. You must select a device before saving a job!"},
        {"folder cannot be made", tempPath("blocker/job.qx"), true, "Automation client's save: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.path.startsWith(tempPath("blocker/"))) {
            QFile old(c.path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write(before);
        }
        data().blnDeviceSelected = c.deviceSelected;
        const QString jobName = data().strJobName;
        const qsizetype shown = ui().Shown().size();
        const qsizetype logged = BlackBoxLines().size();
        jobControl().SaveQxFile(c.path);
        ASSERT_TRUE(jobControl().LastError());
        EXPECT_EQ(jobControl().LastError()->name, "com.corvane.Tarvo.Error.CJOBCONTROL_E_ERRORSAVINGFILE");
        EXPECT_EQ(jobControl().LastError()->message, "0x80040229 CJobControl: " + kSaveError);
        EXPECT_TRUE(statusLines().contains("CJobControl Error: " + kSaveError));
        // A client's save waits on no box.
        EXPECT_EQ(ui().Shown().size(), shown) << ui().Shown().join('\n').toStdString();
        const QStringList lines = BlackBoxLines().mid(logged);
        EXPECT_FALSE(lines.filter(QLatin1String(c.logged)).isEmpty()) << lines.join('\n').toStdString();
        EXPECT_EQ(data().strJobName, jobName);
        if (!c.path.startsWith(tempPath("blocker/"))) {
            EXPECT_EQ(ReadAll(c.path), before);
        }
    }
}

} // namespace
