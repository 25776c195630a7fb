#pragma once

// The simulated automatic handler's test hook, for tests (not a member of the
// control, so the station cannot reach it): raises any of the handler's
// events on its host with the given arguments and returns them as the host
// handed them back. The library's C entry point TarvoH950HdlrRaiseEvent,
// found in the library registered for the handler's class.

#include "engine/H950HdlrControl.h"
#include "platform/Companion.h"

#include <QLibrary>
#include <stdexcept>

namespace h950hdlrtest {

using RaiseEntry = bool (*)(IDispatchControl*, const QString*, QVariantList*);

// Throws std::runtime_error when the control is not the stand-in or the name
// is not one of its events.
inline QVariantList RaiseEvent(IDispatchControl& handler, const QString& eventName, QVariantList args = {})
{
    QLibrary library(companion::RegisteredLibrary(QString::fromLatin1(H950HdlrControl::ClassName)));
    const auto raise = reinterpret_cast<RaiseEntry>(library.resolve("TarvoH950HdlrRaiseEvent"));
    if (!raise || !raise(&handler, &eventName, &args))
        throw std::runtime_error("the automatic handler cannot raise " + eventName.toStdString());
    return args;
}

} // namespace h950hdlrtest
