// Start-up of the whole station, headless, against two plain Qt Widgets
// programs started the same way: an empty window, and the yardstick (a
// window with a menu bar, a status bar, tabs, labels and a line edit). Each
// program is timed from exec until it reports its main window shown (and,
// apart, until it has closed again), in turn, and the medians and the
// station's ratios to both are printed. The processor time each program
// used (user and system, as the kernel counts it for a reaped child) is
// printed too: on a busy machine it moves less than the times on the clock.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {
struct Times
{
    double shown = 0;
    double ended = 0;
    double cpu = 0;
};

// User and system time of the reaped children so far, in milliseconds.
double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

Times RunOnce(const QString& program, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    const double cpuBefore = ChildrenCpuMs();
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    Times times;
    while (times.shown == 0 && p.waitForReadyRead(60000)) {
        if (p.readAllStandardOutput().contains("shown"))
            times.shown = double(t.nsecsElapsed()) / 1e6;
    }
    p.waitForFinished(60000);
    times.ended = double(t.nsecsElapsed()) / 1e6;
    times.cpu = ChildrenCpuMs() - cpuBefore;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
    return times;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // bench_startup [runs] [algorithm database]
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString database = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    // Another build's programs (a before-and-after of a change) may be timed
    // by naming their folder.
    const QString bin = qEnvironmentVariableIsSet("TARVO_BENCH_BIN_DIR") ? qEnvironmentVariable("TARVO_BENCH_BIN_DIR")
                                                                         : QStringLiteral(TARVO_BIN_DIR);
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TARVO_REGISTRY_DIR", dir.path() + "/registry");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("XDG_DATA_HOME", dir.path() + "/data");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("TARVO_UI_SCRIPT", "/dev/null");
    env.insert("TARVO_TEST_CLOSE_AFTER_MS", "0");
    env.insert("TARVO_REPORT_SHOWN", "1");
    if (!database.isEmpty())
        env.insert("TARVO_ENGINE_DB", database);

    RunOnce(bin + "/tarvo", env); // first start registers the companions and makes the folders
    std::vector<double> stationShown, emptyShown, yardShown, stationEnded, emptyEnded, yardEnded;
    std::vector<double> stationCpu, emptyCpu, yardCpu;
    for (int i = 0; i < runs; ++i) {
        const Times s = RunOnce(bin + "/tarvo", env);
        const Times e = RunOnce(bin + "/bench_empty_window", env);
        const Times y = RunOnce(bin + "/bench_yardstick_window", env);
        stationShown.push_back(s.shown);
        stationEnded.push_back(s.ended);
        emptyShown.push_back(e.shown);
        emptyEnded.push_back(e.ended);
        yardShown.push_back(y.shown);
        yardEnded.push_back(y.ended);
        stationCpu.push_back(s.cpu);
        emptyCpu.push_back(e.cpu);
        yardCpu.push_back(y.cpu);
    }
    const double s = Median(stationShown), e = Median(emptyShown), y = Median(yardShown);
    const double se = Median(stationEnded), ee = Median(emptyEnded), ye = Median(yardEnded);
    const double sc = Median(stationCpu), ec = Median(emptyCpu), yc = Median(yardCpu);
    std::printf("medians over %d runs%s:\n"
                "  exec to window shown: station %.1f ms, yardstick %.1f ms, empty window %.1f ms\n"
                "    station/yardstick %.2f, station/empty %.2f\n"
                "  exec to closed again: station %.1f ms, yardstick %.1f ms, empty window %.1f ms\n"
                "    station/yardstick %.2f, station/empty %.2f\n"
                "  processor time, exec to exit: station %.1f ms, yardstick %.1f ms, empty window %.1f ms\n"
                "    station/yardstick %.2f, station/empty %.2f\n",
                runs, database.isEmpty() ? "" : qPrintable(" with " + database), s, y, e, s / y, s / e, se, ye, ee,
                se / ye, se / ee, sc, yc, ec, sc / yc, sc / ec);
    return 0;
}
