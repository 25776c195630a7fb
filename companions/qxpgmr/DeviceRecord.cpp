#include "DeviceRecord.h"

QString DeviceRecord::CustomActionList() const
{
    QString list;
    for (const CustomAction& action : customActions) {
        list += QLatin1Char('@') + action.name + QLatin1Char(':');
        QStringList procedures;
        for (const Procedure& p : action.procedures)
            procedures << p.kind + QLatin1Char('|') + p.alternatives;
        list += procedures.join(QLatin1Char(':'));
    }
    return list;
}

QString DeviceRecord::SizeText(bool hex) const
{
    if (size <= 0)
        return {};
    const QString count = hex ? QString::number(size, 16).toUpper() + QLatin1Char('h') : QString::number(size);
    if (SizeInFuses())
        return count + QStringLiteral(" Fuses");
    return count + QStringLiteral(" x ") + QString::number(dataWidth);
}

QVariant DeviceRecord::Parameter(const QString& name) const
{
    const auto it = parameters.constFind(name);
    if (it == parameters.constEnd())
        return {};
    const QString text = it->trimmed();
    bool ok = false;
    const qint32 number = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                                     : text.toInt(&ok, 10);
    return ok ? QVariant::fromValue(number) : QVariant(*it);
}

bool DeviceRecord::RunsConcurrently(const QString& variant) const
{
    for (const Variant& v : programVariants) {
        if (v.name == variant)
            return v.concurrent;
    }
    return false;
}
