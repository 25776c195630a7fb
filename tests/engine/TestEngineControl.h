#pragma once

// An engine control in the test's own process, built on the engine's member
// table like the stand-in, with a few members scripted by the test.

#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"

class TestEngineControl : public DispatchObject
{
public:
    TestEngineControl() : DispatchObject(QStringLiteral("QXPGMRLib.QXPgmr"), QXPgmrControl::Members()) {}

    using DispatchObject::Fail;
    using DispatchObject::On;
    using DispatchObject::Raise;
    using DispatchObject::ShareValue;
    using DispatchObject::Store;
    using DispatchObject::Stored;
};
