// The label members against the real stand-in editor, started as the
// station starts it and driven over the local link.

#include "TestEnv.h"

#include "mainwindow/LabelPrinting.h"
#include "mainwindow/LocalLabelEditorLink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace {

class Host : public LabelPrinting::Host
{
public:
    QString LabelPrinterDirectory() override { return folder; }
    bool IsVexalMode() override { return vexal; }
    bool LabelerValue67() override { return newerEditor; }
    void WriteLogInfo(const QString& text) override { log << text; }
    void StatusLine(const QString& text) override { status << text; }

    QString folder = BinDir() + QStringLiteral("/ptouch");
    bool vexal = true;
    bool newerEditor = true;
    QStringList log, status;
};

// Alive, not merely a zombie waiting for whoever adopted it to reap it.
bool Running(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName > 0 && line.mid(afterName + 2, 1) != "Z";
}

bool WaitUntil(const std::function<bool()>& condition, int ms = 15000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

class LabelEditorProcessTest : public TarvoTest
{
protected:
    void TearDown() override
    {
        if (Running(link.StartedProcessId()))
            ::kill(pid_t(link.StartedProcessId()), SIGKILL);
        qunsetenv("TARVO_LABEL_PDF");
        TarvoTest::TearDown();
    }

    // Starts the editor and waits until its window takes keys.
    qint64 StartEditor()
    {
        labels.InitLabelerPrint(true);
        const qint64 pid = link.StartedProcessId();
        EXPECT_TRUE(Running(pid)) << host.log.join('\n').toStdString();
        QString reason;
        EXPECT_TRUE(WaitUntil([&] { return link.Activate(QStringLiteral("P-touch EDITOR"), reason); }))
            << qPrintable(reason);
        return pid;
    }

    Host host;
    LocalLabelEditorLink link;
    LabelPrinting labels{host, link};
};

TEST_F(LabelEditorProcessTest, StartsTheChosenProgramInItsOwnFolderAndExitEndsIt)
{
    const QString stationFolder = QDir::currentPath();
    const struct
    {
        bool newerEditor, vexal;
        const char* program;
    } cases[] = {{true, true, "Ptedit3"}, {false, true, "ptedit"}, {true, false, "Ptedit3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        host.newerEditor = c.newerEditor;
        host.vexal = c.vexal;
        const qint64 pid = StartEditor();
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLocal8Bit(cmdline.readAll().split('\0').value(0)),
                  host.folder + QLatin1Char('/') + QLatin1String(c.program));
        // Only the editor runs in the editor's folder, and only in Vexal mode.
        EXPECT_EQ(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).canonicalFilePath(),
                  QFileInfo(c.vexal ? host.folder : stationFolder).canonicalFilePath());
        EXPECT_EQ(QDir::currentPath(), stationFolder);

        labels.ExitPrintApp();
        EXPECT_TRUE(WaitUntil([&] { return !Running(pid); }));
    }
    EXPECT_EQ(host.log,
              (QStringList{"SendKeys(Shift + F)", "SendKeys('X')", "SendKeys(Shift + F)", "SendKeys('X')",
                           "SendKeys(Shift + F)", "SendKeys('X')"}));
}

TEST_F(LabelEditorProcessTest, OpensALabelChangesItsTextPrintsItAndSavesIt)
{
    const QString labelFile = tempPath(QStringLiteral("lot7.lbl"));
    {
        QSettings label(labelFile, QSettings::IniFormat);
        label.setValue(QStringLiteral("Label/Text"), QStringLiteral("SN 000000"));
        label.setValue(QStringLiteral("Label/X"), 4);
        label.setValue(QStringLiteral("Label/Y"), 10);
    }
    const QString pdf = tempPath(QStringLiteral("label.pdf"));
    qputenv("TARVO_LABEL_PDF", pdf.toLocal8Bit());
    const qint64 pid = StartEditor();

    labels.OpenLabelFile(labelFile);
    EXPECT_EQ(labels.GetLabelText(), QStringLiteral("SN 000000"));
    labels.SetLabelerText(QStringLiteral("SN 000123"));
    EXPECT_EQ(labels.GetLabelText(), QStringLiteral("SN 000123"));
    labels.MoveLabelText(1);
    labels.MoveLabelText(3);
    labels.SaveLabelFile();
    labels.PrintLabel();
    // The station's clipboard follows the editor's copy.
    EXPECT_EQ(link.Clipboard(), QStringLiteral("SN 000123"));

    QSettings saved(labelFile, QSettings::IniFormat);
    EXPECT_EQ(saved.value(QStringLiteral("Label/Text")).toString(), QStringLiteral("SN 000123"));
    EXPECT_EQ(saved.value(QStringLiteral("Label/X")).toInt(), 5);
    EXPECT_EQ(saved.value(QStringLiteral("Label/Y")).toInt(), 11);

    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) << "poppler-utils";
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(pdftotext.readAllStandardOutput()).trimmed(), QStringLiteral("SN 000123"));

    labels.ExitPrintApp();
    EXPECT_TRUE(WaitUntil([&] { return !Running(pid); }));
    EXPECT_TRUE(host.status.isEmpty());
    for (const QString& line : host.log)
        EXPECT_TRUE(line.startsWith(QLatin1String("SendKeys("))) << qPrintable(line);
}

TEST_F(LabelEditorProcessTest, AKilledEditorIsLoggedAtTheNextMember)
{
    const qint64 pid = StartEditor();
    ASSERT_EQ(::kill(pid_t(pid), SIGKILL), 0);
    ASSERT_TRUE(WaitUntil([&] { return !Running(pid); }));

    labels.PrintLabel();
    ASSERT_EQ(host.log.size(), 1);
    EXPECT_TRUE(
        host.log.at(0).startsWith(QLatin1String("PrintLabel: the \"P-touch EDITOR\" window cannot be activated (")))
        << qPrintable(host.log.at(0));
    EXPECT_TRUE(host.log.at(0).endsWith(QLatin1String("); no keys sent.")));
}

TEST_F(LabelEditorProcessTest, AMissingProgramIsLoggedWithItsPathAndAStatusLine)
{
    host.folder = tempPath(QStringLiteral("no-editor"));
    QDir().mkpath(host.folder);
    const QString stationFolder = QDir::currentPath();
    labels.InitLabelerPrint(true);
    EXPECT_EQ(link.StartedProcessId(), 0);
    EXPECT_EQ(host.log,
              (QStringList{"Exception happens when the Tarvo tries to activate PTouch Editor.",
                           "The label editor " + host.folder + "/Ptedit3 cannot be started: no such file."}));
    EXPECT_EQ(host.status, QStringList{"The label editor cannot be started: " + host.folder + "/Ptedit3"});
    EXPECT_EQ(QDir::currentPath(), stationFolder);
}

} // namespace
