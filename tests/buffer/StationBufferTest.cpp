// The data pattern commands over the simulated engine with the shipped
// devices, as the station runs them: files srec_cat wrote load, the files
// the station saves are read by srec_cat, and a malformed file changes
// nothing the operator sees.

#include "../operation/StandInWindowFixture.h"

#include "buffer/frmBufferCmd.h"
#include "buffer/frmBufferLoad.h"
#include "buffer/frmBufferSave.h"
#include "engine/DataPaneControl.h"
#include "settings/ProgrammerClass.h"

#include "shell/CommandLine.h"
#include "platform/ScriptedUiService.h"
#include "FileBytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QAbstractScrollArea>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <cstring>
#include <random>

namespace {

// Runs srec_cat; fails the test naming the package when it is missing.
bool SrecCat(const QStringList& arguments, QByteArray* standardError = nullptr)
{
    if (QStandardPaths::findExecutable(QStringLiteral("srec_cat")).isEmpty()) {
        ADD_FAILURE() << "srec_cat is missing: install the package \"srecord\"";
        return false;
    }
    QProcess process;
    process.start(QStringLiteral("srec_cat"), arguments);
    const bool ok = process.waitForFinished(120000) && process.exitCode() == 0;
    if (standardError)
        *standardError = process.readAllStandardError();
    return ok;
}

} // namespace

class StationBufferTest : public StandInWindowTest
{
protected:
    void SetUp() override
    {
        StandInWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(ShowOnDevice(QStringLiteral("AM27C512")));
        folder = tempPath(QStringLiteral("patterns"));
        QDir().mkpath(folder);
        // Random bytes with a gap, as srec_cat writes them into Intel HEX.
        std::mt19937 rng(12);
        QByteArray bytes(4096, Qt::Uninitialized);
        for (char& b : bytes)
            b = char(rng());
        original = bytes;
        binary = folder + QStringLiteral("/pattern.bin");
        QFile f(binary);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        intel = folder + QStringLiteral("/pattern.hex");
        ASSERT_TRUE(
            SrecCat({binary, QStringLiteral("-binary"), QStringLiteral("-o"), intel, QStringLiteral("-intel")}));
    }

    template <class D>
    void OnDialog(std::function<void(D&)> act)
    {
        ui().OnModal([act](QDialog* dialog) {
            D* d = qobject_cast<D*>(dialog);
            EXPECT_NE(d, nullptr) << "opened " << dialog->objectName().toStdString();
            if (d)
                act(*d);
            return dialog->result();
        });
    }

    QStringList StatusLines() const
    {
        QStringList lines;
        for (int i = 0; i < window->cboStatus->count(); ++i)
            lines << window->cboStatus->item(i)->text();
        return lines;
    }

    QString folder, binary, intel;
    QByteArray original;
};

TEST_F(StationBufferTest, OpenBrowseOkShowsTheFileAndSaveAsWritesWhatSrecCatReads)
{
    QStringList recent;
    SetRecentFilesMenu({[] { return 5; }, [&](const QStringList& files) { recent = files; }});
    OnDialog<frmBufferCmd>([](frmBufferCmd& w) { w.Open->click(); });
    OnDialog<frmBufferLoad>([&](frmBufferLoad& load) {
        ui().Answer(intel);
        load.Browse->click();
        load.OKButton->click();
    });
    OnDialog<frmBufferCmd>([&](frmBufferCmd& w) {
        w.show();
        qint32 intelCode = 1;
        EXPECT_EQ(w.TypeText->text(), engine().FileTypeNameAt(intelCode));
        EXPECT_EQ(w.CheckSumText->text(), engine().ChecksumText());
        w.OKButton->click();
    });
    window->FileButton->click();
    EXPECT_TRUE(window->txtFile->text().contains(QStringLiteral("pattern.hex")));
    EXPECT_TRUE(window->txtFile->text().contains(QStringLiteral("CSUM = ") + engine().ChecksumText()));
    EXPECT_EQ(recent.value(0), intel);
    SetRecentFilesMenu({});

    // Save As: S-records of the whole buffer.
    const QString saved = folder + QStringLiteral("/saved.s19");
    ui().Answer(saved);
    OnDialog<frmBufferSave>([](frmBufferSave& save) {
        save.SaveFileAs->setCurrentIndex(save.SaveFileAs->findData(3));
        save.SaveFileAs_Click();
        save.OKButton->click();
    });
    ASSERT_TRUE(window->ExecuteBufferCommand(3, QString(), -1));
    const QString back = folder + QStringLiteral("/back.bin");
    QByteArray errors;
    ASSERT_TRUE(
        SrecCat({saved, QStringLiteral("-motorola"), QStringLiteral("-o"), back, QStringLiteral("-binary")}, &errors));
    EXPECT_TRUE(errors.isEmpty()) << errors.constData();
    EXPECT_EQ(ReadAll(back).left(original.size()), original);
    EXPECT_EQ(data().strFileName, QStringLiteral("saved.s19"));
}

