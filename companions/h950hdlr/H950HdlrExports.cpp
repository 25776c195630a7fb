// The plug-in's entry points: registration and creation of its class.

#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"
#include "platform/Companion.h"

namespace {

const QStringList& ClassNames()
{
    static const QStringList names{QString::fromLatin1(H950HdlrControl::ClassName)};
    return names;
}

IDispatchControl* Create(const QString& className)
{
    if (className.compare(QLatin1String(H950HdlrControl::ClassName), Qt::CaseInsensitive) == 0)
        return new H950HdlrStandIn;
    return nullptr;
}

} // namespace

TARVO_COMPANION_EXPORTS(ClassNames(), Create)
