// The plug-in's entry points: registration and creation of its class.

#include "BayCtrlStandIn.h"

#include "engine/SiteBoxControl.h"
#include "platform/Companion.h"

TARVO_COMPANION_CLASS(SiteBoxControl, BayCtrlStandIn)
