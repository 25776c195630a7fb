// The operation window's option choices by text: the window's side of
// OptionSelections (its tabs and option rows), and the members that forward
// to it.

#include "operation/frmProgram.h"

#include "OptionSelections.h"
#include "TabStrip.h"
#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

class WindowOptions : public OptionSelections::Host
{
public:
    explicit WindowOptions(frmProgram& window)
        : m_window(window)
    {
    }

    int TabCount() const override { return m_window.tabOperation->Count(); }
    int SelectedTab() const override { return m_window.tabOperation->SelectedIndex(); }
    QString TabCaption(int tab) const override { return m_window.tabOperation->Caption(tab); }
    qint32 TabAction(int tab) const override { return m_window.WhichAction(qint16(tab)); }
    void VisitTab(int tab) override { m_window.SelectTab(tab); }

    QStringList Entries(int row) const override
    {
        QStringList entries;
        if (const QComboBox* list = List(row)) {
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
        }
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
    qint32 SelectedCode(int row) const override
    {
        const QComboBox* list = List(row);
        return list && list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
    }
    bool ListVisible(int row) const override
    {
        const QComboBox* list = List(row);
        return list && !list->isHidden();
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
    void EnableRow(int row, bool enable) override
    {
        if (QCheckBox* box = Check(row))
            box->setEnabled(enable);
        if (QComboBox* list = List(row))
            list->setEnabled(enable);
    }
    QString DeviceName() override
    {
        if (!gMainForm)
            return {};
        return enginecall::Ask([] { return gMainForm->QXProgrammer.DeviceName(); }, QString());
    }
    void Warn(const QString& text) override { Ui().MsgBox(text, vb::vbExclamation, appinfo::App()); }

private:
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

} // namespace

OptionSelections& frmProgram::OptionText()
{
    if (!m_optionText)
        m_optionText = std::make_shared<OptionSelections>(std::make_unique<WindowOptions>(*this));
    return *m_optionText;
}

void frmProgram::SaveCurrentComboBoxStrings()
{
    OptionText().SaveCurrentComboBoxStrings();
}

void frmProgram::CheckNewComboBoxStringsAgainstOld()
{
    OptionText().CheckNewComboBoxStringsAgainstOld();
}

bool frmProgram::AnyComboBoxesAreVisible() const
{
    return const_cast<frmProgram*>(this)->OptionText().AnyComboBoxesAreVisible();
}

void frmProgram::SetOperationSelection(const QVariant& nWhichBox, const QVariant& strSelection)
{
    bool ok = false;
    const int row = nWhichBox.toInt(&ok);
    if (ok)
        OptionText().SetOperationSelection(row, strSelection.toString());
}

void frmProgram::SetOperationOptionState(const QString& oOperationName, const QString& oOptionName,
                                         qint16 iCheckBoxState)
{
    OptionText().SetOperationOptionState(oOperationName, oOptionName, iCheckBoxState);
}

void frmProgram::ApplyVerifyRowRule()
{
    OptionText().ApplyVerifyRowRule();
}