TEST_F(StationBufferTest, ClearShowsEmpty)
{
    ASSERT_TRUE(window->ExecuteBufferCommand(6, intel, 255));
    EXPECT_TRUE(window->ExecuteBufferCommand(5, QString(), -1));
    EXPECT_EQ(window->txtFile->text(), QStringLiteral("<Empty>"));
}

// The Buffer Editor opened and closed without an edit, or cancelled after
// one, leaves the loaded pattern as it was; only a confirmed edit marks it.
TEST_F(StationBufferTest, OnlyAConfirmedEditMarksThePatternModified)
{
    // The station's buffer viewer, as start-up creates it.
    ASSERT_EQ(RegisterPlugin(QStringLiteral("DataPane.ocx")), companion::S_OK);
    main->vwBufViewer.Attach(companion::CreateControl(QString::fromLatin1(DataPaneControl::ClassName)));
    ASSERT_TRUE(window->ExecuteBufferCommand(6, intel, 255));
    const QString loaded = window->txtFile->text();
    ASSERT_TRUE(loaded.startsWith(QStringLiteral("pattern.hex    "))) << loaded.toStdString();
    const struct
    {
        const char* title;
        bool edit;
        bool confirm;
        bool modified;
    } cases[] = {
        {"opened and closed", false, true, false},
        {"edited and cancelled", true, false, false},
        {"edited and confirmed", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ui().OnModal([&](QDialog* editor) {
            EXPECT_EQ(editor->objectName(), QStringLiteral("BufferEditor"));
            if (c.edit) {
                auto* view = editor->findChild<QAbstractScrollArea*>(QStringLiteral("BufferView"));
                EXPECT_NE(view, nullptr);
                if (view)
                    QTest::keyClicks(view, QStringLiteral("a5"));
            }
            c.confirm ? editor->accept() : editor->reject();
            return editor->result();
        });
        ASSERT_TRUE(window->ExecuteBufferCommand(4, QString(), -1));
        EXPECT_EQ(window->txtFile->text().startsWith(QStringLiteral("pattern.hex*")), c.modified)
            << window->txtFile->text().toStdString();
        EXPECT_EQ(window->bBufferDirty, c.modified);
        if (!c.modified)
            EXPECT_EQ(window->txtFile->text(), loaded);
    }
}

TEST_F(StationBufferTest, AMalformedFileLeavesSummaryAndBufferAsBefore)
{
    ASSERT_TRUE(window->ExecuteBufferCommand(6, intel, 255));
    const QString summary = window->txtFile->text();
    const QString checksum = engine().ChecksumText();
    const QString bad = folder + QStringLiteral("/bad.hex");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(":0400000001020304F3\n:00000001FF\n"); // checksum off by one
    f.close();
    ui().Answer(vb::vbOK);
    EXPECT_FALSE(window->ExecuteBufferCommand(6, bad, 255));
    EXPECT_EQ(window->txtFile->text(), summary);
    EXPECT_EQ(engine().ChecksumText(), checksum);
    EXPECT_EQ(data().strFileName, QStringLiteral("pattern.hex"));
}

// "-prog_file": the named file loads with no window, and both command-line
// names are given up, so that a second call loads nothing.
TEST_F(StationBufferTest, TheCommandLineDataFileLoadsOnceWithNoWindow)
{
    SetCmdLineDataFile(intel);
    SetCmdLineDevice(QStringLiteral("AM27C512"));
    EXPECT_TRUE(window->LoadCmdLnDataPatternFile());
    EXPECT_EQ(data().strFileName, QStringLiteral("pattern.hex"));
    EXPECT_TRUE(GetCmdLineDataFile().isEmpty());
    EXPECT_TRUE(GetCmdLineDevice().isEmpty());
    EXPECT_TRUE(ui().Shown().isEmpty());

    EXPECT_TRUE(window->ExecuteBufferCommand(5, QString(), -1));
    EXPECT_TRUE(window->LoadCmdLnDataPatternFile()); // nothing named any more
    EXPECT_EQ(window->txtFile->text(), QStringLiteral("<Empty>"));
    EXPECT_FALSE(data().blnFileLoaded);
}

struct StationLoadCase
{
    const char* name;
    bool missing;
    qint32 typeCode;
    bool result;
    const char* boxTitle; // "" for none
};

class StationLoadTest : public StationBufferTest, public ::testing::WithParamInterface<StationLoadCase>
{};

TEST_P(StationLoadTest, CommandSixAnswersWhetherTheFileWasLoaded)
{
    const StationLoadCase& c = GetParam();
    if (*c.boxTitle)
        ui().Answer(vb::vbOK);
    const QString path = c.missing ? folder + QStringLiteral("/missing.hex") : intel;
    EXPECT_EQ(window->ExecuteBufferCommand(6, path, c.typeCode), c.result);
    ASSERT_EQ(ui().Shown().size(), *c.boxTitle ? 1 : 0);
    if (*c.boxTitle) {
        EXPECT_TRUE(ui().Shown().first().startsWith(QString::fromUtf8(c.boxTitle) + QLatin1Char('\t')));
    }
    EXPECT_EQ(data().blnFileLoaded, c.result);
}

INSTANTIATE_TEST_SUITE_P(Codes, StationLoadTest,
                         ::testing::Values(StationLoadCase{"Auto", false, 255, true, ""},
                                           StationLoadCase{"IntelCode", false, 1, true, ""},
                                           StationLoadCase{"MissingFile", true, 255, false, "File Name Error"},
                                           StationLoadCase{"UnknownCode", false, 42, false, "File Loading"}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// Writes count bytes of a pattern that differs from the fill byte at every
// address (each 32-bit word holds its own offset).
bool WritePattern(const QString& path, qint64 count)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < count; at += block.size()) {
        for (qsizetype i = 0; i < block.size(); i += 4) {
            const quint32 word = quint32(at + i) | 0x01010101u;
            std::memcpy(block.data() + i, &word, 4);
        }
        if (f.write(block.constData(), std::min<qint64>(block.size(), count - at)) < 0)
            return false;
    }
    return true;
}

// The two files hold the same bytes (read a block at a time).
bool SameBytes(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd())
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    return true;
}

} // namespace

