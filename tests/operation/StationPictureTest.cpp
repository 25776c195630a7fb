// The whole station after start on an eight-site programmer: main window,
// operation window and site boxes, nothing of the option rows showing
// through the sites' frame. With TARVO_SCREENSHOT naming a file, the
// picture is saved there (the README's picture is made this way).
#include "StationTest.h"
#include "engine/SiteBoxControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "settings/SettingsStore.h"
#include "shell/StartUp.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPixmap>
#include <QProgressBar>

namespace {

using StationPictureTest = StationTest;

TEST_F(StationPictureTest, EightSiteProgrammerShowsEverySiteBoxInsideItsFrame)
{
    // The engine comes back on the eight-site "RG-1080/8" programmer.
    const QString engineFolder = qEnvironmentVariable("XDG_DATA_HOME") + "/Corvane/QXEngine";
    QDir().mkpath(engineFolder);
    QFile ini(engineFolder + "/engine.ini");
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[Station]\nModelIndex=11\n");
    ini.close();
    // The station selected a flash device at its last exit.
    SaveSettingValue("Tarvo", "Device", "DevSelected", true);
    SaveSettingValue("Tarvo", "Device", "SelectedDeviceName", "NV29F040");

    ASSERT_TRUE(StartApplication());
    ASSERT_EQ(gMainForm->QXProgrammer.SiteCount(), 8);
    EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), "NV29F040");
    gMainForm->resize(1000, 700);
    frmProgram* window = gMainForm->frmP;
    window->ConcurrentOperationBegan();

    ASSERT_EQ(window->SiteBox.size(), 8u);
    const QRect frame = window->fraConcurrent->rect();
    for (const auto& box : window->SiteBox) {
        QWidget* widget = box->Control()->Widget();
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isVisibleTo(window));
        EXPECT_TRUE(frame.contains(widget->geometry())) << widget->geometry().x() << "," << widget->geometry().y();
    }

    // The option rows' progress bars lie under the frame: none shows
    // through it, above or between the boxes.
    const QRect frameInWindow(window->fraConcurrent->mapTo(window, QPoint(0, 0)), window->fraConcurrent->size());
    for (const QProgressBar* bar : window->ProgressBar1) {
        if (!bar->isVisibleTo(window))
            continue;
        const QRect barInWindow(bar->mapTo(window, QPoint(0, 0)), bar->size());
        EXPECT_FALSE(barInWindow.intersects(frameInWindow)) << barInWindow.x() << "," << barInWindow.y();
    }

    const QString picture = qEnvironmentVariable("TARVO_SCREENSHOT");
    if (!picture.isEmpty()) {
        EXPECT_TRUE(gMainForm->grab().save(picture));
    }
}

} // namespace
