// The operation window's part of a job file: the tab names its sections are
// made from, and the settings of the action tabs written into a job being
// saved and read back from a job being loaded (JobTabSettings does the work
// over this window).

#include "operation/frmProgram.h"

#include "JobTabSettings.h"
#include "TabStrip.h"
#include "frmProgramTabRows.h"
#include "engine/QXPgmrControl.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"


namespace {

class WindowTabs : public frmProgramTabRows<JobTabSettings::Host>
{
public:
    WindowTabs(frmProgram& window, QXPgmrControl& engine)
        : frmProgramTabRows(window),
          m_engine(engine)
    {
    }

    int ActionSlots() const override { return m_window.lngNumberOfActions; }
    bool StartInOperatorMode() const override { return m_window.pgmrData().bStartInOperatorMode; }

    QString DeviceName() override { return m_engine.DeviceName(); }
    bool ShowErrorMessages() override { return m_engine.ShowErrorMessages(); }
    void ShowCritical(const QString& text, const QString& title) override { Ui().MsgBox(text, vb::vbCritical, title); }
    void WriteValue(const QString& section, const QString& key, const QString& value, qint32 kind) override
    {
        QString text = value;
        qint32 status = 0;
        m_engine.WriteSealbookValue(section, key, QString(), text, kind, status);
    }
    QString ReadValue(const QString& section, const QString& key, qint32 kind, qint32& status,
                      bool fromLastJob) override
    {
        if (fromLastJob)
            return m_engine.ReadSealbookValueEx(section, key, QString(), kind, status);
        return m_engine.ReadSealbookValue(section, key, QString(), kind, status);
    }
    void ReadStepFailed() override { m_engine.SealbookReadStep221(); }

private:
    QXPgmrControl& m_engine;
};

} // namespace

void frmProgram::DecoratedTabName(const QString& name, QString& decorated) const
{
    decorated.clear();
    for (int i = 1; i <= tabOperation->Count(); ++i) {
        const QString caption = tabOperation->Caption(i);
        if (QString(caption).remove(QLatin1Char('&')) == name) {
            decorated = caption;
            return;
        }
    }
}

QString frmProgram::LettersOnly(const QString& text)
{
    return JobTabSettings::LettersOnly(text);
}

bool frmProgram::ContainsViewableCharacters(const QString& sVarData)
{
    return JobTabSettings::ContainsViewableCharacters(sVarData);
}

void frmProgram::SKExport()
{
    WindowTabs tabs(*this, Engine());
    JobTabSettings(tabs).Export();
}

void frmProgram::SKImport()
{
    WindowTabs tabs(*this, Engine());
    JobTabSettings(tabs).Import();
}

void frmProgram::SetActiveTabFromSk(bool bLoadSettingsInTab)
{
    WindowTabs tabs(*this, Engine());
    JobTabSettings(tabs).SetActiveTab(bLoadSettingsInTab);
}
