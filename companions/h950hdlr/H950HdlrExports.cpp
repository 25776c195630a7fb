// The plug-in's entry points: registration and creation of its class, and
// the test hook (H950HdlrTestHook.h).

#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"
#include "platform/Companion.h"

#include <stdexcept>

TARVO_COMPANION_CLASS(H950HdlrControl, H950HdlrStandIn)

extern "C" Q_DECL_EXPORT bool TarvoH950HdlrRaiseEvent(IDispatchControl* control, const QString* eventName,
                                                       QVariantList* args)
{
    auto* handler = dynamic_cast<H950HdlrStandIn*>(control);
    if (!handler || !eventName || !args)
        return false;
    try {
        handler->RaiseForTest(*eventName, *args);
    } catch (const std::logic_error&) {
        return false; // not one of the handler's events
    }
    return true;
}
