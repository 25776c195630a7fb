#include "mainwindow/LabelPrinting.h"

#include "mainwindow/LabelEditorLink.h"

#include <QDir>
#include <exception>

namespace {

const QString kStartFailed = QStringLiteral("Exception happens when the Tarvo tries to activate PTouch Editor.");
const QString kCloseFailed = QStringLiteral("Exception happens when the Tarvo tries to close PTouch Editor.");

// The key for each direction of MoveLabelText.
const char* const kDirectionKeys[] = {"{UP}", "{DOWN}", "{LEFT}", "{RIGHT}"};

} // namespace

QString LabelPrinting::ProgramPath(const QString& folder, bool newerEditor)
{
    return QDir(folder).filePath(newerEditor ? QStringLiteral("Ptedit3") : QStringLiteral("ptedit"));
}

template <size_t N>
bool LabelPrinting::send(const char* member, const Keys (&sequence)[N])
{
    QString reason;
    if (!m_link.Activate(QString::fromLatin1(kWindowTitle), reason)) {
        m_host.WriteLogInfo(QStringLiteral("%1: the \"%2\" window cannot be activated (%3); no keys sent.")
                                .arg(QString::fromLatin1(member), QString::fromLatin1(kWindowTitle), reason));
        return false;
    }
    for (const Keys& step : sequence) {
        if (step.logLine)
            m_host.WriteLogInfo(QString::fromLatin1(step.logLine));
        if (!m_link.SendKeys(QString::fromLatin1(step.keys))) {
            m_host.WriteLogInfo(QStringLiteral("%1: the \"%2\" window did not take the keys %3.")
                                    .arg(QString::fromLatin1(member), QString::fromLatin1(kWindowTitle),
                                         QString::fromLatin1(step.keys)));
            return false;
        }
    }
    return true;
}

void LabelPrinting::InitLabelerPrint(bool enabled)
{
    if (!enabled)
        return;
    try {
        const QString folder = m_host.LabelPrinterDirectory();
        // In Vexal mode the editor runs in its own folder; only the editor's
        // process gets it, the station's current folder stays as it is.
        const QString workingFolder = m_host.IsVexalMode() ? folder : QString();
        const QString program = ProgramPath(folder, m_host.LabelerValue67());
        QString reason;
        if (!m_link.Start(program, workingFolder, reason)) {
            m_host.WriteLogInfo(kStartFailed);
            m_host.WriteLogInfo(QStringLiteral("The label editor %1 cannot be started: %2.").arg(program, reason));
            m_host.StatusLine(QStringLiteral("The label editor cannot be started: %1").arg(program));
        }
    } catch (const std::exception&) {
        m_host.WriteLogInfo(kStartFailed);
    }
}

void LabelPrinting::OpenLabelFile(const QString& fileName)
{
    static const Keys sequence[] = {
        {"^(O)", "SendKeys(Ctrl + O)"}, {"^V", "SendKeys(Ctrl + V)"}, {"{ENTER}", "SendKeys(Enter)"}};
    m_link.SetClipboard(fileName);
    send("OpenLabelFile", sequence);
}

void LabelPrinting::SetLabelerText(const QString& text)
{
    static const Keys sequence[] = {{"^A", nullptr}, {"^V", nullptr}};
    m_link.SetClipboard(text);
    send("SetLabelerText", sequence);
}

QString LabelPrinting::GetLabelText()
{
    static const Keys sequence[] = {{"^(A)", "SendKeys(Ctrl + A)"}, {"^(C)", "SendKeys(Ctrl + C)"}};
    send("GetLabelText", sequence);
    return m_link.Clipboard();
}

void LabelPrinting::MoveLabelText(int direction)
{
    if (direction < 0 || direction > 3) {
        m_host.WriteLogInfo(QStringLiteral("MoveLabelText: direction %1 is not 0 to 3; no keys sent.").arg(direction));
        return;
    }
    const Keys sequence[] = {
        {"^(A)", nullptr}, {"%(E)", nullptr}, {"S", nullptr}, {kDirectionKeys[direction], nullptr}};
    send("MoveLabelText", sequence);
}

void LabelPrinting::PrintLabel()
{
    static const Keys sequence[] = {{"^(P)", "SendKeys(Ctrl + P)"}, {"{ENTER}", "SendKeys(Enter)"}};
    send("PrintLabel", sequence);
}

void LabelPrinting::SaveLabelFile()
{
    static const Keys sequence[] = {{"^S", nullptr}};
    send("SaveLabelFile", sequence);
}

void LabelPrinting::ExitPrintApp()
{
    static const Keys sequence[] = {{"%(F)", "SendKeys(Shift + F)"}, {"X", "SendKeys('X')"}};
    if (!send("ExitPrintApp", sequence))
        m_host.WriteLogInfo(kCloseFailed);
}
