#include "StationShutdown.h"

#include "UiService.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace shutdown {

namespace {
bool g_requested = false;
int g_openLoops = 0;
std::function<bool()> g_closer;
QPointer<QTimer> g_timer;
// How often the closer is tried again while something still holds it back.
constexpr int kRetryMs = 10;

// The main loop is the first level; a dialog's exec or any other loop run
// inside a handler is a level more.
constexpr int kOutermostLoopLevel = 1;

void TryClose()
{
    if (InNestedLoop() || !g_closer)
        return;
    // The closer may itself ask again (the window's close): the timer stays
    // the one retry.
    const std::function<bool()> closer = g_closer;
    if (closer() && g_timer)
        g_timer->stop();
}

void ArmCloser()
{
    if (!g_closer || !QCoreApplication::instance())
        return;
    if (!g_timer) {
        g_timer = new QTimer(QCoreApplication::instance());
        g_timer->setInterval(kRetryMs);
        QObject::connect(g_timer, &QTimer::timeout, g_timer, &TryClose);
    }
    if (!g_timer->isActive())
        g_timer->start();
}
} // namespace

bool Requested()
{
    return g_requested;
}

void Request()
{
    g_requested = true;
    Ui().EndOpenBoxes();
    ArmCloser();
}

void SetCloser(std::function<bool()> closer)
{
    g_closer = std::move(closer);
    if (g_requested)
        ArmCloser();
}

NestedLoop::NestedLoop()
{
    ++g_openLoops;
}
NestedLoop::~NestedLoop()
{
    --g_openLoops;
}

bool InNestedLoop()
{
    return g_openLoops > 0 || QThread::currentThread()->loopLevel() > kOutermostLoopLevel;
}

void Reset()
{
    g_requested = false;
    if (g_timer)
        g_timer->stop();
}

} // namespace shutdown
