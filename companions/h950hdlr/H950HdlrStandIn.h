#pragma once

// The simulated automatic handler, class "MYH950HDLRLib.QXH950Handler". For
// now every member is a stored property; sessions come with the handler runs.

#include "engine/H950HdlrControl.h"
#include "platform/DispatchObject.h"

class H950HdlrStandIn : public DispatchObject
{
public:
    H950HdlrStandIn();

private:
    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    H950HdlrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
};
