#pragma once

// Base of the stand-in controls: dispatches by the control's member table.
// A stand-in answers only the members it declares:
//   On            a handler: the member's own behaviour
//   Stores        a plain stored property (a get returns what was last put,
//                 else the default of its type)
//   Takes         a put or a call without result that the stand-in takes and
//                 has no use for
//   NotSimulated  a member left out, with its reason: it answers its
//                 default and warns once, on stderr, the first time
// Any other member of the table is refused as "member not found", naming
// it, so that a member nobody gave an answer cannot answer silently. A
// dispatch number not in the table is refused as automation refuses it.
//
// Events likewise: a stand-in declares the events it raises (Raises) and
// those it never raises, with the reason (NeverRaises); raising one it did
// not declare is a programming error (std::logic_error).

#include "Dispatch.h"
#include "MemberTable.h"

#include <QHash>
#include <QSet>
#include <functional>
#include <initializer_list>
#include <span>
#include <utility>

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

    // How the stand-in answers a member, or whether it raises an event.
    enum class Declared { Nothing, Handler, Stored, Taken, NotSimulated, Raised, NeverRaised };
    struct Declaration
    {
        Declared how = Declared::Nothing;
        QString reason; // NotSimulated and NeverRaised
    };
    Declaration MemberDeclaration(int dispid) const;
    Declaration EventDeclaration(const QString& eventName) const;

    // A member or event a stand-in leaves out, as the checked-in list of
    // them gives it: the control's class name, the member's or event's name
    // and why.
    struct NotSimulatedRow
    {
        const char* className;
        const char* name;
        bool event;
        const char* reason;
    };

protected:
    DispatchObject(QString className, MemberTable members);

    using Handler = std::function<QVariant(InvokeKind kind, QVariantList& args)>;
    // Gives a member real behaviour.
    void On(int dispid, Handler handler);
    // Plain stored properties.
    void Stores(std::initializer_list<int> dispids);
    // Puts and calls without result that change nothing here.
    void Takes(std::initializer_list<int> dispids);
    // A member left out: it answers its default and warns the first time.
    void NotSimulated(int dispid, const QString& reason);
    // The events raised, and those never raised with the reason.
    void Raises(std::initializer_list<const char*> eventNames);
    void NeverRaises(const char* eventName, const QString& reason);
    // For test fakes only, never a stand-in: a member nobody declared is a
    // stored property (a method answers its type's default) and any event
    // may be raised. The undeclared members still count as undeclared.
    void AnswerUndeclaredAsFake();
    // Declares this control's rows of the list of what is left out; a row
    // naming no member or event of the table is a programming error.
    void DeclareNotSimulated(std::span<const NotSimulatedRow> rows);

    // Raises an event to the host; by-reference values come back in args.
    // The event must have been declared raised.
    void Raise(const QString& eventName, QVariantList& args);
    // Raises any event of the table, declared or not (the test hooks).
    void RaiseAny(const QString& eventName, QVariantList& args);
    bool HasSink() const { return m_sink != nullptr; }

    // The stored value of a plain property (index arguments form the key).
    QVariant Stored(int dispid, const QVariantList& index = {}) const;
    void Store(int dispid, const QVariant& value, const QVariantList& index = {});
    // Every stored value at once: what a control keeps to put its settings
    // back after a change that was not taken.
    QHash<QString, QVariant> StoredValues() const { return m_store; }
    void PutStoredValues(QHash<QString, QVariant> values) { m_store = std::move(values); }
    // A plain property that keeps its value in another property's store (two
    // names of one setting); it is declared stored.
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
    const MemberInfo& member(int dispid) const;
    const MemberInfo* eventRow(const QString& eventName) const;
    void declare(int dispid, Declared how, const QString& reason = {});

    QString m_className;
    MemberTable m_members;
    QHash<int, Handler> m_handlers;
    QHash<int, Declaration> m_declared;
    QHash<QString, Declaration> m_events; // by the event row's name
    QSet<int> m_warned;
    QHash<QString, QVariant> m_store;
    QHash<int, int> m_sharedStore;
    IEventSink* m_sink = nullptr;
    bool m_fake = false;
};
