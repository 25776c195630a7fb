#pragma once

#include "UiService.h"

#include <QList>

class QMessageBox;

// The service of an operator's station: real Qt dialogs. The only place in
// the program that opens a QMessageBox, QInputDialog, QFileDialog or
// QPrintDialog.
class QtUiService : public UiService
{
public:
    // Also appends every box shown to this file (TARVO_UI_LOG), in the
    // format of ScriptedUiService::LogLine.
    void SetLogFile(const QString& path) { m_logFile = path; }
    // Also prints "box open: <title>" on stdout once a message box waits
    // (TARVO_REPORT_SHOWN), so that a watching process knows.
    void SetReportOpenBoxes(bool report) { m_reportOpenBoxes = report; }

    int MsgBox(const QString& prompt, int buttons, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                     bool* cancelled = nullptr) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QString BrowseForFolder(const QString& prompt, const QString& initialDir) override;
    using UiService::ShowPrinter;
    bool ShowPrinter(PrintTarget& target, const PrintDialogRequest& request) override;
    int ShowModal(QDialog* dialog) override;
    void EndOpenBoxes() override;
    void CancelOpenBoxes() override;

protected:
    QString AskSaveFileName(const FileDialogRequest& request) override;

private:
    void Log(const QString& title, const QString& text, const QString& buttons, const QString& answer) const;

    QString m_logFile;
    bool m_reportOpenBoxes = false;
    struct OpenBox
    {
        QMessageBox* box;
        int buttons;
    };
    QList<OpenBox> m_openBoxes; // innermost last
    // Every dialog but the message boxes that waits: cancelled.
    static void RejectOpenDialogs();
};
