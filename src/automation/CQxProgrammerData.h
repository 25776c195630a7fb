#pragma once

// The process-wide state behind the CQxProgrammer automation class: whether a
// client holds a CQxProgrammer object, the job it runs, the devices waiting
// in sockets, the deferred calls queued for the GUI thread and the site event
// relay. Created on first use; the operation window reports its run here.

#include "CFireEvent.h"

#include <QStringList>
#include <QVariant>
#include <functional>

class CQxProgrammerData
{
public:
    static CQxProgrammerData& Instance();

    // A client created (or released) a CQxProgrammer object.
    void AttachProgrammer();
    void ReleaseProgrammer();
    bool QxProgrammerInstantiated() const { return m_programmers > 0; }

    void SetRunningJob(bool running) { m_bRunningJob = running; }
    bool RunningJob() const { return m_bRunningJob; }

    // A second Stop: passed to the programmer object when one is set.
    void DoubleAbort();
    void SetDoubleAbortTarget(std::function<void()> target) { m_doubleAbort = std::move(target); }

    // Queues a deferred call, run later on the GUI thread as the Do... method
    // of that name; the message server takes the queue.
    void EnqueueMethod(const QString& name);
    QStringList TakeQueuedMethods();

    CFireEvent& FireEvent() { return m_oFireEvent; }

    // Devices waiting in sockets: up when a site is ready, down when it
    // becomes active. A site that turns active without having been ready
    // does not take the count below 0.
    void IncrementInserted() { ++m_lNumInserted; }
    void DecrementInserted()
    {
        if (m_lNumInserted > 0)
            --m_lNumInserted;
    }
    qint32 NumInserted() const { return m_lNumInserted; }
    void SetNumInserted(qint32 count) { m_lNumInserted = count; }

    // The session mode of the client's CQxProgrammer object, 0 without one.
    qint32 SessionMode() const { return QxProgrammerInstantiated() ? m_lSessionMode : 0; }
    void SetSessionMode(qint32 mode) { m_lSessionMode = mode; }

    // From the manual-handler control: the value for the automation layer's
    // thread-communication object (handed over when that object exists; kept
    // until then) and the device-automation arbiter.
    void SetThreadCommUtilPtr(qint32 value);
    qint32 ThreadCommUtilPtr() const { return m_lThreadCommUtilPtr; }
    void SetThreadCommTarget(std::function<void(qint32)> target);
    void SetDeviceAutomationArbiter(const QVariant& arbiter) { m_oDeviceAutomationArbiter = arbiter; }
    QVariant DeviceAutomationArbiter() const { return m_oDeviceAutomationArbiter; }

private:
    CQxProgrammerData() = default;

    qint32 m_programmers = 0;
    bool m_bRunningJob = false;
    qint32 m_lNumInserted = 0;
    qint32 m_lSessionMode = 1;
    QStringList m_queued;
    std::function<void()> m_doubleAbort;
    qint32 m_lThreadCommUtilPtr = 0;
    std::function<void(qint32)> m_threadComm;
    QVariant m_oDeviceAutomationArbiter;
    CFireEvent m_oFireEvent;
};
