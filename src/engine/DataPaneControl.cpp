#include "engine/DataPaneControl.h"

#define TARVO_CONTROL DataPane
#define TARVO_CONTROL_HOST vwBufViewer
#define TARVO_CONTROL_MEMBERS "engine/DataPaneMembers.def"
#include "engine/ControlBindingTables.h"
