#pragma once

// The simulated concurrent manual handler, class "MANUALHDLLib.ManualHdl".
// Members without behaviour of their own are stored properties.

// The values the job summary reads can be set from outside, so a trial or a
// test sees a report of its choosing: environment variable TARVO_MANUALHDL_VALUES, entries
// "Member=value" or "Member(index)=value" separated by ";", members by their
// names in the handler's table, e.g.
//   TARVO_MANUALHDL_VALUES="SessionValue1004=1200"
// "true" and "false" are Booleans, whole numbers are numbers, anything else text.

#include "engine/ManualHdlControl.h"
#include "platform/DispatchObject.h"

class ManualHdlStandIn : public DispatchObject
{
public:
    ManualHdlStandIn();

private:
    void ApplyReportValues();

    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    ManualHdlEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
    qint64 m_hostWindowHandle = 0;
};
