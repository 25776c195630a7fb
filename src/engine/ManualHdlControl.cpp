#include "engine/ManualHdlControl.h"

#define TARVO_CONTROL ManualHdl
#define TARVO_CONTROL_HOST ConcurrentManualHandler
#define TARVO_CONTROL_MEMBERS "engine/ManualHdlMembers.def"
#include "engine/ControlBindingTables.h"
