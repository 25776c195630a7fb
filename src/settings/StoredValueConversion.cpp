#include "settings/StoredValueConversion.h"

#include <cmath>
#include <limits>

std::optional<qint64> ToWhole(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        if (ok)
            return whole;
        const double real = text.toDouble(&ok);
        if (!ok || !std::isfinite(real) || std::fabs(real) > 9.0e18)
            return std::nullopt;
        return qint64(std::nearbyint(real)); // the default rounding: half to even
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double real = value.toDouble();
        if (!std::isfinite(real) || std::fabs(real) > 9.0e18)
            return std::nullopt;
        return qint64(std::nearbyint(real));
    }
    default: {
        bool ok = false;
        const qint64 whole = value.toLongLong(&ok);
        if (ok && value.isValid() && value.typeId() != QMetaType::QByteArray)
            return whole;
        return std::nullopt;
    }
    }
}

bool ToBool(const QVariant& value, bool fallback)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    const std::optional<qint64> number = ToWhole(value);
    return number ? *number != 0 : fallback;
}

namespace {
template <class T> T InRange(const QVariant& value, T fallback)
{
    const std::optional<qint64> number = ToWhole(value);
    if (!number || *number < std::numeric_limits<T>::min() || *number > std::numeric_limits<T>::max())
        return fallback;
    return T(*number);
}
} // namespace

qint16 ToInteger(const QVariant& value, qint16 fallback) { return InRange<qint16>(value, fallback); }
qint32 ToLong(const QVariant& value, qint32 fallback) { return InRange<qint32>(value, fallback); }

QString ToText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (!value.isValid())
        return QString();
    return value.toString();
}
