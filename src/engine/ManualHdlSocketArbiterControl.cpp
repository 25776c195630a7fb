#include "engine/ManualHdlSocketArbiterControl.h"

#define TARVO_CONTROL ManualHdlSocketArbiter
#define TARVO_CONTROL_HOST SocketAutomationArbiter
#define TARVO_CONTROL_MEMBERS "engine/ManualHdlSocketArbiterMembers.def"
#include "engine/ControlBindingTables.h"
