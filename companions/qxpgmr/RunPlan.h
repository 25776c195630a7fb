#pragma once

// What the fault plan (FaultPlan.h) asks of the simulated engine's runs:
// failing devices and sites, an engine error, a failing call, the speed and
// the start key. Read from the plan's entries when the algorithm database
// loads and at each BeginOperation (once a run, never per device).
//
// Entries (keys in any letter case; codes decimal or "0x" hexadecimal):
//   device.N=CODE          the N-th device of the run fails with CODE after
//                          its last step (N counts devices from 1 since the
//                          last BeginOperation, over all sites)
//   device.N=CODE@STEP     ... fails with CODE in the middle of STEP
//   device.N=@STEP         ... fails in STEP with that step's own code
//   site.N=CODE|CODE@STEP|@STEP
//                          every device on site N fails so
//                          STEP is one of continuity, id, erase, blank,
//                          illegalbit, program, verify, test, secure, read,
//                          custom (RunSteps.h); a step the run does not
//                          have plans nothing for that device
//   engineerror=N          the N-th device ends in an engine error: a
//                          SysInfoMessage and the result 201, which ends a
//                          loop (IsStopResult)
//   callfail=MEMBER        every call of MEMBER fails with an automation
//   callfail=MEMBER:N      error, or only its N-th call since the last
//                          BeginOperation; MEMBER is ExecuteDeviceCommand,
//                          RunOperation, RunCustomAction, RepeatSiteCommand,
//                          MarkSiteReady or MarkSiteFinished
//   delay=MS               each step takes MS milliseconds (default 200, so
//                          a device takes about a second); delay=0 is the
//                          zero-delay mode of tests and benches
//   delay.device=MS        each device takes MS more
//   delay.site.N=MS        each device on site N takes MS more
//   start=MS               the start key: ExecuteOperationRequest is raised
//   start=MS:COUNT         MS after the engine was initialised (or the
//                          station reported itself ready), once the
//                          station's main loop runs with no modal box open
//                          and no engine call going, and again MS after each
//                          requested job, COUNT jobs in all (1 unless
//                          given), so a station runs a job unattended
//   module=MS              the socket module is exchanged MS after the
//                          engine was initialised, once the station is idle
//                          as for the start key: the engine takes up the
//                          selected device afresh (its whole range, no
//                          buffer offset), says so in a status text and
//                          raises ReloadForm(device name), once a load
// The other entries are read where the engine uses them (FaultPlan) or by
// the handlers. An entry that cannot be read, or that no reader knows, plans
// nothing; the engine tells it once in a status line (no box: an unattended
// station must not stop on it).

#include "FaultPlan.h"
#include "RunSteps.h"

#include <QHash>
#include <QStringList>

struct PlannedFailure
{
    qint32 code = 0; // 0 with a step: the step's own code
    bool atStep = false;
    RunStep::Kind step = RunStep::Program;
};

struct RunPlan
{
    static constexpr int kDefaultStepDelayMs = 200;

    QHash<int, PlannedFailure> devices;
    QHash<int, PlannedFailure> sites;
    int engineErrorDevice = 0; // 0: none
    QString failingMember;     // "": none
    int failingCall = 0;       // 0: every call
    int stepDelayMs = kDefaultStepDelayMs;
    int deviceDelayMs = 0;
    QHash<int, int> siteDelayMs;
    int startKeyMs = -1; // -1: no start key
    int startKeyCount = 1;
    int moduleChangeMs = -1; // -1: the socket module stays

    // The run entries of a plan; each run entry that cannot be read goes to
    // unreadable, and each entry no reader of the plan knows
    // (simplan/PlanEntries.h) to unknown, as "key=value".
    static RunPlan From(const FaultPlan& plan, QStringList& unreadable, QStringList& unknown);
    // The members a callfail entry may name.
    static const QStringList& FailableMembers();
};
