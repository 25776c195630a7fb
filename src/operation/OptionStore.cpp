#include "OptionStore.h"

#include "settings/ProgrammerClass.h"

namespace OptionStore {

namespace {
constexpr int kVexalRow = 4;
} // namespace

void SaveRow(ProgrammerClass& data, int tab, int row, const RowState& state,
             const std::function<bool()>& deviceIsVexal)
{
    qint16 index = qint16(state.selectedIndex);
    // Row 4 of a Vexal device's Verify tab is still empty when the tab's
    // defaults are stored; its first entry is the one to come back.
    if (row == kVexalRow && state.selectedIndex < 0 && data.intUserListboxIndex(tab, row) < 0 && deviceIsVexal
        && deviceIsVexal())
        index = 0;
    data.intUserListboxIndex(tab, row, index);
    data.strUserListboxText(tab, row, state.selectedIndex >= 0 ? state.selectedText : QString());
    const qint16 check = state.checkValue;
    data.intUserCheckbox(tab, row, check >= 0 && check <= 2 ? check : qint16(0));
}

void SaveRowDefaults(ProgrammerClass& data, int tab, int row, const RowState& state, const QStringList& entries,
                     const std::function<bool()>& deviceIsVexal)
{
    const QString chosen = data.strUserListboxText(tab, row);
    const qsizetype found = chosen.isEmpty() ? -1 : entries.indexOf(chosen);
    if (found >= 0) {
        RowState kept = state;
        kept.selectedIndex = int(found);
        kept.selectedText = chosen;
        SaveRow(data, tab, row, kept, deviceIsVexal);
        return;
    }
    SaveRow(data, tab, row, state, deviceIsVexal);
}

Restored RestoreRow(const ProgrammerClass& data, int tab, int row, int entryCount, int currentSelection)
{
    Restored restored;
    const int stored = data.intUserListboxIndex(tab, row);
    if (entryCount <= 0)
        restored.index = -1;
    else if (stored >= entryCount)
        restored.index = entryCount - 1;
    else if (stored < 0)
        restored.index = currentSelection >= 0 && currentSelection < entryCount ? currentSelection : 0;
    else
        restored.index = stored;
    const qint16 check = data.intUserCheckbox(tab, row);
    restored.checkValue = check >= 0 && check < 3 ? check : qint16(1);
    return restored;
}

} // namespace OptionStore
