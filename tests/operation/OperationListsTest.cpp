// What the operator sees after selecting a device of the shipped database:
// the action tabs in order and, on each tab, the option rows shown with
// their entries and operation codes, the check boxes (0, 1, 2 greyed; "off"
// when locked) and the entry each list starts on. A fresh station: nothing
// chosen before, so every list starts on its default entry.

#include "StandInWindowFixture.h"

#include "operation/OperationLists.h"

namespace {

struct TabExpectation
{
    const char* caption;
    const char* actionButton;
    QStringList rows;
};

struct DeviceCase
{
    const char* device;
    QList<TabExpectation> tabs;
};

// Row 0 of a device with continuity and ID check.
const QString kChecks = QStringLiteral(
    "Continuity=0|ID Check=2|Auto Selection=4|*Continuity & ID=6|Continuity & Auto Selection=8");
// The same with automatic continuity and selection ("Continuity" removed).
const QString kAutoChecks = QStringLiteral("Auto Continuity=35|ID Check=2|Auto Selection=4|*Continuity & ID=6|"
                                           "Continuity & Auto Selection=8|Auto Continuity & ID=36|"
                                           "Auto Continuity & Auto Selection=37");
const QString kReadChecks = QStringLiteral(
    "Continuity=1|ID Check=2|Auto Selection=4|*Continuity & ID=7|Continuity & Auto Selection=8");

QString Row(int row, const char* check, const QString& entries)
{
    return QStringLiteral("%1 [%2] %3").arg(row).arg(QLatin1String(check)).arg(entries);
}

QList<DeviceCase> Cases()
{
    return {
        {"AM27C512", // EPROM: illegal bit, single verify, no secure
         {{"&Program", "PROGRA&M",
           {Row(0, "1", kChecks), Row(1, "1", "*Blank Check=11|Illegal Bit=46"), Row(2, "2 off", "*Program=12"),
            Row(3, "1", "*Verify=13")}},
          {"&Verify", "VERIF&Y", {Row(0, "1", kChecks), Row(3, "2 off", "*Verify=13")}},
          {"&Read", "REA&D",
           {Row(0, "1", "*Clear Buffer First=32"), Row(1, "1", kReadChecks), Row(2, "2 off", "*Read=34")}},
          {"&Blank", "B&LANK", {Row(0, "1", kChecks), Row(2, "2 off", "*Blank Check=11|Illegal Bit=46")}}}},

        {"NV29F040", // flash: auto continuity and selection, verify twice, secure variants, Erase tab
         {{"&Program", "PROGRA&M",
           {Row(0, "1", kAutoChecks), Row(1, "1", "*Blank Check=11|Erase=10|Erase & Blank Check=43"),
            Row(2, "2 off", "*Program=12"), Row(3, "1", "*Verify Once=13|Verify Twice=15"),
            Row(4, "1", "*Secure(Sector Protect)=257|Secure(Chip Protect)=258")}},
          {"&Verify", "VERIF&Y", {Row(0, "1", kAutoChecks), Row(3, "2 off", "*Verify Once=14|Verify Twice=16")}},
          {"&Read", "REA&D",
           {Row(0, "1", "*Clear Buffer First=32"),
            Row(1, "1", "ID Check=2|Auto Selection=4|*Continuity & ID=7|Continuity & Auto Selection=8"),
            Row(2, "2 off", "*Read=34")}},
          {"&Blank", "B&LANK", {Row(0, "1", kAutoChecks), Row(2, "2 off", "*Blank Check=11")}},
          {"&Secure", "SEC&URE",
           {Row(0, "1", kAutoChecks), Row(4, "2 off", "*Secure(Sector Protect)=257|Secure(Chip Protect)=258")}},
          {"&Erase", "ER&ASE", {Row(0, "1", kAutoChecks), Row(1, "2 off", "*Erase=10")}}}},

        {"SL18F4550", // every standard tab, encryption, tests twice, a custom action
         {{"&Program", "PROGRA&M",
           {Row(0, "1", kChecks), Row(1, "1", "*Blank Check=11|Erase=10|Erase & Blank Check=43"),
            Row(2, "2 off", "*Program=12"),
            Row(3, "2 off",
                "*Verify Once=13|Verify Twice=15|Verify Once & Encrypt=4109|Verify Twice & Encrypt=4111|"
                "Verify Once & Test Once=19|Verify Once & Test Twice=20|Verify Twice & Test Once=21|"
                "Verify Twice & Test Twice=22|Encrypt=4096"),
            Row(4, "1",
                "*Secure(Code Protect)=257|Secure(Code + Data Protect)=258|Secure(Code Protect) & Test Once=513|"
                "Secure(Code + Data Protect) & Test Once=514|Secure(Code Protect) & Test Twice=769|"
                "Secure(Code + Data Protect) & Test Twice=770")}},
          {"&Verify", "VERIF&Y",
           {Row(0, "1", kChecks),
            Row(3, "2 off",
                "*Encrypt=4096|Verify Once=14|Verify Twice=16|Decrypt & Verify Once=8206|Decrypt & Verify Twice=8208"),
            Row(4, "1", "*Test Once=24|Test Twice=25")}},
          {"&Read", "REA&D",
           {Row(0, "1", "*Clear Buffer First=32"), Row(1, "1", kReadChecks),
            Row(2, "2 off", "*Read=34|Decrypt & Read=8226")}},
          {"&Blank", "B&LANK", {Row(0, "1", kChecks), Row(2, "2 off", "*Blank Check=11")}},
          {"T&est", "&TEST", {Row(0, "1", kChecks), Row(4, "2 off", "*Test Once=24|Test Twice=25")}},
          {"&Secure", "SEC&URE",
           {Row(0, "1", kChecks),
            Row(4, "2 off",
                "*Secure(Code Protect)=257|Secure(Code + Data Protect)=258|Secure & Test Once=41|"
                "Secure & Test Twice=42")}},
          {"&Erase", "ER&ASE", {Row(0, "1", kChecks), Row(1, "2 off", "*Erase=10")}},
          {"Calibrate", "EXECUTE",
           {Row(0, "0", "*Trim Low=1025|Trim Mid=1025|Trim High=1025"), Row(1, "1", "*Write OSCCAL=1025")}}}},

        {"KX2103-SEC", // not readable: compare and sum, test and secure, tests on the Program tab
         {{"&Program", "PROGRA&M",
           {Row(0, "1",
                "Continuity=0|Auto Continuity=35|ID Check=2|Auto Selection=4|*Continuity & ID=6|"
                "Continuity & Auto Selection=8|Auto Continuity & ID=36|Auto Continuity & Auto Selection=37"),
            Row(1, "1", "*Erase=10"), Row(2, "2 off", "*Program=12"),
            Row(3, "1", "*Verify=13|Verify & Encrypt=4109|Verify & Test Once=17|Verify & Test Twice=18|Encrypt=4096"),
            Row(4, "1",
                "*Secure(Debug Lock)=257|Secure(Full Lock)=258|Test Once=24|Test Twice=25|"
                "Secure(Debug Lock) & Test Once=513|Secure(Full Lock) & Test Once=514|"
                "Secure(Debug Lock) & Test Twice=769|Secure(Full Lock) & Test Twice=770")}},
          {"&Verify", "VERIF&Y",
           {Row(0, "1",
                "Continuity=0|Auto Continuity=35|ID Check=2|Auto Selection=4|*Continuity & ID=6|"
                "Continuity & Auto Selection=8|Auto Continuity & ID=36|Auto Continuity & Auto Selection=37"),
            Row(3, "2 off", "*Compare=38|Decrypt & Compare=8230|Encrypt=4096|Sum=39|Verify=13|Decrypt & Verify=8206"),
            Row(4, "1",
                "*Secure(Debug Lock)=257|Secure(Full Lock)=258|Test Once=24|Test Twice=25|Test Once & Secure=31|"
                "Test Twice & Secure=44")}},
          {"T&est", "&TEST", {}},
          {"&Secure", "SEC&URE", {}},
          {"&Erase", "ER&ASE", {}}}},

        {"AX3P030", // antifuse: no Verify tab (VerifySupport 2), the blank step forced, single tests
         {{"&Program", "PROGRA&M",
           {Row(0, "1", "*Continuity=0"), Row(1, "2 off", "*Blank Check=11"), Row(2, "2 off", "*Program=12"),
            Row(3, "1", "*Verify=13|Verify & Test=17"), Row(4, "1", "*Secure=23|Test=24|Secure & Test=41")}},
          {"&Blank", "B&LANK", {Row(0, "1", "*Continuity=0"), Row(2, "2 off", "*Blank Check=11")}},
          {"T&est", "&TEST", {Row(0, "1", "*Continuity=0"), Row(4, "2 off", "*Test=24")}},
          {"&Secure", "SEC&URE", {Row(0, "1", "*Continuity=0"), Row(4, "2 off", "*Secure=23|Secure & Test=41")}}}},

        {"LT74HC245", // test vectors only: no Program tab
         {{"T&est", "&TEST", {Row(0, "1", "*Continuity=0"), Row(4, "2 off", "*Test=24")}}}},

        {"STAPL ISP Device", // named actions as program variants: the Execute tab
         {{"&Program", "&EXECUTE",
           {Row(0, "1", "*Continuity=0"), Row(1, "2 off", "*Blank Check=11|Erase=10|Erase & Blank Check=43"),
            Row(2, "2 off", "*Program=1024|Verify=1025|Erase=1026|Read Usercode=1027"),
            Row(3, "2 off", "*Verify=13")}},
          {"&Verify", "VERIF&Y", {Row(0, "1", "*Continuity=0"), Row(3, "2 off", "*Verify=13")}},
          {"&Blank", "B&LANK", {Row(0, "1", "*Continuity=0"), Row(2, "2 off", "*Blank Check=11")}},
          {"&Erase", "ER&ASE", {Row(0, "1", "*Continuity=0"), Row(1, "2 off", "*Erase=10")}}}},

        {"VX-SEC32", // Vexal: P_Check only with -Vexal; the Verify tab hides its secure/test row
         {{"&Program", "&EXECUTE",
           {Row(0, "1", kChecks), Row(1, "1", "*Blank Check=11|Erase=10|Erase & Blank Check=43"),
            Row(2, "2 off", "*Program=1024|Vexal_ChkSum=1025"), Row(3, "1", "*Verify=13|Verify & Test=17"),
            Row(4, "1",
                "*Secure(Lock A)=257|Secure(Lock B)=258|Test=24|Secure(Lock A) & Test=513|Secure(Lock B) & Test=514")}},
          {"&Verify", "VERIF&Y", {Row(0, "1", kChecks), Row(3, "2 off", "*Verify=13")}},
          {"&Blank", "B&LANK", {Row(0, "1", kChecks), Row(2, "2 off", "*Blank Check=11")}},
          {"T&est", "&TEST", {Row(0, "1", kChecks), Row(4, "2 off", "*Test=24")}},
          {"&Secure", "SEC&URE",
           {Row(0, "1", kChecks), Row(4, "2 off", "*Secure(Lock A)=257|Secure(Lock B)=258|Secure & Test=41")}},
          {"&Erase", "ER&ASE", {Row(0, "1", kChecks), Row(1, "2 off", "*Erase=10")}}}},

        {"KS85T", // custom actions: optional, recommended, all required
         {{"&Program", "PROGRA&M",
           {Row(0, "1", "ID Check=2|Auto Selection=4|*Continuity & ID=6|Continuity & Auto Selection=8"),
            Row(1, "1", "*Blank Check=11|Erase=10|Erase & Blank Check=43"), Row(2, "2 off", "*Program=12"),
            Row(3, "1", "*Verify=13"), Row(4, "1", "*Secure=23")}},
          {"&Verify", "VERIF&Y", {}},
          {"&Read", "REA&D", {}},
          {"&Blank", "B&LANK", {}},
          {"&Secure", "SEC&URE", {}},
          {"&Erase", "ER&ASE", {}},
          {"Fuse Blow", "EXECUTE", {Row(0, "0", "*Blow Fuse A=1025|Blow Fuse B=1025")}},
          {"Check", "EXECUTE", {Row(0, "1", "*Read Signature=1025")}},
          {"Lock Bits", "EXECUTE", {Row(0, "2 off", "*No Optional Procs=0")}}}},
    };
}

class OperationListsTest : public StandInWindowTest
{
};

TEST_F(OperationListsTest, EachDeviceShowsItsTabsRowsEntriesAndDefaults)
{
    LoadAndShow();
    for (const DeviceCase& device : Cases()) {
        SCOPED_TRACE(device.device);
        ASSERT_TRUE(window->SelectDevice(QLatin1String(device.device)));
        QStringList captions;
        for (const TabExpectation& tab : device.tabs)
            captions << QLatin1String(tab.caption);
        ASSERT_EQ(Tabs(), captions);
        for (int i = 0; i < device.tabs.size(); ++i) {
            const TabExpectation& tab = device.tabs.at(i);
            SCOPED_TRACE(tab.caption);
            Visit(i + 1);
            EXPECT_EQ(window->btnAction->text(), QLatin1String(tab.actionButton));
            // An empty list of rows: the tab is listed for its caption only.
            if (!tab.rows.isEmpty()) {
                EXPECT_EQ(Rows(), tab.rows);
            }
        }
        // Back to the first tab for the next device.
        Visit(1);
    }
}

TEST_F(OperationListsTest, NoDeviceGivesTheNotApplicableTabWithoutRows)
{
    LoadAndShow();
    EXPECT_EQ(Tabs(), QStringList{QStringLiteral("N/A")});
    EXPECT_EQ(window->udtAction, 0);
    EXPECT_EQ(Rows(), QStringList());
    EXPECT_EQ(window->txtDevice->text(), QStringLiteral("<None Selected>"));
}

TEST_F(OperationListsTest, AHandlerLeavesOutTheAutomaticContinuityEntries)
{
    LoadAndShow();
    data().udtHandlerType = 1;
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("NV29F040")));
    EXPECT_EQ(Rows().value(0),
              Row(0, "1", "ID Check=2|Auto Selection=4|*Continuity & ID=6|Continuity & Auto Selection=8"));
}

