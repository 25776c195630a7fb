#pragma once

// What the engine's fault plan asks of the simulated automatic handler: its
// entries "auto.*", read from the same places as the engine's (variable
// TARVO_ENGINE_FAULTS, "faultplan.ini" in the engine's folder, section
// [Faults]; the variable wins). Read afresh at each StartSession.
//
//   auto.sites=N      the handler's sockets (default: the engine's sites of
//                     the programmer model it last saved, else 1)
//   auto.empty=S:S    sockets the handler never fills (1-based)
//   auto.jam=N        the handler jams before its N-th device: the session
//                     ends with JobComplete(jam result) and SessionStopped
//   auto.result=CODE  JobComplete reports CODE when the session ran its
//                     quantity
//   auto.speed=MS     the time of each timer step (default 100; 0 in tests
//                     and benches: the steps follow each other as soon as the
//                     host's loop runs)
//
// Numbers are decimal or "0x" hexadecimal; an entry that cannot be read plans
// nothing and is written to stderr.

#include <QSet>
#include <QString>

struct H950HdlrPlan
{
    static constexpr int kDefaultStepMs = 100;

    int sites = 1;
    QSet<int> empty;
    int jamAt = 0; // 0: none
    qint32 result = 0;
    int stepMs = kDefaultStepMs;

    static H950HdlrPlan Read();
};
