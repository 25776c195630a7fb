// The station ends cleanly whenever it is told to, also while a handler's box
// or dialog is open: each case runs the station in a child of this test
// program (its real entry and event loop, real dialogs, offscreen and again
// on an X server of the test's own), opens a dialog as the operator does,
// and from inside that dialog's own event loop sends the process a
// termination signal or asks the main window to close.
#include "ChildRole.h"
#include "PrivateBusTest.h"
#include "TestEnv.h"
#include "XvfbDisplay.h"

#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/RegistryHive.h"
#include "shell/ComponentRegistration.h"
#include "shell/StartUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// How the station is told to end while the dialog waits.
enum class Ending { Term, Int, Close, PostedClose };

// A window on the way to the dialog: matched by class (and a part of its
// title), then acted on. The last of a case's chain is the one open when the
// station is told to end.
struct Waypoint
{
    const char* className;
    const char* title = "";
    std::function<void(QWidget*)> act = nullptr;
};

struct ShutdownCase
{
    const char* name;
    const char* commandLine;
    std::function<void()> open; // what the operator does in the main window
    std::vector<Waypoint> chain;
    Ending ending = Ending::Term;
    bool eightSites = false; // the engine comes back on the eight-site "RG-1080/8"
};

// The quantity the operator types before opening the dialog: the settings
// saved at the end must hold it.
const QString kQuantity = QStringLiteral("3");
const char kDevice[] = "-device AM27C512";
// A job is saved only with its data pattern in a file.
const char kDeviceAndData[] = "-device AM27C512 -prog_file @DATA@";

frmProgram& Operation()
{
    return *gMainForm->frmP;
}

void Click(QWidget* window, const char* button)
{
    auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(button));
    if (!b) {
        std::fprintf(stderr, "no button %s in %s\n", button, window->metaObject()->className());
        return;
    }
    b->click();
}

void Trigger(QAction* frmMain::*item)
{
    (gMainForm->*item)->trigger();
}

void Key(int key, Qt::KeyboardModifiers modifiers)
{
    // A window's shortcuts answer only once it is active: on an X server
    // that takes a round trip.
    // With no window manager the request is taken once the window is
    // mapped: asked again until then.
    QTest::qWaitForWindowExposed(gMainForm, 5000);
    for (int i = 0; i < 100 && !gMainForm->isActiveWindow(); ++i) {
        gMainForm->activateWindow();
        QTest::qWait(50);
    }
    if (!gMainForm->isActiveWindow())
        std::fprintf(stderr, "the main window never became active\n");
    QTest::keyClick(gMainForm, Qt::Key(key), modifiers);
}

void PressAction()
{
    QTest::mouseClick(Operation().btnAction, Qt::LeftButton);
}

