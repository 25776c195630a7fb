// The buttons of the operation window by run state, device, Sealbook mode and
// the device's capabilities, and the summary lines with their exact texts.
#include "OperationFixture.h"

#include "operation/TabStrip.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace {

// -1: not checked in that case.
struct ButtonCase
{
    const char* title;
    bool running;
    bool device;
    bool operatorMode;
    bool hasOptions;
    const char* actionCaption;
    int action, stop, deviceButton, fileButton, options, optionsVisible, tab;
};

void PrintTo(const ButtonCase& c, std::ostream* os)
{
    *os << c.title;
}

class ButtonStates : public OperationWindowTest, public ::testing::WithParamInterface<ButtonCase>
{};

TEST_P(ButtonStates, FollowRunDeviceAndMode)
{
    const ButtonCase& c = GetParam();
    LoadAndShow();
    data().blnInAction = c.running;
    data().blnDeviceSelected = c.device;
    data().bStartInOperatorMode = c.operatorMode;
    engine->Set(QXPgmrId::DeviceSupportsRange, c.hasOptions);
    window->btnAction->setText(QString::fromLatin1(c.actionCaption));
    window->SetButtonStates();

    const auto expect = [&](int wanted, bool actual, const char* what) {
        if (wanted >= 0) {
            EXPECT_EQ(actual, wanted == 1) << c.title << ": " << what;
        }
    };
    expect(c.action, window->btnAction->isEnabled(), "Action enabled");
    expect(c.stop, window->btnStop->isEnabled(), "Stop enabled");
    expect(c.deviceButton, window->DeviceButton->isEnabled(), "Device enabled");
    expect(c.fileButton, window->FileButton->isEnabled(), "File enabled");
    expect(c.options, window->OptionsButton->isEnabled(), "Options enabled");
    expect(c.options, window->txtOptions->isEnabled(), "options line enabled");
    expect(c.optionsVisible, !window->OptionsButton->isHidden(), "Options visible");
    expect(c.optionsVisible, !window->txtOptions->isHidden(), "options line visible");
    expect(c.tab, window->tabOperation->isEnabled(), "tabs enabled");
    EXPECT_FALSE(window->btnAction->isHidden()) << c.title;
    EXPECT_FALSE(window->btnStop->isHidden()) << c.title;
    // Stop is highlighted while it can stop a run.
    const QPalette standard = QApplication::palette(window->btnStop);
    EXPECT_EQ(window->btnStop->palette().color(QPalette::Button),
              standard.color(c.running ? QPalette::Light : QPalette::Button))
        << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ButtonStates,
    ::testing::Values(
        //             title                          run    dev    op     opts   caption      act stop dev file opt optV tab
        ButtonCase{"running, Program tab", true, true, false, true, "PROGRA&M", 0, 1, 0, 0, 0, -1, 0},
        // A run in operator mode on a Read tab can still be stopped.
        ButtonCase{"running, Read tab, operator mode", true, true, true, true, "REA&D", 0, 1, 0, 0, 0, -1, 0},
        ButtonCase{"idle, Program tab", false, true, false, true, "PROGRA&M", 1, 1, 1, 1, 1, 1, 1},
        ButtonCase{"idle, Verify tab, operator mode", false, true, true, true, "VERIF&Y", 1, 1, 0, 0, 0, 1, 1},
        ButtonCase{"idle, Test tab, operator mode", false, true, true, true, "&TEST", 1, 1, 0, 0, 0, 1, 1},
        ButtonCase{"idle, Execute tab, operator mode", false, true, true, true, "&EXECUTE", 1, 1, 0, 0, 0, 1, 1},
        ButtonCase{"idle, Erase tab, operator mode", false, true, true, true, "ER&ASE", 1, 1, 0, 0, 0, 1, 1},
        ButtonCase{"idle, Read tab, operator mode", false, true, true, true, "REA&D", 0, 0, 0, 0, 0, 1, 1},
        ButtonCase{"idle, Secure tab, operator mode", false, true, true, true, "SEC&URE", 0, 0, 0, 0, 0, 1, 1},
        ButtonCase{"idle, Blank tab, supervisor mode", false, true, false, true, "B&LANK", 1, 1, 1, 1, 1, 1, 1},
        ButtonCase{"idle, device without options", false, true, false, false, "PROGRA&M", 1, 1, 1, 1, 0, 0, 1},
        // Without a device the run itself tells the operator to choose one.
        ButtonCase{"idle, no device", false, false, false, true, "PROGRA&M", 1, 1, 1, 1, 0, 0, 0},
        ButtonCase{"idle, no device, Read tab", false, false, false, true, "REA&D", 1, 1, 1, 1, 0, 0, 0}));

