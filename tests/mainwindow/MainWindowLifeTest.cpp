// The main window's life in this process: the real start-up with the real
// companion plug-ins, a fresh registry, then the shut-down.
#include "StationTest.h"
#include "mainwindow/VersionStrings.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/Registry.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "shell/StartUp.h"
#include "shell/frmSplash.h"

#include <QLineEdit>

namespace {

// The value names of a settings section in the order they were first written.
QStringList ValueOrder(const QString& section)
{
    reg::HKEY key = 0;
    QStringList names;
    if (reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, "Software\\Corvane\\Tarvo\\" + section, &key) != reg::ERROR_SUCCESS)
        return names;
    QString name;
    for (quint32 i = 0; reg::RegEnumValue(key, i, &name) == reg::ERROR_SUCCESS; ++i)
        names << name;
    reg::RegCloseKey(key);
    return names;
}

QString Stored(const char* section, const char* name)
{
    return GetSettingValue("Tarvo", section, name, QStringLiteral("<none>")).toString();
}

using MainWindowLifeTest = StationTest;

TEST_F(MainWindowLifeTest, FirstStartShowsTheDefaultsAndTheSplashSteps)
{
    const qsizetype stepsBefore = frmSplash::StepsShown().size();
    ASSERT_TRUE(StartApplication());
    ASSERT_NE(gMainForm, nullptr);
    EXPECT_EQ(frmSplash::StepsShown().mid(stepsBefore),
              (QStringList{"Registering Components...", "Loading Algorithm Database...",
                           "Establishing Communication...", "Loading QX Engine..."}));
    EXPECT_FALSE(frmSplash::IsLoaded());
    EXPECT_TRUE(gMainForm->isVisible());
    const QString versionAndDate = GetVersionNDate(gMainForm->QXProgrammer);
    EXPECT_FALSE(versionAndDate.isEmpty());
    // The window's own caption, then the caption of the operation window
    // that fills it.
    EXPECT_EQ(gMainForm->windowTitle(), "Tarvo  " + versionAndDate + "    - [" + gMainForm->frmP->windowTitle() + "]");

    EXPECT_EQ(gMainForm->lngNumCopies, 1);
    EXPECT_EQ(gMainForm->txtNumCopies->text(), "1");
    EXPECT_TRUE(gMainForm->bHex);
    EXPECT_EQ(gMainForm->size(), QSize(9390 / 15, 6790 / 15));
    H950HdlrControl& handler = gMainForm->QXH950AutoHandler;
    EXPECT_EQ(handler.PrimarySource(), "SHUTTLE1");
    EXPECT_EQ(handler.AlternateSource(), "SHUTTLE2");
    EXPECT_EQ(handler.PrimaryDestination(), "SHUTTLE1");
    EXPECT_EQ(handler.AlternateDestination(), "SHUTTLE2");
    EXPECT_EQ(handler.Marker(), "");
    EXPECT_EQ(handler.Package(), "TSOP32");
    EXPECT_EQ(gMainForm->pgmrData().strSerialNumber, "SNH950");
    EXPECT_EQ(gMainForm->QXProgrammer.DefaultBufferByte(), 0);
    EXPECT_TRUE(gMainForm->bInitialized);
}

TEST_F(MainWindowLifeTest, ClosingWritesTheSettingsInOrder)
{
    ASSERT_TRUE(StartApplication());
    gMainForm->station().LoadQuantity(0); // a quantity below 1 with a manual handler is saved as 1
    gMainForm->QXH950AutoHandler.Package("PLCC44");
    gMainForm->close();

    EXPECT_EQ(Stored("Device", "NumDevices"), "1");
    EXPECT_EQ(Stored("H950hdlr", "Package"), "PLCC44");
    EXPECT_EQ(Stored("Settings", "ShowInHex"), "True");
    EXPECT_EQ(Stored("Configuration", "lngDefBufVal"), "0");
    const QStringList handlerOrder = ValueOrder("H950hdlr");
    EXPECT_EQ(handlerOrder.mid(0, 8),
              (QStringList{"Primary Source", "Primary Destination", "Alternate Source", "Alternate Destination",
                           "Marker", "Package", "SKAuto File Directory", "Serial Number"}));
    const QStringList settingsOrder = ValueOrder("Settings");
    const QStringList expected{"ShowInHex", "MainLeft", "MainTop", "MainWidth", "MainHeight"};
    qsizetype at = -1;
    for (const QString& name : expected) {
        const qsizetype i = settingsOrder.indexOf(name);
        EXPECT_GT(i, at) << name.toStdString();
        at = i;
    }
    EXPECT_EQ(Stored("Settings", "MainWidth"), QString::number(9390 / 15 * 15));
}

TEST_F(MainWindowLifeTest, ClosedWhileMinimizedKeepsTheSavedPlace)
{
    for (const char* name : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
        SaveSettingValue("Tarvo", "Settings", name, 1500);
    ASSERT_TRUE(StartApplication());
    gMainForm->showMinimized();
    ASSERT_TRUE(gMainForm->isMinimized());
    gMainForm->close();
    for (const char* name : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
        EXPECT_EQ(Stored("Settings", name), "1500") << name;
}

} // namespace

namespace {

// A damaged machine-wide settings file found once the station runs is set
// aside and reported in the black-box log, once.
TEST_F(MainWindowLifeTest, DamagedSettingsFileIsReportedInTheBlackBoxLog)
{
    QFile hive(registryRoot() + "/HKLM.reg");
    ASSERT_TRUE(hive.open(QIODevice::WriteOnly));
    hive.write("\x01\x02 not a settings file\n");
    hive.close();

    ASSERT_TRUE(StartApplication());
    QFile log(gMainForm->QXProgrammer.EngineDirectory() + "/DATALOG/BlackBox.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_EQ(text.count("HKLM.reg\" is damaged"), 1) << text.toStdString();
    const QStringList setAside = QDir(registryRoot()).entryList({"HKLM.reg.corrupt*"}, QDir::Files);
    EXPECT_EQ(setAside.size(), 1);
}

} // namespace
