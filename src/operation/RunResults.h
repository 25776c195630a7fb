#pragma once

// The results a run hands back (ExecuteOperation, the Action button, the
// automation clients' NotifyJobComplete) when it did not end with the
// engine's own result. The engine's results are 0 (success) and positive
// failure results; the station's own are negative, so that the two never
// meet.

#include <QtGlobal>

namespace RunResult {
constexpr qint32 Success = 0;
// A run is going already: the request was ignored.
constexpr qint32 Busy = -1001;
// A concurrent programmer in sets mode with more than one set or bank.
constexpr qint32 SetModeRefused = -1002;
// No device is selected.
constexpr qint32 NoDeviceSelected = -1003;
// The custom action's selection could not be handed to the engine.
constexpr qint32 CustomActionFailed = -1004;
// The operator (or a client) stopped the run.
constexpr qint32 Stopped = -1005;
// An engine or handler call failed during the run.
constexpr qint32 CallFailed = -1006;
// This way of running is not available on the station yet.
constexpr qint32 NotAvailable = -1007;
// The program row's variant is not one the device offers (or none is
// selected): nothing ran.
constexpr qint32 VariantOutOfRange = -1008;
// A concurrent session was asked for with an automatic handler: that handler
// runs its own sessions, so nothing ran.
constexpr qint32 NotManualHandler = -1009;
} // namespace RunResult
