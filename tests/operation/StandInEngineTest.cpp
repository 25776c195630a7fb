// The operation window with the stand-in engine (QXPgmr.ocx) and its
// algorithm database: the programmer models' sites and a device selected by
// name, as the station runs them.
#include "StandInWindowFixture.h"

#include <QLineEdit>

namespace {

using StandInEngineTest = StandInWindowTest;

TEST_F(StandInEngineTest, EveryModelShowsEachOfItsSitesForEveryHandlerType)
{
    LoadAndShow();
    QXPgmrControl& e = main->QXProgrammer;
    const qint32 models = e.ProgrammerModelCount();
    ASSERT_GT(models, 0);
    int concurrentModels = 0;
    for (qint32 model = 0; model < models; ++model) {
        e.SelectProgrammerModel(model);
        const qint32 sites = e.SiteCount();
        concurrentModels += sites > 1;
        for (const qint32 handler : {0, 1, 2}) {
            data().udtHandlerType = handler;
            window->ConcurrentOperationBegan();
            ASSERT_EQ(window->GetSiteCount(), sites) << e.ProgrammerModelName().toStdString();
            for (int k = 0; k < sites; ++k) {
                QWidget* box = window->SiteBox[size_t(k)]->Control()->Widget();
                EXPECT_FALSE(box->isHidden());
                EXPECT_FALSE(box->geometry().isEmpty());
                EXPECT_TRUE(window->fraConcurrent->rect().contains(box->geometry()))
                    << e.ProgrammerModelName().toStdString() << ", handler " << handler << ", site " << k + 1;
            }
        }
    }
    EXPECT_GE(concurrentModels, 4);
}

TEST_F(StandInEngineTest, AReloadForADeviceSelectsItAndShowsItsLine)
{
    LoadAndShow();
    window->Form_Reload(true, QStringLiteral("AM27C512"));
    ASSERT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(main->QXProgrammer.DeviceName(), "AM27C512");
    data().strDeviceName = main->QXProgrammer.DeviceName();
    data().strDevicePackage = main->QXProgrammer.DeviceProperty4();
    window->SetDisplayInfo();
    EXPECT_TRUE(window->txtDevice->text().startsWith("AM27C512    ")) << window->txtDevice->text().toStdString();
    EXPECT_TRUE(window->txtDevice->text().endsWith("    DIP28")) << window->txtDevice->text().toStdString();

    window->Form_Reload(true, QStringLiteral("NO_SUCH_DEVICE"));
    EXPECT_FALSE(data().blnDeviceSelected);
}

} // namespace
