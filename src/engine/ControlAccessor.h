#pragma once

// Base of the typed accessors of the outside controls. It holds the control
// object and turns a typed call into a late-bound one: the arguments go out
// as a QVariantList, the control may change them, and changed values are
// written back into the caller's non-const variables (by-reference
// arguments). A call while no control is attached fails like a call on an
// object variable that is Nothing.

#include "engine/VbValue.h"

#include <QString>
#include <QVariantList>
#include <cstddef>
#include <memory>
#include <utility>

class ControlAccessor
{
public:
    ControlAccessor() = default;
    ControlAccessor(const ControlAccessor&) = delete;
    ControlAccessor& operator=(const ControlAccessor&) = delete;

    void Attach(std::unique_ptr<IDispatchControl> control) { m_control = std::move(control); }
    std::unique_ptr<IDispatchControl> Detach() { return std::move(m_control); }
    IDispatchControl* Control() const { return m_control.get(); }
    bool IsAttached() const { return m_control != nullptr; }

    // Late binding by name, through the control's own name lookup. An
    // unknown name fails with "Object doesn't support this property or
    // method" (438).
    QVariant GetByName(const QString& name, QVariantList args = {});
    void PutByName(const QString& name, const QVariant& value);

    static constexpr qint32 ErrObjectNotSet = 91;
    static constexpr qint32 ErrNotSupported = 438;

protected:
    // The attached control; throws AutomationError 91 when there is none.
    IDispatchControl& attached() const;
    QVariant invoke(int dispid, InvokeKind kind, QVariantList& args);

    template <ValueKind K, class... A> VbType<K> getValue(int dispid, A&&... args)
    {
        return invokeTyped<K, A...>(dispid, InvokeKind::PropertyGet, args...);
    }
    template <ValueKind K, class... A> VbType<K> callMethod(int dispid, A&&... args)
    {
        return invokeTyped<K, A...>(dispid, InvokeKind::Method, args...);
    }
    template <ValueKind K> void putValue(int dispid, const VbType<K>& value)
    {
        QVariantList list{VbTraits<K>::To(value)};
        invoke(dispid, InvokeKind::PropertyPut, list);
    }
    template <ValueKind K, class I> void putValueAt(int dispid, const I& index, const VbType<K>& value)
    {
        QVariantList list{ToWire(index), VbTraits<K>::To(value)};
        invoke(dispid, InvokeKind::PropertyPut, list);
    }

private:
    template <ValueKind K, class... A> VbType<K> invokeTyped(int dispid, InvokeKind kind, std::remove_reference_t<A>&... args)
    {
        QVariantList list{ToWire(args)...};
        const QVariantList sent = list;
        const QVariant result = invoke(dispid, kind, list);
        qsizetype i = 0;
        (writeBack<A>(args, sent, list, i++), ...);
        if constexpr (K != ValueKind::Void)
            return VbTraits<K>::From(result);
    }

    // Only a non-const lvalue argument of a wire type is a by-reference
    // variable of the caller; temporaries and constants are passed by value.
    template <class A, class T>
    static void writeBack(T& arg, const QVariantList& sent, const QVariantList& now, qsizetype i)
    {
        using R = std::remove_reference_t<A>;
        if constexpr (std::is_lvalue_reference_v<A> && !std::is_const_v<R> && WireValue<R>) {
            if (i < now.size() && now[i] != sent[i])
                arg = FromWire<R>(now[i]);
        }
    }

    int idOfName(const QString& name) const;

    std::unique_ptr<IDispatchControl> m_control;
};
