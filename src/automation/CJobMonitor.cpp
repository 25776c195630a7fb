#include "CJobMonitor.h"

#include "AutomationHost.h"
#include "CJobMonitorImpl.h"
#include "platform/AutomationError.h"

CJobMonitor::CJobMonitor(QObject* parent)
    : AutomationObject(parent)
{
    CJobMonitorImpl& impl = CJobMonitorImpl::Instance();
    impl.Attach(this);
    // Every live monitor watches: one made later does not silence another.
    connect(&impl, &CJobMonitorImpl::SocketActive, this, &CJobMonitor::NotifySocketActive);
    connect(&impl, &CJobMonitorImpl::SocketPassed, this, &CJobMonitor::NotifySocketPassed);
    connect(&impl, &CJobMonitorImpl::SocketFailed, this, &CJobMonitor::NotifySocketFailed);
    connect(&impl, &CJobMonitorImpl::NotifyJobComplete, this, &CJobMonitor::NotifyJobComplete);
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
