#include "FontWarmUp.h"

#include "StartUpHeap.h"
#include "StartUpHelper.h"

#include <fontconfig/fontconfig.h>

namespace {
StartUpHelper g_warmUp;
// About what reading the font configuration allocates.
constexpr std::size_t kFontHeapBytes = 512 << 10;
} // namespace

void StartFontWarmUp()
{
    // The library keeps what it read for the whole program: the toolkit finds
    // it loaded when it asks for it (it is safe to use from any thread).
    g_warmUp.Start([] {
        startupheap::Prefill(kFontHeapBytes);
        FcInit();
    });
}

void FinishFontWarmUp()
{
    g_warmUp.Finish();
}
