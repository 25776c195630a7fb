#pragma once

// Calls into an outside control whose failure is passed over: the windows
// and the job configuration run groups of engine calls one statement at a
// time, so that one refused property does not leave the rest undone.

#include "platform/AutomationError.h"

namespace enginecall {

// Runs f; True when it did not fail with an automation error.
template <class F>
bool Try(F&& f)
{
    try {
        f();
        return true;
    } catch (const AutomationError&) {
        return false;
    }
}

// The answer of f, or the fallback when it fails with an automation error.
template <class T, class F>
T Ask(F&& f, T fallback)
{
    try {
        return T(f());
    } catch (const AutomationError&) {
        return fallback;
    }
}

} // namespace enginecall
