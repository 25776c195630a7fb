// The data pattern commands of the operation window, through its File button
// and ExecuteBufferCommand, with the data pattern window and its load and
// save dialogs driven through their controls.

#include "BufferFixture.h"

#include "buffer/DefaultBufferValue.h"
#include "buffer/frmBufferLoad.h"
#include "buffer/frmBufferSave.h"
#include "engine/DataPaneControl.h"
#include "platform/DispatchObject.h"
#include "shell/CommandLine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QByteArray kIntel = ":0400000001020304F2\n:00000001FF\n";
} // namespace

TEST_F(BufferWindowTest, FileButtonOpenBrowseOkLoadsAndShowsTheFile)
{
    const QString path = WriteFile(QStringLiteral("pattern.hex"), kIntel);
    QStringList recent;
    SetRecentFilesMenu({[] { return 5; }, [&](const QStringList& files) { recent = files; }});

    // The window, then its load dialog (Browse, OK), then the window again.
    OnDialog<frmBufferCmd>([&](frmBufferCmd& w) { w.Open->click(); });
    OnDialog<frmBufferLoad>([&](frmBufferLoad& load) {
        ui().Answer(path); // the browser
        load.Browse->click();
        EXPECT_EQ(load.SelectedFile(), path);
        EXPECT_EQ(load.LoadFileAs->currentData().toInt(), 1); // detected Intel
        EXPECT_TRUE(load.ByteAddrSize->isEnabled());
        load.OKButton->click();
    });
    OnDialog<frmBufferCmd>([&](frmBufferCmd& w) {
        w.show(); // shown again, it shows what the load made of the buffer
        EXPECT_EQ(w.TypeText->text(), QStringLiteral("Intel Hex"));
        EXPECT_FALSE(w.CheckSumText->text().isEmpty());
        EXPECT_EQ(w.CheckSumText->text(), main->QXProgrammer.ChecksumText());
        EXPECT_TRUE(w.CheckSumText->isVisibleTo(&w));
        w.OKButton->click();
    });
    window->FileButton->click();

    EXPECT_EQ(engine->loads, QStringList{QStringLiteral("pattern.hex|1")});
    EXPECT_EQ(data().strFileName, QStringLiteral("pattern.hex"));
    EXPECT_EQ(data().strFilePath, folder + QLatin1Char('/'));
    EXPECT_TRUE(data().blnFileLoaded);
    EXPECT_FALSE(data().blnBufferEmpty);
    EXPECT_TRUE(window->FileButton->isEnabled());
    EXPECT_TRUE(window->txtFile->text().startsWith(QStringLiteral("pattern.hex")))
        << window->txtFile->text().toStdString();
    EXPECT_EQ(recent.value(0), path);
    SetRecentFilesMenu({});
}

struct AutomationLoadCase
{
    const char* name;
    const char* file; // written into the test's folder; "" names a missing file
    qint32 typeCode;
    bool result;
    qint32 loadedAs;   // the type the engine was asked for, -1 when it was not asked
    QStringList boxes; // "title|text"
};

class AutomationLoadTest : public BufferWindowTest, public ::testing::WithParamInterface<AutomationLoadCase>
{};

