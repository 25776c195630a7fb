// The plug-in's entry points: registration and creation of its class.

#include "DataPaneStandIn.h"

#include "engine/DataPaneControl.h"
#include "platform/Companion.h"

namespace {

const QStringList& ClassNames()
{
    static const QStringList names{QString::fromLatin1(DataPaneControl::ClassName)};
    return names;
}

IDispatchControl* Create(const QString& className)
{
    if (className.compare(QLatin1String(DataPaneControl::ClassName), Qt::CaseInsensitive) == 0)
        return new DataPaneStandIn;
    return nullptr;
}

} // namespace

TARVO_COMPANION_EXPORTS(ClassNames(), Create)
