// The plug-in's entry points: registration and creation of its class.

#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"
#include "platform/Companion.h"

TARVO_COMPANION_CLASS(H950HdlrControl, H950HdlrStandIn)
