#include "engine/SiteBoxControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/BayCtrlMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable SiteBoxControl::Members()
{
    return kMembers;
}

const QStringList& SiteBoxControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
