#pragma once

// The operator's choices in the option rows of the standard action tabs,
// kept between runs in the settings section "Configuration": per action and
// row, prefix + "CHECKBOX_" + (row + 1) holds the check box value and
// prefix + "LISTBOX_" + (row + 1) the index of the chosen list entry
// ("PROGRAM_CHECKBOX_1" ... "ERASE_LISTBOX_17"). Custom-action tabs and the
// "N/A" tab are not kept.

#include <QString>

#include <functional>

class ProgrammerClass;

namespace ActionSettings {

// The value-name prefix of an action ("PROGRAM_" ... "ERASE_"); "" for an
// action that is not kept (0, custom actions).
QString Prefix(qint32 action);
// "PROGRAM_CHECKBOX_1" for (1, "CHECKBOX_", 0).
QString ValueName(qint32 action, const QString& kind, int row);

// A check box with nothing stored loads ticked; a list with nothing stored
// loads as "no entry chosen" (-1), so that it shows its default entry.
constexpr qint16 kDefaultCheckbox = 1;
constexpr qint16 kDefaultListIndex = -1;

// The action each tab (1 to the tab total - 1) carries.
using TabAction = std::function<qint32(int tab)>;

// Reads the stored values of every kept tab into the per-tab store.
void Load(ProgrammerClass& data, const TabAction& whichAction);
// Writes them back, each value on its own: one the store refuses does not
// stop the others, and it stays in the per-tab store for the next load. True
// when every value was written; otherwise one log line says how many were not.
bool Save(ProgrammerClass& data, const TabAction& whichAction);

} // namespace ActionSettings
