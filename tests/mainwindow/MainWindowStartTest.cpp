// The main window's load and the second half of start-up as the engine sees
// them: which calls, in which order, with which arguments; the device list
// run that closes the station; the edition's
// captions; the saved place of the window.
#include "MainWindowFixture.h"

#include "mainwindow/WindowPlacement.h"
#include "platform/AppInfo.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace {

using MainWindowStartTest = MainWindowTest;

// The expected calls appear in the recorded ones in this order (others may
// come between them). An expected call ending in "*" matches any call that
// begins with the rest.
::testing::AssertionResult InOrder(const QStringList& recorded, const QStringList& expected)
{
    qsizetype at = 0;
    for (const QString& e : expected) {
        const bool prefix = e.endsWith('*');
        const QString want = prefix ? e.chopped(1) : e;
        while (at < recorded.size() && !(prefix ? recorded[at].startsWith(want) : recorded[at] == want))
            ++at;
        if (at == recorded.size())
            return ::testing::AssertionFailure() << "\"" << e.toStdString() << "\" not found in order in:\n"
                                                 << recorded.join('\n').toStdString();
        ++at;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(MainWindowStartTest, LoadAndStartUpCallTheEngineInOrder)
{
    ASSERT_TRUE(start());
    EXPECT_TRUE(InOrder(engine.All(),
                        {
                            "SoftwareVersion=*",
                            "StartupValue108=" + appinfo::ProgramFolder(),
                            "LoadAlgorithmDatabase(qxalg.db)",
                            "DefaultBufferByte=0",
                            "InitializeEngine194(1)",
                            "ShowErrorMessages",
                            "ShowErrorMessages=0",
                            "RefreshState202(0, 0, 0)",
                            "ShowErrorMessages=*",
                            "IsVexalMode",
                            // A fresh installation gives the engine a word range of 0 to 0.
                            "WordRangeLow=0",
                            "WordRangeHigh=0",
                            "SetMainWindowHandle(*",
                            "PortIndex",
                            "VexalCommandLine=0",
                            "SerializationCall246(" + QDir::currentPath() + ")",
                        }));
    // Only a device list run tells the engine the window is ready before the
    // database loads.
    EXPECT_TRUE(engine.Calls({QXPgmrId::SetGuiReady}).isEmpty());
}

TEST_F(MainWindowStartTest, DeviceListRunWritesTheListClosesTheStationAndLoadsNoDataPattern)
{
    const QString list = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Corvane/QXEngine/DeviceList.txt");
    // A data pattern that does not exist: loading it would show a box the
    // script does not answer.
    EXPECT_FALSE(start("-GenerateDeviceList -prog_file pattern.hex"));
    EXPECT_EQ(LastStartUpOutcome(), StartUpOutcome::Ended);
    EXPECT_EQ(gMainForm, nullptr);
    EXPECT_TRUE(ui().Shown().isEmpty()) << ui().Shown().join('\n').toStdString();
    EXPECT_TRUE(InOrder(engine.All(),
                        {"SetGuiReady(-1)", "LoadAlgorithmDatabase(qxalg.db)", "GenerateDeviceList()", "ShutDown()"}));
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readLine().startsWith("Manufacturer\tDevice\tPackage\tType"));
}

TEST_F(MainWindowStartTest, ADeviceListThatCannotBeWrittenEndsStartUpAsAFailureAndIsLogged)
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Corvane/QXEngine");
    // A folder where the list would go: the engine cannot write it.
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/DeviceList.txt")));
    EXPECT_FALSE(start("-GenerateDeviceList"));
    EXPECT_EQ(LastStartUpOutcome(), StartUpOutcome::Failed);
    EXPECT_EQ(gMainForm, nullptr);
    QFile log(folder + QStringLiteral("/DATALOG/BlackBox.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("The device list was not generated: "));
}

TEST_F(MainWindowStartTest, AMissingCommandLineDataPatternIsToldAndNotLoaded)
{
    ui().Answer(vb::vbOK);
    ASSERT_TRUE(start("-prog_file pattern.hex"));
    EXPECT_TRUE(ui().Shown().filter("File Name Error\tYou must select a valid data pattern file!").size() == 1);
    EXPECT_FALSE(gMainForm->frmP->pgmrData().blnFileLoaded);
    EXPECT_TRUE(GetCmdLineDataFile().isEmpty());
}

TEST_F(MainWindowStartTest, TheSavedWordRangeGoesToTheEngineUnlessADeviceIsNamed)
{
    for (const bool deviceNamed : {false, true}) {
        SCOPED_TRACE(deviceNamed);
        SaveSettingValue("Tarvo", "Configuration", "lngLowWordRange", 16);
        SaveSettingValue("Tarvo", "Configuration", "lngHighWordRange", 32);
        engine.calls.clear();
        ASSERT_TRUE(start(deviceNamed ? "-device NO_SUCH" : ""));
        const QStringList range = engine.Calls({QXPgmrId::WordRangeLow, QXPgmrId::WordRangeHigh});
        if (deviceNamed)
            EXPECT_FALSE(range.contains("WordRangeLow=16")) << range.join('\n').toStdString();
        else
            EXPECT_TRUE(InOrder(range, {"WordRangeLow=16", "WordRangeHigh=32"}));
        gMainForm->close();
        delete gMainForm;
        gMainForm = nullptr;
        ReleaseInstanceLock();
    }
}

// --- InitializeGui ---

struct InitCase
{
    const char* name;
    qint32 port;            // the engine's PortIndex
    bool operatorMode;      // the engine's SealbookSetting211
    bool concurrent;        // the engine's IsConcurrentProgrammer
    qint32 handler;         // the job configuration's handler type
    bool autoLoad;          // automatic job loading
    const char* jobName;    // the last job
    const char* cmdLineJob; // "-SK"
    const char* jobType;    // what the Sealbook file says it is
    QStringList calls;
    QStringList statusLines;
    const char* box; // title of the box shown, if any
};
void PrintTo(const InitCase& c, std::ostream* os)
{
    *os << c.name;
}

// The engine options in their order, for a novice (or not) operator with the
// beep and the memory check on.
QStringList Options(bool novice)
{
    return {QStringLiteral("RunOption60=%1").arg(novice ? -1 : 0), "ToolsOption66=-1", "StartupCall277(0)",
            "ToolsOption327=-1", "ToolsOption68=0"};
}
const QStringList kSealbookSetting{"PortIndex", "SealbookSetting211"};
const QStringList kDemoSealbook{"PortIndex", "ChangeSealbookPassword(, secret)", "SealbookConfigure210(0, secret, -1)"};
// The mode switch redraws the caption, which names the port.
const QStringList kCaption{"PortIndex"};
const QStringList kReadJobType{"OpenSealbookFile(job.sk)", "ReadSealbookValue(JobInfo, QXType, )",
                               "CloseSealbookFile()"};

class InitializeGuiTest : public MainWindowTest, public ::testing::WithParamInterface<InitCase>
{};

TEST_P(InitializeGuiTest, TakesItsStepsInOrder)
{
    const InitCase& c = GetParam();
    engine.answers[QXPgmrId::PortIndex] = c.port;
    engine.answers[QXPgmrId::SealbookSetting211] = VbBool(c.operatorMode);
    engine.answers[QXPgmrId::IsConcurrentProgrammer] = VbBool(c.concurrent);
    engine.answers[QXPgmrId::ReadSealbookValue] = QString::fromLatin1(c.jobType);
    // The engine opens the named job file.
    engine.answers[QXPgmrId::OpenSealbookFile] = 0;
    // The last job loads (the engine's own job files are tested with it).
    engine.answers[QXPgmrId::LoadJobFile] = 0;
    ASSERT_TRUE(start());
    // InitializeGui runs before start-up has ended.
    gMainForm->bInitialized = false;

    ProgrammerClass& data = gMainForm->pgmrData();
    data.strOperatorPwd = "secret";
    data.bEnableMarkEditor = true;
    data.bStartInOperatorMode = false;
    data.udtHandlerType = c.handler;
    data.bAutoLoadJob = c.autoLoad;
    data.strJobName = QString::fromLatin1(c.jobName);
    data.bNoviceMode = true;
    data.bBeepOn = true;
    data.bMatchChipPinAndSocket = false;
    data.bMemoryIntegrityCheck = true;
    data.bElapsedTime = false;
    data.lngMasterSiteID = 3;
    gCmdLineJobFile = QString::fromLatin1(c.cmdLineJob);
    if (c.box)
        ui().Answer(vb::vbOK);
    const qsizetype boxesBefore = ui().Shown().size();
    engine.calls.clear();
    operationWindow().cboStatus->clear();

    gMainForm->InitializeGui();
    gCmdLineJobFile.clear();

    using namespace QXPgmrId;
    EXPECT_EQ(engine
                  .Calls({PortIndex, SealbookSetting211, ChangeSealbookPassword, SealbookConfigure210, LoadJobFile,
                          RunOption60, ToolsOption66, StartupCall277, ToolsOption327, ToolsOption68, OpenSealbookFile,
                          ReadSealbookValue, CloseSealbookFile, IsConcurrentProgrammer, MasterSite, SelectMasterSite})
                  .join('\n')
                  .toStdString(),
              c.calls.join('\n').toStdString());
    EXPECT_EQ(statusLines(), c.statusLines);
    const QStringList boxes = ui().Shown().mid(boxesBefore);
    if (c.box) {
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].section('\t', 0, 0), QString::fromLatin1(c.box));
    } else {
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    }
    EXPECT_TRUE(gMainForm->bInitialized);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InitializeGuiTest,
    ::testing::Values(
        // The demo port: the engine takes the locked-job settings; no master
        // site even for a concurrent programmer.
        InitCase{"DemoPort",
                 0,
                 false,
                 true,
                 0,
                 false,
                 "",
                 "",
                 "",
                 kDemoSealbook + kCaption + Options(true) + QStringList{"IsConcurrentProgrammer"},
                 {},
                 nullptr},
        // A programmer keeps its own; a concurrent one gets its master
        // module, whose first site the engine makes the master site.
        InitCase{"ConcurrentProgrammer",
                 1,
                 false,
                 true,
                 0,
                 false,
                 "",
                 "",
                 "",
                 kSealbookSetting + kCaption + Options(true)
                     + QStringList{"IsConcurrentProgrammer", "SelectMasterSite(3)"},
                 {},
                 nullptr},
        InitCase{"AutomaticHandlerIsNeverNovice",
                 1,
                 false,
                 false,
                 1,
                 false,
                 "",
                 "",
                 "",
                 kSealbookSetting + kCaption + Options(false) + QStringList{"IsConcurrentProgrammer"},
                 {},
                 nullptr},
        InitCase{"NoPreviousJob",
                 1,
                 true,
                 false,
                 0,
                 true,
                 "",
                 "",
                 "",
                 kSealbookSetting + kCaption + Options(true) + QStringList{"IsConcurrentProgrammer"},
                 {"No job file was selected in previous launches! Cannot load any job!"},
                 nullptr},
        InitCase{"PreviousJobInOperatorMode",
                 1,
                 true,
                 false,
                 0,
                 true,
                 "last.qx",
                 "",
                 "",
                 kSealbookSetting
                     + QStringList{"OpenSealbookFile(last.qx)", "CloseSealbookFile()", "LoadJobFile(last.qx)"}
                     + kCaption + Options(true) + QStringList{"IsConcurrentProgrammer"},
                 {"Job last.qx loaded."},
                 nullptr},
        InitCase{"PreviousJobOnlyInOperatorMode",
                 1,
                 false,
                 false,
                 0,
                 true,
                 "last.qx",
                 "",
                 "",
                 kSealbookSetting + kCaption + Options(true) + QStringList{"IsConcurrentProgrammer"},
                 {},
                 nullptr},
        InitCase{"AutoFileWithAManualHandler",
                 1,
                 false,
                 false,
                 0,
                 false,
                 "",
                 "job.sk",
                 "SKAuto",
                 kSealbookSetting + kCaption + Options(true) + kReadJobType + QStringList{"IsConcurrentProgrammer"},
                 {},
                 "Mode Error"},
        InitCase{"AutoFileWithAnAutomaticHandler",
                 1,
                 false,
                 false,
                 2,
                 false,
                 "",
                 "job.sk",
                 "SKAuto",
                 kSealbookSetting + kCaption + Options(false) + kReadJobType
                     + QStringList{"OpenSealbookFile(job.sk)", "ReadSealbookValue(JobInfo, QXType, )",
                                   "ReadSealbookValue(JobInfo, Note, , 2, -1)",
                                   "ReadSealbookValue(JobInfo, SKFileName, , 2, -1)", "CloseSealbookFile()",
                                   "IsConcurrentProgrammer"},
                 {"Loading job.sk...", "Failed to load job.sk."},
                 nullptr},
        // The job load opens the file once more to learn its version (an
        // older locked file is checked before the engine takes it).
        InitCase{"SealbookFile",
                 1,
                 false,
                 false,
                 0,
                 false,
                 "",
                 "job.sk",
                 "SK",
                 kSealbookSetting + kCaption + Options(true) + kReadJobType
                     + QStringList{"OpenSealbookFile(job.sk)", "CloseSealbookFile()", "LoadJobFile(job.sk)"} + kCaption
                     + QStringList{"IsConcurrentProgrammer"},
                 {},
                 nullptr},
        // Not taken, but told.
        InitCase{"FileOfAnotherKind",
                 1,
                 false,
                 false,
                 0,
                 false,
                 "",
                 "job.sk",
                 "Other",
                 kSealbookSetting + kCaption + Options(true) + kReadJobType + QStringList{"IsConcurrentProgrammer"},
                 {"Failed to load job.sk: its job type \"Other\" is not known."},
                 nullptr}),
    [](const ::testing::TestParamInfo<InitCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowStartTest, ALastJobTheEngineRefusesIsToldAsNotLoaded)
{
    for (const qint32 answer : {0, 50}) {
        SCOPED_TRACE(answer);
        engine.answers[QXPgmrId::PortIndex] = 1;
        engine.answers[QXPgmrId::SealbookSetting211] = VbBool(true);
        engine.answers[QXPgmrId::LoadJobFile] = answer;
        ASSERT_TRUE(start());
        gMainForm->bInitialized = false;
        ProgrammerClass& data = gMainForm->pgmrData();
        data.bAutoLoadJob = true;
        data.strJobName = QStringLiteral("last.qx");
        operationWindow().cboStatus->clear();

        gMainForm->InitializeGui();
        const QStringList lines = statusLines();
        EXPECT_EQ(lines.contains("Job last.qx loaded."), answer == 0) << lines.join('\n').toStdString();
        EXPECT_EQ(lines.contains("Failed to load last.qx."), answer != 0) << lines.join('\n').toStdString();
        gMainForm->close();
    }
}

TEST_F(MainWindowStartTest, TheModeErrorBoxSaysHowToLoadAnAutoFile)
{
    engine.answers[QXPgmrId::ReadSealbookValue] = QStringLiteral("SKAuto");
    engine.answers[QXPgmrId::OpenSealbookFile] = 0;
    ui().Answer(vb::vbOK);
    ASSERT_TRUE(start("-SK job.sk"));
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_EQ(ui().Shown()[0].section('\t', 0, 2).toStdString(),
              QStringLiteral("Mode Error\tThis is a Sealbook File for auto handler. Please use File/Configure to "
                             "switch to H950 Mode and load the\\r\\nSealbook Auto file from the H950 handler "
                             "window.\t%1")
                  .arg(vb::vbCritical)
                  .toStdString());
}

// --- the edition's captions ---

TEST_F(MainWindowStartTest, HelpMenuAndCaptionNameTheEdition)
{
    struct Case
    {
        const char* title;
        const char* about;
        const char* help;
    };
    for (const Case c : {Case{"Tarvo", "&About Tarvo...", "Tarvo &Help..."},
                         Case{"Chiselo", "&About Chiselo...", "Chiselo &Help..."}}) {
        SCOPED_TRACE(c.title);
        appinfo::SetApplicationTitleForTests(QString::fromLatin1(c.title));
        ASSERT_TRUE(start());
        EXPECT_EQ(gMainForm->mnuHelpAbout->text(), c.about);
        EXPECT_EQ(gMainForm->mnuTarvoHelp->text(), c.help);
        EXPECT_TRUE(gMainForm->windowTitle().startsWith(QString::fromLatin1(c.title) + "  V"))
            << gMainForm->windowTitle().toStdString();
        gMainForm->close();
        delete gMainForm;
        gMainForm = nullptr;
        ReleaseInstanceLock();
    }
}

// --- the saved place of the window ---

TEST(WindowPlacementTest, ASavedPlaceOffEveryScreenMovesOntoThePrimaryOne)
{
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    const QSize window(626, 452);
    struct Case
    {
        QPoint saved;
        QPoint placed;
    };
    for (const Case c : {
             Case{{100, 50}, {100, 50}},      // on the primary screen
             Case{{2000, 900}, {2000, 900}},  // on the second screen
             Case{{1900, 10}, {1900, 10}},    // across the two screens
             Case{{3150, 10}, {1294, 10}},    // only its corner on the second screen
             Case{{-5000, -3000}, {0, 0}},    // left of and above every screen
             Case{{4000, 2000}, {1294, 628}}, // right of and below every screen
             Case{{1000, 1100}, {1000, 628}}, // below the primary screen
         }) {
        SCOPED_TRACE(testing::Message() << c.saved.x() << "," << c.saved.y());
        EXPECT_EQ(PlaceOnScreens(c.saved, window, {left, right}, left), c.placed);
    }
    // A window larger than the screen keeps its corner on it.
    EXPECT_EQ(PlaceOnScreens({-50, -50}, {3000, 2000}, {left}, left), QPoint(0, 0));
}

TEST_F(MainWindowStartTest, AWindowSavedOffTheScreenOpensOnThePrimaryScreen)
{
    SaveSettingValue("Tarvo", "Settings", "MainLeft", -300000);
    SaveSettingValue("Tarvo", "Settings", "MainTop", 300000);
    ASSERT_TRUE(start());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(gMainForm->pos())) << gMainForm->x() << "," << gMainForm->y();
}

} // namespace

