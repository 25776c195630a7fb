#pragma once

// One site box of the operation window (the site control), reached by
// dispatch number through typed members. It shows itself in its Widget().
// The rows are in engine/BayCtrlMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>

// The dispatch number of each property and method, by name.
namespace SiteBoxId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/BayCtrlMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace SiteBoxId

class SiteBoxControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "BAYCTRLLib.SiteBox";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/BayCtrlMembers.def"
#include "engine/MemberMacrosEnd.h"
};
