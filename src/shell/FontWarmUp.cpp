#include "FontWarmUp.h"

#include "StartUpHelper.h"

#include <fontconfig/fontconfig.h>

namespace {
StartUpHelper g_warmUp;
} // namespace

void StartFontWarmUp()
{
    // The library keeps what it read for the whole program: the toolkit finds
    // it loaded when it asks for it (it is safe to use from any thread).
    g_warmUp.Start([] { FcInit(); });
}

void FinishFontWarmUp()
{
    g_warmUp.Finish();
}
