#include "ScriptedUiService.h"

#include "PrintTarget.h"
#include "StationShutdown.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

namespace {

const QString kInputBox = QStringLiteral("InputBox");
const QString kOpenFile = QStringLiteral("Open");
const QString kSaveFile = QStringLiteral("Save");
const QString kFolder = QStringLiteral("Folder");
const QString kPrint = QStringLiteral("Print");
const QString kModal = QStringLiteral("Modal");

// A log line must stay one line with four fields.
QString Escaped(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString ProposedPath(const FileDialogRequest& request)
{
    if (request.fileName.isEmpty())
        return request.initialDir;
    return request.initialDir.isEmpty() ? request.fileName : QDir(request.initialDir).filePath(request.fileName);
}

} // namespace

ScriptedUiService::ScriptedUiService(QStringList answers, WhenExhausted mode)
    : m_answers(answers.begin(), answers.end()),
      m_mode(mode)
{
}

void ScriptedUiService::Answer(const QString& answer)
{
    m_answers.push_back(answer);
}

void ScriptedUiService::OnModal(std::function<int(QDialog*)> handler)
{
    m_modalHandlers.push_back(std::move(handler));
}

void ScriptedUiService::SetFailureHandler(std::function<void(const QString&)> handler)
{
    m_onFailure = std::move(handler);
}

QString ScriptedUiService::LogLine(const QString& title, const QString& text, const QString& buttons,
                                   const QString& answer)
{
    return QStringList{Escaped(title), Escaped(text), Escaped(buttons), Escaped(answer)}.join(QLatin1Char('\t'));
}

void ScriptedUiService::AppendLogLine(const QString& path, const QString& line)
{
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qWarning("TARVO_UI_LOG: cannot write %s", qPrintable(path));
        return;
    }
    file.write((line + QLatin1Char('\n')).toUtf8());
}

bool ScriptedUiService::Next(const QString& what, QString* answer)
{
    // A closing station answers every box with its default and keeps the
    // script for nobody.
    if (shutdown::Requested())
        return false;
    if (m_answers.empty()) {
        if (m_mode == WhenExhausted::Fail && m_onFailure)
            m_onFailure(QStringLiteral("no scripted answer for ") + what);
        return false;
    }
    *answer = m_answers.front();
    m_answers.pop_front();
    return true;
}

void ScriptedUiService::Record(const QString& title, const QString& text, const QString& buttons, const QString& answer)
{
    const QString line = LogLine(title, text, buttons, answer);
    m_shown.append(line);
    AppendLogLine(m_logFile, line);
}

int ScriptedUiService::MsgBox(const QString& prompt, int buttons, const QString& title)
{
    const QString what =
        QStringLiteral("message box %1: %2 (buttons %3)").arg(Quoted(title), Quoted(prompt)).arg(buttons);
    int answer = vb::DefaultAnswer(buttons);
    QString scripted;
    if (Next(what, &scripted)) {
        bool isNumber = false;
        const int value = scripted.trimmed().toInt(&isNumber);
        if (isNumber && vb::ButtonAnswers(buttons).contains(value))
            answer = value;
        else if (m_mode == WhenExhausted::Fail && m_onFailure)
            // An answer the box has no button for means the script is out of step.
            m_onFailure(QStringLiteral("scripted answer %1 is no button of %2").arg(Quoted(scripted), what));
    }
    Record(title, prompt, QString::number(buttons), QString::number(answer));
    return answer;
}

QString ScriptedUiService::InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                                    bool* cancelled)
{
    QString answer = defaultText; // no answer left: as if OK was pressed on the proposed text
    const bool closing = shutdown::Requested();
    if (closing)
        answer.clear(); // cancelled, as the closing station's dialogs are
    Next(QStringLiteral("input box %1: %2").arg(Quoted(title), Quoted(prompt)), &answer);
    if (cancelled)
        *cancelled = closing;
    Record(title, prompt, kInputBox, answer);
    return answer;
}

QString ScriptedUiService::GetOpenFileName(const FileDialogRequest& request)
{
    QString answer; // no answer left: cancelled
    Next(QStringLiteral("open file dialog %1 (%2)").arg(Quoted(request.title), Quoted(request.filter)), &answer);
    Record(request.title, ProposedPath(request), kOpenFile, answer);
    return answer;
}

QString ScriptedUiService::AskSaveFileName(const FileDialogRequest& request)
{
    QString answer;
    Next(QStringLiteral("save file dialog %1 (%2)").arg(Quoted(request.title), Quoted(request.filter)), &answer);
    Record(request.title, ProposedPath(request), kSaveFile, answer);
    return answer;
}

QString ScriptedUiService::BrowseForFolder(const QString& prompt, const QString& initialDir)
{
    QString answer;
    Next(QStringLiteral("folder dialog: %1").arg(Quoted(prompt)), &answer);
    Record(QString(), prompt, kFolder, answer);
    return answer;
}

bool ScriptedUiService::ShowPrinter(PrintTarget& target, const PrintDialogRequest& request)
{
    QString answer;
    Next(QStringLiteral("print dialog %1").arg(Quoted(request.title)), &answer);
    answer = answer.trimmed();
    const bool confirmed = !answer.isEmpty() && answer != QLatin1String("2")
        && answer.compare(QLatin1String("Cancel"), Qt::CaseInsensitive) != 0;
    if (confirmed) {
        if (answer.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            target.ToPdfFile(answer);
        else
            target.ToPrinter(answer == QLatin1String("1") ? QString() : answer);
        target.SetRange(request.hasSelection ? PrintTarget::Range::Selection : PrintTarget::Range::AllPages);
    }
    Record(request.title, QString(), kPrint, confirmed ? answer : QStringLiteral("2"));
    return confirmed;
}

namespace {

// The button that confirms a window: its default button, else one named
// OK, else its button box's accepting button. Only an enabled one counts.
QAbstractButton* OkButtonOf(QDialog* dialog)
{
    const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->isDefault() && button->isEnabled())
            return button;
    }
    for (QPushButton* button : buttons) {
        const QString name = button->objectName().toLower();
        if ((name == QLatin1String("ok") || name == QLatin1String("btnok") || name == QLatin1String("cmdok"))
            && button->isEnabled())
            return button;
    }
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isEnabled())
                return button;
        }
    }
    return nullptr;
}

} // namespace

int ScriptedUiService::ShowModal(QDialog* dialog)
{
    const QString title = dialog->windowTitle();
    const QString name = dialog->objectName();
    int result = QDialog::Rejected;
    if (!m_modalHandlers.empty() && !shutdown::Requested()) {
        const std::function<int(QDialog*)> handler = std::move(m_modalHandlers.front());
        m_modalHandlers.pop_front();
        result = handler(dialog);
    } else {
        QString answer;
        const QString what = QStringLiteral("modal window %1 (%2)").arg(Quoted(title), name);
        // "1" presses the window's own OK button, so that its handler runs
        // as the operator's click would; a window without one is accepted.
        if (Next(what, &answer) && answer.trimmed() == QLatin1String("1")) {
            if (QAbstractButton* ok = OkButtonOf(dialog))
                ok->click();
            else
                dialog->accept();
        } else {
            if (!answer.isEmpty() && answer.trimmed() != QLatin1String("2") && m_mode == WhenExhausted::Fail
                && m_onFailure)
                m_onFailure(QStringLiteral("scripted answer %1 is neither 1 nor 2 for %2").arg(Quoted(answer), what));
            dialog->reject();
        }
        result = dialog->result();
    }
    Record(title, name, kModal, QString::number(result));
    return result;
}
