// What the command line asks of the real program, started as a process:
// "-GenerateDeviceList" writes the engine's device list and ends, loading
// nothing else, with a failure status when the list cannot be written;
// "-SK" loads a job file, and refuses an auto file on a station with the
// manual handler with its box.
#include "InProcessEngine.h"
#include "ProgramProcessFixture.h"

#include "engine/QXPgmrControl.h"
#include "operation/JobTabSettings.h"
#include "platform/Companion.h"

#include <QFileInfo>

namespace {

// Writes the placeholder rows of every tab section when the engine asks a
// save for the tab settings; with an obsolete option, every row is empty,
// as the station writes a row it has nothing in, but the Program tab's
// verify row names that option.
class TabSections : public IEventSink
{
public:
    explicit TabSections(QXPgmrControl& engine, QString obsolete = {})
        : m_engine(engine),
          m_obsolete(std::move(obsolete))
    {
    }
    void Fire(const QString& name, QVariantList&) override
    {
        if (name != QLatin1String("SealbookExport"))
            return;
        for (int action = 1; action < 8; ++action)
            for (int row = 0; row <= 4; ++row) {
                const QString section = "GUI-" + JobTabSettings::PlaceholderName(action);
                QString text = "No_Content", flag = "0";
                if (!m_obsolete.isEmpty()) {
                    // As the station writes rows it has nothing in.
                    text = action == 1 && row == 3 ? m_obsolete : QString();
                    flag = action == 1 && row == 3 ? "2" : "1";
                }
                qint32 status = 0;
                m_engine.WriteSealbookValue(section, QStringLiteral("Selection%1").arg(row), QString(), text,
                                            JobTabSettings::kTextKind, status);
                m_engine.WriteSealbookValue(section, QStringLiteral("EnableSelection%1").arg(row), QString(), flag,
                                            JobTabSettings::kFlagKind, status);
            }
    }

private:
    QXPgmrControl& m_engine;
    QString m_obsolete;
};

class CommandLineActionsProcessTest : public ProgramProcessTest
{
protected:
    QString engineFolder() const { return childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine"; }

    // A job of the simulated engine and an auto file naming it, written by
    // the engine in this process.
    void MakeJobAndAutoFile(const QString& job, const QString& autoFile, const QString& obsolete = {})
    {
        QXPgmrControl engine;
        ASSERT_TRUE(AttachInProcessEngine(engine));
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase("qxalg.db"), 0);
        QString device = "AM27C512";
        ASSERT_EQ(engine.SelectDeviceByName(device, false), 0);
        // The station writes its tab sections into every job it saves, and
        // refuses a job without them.
        TabSections tabs(engine, obsolete);
        engine.Control()->SetEventSink(&tabs);
        ASSERT_EQ(engine.SaveJobFile(job), 0);
        engine.Control()->SetEventSink(nullptr);
        ASSERT_EQ(engine.CreateSealbookFile(autoFile), 0);
        QString jobName = job;
        qint32 status = -1;
        ASSERT_EQ(engine.WriteSealbookValue("JobInfo", "SKFileName", QString(), jobName, qint32(2), status), 0);
        engine.CloseSealbookFile();
        ASSERT_TRUE(QFile::exists(autoFile));
    }
};

TEST_F(CommandLineActionsProcessTest, DeviceListIsWrittenAndTheProgramEndsWithoutLoadingADataPattern)
{
    // The data pattern does not exist: loading it would show a box.
    const ProcessResult r =
        RunProgram(program(), {"-GenerateDeviceList", "-prog_file", tempPath("pattern.hex")}, env(-1), 60000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    QFile list(engineFolder() + "/DeviceList.txt");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(list.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), "Manufacturer\tDevice\tPackage\tType");
    EXPECT_TRUE(lines.contains("Amtech\tAM27C512\tDIP28\tEPROM"));
    EXPECT_TRUE(blackBoxLog().contains("System has been shut down successfully!"));
}

TEST_F(CommandLineActionsProcessTest, ADeviceListThatCannotBeWrittenEndsWithAFailureStatus)
{
    ASSERT_TRUE(QDir().mkpath(engineFolder() + "/DeviceList.txt"));
    const ProcessResult r = RunProgram(program(), {"-GenerateDeviceList"}, env(-1), 60000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("The device list was not generated: ")) << r.err.toStdString();
    EXPECT_TRUE(blackBoxLog().contains("The device list was not generated: "));
}

TEST_F(CommandLineActionsProcessTest, AJobFileLoadsAndAnAutoFileNeedsAnAutomaticHandler)
{
    const QString job = tempPath("line4.qx");
    const QString autoFile = tempPath("line4.qxa");
    MakeJobAndAutoFile(job, autoFile);

    ProcessResult r = RunProgram(program(), {"-SK", job}, env(200), 60000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(uiLines().isEmpty()) << uiLines().join('\n').toStdString();
    EXPECT_FALSE(blackBoxLog().contains("Failed to load")) << blackBoxLog().toStdString();
    // The station kept the job it loaded as its job.
    EXPECT_TRUE(settingsHive().contains(QFileInfo(job).fileName())) << settingsHive().toStdString();

    r = RunProgram(program(), {"-SK", autoFile}, env(200), 60000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList shown = uiLines();
    ASSERT_EQ(shown.size(), 1) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith("Mode Error\tThis is a Sealbook File for auto handler. Please use File/Configure "
                                    "to switch to H950 Mode and load the\\r\\nSealbook Auto file from the H950 "
                                    "handler window.\t"))
        << shown[0].toStdString();
}

// With the engine reporting its errors, as the shipped station starts: a job
// naming an option the station no longer offers says so in its box, and the
// job's setup report asks the operator to confirm the job; confirmed, the
// station keeps it.
TEST_F(CommandLineActionsProcessTest, AJobLoadShowsItsSetupReportWhenTheEngineReportsItsErrors)
{
    const QString job = tempPath("line5.qx");
    MakeJobAndAutoFile(job, tempPath("line5.qxa"), "Verify Thrice");
    QFile ini(engineFolder() + "/engine.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Engine]\nShowErrorMessages=true\n");
    ini.close();
    QFile script(tempPath("answers.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("1\n1\n"); // OK to the box, OK on the report
    script.close();
    QProcessEnvironment e = env(200);
    e.insert("TARVO_UI_SCRIPT", script.fileName());

    const ProcessResult r = RunProgram(program(), {"-SK", job}, e, 60000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList shown = uiLines();
    ASSERT_EQ(shown.size(), 2) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith("Load Sealbook\t'Verify Thrice' operation option is not found in Program tab. "
                                    "The sealbook file may be obsolete."))
        << shown[0].toStdString();
    const QStringList report = shown[1].split('\t');
    EXPECT_EQ(report.value(1), "frmSKReport") << shown[1].toStdString();
    EXPECT_EQ(report.value(3), "1") << shown[1].toStdString(); // accepted
    EXPECT_TRUE(settingsHive().contains(QFileInfo(job).fileName())) << settingsHive().toStdString();

    // Refused on its report, the job is not kept.
    QFile::remove(uiLog());
    e.insert("TARVO_UI_SCRIPT", "/dev/null");
    const QString other = tempPath("line6.qx");
    MakeJobAndAutoFile(other, tempPath("line6.qxa"), "Verify"); // an option it offers
    const ProcessResult refused = RunProgram(program(), {"-SK", other}, e, 60000);
    EXPECT_EQ(refused.exitCode, 0) << refused.err.toStdString();
    ASSERT_EQ(uiLines().size(), 1) << uiLines().join('\n').toStdString();
    EXPECT_EQ(uiLines()[0].split('\t').value(1), "frmSKReport");
    EXPECT_FALSE(settingsHive().contains(QFileInfo(other).fileName())) << settingsHive().toStdString();
}

} // namespace
