// The main window's job commands on the station started in this process with
// the simulated engine: a job saved by the window loads back as it was; the
// checks before a save refuse with their exact boxes and leave the file
// alone; a refused or cancelled load reports no success and keeps the job.
#include "../mainwindow/MainWindowFixture.h"

#include "platform/UiService.h"
#include "qxbuffer/DataBuffer.h"
#include "settings/ProgrammerClass.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

class JobWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(start());
        ASSERT_TRUE(operationWindow().SelectDevice(QStringLiteral("AM27C512")));
        // A buffer loaded from a file, and no checksum question.
        operationWindow().txtFile->setText(QStringLiteral("image.bin"));
        data().strFileName = QStringLiteral("image.bin");
        data().bRemindToVerifyChecksum = false;
    }
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    frmMain& main() { return *gMainForm; }
    static void Fill(const QByteArray& bytes)
    {
        DataBuffer::Instance().Resize(bytes.size());
        DataBuffer::Instance().Write(0, reinterpret_cast<const quint8*>(bytes.constData()), bytes.size());
    }
    static QByteArray ReadAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(JobWindowTest, SavedJobLoadsBackAndTheJobNameFollowsOnlySuccess)
{
    const QString path = tempPath("jobs/line4.qx");
    const QByteArray pattern = QByteArray("job data ").repeated(100);
    Fill(pattern);
    bool ok = false;
    main().ExecSaveJobCmd(1, path, ok);
    ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();
    EXPECT_EQ(data().strJobName, path);
    EXPECT_EQ(data().strJobDir, QFileInfo(path).absolutePath());

    Fill(QByteArray(16, 'x'));
    data().strJobName.clear();
    main().ExecLoadJobCmd(1, path, ok);
    EXPECT_TRUE(ok) << statusLines().join('\n').toStdString();
    EXPECT_EQ(DataBuffer::Instance().Bytes(0, pattern.size()), pattern);
    EXPECT_EQ(data().strJobName, path);

    // Nothing to load is no success, and changes nothing.
    main().ExecLoadJobCmd(1, QString(), ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);

    // A damaged file is refused before anything changed: the job stays.
    const QString damaged = tempPath("jobs/damaged.qx");
    QByteArray bytes = ReadAll(path);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x01);
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    main().ExecLoadJobCmd(1, damaged, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);
    EXPECT_EQ(ReadAll(damaged), bytes);
    EXPECT_TRUE(statusLines().contains("Failed to load the job. It is not a job file or the file is corrupted."));

    // A save that fails keeps the old name.
    qputenv("TARVO_ENGINE_FAULTS", "jobwrite=1");
    ui().Answer(vb::vbOK); // the engine's saving error
    main().ExecSaveJobCmd(1, tempPath("jobs/other.qx"), ok);
    qunsetenv("TARVO_ENGINE_FAULTS");
    EXPECT_FALSE(ok);
    EXPECT_EQ(data().strJobName, path);
    EXPECT_FALSE(QFileInfo::exists(tempPath("jobs/other.qx")));
}

TEST_F(JobWindowTest, SaveRefusalsShowTheirBoxAndLeaveTheFileAlone)
{
    const QString path = tempPath("job.qx");
    bool ok = false;
    main().ExecSaveJobCmd(1, path, ok);
    ASSERT_TRUE(ok);
    const QByteArray before = ReadAll(path);

    struct Case
    {
        const char* name;
        std::function<void()> arrange;
        bool saveAs; // Save As, else Save under the current name
        QString box; // title, tab, text
    };
    const Case cases[] = {
        {"buffer not from a file", [this] { operationWindow().txtFile->setText("<Empty>"); }, true,
         "Sealbook\tPlease save the buffer to a file and then save the job again."},
        {"no device", [this] { data().blnDeviceSelected = false; }, true,
         "Sealbook Failure\tNo device has been selected. You must select a device before saving a job!"},
        {"incompatible buffer type", [this] { engine.answers[QXPgmrId::JobValue325] = VbBool(true); },
         true,
         "Sealbook\tCannot save the job.  The buffer file type is incompatible with the file type required by the "
         "algorithm."},
        {"linked data file missing",
         [this] {
             data().bDataPatternLinkedToSKFile = true;
             data().strFilePath = tempPath("none/");
         },
         true,
         "Sealbook\tData pattern file does not exist.  To save a Sealbook file with an externally linked data "
         "pattern, please save the buffer to a file and then save the Job."},
        {"special configure",
         [this] { engine.answers[QXPgmrId::DeviceConfigValue] = QStringLiteral("X CMD_NOCHIP"); },
         false, "Error\tCannot save the job. Special configure is not supported in Sealbook."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool device = data().blnDeviceSelected;
        const QString file = operationWindow().txtFile->text();
        c.arrange();
        ui().Answer(vb::vbOK);
        const qsizetype shown = ui().Shown().size();
        if (c.saveAs) {
            main().ExecSaveJobCmd(1, path, ok);
            EXPECT_FALSE(ok);
        } else {
            main().mnuSaveJob_Click();
        }
        ASSERT_EQ(ui().Shown().size(), shown + 1);
        EXPECT_TRUE(ui().Shown().last().startsWith(c.box)) << ui().Shown().last().toStdString();
        EXPECT_EQ(ReadAll(path), before);
        // Back to a job that saves.
        data().blnDeviceSelected = device;
        data().bDataPatternLinkedToSKFile = false;
        operationWindow().txtFile->setText(file);
        engine.answers.remove(QXPgmrId::JobValue325);
        engine.answers.remove(QXPgmrId::DeviceConfigValue);
    }
}

} // namespace
