#pragma once

// The action tabs and their option rows as the plain classes that read and
// set them by text see them: tabs 1-based, rows 0-based.

#include <QString>
#include <QStringList>

class TabRows
{
public:
    virtual ~TabRows() = default;
    virtual int TabCount() const = 0;
    // 1-based; 0 when none is selected.
    virtual int SelectedTab() const = 0;
    virtual QString TabCaption(int tab) const = 0;
    // Selects the tab as a click would: the leaving tab's rows are kept,
    // the entered tab's rows rebuilt. Nothing for a tab out of range.
    virtual void VisitTab(int tab) = 0;
    // The row's list entries as they are shown now.
    virtual QStringList Entries(int row) const = 0;
    // The selected entry, -1 for none.
    virtual int Selected(int row) const = 0;
    virtual void Select(int row, int entry) = 0;
    virtual bool CheckVisible(int row) const = 0;
    // 0 cleared, 1 ticked, 2 greyed.
    virtual qint16 CheckValue(int row) const = 0;
    virtual void SetCheckValue(int row, qint16 value) = 0;
};
