#include "engine/ControlAccessor.h"

#include "platform/AutomationError.h"

#include <QCoreApplication>

IDispatchControl& ControlAccessor::attached() const
{
    if (!m_control)
        throw AutomationError(ErrObjectNotSet, QCoreApplication::applicationName(),
                              QStringLiteral("Object variable or With block variable not set"));
    return *m_control;
}

QVariant ControlAccessor::invoke(int dispid, InvokeKind kind, QVariantList& args)
{
    return attached().Invoke(dispid, kind, args);
}

int ControlAccessor::idOfName(const QString& name) const
{
    const int dispid = attached().GetIDOfName(name);
    if (dispid == -1)
        throw AutomationError(ErrNotSupported, QCoreApplication::applicationName(),
                              QStringLiteral("Object doesn't support this property or method"));
    return dispid;
}

QVariant ControlAccessor::GetByName(const QString& name, QVariantList args)
{
    return invoke(idOfName(name), InvokeKind::PropertyGet, args);
}

void ControlAccessor::PutByName(const QString& name, const QVariant& value)
{
    QVariantList args{value};
    invoke(idOfName(name), InvokeKind::PropertyPut, args);
}
