#include "engine/ManualHdlSocketArbiterControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/ManualHdlSocketArbiterMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable ManualHdlSocketArbiterControl::Members()
{
    return kMembers;
}

const QStringList& ManualHdlSocketArbiterControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
