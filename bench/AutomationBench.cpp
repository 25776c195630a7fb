// The automation interface's speed, on one private bus in one run.
//
// (a) Round trips of a client's calls to the station (started by activation,
//     as a client starts it): CQxProgrammer.GetErrorMessage,
//     CJobMonitor.GetSystemInfo, CQxProgrammer.DevicePlaced (no job: the
//     call is taken and dropped) and an accepted CJobControl.SetJobParameter,
//     each against the yardstick of a trivial QtDBus method (Echo) of a helper
//     process on the same bus: the goal is at most 1.5 times the yardstick.
// (b) The delay from a site event raised in the station to the client's
//     signal, during a job of 1,000 devices on the eight sites of "RG-1080/8"
//     at zero speed (CJobControl.BeginJob, a manual-handler session): the
//     simulated handler writes the monotonic time just before it raises each
//     site status (TARVO_MANUALHDL_TRACE); the client takes the same clock as
//     each CJobMonitor signal arrives. Goal: 99th percentile below 5 ms.
// (c) Server.Instances and the yardstick while a CJobControl job of 16
//     devices runs at the simulated engine's default speed, beside their
//     idle figures from (a): calls at random gaps of up to 10 ms from
//     BeginJob to NotifyJobComplete, so that they fall anywhere in the run's
//     steps. Goal: median at most 2 ms, 99th percentile at most 20 ms.
//
//   bench_automation [calls per member]      (default 2000)

#include "BenchSupport.h"

#include "platform/AppInfo.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

const QString kHelperName = QStringLiteral("com.corvane.TarvoBenchHelper");
const QString kStation = QStringLiteral("com.corvane.Tarvo");
const QString kServer = QStringLiteral("/com/corvane/Tarvo");
constexpr int kDevices = 1000;
constexpr int kSlowDevices = 16;

qint64 MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The yardstick: a method that does nothing but answer.
class Helper : public QObject
{
    Q_OBJECT
public slots:
    int Echo(int value) { return value; }
};

// Takes the time of each monitor signal as it arrives.
class MonitorClock : public QObject
{
    Q_OBJECT
public:
    std::vector<qint64> arrivals;
    QEventLoop done;
    int result = -99;
    bool complete = false;
public slots:
    void Active(int, int) { arrivals.push_back(MonotonicNs()); }
    void Passed(int, int) { arrivals.push_back(MonotonicNs()); }
    void Failed(int, int, int) { arrivals.push_back(MonotonicNs()); }
    void Complete(int r)
    {
        result = r;
        complete = true;
        done.quit();
    }
};