const std::vector<ShutdownCase>& Cases()
{
    static const std::vector<ShutdownCase> cases = {
        {"ChooserFromDeviceButton",
         kDevice,
         [] { QTest::mouseClick(Operation().DeviceButton, Qt::LeftButton); },
         {{"DeviceChooser"}}},
        {"ChooserFromDeviceButtonInterrupted",
         kDevice,
         [] { QTest::mouseClick(Operation().DeviceButton, Qt::LeftButton); },
         {{"DeviceChooser"}},
         Ending::Int},
        {"ChooserFromDeviceButtonOnEightSites",
         kDevice,
         [] { QTest::mouseClick(Operation().DeviceButton, Qt::LeftButton); },
         {{"DeviceChooser"}},
         Ending::Term,
         true},
        {"ChooserFromCtrlD", kDevice, [] { Key(Qt::Key_D, Qt::ControlModifier); }, {{"DeviceChooser"}}},
        {"NoteDuringSaveJob", kDeviceAndData, [] { Key(Qt::Key_S, Qt::ControlModifier); }, {{"frmSealbookNote"}}},
        {"DataPatternLoad", kDevice, [] { Key(Qt::Key_O, Qt::ControlModifier); }, {{"frmBufferLoad"}}},
        // The data pattern window's Open over a loaded pattern: the load
        // dialog ends, and the window's buffer command goes on to redraw
        // the operation window on its way out.
        {"DataPatternWindowLoadOverAPattern",
         kDeviceAndData,
         [] { QTest::mouseClick(Operation().FileButton, Qt::LeftButton); },
         {{"frmBufferCmd", "", [](QWidget* w) { Click(w, "Open"); }}, {"frmBufferLoad"}}},
        {"DataPatternSave", kDeviceAndData, [] { Trigger(&frmMain::SaveDataPatternAs); }, {{"frmBufferSave"}}},
        {"Configure", kDevice, [] { Key(Qt::Key_N, Qt::ControlModifier); }, {{"frmConfigure"}}},
        {"ConfigureFolderPicker",
         kDevice,
         [] { Key(Qt::Key_N, Qt::ControlModifier); },
         {{"frmConfigure", "", [](QWidget* w) { Click(w, "DirBrowser"); }}, {"DirDialog"}}},
        {"DeviceOptions",
         kDevice,
         [] { QTest::mouseClick(Operation().OptionsButton, Qt::LeftButton); },
         {{"frmDeviceConfigure"}}},
        {"DeviceRange", kDevice, [] { Trigger(&frmMain::mnuDeviceRange); }, {{"frmDeviceRange"}}},
        {"SealbookPassword", kDevice, [] { Trigger(&frmMain::mnuJobChangePassword); }, {{"frmSKPwd"}}},
        {"SealbookConfigure", kDevice, [] { Trigger(&frmMain::mnuSealbookConfigure); }, {{"frmSealbookConfigure"}}},
        {"InsertNextDevicePrompt", kDevice, PressAction, {{"QMessageBox", "Insert next device"}}},
        {"JobSummary", kDevice, PressAction, {{"frmJobSummary"}}},
        {"JobSummarySave",
         kDevice,
         PressAction,
         {{"frmJobSummary", "", [](QWidget* w) { Click(w, "cmdSave"); }}, {"QFileDialog"}}},
        {"CloseWhileChooserOpen",
         kDevice,
         [] { QTest::mouseClick(Operation().DeviceButton, Qt::LeftButton); },
         {{"DeviceChooser"}},
         Ending::Close},
        {"WindowManagerCloseWhileNoteOpen",
         kDeviceAndData,
         [] { Key(Qt::Key_S, Qt::ControlModifier); },
         {{"frmSealbookNote"}},
         Ending::PostedClose},
        {"CloseWhileDataPatternLoadOpen",
         kDevice,
         [] { Key(Qt::Key_O, Qt::ControlModifier); },
         {{"frmBufferLoad"}},
         Ending::Close},
    };
    return cases;
}

const ShutdownCase* FindCase(const QString& name)
{
    for (const ShutdownCase& c : Cases())
        if (QLatin1String(c.name) == name)
            return &c;
    return nullptr;
}

// Plays the operator in the child: waits for the station to stand, types the
// quantity, opens the case's dialog, answers what comes on the way (Yes or
// OK to a box, the data pattern to an open dialog, a new name to a save
// dialog) and ends the station from the
// case's dialog.
class Operator : public QObject
{
public:
    Operator(const ShutdownCase& c, QString dataFile, QString saveDir)
        : m_case(c),
          m_dataFile(std::move(dataFile)),
          m_saveDir(std::move(saveDir))
    {
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
        m_poll.start();
    }
    qint64 EndedForMs() const { return m_sinceEnd.isValid() ? m_sinceEnd.elapsed() : -1; }
    bool Reached() const { return m_sinceEnd.isValid(); }

private:
    void Poll()
    {
        if (!m_opened) {
            // The station stands and its loop runs.
            if (LastStartUpOutcome() != StartUpOutcome::Started || !gMainForm || !gMainForm->isVisible()
                || QThread::currentThread()->loopLevel() != 1)
                return;
            m_opened = true;
            gMainForm->txtNumCopies->selectAll();
            QTest::keyClicks(gMainForm->txtNumCopies, kQuantity);
            // The handler runs from the main loop, as a click's does, while
            // this timer goes on watching.
            QTimer::singleShot(0, this, [this] { m_case.open(); });
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("tarvoSeen").toBool() || m_step >= m_case.chain.size())
            return;
        modal->setProperty("tarvoSeen", true);
        auto* box = qobject_cast<QMessageBox*>(modal);
        std::printf("modal: %s \"%s\" %s\n", modal->metaObject()->className(), qPrintable(modal->windowTitle()),
                    box ? qPrintable(box->text()) : "");
        std::fflush(stdout);
        const Waypoint& next = m_case.chain[m_step];
        if (Matches(modal, next)) {
            ++m_step;
            // A button that opens the next dialog runs from the loop, so
            // that this timer goes on watching.
            if (m_step < m_case.chain.size())
                QTimer::singleShot(0, modal, [act = next.act, modal] { act(modal); });
            else
                End();
            return;
        }
        AnswerOnTheWay(modal);
    }

