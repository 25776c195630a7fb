#pragma once

// The C++ side of the automation value types: which C++ type a member's value
// type reads as, and how values go onto the wire and come back. Booleans go
// out as -1/0 and read True only when the answer is -1.

#include "platform/Dispatch.h"
#include "platform/MemberTable.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <type_traits>

template <ValueKind K> struct VbTraits;

template <> struct VbTraits<ValueKind::Bool>
{
    using type = bool;
    static type From(const QVariant& v) { return IsVbTrue(v); }
    static QVariant To(bool b) { return VbBool(b); }
};
template <> struct VbTraits<ValueKind::Int>
{
    using type = qint16;
    static type From(const QVariant& v) { return qint16(v.toInt()); }
    static QVariant To(qint16 n) { return QVariant::fromValue(n); }
};
template <> struct VbTraits<ValueKind::Long>
{
    using type = qint32;
    static type From(const QVariant& v) { return qint32(v.toLongLong()); }
    static QVariant To(qint32 n) { return QVariant::fromValue(n); }
};
template <> struct VbTraits<ValueKind::Double>
{
    using type = double;
    static type From(const QVariant& v) { return v.toDouble(); }
    static QVariant To(double d) { return d; }
};
template <> struct VbTraits<ValueKind::String>
{
    using type = QString;
    static type From(const QVariant& v) { return v.toString(); }
    static QVariant To(const QString& s) { return s; }
};
template <> struct VbTraits<ValueKind::Date>
{
    using type = QDateTime;
    static type From(const QVariant& v) { return v.toDateTime(); }
    static QVariant To(const QDateTime& d) { return d; }
};
template <> struct VbTraits<ValueKind::Variant>
{
    using type = QVariant;
    static type From(const QVariant& v) { return v; }
    static QVariant To(const QVariant& v) { return v; }
};
template <> struct VbTraits<ValueKind::Object>
{
    using type = QVariant;
    static type From(const QVariant& v) { return v; }
    static QVariant To(const QVariant& v) { return v; }
};
template <> struct VbTraits<ValueKind::Void>
{
    using type = void;
};

template <ValueKind K> using VbType = typename VbTraits<K>::type;

// Arguments of calls: what a C++ argument becomes on the wire, and whether a
// changed by-reference value can be written back into it.
template <class T>
concept WireValue = std::is_arithmetic_v<T> || std::is_enum_v<T> || std::is_same_v<T, QString>
    || std::is_same_v<T, QDateTime> || std::is_same_v<T, QVariant>;

template <class T> QVariant ToWire(const T& value)
{
    using D = std::decay_t<T>;
    if constexpr (std::is_same_v<D, bool>)
        return VbBool(value);
    else if constexpr (std::is_enum_v<D>)
        return QVariant::fromValue(qint32(value));
    else if constexpr (std::is_same_v<D, long> || std::is_same_v<D, unsigned long>)
        return QVariant::fromValue(qint64(value));
    else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>)
        return QString::fromUtf8(value);
    else if constexpr (std::is_array_v<T>)
        return QString::fromUtf8(value);
    else
        return QVariant::fromValue(value);
}

template <WireValue T> T FromWire(const QVariant& v)
{
    if constexpr (std::is_same_v<T, bool>)
        return IsVbTrue(v);
    else if constexpr (std::is_enum_v<T>)
        return T(v.toInt());
    else if constexpr (std::is_integral_v<T>)
        return T(v.toLongLong());
    else if constexpr (std::is_floating_point_v<T>)
        return T(v.toDouble());
    else if constexpr (std::is_same_v<T, QVariant>)
        return v;
    else
        return v.value<T>();
}
