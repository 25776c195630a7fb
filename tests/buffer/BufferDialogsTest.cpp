// The load and save dialogs and the fill-value control through their
// controls: the rules that enable and fill them, and the checks of what the
// operator types, with the exact texts and titles of their boxes.

#include "BufferFixture.h"

#include "buffer/DefaultBufferValue.h"
#include "buffer/LoadAddressCheck.h"
#include "buffer/frmBufferLoad.h"
#include "buffer/frmBufferSave.h"
#include "device/DeviceDialogs.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

struct AddressSizeCase
{
    qint32 typeCode;
    bool engineWord;
    bool enabled;
    bool byteChecked;
    bool wordChecked;
};

class AddressSizeTest : public BufferWindowTest, public ::testing::WithParamInterface<AddressSizeCase>
{};

TEST_P(AddressSizeTest, FollowsTheSelectedEntrysTypeCode)
{
    const AddressSizeCase& c = GetParam();
    engine->Set(QXPgmrId::WordAddressing, c.engineWord);
    QComboBox list;
    // Entries whose positions are not their codes: the code decides.
    list.addItem(QStringLiteral("first"), 17);
    list.addItem(QStringLiteral("chosen"), c.typeCode);
    list.setCurrentIndex(1);
    QLabel label;
    QRadioButton byteOption, wordOption;
    byteOption.setChecked(true);
    frmBufferCmd::UpdateAddrSizeControls(gMainForm->station().QXProgrammer, &list, &label, &byteOption, &wordOption);
    EXPECT_EQ(byteOption.isEnabled(), c.enabled);
    EXPECT_EQ(wordOption.isEnabled(), c.enabled);
    EXPECT_EQ(label.isEnabled(), c.enabled);
    EXPECT_EQ(byteOption.isChecked(), c.byteChecked);
    EXPECT_EQ(wordOption.isChecked(), c.wordChecked);
}

INSTANTIATE_TEST_SUITE_P(Codes, AddressSizeTest,
                         ::testing::Values(AddressSizeCase{1, false, true, true, false},
                                           AddressSizeCase{3, true, true, false, true},
                                           AddressSizeCase{0, true, false, false, false},
                                           AddressSizeCase{2, false, false, false, false},
                                           AddressSizeCase{16, true, false, false, false}));

struct AddressTextCase
{
    const char* name;
    bool hex;
    const char* typed;
    const char* shown;  // what the box shows afterwards
    qint32 last;        // the last accepted value afterwards (it starts at 16)
    const char* box;    // "title|text", or "" for none
    int boxesAtPutBack; // boxes already shown when the text went back; -1: none went back
};

class AddressTextTest : public BufferWindowTest, public ::testing::WithParamInterface<AddressTextCase>
{};

