// The data pattern window itself: what its fields show for the buffer's
// states, the checksum lists, and what OK and Cancel keep of the radix.

#include "BufferFixture.h"

#include "buffer/DefaultBufferValue.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

struct FieldsCase
{
    const char* name;
    int bufferSize;
    bool fuses;
    bool hexRadix;
    const char* size; // SizeText
    bool checksumShown;
    bool saveEnabled;
};

class WindowFieldsTest : public BufferWindowTest, public ::testing::WithParamInterface<FieldsCase>
{};

TEST_P(WindowFieldsTest, ABufferWithoutAFileShowsItsSizeAndSource)
{
    const FieldsCase& c = GetParam();
    engine->buffer = QByteArray(c.bufferSize, '\0');
    engine->Set(QXPgmrId::SizeInFuses, c.fuses);
    engine->Set(QXPgmrId::DisplayRadix, c.hexRadix ? 1 : 0);
    data().blnBufferEmpty = c.bufferSize == 0;
    window->BufferType(QStringLiteral("Device read"), QDateTime::currentDateTime(), 2);
    frmBufferCmd w(main->station(), main);
    w.Form_Load();
    EXPECT_EQ(w.SizeText->text(), QString::fromUtf8(c.size));
    EXPECT_EQ(w.CheckSumText->isVisibleTo(&w), c.checksumShown);
    EXPECT_EQ(w.CSUMLabel->isVisibleTo(&w), c.checksumShown);
    EXPECT_EQ(w.CSumMethod->isEnabled(), c.checksumShown);
    EXPECT_EQ(w.Save->isEnabled(), c.saveEnabled);
    EXPECT_EQ(w.FileNameText->text(), c.bufferSize > 0 ? QStringLiteral("Device read") : QString());
    EXPECT_TRUE(w.TypeText->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(States, WindowFieldsTest,
                         ::testing::Values(FieldsCase{"Empty", 0, false, false, "", false, false},
                                           // Read from the device: in the radix shown beside it.
                                           FieldsCase{"DeviceReadDecimal", 4096, false, false, "4096 bytes", true,
                                                      true},
                                           FieldsCase{"DeviceReadHex", 4096, false, true, "1000h bytes", true, true},
                                           FieldsCase{"Fuses", 928, true, false, "928 fuses", true, true},
                                           FieldsCase{"FusesHex", 928, true, true, "3A0h fuses", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BufferWindowTest, WithoutADeviceChecksumTheTypeListShowsDeviceDisabled)
{
    engine->Set(QXPgmrId::DeviceSupportsDeviceChecksum, false);
    engine->Set(QXPgmrId::ChecksumType, 0);
    frmBufferCmd w(main->station(), main);
    w.Form_Load();
    EXPECT_EQ(w.CSumType->currentText(), QStringLiteral("Device"));
    EXPECT_FALSE(w.CSumType->isEnabled());
    EXPECT_EQ(engine->Value(QXPgmrId::ChecksumType).toInt(), 1);
    EXPECT_EQ(w.CSumMethod->itemText(0), QStringLiteral("8  Bits"));
}

TEST_F(BufferWindowTest, CancelKeepsTheRadixAndOkStoresIt)
{
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        engine->Set(QXPgmrId::DisplayRadix, 0);
        data().udtRadix = 0;
        window->bOpen = true;
        frmBufferCmd w(main->station(), main);
        w.Form_Load();
        w.HexadecimalButton->click();
        (ok ? w.OKButton : w.CancelButton)->click();
        EXPECT_EQ(data().udtRadix, ok ? 1 : 0);
        EXPECT_EQ(engine->Value(QXPgmrId::DisplayRadix).toInt(), ok ? 1 : 0);
        EXPECT_FALSE(window->bOpen);
    }
}

// The operation window follows the radix the data pattern window shows while
// it is open; on Cancel it goes back to the job's radix, the one the window
// shows when opened again.
TEST_F(BufferWindowTest, CancelRedrawsTheOperationWindowInTheKeptRadix)
{
    engine->On(QXPgmrId::DeviceSizeText, [](InvokeKind, QVariantList& args) {
        return QVariant(IsVbTrue(args.value(1)) ? QStringLiteral("10000h x 8") : QStringLiteral("65536 x 8"));
    });
    data().blnDeviceSelected = true;
    engine->Set(QXPgmrId::DisplayRadix, 0);
    data().udtRadix = 0;
    window->bOpen = true;
    frmBufferCmd w(main->station(), main);
    w.Form_Load();
    w.HexadecimalButton->click();
    EXPECT_TRUE(window->txtDevice->text().contains(QStringLiteral("10000h x 8")));
    w.CancelButton->click();
    EXPECT_TRUE(window->txtDevice->text().contains(QStringLiteral("65536 x 8")))
        << window->txtDevice->text().toStdString();
    EXPECT_TRUE(w.DecimalButton->isChecked());
}

TEST_F(BufferWindowTest, CancelPutsTheChecksumChoiceBack)
{
    engine->Set(QXPgmrId::ChecksumMethod, 0);
    frmBufferCmd w(main->station(), main);
    w.Form_Load();
    w.CSumMethod->setCurrentIndex(1);
    w.CSumMethod_Click();
    EXPECT_EQ(engine->Value(QXPgmrId::ChecksumMethod).toInt(), 1);
    w.CancelButton->click();
    EXPECT_EQ(engine->Value(QXPgmrId::ChecksumMethod).toInt(), 0);
}

TEST_F(BufferWindowTest, AFileOfAFuseFormatLocksTheFillValue)
{
    const QString path = WriteFile(QStringLiteral("fuses.jed"), "QF8*\n");
    engine->detectOverride = 2;
    ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
    frmBufferCmd w(main->station(), main);
    w.Form_Load();
    EXPECT_FALSE(w.m_oDefaultBufferValueCtrl->Enabled());
    EXPECT_EQ(w.TypeText->text(), QStringLiteral("JEDEC"));
    EXPECT_TRUE(w.FileNameText->text().endsWith(QStringLiteral("fuses.jed")));
}

TEST_F(BufferWindowTest, AnUnknownCommandOnlyCommitsTheWindow)
{
    engine->Set(QXPgmrId::DefaultBufferByte, 0x5A);
    engine->TakeWrites();
    EXPECT_FALSE(window->ExecuteBufferCommand(7, QString(), -1));
    EXPECT_TRUE(engine->loads.isEmpty());
    EXPECT_TRUE(engine->TakeWrites().contains(QStringLiteral("DefaultBufferByte=90")));
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(BufferWindowTest, ClosingTheWindowEndsTheCommandAsCancelDoes)
{
    engine->Set(QXPgmrId::ChecksumMethod, 0);
    OnDialog<frmBufferCmd>([](frmBufferCmd& w) {
        w.CSumMethod->setCurrentIndex(1);
        w.CSumMethod_Click();
        w.show();
        w.close(); // the close box: the operation window must not show it again
    });
    window->ExecuteBufferCommand(0, QString(), -1);
    EXPECT_FALSE(window->bOpen);
    EXPECT_EQ(engine->Value(QXPgmrId::ChecksumMethod).toInt(), 0);
    EXPECT_TRUE(window->FileButton->isEnabled());
}
