// The main window's label members with the station's own pieces: the
// simulated engine names the editor's folder and the Vexal mode, the
// simulated automatic handler chooses the program, the black-box log gets
// the lines.

#include "StationWiring.h"
#include "TestEnv.h"

#include "engine/H950HdlrControl.h"
#include "mainwindow/LocalLabelEditorLink.h"
#include "platform/Companion.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLocalSocket>
#include <QThread>

#include <csignal>
#include <sys/socket.h>

namespace {

long RegisterPlugin(const QString& file)
{
    QLibrary library(BinDir() + QLatin1Char('/') + file);
    const auto registerServer = reinterpret_cast<long (*)()>(library.resolve("DllRegisterServer"));
    return registerServer ? registerServer() : -1;
}

// The process that serves the editor's socket, by the socket's peer
// credentials; 0 while none does.
qint64 EditorProcess()
{
    QLocalSocket socket;
    socket.connectToServer(LocalLabelEditorLink::SocketPath(QStringLiteral("P-touch EDITOR")));
    if (!socket.waitForConnected(500))
        return 0;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return 0;
    return peer.pid;
}

qint64 WaitForEditor()
{
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (const qint64 pid = EditorProcess())
            return pid;
        QThread::msleep(20);
    }
    return 0;
}

class MainWindowLabelsTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        ASSERT_EQ(RegisterPlugin(QStringLiteral("QXPgmr.ocx")), 0);
        ASSERT_EQ(RegisterPlugin(QStringLiteral("H950Hdlr.ocx")), 0);
        wiring = std::make_unique<StationWiring>();
        wiring->AttachEngine(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    }
    void TearDown() override
    {
        if (const qint64 pid = EditorProcess())
            ::kill(pid_t(pid), SIGKILL);
        wiring.reset();
        qunsetenv("TARVO_H950_VALUES");
        TarvoTest::TearDown();
    }
    // A handler whose panel names the newer editor program or the older one
    // (its LabelerValue67), as the fault plan sets the panel.
    void AttachHandler(bool labelerValue67)
    {
        const bool planned = qEnvironmentVariableIsSet("TARVO_ENGINE_FAULTS");
        const QByteArray plan = qgetenv("TARVO_ENGINE_FAULTS");
        qputenv("TARVO_ENGINE_FAULTS", labelerValue67 ? "auto.neweditor=1" : "auto.neweditor=0");
        main().QXH950AutoHandler.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
        if (planned)
            qputenv("TARVO_ENGINE_FAULTS", plan);
        else
            qunsetenv("TARVO_ENGINE_FAULTS");
    }
    QStringList BlackBoxLines() const
    {
        QFile log(QDir(wiring->engine().EngineDirectory()).filePath(QStringLiteral("DATALOG/BlackBox.log")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    frmMain& main() { return wiring->main(); }

    std::unique_ptr<StationWiring> wiring;
};

TEST_F(MainWindowLabelsTest, StartsTheHandlersChoiceFromTheEnginesFolderAndExitEndsIt)
{
    const QString stationFolder = QDir::currentPath();
    const QString folder = wiring->engine().LabelPrinterDirectory();
    const struct
    {
        bool labelerValue67, vexal;
        const char* program;
    } cases[] = {{true, true, "Ptedit3"}, {false, false, "ptedit"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        AttachHandler(c.labelerValue67);
        wiring->engine().VexalCommandLine(c.vexal);
        main().InitLabelerPrint();
        const qint64 pid = WaitForEditor();
        ASSERT_NE(pid, 0);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLocal8Bit(cmdline.readAll().split('\0').value(0)),
                  folder + QLatin1Char('/') + QLatin1String(c.program));
        EXPECT_EQ(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).canonicalFilePath(),
                  QFileInfo(c.vexal ? folder : stationFolder).canonicalFilePath());
        EXPECT_EQ(QDir::currentPath(), stationFolder);

        main().SetLabelerText(QStringLiteral("SN 000123"));
        EXPECT_EQ(main().GetLabelText(), QStringLiteral("SN 000123"));
        main().ExitPrintApp();
        QDeadlineTimer deadline(15000);
        while (EditorProcess() && !deadline.hasExpired())
            QThread::msleep(20);
        EXPECT_EQ(EditorProcess(), 0);
    }
}

TEST_F(MainWindowLabelsTest, NothingStartsWhileLabelPrintingIsOffAndAMissingEditorIsLogged)
{
    AttachHandler(true);
    main().bLabelPrintEnabled = false;
    main().InitLabelerPrint();
    main().PrintLabel();
    const QStringList lines = BlackBoxLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().contains(QLatin1String("PrintLabel: the \"P-touch EDITOR\" window cannot be activated (")))
        << qPrintable(lines.last());
    EXPECT_TRUE(lines.last().endsWith(QLatin1String("); no keys sent.")));
    // A started editor would be up by now.
    QThread::msleep(300);
    EXPECT_EQ(EditorProcess(), 0);
}

} // namespace
