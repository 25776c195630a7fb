// The plug-in's entry points: registration and creation of its class.

#include "ManualHdlStandIn.h"

#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"

TARVO_COMPANION_CLASS(ManualHdlControl, ManualHdlStandIn)
