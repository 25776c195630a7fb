#pragma once

// The simulated automatic handler, class "MYH950HDLRLib.QXH950Handler". For
// now every member is a stored property; sessions come with the handler runs.

// The values the job summary reads can be set from outside, so a trial or a
// test sees a report of its choosing: environment variable TARVO_H950_VALUES, entries
// "Member=value" or "Member(index)=value" separated by ";", members by their
// names in the handler's table, e.g.
//   TARVO_H950_VALUES="HandlerValue3=98;HandlerValue4=2;BinLabelAt(0)=Reject"
// "true" and "false" are Booleans, whole numbers are numbers, anything else text.

#include "engine/H950HdlrControl.h"
#include "platform/DispatchObject.h"

class H950HdlrStandIn : public DispatchObject
{
public:
    H950HdlrStandIn();

private:
    void ApplyReportValues();

    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    H950HdlrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
};
