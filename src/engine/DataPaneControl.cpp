#include "engine/DataPaneControl.h"

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo kMembers[] = {
#include "engine/DataPaneMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable DataPaneControl::Members()
{
    return kMembers;
}

const QStringList& DataPaneControl::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}
