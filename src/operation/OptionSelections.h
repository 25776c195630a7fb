#pragma once

// The operator's choices in the option rows of the action tabs, by the
// entries' texts rather than their positions: the tabs' lists are rebuilt
// when the device or the programmer model changes and entries may move.
//
// - SaveCurrentComboBoxStrings / CheckNewComboBoxStringsAgainstOld remember
//   each row's selected text before a programmer-model change and select it
//   again afterwards, warning once when a choice no longer exists. The texts
//   are kept by the tab's action, so a tab that moved (or a tab that came or
//   went) does not mix up the rows of two actions.
// - SetOperationSelection selects a row's entry by its exact text.
// - SetOperationOptionState selects an option by text on the tab of an
//   operation and sets its check box; an option found only on a later tab
//   changes nothing, and the tab shown afterwards shows its own rows.
// - ApplyVerifyRowRule ties rows 3 and 4 of the verify tab together.
//
// The window is reached through Host; a visit of a tab is the operator's
// click on it (rows saved, tab selected, rows rebuilt for it).

#include "operation/TabRows.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class OptionSelections
{
public:
    static constexpr int kRows = 17;

    class Host : public TabRows
    {
    public:
        virtual qint32 TabAction(int tab) const = 0;
        virtual qint32 SelectedCode(int row) const = 0;
        virtual bool ListVisible(int row) const = 0;
        // The row's check box and list together.
        virtual void EnableRow(int row, bool enable) = 0;
        virtual QString DeviceName() = 0;
        // An exclamation box with the application's title.
        virtual void Warn(const QString& text) = 0;
    };

    explicit OptionSelections(std::unique_ptr<Host> host)
        : m_host(std::move(host))
    {
    }

    void SaveCurrentComboBoxStrings();
    void CheckNewComboBoxStringsAgainstOld();
    bool AnyComboBoxesAreVisible() const;
    void SetOperationSelection(int nWhichBox, const QString& strSelection);
    void SetOperationOptionState(const QString& oOperationName, const QString& oOptionName, qint16 iCheckBoxState);
    void ApplyVerifyRowRule();

    // A tab caption's letters only ("&Program" gives "Program").
    static QString LettersOnly(const QString& text);

private:
    // Searches from the start tab on, from row 0, for a visible row with an
    // entry of that text (case ignored); selects nothing. The tab visited
    // last stays selected.
    bool FindOperationOption(const QString& text, int startTab, int& tab, int& row, int& entry);

    std::unique_ptr<Host> m_host;
    // Per tab action, each row's selected text ("" for an empty list).
    QHash<qint32, QStringList> m_saved;
};