TEST_P(AutomationLoadTest, LoadsWithNoWindowAndAnswersWhetherAFileWasLoaded)
{
    const AutomationLoadCase& c = GetParam();
    const QString path = QString::fromUtf8(c.file).isEmpty() ? folder + QStringLiteral("/missing.hex")
                                                             : WriteFile(QString::fromUtf8(c.file), kIntel);
    // Failed loads leave this earlier file in place.
    data().strFileName = QStringLiteral("before.bin");
    data().strFilePath = QStringLiteral("/old/");
    for (int i = 0; i < c.boxes.size(); ++i)
        ui().Answer(vb::vbOK);

    EXPECT_EQ(window->ExecuteBufferCommand(6, path, c.typeCode), c.result);

    EXPECT_EQ(Boxes(), c.boxes);
    if (c.loadedAs >= 0)
        EXPECT_EQ(engine->loads, QStringList{QStringLiteral("%1|%2").arg(QFileInfo(path).fileName()).arg(c.loadedAs)});
    else
        EXPECT_TRUE(engine->loads.isEmpty());
    if (c.result) {
        EXPECT_EQ(data().strFileName, QFileInfo(path).fileName());
    } else {
        EXPECT_EQ(data().strFileName, QStringLiteral("before.bin"));
        EXPECT_EQ(data().strFilePath, QStringLiteral("/old/"));
        EXPECT_FALSE(data().blnFileLoaded);
    }
    EXPECT_TRUE(window->FileButton->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, AutomationLoadTest,
    ::testing::Values(
        AutomationLoadCase{"DetectedType", "a.hex", 255, true, 1, {}},
        AutomationLoadCase{"GivenTypeWhateverTheListShows", "b.hex", 3, true, 3, {}},
        AutomationLoadCase{"MissingFile",
                           "",
                           255,
                           false,
                           -1,
                           {QStringLiteral("File Name Error|You must select a valid data pattern file!")}},
        AutomationLoadCase{
            "UnknownCode", "c.hex", 42, false, 42, {QStringLiteral("File Loading|    Error loading the file!     ")}}),
    [](const auto& info) { return std::string(info.param.name); });

// The status line names the command-line data file (nothing when the
// command line named none), never the name an automation client or the
// shared file browser last had.
TEST_F(BufferWindowTest, AMissingFileNamesTheCommandLineDataFileInTheStatusLine)
{
    const QString path = folder + QStringLiteral("/gone.hex");
    ui().Answer(vb::vbOK);
    EXPECT_FALSE(window->ExecuteBufferCommand(6, path, 255));
    EXPECT_TRUE(StatusLines().contains(QStringLiteral("Error accessing the file ")))
        << StatusLines().join('\n').toStdString();
    EXPECT_FALSE(StatusLines().join('\n').contains(path));

    const QString named = folder + QStringLiteral("/named-on-the-command-line.hex");
    SetCmdLineDataFile(named);
    main->dlgCommonDialog.FileName = folder + QStringLiteral("/unrelated.hex");
    ui().Answer(vb::vbOK);
    window->LoadCmdLnDataPatternFile();
    SetCmdLineDataFile(QString());
    EXPECT_TRUE(StatusLines().contains(QStringLiteral("Error accessing the file ") + named))
        << StatusLines().join('\n').toStdString();
    EXPECT_FALSE(StatusLines().join('\n').contains(QStringLiteral("unrelated.hex")));
}

TEST_F(BufferWindowTest, AMalformedFileLeavesSummaryAndBufferAsBefore)
{
    const QString good = WriteFile(QStringLiteral("good.hex"), kIntel);
    ASSERT_TRUE(window->ExecuteBufferCommand(6, good, 255));
    const QString summary = window->txtFile->text();
    const QByteArray bytes = engine->buffer;
    const QString bad = WriteFile(QStringLiteral("bad.hex"), "BAD\n");

    ui().Answer(vb::vbOK);
    EXPECT_FALSE(window->ExecuteBufferCommand(6, bad, 1));

    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("File Loading|    Error loading the file!     ")});
    EXPECT_EQ(engine->buffer, bytes);
    EXPECT_EQ(window->txtFile->text(), summary);
    EXPECT_EQ(data().strFileName, QStringLiteral("good.hex"));
    EXPECT_TRUE(data().blnFileLoaded);
    EXPECT_EQ(window->BufferTypeGetName(), QStringLiteral("good.hex"));
    // The engine's reason follows the box.
    EXPECT_TRUE(StatusLines().contains(bad + QStringLiteral(", line 1: bad checksum")));
}

TEST_F(BufferWindowTest, ACancelledBrowseLoadsNothingAndAnswersFalse)
{
    ui().Answer(QString()); // the browser, cancelled
    EXPECT_FALSE(window->ExecuteBufferCommand(1, QString(), -1));
    EXPECT_TRUE(engine->loads.isEmpty());
    EXPECT_FALSE(data().blnFileLoaded);
}

TEST_F(BufferWindowTest, ARecentFileLoadsOnceAfterItsDialogIsConfirmed)
{
    const QString path = WriteFile(QStringLiteral("recent.hex"), kIntel);
    OnDialog<frmBufferLoad>([](frmBufferLoad& load) { load.OKButton->click(); });
    EXPECT_TRUE(window->ExecuteBufferCommand(1, path, -1));
    EXPECT_EQ(engine->loads, QStringList{QStringLiteral("recent.hex|1")});
}

TEST_F(BufferWindowTest, AReversedRangeIsRefusedAndNothingIsLoaded)
{
    const QString path = WriteFile(QStringLiteral("range.hex"), kIntel);
    OnDialog<frmBufferLoad>([&](frmBufferLoad& load) {
        load.LoadEntireFile->setChecked(false);
        load.AutoAddrLoad->setChecked(false);
        load.LowAddrLoad->setText(QStringLiteral("100"));
        load.HighAddrLoad->setText(QStringLiteral("50"));
        ui().Answer(vb::vbOK);
        ui().Answer(vb::vbOK);
        load.OKButton->click();
        EXPECT_FALSE(load.CommitDlg(255));
        load.CancelButton->click();
    });
    EXPECT_FALSE(window->ExecuteBufferCommand(1, path, -1));
    EXPECT_TRUE(engine->loads.isEmpty());
    EXPECT_TRUE(Boxes().contains(QStringLiteral(
        "Configuration Error|The lowest address is larger than the highest address! Please check the configuration!")));
}

TEST_F(BufferWindowTest, ClearShowsTheBufferEmpty)
{
    const QString path = WriteFile(QStringLiteral("c.hex"), kIntel);
    ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
    EXPECT_TRUE(window->ExecuteBufferCommand(5, QString(), -1));
    EXPECT_EQ(window->txtFile->text(), QStringLiteral("<Empty>"));
    EXPECT_FALSE(data().blnFileLoaded);
    EXPECT_TRUE(data().blnBufferEmpty);
}

