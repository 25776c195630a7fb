#include "engine/ManualHdlDeviceArbiterControl.h"

#define TARVO_CONTROL ManualHdlDeviceArbiter
#define TARVO_CONTROL_HOST DeviceAutomationArbiter
#define TARVO_CONTROL_MEMBERS "engine/ManualHdlDeviceArbiterMembers.def"
#include "engine/ControlBindingTables.h"
