#include "StationTest.h"

#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "shell/ComponentRegistration.h"
#include "shell/StartUp.h"

void StationTest::SetUp()
{
    TarvoTest::SetUp();
    appinfo::SetApplicationTitleForTests("Tarvo");
    SetComponentFolder(BinDir());
    SetRawCommandLineText(QString());
}

void StationTest::TearDown()
{
    if (gMainForm) {
        gMainForm->close();
        delete gMainForm;
        gMainForm = nullptr;
    }
    ReleaseInstanceLock();
    appinfo::SetApplicationTitleForTests({});
    SetComponentFolder({});
    TarvoTest::TearDown();
}