    static bool Matches(QWidget* modal, const Waypoint& w)
    {
        if (!modal->inherits(w.className))
            return false;
        const QString title = QString::fromLatin1(w.title);
        if (title.isEmpty())
            return true;
        auto* box = qobject_cast<QMessageBox*>(modal);
        return modal->windowTitle().contains(title) || (box && box->text().contains(title));
    }

    void AnswerOnTheWay(QWidget* modal)
    {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::Ok}) {
                if (QAbstractButton* button = box->button(b)) {
                    button->click();
                    return;
                }
            }
            box->defaultButton()->click();
            return;
        }
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            const bool save = files->acceptMode() == QFileDialog::AcceptSave;
            const QString path = save ? QDir(m_saveDir).filePath(QStringLiteral("saved.qx")) : m_dataFile;
            // Typed into the name field, as the operator does: selectFile()
            // leaves the field alone once it has the focus, and then the
            // dialog would open the folder instead of taking the file.
            if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(path);
            else
                files->selectFile(path);
            static_cast<QDialog*>(files)->accept();
            return;
        }
        std::fprintf(stderr, "unexpected window on the way: %s\n", modal->metaObject()->className());
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    }

    void End()
    {
        m_poll.stop();
        m_sinceEnd.start();
        switch (m_case.ending) {
        case Ending::Term: ::raise(SIGTERM); break;
        case Ending::Int: ::raise(SIGINT); break;
        case Ending::Close: gMainForm->close(); break;
        // As a window manager's close arrives: an event of its own.
        case Ending::PostedClose: QCoreApplication::postEvent(gMainForm, new QCloseEvent); break;
        }
    }

    const ShutdownCase& m_case;
    QString m_dataFile;
    QString m_saveDir;
    QTimer m_poll;
    bool m_opened = false;
    size_t m_step = 0;
    QElapsedTimer m_sinceEnd;
};

// The child: the station as the program starts it, with the case's operator.
const ChildRole kStation("station-ended-from-dialog", [](const QStringList& args) {
    const ShutdownCase* c = args.size() == 3 ? FindCase(args[0]) : nullptr;
    if (!c)
        return 2;
    appinfo::SetApplicationTitleForTests(QStringLiteral("Tarvo"));
    SetComponentFolder(BinDir());
    if (c->eightSites) {
        const QString engineFolder = qEnvironmentVariable("XDG_DATA_HOME") + "/Corvane/QXEngine";
        QDir().mkpath(engineFolder);
        QFile ini(engineFolder + "/engine.ini");
        if (!ini.open(QIODevice::WriteOnly) || ini.write("[Station]\nModelIndex=11\n") < 0)
            return 2;
    }
    SetRawCommandLineText(QString::fromLatin1(c->commandLine).replace(QLatin1String("@DATA@"), args[1]));
    Operator op(*c, args[1], args[2]);
    const int code = Main();
    // No window was shown again once the station had unloaded.
    int shown = 0;
    for (const QWidget* w : QApplication::topLevelWidgets())
        shown += w->isVisible() ? 1 : 0;
    std::printf("reached: %d\nended after ms: %lld\nwindows shown: %d\n", int(op.Reached()), op.EndedForMs(), shown);
    std::fflush(stdout);
    return code;
});

