// Each device dialog through its controls, opened as the device options
// window opens it, against the writes the engine records.

#include "DeviceDialogFixture.h"

#include "device/DeviceDialogs.h"
#include "device/frmByteOrder.h"
#include "device/frmChecksum.h"
#include "device/frmDeviceArray.h"
#include "device/frmDeviceBufferSettings.h"
#include "device/frmDeviceConfigure.h"
#include "device/frmDeviceRange.h"
#include "device/frmDeviceVector.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using namespace QXPgmrId;

QStringList List(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

class DeviceDialogsTest : public DeviceDialogTest
{
protected:
    void SetUp() override
    {
        DeviceDialogTest::SetUp();
        options = std::make_unique<frmDeviceConfigure>(main->station(), main);
        engine->TakeWrites();
    }
    void TearDown() override
    {
        options.reset();
        DeviceDialogTest::TearDown();
    }
    std::unique_ptr<frmDeviceConfigure> options;
};

// --- address range ---

TEST_F(DeviceDialogsTest, RangeLoadsAutomaticRangeAsTheWholeDeviceWithNoOffset)
{
    engine->Set(DeviceSupportsAutoRange, true);
    engine->Set(AutoRange, true);
    engine->Set(BufferOffset, 32);
    engine->Set(WordRangeHigh, 100);
    OnDialog<frmDeviceRange>([](frmDeviceRange& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Device Range"));
        EXPECT_TRUE(d.chkAutoRange->isChecked());
        EXPECT_TRUE(d.chkEntireFile->isChecked());
        EXPECT_FALSE(d.chkEntireFile->isEnabled());
        EXPECT_EQ(d.txtBufferOffset->text(), QStringLiteral("0"));
        EXPECT_FALSE(d.txtBufferOffset->isEnabled());
        EXPECT_FALSE(d.lblBufferOffset->isEnabled());
        EXPECT_EQ(d.txtLowAddr->text(), QStringLiteral("0"));
        EXPECT_EQ(d.txtHighAddr->text(), QStringLiteral("65535"));
        EXPECT_FALSE(d.txtLowAddr->isEnabled());
    });
    options->btnRange_Click();
}

TEST_F(DeviceDialogsTest, RangeOkWritesAutomaticRangeAndRadixBeforeTheRange)
{
    struct Case
    {
        bool automatic;
        QStringList writes;
    };
    const Case cases[] = {
        {true,
         List({"AutoRange=-1", "RangeFlag79=0", "DisplayRadix=1", "WordRangeLow=0", "WordRangeHigh=65535",
               "BufferOffset=0"})},
        {false, List({"AutoRange=0", "DisplayRadix=1", "WordRangeLow=0", "WordRangeHigh=4095", "BufferOffset=0"})},
    };
    for (const Case& c : cases) {
        engine->Set(DeviceSupportsAutoRange, true);
        engine->Set(AutoRange, false);
        engine->Set(DisplayRadix, 1);
        engine->Set(WordRangeLow, 0);
        engine->Set(WordRangeHigh, 0xFFF);
        data().udtRadix = 0;
        QStringList writes;
        OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
            EXPECT_TRUE(d.btnHexadecimal->isChecked());
            EXPECT_EQ(d.txtHighAddr->text(), QStringLiteral("FFF"));
            if (c.automatic)
                d.chkAutoRange->click();
            d.OKButton->click();
            writes = engine->TakeWrites();
        });
        options->btnRange_Click();
        EXPECT_EQ(writes, c.writes) << c.automatic;
        EXPECT_EQ(data().udtRadix, 1) << c.automatic;
    }
}