// A 48 MiB file on the 64 MiB NV25Q512, loaded whole after the operator
// switched the load dialog to hexadecimal: the switch converts the whole
// addresses, so every byte arrives and reads back as the file holds it.
TEST_F(StationBufferTest, AWholeFileLoadedAfterAHexadecimalSwitchArrivesWhole)
{
    ASSERT_TRUE(window->SelectDevice(QStringLiteral("NV25Q512")));
    const qint64 size = qint64(48) << 20;
    const QString big = folder + QStringLiteral("/big.bin");
    ASSERT_TRUE(WritePattern(big, size));
    OnDialog<frmBufferCmd>([](frmBufferCmd& w) { w.Open->click(); });
    OnDialog<frmBufferLoad>([&](frmBufferLoad& load) {
        ui().Answer(big);
        load.Browse->click();
        load.LoadEntireFile->setChecked(true);
        EXPECT_EQ(load.HighAddrLoad->text(), QStringLiteral("4294967295"));
        load.HexadecimalButton->click();
        EXPECT_EQ(load.HighAddrLoad->text(), QStringLiteral("FFFFFFFF"));
        load.OKButton->click();
    });
    OnDialog<frmBufferCmd>([](frmBufferCmd& w) { w.OKButton->click(); });
    window->FileButton->click();
    ASSERT_TRUE(window->txtFile->text().contains(QStringLiteral("big.bin"))) << window->txtFile->text().toStdString();

    // What the buffer holds, saved as the file's range in Binary.
    QString saved = folder + QStringLiteral("/back.bin");
    qint32 low = 0;
    qint32 high = qint32(size - 1);
    ASSERT_EQ(engine().SaveDataFileRange(saved, qint32(0), false, low, high), 0);
    EXPECT_TRUE(SameBytes(saved, big));
    QFile::remove(saved);
    QFile::remove(big);
}

