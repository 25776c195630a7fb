#include "UiService.h"

#include "PrintTarget.h"
#include "QtUiService.h"
#include "ScriptedUiService.h"

#include <QFile>
#include <QFileInfo>
#include <iterator>

namespace vb {

QList<int> ButtonAnswers(int buttons)
{
    // Indexed by the button set (the low bits of the buttons value).
    static const QList<int> kSets[] = {
        {vbOK},                       // vbOKOnly
        {vbOK, vbCancel},             // vbOKCancel
        {vbAbort, vbRetry, vbIgnore}, // vbAbortRetryIgnore
        {vbYes, vbNo, vbCancel},      // vbYesNoCancel
        {vbYes, vbNo},                // vbYesNo
        {vbRetry, vbCancel},          // vbRetryCancel
    };
    const int set = buttons & 0x0F;
    return set < int(std::size(kSets)) ? kSets[set] : kSets[vbOKOnly];
}

int DefaultAnswer(int buttons)
{
    const QList<int> answers = ButtonAnswers(buttons);
    const int index = (buttons & 0x300) >> 8; // vbDefaultButton2 = 256, vbDefaultButton3 = 512
    // A default button the set does not have falls back to the first button.
    return index < answers.size() ? answers.at(index) : answers.first();
}

int CancelAnswer(int buttons)
{
    const QList<int> answers = ButtonAnswers(buttons);
    for (const int answer : {vbCancel, vbNo, vbAbort})
        if (answers.contains(answer))
            return answer;
    return answers.first();
}

} // namespace vb

namespace {

std::unique_ptr<UiService>& Installed()
{
    static std::unique_ptr<UiService> service;
    return service;
}

// The script of a station run: one answer per line. A final line end adds no
// answer; an empty line in between is an empty answer (an empty input text).
QStringList ReadScript(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("TARVO_UI_SCRIPT: cannot read %s; every box takes its default answer", qPrintable(path));
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

std::unique_ptr<UiService> CreateDefault()
{
    const QString script = qEnvironmentVariable("TARVO_UI_SCRIPT");
    const QString log = qEnvironmentVariable("TARVO_UI_LOG");
    if (!script.isEmpty()) {
        auto scripted =
            std::make_unique<ScriptedUiService>(ReadScript(script), ScriptedUiService::WhenExhausted::DefaultAnswer);
        scripted->SetLogFile(log);
        return scripted;
    }
    auto qt = std::make_unique<QtUiService>();
    qt->SetLogFile(log);
    qt->SetReportOpenBoxes(qEnvironmentVariableIsSet("TARVO_REPORT_SHOWN"));
    return qt;
}

} // namespace

UiService& Ui()
{
    std::unique_ptr<UiService>& service = Installed();
    if (!service)
        service = CreateDefault();
    return *service;
}

std::unique_ptr<UiService> SetUi(std::unique_ptr<UiService> service)
{
    std::unique_ptr<UiService> previous = std::move(Installed());
    Installed() = std::move(service);
    return previous;
}

bool UiService::ShowPrinter(const QString& title)
{
    const std::unique_ptr<PrintTarget> target = CreatePrintTarget();
    return target && ShowPrinter(*target, PrintDialogRequest{title, false});
}

QString QtFileFilter(const QString& commonDialogFilter)
{
    const QStringList parts = commonDialogFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
    }
    return filters.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& path, const QString& extension)
{
    if (path.isEmpty() || extension.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    // Only the file's own name counts: a "." in a folder name is no extension.
    if (QFileInfo(path).fileName().contains(QLatin1Char('.')) || QFileInfo(path).isDir())
        return path;
    return path + QLatin1Char('.') + extension;
}

QString UiService::GetSaveFileName(const FileDialogRequest& request)
{
    return WithDefaultExtension(AskSaveFileName(request), request.defaultExtension);
}