TEST_F(OperationListsTest, ATestFirstStationTestsOnItsFirstTabWithTheProgramRowLocked)
{
    LoadAndShow();
    engine().SelectProgrammerModel(qint32(9)); // "RT-900/Test"
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("SL18F4550")));
    // Its first tab is the test tab, so the device's own Test tab is not
    // offered a second time.
    EXPECT_EQ(Tabs(), (QStringList{"Te&st", "&Verify", "&Read", "&Blank", "&Secure", "&Erase", "Calibrate"}));
    EXPECT_EQ(window->btnAction->text(), QStringLiteral("&TEST"));
    EXPECT_EQ(Rows().value(2), Row(2, "1 off", "{list off} *Program=12"));
}

TEST_F(OperationListsTest, TheBiosFlashRunSelectsTheFlashVariant)
{
    LoadAndShow();
    // Outside the flash run the operator's default is the first variant.
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("Corvane Diagnostics")));
    EXPECT_EQ(Rows(), QStringList{Row(2, "2 off", "*Self Test=1024|Flash=1025")});

    gbVexalMode = true; // P_Check is offered after Flash
    gbFlashBiosRun = true;
    const bool selected = window->SelectDevice(QStringLiteral("Vexal Diagnostics"));
    gbFlashBiosRun = false;
    gbVexalMode = false;
    ASSERT_TRUE(selected);
    EXPECT_EQ(Rows(), QStringList{Row(2, "2 off", "Self Test=1024|*Flash=1025|P_Check=1026")});
}

} // namespace
