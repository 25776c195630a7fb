// The data pattern commands over the simulated engine with the shipped
// devices, as the station runs them: files srec_cat wrote load, the files
// the station saves are read by srec_cat, and a malformed file changes
// nothing the operator sees.

#include "../operation/StandInWindowFixture.h"

#include "buffer/frmBufferCmd.h"
#include "buffer/frmBufferLoad.h"
#include "buffer/frmBufferSave.h"
#include "settings/ProgrammerClass.h"

#include "shell/CommandLine.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
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

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class StationBufferTest : public StandInWindowTest
{
protected:
    void SetUp() override
    {
        StandInWindowTest::SetUp();
        engine().Control()->SetEventSink(main);
        LoadAndShow();
        ASSERT_TRUE(window->SelectDevice(QStringLiteral("AM27C512")));
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
        ASSERT_TRUE(SrecCat({binary, QStringLiteral("-binary"), QStringLiteral("-o"), intel, QStringLiteral("-intel")}));
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
    ASSERT_TRUE(SrecCat({saved, QStringLiteral("-motorola"), QStringLiteral("-o"), back, QStringLiteral("-binary")}, &errors));
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
{
};

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