class ShutdownProcessTest : public TarvoTest
{
protected:
    // Each case's station has a registry, settings, data and lock of its own,
    // so that the cases run at once.
    QProcessEnvironment CaseEnvironment(const QString& root) const
    {
        QProcessEnvironment e = childEnvironment();
        for (const char* sub : {"registry", "config", "runtime", "data", "home"})
            QDir().mkpath(root + "/" + sub);
        QFile::setPermissions(root + "/runtime",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        e.insert("TARVO_REGISTRY_DIR", root + "/registry");
        e.insert("XDG_CONFIG_HOME", root + "/config");
        e.insert("XDG_RUNTIME_DIR", root + "/runtime");
        e.insert("XDG_DATA_HOME", root + "/data");
        e.insert("HOME", root + "/home");
        return e;
    }
    // Runs every case, each station with the platform's environment.
    void RunEachCase(const std::function<void(QProcessEnvironment&)>& platform);
    // The station in p ended cleanly and saved its settings under root.
    static void CheckEnded(QProcess& p, const QString& root);
};

QString ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The value as the settings file holds it, or "<missing>".
QString SavedSetting(const QString& hivePath, const QStringList& key, const QString& name, QString* error)
{
    QFile f(hivePath);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no settings file");
        return {};
    }
    const std::unique_ptr<reg::hive::Key> root = reg::hive::Parse(f.readAll(), error);
    if (!root)
        return {};
    const reg::hive::Key* k = root->find(key);
    const reg::hive::Value* v = k ? k->value(name) : nullptr;
    if (!v)
        return QStringLiteral("<missing>");
    QByteArray data = v->data;
    if (data.endsWith('\0'))
        data.chop(1);
    return QString::fromUtf8(data);
}