int RunHelper(const QString& address)
{
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("helper"));
    Helper helper;
    if (!bus.registerObject(QStringLiteral("/helper"), QStringLiteral("com.corvane.TarvoBenchHelper"), &helper,
                            QDBusConnection::ExportAllSlots)
        || !bus.registerService(kHelperName)) {
        std::fprintf(stderr, "bench_automation helper: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    return QCoreApplication::exec();
}

struct Figures
{
    double median = 0, p99 = 0, mean = 0;
};

Figures Summarize(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    Figures f;
    if (us.empty())
        return f;
    f.median = us[us.size() / 2];
    f.p99 = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    for (double v : us)
        f.mean += v;
    f.mean /= double(us.size());
    return f;
}

QString Create(QDBusInterface& server, const QString& cls)
{
    const QDBusReply<QDBusObjectPath> reply = server.call(QStringLiteral("Create"), cls, false);
    if (!reply.isValid()) {
        std::fprintf(stderr, "bench_automation: Create %s: %s\n", qPrintable(cls), qPrintable(reply.error().message()));
        return {};
    }
    return reply.value().path();
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 3 && QByteArray(argv[1]) == "--helper") {
        QCoreApplication app(argc, argv);
        return RunHelper(QString::fromLocal8Bit(argv[2]));
    }
    BenchStation station;
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 2000;

    // The station that activation starts: headless, its boxes answered by
    // default, the eight-site model with a device chosen. The engine takes
    // its speed from the fault plan file, read afresh at each run: zero
    // speed for (a) and (b), the default speed for (c).
    SaveSettingValue(appinfo::App(), QStringLiteral("Device"), QStringLiteral("DevSelected"), true);
    SaveSettingValue(appinfo::App(), QStringLiteral("Device"), QStringLiteral("SelectedDeviceName"),
                     QStringLiteral("AM27C512"));
    const QString services = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/dbus-1/services");
    QDir().mkpath(services);
    const QString serviceFile = QStringLiteral("/com.corvane.Tarvo.service");
    if (!QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/dbus-1/services") + serviceFile,
                     services + serviceFile)) {
        std::fprintf(stderr, "bench_automation: no activation file beside the program\n");
        return 1;
    }
    const QString trace = station.filePath(QStringLiteral("site-trace.txt"));
    qputenv("TARVO_UI_SCRIPT", "/dev/null");
    qputenv("TARVO_ENGINE_MODEL", "RG-1080/8");
    const QString faultPlan = station.filePath(QStringLiteral("data/Corvane/QXEngine/faultplan.ini"));
    {
        QFile plan(faultPlan);
        if (!plan.open(QIODevice::WriteOnly) || plan.write("[Faults]\ndelay=0\n") < 0) {
            std::fprintf(stderr, "bench_automation: cannot write the fault plan\n");
            return 1;
        }
    }
    qputenv("TARVO_MANUALHDL_TRACE", trace.toUtf8());

    QProcess daemon;
    // The bus socket lives in the bench's own folder, removed with it.
    daemon.start(QStringLiteral("dbus-daemon"),
                 {"--session", "--nofork", "--print-address",
                  QStringLiteral("--address=unix:dir=") + station.filePath(QString())});
    if (!daemon.waitForStarted() || !daemon.waitForReadyRead(10000)) {
        std::fprintf(stderr, "bench_automation: no private bus\n");
        return 1;
    }
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QProcess helper;
    helper.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--helper"), address});
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("bench"));
    for (int i = 0; i < 100 && !bus.interface()->isServiceRegistered(kHelperName); ++i)
        QThread::msleep(50);

    int rc = 1;
    {
        QDBusInterface server(kStation, kServer, QStringLiteral("com.corvane.Tarvo.Server"), bus);
        server.setTimeout(120000);
        const QString programmerPath = Create(server, QStringLiteral("CQxProgrammer"));
        const QString controlPath = Create(server, QStringLiteral("CJobControl"));
        const QString monitorPath = Create(server, QStringLiteral("CJobMonitor"));
        if (programmerPath.isEmpty() || controlPath.isEmpty() || monitorPath.isEmpty())
            return 1;
        QDBusInterface echo(kHelperName, QStringLiteral("/helper"), QStringLiteral("com.corvane.TarvoBenchHelper"),
                            bus);
        QDBusInterface programmer(kStation, programmerPath, QStringLiteral("com.corvane.Tarvo.CQxProgrammer"), bus);
        QDBusInterface control(kStation, controlPath, QStringLiteral("com.corvane.Tarvo.CJobControl"), bus);
        QDBusInterface monitor(kStation, monitorPath, QStringLiteral("com.corvane.Tarvo.CJobMonitor"), bus);

        bool ok = true;
        const auto answered = [&ok](const QDBusMessage& reply, const char* what) {
            if (reply.type() == QDBusMessage::ReplyMessage)
                return true;
            std::fprintf(stderr, "bench_automation: %s: %s\n", what, qPrintable(reply.errorMessage()));
            return false;
        };
        const auto echoCall = [&] { return answered(echo.call(QStringLiteral("Echo"), 7), "Echo"); };
        const auto instancesCall = [&] { return answered(server.call(QStringLiteral("Instances")), "Instances"); };
        const struct
        {
            const char* name;
            std::function<bool()> call;
        } members[] = {
            {"helper Echo (yardstick)", echoCall},
            {"Server.Instances", instancesCall},
            {"GetErrorMessage",
             [&] { return answered(programmer.call(QStringLiteral("GetErrorMessage"), 3), "GetErrorMessage"); }},
            {"GetSystemInfo", [&] { return answered(monitor.call(QStringLiteral("GetSystemInfo")), "GetSystemInfo"); }},
            {"DevicePlaced",
             [&] { return answered(programmer.call(QStringLiteral("DevicePlaced"), 0), "DevicePlaced"); }},
            {"SetJobParameter (accepted)",
             [&] {
                 return answered(control.call(QStringLiteral("SetJobParameter"), QStringLiteral("DeviceOptions.Verify"),
                                              QStringLiteral("ENABLE")),
                                 "SetJobParameter");
             }},
        };
        // Interleaved, call by call, so that the machine's load weighs on
        // every member alike; a first round warms the connections up.
        const size_t count = std::size(members);
        std::vector<std::vector<double>> us(count);
        for (int i = -1; i < calls && ok; ++i) {
            for (size_t m = 0; m < count && ok; ++m) {
                const qint64 start = MonotonicNs();
                ok = members[m].call();
                if (i >= 0)
                    us[m].push_back(double(MonotonicNs() - start) / 1000.0);
            }
        }
        std::printf("(a) round trips, %d calls each, interleaved (microseconds)\n", calls);
        std::printf("%-28s %9s %9s %9s %7s\n", "member", "median", "p99", "mean", "ratio");
        const double yardstick = Summarize(us[0]).median;
        const Figures idleEcho = Summarize(us[0]);
        const Figures idleInstances = Summarize(us[1]);
        for (size_t m = 0; m < count; ++m) {
            const Figures f = Summarize(us[m]);
            std::printf("%-28s %9.1f %9.1f %9.1f %7.2f\n", members[m].name, f.median, f.p99, f.mean,
                        f.median / yardstick);
        }
        // The last parameter's refresh comes 250 ms later: let it pass. The
        // programmer object goes: with one attached, a session waits for its
        // client to place the devices.
        QThread::msleep(400);
        server.call(QStringLiteral("Release"), QVariant::fromValue(QDBusObjectPath(programmerPath)));

        MonitorClock clock;
        const QString iface = QStringLiteral("com.corvane.Tarvo.CJobMonitor");
        bus.connect(kStation, monitorPath, iface, QStringLiteral("NotifySocketActive"), &clock, SLOT(Active(int, int)));
        bus.connect(kStation, monitorPath, iface, QStringLiteral("NotifySocketPassed"), &clock, SLOT(Passed(int, int)));
        bus.connect(kStation, monitorPath, iface, QStringLiteral("NotifySocketFailed"), &clock,
                    SLOT(Failed(int, int, int)));
        bus.connect(kStation, controlPath, QStringLiteral("com.corvane.Tarvo.CJobControl"),
                    QStringLiteral("NotifyJobComplete"), &clock, SLOT(Complete(int)));
        QFile::remove(trace);
        const qint64 jobStart = MonotonicNs();
        ok = ok && answered(control.call(QStringLiteral("BeginJob"), kDevices), "BeginJob");
        QTimer::singleShot(600000, &clock.done, &QEventLoop::quit);
        if (ok)
            clock.done.exec();
        const double jobSeconds = double(MonotonicNs() - jobStart) / 1e9;

        // The station's site events that reach a monitor: active, passed, failed.
        std::vector<qint64> raised;
        QFile traceFile(trace);
        if (traceFile.open(QIODevice::ReadOnly)) {
            while (!traceFile.atEnd()) {
                const QList<QByteArray> fields = traceFile.readLine().trimmed().split(' ');
                if (fields.size() == 3 && (fields[2] == "0" || fields[2] == "1" || fields[2] == "3"))
                    raised.push_back(fields[0].toLongLong());
            }
        }
        std::printf("\n(b) site event to the client's signal, job of %d devices on 8 sites\n", kDevices);
        std::printf("job result %d in %.2f s; site events %zu, signals %zu\n", clock.result, jobSeconds, raised.size(),
                    clock.arrivals.size());
        if (!raised.empty() && raised.size() == clock.arrivals.size()) {
            std::vector<double> ms;
            for (size_t i = 0; i < raised.size(); ++i)
                ms.push_back(double(clock.arrivals[i] - raised[i]) / 1e6);
            std::sort(ms.begin(), ms.end());
            std::printf("delay ms: median %.3f  p99 %.3f  max %.3f\n", ms[ms.size() / 2],
                        ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.back());
            rc = ok && clock.result == 0 ? 0 : 1;
        } else {
            std::fprintf(stderr, "bench_automation: the site events and the signals do not pair up\n");
        }

        // (c) The engine at its default speed from the next run on.
        QFile::remove(faultPlan);
        MonitorClock end;
        bus.connect(kStation, controlPath, QStringLiteral("com.corvane.Tarvo.CJobControl"),
                    QStringLiteral("NotifyJobComplete"), &end, SLOT(Complete(int)));
        std::vector<double> jobEcho, jobInstances;
        std::mt19937 gaps(28);
        std::uniform_int_distribution<int> gapUs(0, 10000);
        const qint64 slowStart = MonotonicNs();
        ok = ok && answered(control.call(QStringLiteral("BeginJob"), kSlowDevices), "BeginJob");
        while (ok && !end.complete && MonotonicNs() - slowStart < 600'000'000'000LL) {
            QThread::usleep(gapUs(gaps));
            qint64 start = MonotonicNs();
            ok = echoCall();
            jobEcho.push_back(double(MonotonicNs() - start) / 1000.0);
            QThread::usleep(gapUs(gaps));
            start = MonotonicNs();
            ok = ok && instancesCall();
            jobInstances.push_back(double(MonotonicNs() - start) / 1000.0);
            QCoreApplication::processEvents();
        }
        const Figures busyEcho = Summarize(jobEcho);
        const Figures busyInstances = Summarize(jobInstances);
        std::printf("\n(c) idle and during a running job of %d devices at the engine's default speed (ms)\n",
                    kSlowDevices);
        std::printf("job result %d in %.2f s; %zu calls each\n", end.result, double(MonotonicNs() - slowStart) / 1e9,
                    jobInstances.size());
        std::printf("%-28s %11s %9s %11s %9s\n", "member", "idle median", "idle p99", "job median", "job p99");
        std::printf("%-28s %11.3f %9.3f %11.3f %9.3f\n", "helper Echo (yardstick)", idleEcho.median / 1000.0,
                    idleEcho.p99 / 1000.0, busyEcho.median / 1000.0, busyEcho.p99 / 1000.0);
        std::printf("%-28s %11.3f %9.3f %11.3f %9.3f\n", "Server.Instances", idleInstances.median / 1000.0,
                    idleInstances.p99 / 1000.0, busyInstances.median / 1000.0, busyInstances.p99 / 1000.0);
        if (!ok || !end.complete || end.result != 0)
            rc = 1;
    }
    // The station the bus started goes with its bus.
    const QDBusReply<uint> pid = bus.interface()->servicePid(kStation);
    if (pid.isValid() && pid.value() > 0) {
        // It saves its settings as it ends: its folder goes only after it.
        const QString proc = QStringLiteral("/proc/%1").arg(pid.value());
        QProcess::execute(QStringLiteral("kill"), {QString::number(pid.value())});
        for (int i = 0; i < 200 && QFile::exists(proc); ++i)
            QThread::msleep(50);
    }
    helper.kill();
    helper.waitForFinished();
    daemon.kill();
    daemon.waitForFinished();
    return rc;
}

#include "AutomationBench.moc"
