#include "ManualHdlPlan.h"

#include "simplan/HandlerPlanEntries.h"
#include "simplan/PlanEntries.h"

#include <cstdio>

using handlerplan::ReadCount;
using handlerplan::ReadNumber;

ManualHdlPlan ManualHdlPlan::Read()
{
    ManualHdlPlan plan;
    plan.sites = handlerplan::StationSiteCount();

    const QHash<QString, QString> entries = handlerplan::Entries(QStringLiteral("manual."));
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString& key = it.key();
        const QString& value = it.value();
        bool ok = false;
        // An entry no reader knows is the engine's to tell.
        if (!simplan::IsPlanEntryOf(QStringLiteral("manual.") + key, simplan::PlanReader::Manual))
            continue;
        if (key == QLatin1String("sites")) {
            ok = ReadCount(value, plan.sites, 1);
        } else if (key == QLatin1String("empty")) {
            ok = handlerplan::ReadSites(value, plan.empty);
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
