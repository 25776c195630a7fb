#include "settings/ConfigureMasterSites.h"

#include "engine/QXPgmrControl.h"

#include <cmath>
#include <limits>

namespace configure {

int SlotsPerModule(QXPgmrControl& engine)
{
    return std::max<int>(1, engine.SiteSlotCount());
}

QList<int> OfferedModules(QXPgmrControl& engine)
{
    const int slotCount = SlotsPerModule(engine);
    const int sites = engine.SiteCount();
    // Rounded as the engine's own integer conversion rounds: halves to even.
    const int modules = int(std::nearbyint(double(sites) / double(slotCount)));
    QList<int> offered;
    for (int m = 1; m <= modules; ++m) {
        if (engine.SiteEnabled(qint32(FirstSiteOf(m, slotCount))))
            offered << m;
    }
    return offered;
}

QString ModuleTextOfSite(int masterSite, int slotCount)
{
    if (slotCount < 1)
        slotCount = 1;
    if (masterSite < 1 || (masterSite - 1) % slotCount != 0)
        return QString();
    return QString::number((masterSite - 1) / slotCount + 1);
}

std::optional<qint64> LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    return negative ? -value : value;
}

MasterSiteCheck CheckMasterSite(const QString& text, const QList<int>& offered)
{
    const std::optional<qint64> number = LeadingNumber(text);
    if (number && *number < 1)
        return MasterSiteCheck::NotAboveZero;
    if (!number || !offered.contains(int(*number)))
        return MasterSiteCheck::NotOffered;
    return MasterSiteCheck::Valid;
}

} // namespace configure
