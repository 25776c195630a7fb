#pragma once

// The simulated concurrent manual handler, class "MANUALHDLLib.ManualHdl".
// Members without behaviour of their own are stored properties.

#include "engine/ManualHdlControl.h"
#include "platform/DispatchObject.h"

class ManualHdlStandIn : public DispatchObject
{
public:
    ManualHdlStandIn();

private:
    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    ManualHdlEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
    qint64 m_hostWindowHandle = 0;
};