TEST_F(OperationWindowTest, AnyOptionCapabilityShowsTheOptionsButton)
{
    LoadAndShow();
    data().blnDeviceSelected = true;
    const int capabilities[] = {QXPgmrId::DeviceSupportsRange, QXPgmrId::DeviceSupportsSetsAndBanks,
                                QXPgmrId::DeviceSupportsTestVectors, QXPgmrId::DeviceSupportsByteOrder};
    for (int capability : capabilities) {
        for (int other : capabilities)
            engine->Set(other, other == capability);
        window->SetButtonStates();
        EXPECT_FALSE(window->OptionsButton->isHidden()) << capability;
    }
    for (int other : capabilities)
        engine->Set(other, false);
    engine->Set(QXPgmrId::ExtraCommandCount, 2); // program variants
    window->SetButtonStates();
    EXPECT_FALSE(window->OptionsButton->isHidden());
    engine->Set(QXPgmrId::ExtraCommandCount, 0);
    window->SetButtonStates();
    EXPECT_TRUE(window->OptionsButton->isHidden());
}

TEST_F(OperationWindowTest, AnInvalidCustomActionCannotRunOrStop)
{
    LoadAndShow();
    data().blnDeviceSelected = true;
    window->lngNumberOfActions = 10;
    window->udtAction = 8;
    window->cboOperation[0]->addItem(QStringLiteral("Invalid Action"), 45);
    window->SetButtonStates();
    EXPECT_FALSE(window->btnAction->isEnabled());
    EXPECT_FALSE(window->btnStop->isEnabled());

    // A valid custom action keeps what the device allows, in any mode.
    window->cboOperation[0]->setItemData(0, 300);
    data().bStartInOperatorMode = true;
    window->SetButtonStates();
    EXPECT_TRUE(window->btnAction->isEnabled());
    EXPECT_FALSE(window->btnStop->isEnabled());
}

// --- the summary lines ---

class SummaryLines : public OperationWindowTest
{
protected:
    void SetUp() override
    {
        OperationWindowTest::SetUp();
        LoadAndShow();
        engine->Set(QXPgmrId::ChecksumText, "1234h");
        data().blnBufferEmpty = false;
        data().lngFileSize = 32768;
        data().udtRadix = 1;
        window->BufferType(QStringLiteral("a.hex"), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 7)), 1);
    }
};

// A line longer than its box shows its start, the file's name, as the
// device and options lines do.
TEST_F(SummaryLines, LongLinesShowTheirStart)
{
    window->BufferType(QStringLiteral("production_pattern_revision_12_final.hex"),
                       QDateTime(QDate(2024, 3, 5), QTime(14, 5, 7)), 1);
    window->SetDisplayInfo();
    for (const QLineEdit* box : {window->txtFile, window->txtDevice, window->txtOptions}) {
        SCOPED_TRACE(box->objectName().toStdString());
        if (box == window->txtFile)
            ASSERT_GT(box->fontMetrics().horizontalAdvance(box->text()), box->width());
        EXPECT_EQ(box->cursorPosition(), 0);
    }
}

struct FileLineCase
{
    const char* title;
    std::function<void(FakeEngine&, ProgrammerClass&)> setup;
    const char* line;
};

void PrintTo(const FileLineCase& c, std::ostream* os)
{
    *os << c.title;
}

class FileLine : public SummaryLines, public ::testing::WithParamInterface<FileLineCase>
{};

