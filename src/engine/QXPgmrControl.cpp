#include "engine/QXPgmrControl.h"

#define TARVO_CONTROL QXPgmr
#define TARVO_CONTROL_HOST QXProgrammer
#define TARVO_CONTROL_MEMBERS "engine/QXPgmrMembers.def"
#include "engine/ControlBindingTables.h"
