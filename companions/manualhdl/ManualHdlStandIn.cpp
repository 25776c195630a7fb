#include "ManualHdlStandIn.h"

#include "engine/ManualHdlControl.h"

ManualHdlStandIn::ManualHdlStandIn()
    : DispatchObject(QString::fromLatin1(ManualHdlControl::ClassName), ManualHdlControl::Members())
{
    On(ManualHdlId::SetHostWindowHandle, [this](InvokeKind, QVariantList& args) {
        m_hostWindowHandle = Arg(args, 0, ValueKind::Variant).toLongLong();
        return QVariant();
    });
}