TEST_F(DeviceDialogsTest, RangeWithoutAutomaticRangeNeverWritesIt)
{
    engine->Set(DeviceSupportsAutoRange, false);
    engine->Set(AutoRange, true);
    QStringList writes;
    OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
        EXPECT_FALSE(d.chkAutoRange->isChecked());
        EXPECT_FALSE(d.chkAutoRange->isEnabled());
        d.txtLowAddr->setText(QStringLiteral("16"));
        d.txtHighAddr->setText(QStringLiteral("255"));
        d.txtBufferOffset->setText(QStringLiteral("8"));
        d.OKButton->click();
        writes = engine->TakeWrites();
    });
    options->btnRange_Click();
    EXPECT_EQ(writes, List({"DisplayRadix=0", "WordRangeLow=16", "WordRangeHigh=255", "BufferOffset=8"}));
}

TEST_F(DeviceDialogsTest, RangeEntireDeviceFillsAndLocksTheAddresses)
{
    engine->Set(DisplayRadix, 1);
    engine->Set(WordRangeLow, 0x10);
    engine->Set(WordRangeHigh, 0x20);
    QStringList writes;
    OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
        d.chkEntireFile->click();
        EXPECT_EQ(d.txtLowAddr->text(), QStringLiteral("0"));
        EXPECT_EQ(d.txtHighAddr->text(), QStringLiteral("FFFF"));
        EXPECT_FALSE(d.txtHighAddr->isEnabled());
        d.chkEntireFile->click();
        EXPECT_TRUE(d.txtHighAddr->isEnabled());
        EXPECT_EQ(d.txtHighAddr->text(), QStringLiteral("FFFF"));
        // A range typed over the whole device checks the box before writing.
        d.chkEntireFile->click();
        d.chkEntireFile->click();
        d.txtLowAddr->setText(QStringLiteral("0"));
        d.OKButton->click();
        EXPECT_TRUE(d.chkEntireFile->isChecked());
        writes = engine->TakeWrites();
    });
    options->btnRange_Click();
    EXPECT_EQ(writes, List({"DisplayRadix=1", "WordRangeLow=0", "WordRangeHigh=65535", "BufferOffset=0"}));
}

TEST_F(DeviceDialogsTest, RangeRefusedByTheEngineShowsItsRangeAndWritesNothing)
{
    offsetInRange = false;
    correctedLow = 16;
    correctedHigh = 100;
    QStringList writes;
    OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
        d.txtHighAddr->setText(QStringLiteral("70000"));
        d.OKButton->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(d.txtLowAddr->text(), QStringLiteral("16"));
        EXPECT_EQ(d.txtHighAddr->text(), QStringLiteral("100"));
        writes = engine->TakeWrites();
    });
    options->btnRange_Click();
    EXPECT_TRUE(writes.isEmpty()) << writes.join(' ').toStdString();
    // The nearest addresses in the boxes say it: no box.
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('\n').toStdString();
}

TEST_F(DeviceDialogsTest, RangeAboveTheLargestAddressIsRefusedBeforeTheEngineIsAsked)
{
    engine->Set(DisplayRadix, 1);
    QStringList writes;
    OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
        d.txtBufferOffset->setText(QStringLiteral("10000000")); // eight digits pass as typed
        ui().Answer(vb::vbOK);
        d.OKButton->click();
        writes = engine->TakeWrites();
    });
    options->btnRange_Click();
    EXPECT_EQ(rangeQuestions, 0);
    EXPECT_TRUE(writes.isEmpty());
    EXPECT_EQ(Boxes(),
              QStringList{QStringLiteral("Out of Range Error|You must enter a value between 0 and 268435455")});
}

TEST_F(DeviceDialogsTest, RangeOkFailingHalfWayPutsBackWhatItWrote)
{
    engine->Set(WordRangeHigh, 1000);
    data().udtRadix = 1;
    engine->Set(DisplayRadix, 0);
    QStringList writes;
    OnDialog<frmDeviceRange>([&](frmDeviceRange& d) {
        d.txtHighAddr->setText(QStringLiteral("100"));
        engine->failing.insert(BufferOffset);
        ui().Answer(vb::vbOK);
        d.OKButton->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        engine->failing.clear();
        writes = engine->TakeWrites();
    });
    options->btnRange_Click();
    EXPECT_EQ(writes,
              List({"DisplayRadix=0", "WordRangeLow=0", "WordRangeHigh=100", "WordRangeHigh=1000", "WordRangeLow=0",
                    "DisplayRadix=0"}));
    EXPECT_EQ(data().udtRadix, 1);
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Error|Member not found.")});
    EXPECT_TRUE(BlackBox().contains(QLatin1String("Device Range OK failed, nothing changed: Member not found.")));
}

