#pragma once

// The engine control QXProgrammer, reached by dispatch number through typed
// members: QXProgrammer.SilentMode() reads dispatch number 320,
// QXProgrammer.SilentMode(true) writes it.
// The rows are in engine/QXPgmrMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#include "engine/ControlAccessor.h"

#include <QStringList>
#include <utility>

// The dispatch number of each property and method, by name.
namespace QXPgmrId {
#include "engine/MemberIdMacros.h"
enum : int {
#include "engine/QXPgmrMembers.def"
};
#include "engine/MemberMacrosEnd.h"
} // namespace QXPgmrId

// The device settings the job configuration reaches by name, each with the
// numbered property it names again (one value behind both).
inline constexpr std::pair<int, int> QXPgmrNamedSettings[] = {
    {QXPgmrId::DeviceByteOrder, QXPgmrId::ByteOrder},
    {QXPgmrId::DeviceDataSetWidth, QXPgmrId::SetWidth},
    {QXPgmrId::DeviceDataSetLength, QXPgmrId::BankCount},
    {QXPgmrId::DeviceSetMode, QXPgmrId::SetMode},
    {QXPgmrId::DeviceVectorDisplay, QXPgmrId::VectorDisplayMode},
    {QXPgmrId::DeviceVectorXState, QXPgmrId::VectorXValue},
    {QXPgmrId::DeviceVectorSeed, QXPgmrId::VectorSeed},
};

class QXPgmrControl : public ControlAccessor
{
public:
    static constexpr const char* ClassName = "QXPGMRLib.QXPgmr";
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include "engine/QXPgmrMembers.def"
#include "engine/MemberMacrosEnd.h"
};
