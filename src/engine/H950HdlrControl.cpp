#include "engine/H950HdlrControl.h"

#define TARVO_CONTROL H950Hdlr
#define TARVO_CONTROL_HOST QXH950AutoHandler
#define TARVO_CONTROL_MEMBERS "engine/H950HdlrMembers.def"
#include "engine/ControlBindingTables.h"
