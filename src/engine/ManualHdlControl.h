#pragma once

// The concurrent manual-handler control ConcurrentManualHandler, reached by
// dispatch number through typed members.
// The rows are in engine/ManualHdlMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL ManualHdl
#define TARVO_CONTROL_HOST ConcurrentManualHandler
#define TARVO_CONTROL_CLASS_NAME "MANUALHDLLib.ManualHdl"
#define TARVO_CONTROL_MEMBERS "engine/ManualHdlMembers.def"
#include "engine/ControlBinding.h"
