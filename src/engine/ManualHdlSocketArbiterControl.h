#pragma once

// The socket automation arbiter of the manual-handler control (the object read
// from its ThreadCommUtil), through typed members.
// The rows are in engine/ManualHdlSocketArbiterMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>

// The dispatch number of each property and method, by name.
namespace ManualHdlSocketArbiterId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/ManualHdlSocketArbiterMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace ManualHdlSocketArbiterId

class ManualHdlSocketArbiterControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "MANUALHDLLib.SocketAutomationArbiter";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/ManualHdlSocketArbiterMembers.def"
#include "engine/MemberMacrosEnd.h"
};
