// A locked job as the operator meets it: the station runs in a child of this
// test program (its real entry, event loop and windows, offscreen), loads
// the job from the command line ("-SK") and the operator, played by a timer,
// reads and answers what the station shows. The job setup report shows the
// job's values where the operator reads them; in operator mode the Tools
// menu's diagnostics leave the locked job as it was; a job whose report the
// operator cancels leaves the job loaded before as it was.
#include "ChildRole.h"
#include "InProcessEngine.h"
#include "TestEnv.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/JobTabSettings.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/Companion.h"
#include "records/frmSKReport.h"
#include "settings/ProgrammerClass.h"
#include "shell/ComponentRegistration.h"
#include "shell/StartUp.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

constexpr char kDevice[] = "AM27C512";
constexpr char kDataFile[] = "pattern7.bin";
constexpr char kNote[] = "Lot 7, first run";

// Answers the engine's questions while a job is saved: the tab sections the
// station writes into every job, the data pattern's name and the job's note.
class JobSaveAnswers : public IEventSink
{
public:
    explicit JobSaveAnswers(QXPgmrControl& engine)
        : m_engine(engine)
    {
    }
    void Fire(const QString& name, QVariantList& args) override
    {
        if (name == QLatin1String("RequestJobSettingText24") && !args.isEmpty()) {
            args[0] = QString::fromLatin1(kDataFile);
        } else if (name == QLatin1String("RequestSealbookNote")) {
            m_engine.SealbookNoteText(QString::fromLatin1(kNote));
        } else if (name == QLatin1String("SealbookExport")) {
            // Every row empty, as the station writes a row it has nothing in.
            for (int action = 1; action < 8; ++action)
                for (int row = 0; row <= 4; ++row) {
                    const QString section = "GUI-" + JobTabSettings::PlaceholderName(action);
                    qint32 status = 0;
                    m_engine.WriteSealbookValue(section, QStringLiteral("Selection%1").arg(row), QString(), QString(),
                                                JobTabSettings::kTextKind, status);
                    m_engine.WriteSealbookValue(section, QStringLiteral("EnableSelection%1").arg(row), QString(),
                                                QStringLiteral("1"), JobTabSettings::kFlagKind, status);
                }
        }
    }

private:
    QXPgmrControl& m_engine;
};

