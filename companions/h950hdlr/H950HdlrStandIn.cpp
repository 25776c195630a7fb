#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"

#include <QRegularExpression>

H950HdlrStandIn::H950HdlrStandIn()
    : DispatchObject(QString::fromLatin1(H950HdlrControl::ClassName), H950HdlrControl::Members())
{
    // The simulated handler family offers both automatic handler types.
    Store(H950HdlrId::HandlerModelFamily, VbBool(true));
    ApplyReportValues();
}

void H950HdlrStandIn::ApplyReportValues()
{
    static const QRegularExpression entryForm(QStringLiteral("^\\s*(\\w+)\\s*(?:\\(\\s*(-?\\d+)\\s*\\))?\\s*=(.*)$"));
    for (const QString& entry : qEnvironmentVariable("TARVO_H950_VALUES").split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = entryForm.match(entry);
        const int dispid = match.hasMatch() ? GetIDOfName(match.captured(1)) : -1;
        if (dispid < 0)
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
        Store(dispid, stored, index);
    }
}