// --- test vectors ---

TEST_F(DeviceDialogsTest, VectorShowsTheEngineValuesAndWritesThemBack)
{
    struct Case
    {
        qint32 x, mode;
        const char* xButton;
        const char* modeButton;
        QStringList writes;
    };
    const Case cases[] = {
        {0, 0, "btnZero", "btnErrorsOnly", List({"VectorDisplayMode=0", "VectorXValue=0", "DisplayRadix=0"})},
        {1, 1, "btnOne", "btnAll", List({"VectorDisplayMode=1", "VectorXValue=1", "DisplayRadix=0"})},
        {2, 2, "btnRandom", "btnSingleStep", List({"VectorDisplayMode=2", "VectorXValue=2", "DisplayRadix=0"})},
        {3, 5, "btnPseudoRandom", "btnSingleStep",
         List({"VectorDisplayMode=2", "VectorXValue=3", "VectorSeed=300", "DisplayRadix=0"})},
        {4, 0, "btnPullUp", "btnErrorsOnly", List({"VectorDisplayMode=0", "VectorXValue=4", "DisplayRadix=0"})},
        {7, 1, "btnPullUp", "btnAll", List({"VectorDisplayMode=1", "VectorXValue=4", "DisplayRadix=0"})},
    };
    for (const Case& c : cases) {
        engine->Set(VectorXValue, c.x);
        engine->Set(VectorDisplayMode, c.mode);
        engine->Set(VectorSeed, 300);
        QStringList writes;
        OnDialog<frmDeviceVector>([&](frmDeviceVector& d) {
            EXPECT_TRUE(d.findChild<QRadioButton*>(QString::fromLatin1(c.xButton))->isChecked()) << c.x;
            EXPECT_TRUE(d.findChild<QRadioButton*>(QString::fromLatin1(c.modeButton))->isChecked()) << c.mode;
            EXPECT_EQ(d.txtSeed->isEnabled(), c.x == 3) << c.x;
            EXPECT_EQ(d.lblSeed->isEnabled(), c.x == 3) << c.x;
            d.OKButton->click();
            writes = engine->TakeWrites();
        });
        options->btnVector_Click();
        EXPECT_EQ(writes, c.writes) << c.x;
    }
}

TEST_F(DeviceDialogsTest, VectorSeedGoesAsItsTextInDecimalAndAsANumberInHexadecimal)
{
    QList<QMetaType> seedTypes;
    engine->On(VectorSeed, [&](InvokeKind kind, QVariantList& args) {
        if (kind == InvokeKind::PropertyPut) {
            seedTypes << args.last().metaType();
            engine->Set(VectorSeed, args.last().toInt());
            return QVariant();
        }
        return QVariant::fromValue<qint32>(engine->Value(VectorSeed).toInt());
    });
    for (const qint32 radix : {0, 1}) {
        engine->Set(DisplayRadix, radix);
        engine->Set(VectorXValue, 0);
        seedTypes.clear();
        QStringList writes;
        OnDialog<frmDeviceVector>([&](frmDeviceVector& d) {
            d.btnPseudoRandom->click();
            EXPECT_TRUE(d.txtSeed->isEnabled());
            d.txtSeed->setText(radix ? QStringLiteral("12C") : QStringLiteral("300"));
            d.OKButton->click();
            writes = engine->TakeWrites();
        });
        options->btnVector_Click();
        EXPECT_TRUE(writes.contains(QStringLiteral("VectorSeed=300"))) << radix << writes.join(' ').toStdString();
        ASSERT_EQ(seedTypes.size(), 1) << radix;
        EXPECT_EQ(seedTypes[0].id(), radix ? QMetaType::Int : QMetaType::QString) << radix;
        EXPECT_EQ(engine->Value(VectorSeed).toInt(), 300);
        EXPECT_EQ(data().udtRadix, radix);
    }
    // Shown again in hexadecimal, the seed reads 12C.
    OnDialog<frmDeviceVector>([](frmDeviceVector& d) { EXPECT_EQ(d.txtSeed->text(), QStringLiteral("12C")); });
    options->btnVector_Click();
}

