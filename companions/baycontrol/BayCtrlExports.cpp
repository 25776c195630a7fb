// The plug-in's entry points: registration and creation of its class.

#include "BayCtrlStandIn.h"

#include "engine/SiteBoxControl.h"
#include "platform/Companion.h"

namespace {

const QStringList& ClassNames()
{
    static const QStringList names{QString::fromLatin1(SiteBoxControl::ClassName)};
    return names;
}

IDispatchControl* Create(const QString& className)
{
    if (className.compare(QLatin1String(SiteBoxControl::ClassName), Qt::CaseInsensitive) == 0)
        return new BayCtrlStandIn;
    return nullptr;
}

} // namespace

TARVO_COMPANION_EXPORTS(ClassNames(), Create)