TEST_P(AddressTextTest, RefusedTextFallsBackToTheLastValue)
{
    const AddressTextCase& c = GetParam();
    LoadAddressCheck check(main->QXProgrammer);
    qint32 last = 16;
    if (*c.box)
        ui().Answer(vb::vbOK);
    QString shown = QString::fromUtf8(c.typed);
    int boxesAtPutBack = -1;
    check.Validate(shown, last, c.hex, [&](const QString& text) {
        shown = text;
        boxesAtPutBack = int(ui().Shown().size());
    });
    EXPECT_EQ(shown, QString::fromUtf8(c.shown));
    EXPECT_EQ(boxesAtPutBack, c.boxesAtPutBack);
    EXPECT_EQ(last, c.last);
    EXPECT_EQ(Boxes(), *c.box ? QStringList{QString::fromUtf8(c.box)} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressTextTest,
                         ::testing::Values(AddressTextCase{"HexAllOnes", true, "FFFFFFFF", "FFFFFFFF", -1, "", -1},
                                           AddressTextCase{"DecimalTop", false, "4294967295", "4294967295", -1, "", -1},
                                           // A text that is no number goes back before the operator is told.
                                           AddressTextCase{"DecimalLetters", false, "12ab", "16", 16,
                                                           "Input Error|You must enter a valid decimal number!", 0},
                                           AddressTextCase{"HexG", true, "G", "10", 16,
                                                           "Input Error|You must enter a valid hexadecimal number!", 0},
                                           AddressTextCase{"DecimalEmpty", false, "", "16", 16,
                                                           "Input Error|You must enter a valid decimal number!", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BufferWindowTest, ADecimalAddressBeyond32BitsIsOutOfRangeNeverWrapped)
{
    LoadAddressCheck check(main->QXProgrammer);
    // An engine that would take the text must not make a small address of it.
    engine->On(QXPgmrId::IsValidDecimalText, [](InvokeKind, QVariantList&) { return VbBool(true); });
    qint32 last = 7;
    ui().Answer(vb::vbOK);
    QString shown;
    int boxesAtPutBack = -1;
    check.Validate(QStringLiteral("4294967296"), last, false, [&](const QString& text) {
        shown = text;
        boxesAtPutBack = int(ui().Shown().size());
    });
    EXPECT_EQ(shown, QStringLiteral("7"));
    EXPECT_EQ(boxesAtPutBack, 1); // told first, then put back
    EXPECT_EQ(last, 7);
    EXPECT_EQ(Boxes(),
              QStringList{QStringLiteral("Out of Range Error|You must enter a value between 0 and 4294967295")});
}

TEST_F(BufferWindowTest, LoadDialogWithoutAFileDisablesItsOptions)
{
    frmBufferLoad load(main->station(), main);
    load.Form_Load();
    EXPECT_TRUE(load.oFileNameText->text().isEmpty());
    for (QWidget* w :
         std::initializer_list<QWidget*>{load.LoadFileAs, load.LoadFileAsLabel, load.LoadEntireFile, load.ClearBuf,
                                         load.AutoAddrLoad, load.LowAddrLoad, load.HighAddrLoad, load.BufAddrLoad})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
}

TEST_F(BufferWindowTest, LoadDialogFollowsTheDetectedFormat)
{
    const QString path = WriteFile(QStringLiteral("f.jed"), "QF100*\n");
    frmBufferLoad load(main->station(), main);
    load.Form_Load();

    engine->detectOverride = 2; // JEDEC: no range, no fill value
    ASSERT_TRUE(load.UpdateDialogSettings(path));
    EXPECT_EQ(load.TypeText->text(), QStringLiteral("JEDEC"));
    EXPECT_TRUE(load.LoadEntireFile->isChecked());
    EXPECT_FALSE(load.LoadEntireFile->isEnabled());
    EXPECT_FALSE(load.LowAddrLoad->isEnabled());
    EXPECT_EQ(load.LowAddrLoad->text(), QStringLiteral("0"));
    EXPECT_EQ(load.HighAddrLoad->text(), QStringLiteral("4294967295"));
    EXPECT_FALSE(load.m_oDefaultBufferValueCtrl->Enabled());
    EXPECT_FALSE(load.ByteAddrSize->isEnabled());

    engine->detectOverride = 99; // a code the list does not hold: Binary
    ASSERT_TRUE(load.UpdateDialogSettings(path));
    EXPECT_EQ(load.LoadFileAs->currentData().toInt(), 0);
    EXPECT_EQ(load.TypeText->text(), QStringLiteral("Binary"));
    EXPECT_TRUE(load.LoadEntireFile->isEnabled());
    EXPECT_TRUE(load.m_oDefaultBufferValueCtrl->Enabled());

    EXPECT_FALSE(load.UpdateDialogSettings(folder + QStringLiteral("/none.bin")));
    EXPECT_EQ(load.SelectedFile(), path);
}

TEST_F(BufferWindowTest, AutomaticLowAddressInHexShowsTheEnginesValue)
{
    const QString path = WriteFile(QStringLiteral("auto.hex"), ":00000001FF\n");
    engine->Set(QXPgmrId::AutoLowestAddress, 0x1F00);
    frmBufferLoad load(main->station(), main);
    load.Form_Load();
    ASSERT_TRUE(load.UpdateDialogSettings(path));
    load.HexadecimalButton->setChecked(true);
    load.LoadEntireFile->setChecked(false);
    load.AutoAddrLoad->setChecked(true);
    EXPECT_EQ(load.LowAddrLoad->text(), QStringLiteral("1F00"));
    EXPECT_FALSE(load.LowAddrLoad->isEnabled());
    EXPECT_FALSE(load.LoadEntireFile->isChecked());
    EXPECT_EQ(devicedialogs::TypedLengthBound(load.LowAddrLoad), 8);

    // Back to decimal: "FFFFFFFF" becomes the engine's decimal text.
    load.AutoAddrLoad->setChecked(false);
    load.HighAddrLoad->setText(QStringLiteral("FFFFFFFF"));
    load.DecimalButton->setChecked(true);
    EXPECT_EQ(load.HighAddrLoad->text(), QStringLiteral("4294967295"));
    EXPECT_EQ(devicedialogs::TypedLengthBound(load.HighAddrLoad), 10);
    EXPECT_TRUE(Boxes().isEmpty());
}

// A radix switch converts the boxes' whole texts and only then bounds what
// may be typed: nothing is cut, in either direction, at or past seven and
// eight hexadecimal digits.
TEST_F(BufferWindowTest, LoadRadixSwitchConvertsWholeAddresses)
{
    const QString path = WriteFile(QStringLiteral("range.bin"), QByteArray(16, 'x'));
    frmBufferLoad load(main->station(), main);
    load.Form_Load();
    ASSERT_TRUE(load.UpdateDialogSettings(path));
    load.LoadEntireFile->setChecked(false);
    const struct
    {
        const char *low, *high, *buffer; // decimal
        const char *hexLow, *hexHigh, *hexBuffer;
    } cases[] = {
        {"3000000000", "4294967295", "123456789", "B2D05E00", "FFFFFFFF", "75BCD15"},
        {"268435455", "268435456", "0", "FFFFFFF", "10000000", "0"},
    };
    for (const auto& c : cases) {
        load.DecimalButton->click();
        load.LowAddrLoad->setText(QString::fromLatin1(c.low));
        load.HighAddrLoad->setText(QString::fromLatin1(c.high));
        load.BufAddrLoad->setText(QString::fromLatin1(c.buffer));
        load.HexadecimalButton->click();
        EXPECT_EQ(load.LowAddrLoad->text(), QString::fromLatin1(c.hexLow));
        EXPECT_EQ(load.HighAddrLoad->text(), QString::fromLatin1(c.hexHigh));
        EXPECT_EQ(load.BufAddrLoad->text(), QString::fromLatin1(c.hexBuffer));
        load.DecimalButton->click();
        EXPECT_EQ(load.LowAddrLoad->text(), QString::fromLatin1(c.low));
        EXPECT_EQ(load.HighAddrLoad->text(), QString::fromLatin1(c.high));
        EXPECT_EQ(load.BufAddrLoad->text(), QString::fromLatin1(c.buffer));
    }
    // A full box takes no more typing in either radix.
    load.HighAddrLoad->setText(QStringLiteral("4294967295"));
    QTest::keyClick(load.HighAddrLoad, Qt::Key_End);
    QTest::keyClick(load.HighAddrLoad, Qt::Key_1);
    EXPECT_EQ(load.HighAddrLoad->text(), QStringLiteral("4294967295"));
    load.HexadecimalButton->click();
    QTest::keyClick(load.HighAddrLoad, Qt::Key_End);
    QTest::keyClick(load.HighAddrLoad, Qt::Key_1);
    EXPECT_EQ(load.HighAddrLoad->text(), QStringLiteral("FFFFFFFF"));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('\n').toStdString();

    // Confirmed in hexadecimal, the whole values are stored.
    load.HighAddrLoad->setText(QStringLiteral("B2D05E00"));
    load.LowAddrLoad->setText(QStringLiteral("75BCD15"));
    load.OKButton->click();
    EXPECT_EQ(quint32(data().lngHighAddrLoad), 3000000000u);
    EXPECT_EQ(data().lngLowAddrLoad, 123456789);
}

TEST_F(BufferWindowTest, AnEmptyFolderSettingStartsTheBrowserAtHome)
{
    data().strFilePath.clear();
    frmBufferLoad load(main->station(), main);
    load.Form_Load();
    ui().Answer(QString());
    load.Browse_Click();
    EXPECT_EQ(main->dlgCommonDialog.InitDir, QDir::homePath() + QLatin1Char('/'));
    EXPECT_EQ(main->dlgCommonDialog.DialogTitle, QStringLiteral("Open"));
}

struct FillCase
{
    const char* name;
    bool hex;
    const char* typed;
    const char* shown;
    qint32 value;
    const char* box;
};

class FillValueTest : public BufferWindowTest, public ::testing::WithParamInterface<FillCase>
{};

TEST_P(FillValueTest, KeepsTheValueWithinOneByte)
{
    const FillCase& c = GetParam();
    QRadioButton decimalButton;
    decimalButton.setChecked(!c.hex);
    engine->Set(QXPgmrId::DefaultBufferByte, 16);
    DefaultBufferValue control(main->QXProgrammer);
    control.SetDecimalButton(&decimalButton);
    control.InitDefaultBufValList();
    if (*c.box)
        ui().Answer(vb::vbOK);
    control.DefaultValText->setEditText(QString::fromUtf8(c.typed));
    EXPECT_EQ(control.DefaultValText->currentText(), QString::fromUtf8(c.shown));
    EXPECT_EQ(control.CurrentValue(), c.value);
    EXPECT_EQ(Boxes(), *c.box ? QStringList{QString::fromUtf8(c.box)} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Texts, FillValueTest,
                         ::testing::Values(FillCase{"Decimal255", false, "255", "255", 255, ""},
                                           FillCase{"Decimal256", false, "256", "16", 16,
                                                    "Out of Range Error|You must enter a value between 0 and 255"},
                                           FillCase{"HexFF", true, "FF", "FF", 255, ""},
                                           FillCase{"Hex100", true, "100", "10", 16,
                                                    "Out of Range Error|You must enter a value between 0 and FF"},
                                           FillCase{"HexG", true, "G", "10", 16,
                                                    "Input Error|You must enter a valid hexadecimal number!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BufferWindowTest, FillValueFollowsTheHostsRadixAndTheAlgorithm)
{
    // A shown host window: the warning comes when the focus really leaves
    // the box for another control.
    QWidget host;
    auto* decimalButton = new QRadioButton(QStringLiteral("Decimal"), &host);
    decimalButton->setChecked(true);
    engine->Set(QXPgmrId::DefaultBufferByte, 255);
    auto* control = new DefaultBufferValue(main->QXProgrammer, &host);
    auto* other = new QLineEdit(&host);
    auto* layout = new QVBoxLayout(&host);
    layout->addWidget(decimalButton);
    layout->addWidget(control);
    layout->addWidget(other);
    control->SetDecimalButton(decimalButton);
    control->InitDefaultBufValList();
    EXPECT_EQ(control->DefaultValText->currentIndex(), 1);

    decimalButton->setAutoExclusive(false);
    decimalButton->setChecked(false);
    control->UpdateDefaultBufValList();
    EXPECT_EQ(control->DefaultValText->currentText(), QStringLiteral("FF"));
    EXPECT_EQ(control->DefaultValText->itemText(1), QStringLiteral("FF"));

    engine->On(QXPgmrId::AlgorithmParameter, [](InvokeKind, QVariantList& args) {
        return args.value(0).toString() == QLatin1String("DEFAULT_BUFFER_VALUE") ? QVariant(255) : QVariant();
    });
    host.show();
    QApplication::setActiveWindow(&host);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QLineEdit* edit = control->DefaultValText->lineEdit();
    // The operator clicks into the box, types 0 over the value and tabs on.
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(control->DefaultValText->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("0"));
    EXPECT_EQ(control->CurrentValue(), 0);
    EXPECT_TRUE(ui().Shown().isEmpty()); // typing is no leaving
    ui().Answer(vb::vbNo);
    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_TRUE(other->hasFocus());
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(
        ui().Shown().first().contains(QStringLiteral("This default buffer value (0h), does not match the one specified "
                                                     "by the algorithm (FFh). Are you sure you want to change it?")));
    // No: the algorithm's value is back.
    EXPECT_EQ(control->DefaultValText->currentText(), QStringLiteral("FF"));
    EXPECT_EQ(control->CurrentValue(), 255);

    // Back in and out with the algorithm's value: no question.
    control->DefaultValText->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(control->DefaultValText->hasFocus());
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(ui().Shown().size(), 1);
}

TEST_F(BufferWindowTest, SaveDialogOffersTheWritableTypesAndChecksTheRange)
{
    data().strFileName = QStringLiteral("out.hex");
    data().strFilePath = folder + QLatin1Char('/');
    engine->Set(QXPgmrId::DataFileTypeCode, 2); // not writable here: the first entry
    engine->buffer = QByteArray(256, 'x');
    data().lngHighAddrSave = 255; // as the last load left it
    frmBufferSave save(main->station(), main);
    QStringList names;
    for (int i = 0; i < save.SaveFileAs->count(); ++i)
        names << save.SaveFileAs->itemText(i);
    EXPECT_EQ(
        names,
        (QStringList{QStringLiteral("Binary"), QStringLiteral("Intel Hex"), QStringLiteral("Motorola S-Record")}));
    EXPECT_EQ(save.SaveFileAs->currentIndex(), 0);
    EXPECT_EQ(save.SaveEntireBuf->checkState(), Qt::Checked);
    EXPECT_EQ(save.HighAddrSave->text(), QStringLiteral("255"));

    save.SaveEntireBuf->setCheckState(Qt::Unchecked);
    save.LowAddrSave->setText(QStringLiteral("100"));
    save.HighAddrSave->setText(QStringLiteral("50"));
    ui().Answer(vb::vbOK);
    save.OKButton->click();
    EXPECT_EQ(
        Boxes(),
        QStringList{QStringLiteral(
            "Configuration Error|Lowest address is larger than Highest address!\\nPlease check your configuration!")});
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/out.hex")));

    // The recorded file exists now: reached without the browser, it is asked about.
    WriteFile(QStringLiteral("out.hex"), "old");
    save.SaveEntireBuf->setCheckState(Qt::Checked);
    ui().Answer(vb::vbNo);
    save.OKButton->click();
    QFile f(folder + QStringLiteral("/out.hex"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
}

// The save dialog's boxes show the remembered range whole in hexadecimal
// (seven digits typed at most, eight set by the dialog) and convert it whole
// both ways; a value above the decimal limit is told once and kept.
TEST_F(BufferWindowTest, SaveRangeConvertsWholeValuesBothWays)
{
    data().strFileName = QStringLiteral("out.hex");
    data().strFilePath = folder + QLatin1Char('/');
    engine->buffer = QByteArray(256, 'x');
    data().lngLowAddrSave = 268435455;  // FFFFFFF
    data().lngHighAddrSave = 305419896; // 12345678
    data().blnSaveEntireContents = false;
    engine->Set(QXPgmrId::DisplayRadix, 1);
    frmBufferSave save(main->station(), main);
    EXPECT_EQ(save.LowAddrSave->text(), QStringLiteral("FFFFFFF"));
    EXPECT_EQ(save.HighAddrSave->text(), QStringLiteral("12345678"));
    ui().Answer(vb::vbOK);
    save.DecimalButton->click();
    EXPECT_EQ(save.LowAddrSave->text(), QStringLiteral("268435455"));
    EXPECT_EQ(save.HighAddrSave->text(), QStringLiteral("305419896"));
    EXPECT_EQ(Boxes(),
              QStringList{QStringLiteral("Out of Range Error|You must enter a value between 0 and 268435455")});
    save.HexadecimalButton->click();
    EXPECT_EQ(save.LowAddrSave->text(), QStringLiteral("FFFFFFF"));
    EXPECT_EQ(save.HighAddrSave->text(), QStringLiteral("12345678"));
    EXPECT_EQ(Boxes().size(), 1);
}

TEST_F(BufferWindowTest, TheOemEditionsUpdateTakesTheTypedName)
{
    const QString first = WriteFile(QStringLiteral("first.hex"), ":00000001FF\n");
    const QString typed = WriteFile(QStringLiteral("typed.bin"), "abc");
    gbChiseloEdition = true;
    struct Restore
    {
        ~Restore() { gbChiseloEdition = false; }
    } restore;
    frmBufferLoad load(main->station(), main);
    load.Form_Load();
    ASSERT_TRUE(load.UpdateDialogSettings(first));
    EXPECT_TRUE(load.oUpdateFileInfo->isVisibleTo(&load));

    load.oFileNameText->setText(typed);
    load.oUpdateFileInfo->setEnabled(true);
    load.oUpdateFileInfo_Click();
    EXPECT_EQ(load.SelectedFile(), typed);
    EXPECT_FALSE(load.oUpdateFileInfo->isEnabled());

    load.oFileNameText->setText(folder + QStringLiteral("/nothing.bin"));
    load.oUpdateFileInfo->setEnabled(true);
    ui().Answer(vb::vbOK);
    load.oUpdateFileInfo_Click();
    EXPECT_EQ(load.SelectedFile(), typed);
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("File Name Error|You must specify a valid file!")});
}
