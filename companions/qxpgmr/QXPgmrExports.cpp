// The plug-in's entry points: registration and creation of the engine class.

#include "QXPgmrStandIn.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"

TARVO_COMPANION_CLASS(QXPgmrControl, QXPgmrStandIn)