// --- sets, banks and byte order ---

TEST_F(DeviceDialogsTest, SetsRefuseAnIllegalCombinationAndWriteALegalOne)
{
    engine->Set(SetWidth, 2);
    engine->Set(BankCount, 3);
    engine->Set(SetMode, 7);
    data().lngPosSingle = 5;
    data().lngBankSingle = 6;
    QStringList refused;
    QStringList written;
    OnDialog<frmDeviceArray>([&](frmDeviceArray& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Device Set"));
        EXPECT_TRUE(d.btnSets->isChecked());
        d.txtDataWidth->setText(QStringLiteral("0"));
        d.txtNumBanks->setText(QStringLiteral("4"));
        ui().Answer(vb::vbOK);
        d.OKButton->click();
        EXPECT_EQ(d.txtDataWidth->text(), QStringLiteral("2"));
        EXPECT_EQ(d.txtNumBanks->text(), QStringLiteral("3"));
        refused = engine->TakeWrites();
        d.txtNumBanks->setText(QStringLiteral("1"));
        d.OKButton->click();
        written = engine->TakeWrites();
    });
    options->btnArray_Click();
    EXPECT_TRUE(refused.isEmpty());
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes().first().endsWith(QLatin1String("|You have specified an illegal set combination.")));
    EXPECT_EQ(written, List({"SetWidth=2", "BankCount=1", "SetMode=1"}));
    EXPECT_EQ(data().lngPosSingle, 0);
    EXPECT_EQ(data().lngBankSingle, 0);
}

TEST_F(DeviceDialogsTest, ByteOrderShowsLittleEndianOnlyForZero)
{
    const std::pair<qint32, const char*> cases[] = {{0, "ByteOrder=0"}, {1, "ByteOrder=1"}, {5, "ByteOrder=1"}};
    for (const auto& [order, write] : cases) {
        engine->Set(ByteOrder, order);
        QStringList writes;
        OnDialog<frmByteOrder>([&](frmByteOrder& d) {
            EXPECT_EQ(d.btnLittleEndian->isChecked(), order == 0) << order;
            EXPECT_EQ(d.btnBigEndian->isChecked(), order != 0) << order;
            d.OKButton->click();
            writes = engine->TakeWrites();
        });
        options->btnByteOrder_Click();
        EXPECT_EQ(writes, QStringList{QString::fromLatin1(write)}) << order;
    }
    // Cancel writes nothing.
    QStringList writes;
    OnDialog<frmByteOrder>([&](frmByteOrder& d) {
        d.btnLittleEndian->click();
        d.CancelButton->click();
        writes = engine->TakeWrites();
    });
    options->btnByteOrder_Click();
    EXPECT_TRUE(writes.isEmpty());
}

// --- buffer offset ---

TEST(DeviceBufferRange, TextShowsTheSignedRangeInEitherRadix)
{
    const struct
    {
        qint32 low;
        bool hex;
        const char* text;
    } cases[] = {{0, false, "0 --- 268435455"},
                 {0, true, "0 --- FFFFFFFh"},
                 {256, false, "-256 --- 268435455"},
                 {256, true, "-100 --- FFFFFFFh"},
                 {-16, true, "10 --- FFFFFFFh"}};
    for (const auto& c : cases)
        EXPECT_EQ(frmDeviceBufferSettings::RangeText(c.low, c.hex), QString::fromLatin1(c.text)) << c.low << c.hex;
}