// With WORD addressing the save dialog's range is still one of buffer
// addresses; the file's addresses count words. The range 0 to 65535 of the
// 64 KiB AM27C512 is the whole buffer: words 0 to 32767.
TEST_F(StationBufferTest, AWordRangeSavesTheWordsOfThoseBytes)
{
    const struct
    {
        const char* name;
        const char* low;
        const char* high;
        qint64 firstByte, endByte; // the bytes the file must hold
    } cases[] = {{"whole buffer", "0", "65535", 0, 65536}, {"a range inside", "256", "4351", 256, 4352}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(window->ExecuteBufferCommand(6, binary, 0));
        // The buffer as the engine holds it: the pattern, then the fill byte.
        const QString whole = folder + QStringLiteral("/whole.bin");
        qint32 low = 0;
        qint32 high = 65535;
        ASSERT_EQ(engine().SaveDataFileRange(whole, qint32(0), true, low, high), 0);
        const QByteArray buffer = ReadAll(whole);
        ASSERT_EQ(buffer.size(), 65536);
        const QString saved = folder + QStringLiteral("/words.hex");
        QFile::remove(saved);
        ui().Answer(saved);
        OnDialog<frmBufferSave>([&](frmBufferSave& save) {
            save.SaveFileAs->setCurrentIndex(save.SaveFileAs->findData(1));
            save.SaveFileAs_Click();
            save.WordAddrSize->click();
            save.DecimalButton->click();
            save.SaveEntireBuf->setCheckState(Qt::Unchecked);
            save.LowAddrSave->setText(QString::fromLatin1(c.low));
            save.HighAddrSave->setText(QString::fromLatin1(c.high));
            save.OKButton->click();
        });
        ASSERT_TRUE(window->ExecuteBufferCommand(3, QString(), -1));
        ASSERT_TRUE(QFileInfo::exists(saved)) << ui().Shown().join('\n').toStdString();
        EXPECT_FALSE(ui().Shown().join('\n').contains(QStringLiteral("Error Saving the File!")));

        // srec_cat reads the file's records (their word addresses overlap
        // when read as bytes, so the later record's bytes are taken): the
        // lowest address is the first word, and each record starts with the
        // bytes of its word.
        const QString back = folder + QStringLiteral("/words.bin");
        ASSERT_TRUE(SrecCat({saved, QStringLiteral("-intel"), QStringLiteral("-multiple"), QStringLiteral("-o"), back,
                             QStringLiteral("-binary")}));
        const QByteArray image = ReadAll(back);
        const qint64 firstWord = c.firstByte / 2;
        ASSERT_GT(image.size(), firstWord + 16);
        EXPECT_EQ(image.mid(firstWord, 16), buffer.mid(c.firstByte, 16));
        EXPECT_EQ(image.left(firstWord), QByteArray(firstWord, '\0')) << "data below the first word";

        // Loaded back with word addressing into a cleared buffer: exactly
        // those bytes, the fill byte around them.
        engine().WordAddressing(true);
        QString path = saved;
        qint32 intelCode = 1;
        ASSERT_EQ(engine().LoadDataFileAs(path, intelCode), 0);
        QString again = folder + QStringLiteral("/again.bin");
        qint32 lowBack = 0;
        qint32 highBack = 65535;
        engine().WordAddressing(false);
        ASSERT_EQ(engine().SaveDataFileRange(again, qint32(0), true, lowBack, highBack), 0);
        const QByteArray loaded = ReadAll(again);
        ASSERT_EQ(loaded.size(), 65536);
        qint64 differs = -1;
        for (qint64 i = c.firstByte; i < c.endByte && differs < 0; ++i)
            if (loaded.at(i) != buffer.at(i))
                differs = i;
        EXPECT_EQ(differs, -1) << "the first byte that differs";
        // Around them, the fill byte of the cleared buffer and nothing else.
        const QByteArray around = loaded.left(c.firstByte) + loaded.mid(c.endByte);
        if (!around.isEmpty()) {
            EXPECT_EQ(around, QByteArray(around.size(), around.at(0)));
        }
    }
}

