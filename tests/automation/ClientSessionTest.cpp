// Automation clients and the handlers' sessions on the station started in
// this process, on the simulated eight-site programmer "RG-1080/8": a
// CQxProgrammer client taking part in concurrent manual-handler sessions (the
// simulated manual handler and its arbiters; the client answers the
// programmer object's signals as a handler program would), and a CJobControl
// job run by the simulated automatic handler in Autohandler mode.
#include "ClientRoundLines.h"
#include "StationTest.h"

#include "automation/CJobControl.h"
#include "automation/CQxProgrammer.h"
#include "automation/CQxProgrammerData.h"
#include "automation/frmAutomationHost.h"
#include "engine/EngineCodes.h"
#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"
#include "settings/ProgrammerClass.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "shell/CommandLine.h"
#include "shell/StartUp.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QFile>
#include <QLibrary>
#include <QTimer>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// The station's own host, but a job file is only looked for: reading job
// files is not what is tested here.
class JobHost : public frmAutomationHost
{
public:
    bool EnsureMainWindow(bool) override { return true; }
    qint32 LoadQxFile(const QString& file) override { return QFile::exists(file) ? 0 : 17; }
    void WriteLogInfo(const QString& text) override { log << text; }
    QStringList log;
};

// Hands the manual handler's events on to the main window and keeps the
// ones a client's part shows in.
class RecordingSink : public IEventSink
{
public:
    explicit RecordingSink(IEventSink& next)
        : m_next(next)
    {
    }
    void Fire(const QString& eventName, QVariantList& args) override
    {
        if (eventName == QLatin1String("SiteStatusChanged"))
            lines << QStringLiteral("site %1 %2").arg(args.value(0).toInt()).arg(args.value(1).toInt());
        m_next.Fire(eventName, args);
    }
    QStringList lines;

private:
    IEventSink& m_next;
};

// A handler program: places a device when a socket is ready to be placed,
// picks it when it is ready to pick, closes and opens sockets when asked.
// Records what it hears.
struct Client
{
    explicit Client(CQxProgrammer& p)
        : programmer(p)
    {
        QObject::connect(&p, &CQxProgrammer::NotifySocketStatusChanged,
                         [this](int socket, int status, int failCode, int, int, int, int) {
                             heard << QStringLiteral("%1 %2%3")
                                          .arg(socket)
                                          .arg(CQxProgrammer::StatusName(status))
                                          .arg(failCode ? QStringLiteral(" %1").arg(failCode) : QString());
                             if (status == SiteStatus::ReadyToPlace && placing)
                                 placing(socket);
                             if (status == SiteStatus::ReadyToPick)
                                 programmer.DevicePicked(socket);
                         });
        QObject::connect(&p, &CQxProgrammer::NotifyCloseSite, [this](int site) {
            heard << QStringLiteral("close %1").arg(site);
            programmer.SiteClosed(site);
        });
        QObject::connect(&p, &CQxProgrammer::NotifyOpenSite, [this](int site) {
            heard << QStringLiteral("open %1").arg(site);
            programmer.SiteOpened(site);
        });
        QObject::connect(&p, &CQxProgrammer::NotifyJobComplete, [this](int result) {
            heard << QStringLiteral("complete %1").arg(result);
            done.quit();
        });
        placing = [this](int socket) { programmer.DevicePlaced(socket); };
    }

    void Wait()
    {
        QTimer::singleShot(20000, &done, &QEventLoop::quit);
        done.exec();
    }

    CQxProgrammer& programmer;
    std::function<void(int)> placing;
    QStringList heard;
    QEventLoop done;
};

class ClientSessionTest : public StationTest
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        m_savedModel = qgetenv("TARVO_ENGINE_MODEL");
        m_savedFaults = qgetenv("TARVO_ENGINE_FAULTS");
        qputenv("TARVO_ENGINE_MODEL", "RG-1080/8");
        qputenv("TARVO_ENGINE_FAULTS", "delay=0;manual.sites=8");
        SetRawCommandLineText(QStringLiteral("-device AM27C512"));
        ASSERT_TRUE(StartApplication());
        frmMain& main = *gMainForm;
        ASSERT_EQ(main.QXProgrammer.SiteCount(), 8);
        ASSERT_TRUE(main.pgmrData().blnDeviceSelected);
        // The job's summary would wait for the operator.
        main.QXProgrammer.SilentMode(true);
        recording = std::make_unique<RecordingSink>(main);
        main.ConcurrentManualHandler.Control()->SetEventSink(recording.get());

        host.SetStation(&main.station());
        SetAutomationHost(&host);
        SetComTransactionLog(true);
        jobFile = tempPath(QStringLiteral("job.qx"));
        QFile file(jobFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    void TearDown() override
    {
        programmer.reset();
        SetAutomationHost(nullptr);
        if (gMainForm && recording)
            gMainForm->ConcurrentManualHandler.Control()->SetEventSink(gMainForm);
        StationTest::TearDown();
        recording.reset();
        qputenv("TARVO_ENGINE_MODEL", m_savedModel);
        qputenv("TARVO_ENGINE_FAULTS", m_savedFaults);
    }

    CQxProgrammer& NewProgrammer()
    {
        programmer = std::make_unique<CQxProgrammer>();
        return *programmer;
    }

    std::unique_ptr<RecordingSink> recording;
    JobHost host;
    std::unique_ptr<CQxProgrammer> programmer;
    QString jobFile;

private:
    QByteArray m_savedModel, m_savedFaults;
};

