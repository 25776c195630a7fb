// A whole job saved by one station opens in a fresh station, in another
// process with its own settings, registry and engine folder, exactly as it
// was saved: device, every tab's option rows and the selected tab, the data
// pattern (inside the file, or linked to its data file), note, password and
// operator mode.
#include "ChildRole.h"
#include "IntelHexText.h"
#include "TestEnv.h"

#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/TabStrip.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/ScriptedUiService.h"
#include "qxbuffer/DataBuffer.h"
#include "settings/ProgrammerClass.h"
#include "shell/ComponentRegistration.h"
#include "shell/StartUp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <random>

namespace {

const QString kPassword = QStringLiteral("s3cret");
const QString kNote = QStringLiteral("Line 4, lot 7\r\nkeep the tray dry");

// The station of a child process, started as the program starts it, with
// every box taking its default answer.
class ChildStation
{
public:
    ChildStation()
    {
        SetUi(std::make_unique<ScriptedUiService>(QStringList(), ScriptedUiService::WhenExhausted::DefaultAnswer));
        appinfo::SetApplicationTitleForTests("Tarvo");
        SetComponentFolder(BinDir());
        SetRawCommandLineText(QString());
        started = StartApplication() && gMainForm && gMainForm->frmP;
    }
    ~ChildStation()
    {
        if (gMainForm) {
            gMainForm->close();
            delete gMainForm;
            gMainForm = nullptr;
        }
        ReleaseInstanceLock();
    }
    frmMain& main() { return *gMainForm; }
    frmProgram& window() { return *gMainForm->frmP; }
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    QString statusLines()
    {
        QStringList lines;
        for (int i = 0; i < window().cboStatus->count(); ++i)
            lines << window().cboStatus->item(i)->text();
        return lines.join('\n');
    }
    // A data file loaded, a job saved or loaded as the automation commands
    // do it; a refusal tells the status lines on stderr.
    bool loadDataFile(const QString& path, qint32 fileType)
    {
        return Told(window().ExecuteBufferCommand(6, path, fileType), "data file not loaded");
    }
    bool saveJob(const QString& path)
    {
        bool ok = false;
        main().ExecSaveJobCmd(1, path, ok);
        return Told(ok, "not saved");
    }
    bool loadJob(const QString& path)
    {
        bool ok = false;
        main().ExecLoadJobCmd(1, path, ok);
        return Told(ok, "not loaded");
    }