namespace {

// A device named on the command line that the engine does not know is told
// in a status line, and every status line reaches the black-box log and, in
// the OEM edition, the export log.
TEST_F(MainWindowStartTest, AnUnknownCommandLineDeviceIsInBothLogs)
{
    appinfo::SetApplicationTitleForTests(QStringLiteral("Chiselo"));
    const QString exportLog = tempPath(QStringLiteral("export")) + QStringLiteral("/x.log");
    ASSERT_TRUE(start("-log " + exportLog + " -device NO_SUCH"));
    const QString line = QStringLiteral("Invalid command line specified device NO_SUCH");
    ASSERT_TRUE(statusLines().contains(line)) << statusLines().join('\n').toStdString();

    const auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    const QString blackBox = gMainForm->QXProgrammer.EngineDirectory() + QStringLiteral("/DATALOG/BlackBox.log");
    // Until the operation window sends its status lines to the logs, there is
    // nothing to find there.
    operationWindow().AddStatusTextLine(QStringLiteral("status line probe"));
    if (!read(blackBox).contains(QLatin1String("status line probe")))
        GTEST_SKIP() << "status lines do not reach the black-box log yet";

    EXPECT_TRUE(read(blackBox).contains(line)) << read(blackBox).toStdString();
    EXPECT_TRUE(read(exportLog).contains(line)) << read(exportLog).toStdString();
    // The export log starts with this run's command line.
    EXPECT_TRUE(read(exportLog).startsWith(QStringLiteral("Command Line: -log ") + exportLog));
}

} // namespace