TEST_F(ClientSessionTest, TheClientPlacesAndPicksEveryDeviceAndClosesAndOpensTheSocketsInModeTwo)
{
    const struct
    {
        const char* name;
        int socaMode;
        bool socketRound;
    } cases[] = {
        {"mode 1: devices placed and picked", 0, false},
        {"mode 2: and the sockets closed and opened", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recording->lines.clear();
        CQxProgrammer& p = NewProgrammer();
        Client client(p);
        p.SetSocaMode(c.socaMode);
        p.BeginJob(10, jobFile);
        client.Wait();

        // Ten devices over eight sockets: a round of eight, a round of two.
        QStringList expected = ClientRoundLines({0, 1, 2, 3, 4, 5, 6, 7}, c.socketRound);
        expected << ClientRoundLines({0, 1}, c.socketRound) << QStringLiteral("complete 0");
        EXPECT_EQ(client.heard.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
        // The client's socket 0 is the handler's site 1.
        EXPECT_EQ(recording->lines.value(0).toStdString(), "site 1 4");
        EXPECT_EQ(gMainForm->frmP->lngNumPassed, 10);
        EXPECT_TRUE(host.log.contains(QStringLiteral("COM: Got DoDevicePlaced(0)")));
        EXPECT_TRUE(host.log.contains(QStringLiteral("COM: Raising NotifyJobComplete(0)")));
        host.log.clear();
    }
}

TEST_F(ClientSessionTest, AClientBeginsOnThePartlyFilledSocketsAndASecondJobIsRefusedMeanwhile)
{
    CQxProgrammer& p = NewProgrammer();
    Client client(p);
    QString refused;
    client.placing = [&](int socket) {
        // The first round: three devices, then the start on those.
        const bool firstRound = !client.heard.contains(QStringLiteral("0 ReadyToPICK"));
        if (firstRound && socket >= 3)
            return;
        p.DevicePlaced(socket);
        if (firstRound && socket == 2) {
            p.BeginOperationOnPartiallyPopulatedSites();
            p.BeginJob(1, jobFile);
            refused = p.LastError() ? p.LastError()->name : QString();
        }
    };
    p.BeginJob(10, jobFile);
    client.Wait();

    QStringList expected;
    for (int s = 0; s < 8; ++s)
        expected << QStringLiteral("%1 ReadyToBePLACED").arg(s);
    expected << ClientRoundLines({0, 1, 2}, false).mid(3) << ClientRoundLines({0, 1, 2, 3, 4, 5, 6}, false)
             << QStringLiteral("complete 0");
    EXPECT_EQ(client.heard.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(refused.toStdString(), "com.corvane.Tarvo.Error.JobRunning");
    EXPECT_TRUE(host.log.contains(QStringLiteral("COM: Got BeginOperationOnPartiallyPopulatedSites()")));
}

TEST_F(ClientSessionTest, StopWhileTheSessionWaitsForTheClientEndsTheJob)
{
    CQxProgrammer& p = NewProgrammer();
    Client client(p);
    // A client that never places a device; the operator's Stop ends the wait.
    client.placing = [&](int socket) {
        if (socket == 3)
            QTimer::singleShot(0, &p, [&p] { p.Abort(); });
    };
    p.BeginJob(4, jobFile);
    client.Wait();
    ASSERT_FALSE(client.heard.isEmpty());
    EXPECT_EQ(client.heard.last().toStdString(), "complete -1005");
    EXPECT_EQ(client.heard.filter(QStringLiteral("READY")).size(), 0);
}

TEST_F(ClientSessionTest, TheOperatorsActionRunsItsSessionWhileAClientHoldsAnIdleProgrammer)
{
    CQxProgrammer& p = NewProgrammer();
    Client client(p);
    gMainForm->station().SetQuantityText(QStringLiteral("2"));
    // Were the session waiting for this client's devices, Stop would end it.
    bool stopped = false;
    QTimer::singleShot(5000, gMainForm, [&] {
        stopped = true;
        gMainForm->frmP->btnStop_Click();
    });
    gMainForm->frmP->btnAction_Click();
    EXPECT_FALSE(stopped);
    // The handler filled the sockets itself; the client heard nothing.
    EXPECT_EQ(gMainForm->frmP->lngNumPassed, 2);
    EXPECT_EQ(recording->lines.value(0).toStdString(), "site 1 4");
    EXPECT_TRUE(client.heard.isEmpty()) << client.heard.join('\n').toStdString();
}

TEST_F(ClientSessionTest, InAutohandlerModeAJobControlJobIsTheHandlersSessionAndEndsInOneNotice)
{
    qputenv("TARVO_ENGINE_FAULTS", "delay=0;auto.speed=0;auto.sites=2");
    gMainForm->pgmrData().udtHandlerType = 1;
    CJobControl control;
    QSignalSpy done(&control, &CJobControl::NotifyJobComplete);
    for (const int quantity : {3, 2}) {
        SCOPED_TRACE(quantity);
        const qsizetype before = done.count();
        control.BeginJob(quantity);
        ASSERT_FALSE(control.LastError());
        EXPECT_TRUE(done.wait(20000));
        // Nothing more comes for the same job.
        QTest::qWait(300);
        ASSERT_EQ(done.count(), before + 1);
        EXPECT_EQ(done.last().at(0).toInt(), 0);
        EXPECT_EQ(gMainForm->QXH950AutoHandler.HandlerValue3(), quantity);
    }
}

} // namespace