TEST_P(FileLine, ShowsNameChecksumDateAndSize)
{
    GetParam().setup(*engine, data());
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtFile->text(), QString::fromLatin1(GetParam().line)) << GetParam().title;
    EXPECT_EQ(window->GetBufferInfo(), window->txtFile->text());
    EXPECT_EQ(data().dtmFileDate, QDateTime(QDate(2024, 3, 5), QTime(14, 5, 7)));
    EXPECT_TRUE(main->SaveDataPatternAs->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileLine,
    ::testing::Values(FileLineCase{"hexadecimal", [](FakeEngine&, ProgrammerClass&) {},
                                   "a.hex    CSUM = 1234h    3/5/2024 2:05:07 PM    Buffer Size = 8000h bytes"},
                      FileLineCase{"decimal", [](FakeEngine&, ProgrammerClass& d) { d.udtRadix = 0; },
                                   "a.hex    CSUM = 1234h    3/5/2024 2:05:07 PM    Buffer Size = 32768 bytes"},
                      FileLineCase{"fuses", [](FakeEngine& e, ProgrammerClass&) { e.Set(QXPgmrId::SizeInFuses, true); },
                                   "a.hex    CSUM = 1234h    3/5/2024 2:05:07 PM    Buffer Size = 32768 fuses"},
                      FileLineCase{"Vexal device",
                                   [](FakeEngine& e, ProgrammerClass&) { e.Set(QXPgmrId::DeviceIsVexal, true); },
                                   "a.hex    3/5/2024 2:05:07 PM"},
                      FileLineCase{"AFM file",
                                   [](FakeEngine& e, ProgrammerClass&) {
                                       e.Set(QXPgmrId::DataFileTypeCode, 13);
                                       e.Set(QXPgmrId::FuseChecksum, 0xABCD);
                                   },
                                   "a.hex    3/5/2024 2:05:07 PM    Fuse Checksum = ABCDh"}));

TEST_F(SummaryLines, FileLineDateAtMidnightShowsTheDateAlone)
{
    window->BufferType(QStringLiteral("b.bin"), QDateTime(QDate(2024, 12, 25), QTime(0, 0)), 1);
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtFile->text(), "b.bin    CSUM = 1234h    12/25/2024    Buffer Size = 8000h bytes");
}

TEST_F(SummaryLines, AnEmptyBufferShowsEmptyAndCannotBeSavedAs)
{
    data().blnBufferEmpty = true;
    data().blnFileLoaded = true;
    window->bBufferDirty = true;
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtFile->text(), "<Empty>");
    EXPECT_FALSE(data().blnFileLoaded);
    EXPECT_FALSE(window->bBufferDirty);
    EXPECT_FALSE(main->SaveDataPatternAs->isEnabled());
    EXPECT_EQ(window->BufferTypeGetType(), 0);
}

TEST_F(SummaryLines, DeviceLineShowsNameSizeInTheRadixAndPackage)
{
    data().blnDeviceSelected = true;
    data().strDeviceName = QStringLiteral("AT29C040");
    data().strDevicePackage = QStringLiteral("PLCC32");
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtDevice->text(), "AT29C040    80000h    PLCC32");
    EXPECT_EQ(data().strDeviceSize, "80000h");

    data().udtRadix = 0;
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtDevice->text(), "AT29C040    524288    PLCC32");

    engine->Set(QXPgmrId::TestOnlyStation, true);
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtDevice->text(), "AT29C040    PLCC32");
    engine->Set(QXPgmrId::TestOnlyStation, false);
    engine->Set(QXPgmrId::DeviceIsVexal, true);
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtDevice->text(), "AT29C040    PLCC32");

    data().blnDeviceSelected = false;
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtDevice->text(), "<None Selected>");
    EXPECT_EQ(window->GetDeviceInfo(), "<None Selected>");
}

struct OptionsCase
{
    const char* title;
    std::function<void(FakeEngine&, ProgrammerClass&)> setup;
    const char* line;
};

void PrintTo(const OptionsCase& c, std::ostream* os)
{
    *os << c.title;
}

class OptionsLine : public SummaryLines, public ::testing::WithParamInterface<OptionsCase>
{};

TEST_P(OptionsLine, ListsTheSupportedOptions)
{
    GetParam().setup(*engine, data());
    window->SetDisplayInfo();
    EXPECT_EQ(window->txtOptions->text(), QString::fromLatin1(GetParam().line)) << GetParam().title;
}

void FullRange(FakeEngine& e)
{
    e.Set(QXPgmrId::DeviceSupportsRange, true);
    e.Set(QXPgmrId::WordRangeLow, 0);
    e.Set(QXPgmrId::WordRangeHigh, 0x7FFFF);
    e.Set(QXPgmrId::DeviceSize, 0x80000);
}

void PartRange(FakeEngine& e)
{
    FullRange(e);
    e.Set(QXPgmrId::WordRangeLow, 0x100);
    e.Set(QXPgmrId::WordRangeHigh, 0x1FF);
}

