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

    // Throws the automation error this control raises.
    [[noreturn]] void Fail(qint32 number, const QString& description) const;

    static QVariant DefaultOf(ValueKind type);

private:
    QString m_className;
    MemberTable m_members;
    QHash<int, Handler> m_handlers;
    QHash<QString, QVariant> m_store;
    IEventSink* m_sink = nullptr;
};
