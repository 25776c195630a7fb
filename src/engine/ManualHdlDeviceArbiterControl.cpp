#include "engine/ManualHdlDeviceArbiterControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/ManualHdlDeviceArbiterMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable ManualHdlDeviceArbiterControl::Members()
{
    return kMembers;
}

const QStringList& ManualHdlDeviceArbiterControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
