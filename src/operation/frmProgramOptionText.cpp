// The operation window's option choices by text: the window's side of
// OptionSelections (its tabs and option rows), and the members that forward
// to it.

#include "operation/frmProgram.h"

#include "OptionSelections.h"
#include "TabStrip.h"
#include "frmProgramTabRows.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/Station.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

class WindowOptions : public frmProgramTabRows<OptionSelections::Host>
{
public:
    explicit WindowOptions(frmProgram& window)
        : frmProgramTabRows(window)
    {
    }

    qint32 TabAction(int tab) const override { return m_window.WhichAction(qint16(tab)); }
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
    void EnableRow(int row, bool enable) override
    {
        if (QCheckBox* box = Check(row))
            box->setEnabled(enable);
        if (QComboBox* list = List(row))
            list->setEnabled(enable);
    }
    QString DeviceName() override
    {
        QXPgmrControl& engine = m_window.station().QXProgrammer;
        return enginecall::Ask([&] { return engine.DeviceName(); }, QString());
    }
    void Warn(const QString& text) override { Ui().MsgBox(text, vb::vbExclamation, appinfo::App()); }
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
