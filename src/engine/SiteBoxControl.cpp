#include "engine/SiteBoxControl.h"

#define TARVO_CONTROL SiteBox
#define TARVO_CONTROL_HOST SiteBox
#define TARVO_CONTROL_MEMBERS "engine/BayCtrlMembers.def"
#include "engine/ControlBindingTables.h"
