// Start-up of the whole station, headless, against an empty Qt Widgets
// window started the same way: each program is run from exec until its main
// window has been shown and closed again, alternately, and the medians are
// printed.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double RunOnce(const QString& program, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    p.waitForFinished(60000);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
    return ms;
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
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString bin = QStringLiteral(TARVO_BIN_DIR);
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TARVO_REGISTRY_DIR", dir.path() + "/registry");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("XDG_DATA_HOME", dir.path() + "/data");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("TARVO_UI_SCRIPT", "/dev/null");
    env.insert("TARVO_TEST_CLOSE_AFTER_MS", "0");

    RunOnce(bin + "/tarvo", env); // first start registers the companions and makes the folders
    std::vector<double> station, empty;
    for (int i = 0; i < runs; ++i) {
        station.push_back(RunOnce(bin + "/tarvo", env));
        empty.push_back(RunOnce(bin + "/bench_empty_window", env));
    }
    const double s = Median(station), e = Median(empty);
    std::printf("start-up median over %d runs: station %.1f ms, empty window %.1f ms, ratio %.2f\n", runs, s, e, s / e);
    return 0;
}
