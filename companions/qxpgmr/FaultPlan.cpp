#include "FaultPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

FaultPlan FaultPlan::Read(const QString& engineFolder)
{
    FaultPlan plan;
    const QString file = QDir(engineFolder).filePath(QStringLiteral("faultplan.ini"));
    if (QFileInfo::exists(file)) {
        QSettings ini(file, QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("Faults"));
        for (const QString& key : ini.childKeys())
            plan.m_entries.insert(key.toLower(), ini.value(key).toString());
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
