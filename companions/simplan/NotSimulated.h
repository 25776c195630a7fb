#pragma once

// What the simulated controls leave out, in one list: each member a stand-in
// answers only with its default (with a warning the first time), and each
// event it never raises, with the reason. Everything else in the control
// tables a stand-in declares beside its behaviour (a handler, a stored
// property, a put taken, an event raised); the declaration test
// (tests/companions/StandInDeclarationTest.cpp) fails for a row nobody
// declared. Keep this list short: an entry is right only when nothing a
// user sees depends on the member or event in the simulation.
//
// "behaviour pending" marks what is still to be built; it is no reason to
// stay here.

#include "platform/DispatchObject.h"

namespace simulation {

using Row = DispatchObject::NotSimulatedRow;
constexpr bool Member = false;
constexpr bool Event = true;

inline constexpr Row kNotSimulated[] = {
    // The engine, QXPGMRLib.QXPgmr.
    {"QXPGMRLib.QXPgmr", "LoadFileFlag147", Member, "behaviour pending: a loaded file's secure variant"},
    {"QXPGMRLib.QXPgmr", "SiteInfo", Event, "behaviour pending: site information during a run"},
    {"QXPGMRLib.QXPgmr", "ReloadForm", Event, "behaviour pending: a configuration change"},
    {"QXPGMRLib.QXPgmr", "DeviceConfigurationChanged", Event, "behaviour pending: a configuration change"},
    {"QXPGMRLib.QXPgmr", "RequestHandlerValue15", Event, "behaviour pending: run requests"},
    {"QXPGMRLib.QXPgmr", "RequestHandlerValue3", Event, "behaviour pending: run requests"},
    {"QXPGMRLib.QXPgmr", "RequestHandlerValue4", Event, "behaviour pending: run requests"},
    {"QXPGMRLib.QXPgmr", "RequestHandlerValue2", Event, "behaviour pending: run requests"},
    {"QXPGMRLib.QXPgmr", "RequestHandlerValue1", Event, "behaviour pending: run requests"},
    {"QXPGMRLib.QXPgmr", "RequestHandlerQuantity", Event, "behaviour pending: run requests"},
    {"QXPGMRLib.QXPgmr", "ResetButtons", Event, "behaviour pending: a run's start and end"},
    {"QXPGMRLib.QXPgmr", "WordRange22", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "WordRange23", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "UpdateCaption31", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "RequestQuantity", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "EnableStatusMessages", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "OperationOptionsChanged", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "RequestValue40", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "DeviceConfigureOptionsChanged", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "OperationOptionStateChanged", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "UpdateJobSetting55", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "UpdateJobSetting56", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "UpdateCaption58", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "LoadJobFileRequest", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "SetQuantity", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "RequestSetDefaultConfigure", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "PgmrWarningMessagesEnabled", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "RefreshGuiSecure", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "GetLaserMarkerLines", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "CJobCntrlInUse", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "CQxPgmrInUse", Event, "behaviour pending"},
    {"QXPGMRLib.QXPgmr", "CJobMonitorInUse", Event, "behaviour pending"},

    // The automatic handler, MYH950HDLRLib.QXH950Handler. The simulated
    // handler has no panel of its own: its sessions start only from the
    // station's StartSession, and what its operator would do on the panel is
    // planned (the fault plan's auto.* entries) or left out here.
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent27", Event,
     "Load Job on the handler's panel: the station's own Load Job is the same command"},
    {"MYH950HDLRLib.QXH950Handler", "EnableOperationsRequest", Event,
     "SessionStarted and SessionStopped already lock and free the station's operations"},
    {"MYH950HDLRLib.QXH950Handler", "EnableHandlerButton", Event,
     "SessionStarted and SessionStopped already set the station's Stop button"},
    {"MYH950HDLRLib.QXH950Handler", "ReadSealbookLongRequest", Event,
     "the handler reads its part of an auto file with ReadSealbookValueRequest"},
    {"MYH950HDLRLib.QXH950Handler", "ReadSealbookStringRequest", Event,
     "the handler reads its part of an auto file with ReadSealbookValueRequest"},
};

} // namespace simulation
