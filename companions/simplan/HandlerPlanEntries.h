#pragma once

// What the simulated handlers share of the engine's fault plan: its entries
// read from the same places as the engine reads them (the variable
// TARVO_ENGINE_FAULTS, then "faultplan.ini" [Faults] in the engine's folder;
// the variable wins), and the readers of their values. Header only: each
// handler plug-in takes its own copy.

#include "PlainIni.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <limits>

namespace handlerplan {

inline QString EngineFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Corvane/QXEngine"));
}

// The plan's entries that start with prefix, keys in lower case without it.
inline QHash<QString, QString> Entries(const QString& prefix)
{
    QHash<QString, QString> entries;
    const QString file = QDir(EngineFolder()).filePath(QStringLiteral("faultplan.ini"));
    if (QFileInfo::exists(file)) {
        const simplan::PlainIni ini = simplan::PlainIni::Read(file);
        const QString faults = QStringLiteral("Faults");
        for (const QString& key : ini.Keys(faults))
            entries.insert(key.toLower(), ini.Text(faults, key));
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

// A Long in decimal or after "0x" in hexadecimal.
inline bool ReadNumber(const QString& text, qint64& value)
{
    bool ok = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toLongLong(&ok, 16)
                                                                      : text.toLongLong(&ok, 10);
    return ok && value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

inline bool ReadCount(const QString& text, int& value, qint64 low)
{
    qint64 n = 0;
    if (!ReadNumber(text.trimmed(), n) || n < low)
        return false;
    value = int(n);
    return true;
}

// Sockets "S:S:..." (1-based); nothing when any cannot be read.
inline bool ReadSites(const QString& text, QSet<int>& sites)
{
    QSet<int> read;
    for (const QString& part : text.split(QLatin1Char(':'))) {
        int site = 0;
        if (!ReadCount(part, site, 1))
            return false;
        read.insert(site);
    }
    sites = read;
    return true;
}

// The sites of the programmer model the engine saved last: a handler has as
// many sockets as the programmer it feeds.
inline int StationSiteCount()
{
    const simplan::PlainIni station =
        simplan::PlainIni::Read(QDir(EngineFolder()).filePath(QStringLiteral("engine.ini")));
    return std::max(1, station.Int(QStringLiteral("Station"), QStringLiteral("SiteCount"), 1));
}

} // namespace handlerplan
