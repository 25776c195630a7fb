#include "OptionSelections.h"

#include "operation/ActionTabs.h"
#include "engine/EngineCodes.h"

namespace {
QString SelectedText(const OptionSelections::Host& host, int row)
{
    const QStringList entries = host.Entries(row);
    const int selected = host.Selected(row);
    return selected >= 0 && selected < entries.size() ? entries.at(selected) : QString();
}
} // namespace

QString OptionSelections::LettersOnly(const QString& text)
{
    QString letters;
    for (const QChar c : text) {
        if (c.isLetter())
            letters += c;
    }
    return letters;
}

bool OptionSelections::AnyComboBoxesAreVisible() const
{
    for (int row = 0; row < kRows; ++row) {
        if (m_host->ListVisible(row))
            return true;
    }
    return false;
}

void OptionSelections::SaveCurrentComboBoxStrings()
{
    const int remembered = m_host->SelectedTab();
    m_saved.clear();
    for (int tab = 1; tab <= m_host->TabCount(); ++tab) {
        m_host->VisitTab(tab);
        QStringList texts;
        for (int row = 0; row < kRows; ++row)
            texts << (m_host->Entries(row).isEmpty() ? QString() : SelectedText(*m_host, row));
        m_saved.insert(m_host->TabAction(tab), texts);
    }
    if (remembered > 0)
        m_host->VisitTab(remembered);
}

void OptionSelections::CheckNewComboBoxStringsAgainstOld()
{
    const int remembered = m_host->SelectedTab();
    bool changed = false;
    for (int tab = 1; tab <= m_host->TabCount(); ++tab) {
        m_host->VisitTab(tab);
        // A tab of an action that was not there before holds no choice of
        // the operator's to keep.
        const auto saved = m_saved.constFind(m_host->TabAction(tab));
        if (saved == m_saved.constEnd() || !AnyComboBoxesAreVisible())
            continue;
        for (int row = 0; row < kRows; ++row) {
            const QString old = saved->value(row);
            if (SelectedText(*m_host, row) == old)
                continue;
            const QStringList entries = m_host->Entries(row);
            const int same = old.isEmpty() ? -1 : int(entries.indexOf(old));
            if (same >= 0) {
                m_host->Select(row, same);
                continue;
            }
            changed = true;
            if (!entries.isEmpty())
                m_host->Select(row, 0);
        }
    }
    if (changed) {
        m_host->Warn(QStringLiteral("Some of the device options selected for device") + QLatin1Char('"')
                     + m_host->DeviceName() + QLatin1Char('"')
                     + QStringLiteral(" are not supported on this programmer model. Please review the option settings "
                                      "for ")
                     + QStringLiteral("this device before performing any operations."));
    }
    if (remembered > 0)
        m_host->VisitTab(remembered);
}

void OptionSelections::SetOperationSelection(int nWhichBox, const QString& strSelection)
{
    if (nWhichBox < 0 || nWhichBox >= kRows)
        return;
    const int entry = int(m_host->Entries(nWhichBox).indexOf(strSelection));
    if (entry >= 0)
        m_host->Select(nWhichBox, entry);
}

bool OptionSelections::FindOperationOption(const QString& text, int startTab, int& tab, int& row, int& entry)
{
    // Nothing to search while the rows shown hold no operations (row 0
    // empty: no device, or a window that has not filled its lists yet).
    if (startTab < 1 || startTab > m_host->TabCount() || m_host->Entries(0).isEmpty())
        return false;
    const QString wanted = text.toUpper();
    for (int t = startTab; t <= m_host->TabCount(); ++t) {
        m_host->VisitTab(t);
        for (int r = 0; r < kRows; ++r) {
            if (!m_host->CheckVisible(r))
                continue;
            const QStringList entries = m_host->Entries(r);
            for (int e = 0; e < entries.size(); ++e) {
                if (entries.at(e).toUpper() == wanted) {
                    tab = t;
                    row = r;
                    entry = e;
                    return true;
                }
            }
        }
    }
    return false;
}

void OptionSelections::SetOperationOptionState(const QString& oOperationName, const QString& oOptionName,
                                               qint16 iCheckBoxState)
{
    const int selected = m_host->SelectedTab();
    int target = 0;
    for (int tab = 1; tab <= m_host->TabCount(); ++tab) {
        if (LettersOnly(m_host->TabCaption(tab)).toUpper() == oOperationName.toUpper())
            target = tab;
    }
    if (target == 0)
        return;
    int tab = 0;
    int row = 0;
    int entry = 0;
    // Only the operation's own tab is changed: an option of that text on a
    // later tab belongs to another operation.
    if (FindOperationOption(oOptionName, target, tab, row, entry) && tab == target) {
        m_host->Select(row, entry);
        const qint16 value = m_host->CheckValue(row);
        if (value == CheckBoxValue::Cleared || value == CheckBoxValue::Ticked)
            m_host->SetCheckValue(row, iCheckBoxState);
    }
    // Back on the tab the operator had, showing that tab's rows.
    if (selected > 0)
        m_host->VisitTab(selected);
}

void OptionSelections::ApplyVerifyRowRule()
{
    constexpr int kCompareRow = 3;
    constexpr int kDependentRow = 4;
    if (m_host->Selected(kCompareRow) < 0)
        return;
    if (m_host->TabAction(m_host->SelectedTab()) != ActionTabs::kVerify
        || m_host->CheckValue(kCompareRow) == CheckBoxValue::Cleared)
        return;
    const qint32 code = m_host->SelectedCode(kCompareRow);
    if (code == OperationCode::VerifyByCompare || code == OperationCode::VerifyBySum) {
        m_host->SetCheckValue(kDependentRow, CheckBoxValue::Cleared);
        m_host->EnableRow(kDependentRow, false);
    } else {
        m_host->EnableRow(kDependentRow, true);
    }
}
