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

    // The automatic handler, MYH950HDLRLib.QXH950Handler.
    {"MYH950HDLRLib.QXH950Handler", "SessionOperationBegan", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerStatusText11", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerQuantityChanged", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent16", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent17", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "InitLabelPrintRequest", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent19", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent20", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "OpenLabelFileRequest", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent22", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerAbortCommand", Event, "behaviour pending: Stop from the handler"},
    {"MYH950HDLRLib.QXH950Handler", "RequestPinCount", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "LoadSealbookAutoFileRequest", Event, "behaviour pending: auto-file load"},
    {"MYH950HDLRLib.QXH950Handler", "RequestFlag26", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerEvent27", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerSerialNumberReport", Event, "behaviour pending: its serial number"},
    {"MYH950HDLRLib.QXH950Handler", "RequestActionRepeatable", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "AskJobId", Event, "behaviour pending: the job-ID prompt"},
    {"MYH950HDLRLib.QXH950Handler", "StartPowerSupplyLog", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "RequestEngineDirectory", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "RequestLabelPrinterDirectory", Event, "behaviour pending: label printing"},
    {"MYH950HDLRLib.QXH950Handler", "ReadSealbookLongRequest", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "ReadSealbookStringRequest", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "EnableOperationsRequest", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "RequestFlag43", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "EnableHandlerButton", Event, "behaviour pending: handler session"},
    {"MYH950HDLRLib.QXH950Handler", "HandlerMessage46", Event, "behaviour pending: auto-file save"},

    // The concurrent manual handler, MANUALHDLLib.ManualHdl.
    {"MANUALHDLLib.ManualHdl", "MasterSiteRequest", Event, "behaviour pending: the master site's box"},
};

} // namespace simulation