TEST_F(BufferWindowTest, ARunTimeFailureShowsItsOwnDescriptionAndFreesTheFileButton)
{
    engine->failing.insert(QXPgmrId::BufferSize);
    ui().Answer(vb::vbOK);
    EXPECT_FALSE(window->ExecuteBufferCommand(7, QString(), -1));
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_EQ(Boxes().first(), QStringLiteral("System Error|Member not found."));
    EXPECT_TRUE(window->FileButton->isEnabled());
    EXPECT_EQ(window->m_frmBufferCmd, nullptr);
}

TEST_F(BufferWindowTest, SaveToTheRecordedFileWritesItWithoutAsking)
{
    const QString path = WriteFile(QStringLiteral("s.hex"), kIntel);
    ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
    engine->buffer = "changed";
    window->bBufferDirty = true;
    EXPECT_TRUE(window->ExecuteBufferCommand(2, QString(), -1));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("changed"));
    EXPECT_FALSE(window->bBufferDirty);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(BufferWindowTest, AFailedSaveRecordsNoFileAndKeepsTheBufferUnsaved)
{
    const QString path = WriteFile(QStringLiteral("keep.hex"), kIntel);
    ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
    window->bBufferDirty = true;
    engine->saveResult = 9;
    const QString other = folder + QStringLiteral("/sub/new.hex");
    ui().Answer(other); // the browser
    OnDialog<frmBufferSave>([&](frmBufferSave& save) {
        ui().Answer(vb::vbOK);
        save.OKButton->click();
    });
    EXPECT_TRUE(window->ExecuteBufferCommand(3, QString(), -1));
    EXPECT_TRUE(Boxes().contains(QStringLiteral("File Saving|    Error Saving the File!      ")));
    EXPECT_TRUE(StatusLines().contains(QStringLiteral("Disk full.")));
    EXPECT_EQ(data().strFileName, QStringLiteral("keep.hex"));
    EXPECT_TRUE(window->bBufferDirty);
}

TEST_F(BufferWindowTest, SaveAsCancelledSavesNothing)
{
    engine->buffer = "abc";
    ui().Answer(QString()); // the browser, cancelled
    EXPECT_TRUE(window->ExecuteBufferCommand(3, QString(), -1));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TEST_F(BufferWindowTest, ACommandLineFileLoadsWithNoWindowOnScreen)
{
    const QString path = WriteFile(QStringLiteral("cmd.hex"), kIntel);
    SetCmdLineDataFile(path);
    // The File button's command: the window's load takes the file and
    // confirms it itself.
    window->ExecuteBufferCommand(0, QString(), -1);
    EXPECT_EQ(engine->loads, QStringList{QStringLiteral("cmd.hex|1")});
    EXPECT_EQ(data().strFileName, QStringLiteral("cmd.hex"));
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(BufferWindowTest, SaveAsDropsATrailingSeparatorFromTheChosenName)
{
    engine->buffer = "xyz";
    ui().Answer(folder + QStringLiteral("/plain.bin/"));
    OnDialog<frmBufferSave>([](frmBufferSave& save) { save.OKButton->click(); });
    EXPECT_TRUE(window->ExecuteBufferCommand(3, QString(), -1));
    QFile f(folder + QStringLiteral("/plain.bin"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("xyz"));
    EXPECT_EQ(data().strFileName, QStringLiteral("plain.bin"));
    EXPECT_EQ(data().strFilePath, folder + QLatin1Char('/'));
}

TEST_F(BufferWindowTest, EditMarksTheLoadedFileChanged)
{
    // A viewer that takes every setting and whose editor changes a byte.
    struct EditingViewer : DispatchObject
    {
        explicit EditingViewer(QByteArray& buffer)
            : DispatchObject(QString::fromLatin1(DataPaneControl::ClassName), DataPaneControl::Members())
        {
            AnswerUndeclaredAsFake();
            On(DataPaneId::ShowEditor, [&buffer](InvokeKind, QVariantList&) {
                buffer[0] = char(buffer[0] + 1);
                return QVariant();
            });
        }
    };
    main->vwBufViewer.Attach(std::make_unique<EditingViewer>(engine->buffer));
    const QString path = WriteFile(QStringLiteral("e.hex"), kIntel);
    ASSERT_TRUE(window->ExecuteBufferCommand(6, path, 255));
    engine->TakeWrites();
    EXPECT_TRUE(window->ExecuteBufferCommand(4, QString(), -1));
    EXPECT_TRUE(engine->TakeWrites().contains(QStringLiteral("BufferEditFlag=258")));
    EXPECT_TRUE(window->bBufferDirty);
    EXPECT_EQ(window->BufferTypeGetName(), QStringLiteral("e.hex*"));
    EXPECT_TRUE(window->txtFile->text().startsWith(QStringLiteral("e.hex*")));
    EXPECT_TRUE(data().blnFileLoaded);
}
