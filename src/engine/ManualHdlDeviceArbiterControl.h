#pragma once

// The device automation arbiter of the manual-handler control (the object its
// event SetDeviceAutomationArbiter hands over), through typed members.
// The rows are in engine/ManualHdlDeviceArbiterMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>

// The dispatch number of each property and method, by name.
namespace ManualHdlDeviceArbiterId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/ManualHdlDeviceArbiterMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace ManualHdlDeviceArbiterId

class ManualHdlDeviceArbiterControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "MANUALHDLLib.DeviceAutomationArbiter";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/ManualHdlDeviceArbiterMembers.def"
#include "engine/MemberMacrosEnd.h"
};