TEST_F(DeviceDialogsTest, BufferOffsetIsWrittenInItsRadixAndLogged)
{
    engine->Set(WordRangeLow, 256);
    engine->Set(DisplayRadix, 0);
    QStringList writes;
    OnDialog<frmDeviceBufferSettings>([&](frmDeviceBufferSettings& d) {
        EXPECT_EQ(data().lngDeviceSize, 65536); // stored before the dialog opens
        EXPECT_EQ(d.txtRange->text(), QStringLiteral("-256 --- 268435455"));
        d.btnHexadecimal->click();
        EXPECT_EQ(d.txtRange->text(), QStringLiteral("-100 --- FFFFFFFh"));
        EXPECT_EQ(devicedialogs::TypedLengthBound(d.txtBufferOffset), 7);
        d.txtBufferOffset->setText(QStringLiteral("1000"));
        d.OKButton->click();
        writes = engine->TakeWrites();
    });
    options->cmdBufferSettings_Click();
    EXPECT_EQ(writes, List({"BufferOffset=4096", "DisplayRadix=1"}));
    EXPECT_EQ(data().udtRadix, 1);
    EXPECT_TRUE(BlackBox().contains(QLatin1String("Buffer offset is set to be 0x1000")));
}

TEST_F(DeviceDialogsTest, BufferOffsetRefusedByTheEngineStaysOpenAndIsLogged)
{
    offsetInRange = false;
    QStringList writes;
    OnDialog<frmDeviceBufferSettings>([&](frmDeviceBufferSettings& d) {
        d.txtBufferOffset->setText(QStringLiteral("12"));
        ui().Answer(vb::vbOK);
        d.OKButton->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(d.txtBufferOffset->text(), QStringLiteral("12"));
        writes = engine->TakeWrites();
    });
    options->cmdBufferSettings_Click();
    EXPECT_TRUE(writes.isEmpty());
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Invalid Value|The buffer offset value is invalid!")});
    const QString log = BlackBox();
    const qsizetype first = log.indexOf(QLatin1String("The buffer offset value is invalid!"));
    EXPECT_GE(first, 0);
    EXPECT_GT(log.indexOf(QLatin1String("The buffer offset is out of the range."), first), first);
}

// --- checksum ---

TEST_F(DeviceDialogsTest, ChecksumKeepsOnlyValuesOfItsButtons)
{
    data().udtCSumMethod = 2;
    data().udtCSumType = 5;
    {
        frmChecksum d(data());
        EXPECT_TRUE(d.opt16Bit->isChecked());
        EXPECT_TRUE(d.optDevice->isChecked());
        d.btnOK->click();
    }
    EXPECT_EQ(data().udtCSumMethod, 1);
    EXPECT_EQ(data().udtCSumType, 1);
    {
        frmChecksum d(data());
        d.opt8Bit->click();
        d.optCompat->click();
        d.btnCancel->click();
    }
    EXPECT_EQ(data().udtCSumMethod, 1);
    EXPECT_EQ(data().udtCSumType, 1);
    {
        frmChecksum d(data());
        d.optBuffer->click();
        d.btnOK->click();
    }
    EXPECT_EQ(data().udtCSumType, 0);
}

// --- number boxes: what code puts into a box is never cut to the typed
// length; a radix switch converts the whole value ---

struct RadixCase
{
    const char* name;
    int dialog; // 0 range, 1 vector, 2 buffer offset
    int member; // the engine value the box shows
    qint32 value;
    const char* boxName;
    const char* hexText;
    const char* decimalText; // nullptr: the engine takes no signed decimal text
    const char* box;         // "title|text" of the one box the decimal switch shows, "" for none
};

