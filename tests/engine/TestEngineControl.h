#pragma once

// An engine control in the test's own process, built on the engine's member
// table like the stand-in, with a few members scripted by the test. It raises
// its events as a stand-in does, typed (RaiseEvent.RequestQuantity(value)) or
// by name (Raise).

#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"

class TestEngineControl : public DispatchObject
{
public:
    TestEngineControl() : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members()) {}

    using DispatchObject::Fail;
    using DispatchObject::On;
    using DispatchObject::Raise;
    using DispatchObject::ShareValue;
    using DispatchObject::Store;
    using DispatchObject::Stored;

    QXPgmrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
};
