#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_fds[2] = {-1, -1};
std::function<void()> g_onTerminate;

void OnSignal(int)
{
    const char c = 1;
    // Only async-signal-safe work here: wake the GUI thread.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &c, 1);
}
} // namespace

void InstallTerminationHandler(std::function<void()> onTerminate)
{
    g_onTerminate = std::move(onTerminate);
    if (g_fds[0] == -1) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0)
            return;
        auto* notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
            char c;
            [[maybe_unused]] const ssize_t n = ::read(g_fds[1], &c, 1);
            if (g_onTerminate)
                g_onTerminate();
        });
        struct sigaction sa = {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
    }
}
