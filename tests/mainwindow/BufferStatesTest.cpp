// The File menu's data-pattern entries follow the engine's buffer: clearing,
// the entries that a Vexal device or an AFM or STAPL file keeps from editing,
// and the recent-file entries.
#include "MainWindowFixture.h"

#include "settings/ProgrammerClass.h"

#include <QAction>
#include <QLineEdit>

namespace {

using BufferStatesTest = MainWindowTest;

TEST_F(BufferStatesTest, ClearBufferChangesNothingWhenTheEngineRefuses)
{
    ASSERT_TRUE(start());
    ProgrammerClass& data = gMainForm->pgmrData();
    for (const bool refused : {true, false}) {
        SCOPED_TRACE(refused);
        engine.answers[QXPgmrId::DataFileValue313] = VbBool(refused);
        data.blnBufferEmpty = false;
        data.blnFileLoaded = true;
        gMainForm->SaveDataPattern->setEnabled(true);
        gMainForm->SaveDataPatternAs->setEnabled(true);
        operationWindow().txtFile->setText("pattern.hex");
        engine.calls.clear();

        EXPECT_EQ(gMainForm->ClearBuffer(), refused);

        EXPECT_EQ(data.blnBufferEmpty, !refused);
        EXPECT_EQ(data.blnFileLoaded, refused);
        EXPECT_EQ(gMainForm->SaveDataPattern->isEnabled(), refused);
        EXPECT_EQ(gMainForm->SaveDataPatternAs->isEnabled(), refused);
        EXPECT_EQ(operationWindow().txtFile->text(), refused ? "pattern.hex" : "<Empty>");
        EXPECT_EQ(engine.Calls({QXPgmrId::DataFileTypeCode}), refused ? QStringList() : QStringList{"DataFileTypeCode=0"});
    }
}

TEST_F(BufferStatesTest, EditDataPatternIsKeptFromVexalDevicesAndAfmFilesOutsideVexalMode)
{
    struct Case
    {
        bool vexalMode;
        bool vexalDevice;
        qint32 fileType;
        bool editable;
    };
    ASSERT_TRUE(start());
    for (const Case c : {Case{false, false, 0, true}, Case{false, true, 0, false}, Case{false, false, 13, false},
                         Case{true, true, 0, true}, Case{true, false, 13, true}, Case{true, true, 13, true}}) {
        SCOPED_TRACE(testing::Message() << "Vexal mode " << c.vexalMode << ", Vexal device " << c.vexalDevice
                                        << ", file type " << c.fileType);
        engine.answers[QXPgmrId::IsVexalMode] = VbBool(c.vexalMode);
        engine.answers[QXPgmrId::DeviceIsVexal] = VbBool(c.vexalDevice);
        engine.answers[QXPgmrId::DataFileTypeCode] = c.fileType;
        gMainForm->EditDataPattern->setEnabled(!c.editable);
        gMainForm->DisableBufferActionsForVexal();
        EXPECT_EQ(gMainForm->EditDataPattern->isEnabled(), c.editable);
    }
}

TEST_F(BufferStatesTest, ClearingTheRecentFilesLeavesTheSeparator)
{
    ASSERT_TRUE(start());
    gMainForm->ShowRecentFiles({"/data/a.hex", "/data/b.hex"});
    ASSERT_TRUE(gMainForm->mnuRecentFile[0]->isVisible());
    ASSERT_EQ(gMainForm->mnuRecentFile[1]->text(), "&1 /data/a.hex");

    gMainForm->ClearFileMRUList();

    EXPECT_TRUE(gMainForm->mnuRecentFile[0]->isVisible());
    EXPECT_TRUE(gMainForm->mnuRecentFile[0]->isSeparator());
    for (int i = 1; i < gMainForm->mnuRecentFile.size(); ++i) {
        EXPECT_FALSE(gMainForm->mnuRecentFile[i]->isVisible()) << i;
        EXPECT_TRUE(gMainForm->mnuRecentFile[i]->text().isEmpty()) << i;
    }
}

} // namespace
