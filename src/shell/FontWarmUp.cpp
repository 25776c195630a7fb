#include "FontWarmUp.h"

#include "StartUpHeap.h"
#include "StartUpHelper.h"

#include <QFontDatabase>
#include <QStringList>
#include <condition_variable>
#include <fontconfig/fontconfig.h>
#include <mutex>

namespace {
// About what reading the font configuration allocates.
constexpr std::size_t kFontHeapBytes = 512 << 10;

class FontWarmUp
{
public:
    ~FontWarmUp() { End(); }

    void Start()
    {
        m_started = m_helper.Start([this] { Run(); });
    }

    void WaitForConfiguration()
    {
        if (!m_started)
            return;
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_configRead; });
    }

    void AllowToolkit()
    {
        const std::lock_guard lock(m_mutex);
        m_toolkitMayBeUsed = true;
        m_changed.notify_all();
    }

    // The toolkit is going (or the program ends): the helper no longer
    // touches it, and is waited for.
    void End()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_ended = true;
            m_changed.notify_all();
        }
        m_helper.Finish();
    }

private:
    void Run()
    {
        startupheap::Prefill(kFontHeapBytes);
        // The library keeps what it read for the whole program: the toolkit
        // finds it loaded when it asks for it (it is safe to use from any
        // thread).
        FcInit();
        std::unique_lock lock(m_mutex);
        m_configRead = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_toolkitMayBeUsed || m_ended; });
        if (m_ended)
            return;
        lock.unlock();
        // The font list is guarded by the toolkit's own lock: a window that
        // lays out text meanwhile waits for it rather than filling it again.
        QFontDatabase::families();
    }

    StartUpHelper m_helper;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_started = false;
    bool m_configRead = false;
    bool m_toolkitMayBeUsed = false;
    bool m_ended = false;
};

FontWarmUp g_warmUp;
} // namespace

void StartFontWarmUp()
{
    g_warmUp.Start();
}

void FinishFontWarmUp()
{
    g_warmUp.WaitForConfiguration();
}

FontWarmUpWithToolkit::FontWarmUpWithToolkit()
{
    g_warmUp.AllowToolkit();
}

FontWarmUpWithToolkit::~FontWarmUpWithToolkit()
{
    g_warmUp.End();
}
