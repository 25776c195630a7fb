#include "FaultPlan.h"

#include <QDir>
#include <QFileInfo>
#include "simplan/PlainIni.h"

FaultPlan FaultPlan::Read(const QString& engineFolder)
{
    FaultPlan plan;
    const QString file = QDir(engineFolder).filePath(QStringLiteral("faultplan.ini"));
    if (QFileInfo::exists(file)) {
        const simplan::PlainIni ini = simplan::PlainIni::Read(file);
        const QString faults = QStringLiteral("Faults");
        for (const QString& key : ini.Keys(faults))
            plan.m_entries.insert(key.toLower(), ini.Text(faults, key));
    }
    // Entries are separated by ";" or ",".
    QString entries = qEnvironmentVariable("TARVO_ENGINE_FAULTS");
    entries.replace(QLatin1Char(','), QLatin1Char(';'));
    for (const QString& entry : entries.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0)
            plan.m_entries.insert(entry.left(eq).trimmed().toLower(), entry.mid(eq + 1).trimmed());
    }
    return plan;
}

qint32 FaultPlan::Code(const QString& step) const
{
    const QString text = m_entries.value(step.toLower()).trimmed();
    bool ok = false;
    const qint32 code = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? qint32(text.mid(2).toUInt(&ok, 16))
                                                                                  : text.toInt(&ok, 10);
    return ok ? code : 0;
}
