// The fault plan (faultplan.ini in the engine's folder) as the engine's runs
// and both handlers read it.

#include "FuzzSupport.h"

#include "FaultPlan.h"
#include "RunPlan.h"
#include "simplan/HandlerPlanEntries.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = [] {
        fuzz::App();
        // The handlers find the plan in the engine's folder under the data home.
        qputenv("XDG_DATA_HOME", fuzz::Folder().path().toUtf8());
        qunsetenv("TARVO_ENGINE_FAULTS");
        return QDir().mkpath(fuzz::Folder().filePath(QStringLiteral("Corvane/QXEngine")));
    }();
    (void)once;
    const QString folder = fuzz::Folder().filePath(QStringLiteral("Corvane/QXEngine"));
    fuzz::WriteInput(QStringLiteral("Corvane/QXEngine/faultplan.ini"), data, size);
    const FaultPlan plan = FaultPlan::Read(folder);
    for (const char* step : {"load", "init", "extra", "quiet", "dialog.ShowDeviceInfo"})
        plan.Code(QString::fromLatin1(step));
    QStringList unreadable, unknown;
    RunPlan::From(plan, unreadable, unknown);
    for (const char* prefix : {"manual.", "h950."}) {
        const QHash<QString, QString> entries = handlerplan::Entries(QString::fromLatin1(prefix));
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            QSet<int> sites;
            handlerplan::ReadSites(it.value(), sites);
        }
    }
    handlerplan::StationSiteCount();
    return 0;
}
