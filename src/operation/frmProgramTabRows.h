#pragma once

// The operation window's tabs and option rows behind a plain class's host
// interface (any interface derived from TabRows); the host adds the rest.

#include "operation/TabStrip.h"
#include "operation/frmProgram.h"

#include <QCheckBox>
#include <QComboBox>

template <class Host>
class frmProgramTabRows : public Host
{
public:
    explicit frmProgramTabRows(frmProgram& window)
        : m_window(window)
    {
    }

    int TabCount() const override { return m_window.tabOperation->Count(); }
    int SelectedTab() const override { return m_window.tabOperation->SelectedIndex(); }
    QString TabCaption(int tab) const override { return m_window.tabOperation->Caption(tab); }
    void VisitTab(int tab) override { m_window.SelectTab(tab); }
    QStringList Entries(int row) const override
    {
        QStringList entries;
        if (const QComboBox* list = List(row))
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
        return entries;
    }
    int Selected(int row) const override
    {
        const QComboBox* list = List(row);
        return list ? list->currentIndex() : -1;
    }
    void Select(int row, int entry) override
    {
        if (QComboBox* list = List(row))
            list->setCurrentIndex(entry);
    }
    bool CheckVisible(int row) const override
    {
        const QCheckBox* box = Check(row);
        return box && !box->isHidden();
    }
    qint16 CheckValue(int row) const override
    {
        const QCheckBox* box = Check(row);
        return box ? frmProgram::CheckValue(box) : qint16(0);
    }
    void SetCheckValue(int row, qint16 value) override
    {
        if (QCheckBox* box = Check(row))
            frmProgram::SetCheckValue(box, value);
    }

protected:
    QComboBox* List(int row) const
    {
        return row >= 0 && row < m_window.cboOperation.size() ? m_window.cboOperation[row] : nullptr;
    }
    QCheckBox* Check(int row) const
    {
        return row >= 0 && row < m_window.Check1.size() ? m_window.Check1[row] : nullptr;
    }

    frmProgram& m_window;
};
