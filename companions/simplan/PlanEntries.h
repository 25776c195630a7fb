#pragma once

// Every entry of the simulations' fault plan (TARVO_ENGINE_FAULTS and
// "faultplan.ini" [Faults]), in one table: the key and who reads it. Each
// reader takes its own entries by this table and leaves the others alone,
// so an entry another reader obeys is never taken for a mistake; an entry
// the table does not know plans nothing and the engine tells it once.
// data/README.md documents each entry. Header only: each plug-in takes its
// own copy.

#include <QString>

namespace simplan {

enum class PlanReader {
    Engine,    // read where the engine uses it (FaultPlan::Code)
    EngineRun, // the engine's run entries (RunPlan)
    Manual,    // the manual handler's session (ManualHdlPlan)
    Auto,      // the automatic handler's session (H950HdlrPlan)
};

struct PlanEntry
{
    // The key in lower case; "#" stands for a number from 1 and "*" for a
    // member's name.
    const char* key;
    PlanReader reader;
};

inline constexpr PlanEntry kPlanEntries[] = {
    {"load", PlanReader::Engine},
    {"init", PlanReader::Engine},
    {"extra", PlanReader::Engine},
    {"dialog.*", PlanReader::Engine},
    {"quiet", PlanReader::Engine},
    {"jobload", PlanReader::Engine},
    {"jobsave", PlanReader::Engine},
    {"jobwrite", PlanReader::Engine},
    {"jobslow", PlanReader::Engine},
    {"skopen", PlanReader::Engine},

    {"device.#", PlanReader::EngineRun},
    {"site.#", PlanReader::EngineRun},
    {"engineerror", PlanReader::EngineRun},
    {"callfail", PlanReader::EngineRun},
    {"delay", PlanReader::EngineRun},
    {"delay.device", PlanReader::EngineRun},
    {"delay.site.#", PlanReader::EngineRun},
    {"start", PlanReader::EngineRun},
    {"module", PlanReader::EngineRun},

    {"manual.sites", PlanReader::Manual},
    {"manual.empty", PlanReader::Manual},
    {"manual.abort", PlanReader::Manual},
    {"manual.result", PlanReader::Manual},
    {"manual.delay", PlanReader::Manual},

    {"auto.sites", PlanReader::Auto},
    {"auto.empty", PlanReader::Auto},
    {"auto.jam", PlanReader::Auto},
    {"auto.result", PlanReader::Auto},
    {"auto.speed", PlanReader::Auto},
    {"auto.quantity", PlanReader::Auto},
    {"auto.stop", PlanReader::Auto},
    {"auto.serial", PlanReader::Auto},
    {"auto.label", PlanReader::Auto},
    {"auto.labelmove", PlanReader::Auto},
    {"auto.loadfile", PlanReader::Auto},
    {"auto.savefile", PlanReader::Auto},
    {"auto.inspection", PlanReader::Auto},
    {"auto.mediatransfer", PlanReader::Auto},
    {"auto.neweditor", PlanReader::Auto},
    {"auto.marker", PlanReader::Auto},
    {"auto.emptytest", PlanReader::Auto},
};

namespace detail {

// Does key (lower case) match pattern, "#" a number from 1, "*" a name?
inline bool KeyMatches(const QString& key, const char* pattern)
{
    const QString p = QString::fromLatin1(pattern);
    qsizetype k = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p.at(i);
        if (c == QLatin1Char('#') || c == QLatin1Char('*')) {
            const qsizetype start = k;
            while (k < key.size()
                   && (c == QLatin1Char('#') ? key.at(k).isDigit()
                                             : (key.at(k).isLetterOrNumber() || key.at(k) == QLatin1Char('_'))))
                ++k;
            if (k == start || (c == QLatin1Char('#') && key.mid(start, k - start).toLongLong() < 1))
                return false;
        } else {
            if (k >= key.size() || key.at(k) != c)
                return false;
            ++k;
        }
    }
    return k == key.size();
}

} // namespace detail

// The table's row for a key (any letter case), or nullptr for a key no
// reader knows.
inline const PlanEntry* FindPlanEntry(const QString& key)
{
    const QString lower = key.trimmed().toLower();
    for (const PlanEntry& entry : kPlanEntries) {
        if (detail::KeyMatches(lower, entry.key))
            return &entry;
    }
    return nullptr;
}

inline bool IsPlanEntryOf(const QString& key, PlanReader reader)
{
    const PlanEntry* entry = FindPlanEntry(key);
    return entry && entry->reader == reader;
}

} // namespace simplan
