#pragma once

// Base of the stand-in controls: dispatches by the control's member table.
// A member with a handler has real behaviour; any other property is a stored
// value (a get returns what was last put, else the default of its type), and
// any other method answers the default of its result type. A dispatch number
// not in the table is refused as automation refuses it.

#include "Dispatch.h"
#include "MemberTable.h"

#include <QHash>
#include <functional>

class DispatchObject : public IDispatchControl
{
public:
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override;
    int GetIDOfName(const QString& name) const override;
    void SetEventSink(IEventSink* sink) override { m_sink = sink; }
    QString ClassName() const override { return m_className; }

    static constexpr qint32 DISP_E_MEMBERNOTFOUND = qint32(0x80020003u);
    static constexpr qint32 DISP_E_TYPEMISMATCH = qint32(0x80020005u);
    static constexpr qint32 DISP_E_OVERFLOW = qint32(0x8002000Au);
    static constexpr qint32 DISP_E_BADPARAMCOUNT = qint32(0x8002000Eu);

protected:
    DispatchObject(QString className, MemberTable members);

    using Handler = std::function<QVariant(InvokeKind kind, QVariantList& args)>;
    // Gives a member real behaviour.
    void On(int dispid, Handler handler);
    // Raises an event to the host; by-reference values come back in args.
    void Raise(const QString& eventName, QVariantList& args);
    bool HasSink() const { return m_sink != nullptr; }

    // The stored value of a plain property (index arguments form the key).
    QVariant Stored(int dispid, const QVariantList& index = {}) const;
    void Store(int dispid, const QVariant& value, const QVariantList& index = {});
    // A plain property that keeps its value in another property's store (two
    // names of one setting).
    void ShareValue(int dispid, int storedAs);

    // Throws the automation error this control raises.
    [[noreturn]] void Fail(qint32 number, const QString& description) const;

    static QVariant DefaultOf(ValueKind type);
    // A value converted to a member's type as automation converts an argument
    // (a Boolean becomes -1 or 0); throws the type-mismatch error when it
    // does not convert.
    QVariant Coerce(ValueKind type, const QVariant& value) const;
    // Argument i of a call, converted to the given type; a missing argument
    // fails as a wrong argument count.
    QVariant Arg(const QVariantList& args, int i, ValueKind type) const;

private:
    QString m_className;
    MemberTable m_members;
    QHash<int, Handler> m_handlers;
    QHash<QString, QVariant> m_store;
    QHash<int, int> m_sharedStore;
    IEventSink* m_sink = nullptr;
};
