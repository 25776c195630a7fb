// What the started station tells the operator about itself: a message box
// turned into a status line while the engine asks for silence, a settings
// file found damaged at start, and its title on the splash and about windows.
#include "StationTest.h"

#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/UiService.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>

namespace {

QString BlackBoxLog()
{
    QFile log(qEnvironmentVariable("XDG_DATA_HOME") + "/Corvane/QXEngine/DATALOG/BlackBox.log");
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QString LastStatusLine()
{
    QListWidget* list = gMainForm->frmP->cboStatus;
    return list->count() > 0 ? list->item(list->count() - 1)->text() : QString();
}

using StationReportsTest = StationTest;

TEST_F(StationReportsTest, ASilentEngineTurnsEveryBoxIntoAStatusLine)
{
    ASSERT_TRUE(StartApplication());
    gMainForm->QXProgrammer.SilentMode(true);
    // A question answers OK (1), which is neither Yes nor No; no box opens
    // (the scripted service would fail the test on one).
    EXPECT_EQ(AppMsgBox("Overwrite the job file?", vb::vbYesNo + vb::vbQuestion, "Job File"), vb::vbOK);
    EXPECT_EQ(LastStatusLine(), "Overwrite the job file?");
    EXPECT_TRUE(BlackBoxLog().contains("Overwrite the job file?"));
    EXPECT_EQ(AppMsgBox("Device not found", vb::vbCritical, "Input Error"), vb::vbOK);
    EXPECT_EQ(LastStatusLine(), "Device not found");

    // Heard again, the engine has the box shown.
    gMainForm->QXProgrammer.SilentMode(false);
    ui().Answer(vb::vbNo);
    EXPECT_EQ(AppMsgBox("Overwrite the job file?", vb::vbYesNo + vb::vbQuestion, "Job File"), vb::vbNo);
    EXPECT_EQ(LastStatusLine(), "Device not found");
}

TEST_F(StationReportsTest, ASettingsFileDamagedAtStartIsLoggedAndShownAsAStatusLine)
{
    QFile hive(registryRoot() + "/HKCU.reg");
    ASSERT_TRUE(hive.open(QIODevice::WriteOnly));
    hive.write("not a hive\n");
    hive.close();

    ASSERT_TRUE(StartApplication());
    const QStringList aside = QDir(registryRoot()).entryList({"HKCU.reg.corrupt-*"});
    ASSERT_EQ(aside.size(), 1);
    const QString log = BlackBoxLog();
    EXPECT_EQ(log.count(aside.at(0)), 1) << log.toStdString();

    QStringList lines;
    for (int i = 0; i < gMainForm->frmP->cboStatus->count(); ++i)
        lines << gMainForm->frmP->cboStatus->item(i)->text();
    EXPECT_EQ(lines.filter(aside.at(0)).size(), 1) << lines.join('\n').toStdString();
}

TEST_F(StationReportsTest, SplashAndAboutCarryTheApplicationTitleAndIcon)
{
    for (const char* title : {"Tarvo", "Chiselo"}) {
        SCOPED_TRACE(title);
        appinfo::SetApplicationTitleForTests(title);
        frmSplash& splash = frmSplash::Instance();
        EXPECT_EQ(splash.windowTitle(), title);
        EXPECT_FALSE(splash.windowIcon().isNull());
        EXPECT_FALSE(splash.Image1->pixmap().isNull());
        EXPECT_EQ(splash.findChild<QLabel*>("lblTitle")->text(), title);
        frmSplash::Unload();

        frmAbout& about = frmAbout::Instance();
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About %1").arg(title));
        EXPECT_FALSE(about.Image1->pixmap().isNull());
        EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->text(), QStringLiteral("<h2>%1</h2>").arg(title));
        frmAbout::Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST(AppIconTest, ThePaintedIconIsTheProgramsPicture)
{
    const QImage picture(QStringLiteral(TARVO_SOURCE_DIR "/src/resources/tarvo.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(AppIconImage(), picture.convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(AppIcon().pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32),
              picture.convertToFormat(QImage::Format_ARGB32));
}

TEST_F(StationReportsTest, ASplashStepThatChangesNoTextIsNotPaintedAgain)
{
    frmSplash& splash = frmSplash::Instance();
    splash.ShowInitStep(0);
    const int painted = splash.RepaintCount();
    splash.ShowInitStep(0);
    splash.ShowInitStep(4);
    EXPECT_EQ(splash.RepaintCount(), painted);
    splash.ShowInitStep(2);
    EXPECT_EQ(splash.RepaintCount(), painted + 1);
    frmSplash::Unload();
}

} // namespace
