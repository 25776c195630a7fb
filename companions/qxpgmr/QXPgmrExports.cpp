// The plug-in's entry points: registration and creation of the engine class.

#include "QXPgmrStandIn.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"

namespace {

const QStringList& ClassNames()
{
    static const QStringList names{QString::fromLatin1(QXPgmrControl::ClassName)};
    return names;
}

IDispatchControl* Create(const QString& className)
{
    if (className.compare(QLatin1String(QXPgmrControl::ClassName), Qt::CaseInsensitive) == 0)
        return new QXPgmrStandIn;
    return nullptr;
}

} // namespace

TARVO_COMPANION_EXPORTS(ClassNames(), Create)
