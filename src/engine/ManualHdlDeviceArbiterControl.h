#pragma once

// The device automation arbiter of the manual-handler control (the object its
// event SetDeviceAutomationArbiter hands over), through typed members.
// The rows are in engine/ManualHdlDeviceArbiterMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL ManualHdlDeviceArbiter
#define TARVO_CONTROL_HOST DeviceAutomationArbiter
#define TARVO_CONTROL_CLASS_NAME "MANUALHDLLib.DeviceAutomationArbiter"
#define TARVO_CONTROL_MEMBERS "engine/ManualHdlDeviceArbiterMembers.def"
#include "engine/ControlBinding.h"
