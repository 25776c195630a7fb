// The plug-in's entry points: registration and creation of its class, and
// the test hook (ManualHdlTestHook.h).

#include "ManualHdlStandIn.h"

#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"

#include <stdexcept>

TARVO_COMPANION_CLASS(ManualHdlControl, ManualHdlStandIn)

extern "C" Q_DECL_EXPORT bool TarvoManualHdlRaiseEvent(IDispatchControl* control, const QString* eventName,
                                                       QVariantList* args)
{
    auto* handler = dynamic_cast<ManualHdlStandIn*>(control);
    if (!handler || !eventName || !args)
        return false;
    try {
        handler->RaiseForTest(*eventName, *args);
    } catch (const std::logic_error&) {
        return false; // not one of the handler's events
    }
    return true;
}
