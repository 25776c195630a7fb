#pragma once

// What the engine's fault plan asks of the simulated manual handler: its
// entries "manual.*", read from the same places as the engine's (variable
// TARVO_ENGINE_FAULTS, "faultplan.ini" in the engine's folder, section
// [Faults]; the variable wins). Read afresh at each session.
//
//   manual.sites=N      the handler's sockets (default: the engine's sites
//                       of the programmer model it last saved, else 1)
//   manual.empty=S:S    sockets the operator never fills (1-based)
//   manual.abort=N      the operator presses the handler's abort when the
//                       session's N-th device is to be placed (event
//                       AbortSession; the session ends)
//   manual.result=CODE  the session ends with CODE once its devices ran
//                       (a failure of the handler itself)
//   manual.delay=MS     placing a device takes MS (default 0)
//
// Numbers are decimal or "0x" hexadecimal; an entry that cannot be read plans
// nothing and is written to stderr once per session.

#include <QSet>
#include <QString>

struct ManualHdlPlan
{
    int sites = 1;
    QSet<int> empty;
    int abortAt = 0; // 0: none
    qint32 result = 0;
    int delayMs = 0;

    static ManualHdlPlan Read();
};
