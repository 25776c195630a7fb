#include "StartUpHelper.h"

#include <memory>
#include <sched.h>

namespace {
struct HelperStart
{
    std::function<void()> work;
    cpu_set_t callerMask{};
    bool elsewhere = false;
};

void* RunWork(void* arg)
{
    const std::unique_ptr<HelperStart> start(static_cast<HelperStart*>(arg));
    if (start->elsewhere)
        ::sched_setaffinity(0, sizeof start->callerMask, &start->callerMask);
    start->work();
    return nullptr;
}
} // namespace

bool StartUpHelper::Start(std::function<void()> work)
{
    if (m_started)
        return false;
    auto start = std::make_unique<HelperStart>();
    start->work = std::move(work);
    pthread_attr_t attr;
    if (::pthread_attr_init(&attr) != 0)
        return false;
    // Every processor the caller may use but the one it is on; a caller
    // bound to a single processor shares it.
    const int cpu = ::sched_getcpu();
    if (cpu >= 0 && ::sched_getaffinity(0, sizeof start->callerMask, &start->callerMask) == 0
        && CPU_ISSET(cpu, &start->callerMask) && CPU_COUNT(&start->callerMask) > 1) {
        cpu_set_t others = start->callerMask;
        CPU_CLR(cpu, &others);
        start->elsewhere = ::pthread_attr_setaffinity_np(&attr, sizeof others, &others) == 0;
    }
    m_started = ::pthread_create(&m_thread, &attr, RunWork, start.get()) == 0;
    ::pthread_attr_destroy(&attr);
    // Refused with that mask (the processors allowed changed meanwhile): a
    // helper on any processor is still better than none.
    if (!m_started && start->elsewhere) {
        start->elsewhere = false;
        m_started = ::pthread_create(&m_thread, nullptr, RunWork, start.get()) == 0;
    }
    if (m_started)
        start.release(); // the thread owns it now
    return m_started;
}

void StartUpHelper::Finish()
{
    if (!m_started)
        return;
    ::pthread_join(m_thread, nullptr);
    m_started = false;
}
