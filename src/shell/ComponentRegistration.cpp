#include "ComponentRegistration.h"

#include "StartUpHelper.h"
#include "platform/AppInfo.h"
#include "platform/UiService.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <system_error>
#include <sched.h>
#include <thread>

namespace {
QString g_componentFolder;
int g_timeLimitMs = 20000;

using RegisterEntry = long (*)();
RegistrationWorkerStarter g_workerStarter;
} // namespace

void SetRegistrationWorkerStarterForTests(RegistrationWorkerStarter starter) { g_workerStarter = std::move(starter); }

const QStringList& CompanionFiles()
{
    static const QStringList files = {
        QStringLiteral("H950Hdlr.ocx"),
        QStringLiteral("QXPgmr.ocx"),
        QStringLiteral("DataPane.ocx"),
        QStringLiteral("ManualHdl.ocx"),
        QStringLiteral("BayCtrl.ocx"),
    };
    return files;
}

QString ComponentFolder()
{
    return g_componentFolder.isEmpty() ? appinfo::ProgramFolder() : g_componentFolder;
}

void SetComponentFolder(const QString& folder) { g_componentFolder = folder; }
int RegistrationTimeLimitMs() { return g_timeLimitMs; }
void SetRegistrationTimeLimitMs(int ms) { g_timeLimitMs = ms; }

namespace {
StartUpHelper g_preload;

// While it lives, the calling thread runs on the processor it is on, and a
// thread it starts meanwhile takes that mask for good; then the caller gets
// its own mask back.
class BoundToThisProcessor
{
public:
    BoundToThisProcessor()
    {
        const int cpu = ::sched_getcpu();
        m_bound = cpu >= 0 && ::sched_getaffinity(0, sizeof m_callerMask, &m_callerMask) == 0;
        if (!m_bound)
            return;
        cpu_set_t here;
        CPU_ZERO(&here);
        CPU_SET(cpu, &here);
        ::sched_setaffinity(0, sizeof here, &here);
    }
    ~BoundToThisProcessor()
    {
        if (m_bound)
            ::sched_setaffinity(0, sizeof m_callerMask, &m_callerMask);
    }
    BoundToThisProcessor(const BoundToThisProcessor&) = delete;
    BoundToThisProcessor& operator=(const BoundToThisProcessor&) = delete;

private:
    cpu_set_t m_callerMask{};
    bool m_bound = false;
};

// The GUI thread only waits while a registration runs, so its worker loses
// nothing by sharing the GUI thread's processor: it runs there at once and
// hands back without another processor being woken for it and then for the
// GUI thread again (each wake-up of an idle processor is costly on a virtual
// machine).
std::thread StartOnThisProcessor(std::function<void()> work)
{
    const BoundToThisProcessor bound;
    return std::thread(std::move(work));
}

// A program registers itself when started; a library is loaded.
bool IsProgram(const QString& path)
{
    return path.right(3).toUpper() == QLatin1String("EXE");
}
} // namespace

void PreloadComponents()
{
    QStringList paths;
    for (const QString& name : CompanionFiles()) {
        const QString path = LocateComponent(name);
        if (!path.isEmpty() && !IsProgram(path))
            paths << path;
    }
    g_preload.Start([paths] {
        // A loaded library stays loaded when its QLibrary goes.
        for (const QString& path : paths)
            QLibrary(path).load();
    });
}

void FinishPreloadingComponents()
{
    g_preload.Finish();
}

bool RegisterComponents()
{
    FinishPreloadingComponents();
    for (const QString& name : CompanionFiles()) {
        if (!RegisterOneComponent(name))
            return false;
    }
    return true;
}

bool RegisterOneComponent(const QString& name)
{
    const QString path = LocateComponent(name);
    if (path.isEmpty()) {
        Ui().MsgBox(QStringLiteral("Could not locate component ") + name + QStringLiteral(".  Please reinstall the application."),
                    vb::vbCritical, QStringLiteral("Missing Component Error"));
        return false;
    }
    if (RegisterServer(path, true))
        return true;
    Ui().MsgBox(QStringLiteral("Failed to register ") + name + QStringLiteral(".  Please reinstall the application."),
                vb::vbCritical, QStringLiteral("Component Registration Error"));
    return false;
}

QString LocateComponent(const QString& name)
{
    const QDir folder(ComponentFolder());
    const QString candidates[] = {
        folder.filePath(name),
        QDir::cleanPath(folder.filePath(QStringLiteral("../Debug/") + name)),
    };
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

bool RegisterServer(const QString& path, bool bRegister)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;

    // A program registers itself when started with the switch; we do not wait.
    // Whether it could be started is not looked at either: it counts as
    // registered.
    if (IsProgram(path)) {
        QProcess::startDetached(path, {bRegister ? QStringLiteral("/REGSERVER") : QStringLiteral("/UNREGSERVER")});
        return true;
    }

    // The library stays loaded: the program creates its controls from it
    // right after, and unloading a library a control may still run is unsafe.
    auto library = std::make_unique<QLibrary>(path);
    if (!library->load())
        return false;
    const char* entryName = bRegister ? "DllRegisterServer" : "DllUnRegisterServer";
    auto entry = reinterpret_cast<RegisterEntry>(library->resolve(entryName));
    if (!entry)
        return false;

    // The entry runs on a worker so that a hanging registration cannot hold
    // the GUI thread past the limit. A thread cannot be ended safely from
    // outside, so on a time-out the worker is left to finish on its own and
    // its library stays loaded; the registration counts as failed.
    auto task = std::make_shared<std::packaged_task<long()>>(entry);
    std::future<long> done = task->get_future();
    std::thread worker;
    try {
        auto work = [task] { (*task)(); };
        worker = g_workerStarter ? g_workerStarter(work) : StartOnThisProcessor(work);
    } catch (const std::system_error&) {
        return false; // no worker: not registered, and the program goes on
    }
    if (done.wait_for(std::chrono::milliseconds(g_timeLimitMs)) == std::future_status::ready) {
        worker.join();
        // The entry's own result is not examined: it ended in time.
        return true;
    }
    // The worker still runs the library's code.
    worker.detach();
    return false;
}
