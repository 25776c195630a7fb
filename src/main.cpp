#include "shell/FontWarmUp.h"
#include "shell/StartUp.h"
#include "shell/StartUpHeap.h"

#include <QApplication>

// About what start-up allocates on the main thread, the splash's image included.
constexpr std::size_t kStartUpHeapBytes = 1536 << 10;

int main(int argc, char** argv)
{
    startupheap::Reserve(kStartUpHeapBytes);
    StartFontWarmUp();
    QApplication app(argc, argv);
    const FontWarmUpWithToolkit fontsWithToolkit;
    return Main();
}
