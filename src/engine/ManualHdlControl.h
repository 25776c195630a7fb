#pragma once

// The concurrent manual-handler control ConcurrentManualHandler, reached by
// dispatch number through typed members.
// The rows are in engine/ManualHdlMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>

// The dispatch number of each property and method, by name.
namespace ManualHdlId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/ManualHdlMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace ManualHdlId

class ManualHdlControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "MANUALHDLLib.ManualHdl";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/ManualHdlMembers.def"
#include "engine/MemberMacrosEnd.h"
};
