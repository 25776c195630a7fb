// The operation window's part of a job file: the tab names its sections are
// made from, and the settings of the action tabs written into a job being
// saved and read back from a job being loaded (JobTabSettings does the work
// over this window).

#include "operation/frmProgram.h"

#include "JobTabSettings.h"
#include "TabStrip.h"
#include "engine/QXPgmrControl.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

class WindowTabs : public JobTabSettings::Host
{
public:
    WindowTabs(frmProgram& window, QXPgmrControl& engine)
        : m_window(window),
          m_engine(engine)
    {
    }

    int TabCount() const override { return m_window.tabOperation->Count(); }
    int SelectedTab() const override { return m_window.tabOperation->SelectedIndex(); }
    QString TabCaption(int tab) const override { return m_window.tabOperation->Caption(tab); }
    void VisitTab(int tab) override { m_window.SelectTab(tab); }
    QStringList Entries(int row) const override
    {
        QStringList entries;
        if (const QComboBox* list = List(row))
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
        return entries;
    }
    int Selected(int row) const override
    {
        const QComboBox* list = List(row);
        return list ? list->currentIndex() : -1;
    }
    void Select(int row, int entry) override
    {
        if (QComboBox* list = List(row))
            list->setCurrentIndex(entry);
    }
    bool CheckVisible(int row) const override
    {
        const QCheckBox* box = Check(row);
        return box && !box->isHidden();
    }
    qint16 CheckValue(int row) const override
    {
        const QCheckBox* box = Check(row);
        return box ? frmProgram::CheckValue(box) : qint16(0);
    }
    void SetCheckValue(int row, qint16 value) override
    {
        if (QCheckBox* box = Check(row))
            frmProgram::SetCheckValue(box, value);
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
    QComboBox* List(int row) const
    {
        return row >= 0 && row < m_window.cboOperation.size() ? m_window.cboOperation[row] : nullptr;
    }
    QCheckBox* Check(int row) const
    {
        return row >= 0 && row < m_window.Check1.size() ? m_window.Check1[row] : nullptr;
    }

    frmProgram& m_window;
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
