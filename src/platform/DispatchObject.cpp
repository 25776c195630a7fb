#include "DispatchObject.h"

#include "AutomationError.h"

#include <QDateTime>
#include <QtGlobal>
#include <cmath>
#include <limits>
#include <string>
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

} // namespace

DispatchObject::DispatchObject(QString className, MemberTable members)
    : m_className(std::move(className)),
      m_members(members)
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

    switch (m_declared.value(dispid).how) {
    case Declared::Stored:
        if (kind == InvokeKind::PropertyPut) {
            if (args.isEmpty())
                Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
            Store(dispid, Coerce(member->type, args.last()), args.mid(0, args.size() - 1));
            return {};
        }
        return Stored(dispid, args);
    case Declared::Taken:
        if (kind == InvokeKind::PropertyPut && args.isEmpty())
            Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
        return {};
    case Declared::NotSimulated:
        if (!m_warned.contains(dispid)) {
            m_warned.insert(dispid);
            qWarning("%s: %s is not simulated (%s); it answers its default.", qPrintable(m_className), member->name,
                     qPrintable(m_declared.value(dispid).reason));
        }
        return kind == InvokeKind::PropertyPut ? QVariant() : DefaultOf(member->type);
    default: break;
    }
    if (m_fake) {
        if (member->kind == MemberKind::Method)
            return DefaultOf(member->type);
        if (kind == InvokeKind::PropertyPut) {
            if (args.isEmpty())
                Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
            Store(dispid, Coerce(member->type, args.last()), args.mid(0, args.size() - 1));
            return {};
        }
        return Stored(dispid, args);
    }
    // Nobody gave this member an answer: it must not answer silently.
    Fail(DISP_E_MEMBERNOTFOUND, QStringLiteral("Member not found: %1.").arg(QLatin1String(member->name)));
}

int DispatchObject::GetIDOfName(const QString& name) const
{
    const MemberInfo* member = FindMember(m_members, name);
    return member && member->kind != MemberKind::Event ? member->dispid : -1;
}

DispatchObject::Declaration DispatchObject::MemberDeclaration(int dispid) const
{
    if (m_handlers.contains(dispid))
        return {Declared::Handler, {}};
    return m_declared.value(dispid);
}

DispatchObject::Declaration DispatchObject::EventDeclaration(const QString& eventName) const
{
    const MemberInfo* row = eventRow(eventName);
    return row ? m_events.value(QLatin1String(row->name)) : Declaration{};
}

const MemberInfo& DispatchObject::member(int dispid) const
{
    const MemberInfo* m = FindMember(m_members, dispid);
    if (!m)
        throw std::logic_error(m_className.toStdString() + " has no member " + std::to_string(dispid));
    return *m;
}

const MemberInfo* DispatchObject::eventRow(const QString& eventName) const
{
    // An event may share its name with a method (the manual handler's
    // AbortSession is both): only the event rows count here.
    for (const MemberInfo& m : m_members) {
        if (m.kind == MemberKind::Event && eventName.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0)
            return &m;
    }
    return nullptr;
}

void DispatchObject::declare(int dispid, Declared how, const QString& reason)
{
    m_declared.insert(dispid, Declaration{how, reason});
}

void DispatchObject::On(int dispid, Handler handler)
{
    member(dispid);
    if (m_declared.value(dispid).how == Declared::NotSimulated)
        throw std::logic_error("a member left out has no handler: " + std::string(member(dispid).name));
    m_handlers.insert(dispid, std::move(handler));
}

void DispatchObject::Stores(std::initializer_list<int> dispids)
{
    for (const int dispid : dispids) {
        if (member(dispid).kind == MemberKind::Method)
            throw std::logic_error("a method is not a stored property: " + std::string(member(dispid).name));
        declare(dispid, Declared::Stored);
    }
}

void DispatchObject::Takes(std::initializer_list<int> dispids)
{
    for (const int dispid : dispids) {
        const MemberInfo& m = member(dispid);
        // Only what gives nothing back can be taken without an answer.
        if (m.kind != MemberKind::Put && !(m.kind == MemberKind::Method && m.type == ValueKind::Void))
            throw std::logic_error("a member that answers cannot just be taken: " + std::string(m.name));
        declare(dispid, Declared::Taken);
    }
}

void DispatchObject::NotSimulated(int dispid, const QString& reason)
{
    member(dispid);
    if (m_handlers.contains(dispid))
        throw std::logic_error("a member with a handler is not left out: " + std::string(member(dispid).name));
    if (reason.trimmed().isEmpty())
        throw std::logic_error("a member left out needs its reason");
    declare(dispid, Declared::NotSimulated, reason);
}

void DispatchObject::AnswerUndeclaredAsFake()
{
    m_fake = true;
}

void DispatchObject::Raises(std::initializer_list<const char*> eventNames)
{
    for (const char* name : eventNames) {
        const MemberInfo* row = eventRow(QLatin1String(name));
        if (!row)
            throw std::logic_error("event not in the control's table: " + std::string(name));
        if (m_events.value(QLatin1String(row->name)).how == Declared::NeverRaised)
            throw std::logic_error("event declared never raised: " + std::string(name));
        m_events.insert(QLatin1String(row->name), Declaration{Declared::Raised, {}});
    }
}

void DispatchObject::NeverRaises(const char* eventName, const QString& reason)
{
    const MemberInfo* row = eventRow(QLatin1String(eventName));
    if (!row)
        throw std::logic_error("event not in the control's table: " + std::string(eventName));
    if (reason.trimmed().isEmpty())
        throw std::logic_error("an event never raised needs its reason");
    if (m_events.value(QLatin1String(row->name)).how == Declared::Raised)
        throw std::logic_error("event declared raised: " + std::string(eventName));
    m_events.insert(QLatin1String(row->name), Declaration{Declared::NeverRaised, reason});
}

void DispatchObject::DeclareNotSimulated(std::span<const NotSimulatedRow> rows)
{
    for (const NotSimulatedRow& row : rows) {
        if (m_className != QLatin1String(row.className))
            continue;
        if (row.event) {
            NeverRaises(row.name, QString::fromUtf8(row.reason));
            continue;
        }
        const MemberInfo* m = FindMember(m_members, QLatin1String(row.name));
        if (!m || m->kind == MemberKind::Event)
            throw std::logic_error("not a member of " + m_className.toStdString() + ": " + row.name);
        NotSimulated(m->dispid, QString::fromUtf8(row.reason));
    }
}

void DispatchObject::Raise(const QString& eventName, QVariantList& args)
{
    const MemberInfo* row = eventRow(eventName);
    if (row && !m_fake && m_events.value(QLatin1String(row->name)).how != Declared::Raised)
        throw std::logic_error("event not declared raised: " + eventName.toStdString());
    RaiseAny(eventName, args);
}

void DispatchObject::RaiseAny(const QString& eventName, QVariantList& args)
{
    const MemberInfo* row = eventRow(eventName);
    if (!row)
        throw std::logic_error("event not in the control's table: " + eventName.toStdString());
    if (m_sink)
        m_sink->Fire(QLatin1String(row->name), args);
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
    declare(dispid, Declared::Stored);
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
        return QVariant::fromValue(
            qint16(number(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max())));
    case ValueKind::Long:
        return QVariant::fromValue(
            qint32(number(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
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