void Print(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// What the operator sees of the job: the device, the data pattern's
// checksum and name, the job, the mode, the title, and whether the password
// "super" opens the station.
QString JobState()
{
    frmMain& main = *gMainForm;
    QString checksum;
    try {
        checksum = main.QXProgrammer.ChecksumText();
    } catch (...) {
    }
    const ProgrammerClass& data = main.pgmrData();
    return QStringList{main.QXProgrammer.DeviceName(),
                       data.strDeviceName,
                       checksum,
                       data.strFileName,
                       QFileInfo(data.strJobName).fileName(),
                       data.bStartInOperatorMode ? QStringLiteral("operator") : QStringLiteral("supervisor"),
                       main.windowTitle(),
                       main.QXProgrammer.CheckSealbookPassword(QStringLiteral("super"))
                           ? QStringLiteral("super opens")
                           : QStringLiteral("super refused")}
        .join('\t');
}

// Plays the operator in the child. "report": reads the job setup report
// row by row, as it opens, and confirms it. "diagnostics": once the station
// stands, runs each diagnostics command of the Tools menu and answers its
// boxes with OK. "cancel-load=<job>": once the station stands, opens <job>
// through Sealbook > Load Job and cancels its report. Either way the station
// is closed at the end.
class Operator : public QObject
{
public:
    explicit Operator(QString what)
        : m_what(std::move(what))
    {
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
        m_poll.start();
    }

private:
    void Poll()
    {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (!modal->property("tarvoSeen").toBool()) {
                modal->setProperty("tarvoSeen", true);
                // Answered from the loop, so that this timer goes on.
                QTimer::singleShot(0, modal, [this, modal] { Answer(modal); });
            }
            return;
        }
        if (LastStartUpOutcome() != StartUpOutcome::Started || !gMainForm || !gMainForm->isVisible()
            || QThread::currentThread()->loopLevel() != 1)
            return;
        Print(QStringLiteral("state\t") + JobState());
        if (m_what == QLatin1String("diagnostics") && m_next < 2) {
            QAction* item = m_next++ == 0 ? gMainForm->mnuSelftest : gMainForm->mnuFlashBIOS;
            Print(QStringLiteral("command\t") + item->objectName() + QStringLiteral("\t")
                  + (item->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")));
            QTimer::singleShot(0, item, &QAction::trigger);
            return;
        }
        if (m_what.startsWith(QLatin1String("cancel-load=")) && m_next < 1) {
            ++m_next;
            QTimer::singleShot(0, gMainForm->mnuLoadJob, &QAction::trigger);
            return;
        }
        m_poll.stop();
        gMainForm->close();
    }

    void Answer(QWidget* modal)
    {
        if (auto* report = qobject_cast<frmSKReport*>(modal)) {
            ReadReport(*report);
            // The job of the command line is confirmed, the one opened
            // after it cancelled.
            if (m_reports++ > 0 && m_what.startsWith(QLatin1String("cancel-load=")))
                report->cmdCancel->click();
            else
                report->cmdOK->click();
            return;
        }
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            Print(QStringLiteral("window\t") + dialog->windowTitle());
            // Typed into the name box, as the operator would.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(m_what.section(QLatin1Char('='), 1));
            static_cast<QDialog*>(dialog)->accept();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Print(QStringLiteral("box\t") + box->windowTitle() + QStringLiteral("\t") + box->text());
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            (ok ? ok : box->defaultButton())->click();
            return;
        }
        Print(QStringLiteral("window\t") + modal->metaObject()->className() + QStringLiteral("\t")
              + modal->windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    }

    // Each row of the job's grid with whether its whole value can be read
    // in the window as it opened: inside the grid's view and as wide as the
    // text.
    static void ReadReport(frmSKReport& report)
    {
        QTableWidget* grid = report.mfgSKReport;
        const QRect view = grid->viewport()->rect();
        Print(QStringLiteral("report\t") + report.windowTitle() + QStringLiteral("\t") + QString::number(report.width())
              + QStringLiteral("x") + QString::number(report.height()));
        for (int row = 1; row < grid->rowCount(); ++row) {
            QTableWidgetItem* field = grid->item(row, 0);
            QTableWidgetItem* value = grid->item(row, 1);
            if (!field || !value)
                continue;
            const QRect cell = grid->visualItemRect(value);
            const int textWidth = grid->fontMetrics().horizontalAdvance(value->text().trimmed());
            const bool readable = report.isVisible() && grid->isVisible() && view.contains(cell)
                && cell.width() > textWidth && grid->visualItemRect(field).right() < cell.left();
            Print(QStringLiteral("row\t") + field->text() + QStringLiteral("\t") + value->text() + QStringLiteral("\t")
                  + (readable ? QStringLiteral("readable") : QStringLiteral("hidden")));
        }
        Print(QStringLiteral("note\t") + report.txtSKNote->toPlainText());
    }

    QString m_what;
    QTimer m_poll;
    int m_next = 0;
    int m_reports = 0;
};

// The child: the station as the program starts it, "-SK <job>", with the
// operator of args[1].
const ChildRole kStation("locked-job-station", [](const QStringList& args) {
    if (args.size() != 2)
        return 2;
    appinfo::SetApplicationTitleForTests(QStringLiteral("Tarvo"));
    SetComponentFolder(BinDir());
    SetRawCommandLineText(QStringLiteral("-SK ") + args[0]);
    Operator op(args[1]);
    return Main();
});

class LockedJobProcessTest : public TarvoTest
{
protected:
    QString engineFolder() const { return childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine"; }

    // A job on kDevice saved by the engine in this process; a password and
    // operator mode go into it when given. The engine's own settings are
    // then removed, so the station starts as a fresh one.
    void MakeJob(const QString& job, const QString& password, bool operatorMode,
                 const QString& deviceName = QString::fromLatin1(kDevice))
    {
        {
            QXPgmrControl engine;
            ASSERT_TRUE(AttachInProcessEngine(engine));
            engine.StartupValue108(BinDir());
            ASSERT_EQ(engine.LoadAlgorithmDatabase("qxalg.db"), 0);
            QString device = deviceName;
            ASSERT_EQ(engine.SelectDeviceByName(device, false), 0);
            bool startInOperatorMode = operatorMode;
            bool markInput = false;
            engine.SealbookConfigure210(startInOperatorMode, password, markInput);
            JobSaveAnswers answers(engine);
            engine.Control()->SetEventSink(&answers);
            ASSERT_EQ(engine.SaveJobFile(job), 0);
            engine.Control()->SetEventSink(nullptr);
        }
        ASSERT_TRUE(QFile::exists(job));
        QFile::remove(engineFolder() + "/engine.ini");
    }
    void ShowEngineErrors()
    {
        ASSERT_TRUE(QDir().mkpath(engineFolder()));
        QFile ini(engineFolder() + "/engine.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Engine]\nShowErrorMessages=true\n");
    }
    // The child's lines of one kind, each split at its tabs (the kind left off).
    static QList<QStringList> Lines(const QString& out, const QString& kind)
    {
        QList<QStringList> lines;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            QStringList parts = line.split('\t');
            if (parts.value(0) == kind) {
                parts.removeFirst();
                lines << parts;
            }
        }
        return lines;
    }
};

TEST_F(LockedJobProcessTest, TheSetupReportShowsTheJobsValuesReadableAsItOpens)
{
    const QString job = tempPath("line7.qx");
    MakeJob(job, QString(), false);
    ShowEngineErrors();

    const ProcessResult r = RunChildRole(childEnvironment(), "locked-job-station", {job, "report"});
    const std::string output = (r.out + r.err).toStdString();
    ASSERT_EQ(r.exitCode, 0) << output;
    ASSERT_EQ(Lines(r.out, "report").size(), 1) << output;
    EXPECT_EQ(Lines(r.out, "report")[0].value(0), "Job Setup Verification");

    // The checksum the engine gives for the job it loaded.
    const QList<QStringList> states = Lines(r.out, "state");
    ASSERT_FALSE(states.isEmpty()) << output;
    const QString checksum = states.last().value(2);
    ASSERT_FALSE(checksum.isEmpty()) << output;
    const QList<QStringList> expected = {
        {"Buffer File Name", QString::fromLatin1(kDataFile) + " ", "readable"},
        {"Checksum", checksum + " ", "readable"},
        {"Device Name", QString::fromLatin1(kDevice) + " ", "readable"},
    };
    EXPECT_EQ(Lines(r.out, "row"), expected) << output;
    EXPECT_EQ(Lines(r.out, "note"), QList<QStringList>{{QString::fromLatin1(kNote)}}) << output;
    // Confirmed, the job is the station's, and the title names it as soon
    // as the station stands.
    EXPECT_EQ(states.last().value(4), "line7.qx") << output;
    EXPECT_TRUE(states.first().value(6).contains("[Job - " + job + "]")) << output;
}

TEST_F(LockedJobProcessTest, DiagnosticsInOperatorModeAreRefusedAndLeaveTheLockedJobAsItWas)
{
    const QString job = tempPath("line8.qx");
    MakeJob(job, QStringLiteral("super"), true);

    const ProcessResult r = RunChildRole(childEnvironment(), "locked-job-station", {job, "diagnostics"});
    const std::string output = (r.out + r.err).toStdString();
    ASSERT_EQ(r.exitCode, 0) << output;

    const QList<QStringList> states = Lines(r.out, "state");
    ASSERT_EQ(states.size(), 3) << output; // before, after each command
    const QStringList& before = states[0];
    EXPECT_EQ(before.value(0), QString::fromLatin1(kDevice)) << output;
    EXPECT_EQ(before.value(4), "line8.qx") << output;
    EXPECT_EQ(before.value(5), "operator") << output;
    EXPECT_TRUE(before.value(6).endsWith("  <Operator Mode>]")) << output;
    for (const QStringList& after : states)
        EXPECT_EQ(after, before) << output;

    // Each command was offered and said why it did not run; no device was
    // asked for.
    EXPECT_EQ(Lines(r.out, "command"), (QList<QStringList>{{"mnuSelftest", "enabled"}, {"mnuFlashBIOS", "enabled"}}))
        << output;
    const QList<QStringList> boxes = Lines(r.out, "box");
    ASSERT_EQ(boxes.size(), 2) << output;
    EXPECT_EQ(boxes[0].value(0), "Operator Mode");
    EXPECT_TRUE(boxes[0].value(1).startsWith("Programmer Diagnostics selects a diagnostics device")) << output;
    EXPECT_TRUE(boxes[1].value(1).startsWith("Flash BIOS selects a diagnostics device")) << output;
    EXPECT_TRUE(Lines(r.out, "window").isEmpty()) << output;
}

} // namespace

namespace {

TEST_F(LockedJobProcessTest, AJobWhoseReportIsCancelledLeavesTheJobLoadedBeforeAsItWas)
{
    // Loaded first: a plain job. Opened after it: a job on another device,
    // locked with "super" and starting in operator mode.
    const QString good = tempPath("line9.qx");
    const QString other = tempPath("other.qx");
    MakeJob(other, QStringLiteral("super"), true, QStringLiteral("NV29F040"));
    MakeJob(good, QString(), false);
    ShowEngineErrors();

    const ProcessResult r = RunChildRole(childEnvironment(), "locked-job-station", {good, "cancel-load=" + other});
    const std::string output = (r.out + r.err).toStdString();
    ASSERT_EQ(r.exitCode, 0) << output;
    // Both reports were shown: the first confirmed, the second cancelled.
    ASSERT_EQ(Lines(r.out, "report").size(), 2) << output;
    EXPECT_EQ(Lines(r.out, "window"), (QList<QStringList>{{"Open"}})) << output;

    const QList<QStringList> states = Lines(r.out, "state");
    ASSERT_EQ(states.size(), 2) << output; // before the load, after it
    const QStringList& before = states[0];
    EXPECT_EQ(before.value(0), QString::fromLatin1(kDevice)) << output;
    EXPECT_EQ(before.value(4), "line9.qx") << output;
    EXPECT_EQ(before.value(5), "supervisor") << output;
    EXPECT_TRUE(before.value(6).contains("[Job - " + good + "]")) << output;
    EXPECT_EQ(before.value(7), "super refused") << output;
    EXPECT_EQ(states[1], before) << output;
}

} // namespace
