#pragma once

// The rules by which the operator's choices in the option rows go into the
// job configuration's per-tab store (intUserListboxIndex, strUserListboxText,
// intUserCheckbox, by 1-based tab and row) and come back out.
//
// List indexes run from 0 to count - 1; -1 means no entry chosen. A row
// without a stored choice shows its list's default entry: the one the list
// builder selected ("Continuity & ID"), else the first.

#include <QString>
#include <QStringList>

#include <functional>

class ProgrammerClass;

namespace OptionStore {

// One option row as the screen shows it.
struct RowState
{
    int selectedIndex = -1;
    QString selectedText; // "" when nothing is selected
    qint16 checkValue = 0;
};

// Stores one row under the tab. A row 4 without a selection stores entry 0
// when the device is a Vexal device and nothing was chosen for it before.
// deviceIsVexal is asked only then.
void SaveRow(ProgrammerClass& data, int tab, int row, const RowState& state,
             const std::function<bool()>& deviceIsVexal);

// The store of a tab's fresh defaults after a device selection. A row whose
// stored choice the new list still offers (the same text) keeps that choice,
// at its new place; any other row stores what the screen shows, as SaveRow.
void SaveRowDefaults(ProgrammerClass& data, int tab, int row, const RowState& state, const QStringList& entries,
                     const std::function<bool()>& deviceIsVexal);

struct Restored
{
    int index = -1;        // the entry to select; -1 for an empty list
    qint16 checkValue = 1; // the check box value to set
};

// What a row of entryCount entries shows for the tab's stored values.
// currentSelection is the entry the builder selected (-1 none). A stored
// index beyond the list selects the last entry; none stored, the default.
// A stored check box value outside 0 to 2 restores as 1.
Restored RestoreRow(const ProgrammerClass& data, int tab, int row, int entryCount, int currentSelection);

} // namespace OptionStore
