// Choices of the stand-ins that the program does not rely on but that the
// station's set-up does: where the engine keeps its files, and the device
// settings kept by name being the numbered ones.

#include "CompanionFixture.h"

#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/DispatchObject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

class StandInTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        QXProgrammer.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    }

    QXPgmrControl QXProgrammer;
};

TEST_F(StandInTest, EngineFolderIsPerUserUnderTheDataHome)
{
    const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Corvane/QXEngine");
    // Made again when missing.
    QDir(expected).removeRecursively();
    EXPECT_EQ(QXProgrammer.EngineDirectory(), expected);
    EXPECT_TRUE(QFileInfo(expected + QStringLiteral("/DATALOG")).isDir());

    // The stand-in label editor's folder beside the engine, unless moved.
    const QString besideEngine =
        QFileInfo(companion::RegisteredLibrary(QString::fromLatin1(QXPgmrControl::ClassName))).absolutePath()
        + QStringLiteral("/ptouch");
    EXPECT_EQ(QXProgrammer.LabelPrinterDirectory(), besideEngine);
    EXPECT_TRUE(QFileInfo(besideEngine + QStringLiteral("/Ptedit3")).isExecutable());
    EXPECT_TRUE(QFileInfo(besideEngine + QStringLiteral("/ptedit")).isExecutable());
    qputenv("TARVO_LABEL_EDITOR_DIR", "/srv/labels/");
    EXPECT_EQ(QXProgrammer.LabelPrinterDirectory(), QStringLiteral("/srv/labels"));
    qunsetenv("TARVO_LABEL_EDITOR_DIR");
}

TEST_F(StandInTest, DeviceSettingsByNameShareTheNumberedProperties)
{
    const struct
    {
        const char* name;
        int numbered;
    } pairs[] = {
        {"DeviceByteOrder", QXPgmrId::ByteOrder},
        {"DeviceDataSetWidth", QXPgmrId::SetWidth},
        {"DeviceDataSetLength", QXPgmrId::BankCount},
        {"DeviceSetMode", QXPgmrId::SetMode},
        {"DeviceVectorDisplay", QXPgmrId::VectorDisplayMode},
        {"DeviceVectorXState", QXPgmrId::VectorXValue},
        {"DeviceVectorSeed", QXPgmrId::VectorSeed},
    };
    IDispatchControl& control = *QXProgrammer.Control();
    qint32 value = 10;
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.name);
        QXProgrammer.PutByName(QString::fromLatin1(p.name), ++value);
        EXPECT_EQ(control.Get(p.numbered).toInt(), value);
        control.Put(p.numbered, ++value);
        EXPECT_EQ(QXProgrammer.GetByName(QString::fromLatin1(p.name)).toInt(), value);
    }
}

TEST_F(StandInTest, ManualHandlerTakesTheHostWindowHandle)
{
    ASSERT_EQ(Register(QStringLiteral("ManualHdl.ocx")), companion::S_OK);
    ManualHdlControl ConcurrentManualHandler;
    ConcurrentManualHandler.Attach(companion::CreateControl(QString::fromLatin1(ManualHdlControl::ClassName)));
    EXPECT_NO_THROW(ConcurrentManualHandler.SetHostWindowHandle(qint32(0x2a00007)));
    // Without the handle the call is refused as a wrong argument count.
    try {
        ConcurrentManualHandler.SetHostWindowHandle();
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), DispatchObject::DISP_E_BADPARAMCOUNT);
    }
}

} // namespace

// The station file is written (and synced) at each change of the station,
// and left alone by a call that leaves the station as it was: every start
// sets the master site and shuts down with the station unchanged.
TEST_F(StandInTest, TheStationFileIsRewrittenOnlyWhenTheStationChanges)
{
    QXProgrammer.StartupValue108(BinDir());
    ASSERT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    const QString file = QXProgrammer.EngineDirectory() + QStringLiteral("/engine.ini");
    // Each save replaces the file, so a save shows as a new file.
    auto identity = [&file] {
        struct stat st
        {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? qint64(st.st_ino) : qint64(-1);
    };
    QXProgrammer.PortIndex(qint32(2));
    const qint64 saved = identity();
    ASSERT_NE(saved, -1);

    QXProgrammer.PortIndex(qint32(2));
    QXProgrammer.MasterSite(qint16(QXProgrammer.MasterSite()));
    EXPECT_EQ(QXProgrammer.InitializeEngine194(qint32(QXProgrammer.MasterSite())), 0);
    QXProgrammer.ShutDown();
    EXPECT_EQ(identity(), saved);

    ASSERT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    EXPECT_EQ(QXProgrammer.PortIndex(), 2);
    QXProgrammer.PortIndex(qint32(3));
    EXPECT_NE(identity(), saved);
    QXProgrammer.ShutDown();
    ASSERT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    EXPECT_EQ(QXProgrammer.PortIndex(), 3);
}
