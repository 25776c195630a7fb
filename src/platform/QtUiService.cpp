#include "QtUiService.h"

#include "PrintTarget.h"
#include "ScriptedUiService.h"
#include "StationShutdown.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

struct ButtonOfAnswer
{
    int answer;
    QMessageBox::StandardButton button;
};
constexpr ButtonOfAnswer kButtons[] = {
    {vb::vbOK, QMessageBox::Ok},       {vb::vbCancel, QMessageBox::Cancel}, {vb::vbAbort, QMessageBox::Abort},
    {vb::vbRetry, QMessageBox::Retry}, {vb::vbIgnore, QMessageBox::Ignore}, {vb::vbYes, QMessageBox::Yes},
    {vb::vbNo, QMessageBox::No},
};

QMessageBox::StandardButton ButtonFor(int answer)
{
    for (const ButtonOfAnswer& b : kButtons)
        if (b.answer == answer)
            return b.button;
    return QMessageBox::Ok;
}

int AnswerFor(QMessageBox::StandardButton button)
{
    for (const ButtonOfAnswer& b : kButtons)
        if (b.button == button)
            return b.answer;
    return 0;
}

QMessageBox::Icon IconFor(int buttons)
{
    switch (buttons & 0x70) {
    case vb::vbCritical: return QMessageBox::Critical;
    case vb::vbQuestion: return QMessageBox::Question;
    case vb::vbExclamation: return QMessageBox::Warning;
    case vb::vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// Boxes belong to the window the operator is working in.
QWidget* Owner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QString InitialPath(const FileDialogRequest& request)
{
    if (request.fileName.isEmpty())
        return request.initialDir;
    return request.initialDir.isEmpty() ? request.fileName : QDir(request.initialDir).filePath(request.fileName);
}

} // namespace

void QtUiService::Log(const QString& title, const QString& text, const QString& buttons, const QString& answer) const
{
    ScriptedUiService::AppendLogLine(m_logFile, ScriptedUiService::LogLine(title, text, buttons, answer));
}

int QtUiService::MsgBox(const QString& prompt, int buttons, const QString& title)
{
    if (shutdown::Requested()) {
        const int answer = vb::DefaultAnswer(buttons);
        Log(title, prompt, QString::number(buttons), QString::number(answer));
        return answer;
    }
    QMessageBox box(IconFor(buttons), title, prompt, QMessageBox::NoButton, Owner());
    const QList<int> answers = vb::ButtonAnswers(buttons);
    for (int answer : answers)
        box.addButton(ButtonFor(answer));
    box.setDefaultButton(ButtonFor(vb::DefaultAnswer(buttons)));
    if (m_reportOpenBoxes) {
        QTimer::singleShot(0, &box, [title] {
            std::printf("box open: %s\n", qPrintable(title));
            std::fflush(stdout);
        });
    }
    m_openBoxes.append({&box, buttons});
    {
        const shutdown::NestedLoop waiting;
        box.exec();
    }
    m_openBoxes.removeIf([&](const OpenBox& open) { return open.box == &box; });
    int answer = AnswerFor(box.standardButton(box.clickedButton()));
    if (!answers.contains(answer)) // closed without a button
        answer = answers.contains(vb::vbCancel) ? vb::vbCancel : vb::DefaultAnswer(buttons);
    Log(title, prompt, QString::number(buttons), QString::number(answer));
    return answer;
}

QString QtUiService::InputBox(const QString& prompt, const QString& title, const QString& defaultText, bool* cancelled)
{
    if (shutdown::Requested()) {
        if (cancelled)
            *cancelled = true;
        return {};
    }
    QInputDialog dialog(Owner());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    bool ok = false;
    {
        const shutdown::NestedLoop waiting;
        ok = dialog.exec() == QDialog::Accepted;
    }
    if (cancelled)
        *cancelled = !ok;
    const QString answer = ok ? dialog.textValue() : QString();
    Log(title, prompt, QStringLiteral("InputBox"), answer);
    return answer;
}

QString QtUiService::GetOpenFileName(const FileDialogRequest& request)
{
    if (shutdown::Requested())
        return {};
    const shutdown::NestedLoop waiting;
    const QString answer = QFileDialog::getOpenFileName(Owner(), request.title, InitialPath(request), request.filter);
    Log(request.title, InitialPath(request), QStringLiteral("Open"), answer);
    return answer;
}

QString QtUiService::AskSaveFileName(const FileDialogRequest& request)
{
    if (shutdown::Requested())
        return {};
    const shutdown::NestedLoop waiting;
    QFileDialog dialog(Owner(), request.title, InitialPath(request), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the type's extension itself, so that it asks about
    // replacing the file that will really be written.
    dialog.setDefaultSuffix(request.defaultExtension);
    const QString answer = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    Log(request.title, InitialPath(request), QStringLiteral("Save"), answer);
    return answer;
}

QString QtUiService::BrowseForFolder(const QString& prompt, const QString& initialDir)
{
    if (shutdown::Requested())
        return {};
    const shutdown::NestedLoop waiting;
    const QString answer = QFileDialog::getExistingDirectory(Owner(), prompt, initialDir);
    Log(QString(), prompt, QStringLiteral("Folder"), answer);
    return answer;
}

bool QtUiService::ShowPrinter(PrintTarget& target, const PrintDialogRequest& request)
{
    if (shutdown::Requested())
        return false;
    const shutdown::NestedLoop waiting;
    const bool confirmed = target.Ask(Owner(), request.title, request.hasSelection);
    Log(request.title, QString(), QStringLiteral("Print"),
        confirmed ? (target.PdfFile().isEmpty() ? target.PrinterName() : target.PdfFile()) : QStringLiteral("2"));
    return confirmed;
}

int QtUiService::ShowModal(QDialog* dialog)
{
    if (shutdown::Requested()) {
        // The dialog's own cancel runs, as the operator's Cancel would: its
        // opener takes its usual cancel way, and a window shown again until
        // it is cancelled is not shown again and again.
        dialog->reject();
        return QDialog::Rejected;
    }
    const QString title = dialog->windowTitle();
    const QString name = dialog->objectName();
    int result = QDialog::Rejected;
    {
        const shutdown::NestedLoop waiting;
        result = dialog->exec();
    }
    Log(title, name, QStringLiteral("Modal"), QString::number(result));
    return result;
}

void QtUiService::EndOpenBoxes()
{
    // Each ended box returns from its own exec once control is back in it.
    for (const OpenBox& open : std::as_const(m_openBoxes)) {
        if (QAbstractButton* button = open.box->defaultButton())
            button->click();
        else
            open.box->done(QDialog::Rejected);
    }
    RejectOpenDialogs();
}

void QtUiService::CancelOpenBoxes()
{
    for (const OpenBox& open : std::as_const(m_openBoxes)) {
        if (QAbstractButton* button = open.box->button(ButtonFor(vb::CancelAnswer(open.buttons))))
            button->click();
        else
            open.box->done(QDialog::Rejected);
    }
    RejectOpenDialogs();
}

void QtUiService::RejectOpenDialogs()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog && dialog->isVisible() && !qobject_cast<QMessageBox*>(dialog))
            dialog->reject();
    }
}