void Sets(FakeEngine& e, int width, int banks, int mode)
{
    e.Set(QXPgmrId::DeviceSupportsSetsAndBanks, true);
    e.Set(QXPgmrId::SetWidth, width);
    e.Set(QXPgmrId::BankCount, banks);
    e.Set(QXPgmrId::SetMode, mode);
}

void Vectors(FakeEngine& e, int display, int x, int seed)
{
    e.Set(QXPgmrId::DeviceSupportsTestVectors, true);
    e.Set(QXPgmrId::VectorDisplayMode, display);
    e.Set(QXPgmrId::VectorXValue, x);
    e.Set(QXPgmrId::VectorSeed, seed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptionsLine,
    ::testing::Values(OptionsCase{"no options", [](FakeEngine&, ProgrammerClass&) {}, ""},
                      OptionsCase{"full range, one set of 8, little endian",
                                  [](FakeEngine& e, ProgrammerClass&) {
                                      FullRange(e);
                                      Sets(e, 8, 1, 0);
                                      e.Set(QXPgmrId::DeviceSupportsByteOrder, true);
                                  },
                                  "Range:  Full;   Set:  8 wide, 1 bank;   Mode:  Single;   Little Endian"},
                      OptionsCase{"part of the range in hexadecimal",
                                  [](FakeEngine& e, ProgrammerClass&) { PartRange(e); }, "Range:  100h - 1FFh"},
                      OptionsCase{"part of the range in decimal",
                                  [](FakeEngine& e, ProgrammerClass& d) {
                                      PartRange(e);
                                      d.udtRadix = 0;
                                  },
                                  "Range:  256 - 511"},
                      OptionsCase{"banks in sets mode", [](FakeEngine& e, ProgrammerClass&) { Sets(e, 2, 4, 1); },
                                  "Set:  2 wide,  4 banks;   Mode:  Sets"},
                      OptionsCase{"big endian",
                                  [](FakeEngine& e, ProgrammerClass&) {
                                      e.Set(QXPgmrId::DeviceSupportsByteOrder, true);
                                      e.Set(QXPgmrId::ByteOrder, 1);
                                  },
                                  "Big Endian"},
                      OptionsCase{"pseudo-random vectors with their seed",
                                  [](FakeEngine& e, ProgrammerClass&) { Vectors(e, 1, 3, 42); },
                                  "Vector Display:  All;   X Value:  Pseudo-Random;   Seed:  42"},
                      OptionsCase{"pull-up vectors, errors only",
                                  [](FakeEngine& e, ProgrammerClass&) { Vectors(e, 0, 4, 7); },
                                  "Vector Display:  Errors Only;   X Value:  Pull-Up"},
                      OptionsCase{"byte order before vectors",
                                  [](FakeEngine& e, ProgrammerClass&) {
                                      e.Set(QXPgmrId::DeviceSupportsByteOrder, true);
                                      Vectors(e, 2, 2, 0);
                                  },
                                  "Little Endian;   Vector Display:  Single Step;   X Value:  Random"}));

TEST_F(SummaryLines, SetsFrameOffersEveryPositionAndBankAndKeepsTheStoredOnesInRange)
{
    engine->Set(QXPgmrId::DeviceSupportsSetsAndBanks, true);
    engine->Set(QXPgmrId::SetWidth, 4);
    engine->Set(QXPgmrId::BankCount, 2);
    data().lngPosSingle = 7; // beyond the set width
    data().lngBankSingle = 1;
    window->SetDisplayInfo();
    ASSERT_FALSE(window->fraSets->isHidden());
    ASSERT_EQ(window->cboDatPos->count(), 4);
    EXPECT_EQ(window->cboDatPos->itemText(0), " 1");
    EXPECT_EQ(window->cboDatPos->itemText(3), " 4");
    EXPECT_EQ(window->cboDatPos->currentIndex(), 3);
    ASSERT_EQ(window->cboBankNum->count(), 2);
    EXPECT_EQ(window->cboBankNum->currentIndex(), 1);

    // One set of one bank needs no choice.
    engine->Set(QXPgmrId::SetWidth, 1);
    engine->Set(QXPgmrId::BankCount, 1);
    window->SetDisplayInfo();
    EXPECT_TRUE(window->fraSets->isHidden());
}

} // namespace
