#pragma once

// The buffer viewer control vwBufViewer, reached by dispatch number through
// typed members. It shows itself in its Widget().
// The rows are in engine/DataPaneMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>

// The dispatch number of each property and method, by name.
namespace DataPaneId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/DataPaneMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace DataPaneId

class DataPaneControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "DATAPANELib.DataPane";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/DataPaneMembers.def"
#include "engine/MemberMacrosEnd.h"
};
