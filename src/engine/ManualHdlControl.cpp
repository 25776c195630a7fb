#include "engine/ManualHdlControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/ManualHdlMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable ManualHdlControl::Members()
{
    return kMembers;
}

const QStringList& ManualHdlControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