    bool started = false;

private:
    bool Told(bool ok, const char* what)
    {
        if (!ok)
            std::fprintf(stderr, "%s:\n%s\n", what, qPrintable(statusLines()));
        return ok;
    }
};

// What a station holds of its job, one fact a line. Visiting the tabs to
// read them is a click on each; the selected tab is selected again.
QString Report(ChildStation& station)
{
    frmProgram& w = station.window();
    ProgrammerClass& d = station.data();
    QXPgmrControl& engine = station.main().QXProgrammer;
    using enginecall::Ask;
    QStringList lines;
    lines << "device " + Ask([&] { return engine.DeviceName(); }, QString()) + " selected "
            + QString::number(d.blnDeviceSelected);
    const int selected = w.tabOperation->SelectedIndex();
    lines << "selected tab " + w.tabOperation->Caption(selected);
    for (int tab = 1; tab <= w.tabOperation->Count(); ++tab) {
        w.SelectTab(tab);
        QStringList rows;
        for (int row = 0; row < w.cboOperation.size(); ++row)
            if (!w.Check1[row]->isHidden())
                rows << QStringLiteral("%1 %2 [%3]")
                            .arg(row)
                            .arg(w.cboOperation[row]->currentText())
                            .arg(frmProgram::CheckValue(w.Check1[row]));
        lines << "tab " + w.tabOperation->Caption(tab) + ": " + rows.join(" | ");
    }
    w.SelectTab(selected);
    const DataBuffer& buffer = DataBuffer::Instance();
    lines << QStringLiteral("buffer %1 bytes sha256 %2")
                 .arg(buffer.Size())
                 .arg(QString::fromLatin1(
                     QCryptographicHash::hash(buffer.Bytes(0, buffer.Size()), QCryptographicHash::Sha256).toHex()));
    lines << "data file " + d.strFileName + " linked " + QString::number(d.bDataPatternLinkedToSKFile);
    lines << "note " + QString(d.strJobNote).replace("\r", "\\r").replace("\n", "\\n");
    lines << QStringLiteral("password set %1 right %2 wrong %3")
                 .arg(Ask([&] { return engine.HasSealbookPassword(); }, false))
                 .arg(Ask([&] { return engine.CheckSealbookPassword(kPassword); }, false))
                 .arg(Ask([&] { return engine.CheckSealbookPassword(kPassword.toUpper()); }, false));
    lines << "operator mode " + QString::number(d.bStartInOperatorMode);
    return lines.join('\n') + '\n';
}

bool WriteText(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every visible row of every tab away from what the list builder chose: the
// next entry, the other state of a live check box. The second tab stays
// selected.
void ChangeEveryTab(frmProgram& w)
{
    for (int tab = 1; tab <= w.tabOperation->Count(); ++tab) {
        w.SelectTab(tab);
        for (int row = 0; row < w.cboOperation.size(); ++row) {
            if (w.Check1[row]->isHidden())
                continue;
            QComboBox* list = w.cboOperation[row];
            if (list->count() > 1)
                list->setCurrentIndex((list->currentIndex() + 1) % list->count());
            const qint16 check = frmProgram::CheckValue(w.Check1[row]);
            if (w.Check1[row]->isEnabled() && (check == 0 || check == 1))
                frmProgram::SetCheckValue(w.Check1[row], qint16(1 - check));
        }
    }
    w.SelectTab(2);
}

// args: job path, data file, "inside" or "linked", report before the
// changes, report after the save.
const ChildRole kSaver("jobs-round-trip-save", [](const QStringList& args) {
    ChildStation station;
    if (!station.started)
        return 2;
    if (!station.window().SelectDevice(QStringLiteral("SL18F4550")))
        return 3;
    if (!station.loadDataFile(args[1], FileTypes::FT_BINARY))
        return 4;
    if (!WriteText(args[3], Report(station)))
        return 5;

    ChangeEveryTab(station.window());
    ProgrammerClass& d = station.data();
    d.bRemindToVerifyChecksum = false;
    d.strJobNote = kNote;
    d.bDataPatternLinkedToSKFile = args[2] == QLatin1String("linked");
    bool operatorMode = true;
    bool markInput = true;
    station.main().QXProgrammer.SealbookConfigure210(operatorMode, kPassword, markInput);
    station.main().SetSKMode(true);

    if (!station.saveJob(args[0]))
        return 6;
    return WriteText(args[4], Report(station)) ? 0 : 7;
});

// args: job path, report after the load.
const ChildRole kLoader("jobs-round-trip-load", [](const QStringList& args) {
    ChildStation station;
    if (!station.started)
        return 2;
    // No one at the setup report: a sound job is taken.
    station.main().QXProgrammer.ShowErrorMessages(false);
    if (!station.loadJob(args[0]))
        return 6;
    std::printf("%s\n", qPrintable(station.statusLines()));
    return WriteText(args[1], Report(station)) ? 0 : 7;
});

// The buffer as the operator sees it (the engine's checksum) and byte for
// byte.
QString BufferLine(ChildStation& station)
{
    const DataBuffer& buffer = DataBuffer::Instance();
    return QStringLiteral("checksum %1 sha256 %2\n")
        .arg(enginecall::Ask([&] { return station.main().QXProgrammer.ChecksumText(); }, QString()))
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(buffer.Bytes(0, buffer.Size()), QCryptographicHash::Sha256).toHex()));
}

// args: job path, data file (Intel HEX), the buffer after the save. The
// station fills with 00h; the job links its data file.
const ChildRole kLinkedSaver("jobs-linked-fill-save", [](const QStringList& args) {
    ChildStation station;
    if (!station.started || !station.window().SelectDevice(QStringLiteral("KS24C256")))
        return 2;
    station.main().QXProgrammer.DefaultBufferByte(qint32(0x00));
    ProgrammerClass& d = station.data();
    d.blnClearLoad = true;
    if (!station.loadDataFile(args[1], FileTypes::FT_INTEL))
        return 4;
    d.bRemindToVerifyChecksum = false;
    d.bDataPatternLinkedToSKFile = true;
    if (!station.saveJob(args[0]))
        return 6;
    return WriteText(args[2], BufferLine(station)) ? 0 : 7;
});

// args: job path, the buffer after the load. The station fills with FFh.
const ChildRole kLinkedLoader("jobs-linked-fill-load", [](const QStringList& args) {
    ChildStation station;
    if (!station.started)
        return 2;
    station.main().QXProgrammer.DefaultBufferByte(qint32(0xFF));
    station.main().QXProgrammer.ShowErrorMessages(false);
    if (!station.loadJob(args[0]))
        return 6;
    return WriteText(args[1], BufferLine(station)) ? 0 : 7;
});

class JobRoundTripTest : public TarvoTest
{
protected:
    // A station of its own: settings, registry and engine folder.
    QProcessEnvironment StationEnvironment(const QString& name) const
    {
        QProcessEnvironment env = childEnvironment();
        const QString root = tempPath(name);
        for (const char* dir : {"registry", "config", "runtime", "data", "home"})
            QDir().mkpath(root + '/' + dir);
        QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("TARVO_REGISTRY_DIR", root + "/registry");
        env.insert("XDG_CONFIG_HOME", root + "/config");
        env.insert("XDG_RUNTIME_DIR", root + "/runtime");
        env.insert("XDG_DATA_HOME", root + "/data");
        env.insert("HOME", root + "/home");
        return env;
    }
};

