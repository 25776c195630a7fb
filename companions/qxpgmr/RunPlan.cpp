#include "RunPlan.h"

#include "simplan/PlanEntries.h"

#include <limits>

namespace {

bool ReadNumber(const QString& text, qint64& value)
{
    bool ok = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toLongLong(&ok, 16)
                                                                      : text.toLongLong(&ok, 10);
    return ok;
}

bool ReadCount(const QString& text, int& value, qint64 low)
{
    qint64 n = 0;
    if (!ReadNumber(text.trimmed(), n) || n < low || n > std::numeric_limits<int>::max())
        return false;
    value = int(n);
    return true;
}

// "CODE", "CODE@STEP" or "@STEP".
bool ReadFailure(const QString& text, PlannedFailure& failure)
{
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    const QString code = (at < 0 ? text : text.left(at)).trimmed();
    if (at >= 0) {
        failure.atStep = true;
        if (!runsteps::StepFromName(text.mid(at + 1).trimmed(), failure.step))
            return false;
    }
    if (code.isEmpty())
        return failure.atStep;
    qint64 n = 0;
    if (!ReadNumber(code, n) || n == 0 || n < std::numeric_limits<qint32>::min()
        || n > std::numeric_limits<qint32>::max())
        return false;
    failure.code = qint32(n);
    return true;
}

// "name.N" → N (from 1).
bool ReadIndexed(const QString& key, const QString& prefix, int& index)
{
    return key.startsWith(prefix) && ReadCount(key.mid(prefix.size()), index, 1);
}

} // namespace

const QStringList& RunPlan::FailableMembers()
{
    static const QStringList members{
        QStringLiteral("ExecuteDeviceCommand"), QStringLiteral("RunOperation"),  QStringLiteral("RunCustomAction"),
        QStringLiteral("RepeatSiteCommand"),    QStringLiteral("MarkSiteReady"), QStringLiteral("MarkSiteFinished"),
    };
    return members;
}

RunPlan RunPlan::From(const FaultPlan& faults, QStringList& unreadable, QStringList& unknown)
{
    RunPlan plan;
    for (auto it = faults.Entries().cbegin(); it != faults.Entries().cend(); ++it) {
        const QString& key = it.key();
        const QString value = it.value().trimmed();
        int index = 0;
        bool ok = false;
        // The other entries are their readers' (the engine's other steps,
        // the handlers); one no reader knows plans nothing.
        const simplan::PlanEntry* entry = simplan::FindPlanEntry(key);
        if (!entry) {
            unknown.append(key + QLatin1Char('=') + it.value());
            continue;
        }
        if (entry->reader == simplan::PlanReader::Engine) {
            // A code (or jobslow's milliseconds), read where it is used.
            qint64 n = 0;
            ok = ReadNumber(value, n);
        } else if (entry->reader != simplan::PlanReader::EngineRun) {
            continue;
        } else if (ReadIndexed(key, QStringLiteral("device."), index)) {
            PlannedFailure failure;
            ok = ReadFailure(value, failure);
            if (ok)
                plan.devices.insert(index, failure);
        } else if (ReadIndexed(key, QStringLiteral("site."), index)) {
            PlannedFailure failure;
            ok = ReadFailure(value, failure);
            if (ok)
                plan.sites.insert(index, failure);
        } else if (key == QLatin1String("engineerror")) {
            ok = ReadCount(value, plan.engineErrorDevice, 1);
        } else if (key == QLatin1String("callfail")) {
            const QStringList parts = value.split(QLatin1Char(':'));
            for (const QString& member : FailableMembers()) {
                if (member.compare(parts.first().trimmed(), Qt::CaseInsensitive) == 0)
                    plan.failingMember = member;
            }
            ok = !plan.failingMember.isEmpty() && parts.size() <= 2
                && (parts.size() == 1 || ReadCount(parts.at(1), plan.failingCall, 1));
            if (!ok)
                plan.failingMember.clear();
        } else if (key == QLatin1String("delay")) {
            ok = ReadCount(value, plan.stepDelayMs, 0);
            if (!ok)
                plan.stepDelayMs = kDefaultStepDelayMs;
        } else if (key == QLatin1String("delay.device")) {
            ok = ReadCount(value, plan.deviceDelayMs, 0);
        } else if (ReadIndexed(key, QStringLiteral("delay.site."), index)) {
            int ms = 0;
            ok = ReadCount(value, ms, 0);
            if (ok)
                plan.siteDelayMs.insert(index, ms);
        } else if (key == QLatin1String("start")) {
            const QStringList parts = value.split(QLatin1Char(':'));
            int ms = 0;
            int count = 1;
            ok = parts.size() <= 2 && ReadCount(parts.first(), ms, 0)
                && (parts.size() == 1 || ReadCount(parts.at(1), count, 1));
            if (ok) {
                plan.startKeyMs = ms;
                plan.startKeyCount = count;
            }
        } else if (key == QLatin1String("module")) {
            ok = ReadCount(value, plan.moduleChangeMs, 0);
            if (!ok)
                plan.moduleChangeMs = -1;
        }
        if (!ok)
            unreadable.append(key + QLatin1Char('=') + it.value());
    }
    return plan;
}
