#pragma once

// The simulated manual handler's test hook, for tests (not a member of the
// control, so the station cannot reach it): raises any of the handler's
// events on its host with the given arguments and returns them as the host
// handed them back. The library's C entry point TarvoManualHdlRaiseEvent,
// found in the library registered for the handler's class.

#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"

#include <QLibrary>
#include <stdexcept>

namespace manualhdltest {

using RaiseEntry = bool (*)(IDispatchControl*, const QString*, QVariantList*);

// Throws std::runtime_error when the control is not the stand-in or the name
// is not one of its events.
inline QVariantList RaiseEvent(IDispatchControl& handler, const QString& eventName, QVariantList args = {})
{
    QLibrary library(companion::RegisteredLibrary(QString::fromLatin1(ManualHdlControl::ClassName)));
    const auto raise = reinterpret_cast<RaiseEntry>(library.resolve("TarvoManualHdlRaiseEvent"));
    if (!raise || !raise(&handler, &eventName, &args))
        throw std::runtime_error("the manual handler cannot raise " + eventName.toStdString());
    return args;
}

} // namespace manualhdltest
