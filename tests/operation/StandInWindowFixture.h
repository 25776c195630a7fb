#pragma once

// The operation window over the simulated engine (QXPgmr.ocx) with the
// shipped algorithm database, as the station runs it: registered in the
// test's registry, its station kept in the test's own data folder.
// Helpers read the tabs and option rows back from the controls.

#include "OperationFixture.h"

#include "operation/TabStrip.h"
#include "platform/Companion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <ostream>

// Texts in test failures as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

class StandInWindowTest : public OperationWindowFixture
{
protected:
    // A fresh engine control with the database loaded, as the main window's
    // load makes it; it takes up the station it finds.
    bool AttachEngine() override
    {
        if (RegisterPlugin(QStringLiteral("QXPgmr.ocx")) != companion::S_OK)
            return false;
        station->AttachEngine(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        engine().StartupValue108(BinDir());
        return engine().LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) == 0;
    }

    QXPgmrControl& engine() { return main->QXProgrammer; }

    // Closes the window as the station's shut-down does and starts a new
    // one, with a new engine control, on the same registry and data folder.
    void Restart()
    {
        ASSERT_TRUE(window->Form_Unload());
        window->ReleaseProgrammerData(true);
        station->DestroyOperationWindow();
        ASSERT_TRUE(AttachEngine());
        window = &station->CreateOperationWindow();
        LoadAndShow();
    }

    // The window shown on the device, the engine's events going to the main
    // window as the station wires them.
    void ShowOnDevice(const QString& device)
    {
        engine().Control()->SetEventSink(main);
        LoadAndShow();
        ASSERT_TRUE(window->SelectDevice(device));
    }

    // Visits a tab as the operator's click does.
    void Visit(int tab) { window->SelectTab(tab); }

    QStringList Tabs() const
    {
        QStringList tabs;
        for (int i = 1; i <= window->tabOperation->Count(); ++i)
            tabs << window->tabOperation->Caption(i);
        return tabs;
    }

    // The rows shown on the selected tab, one line each:
    // "<row> [<check value>] <entries>", " off" after the value when the
    // check box is disabled, "{list off}" before the entries when the list
    // is; entries as "text=code" separated by "|", the selected one marked
    // with "*".
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < window->cboOperation.size(); ++row) {
            const QComboBox* combo = window->cboOperation[row];
            const QCheckBox* check = window->Check1[row];
            if (combo->isHidden())
                continue;
            QStringList entries;
            for (int j = 0; j < combo->count(); ++j) {
                entries << (j == combo->currentIndex() ? QStringLiteral("*") : QString()) + combo->itemText(j)
                        + QLatin1Char('=') + QString::number(combo->itemData(j).toInt());
            }
            rows << QStringLiteral("%1 [%2%3] %4%5")
                        .arg(row)
                        .arg(frmProgram::CheckValue(check))
                        .arg(check->isEnabled() ? QString() : QStringLiteral(" off"))
                        .arg(combo->isEnabled() ? QString() : QStringLiteral("{list off} "))
                        .arg(entries.join(QLatin1Char('|')));
        }
        return rows;
    }

    // The operator picks an entry of a row's list by its text.
    void Pick(int row, const QString& text)
    {
        QComboBox* combo = window->cboOperation[row];
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};
