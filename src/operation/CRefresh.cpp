#include "CRefresh.h"

#include "CComboBoxData.h"
#include "engine/EngineCodes.h"

namespace {

constexpr qint32 kFlagMask = qint32(0xFFFFF000u);
constexpr qint32 kStepOfFlagged = 0x0FFF;

} // namespace

CRefresh::CRefresh(Host& window, CComboBoxData& options)
    : m_window(window),
      m_options(options)
{
}

void CRefresh::TabsContents(const QString& optionName, bool enable, bool& found)
{
    found = false;
    const int selected = m_window.SelectedTab();
    const int tabs = m_window.TabCount();
    for (int tab = 1; tab <= tabs; ++tab) {
        m_window.TabBeforeClick();
        m_window.SelectTab(tab);
        m_window.TabClick();
        bool tabFound = false;
        RefreshTabRows(optionName, enable, tabFound);
        if (tabFound)
            found = true;
        m_window.SaveCheckBoxValues();
    }
    m_window.SelectTab(selected);
    m_window.TabClick();
}

void CRefresh::RefreshTabRows(const QString& optionName, bool enable, bool& found)
{
    found = false;
    const int rows = m_window.RowCount();
    for (int row = 0; row < rows; ++row) {
        bool rowFound = false;
        if (!optionName.isEmpty()) {
            RefreshRowEntries(row, optionName, enable, rowFound);
            if (rowFound)
                found = true;
            continue;
        }
        // The execute variants are the engine's own: their row and the rows
        // after it are left as the tab was built.
        bool has = false;
        RowListsCode1025(row, has);
        if (has)
            return;
        RefreshRowEntries(row, QString(), true, rowFound);
        if (m_window.CheckValue(row) != CheckBoxValue::Forced && !rowFound)
            m_window.SetCheckValue(row, CheckBoxValue::Cleared);
        else
            found = true;
    }
}

void CRefresh::RefreshRowEntries(int row, const QString& optionName, bool enable, bool& found)
{
    found = false;
    // Every entry is examined: the last match stays selected, and in the
    // engine mode each test sees the commits of the entries before it.
    for (int entry = 0; entry < m_window.EntryCount(row); ++entry) {
        if (optionName.isEmpty()) {
            const qint32 code = m_window.EntryCode(row, entry);
            bool current = false;
            IsEntryCurrent(code, current);
            if (current) {
                m_window.CommitComboBoxItemData(code);
                found = true;
                SelectRowEntry(row, entry, enable);
            }
        } else if (m_window.EntryText(row, entry) == optionName) {
            found = true;
            SelectRowEntry(row, entry, enable);
        }
    }
}

void CRefresh::SelectRowEntry(int row, int listIndex, bool enable)
{
    m_window.SetListIndex(row, listIndex);
    if (m_window.CheckValue(row) != CheckBoxValue::Forced)
        m_window.SetCheckValue(row, enable ? CheckBoxValue::Ticked : CheckBoxValue::Cleared);
}

// An entry with encryption or decryption is current when its step is and the
// engine's encrypt (or decrypt) option is on; the plain step then is current
// too, and the flagged entry after it in the list stays selected. The bare
// "Encrypt" entry is encryption with verify and test off, as the commit
// leaves it.
void CRefresh::IsEntryCurrent(qint32 code, bool& current)
{
    const qint32 flag = code & kFlagMask;
    const qint32 step = code & kStepOfFlagged;
    if (flag == OperationCode::EncryptFlag) {
        const bool stepCurrent = step == 0 ? m_options.SupportsVerifyAndTestOff() : m_window.ItemDataSupported(step);
        current = stepCurrent && m_options.SupportsCombinedEncrypt();
        return;
    }
    if (flag == OperationCode::DecryptFlag) {
        const bool stepCurrent = step == 0 || m_window.ItemDataSupported(step);
        current = stepCurrent && m_options.SupportsDecrypt();
        return;
    }
    current = m_window.ItemDataSupported(code);
}

void CRefresh::RowListsCode1025(int row, bool& has) const
{
    has = false;
    for (int entry = 0; entry < m_window.EntryCount(row); ++entry) {
        if (m_window.EntryCode(row, entry) == kFirstExecuteVariant) {
            has = true;
            return;
        }
    }
}
