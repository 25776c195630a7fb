#include "engine/QXPgmrControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/QXPgmrMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable QXPgmrControl::Members()
{
    return kMembers;
}

const QStringList& QXPgmrControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
