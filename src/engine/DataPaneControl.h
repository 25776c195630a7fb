#pragma once

// The buffer viewer control vwBufViewer, reached by dispatch number through
// typed members. It shows itself in its Widget().
// The rows are in engine/DataPaneMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL DataPane
#define TARVO_CONTROL_HOST vwBufViewer
#define TARVO_CONTROL_CLASS_NAME "DATAPANELib.DataPane"
#define TARVO_CONTROL_MEMBERS "engine/DataPaneMembers.def"
#include "engine/ControlBinding.h"
