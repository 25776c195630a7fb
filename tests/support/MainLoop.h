#pragma once

// Runs the thread's main loop (as the station's app.exec() does) until done
// says so or the time is up; without done, for the whole time.
#include <QEventLoop>
#include <QTimer>
#include <functional>

inline void RunMainLoop(int milliseconds, const std::function<bool()>& done = {})
{
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done && done())
            loop.quit();
    });
    tick.start(5);
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
