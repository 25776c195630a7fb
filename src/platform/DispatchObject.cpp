#include "DispatchObject.h"

#include "AutomationError.h"

#include <QDateTime>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// The key of a stored value: the member's number and its index arguments.
QString StoreKey(int dispid, const QVariantList& index)
{
    QString key = QString::number(dispid);
    for (const QVariant& v : index)
        key += QChar(0x1f) + v.toString();
    return key;
}

bool IsPropertyKind(MemberKind kind)
{
    return kind == MemberKind::Get || kind == MemberKind::Put || kind == MemberKind::GetPut;
}

} // namespace

DispatchObject::DispatchObject(QString className, MemberTable members)
    : m_className(std::move(className)), m_members(members)
{
}

QVariant DispatchObject::Invoke(int dispid, InvokeKind kind, QVariantList& args)
{
    const MemberInfo* member = FindMember(m_members, dispid);
    if (!member)
        Fail(DISP_E_MEMBERNOTFOUND, QStringLiteral("Member not found."));

    // A read may reach a method and a call may reach a property, as late
    // binding asks for "method or property get" in one; a put needs a
    // writable property and a read needs a readable member.
    const bool writable = member->kind == MemberKind::Put || member->kind == MemberKind::GetPut;
    if (kind == InvokeKind::PropertyPut ? !writable : member->kind == MemberKind::Put)
        Fail(DISP_E_MEMBERNOTFOUND, QStringLiteral("Member not found."));

    if (const auto handler = m_handlers.constFind(dispid); handler != m_handlers.constEnd())
        return (*handler)(kind, args);

    if (!IsPropertyKind(member->kind))
        return DefaultOf(member->type);
    if (kind == InvokeKind::PropertyPut) {
        if (args.isEmpty())
            Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
        Store(dispid, Coerce(member->type, args.last()), args.mid(0, args.size() - 1));
        return {};
    }
    return Stored(dispid, args);
}

int DispatchObject::GetIDOfName(const QString& name) const
{
    const MemberInfo* member = FindMember(m_members, name);
    return member && member->kind != MemberKind::Event ? member->dispid : -1;
}

void DispatchObject::On(int dispid, Handler handler)
{
    m_handlers.insert(dispid, std::move(handler));
}

void DispatchObject::Raise(const QString& eventName, QVariantList& args)
{
    // An event may share its name with a method (the manual handler's
    // AbortSession is both): only the event rows count here.
    const MemberInfo* member = nullptr;
    for (const MemberInfo& m : m_members) {
        if (m.kind == MemberKind::Event && eventName.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            member = &m;
            break;
        }
    }
    if (!member)
        throw std::logic_error("event not in the control's table: " + eventName.toStdString());
    if (m_sink)
        m_sink->Fire(QLatin1String(member->name), args);
}

QVariant DispatchObject::Stored(int dispid, const QVariantList& index) const
{
    const int storedAs = m_sharedStore.value(dispid, dispid);
    const auto it = m_store.constFind(StoreKey(storedAs, index));
    if (it != m_store.constEnd())
        return *it;
    const MemberInfo* member = FindMember(m_members, dispid);
    return member ? DefaultOf(member->type) : QVariant();
}

void DispatchObject::Store(int dispid, const QVariant& value, const QVariantList& index)
{
    m_store.insert(StoreKey(m_sharedStore.value(dispid, dispid), index), value);
}

void DispatchObject::ShareValue(int dispid, int storedAs)
{
    m_sharedStore.insert(dispid, storedAs);
}

void DispatchObject::Fail(qint32 number, const QString& description) const
{
    throw AutomationError(number, m_className, description);
}

QVariant DispatchObject::DefaultOf(ValueKind type)
{
    switch (type) {
    case ValueKind::Bool: return VbBool(false);
    case ValueKind::Int: return QVariant::fromValue<qint16>(0);
    case ValueKind::Long: return QVariant::fromValue<qint32>(0);
    case ValueKind::Double: return 0.0;
    case ValueKind::String: return QString();
    // An unset Date is day zero of the automation calendar.
    case ValueKind::Date: return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
    case ValueKind::Variant:
    case ValueKind::Object:
    case ValueKind::Void: break;
    }
    return {};
}

QVariant DispatchObject::Arg(const QVariantList& args, int i, ValueKind type) const
{
    if (i < 0 || i >= args.size())
        Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
    return Coerce(type, args.at(i));
}

QVariant DispatchObject::Coerce(ValueKind type, const QVariant& value) const
{
    const auto mismatch = [this]() { Fail(DISP_E_TYPEMISMATCH, QStringLiteral("Type mismatch.")); };
    const bool isBool = value.typeId() == QMetaType::Bool;

    // Numbers: a Boolean counts -1/0, Empty counts 0, text must read as a number;
    // fractions round to even as automation rounds them.
    const auto number = [&](double low, double high) -> double {
        if (isBool)
            return value.toBool() ? VbTrue : VbFalse;
        if (!value.isValid())
            return 0;
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok || std::isnan(d))
            mismatch();
        const double r = std::nearbyint(d);
        if (r < low || r > high)
            Fail(DISP_E_OVERFLOW, QStringLiteral("Overflow."));
        return r;
    };

    switch (type) {
    case ValueKind::Bool: {
        if (isBool)
            return VbBool(value.toBool());
        const QString text = value.toString().trimmed();
        if (value.typeId() == QMetaType::QString && text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return VbBool(true);
        if (value.typeId() == QMetaType::QString && text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return VbBool(false);
        return VbBool(number(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max()) != 0);
    }
    case ValueKind::Int:
        return QVariant::fromValue(qint16(number(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max())));
    case ValueKind::Long:
        return QVariant::fromValue(qint32(number(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
    case ValueKind::Double: {
        if (isBool || !value.isValid())
            return double(isBool && value.toBool() ? VbTrue : VbFalse);
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            mismatch();
        return d;
    }
    case ValueKind::String:
        if (isBool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (!value.isValid())
            return QString();
        if (!value.canConvert<QString>())
            mismatch();
        return value.toString();
    case ValueKind::Date: {
        if (!value.isValid())
            return DefaultOf(ValueKind::Date);
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            mismatch();
        return date;
    }
    case ValueKind::Variant:
    case ValueKind::Object:
    case ValueKind::Void: break;
    }
    return value;
}
