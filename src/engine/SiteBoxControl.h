#pragma once

// One site box of the operation window (the site control), reached by
// dispatch number through typed members. It shows itself in its Widget().
// The rows are in engine/BayCtrlMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL SiteBox
#define TARVO_CONTROL_HOST SiteBox
#define TARVO_CONTROL_CLASS_NAME "BAYCTRLLib.SiteBox"
#define TARVO_CONTROL_MEMBERS "engine/BayCtrlMembers.def"
#include "engine/ControlBinding.h"
