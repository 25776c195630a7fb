// The plug-in's entry points: registration and creation of its class.

#include "DataPaneStandIn.h"

#include "engine/DataPaneControl.h"
#include "platform/Companion.h"

TARVO_COMPANION_CLASS(DataPaneControl, DataPaneStandIn)
