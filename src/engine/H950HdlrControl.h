#pragma once

// The automatic-handler control QXH950AutoHandler, reached by dispatch number
// through typed members.
// The rows are in engine/H950HdlrMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>

// The dispatch number of each property and method, by name.
namespace H950HdlrId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/H950HdlrMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace H950HdlrId

class H950HdlrControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "MYH950HDLRLib.QXH950Handler";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/H950HdlrMembers.def"
#include "engine/MemberMacrosEnd.h"
};
