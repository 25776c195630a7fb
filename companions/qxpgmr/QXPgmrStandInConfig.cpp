// The simulated engine's station configuration values, which the
// configuration dialog compares to decide whether the station's Sealbook mode
// follows the engine:
//
//   ConfigureValue132   the configuration value of the station as it stands:
//                       its model's base value plus the module of the master
//                       site less one
//   ModelValue315(i)    the value the station would have with module i + 1 as
//                       master module: the model's base value plus i; 0 for a
//                       module the model does not have
//
// So choosing another model or another master module changes the value, and
// keeping both keeps it.

#include "QXPgmrStandIn.h"

#include <algorithm>
#include <iterator>

namespace {

// Base configuration value per programmer model, in model-list order; a
// model beyond the table (a test database) has 0.
constexpr qint32 kConfigurationBase[] = {
    0x0100, 0x0110, 0x0120, 0x0130, 0x0140, // RA-210 .. RC-420
    0x0150, 0x0160, 0x0170, 0x0180, 0x0190, // RD-510 .. RT-900/Test
    0x0200, 0x0210, 0x0220,                 // RG gang programmers
    0x0300, 0x0310,                         // RH cluster programmers
    0x0400, 0x0410, 0x0420,                 // RK concurrent programmers
    0x0500,                                 // RM-4320/32
    0x0600, 0x0610, 0x0620,                 // Marbrix family
    0x0700, 0x0710, 0x0720,                 // Vexal models
};

} // namespace

qint32 QXPgmrStandIn::configurationValue(int module) const
{
    const int slotCount = std::max(1, model().sitesPerGroup);
    const int modules = (model().siteCount + slotCount - 1) / slotCount;
    if (module < 1 || module > modules)
        return 0;
    const qint32 base = m_modelIndex >= 0 && m_modelIndex < int(std::size(kConfigurationBase))
                            ? kConfigurationBase[m_modelIndex]
                            : 0;
    return base + (module - 1);
}

void QXPgmrStandIn::bindConfig()
{
    Answer(QXPgmrId::ConfigureValue132, [this](InvokeKind, QVariantList&) {
        const int slotCount = std::max(1, model().sitesPerGroup);
        return QVariant(configurationValue((m_masterSite - 1) / slotCount + 1));
    });
    Answer(QXPgmrId::ModelValue315, [this](InvokeKind, QVariantList& args) {
        return QVariant(configurationValue(Arg(args, 0, ValueKind::Int).toInt() + 1));
    });
}
