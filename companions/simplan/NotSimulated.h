#pragma once

// What the simulated controls leave out, in one list: each member a stand-in
// answers only with its default (with a warning the first time), and each
// event it never raises, with the reason. Everything else in the control
// tables a stand-in declares beside its behaviour (a handler, a stored
// property, a put taken, an event raised); the declaration test
// (tests/companions/StandInDeclarationTest.cpp) fails for a row nobody
// declared. Keep this list short: an entry is right only when nothing a
// user sees depends on the member or event in the simulation.

#include "platform/DispatchObject.h"

namespace simulation {

using Row = DispatchObject::NotSimulatedRow;
constexpr bool Member = false;
constexpr bool Event = true;

inline constexpr Row kNotSimulated[] = {
    // The engine, QXPGMRLib.QXPgmr: events whose handler only hands the
    // station's own state back to the engine, or that the simulated engine
    // has no state of its own to raise from.
    {"QXPGMRLib.QXPgmr", "WordRange22", Event,
     "the handler writes the low end back into the engine's own WordRangeLow, which the engine holds already"},
    {"QXPGMRLib.QXPgmr", "WordRange23", Event,
     "the handler writes the high end back into the engine's own WordRangeHigh, which the engine holds already"},
    {"QXPGMRLib.QXPgmr", "UpdateCaption31", Event,
     "the caption shows the model and port, which change only when the station sets them and then redraws it"},
    {"QXPGMRLib.QXPgmr", "UpdateCaption58", Event,
     "the engine's job ends only through the station (a device it selects, a job load that fails part-way), "
     "and the station clears the job's name itself then"},
    {"QXPGMRLib.QXPgmr", "EnableStatusMessages", Event,
     "status lines are the station's to switch (EnablePgmrStatusMessage); the engine has no reason of its own to "
     "silence them"},
    {"QXPGMRLib.QXPgmr", "OperationOptionsChanged", Event,
     "the engine never loses the options the window commits: no state of its own asks for them again"},
    {"QXPGMRLib.QXPgmr", "DeviceConfigureOptionsChanged", Event,
     "the bank, data position, radix and clear mode change in the engine only by the station's puts and by the "
     "events that report them (UpdateJobSetting20, 33, 55, 56)"},
    {"QXPGMRLib.QXPgmr", "RequestValue40", Event, "the station answers 0 whatever is asked: nothing to act on"},
    {"QXPGMRLib.QXPgmr", "LoadJobFileRequest", Event,
     "the engine keeps no jobs of its own to ask for: jobs come from the station (Load Job, its command line, "
     "automation)"},
    {"QXPGMRLib.QXPgmr", "SetQuantity", Event,
     "the quantity is the station's (its box and its rule); nothing the engine holds carries one"},
    {"QXPGMRLib.QXPgmr", "RequestSetDefaultConfigure", Event,
     "the station falls back to its default configuration itself where its steps need it (a failed STAPL load, "
     "a model change); no state of the engine's needs it"},

    // The engine's members that answer their default: nothing in the
    // simulation has the state they report.
    {"QXPGMRLib.QXPgmr", "SealbookErrorCode", Member,
     "the simulated engine's Sealbook loads fail whole (a damaged file, a wrong password, a failed integrity "
     "value: JobLoadFailed and SealbookLoadingError tell them); it has no partial error whose code would explain a "
     "stored checksum that differs, so it answers 0"},
    {"QXPGMRLib.QXPgmr", "JobValue325", Member,
     "the simulated engine keeps no tie between the format of the data it loaded and a device's algorithm: any "
     "device programs whatever the buffer holds and a job saves it, so it answers False"},

    // The automatic handler, MYH950HDLRLib.QXH950Handler. The simulated
    // handler has no panel of its own: its sessions start only from the
    // station's StartSession, and what its operator would do on the panel is
    // planned (the fault plan's auto.* entries) or left out here.
    {"MYH950HDLRLib.QXH950Handler", "HandlerValue15", Member,
     "a value of the real handler's own that the engine only copies into its run report (\"handler value 15\"); "
     "nothing the simulated handler does gives it a meaning, so it answers False"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent27", Event,
     "Load Job on the handler's panel: the station's own Load Job is the same command"},
    {"MYH950HDLRLib.QXH950Handler", "EnableOperationsRequest", Event,
     "SessionStarted and SessionStopped already lock and free the station's operations"},
    {"MYH950HDLRLib.QXH950Handler", "EnableHandlerButton", Event,
     "SessionStarted and SessionStopped already set the station's Stop button"},
};

} // namespace simulation
