#include "engine/H950HdlrControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/H950HdlrMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable H950HdlrControl::Members()
{
    return kMembers;
}

const QStringList& H950HdlrControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