class NumberBoxRadixTest : public DeviceDialogsTest, public ::testing::WithParamInterface<RadixCase>
{
protected:
    // Opens the case's dialog with the engine's radix and hands it to act.
    void Open(const RadixCase& c, qint32 radix, const std::function<void(QDialog&)>& act)
    {
        engine->Set(DisplayRadix, radix);
        engine->Set(c.member, c.value);
        engine->Set(VectorXValue, 3);
        ui().OnModal([&](QDialog* dialog) {
            act(*dialog);
            return dialog->result();
        });
        switch (c.dialog) {
        case 0: options->btnRange_Click(); break;
        case 1: options->btnVector_Click(); break;
        default: options->cmdBufferSettings_Click(); break;
        }
    }
};

TEST_P(NumberBoxRadixTest, ShowsAndConvertsTheWholeValueInBothDirections)
{
    const RadixCase& c = GetParam();
    engine->Set(WordRangeLow, 256); // low + a negative offset stays at or above 0
    engine->Set(WordRangeHigh, 1000);
    // Shown in hexadecimal from the start, then switched to decimal and back.
    if (*c.box)
        ui().Answer(vb::vbOK);
    Open(c, 1, [&](QDialog& d) {
        auto* box = d.findChild<QLineEdit*>(QString::fromLatin1(c.boxName));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromLatin1(c.hexText));
        if (c.decimalText) {
            d.findChild<QRadioButton*>(QStringLiteral("btnDecimal"))->click();
            EXPECT_EQ(box->text(), QString::fromLatin1(c.decimalText));
            d.findChild<QRadioButton*>(QStringLiteral("btnHexadecimal"))->click();
            EXPECT_EQ(box->text(), QString::fromLatin1(c.hexText));
        }
        // A plain OK writes the value the box stood for.
        d.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    EXPECT_EQ(engine->Value(c.member).toInt(), c.value);
    EXPECT_EQ(Boxes(), *c.box ? QStringList{QString::fromLatin1(c.box)} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberBoxRadixTest,
    ::testing::Values(
        RadixCase{"OffsetOfSevenDigits", 2, BufferOffset, 268435455, "txtBufferOffset", "FFFFFFF", "268435455", ""},
        RadixCase{"NegativeOffset", 2, BufferOffset, -16, "txtBufferOffset", "FFFFFFF0", nullptr, ""},
        // Above the seed's limit: shown whole, told once in decimal, and kept.
        RadixCase{"SeedBeyondFourDigits", 1, VectorSeed, 70000, "txtSeed", "11170", "70000",
                  "Out of Range Error|You must enter a value between 0 and 65535"},
        RadixCase{"SeedOfFourDigits", 1, VectorSeed, 65535, "txtSeed", "FFFF", "65535", ""},
        RadixCase{"RangeHighOfSevenDigits", 0, WordRangeHigh, 268435455, "txtHighAddr", "FFFFFFF", "268435455", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The bound limits typing: a box that holds its longest text takes no more
// characters, and a longer text put there by code can still be edited.
TEST_F(DeviceDialogsTest, TheLengthBoundLimitsOnlyWhatIsTyped)
{
    engine->Set(DisplayRadix, 1);
    engine->Set(WordRangeLow, 256);
    engine->Set(BufferOffset, -16);
    OnDialog<frmDeviceBufferSettings>([&](frmDeviceBufferSettings& d) {
        QLineEdit* box = d.txtBufferOffset;
        EXPECT_EQ(box->text(), QStringLiteral("FFFFFFF0"));
        box->setFocus();
        box->end(false);
        QTest::keyClick(box, Qt::Key_1);
        EXPECT_EQ(box->text(), QStringLiteral("FFFFFFF0")); // longer than typing may make it
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), QStringLiteral("FFFFFFF"));
        QTest::keyClick(box, Qt::Key_1);
        EXPECT_EQ(box->text(), QStringLiteral("FFFFFFF")); // seven digits typed at most
        d.btnDecimal->click();
        box->end(false);
        EXPECT_EQ(box->text(), QStringLiteral("268435455"));
        QTest::keyClick(box, Qt::Key_1);
        EXPECT_EQ(box->text(), QStringLiteral("268435455")); // nine in decimal
    });
    options->cmdBufferSettings_Click();
}

} // namespace
