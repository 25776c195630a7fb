#pragma once

// The companion ABI: a control is reached by dispatch number with positional
// arguments that it may change (by-reference arguments), and it raises its
// events by name to a sink that may hand values back in place.

#include <QString>
#include <QVariant>
#include <QVariantList>

class QWidget;

enum class InvokeKind { PropertyGet, PropertyPut, Method };

// VB Booleans: True is -1 on the wire, and an answer counts as True only
// when it equals -1.
constexpr qint32 VbTrue = -1;
constexpr qint32 VbFalse = 0;
inline QVariant VbBool(bool b) { return QVariant(qint32(b ? VbTrue : VbFalse)); }
inline bool IsVbTrue(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    return ok && n == VbTrue;
}

class IEventSink
{
public:
    virtual ~IEventSink() = default;
    // args are the event's arguments; the sink may change the by-reference
    // ones, and the control reads them back after the call.
    virtual void Fire(const QString& eventName, QVariantList& args) = 0;
};

class IDispatchControl
{
public:
    virtual ~IDispatchControl() = default;

    // Throws AutomationError on failure. args may be changed in place. For a
    // property put the value is the last argument; any before it are indexes.
    virtual QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) = 0;
    // The dispatch number of a member reached by name, or -1.
    virtual int GetIDOfName(const QString& name) const = 0;
    virtual void SetEventSink(IEventSink* sink) = 0;
    virtual QString ClassName() const = 0;
    // Controls that show something on their host's window give their widget
    // here; the host takes it into its layout. Others return nullptr.
    virtual QWidget* Widget() { return nullptr; }

    // Conveniences over Invoke.
    QVariant Get(int dispid, QVariantList args = {}) { return Invoke(dispid, InvokeKind::PropertyGet, args); }
    void Put(int dispid, const QVariant& value)
    {
        QVariantList args{value};
        Invoke(dispid, InvokeKind::PropertyPut, args);
    }
    QVariant Call(int dispid, QVariantList& args) { return Invoke(dispid, InvokeKind::Method, args); }
};
