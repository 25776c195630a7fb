#include "CJobMonitor.h"

#include "AutomationHost.h"
#include "CJobMonitorImpl.h"
#include "platform/AutomationError.h"

CJobMonitor::CJobMonitor(QObject* parent) : AutomationObject(parent)
{
    CJobMonitorImpl& impl = CJobMonitorImpl::Instance();
    impl.Attach(this);
    const auto current = [this] { return CJobMonitorImpl::Instance().Current() == this; };
    connect(&impl, &CJobMonitorImpl::SocketActive, this, [this, current](qint32 site, qint32 socket) {
        if (current())
            emit NotifySocketActive(site, socket);
    });
    connect(&impl, &CJobMonitorImpl::SocketPassed, this, [this, current](qint32 site, qint32 socket) {
        if (current())
            emit NotifySocketPassed(site, socket);
    });
    connect(&impl, &CJobMonitorImpl::SocketFailed, this, [this, current](qint32 site, qint32 socket, qint32 code) {
        if (current())
            emit NotifySocketFailed(site, socket, code);
    });
    connect(&impl, &CJobMonitorImpl::NotifyJobComplete, this, [this, current](qint32 result) {
        if (current())
            emit NotifyJobComplete(result);
    });
    // A monitor only watches: the engine is not told a GUI client is ready.
    AutomationHost* host = Host();
    m_started = host && host->EnsureMainWindow(true);
}

CJobMonitor::~CJobMonitor()
{
    CJobMonitorImpl::Instance().Release(this);
}

QString CJobMonitor::GetSystemInfo()
{
    BeginCall();
    try {
        if (AutomationHost* host = Host())
            return host->SystemInfo();
    } catch (const AutomationError& error) {
        Fail(automationerrors::ForAutomation(error));
    }
    return {};
}
