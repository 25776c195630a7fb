#include "StartUpHelper.h"

#include <system_error>

void StartUpHelper::Start(std::function<void()> work)
{
    if (m_thread.joinable())
        return;
    try {
        m_thread = std::thread(std::move(work));
    } catch (const std::system_error&) {
    }
}

void StartUpHelper::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
}
