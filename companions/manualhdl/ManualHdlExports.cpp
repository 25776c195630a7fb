// The plug-in's entry points: registration and creation of its class.

#include "ManualHdlStandIn.h"

#include "engine/ManualHdlControl.h"
#include "platform/Companion.h"

namespace {

const QStringList& ClassNames()
{
    static const QStringList names{QString::fromLatin1(ManualHdlControl::ClassName)};
    return names;
}

IDispatchControl* Create(const QString& className)
{
    if (className.compare(QLatin1String(ManualHdlControl::ClassName), Qt::CaseInsensitive) == 0)
        return new ManualHdlStandIn;
    return nullptr;
}

} // namespace

TARVO_COMPANION_EXPORTS(ClassNames(), Create)
