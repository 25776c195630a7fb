#pragma once

// The values a simulated handler reports, as a test or a trial sets them in
// an environment variable: entries "Member=value" or "Member(i)=value"
// separated by ";" (numbers, True/False, or text). Header only.

#include "engine/VbValue.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

namespace handlerplan {

// Calls store(member, index, value) for each readable entry of the variable;
// index is empty for a member without one.
template <class Store> void ForEachReportValue(const char* variable, Store store)
{
    static const QRegularExpression entryForm(QStringLiteral("^\\s*(\\w+)\\s*(?:\\(\\s*(-?\\d+)\\s*\\))?\\s*=(.*)$"));
    for (const QString& entry : qEnvironmentVariable(variable).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = entryForm.match(entry);
        if (!match.hasMatch())
            continue;
        const QString text = match.captured(3).trimmed();
        bool number = false;
        const qint64 value = text.toLongLong(&number);
        QVariant stored = number ? QVariant(value) : QVariant(text);
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            stored = VbBool(true);
        else if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            stored = VbBool(false);
        QVariantList index;
        if (!match.captured(2).isEmpty())
            index << QVariant(qint32(match.captured(2).toInt()));
        store(match.captured(1), index, stored);
    }
}

} // namespace handlerplan
