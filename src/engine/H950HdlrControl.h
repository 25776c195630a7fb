#pragma once

// The automatic-handler control QXH950AutoHandler, reached by dispatch number
// through typed members.
// The rows are in engine/H950HdlrMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL H950Hdlr
#define TARVO_CONTROL_HOST QXH950AutoHandler
#define TARVO_CONTROL_CLASS_NAME "MYH950HDLRLib.QXH950Handler"
#define TARVO_CONTROL_MEMBERS "engine/H950HdlrMembers.def"
#include "engine/ControlBinding.h"