TEST_F(JobRoundTripTest, ASavedJobOpensInAFreshStationExactlyAsSaved)
{
    QByteArray pattern(32 * 1024, Qt::Uninitialized); // the device's whole buffer
    std::mt19937 rng(4);
    for (char& b : pattern)
        b = char(rng());
    const QString expectedSum =
        QString::fromLatin1(QCryptographicHash::hash(pattern, QCryptographicHash::Sha256).toHex());

    for (const QString& variant : {QStringLiteral("inside"), QStringLiteral("linked")}) {
        SCOPED_TRACE(variant.toStdString());
        const QString folder = tempPath(variant);
        QDir().mkpath(folder);
        const QString dataFile = folder + "/pattern.bin";
        {
            QFile f(dataFile);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(pattern);
        }
        const QString job = folder + "/line4.qx";
        const QString before = folder + "/before.txt";
        const QString saved = folder + "/saved.txt";
        const QString loaded = folder + "/loaded.txt";

        const ProcessResult save = RunChildRole(StationEnvironment(variant + "-saver"), "jobs-round-trip-save",
                                                {job, dataFile, variant, before, saved});
        ASSERT_EQ(save.exitCode, 0) << save.out.toStdString() << save.err.toStdString();
        const qint64 jobSize = QFileInfo(job).size();
        if (variant == QLatin1String("inside")) {
            // The data travels in the file: the data file goes.
            EXPECT_GT(jobSize, pattern.size());
            ASSERT_TRUE(QFile::remove(dataFile));
        } else {
            EXPECT_LT(jobSize, pattern.size());
        }

        const ProcessResult load =
            RunChildRole(StationEnvironment(variant + "-loader"), "jobs-round-trip-load", {job, loaded});
        ASSERT_EQ(load.exitCode, 0) << load.out.toStdString() << load.err.toStdString();

        const QString savedReport = ReadText(saved);
        const QString loadedReport = ReadText(loaded);
        EXPECT_EQ(loadedReport.toStdString(), savedReport.toStdString()) << load.out.toStdString();

        // What the saved station held is what was set, not what a fresh
        // station shows anyway.
        EXPECT_TRUE(savedReport.contains("device SL18F4550 selected 1\n"));
        EXPECT_TRUE(savedReport.contains("selected tab &Verify\n")) << savedReport.toStdString();
        EXPECT_TRUE(
            savedReport.contains(QStringLiteral("buffer %1 bytes sha256 %2\n").arg(pattern.size()).arg(expectedSum)));
        EXPECT_TRUE(savedReport.contains("note Line 4, lot 7\\r\\nkeep the tray dry\n"));
        EXPECT_TRUE(savedReport.contains("password set 1 right 1 wrong 0\n"));
        EXPECT_TRUE(savedReport.contains("operator mode 1\n"));
        EXPECT_TRUE(savedReport.contains("data file pattern.bin linked " + QString::number(variant == "linked") + "\n"))
            << savedReport.toStdString();
        const auto tabs = [](const QString& report) {
            QStringList lines = report.split('\n');
            lines.removeIf([](const QString& line) { return !line.startsWith("tab "); });
            return lines;
        };
        const QStringList changed = tabs(savedReport);
        const QStringList fresh = tabs(ReadText(before));
        ASSERT_EQ(changed.size(), fresh.size());
        ASSERT_GE(changed.size(), 7);
        for (qsizetype i = 0; i < changed.size(); ++i)
            if (fresh[i].contains('|')) {
                EXPECT_NE(changed[i].toStdString(), fresh[i].toStdString());
            }
    }
}

// A job linked to a data file with a gap, saved by a station that fills
// with 00h, opens in a fresh station that fills with FFh holding the same
// buffer: the gap keeps the 00h it had.
TEST_F(JobRoundTripTest, ALinkedJobOpensWithTheBufferItWasSavedWith)
{
    const QString folder = tempPath("linked-fill");
    QDir().mkpath(folder);
    const QString dataFile = folder + "/gapped.hex";
    {
        QByteArray low(0x3000, Qt::Uninitialized), high(0x3000, Qt::Uninitialized);
        std::mt19937 rng(7);
        for (QByteArray* run : {&low, &high})
            for (char& b : *run)
                b = char(rng());
        QFile f(dataFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(IntelHexText({{0x0000, low}, {0x5000, high}}));
    }
    const QString job = folder + "/gapped.qx";
    const QString saved = folder + "/saved.txt";
    const QString loaded = folder + "/loaded.txt";

    const ProcessResult save =
        RunChildRole(StationEnvironment("linked-fill-saver"), "jobs-linked-fill-save", {job, dataFile, saved});
    ASSERT_EQ(save.exitCode, 0) << save.out.toStdString() << save.err.toStdString();
    const ProcessResult load =
        RunChildRole(StationEnvironment("linked-fill-loader"), "jobs-linked-fill-load", {job, loaded});
    ASSERT_EQ(load.exitCode, 0) << load.out.toStdString() << load.err.toStdString();

    const QString before = ReadText(saved);
    ASSERT_TRUE(before.startsWith("checksum ")) << before.toStdString();
    EXPECT_EQ(ReadText(loaded).toStdString(), before.toStdString());
}

} // namespace
