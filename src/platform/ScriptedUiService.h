#pragma once

#include "UiService.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// Answers every box and dialog from a script instead of showing it.
//
// Script entries are consumed in order, one per box: the answer number for a
// message box (1 OK, 2 Cancel, 6 Yes, 7 No...), the text for an input box or a
// file or folder dialog, "1" (accept) or "2" (reject) for a modal window.
// A print dialog takes a path ending ".pdf" (print to that PDF file), "2",
// "Cancel" or nothing (cancelled), or a printer's name ("1": the default
// printer); with text selected, the selection is printed.
// What happens when a box finds no entry left depends on the mode: a station
// run with a script takes the default button (Cancel for a dialog); a test
// fails at once, naming the prompt.
class ScriptedUiService : public UiService
{
public:
    enum class WhenExhausted { DefaultAnswer, Fail };

    explicit ScriptedUiService(QStringList answers = {}, WhenExhausted mode = WhenExhausted::Fail);

    // Appends answers to the script.
    void Answer(const QString& answer);
    void Answer(int answer) { Answer(QString::number(answer)); }
    // A modal window is handed to the next of these handlers (before the
    // script is consulted), so a test can fill and confirm it.
    void OnModal(std::function<int(QDialog*)> handler);
    // Called with a description of the box when the script has no answer in
    // Fail mode. Tests install a handler that fails the test.
    void SetFailureHandler(std::function<void(const QString&)> handler);
    // Every box shown, one line each: title, text, buttons and answer
    // separated by tabs (CR and LF inside the text written as \r and \n).
    const QStringList& Shown() const { return m_shown; }
    // Also appends each of those lines to this file (TARVO_UI_LOG).
    void SetLogFile(const QString& path) { m_logFile = path; }
    int Remaining() const { return int(m_answers.size()); }

    int MsgBox(const QString& prompt, int buttons, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                     bool* cancelled = nullptr) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QString BrowseForFolder(const QString& prompt, const QString& initialDir) override;
    using UiService::ShowPrinter;
    bool ShowPrinter(PrintTarget& target, const PrintDialogRequest& request) override;
    int ShowModal(QDialog* dialog) override;

    // One log line for a box (exposed for the Qt service's logging too).
    static QString LogLine(const QString& title, const QString& text, const QString& buttons, const QString& answer);
    // Appends one such line to a log file (nothing when path is empty).
    static void AppendLogLine(const QString& path, const QString& line);

protected:
    QString AskSaveFileName(const FileDialogRequest& request) override;

private:
    bool Next(const QString& what, QString* answer);
    void Record(const QString& title, const QString& text, const QString& buttons, const QString& answer);

    std::deque<QString> m_answers;
    std::deque<std::function<int(QDialog*)>> m_modalHandlers;
    WhenExhausted m_mode;
    std::function<void(const QString&)> m_onFailure;
    QStringList m_shown;
    QString m_logFile;
};
