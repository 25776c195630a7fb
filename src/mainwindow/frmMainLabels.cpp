// The main window's label members: short forwards to LabelPrinting over the
// station's local link to the editor.

#include "mainwindow/frmMain.h"

#include "mainwindow/LabelPrinting.h"
#include "mainwindow/LocalLabelEditorLink.h"
#include "operation/frmProgram.h"

namespace {

class MainWindowLabelHost : public LabelPrinting::Host
{
public:
    explicit MainWindowLabelHost(frmMain& window)
        : m_window(window)
    {
    }
    QString LabelPrinterDirectory() override { return m_window.QXProgrammer.LabelPrinterDirectory(); }
    bool IsVexalMode() override { return m_window.QXProgrammer.IsVexalMode(); }
    bool LabelerValue67() override { return m_window.QXH950AutoHandler.LabelerValue67(); }
    void WriteLogInfo(const QString& text) override { ::WriteLogInfo(text, true); }
    void StatusLine(const QString& text) override
    {
        if (m_window.frmP)
            m_window.frmP->AddStatusTextLine(text);
    }

private:
    frmMain& m_window;
};

// One link and one host for each member: every member first brings the
// editor forward afresh, so nothing needs to be kept between them.
template <typename F>
auto WithLabels(frmMain& window, F&& f)
{
    MainWindowLabelHost host(window);
    LocalLabelEditorLink link;
    LabelPrinting labels(host, link);
    return f(labels);
}

} // namespace

void frmMain::InitLabelerPrint()
{
    WithLabels(*this, [&](LabelPrinting& l) { l.InitLabelerPrint(bLabelPrintEnabled); });
}

void frmMain::OpenLabelFile(const QString& fileName)
{
    WithLabels(*this, [&](LabelPrinting& l) { l.OpenLabelFile(fileName); });
}

void frmMain::SetLabelerText(const QString& text)
{
    WithLabels(*this, [&](LabelPrinting& l) { l.SetLabelerText(text); });
}

QString frmMain::GetLabelText()
{
    return WithLabels(*this, [&](LabelPrinting& l) { return l.GetLabelText(); });
}

void frmMain::MoveLabelText(qint32 direction)
{
    WithLabels(*this, [&](LabelPrinting& l) { l.MoveLabelText(direction); });
}

void frmMain::PrintLabel()
{
    WithLabels(*this, [&](LabelPrinting& l) { l.PrintLabel(); });
}

void frmMain::SaveLabelFile()
{
    WithLabels(*this, [&](LabelPrinting& l) { l.SaveLabelFile(); });
}

void frmMain::ExitPrintApp()
{
    WithLabels(*this, [&](LabelPrinting& l) { l.ExitPrintApp(); });
}
