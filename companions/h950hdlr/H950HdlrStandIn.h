#pragma once

// The simulated automatic handler, class "MYH950HDLRLib.QXH950Handler". For
// now every member is a stored property; sessions come with the handler runs.

#include "platform/DispatchObject.h"

class H950HdlrStandIn : public DispatchObject
{
public:
    H950HdlrStandIn();
};