void ShutdownProcessTest::RunEachCase(const std::function<void(QProcessEnvironment&)>& platform)
{
    // A data pattern for the cases that load or save one.
    const QString dataFile = tempPath("pattern.bin");
    {
        QFile f(dataFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5a'));
    }
    struct Running
    {
        const ShutdownCase* c;
        QString root;
        std::unique_ptr<QProcess> process;
    };
    // A few stations at a time: the machine is shared.
    constexpr int kAtOnce = 6;
    const std::vector<ShutdownCase>& cases = Cases();
    for (size_t first = 0; first < cases.size(); first += kAtOnce) {
        std::vector<Running> batch;
        for (size_t i = first; i < std::min(cases.size(), first + kAtOnce); ++i) {
            Running r{&cases[i], tempPath(QString::fromLatin1(cases[i].name)), std::make_unique<QProcess>()};
            QProcessEnvironment env = CaseEnvironment(r.root);
            platform(env);
            ASSERT_TRUE(StartChildRole(*r.process, env, "station-ended-from-dialog",
                                       {QString::fromLatin1(cases[i].name), dataFile, r.root}));
            batch.push_back(std::move(r));
        }
        for (Running& r : batch) {
            SCOPED_TRACE(r.c->name);
            CheckEnded(*r.process, r.root);
        }
    }
}

TEST_F(ShutdownProcessTest, StationEndsCleanlyFromInsideEachDialog)
{
    RunEachCase([](QProcessEnvironment&) {});
}

// On the xcb platform a window shown or redrawn on the way out asks the X
// server (the pointer's place, for one): the station must not wait there.
TEST_F(ShutdownProcessTest, StationEndsCleanlyFromInsideEachDialogOnAnXServer)
{
    const XvfbDisplay x;
    ASSERT_TRUE(x.Started()) << x.Error().toStdString();
    RunEachCase([&x](QProcessEnvironment& env) { x.Apply(env); });
}

void ShutdownProcessTest::CheckEnded(QProcess& p, const QString& root)
{
    const bool finished = p.waitForFinished(30000);
    if (!finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    const std::string output = (out + err).toStdString();
    ASSERT_TRUE(finished) << "the station hangs\n" << output;
    // No signal ended it (no crash, no abort, no core).
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(p.exitCode(), 0) << output;
    EXPECT_TRUE(out.contains("reached: 1")) << "the dialog was never open\n" << output;
    EXPECT_FALSE(err.contains("unexpected window")) << output;
    EXPECT_TRUE(out.contains("windows shown: 0")) << output;
    const qsizetype at = out.indexOf("ended after ms: ");
    ASSERT_NE(at, -1) << output;
    EXPECT_LT(out.mid(at + 16).trimmed().toLongLong(), 5000) << output;

    const QString log = ReadFile(root + "/data/Corvane/QXEngine/DATALOG/BlackBox.log");
    EXPECT_TRUE(log.endsWith("System has been shut down successfully!\r\n")) << log.toStdString();
    EXPECT_EQ(log.count("Application Tarvo is being shut down!"), 1) << log.toStdString();

    QString error;
    const QString quantity =
        SavedSetting(root + "/registry/HKCU.reg", {"Software", "Corvane", "Tarvo", "Device"}, "NumDevices", &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(quantity, kQuantity) << output;
}

// A station that automation started, switched to show its clients' jobs the
// operator's boxes: its client begins a job and goes away while the run's
// "Insert next device" prompt waits, which ends the job as stopped; the
// station then gets SIGTERM.
class AutomatedStationShutdownTest : public PrivateBusTest
{};

TEST_F(AutomatedStationShutdownTest, ClientGoneWhileARunPromptsThenTerminated)
{
    // A first station remembers the device, so that a client's job runs.
    QProcessEnvironment first = childEnvironment();
    first.insert("TARVO_UI_SCRIPT", "/dev/null");
    first.insert("TARVO_TEST_CLOSE_AFTER_MS", "200");
    ASSERT_EQ(RunProgram(BinDir() + "/tarvo", {"-device", "AM27C512"}, first).exitCode, 0);

    SetSilentClientJobs(false);
    StartDaemon(childEnvironment());
    QProcessEnvironment env = childEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
    // Real boxes, offscreen, each reported once it waits.
    env.insert("TARVO_REPORT_SHOWN", "1");
    QProcess station;
    station.setProcessEnvironment(env);
    station.start(BinDir() + "/tarvo", {"-Embedding"});
    ASSERT_TRUE(station.waitForStarted());
    for (int i = 0; i < 200 && StationPid() != station.processId(); ++i)
        QThread::msleep(50);
    ASSERT_EQ(StationPid(), station.processId());

    // The client leaves once it is told the prompt is open.
    const QString promptOpen = tempPath("prompt-open");
    QProcess client;
    client.setProcessEnvironment(env);
    client.start("/usr/bin/python3",
                 {"-c",
                  QStringLiteral(R"(
import dbus, os, time
bus = dbus.SessionBus()
server = dbus.Interface(bus.get_object('com.corvane.Tarvo', '/com/corvane/Tarvo'), 'com.corvane.Tarvo.Server')
control = server.Create('CJobControl', False)
dbus.Interface(bus.get_object('com.corvane.Tarvo', control), 'com.corvane.Tarvo.CJobControl').BeginJob(3)
deadline = time.time() + 30
while not os.path.exists('%1') and time.time() < deadline:
    time.sleep(0.02)
)")
                      .arg(promptOpen)});
    ASSERT_TRUE(client.waitForStarted());
    QByteArray output;
    QDeadlineTimer deadline(30000);
    while (!output.contains("box open: ") && !deadline.hasExpired() && station.state() == QProcess::Running) {
        station.waitForReadyRead(100);
        output += station.readAllStandardOutput();
    }
    ASSERT_TRUE(output.contains("box open: ")) << output.toStdString();
    ASSERT_TRUE(QFile(promptOpen).open(QIODevice::WriteOnly));
    ASSERT_TRUE(client.waitForFinished(30000));
    EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
    // Its instance went with it; the station stands.
    QThread::msleep(200);
    ASSERT_EQ(station.state(), QProcess::Running);

    QElapsedTimer sinceSignal;
    sinceSignal.start();
    ::kill(pid_t(station.processId()), SIGTERM);
    ASSERT_TRUE(station.waitForFinished(30000)) << "the station hangs";
    EXPECT_LT(sinceSignal.elapsed(), 5000);
    const std::string err = station.readAllStandardError().toStdString();
    ASSERT_EQ(station.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(station.exitCode(), 0) << err;

    const QString log = ReadFile(childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine/DATALOG/BlackBox.log");
    EXPECT_TRUE(log.endsWith("System has been shut down successfully!\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("The automation client of the running job left: the job is stopped."))
        << log.toStdString();
    QString error;
    // The quantity the client's job asked for.
    EXPECT_EQ(
        SavedSetting(registryRoot() + "/HKCU.reg", {"Software", "Corvane", "Tarvo", "Device"}, "NumDevices", &error),
        "3");
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}

} // namespace
