// What the program relies on from the engine control, run against the
// control created by its class name. A real engine must pass the same.

#include "CompanionFixture.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class EngineConformanceTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        QXProgrammer.Attach(companion::CreateControl(QStringLiteral("QXPGMRLib.QXPgmr")));
    }

    QXPgmrControl QXProgrammer;
};

TEST_F(EngineConformanceTest, SilentModeIsAVbBooleanThatStartsFalse)
{
    IDispatchControl& control = *QXProgrammer.Control();
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode).toInt(), VbFalse);
    QXProgrammer.SilentMode(true);
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode).toInt(), VbTrue);
    EXPECT_TRUE(QXProgrammer.SilentMode());
    QXProgrammer.SilentMode(false);
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode).toInt(), VbFalse);
}

TEST_F(EngineConformanceTest, EngineDirectoryIsAWritableFolderWithItsDataLog)
{
    const QString folder = QXProgrammer.EngineDirectory();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isAbsolute());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // The black-box log goes to the "DATALOG" folder in it by default.
    QFile log(QDir(folder).filePath(QStringLiteral("DATALOG/BlackBox.log")));
    EXPECT_TRUE(log.open(QIODevice::Append)) << log.fileName().toStdString();
    EXPECT_EQ(QXProgrammer.EngineDirectory(), folder);
}

TEST_F(EngineConformanceTest, LabelPrinterDirectoryNamesAFolder)
{
    const QString folder = QXProgrammer.LabelPrinterDirectory();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isAbsolute());
    EXPECT_FALSE(folder.endsWith(QLatin1Char('/'))); // the program appends "/ptedit.exe "
}

TEST_F(EngineConformanceTest, TakesTheStartUpCalls)
{
    EXPECT_NO_THROW({
        QXProgrammer.SetGuiReady(true);
        QXProgrammer.SetMainWindowHandle(qint32(0x2a00007));
        QXProgrammer.VexalCommandLine(true);
        QXProgrammer.VexalCommandLine(false);
        QXProgrammer.SetGuiReady(false);
    });
}

TEST_F(EngineConformanceTest, DeviceSettingsKeptByNameComeBackByName)
{
    qint32 value = 3;
    for (const char* name : {"DeviceByteOrder", "DeviceDataSetWidth", "DeviceDataSetLength", "DeviceSetMode",
                             "DeviceVectorDisplay", "DeviceVectorXState", "DeviceVectorSeed"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(QXProgrammer.Control()->GetIDOfName(QString::fromLatin1(name)), -1);
        QXProgrammer.PutByName(QString::fromLatin1(name), ++value);
        EXPECT_EQ(QXProgrammer.GetByName(QString::fromLatin1(name)).toInt(), value);
    }
}

} // namespace
