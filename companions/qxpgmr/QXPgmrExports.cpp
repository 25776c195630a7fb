// The plug-in's entry points: registration and creation of the engine class,
// and the test hook (QXPgmrTestHook.h).

#include "QXPgmrStandIn.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"

#include <stdexcept>

TARVO_COMPANION_CLASS(QXPgmrControl, QXPgmrStandIn)

extern "C" Q_DECL_EXPORT bool TarvoQXPgmrRaiseEvent(IDispatchControl* control, const QString* eventName, QVariantList* args)
{
    auto* engine = dynamic_cast<QXPgmrStandIn*>(control);
    if (!engine || !eventName || !args)
        return false;
    try {
        engine->RaiseForTest(*eventName, *args);
    } catch (const std::logic_error&) {
        return false; // not one of the engine's events
    }
    return true;
}
