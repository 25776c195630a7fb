#include "ManualHdlPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>
#include <limits>

namespace {

QString EngineFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Corvane/QXEngine"));
}

// The plan's entries that start with prefix, keys in lower case without it.
QHash<QString, QString> Entries(const QString& prefix)
{
    QHash<QString, QString> entries;
    const QString file = QDir(EngineFolder()).filePath(QStringLiteral("faultplan.ini"));
    if (QFileInfo::exists(file)) {
        QSettings ini(file, QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("Faults"));
        for (const QString& key : ini.childKeys())
            entries.insert(key.toLower(), ini.value(key).toString());
    }
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    for (const QString& entry : qEnvironmentVariable("TARVO_ENGINE_FAULTS").split(separators, Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0)
            entries.insert(entry.left(eq).trimmed().toLower(), entry.mid(eq + 1).trimmed());
    }
    QHash<QString, QString> mine;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (it.key().startsWith(prefix))
            mine.insert(it.key().mid(prefix.size()), it.value().trimmed());
    }
    return mine;
}

bool ReadNumber(const QString& text, qint64& value)
{
    bool ok = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toLongLong(&ok, 16)
                                                                      : text.toLongLong(&ok, 10);
    return ok && value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

bool ReadCount(const QString& text, int& value, qint64 low)
{
    qint64 n = 0;
    if (!ReadNumber(text.trimmed(), n) || n < low)
        return false;
    value = int(n);
    return true;
}

} // namespace

ManualHdlPlan ManualHdlPlan::Read()
{
    ManualHdlPlan plan;
    // The sites of the model the engine saved last: a handler has as many
    // sockets as the programmer it feeds.
    const QSettings station(QDir(EngineFolder()).filePath(QStringLiteral("engine.ini")), QSettings::IniFormat);
    plan.sites = std::max(1, station.value(QStringLiteral("Station/SiteCount"), 1).toInt());

    const QHash<QString, QString> entries = Entries(QStringLiteral("manual."));
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString& key = it.key();
        const QString& value = it.value();
        bool ok = false;
        if (key == QLatin1String("sites")) {
            ok = ReadCount(value, plan.sites, 1);
        } else if (key == QLatin1String("empty")) {
            ok = true;
            for (const QString& part : value.split(QLatin1Char(':'))) {
                int site = 0;
                ok = ok && ReadCount(part, site, 1);
                if (ok)
                    plan.empty.insert(site);
            }
            if (!ok)
                plan.empty.clear();
        } else if (key == QLatin1String("abort")) {
            ok = ReadCount(value, plan.abortAt, 1);
        } else if (key == QLatin1String("result")) {
            qint64 n = 0;
            ok = ReadNumber(value, n);
            if (ok)
                plan.result = qint32(n);
        } else if (key == QLatin1String("delay")) {
            ok = ReadCount(value, plan.delayMs, 0);
        }
        if (!ok)
            std::fprintf(stderr, "ManualHdl: the fault plan entry \"manual.%s=%s\" cannot be read; it plans nothing.\n",
                         qPrintable(key), qPrintable(value));
    }
    return plan;
}
