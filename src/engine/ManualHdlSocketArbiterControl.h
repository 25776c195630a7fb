#pragma once

// The socket automation arbiter of the manual-handler control (the object read
// from its ThreadCommUtil), through typed members.
// The rows are in engine/ManualHdlSocketArbiterMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL ManualHdlSocketArbiter
#define TARVO_CONTROL_HOST SocketAutomationArbiter
#define TARVO_CONTROL_CLASS_NAME "MANUALHDLLib.SocketAutomationArbiter"
#define TARVO_CONTROL_MEMBERS "engine/ManualHdlSocketArbiterMembers.def"
#include "engine/ControlBinding.h"
