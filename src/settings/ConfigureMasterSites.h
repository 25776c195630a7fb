#pragma once

// The master-site choice of a concurrent programmer. The engine numbers its
// sites 1 to SiteCount; a module holds SiteSlotCount consecutive sites and
// the operator chooses a module by its number. The engine's master site is
// always the first site of the chosen module.

#include <QList>
#include <QString>

#include <optional>

class QXPgmrControl;

namespace configure {

// The sites of one module; an engine that reports fewer than one counts as
// one, so no division by zero and every site its own module.
int SlotsPerModule(QXPgmrControl& engine);

// The modules offered: those whose first site is enabled, in order. The
// module count is SiteCount / slotCount rounded to the nearest whole number
// (halves to even).
QList<int> OfferedModules(QXPgmrControl& engine);

// The module whose first site is the given site, as text; "" when the site
// is not the first of a module (no entry is then selected).
QString ModuleTextOfSite(int masterSite, int slotCount);

// The first site of a module.
inline int FirstSiteOf(int module, int slotCount) { return (module - 1) * slotCount + 1; }

// The number the first characters of a text form (leading blanks passed
// over, an optional sign, then digits); 0 when it does not begin with one.
// A number too large for a Long gives nothing: it is no module.
std::optional<qint64> LeadingNumber(const QString& text);

// What the operator typed, checked as the dialog checks it before anything
// is committed.
enum class MasterSiteCheck { Valid, NotAboveZero, NotOffered };
MasterSiteCheck CheckMasterSite(const QString& text, const QList<int>& offered);

} // namespace configure
