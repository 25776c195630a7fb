// What ExecuteBufferCommand does after a load besides the buffer: the secure
// choice a Vexal file carries, the rebuild after a file that selects the
// device, and the default configuration after a failed STAPL load.

#include "BufferFixture.h"

#include "operation/TabStrip.h"

#include <QCheckBox>
#include <QComboBox>

TEST_F(BufferWindowTest, AVexalFilesSecureChoiceIsCarriedOnlyWhenTheListOffersIt)
{
    const QString path = WriteFile(QStringLiteral("v.hex"), ":00000001FF\n");
    engine->Set(QXPgmrId::DeviceIsVexal, true);
    engine->Set(QXPgmrId::SecureMode, true);
    // The Program tab is the one shown; Verify and Secure are tabs of their own.
    const qint16 programTab = qint16(window->tabOperation->SelectedIndex());
    const qint16 verifyTab = 2;
    const qint16 secureTab = 6;
    data().SetTotalNumberOfTabs(8);
    window->intActionTabIndex.assign(9, 0);
    window->intActionTabIndex[1] = programTab;
    window->intActionTabIndex[2] = verifyTab;
    window->intActionTabIndex[6] = secureTab;
    QComboBox* list = window->cboOperation.at(4);
    list->clear();
    list->addItems({QStringLiteral("None"), QStringLiteral("Lock 1"), QStringLiteral("Lock 2")});
    data().intUserCheckbox(verifyTab, 4, 1);

    struct Case
    {
        qint32 flag;
        qint16 stored; // the Secure tab's entry afterwards
    };
    // Flag 2 is the second entry; flag 9 names none of the three: the
    // earlier choice stays.
    for (const Case c : {Case{2, 1}, Case{9, 1}, Case{0, 0}}) {
        SCOPED_TRACE(c.flag);
        engine->Set(QXPgmrId::LoadFileFlag147, c.flag);
        ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
        EXPECT_EQ(data().intUserListboxIndex(secureTab, 4), c.stored);
        EXPECT_EQ(data().intUserCheckbox(verifyTab, 4), 0);
        EXPECT_LT(list->currentIndex(), 3);
    }
}

TEST_F(BufferWindowTest, AFailedStaplLoadRestoresTheDefaultConfigurationWithTheOptionOff)
{
    const QString path = WriteFile(QStringLiteral("s.stp"), "BAD\n");
    engine->detectOverride = 3; // read as a range format, loaded as STAPL below
    data().bNoviceMode = true;
    ui().Answer(vb::vbOK);
    engine->TakeWrites();
    EXPECT_FALSE(window->ExecuteBufferCommand(6, path, 16));
    QStringList options;
    for (const QString& w : engine->TakeWrites())
        if (w.startsWith(QLatin1String("RunOption60")))
            options << w;
    EXPECT_EQ(options, (QStringList{QStringLiteral("RunOption60=0"), QStringLiteral("RunOption60=-1")}));
}

TEST_F(BufferWindowTest, AFileThatSelectsTheDeviceMarksADeviceSelected)
{
    const QString path = WriteFile(QStringLiteral("dev.hex"), ":00000001FF\n");
    data().blnDeviceSelected = false;
    engine->On(QXPgmrId::LoadDataFileRange, [this](InvokeKind, QVariantList&) {
        engine->Set(QXPgmrId::DataFileTypeCode, 4);
        return QVariant::fromValue<qint32>(0);
    });
    ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
    EXPECT_TRUE(data().blnDeviceSelected);
}
