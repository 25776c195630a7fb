#include "H950HdlrPlan.h"

#include "simplan/HandlerPlanEntries.h"
#include "simplan/PlanEntries.h"

#include <cstdio>

using handlerplan::ReadCount;
using handlerplan::ReadNumber;

namespace {

// The entries whose value is a text taken as it is.
QString* TextEntry(H950HdlrPlan& plan, const QString& key)
{
    const struct
    {
        const char* key;
        QString H950HdlrPlan::*field;
    } texts[] = {{"serial", &H950HdlrPlan::serial},
                 {"label", &H950HdlrPlan::labelFile},
                 {"loadfile", &H950HdlrPlan::loadFile},
                 {"savefile", &H950HdlrPlan::saveFile},
                 {"inspection", &H950HdlrPlan::inspectionFile}};
    for (const auto& t : texts) {
        if (key == QLatin1String(t.key))
            return &(plan.*t.field);
    }
    return nullptr;
}

} // namespace

H950HdlrPlan H950HdlrPlan::Read()
{
    H950HdlrPlan plan;
    plan.sites = handlerplan::StationSiteCount();

    const QHash<QString, QString> entries = handlerplan::Entries(QStringLiteral("auto."));
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString& key = it.key();
        const QString& value = it.value();
        bool ok = false;
        // An entry no reader knows is the engine's to tell.
        if (!simplan::IsPlanEntryOf(QStringLiteral("auto.") + key, simplan::PlanReader::Auto))
            continue;
        if (key == QLatin1String("sites")) {
            ok = ReadCount(value, plan.sites, 1);
        } else if (key == QLatin1String("empty")) {
            ok = handlerplan::ReadSites(value, plan.empty);
        } else if (key == QLatin1String("jam")) {
            ok = ReadCount(value, plan.jamAt, 1);
        } else if (key == QLatin1String("result")) {
            qint64 n = 0;
            ok = ReadNumber(value, n);
            if (ok)
                plan.result = qint32(n);
        } else if (key == QLatin1String("speed")) {
            ok = ReadCount(value, plan.stepMs, 0);
        } else if (key == QLatin1String("quantity")) {
            ok = ReadCount(value, plan.quantity, 1);
        } else if (key == QLatin1String("stop")) {
            ok = ReadCount(value, plan.stopAt, 1);
        } else if (key == QLatin1String("labelmove")) {
            ok = ReadCount(value, plan.labelMove, 0) && plan.labelMove <= 3;
            if (!ok)
                plan.labelMove = -1;
        } else if (key == QLatin1String("mediatransfer")) {
            int on = 0;
            ok = ReadCount(value, on, 0) && on <= 1;
            plan.mediaTransfer = ok && on == 1;
        } else if (key == QLatin1String("neweditor")) {
            int on = 0;
            ok = ReadCount(value, on, 0) && on <= 1;
            if (ok)
                plan.newerEditor = on == 1;
        } else if (key == QLatin1String("marker")) {
            plan.markerLines = value.isEmpty() ? QStringList() : value.split(QLatin1Char('|'));
            ok = true;
        } else if (key == QLatin1String("emptytest")) {
            int every = 0;
            ok = ReadCount(value, every, 0);
            if (ok)
                plan.emptySocketTest = every;
        } else if (QString* text = TextEntry(plan, key)) {
            *text = value;
            ok = !value.isEmpty();
        }
        if (!ok)
            std::fprintf(stderr, "H950Hdlr: the fault plan entry \"auto.%s=%s\" cannot be read; it plans nothing.\n",
                         qPrintable(key), qPrintable(value));
    }
    return plan;
}
