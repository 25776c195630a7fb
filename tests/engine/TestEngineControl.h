#pragma once

// An engine control in the test's own process, built on the engine's member
// table like the stand-in, with a few members scripted by the test. Unless
// made bare, it answers every member as a test fake (properties stored,
// methods their type's default until the test scripts them) and raises any
// of its events, typed (RaiseEvent.RequestQuantity(value)) or by name
// (Raise). A bare one answers only what the test declares.

#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"

class TestEngineControl : public DispatchObject
{
public:
    enum Answers { Everything, OnlyDeclared };

    explicit TestEngineControl(Answers answers = Everything)
        : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members())
    {
        if (answers == Everything)
            AnswerUndeclaredAsFake();
    }

    using DispatchObject::Fail;
    using DispatchObject::NotSimulated;
    using DispatchObject::On;
    using DispatchObject::Raise;
    using DispatchObject::Raises;
    using DispatchObject::ShareValue;
    using DispatchObject::Store;
    using DispatchObject::Stored;
    using DispatchObject::Stores;
    using DispatchObject::Takes;

    QXPgmrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
};
