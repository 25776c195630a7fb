#include "FontWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <system_error>
#include <thread>

namespace {

// Joined at the latest when the program ends, so that the helper never
// outlives it.
struct WarmUp
{
    std::thread thread;
    ~WarmUp()
    {
        if (thread.joinable())
            thread.join();
    }
};

WarmUp g_warmUp;

} // namespace

void StartFontWarmUp()
{
    if (g_warmUp.thread.joinable())
        return;
    try {
        // The library keeps what it read for the whole program: the toolkit
        // finds it loaded when it asks for it (it is safe to use from any
        // thread).
        g_warmUp.thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No helper: the toolkit reads the configuration itself, as usual.
    }
}

void FinishFontWarmUp()
{
    if (g_warmUp.thread.joinable())
        g_warmUp.thread.join();
}