namespace {

// The scripted boxes, with a look at the window at the moment each box is up.
class WatchingUi : public ScriptedUiService
{
public:
    using ScriptedUiService::ScriptedUiService;
    int MsgBox(const QString& prompt, int buttons, const QString& title) override
    {
        if (onBox)
            onBox(prompt);
        return ScriptedUiService::MsgBox(prompt, buttons, title);
    }
    std::function<void(const QString&)> onBox;
};

} // namespace

// Files that hold no data are refused as an empty file is: the buffer, its
// checksum and the Data Pattern line stay with the file loaded before, and
// the line shows it while the box is up.
TEST_F(StationBufferTest, AFileWithoutDataIsRefusedAndTheLoadedOneIsKept)
{
    const struct
    {
        const char* name;
        const char* device; // nullptr: the fixture's
        const char* file;
        QByteArray content;
        const char* reason;
    } cases[] = {
        {"end record alone", nullptr, "end.hex", ":00000001FF\n", "the file is empty"},
        {"empty file", nullptr, "zero.hex", "", "the file is empty"},
        {"JEDEC without fuse data", "NV30F1G08", "nofuses.jed",
         QByteArray("\x02*\x03"
                    "0000",
                    7),
         "the file holds no fuse data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.device)
            ASSERT_TRUE(window->SelectDevice(QString::fromLatin1(c.device)));
        ASSERT_TRUE(window->ExecuteBufferCommand(6, binary, 0));
        const QString line = window->txtFile->text();
        const QString checksum = engine().ChecksumText();
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(c.file);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
        f.close();

        auto watching = std::make_unique<WatchingUi>(QStringList{QString::number(vb::vbOK)});
        QStringList linesWhileUp;
        watching->onBox = [&](const QString&) { linesWhileUp << window->txtFile->text(); };
        WatchingUi* watched = watching.get();
        std::unique_ptr<UiService> previous = SetUi(std::move(watching));
        const bool loaded = window->ExecuteBufferCommand(6, path, 255);
        const QStringList shown = watched->Shown();
        SetUi(std::move(previous));

        EXPECT_FALSE(loaded);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.first().contains(QStringLiteral("Error loading the file!"))) << shown.first().toStdString();
        EXPECT_EQ(linesWhileUp, QStringList{line});
        EXPECT_EQ(window->txtFile->text(), line);
        EXPECT_EQ(engine().ChecksumText(), checksum);
        EXPECT_EQ(data().strFileName, QStringLiteral("pattern.bin"));
        EXPECT_TRUE(StatusLines().join('\n').contains(QString::fromLatin1(c.reason)))
            << StatusLines().join('\n').toStdString();
    }
}
