#pragma once

// The simulated engine's test hook, for tests and the bench (not a member of
// the control, so the station cannot reach it): raises any of the engine's
// events on the host that listens to it, with the given arguments, and
// returns them as the host handed them back.
//
//   QVariantList back = qxpgmrtest::RaiseEvent(*engine, "RequestQuantity", {qint32(0)});
//   back.at(0)  // the quantity the host answered
//
// The hook is the library's C entry point TarvoQXPgmrRaiseEvent, found in the
// library registered for the engine's class.

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"

#include <QLibrary>
#include <stdexcept>

namespace qxpgmrtest {

using RaiseEntry = bool (*)(IDispatchControl*, const QString*, QVariantList*);
constexpr const char* kRaiseEntry = "TarvoQXPgmrRaiseEvent";

// Throws std::runtime_error when the engine is not the stand-in or the name
// is not one of its events.
inline QVariantList RaiseEvent(IDispatchControl& engine, const QString& eventName, QVariantList args = {})
{
    QLibrary library(companion::RegisteredLibrary(QString::fromLatin1(QXPgmrControl::ClassName)));
    const auto raise = reinterpret_cast<RaiseEntry>(library.resolve(kRaiseEntry));
    if (!raise || !raise(&engine, &eventName, &args))
        throw std::runtime_error("the engine cannot raise " + eventName.toStdString());
    return args;
}

// The puts and calls the host made since the last take, one line each:
// "Name=value" for a put, "Name(a,b)" for a call (Booleans as -1 and 0).
using JournalEntry = bool (*)(IDispatchControl*, QStringList*);
constexpr const char* kJournalEntry = "TarvoQXPgmrTakeJournal";

inline QStringList TakeJournal(IDispatchControl& engine)
{
    QLibrary library(companion::RegisteredLibrary(QString::fromLatin1(QXPgmrControl::ClassName)));
    const auto take = reinterpret_cast<JournalEntry>(library.resolve(kJournalEntry));
    QStringList lines;
    if (!take || !take(&engine, &lines))
        throw std::runtime_error("the engine keeps no journal");
    return lines;
}

} // namespace qxpgmrtest
