#pragma once

// The engine control QXProgrammer, reached by dispatch number through typed
// members: QXProgrammer.SilentMode() reads dispatch number 320,
// QXProgrammer.SilentMode(true) writes it.
// The rows are in engine/QXPgmrMembers.def; the stand-in control is built from the same
// table, so the numbers on both sides cannot drift apart.

#define TARVO_CONTROL QXPgmr
#define TARVO_CONTROL_HOST QXProgrammer
#define TARVO_CONTROL_CLASS_NAME "QXPGMRLib.QXPgmr"
#define TARVO_CONTROL_MEMBERS "engine/QXPgmrMembers.def"
#include "engine/ControlBinding.h"

#include <utility>

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
