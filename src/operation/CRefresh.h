#pragma once

// Brings the option rows of every action tab of the operation window in line
// with settings changed from outside the window (automation):
//   - by option text: every list entry whose text equals the text exactly is
//     selected and its row's check box ticked or cleared as asked;
//   - from the engine (empty text): every entry the option table counts as
//     the engine's current setting is committed again and selected, its box
//     ticked; a row where none is current has its box cleared.
// A greyed check box is never changed. The refresh walks the tabs in the
// window (each tab's values stored as it goes) and ends on the tab that was
// selected before. It keeps nothing between calls; errors of the window or
// the engine pass to the caller.

#include <QString>
#include <QtGlobal>

class CComboBoxData;

class CRefresh
{
public:
    // What the refresh needs of the operation window.
    class Host
    {
    public:
        virtual ~Host() = default;
        // The tab strip: tabs 1 to TabCount(), the selected one, and
        // selecting one from code (no click handlers run).
        virtual int TabCount() const = 0;
        virtual int SelectedTab() const = 0;
        virtual void SelectTab(int index) = 0;
        // The window's tab handlers and its store of the shown tab's values.
        virtual void TabBeforeClick() = 0;
        virtual void TabClick() = 0;
        virtual void SaveCheckBoxValues() = 0;
        // Option rows 0 to RowCount() - 1.
        virtual int RowCount() = 0;
        virtual int EntryCount(int row) const = 0;
        virtual QString EntryText(int row, int entry) const = 0;
        virtual qint32 EntryCode(int row, int entry) const = 0;
        virtual void SetListIndex(int row, int entry) = 0;
        // 0 cleared, 1 ticked, 2 greyed.
        virtual qint16 CheckValue(int row) const = 0;
        virtual void SetCheckValue(int row, qint16 value) = 0;
        // The window's option table, by operation code.
        virtual bool ItemDataSupported(qint32 code) = 0;
        virtual void CommitComboBoxItemData(qint32 code) = 0;
    };

    // The options give the engine's encrypt and decrypt state for the
    // flagged codes.
    CRefresh(Host& window, CComboBoxData& options);

    // Refreshes all tabs; found is True when at least one row of one tab
    // counted as found.
    void TabsContents(const QString& optionName, bool enable, bool& found);

    // The first execute variant of the program tab: a row listing it ends
    // the engine-mode refresh of its tab.
    static constexpr qint32 kFirstExecuteVariant = 1025;

private:
    void RowListsCode1025(int row, bool& has) const;
    void RefreshTabRows(const QString& optionName, bool enable, bool& found);
    void RefreshRowEntries(int row, const QString& optionName, bool enable, bool& found);
    void SelectRowEntry(int row, int listIndex, bool enable);
    void IsEntryCurrent(qint32 code, bool& current);

    Host& m_window;
    CComboBoxData& m_options;
};
