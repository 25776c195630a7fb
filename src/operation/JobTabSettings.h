#pragma once

// The action tabs' settings inside a job file: which tab was selected, and
// for every tab each option row's selected entry and check box. The engine
// owns the file; this class writes the values into the job being saved and
// reads them back from the job being loaded, through the window's Host.
//
// Layout (all values text): "JobInfo"/"ActiveTab" holds the selected tab's
// caption as shown ("&Program"). Each tab has a section "GUI-" + the letters
// of its caption ("GUI-Program") with "Selection<row>" (the entry's text, ""
// for an empty list, kind 4) and "EnableSelection<row>" ("0", "1" or "2",
// kind 2) for rows 0 to 4, or 0 to 16 for a STAPL device. A second tab whose
// caption has the same letters gets "#2" (then "#3", ...) behind them, which
// no caption's letters can make. Then placeholder rows 0 to 4 ("No_Content",
// "0") for the built-in sections of every action slot, skipping a key the
// export already wrote: a load checks that they are all there, so a file
// whose tab settings were cut off is refused.

#include "operation/TabRows.h"

#include <QSet>
#include <QString>
#include <QStringList>

class JobTabSettings
{
public:
    // Engine value kinds of the two kinds of values.
    static constexpr qint32 kTextKind = 4;
    static constexpr qint32 kFlagKind = 2;

    // The window and the engine as the transfer needs them. Engine calls
    // may throw AutomationError.
    class Host : public TabRows
    {
    public:
        // The number of action slots (built-in and custom, slot 0 unused).
        virtual int ActionSlots() const = 0;
        virtual bool StartInOperatorMode() const = 0;

        virtual QString DeviceName() = 0;
        virtual bool ShowErrorMessages() = 0;
        virtual void ShowCritical(const QString& text, const QString& title) = 0;
        virtual void WriteValue(const QString& section, const QString& key, const QString& value, qint32 kind) = 0;
        // fromLastJob reads the job last loaded or saved instead of the one
        // being loaded. status 0 when the key was found.
        virtual QString ReadValue(const QString& section, const QString& key, qint32 kind, qint32& status,
                                  bool fromLastJob) = 0;
        // Tells the engine the load cannot go on.
        virtual void ReadStepFailed() = 0;
    };

    explicit JobTabSettings(Host& host)
        : m_host(host)
    {
    }

    // Writes every tab's settings and the placeholders; the operator's tab
    // is selected again afterwards, also when an engine error ends the
    // export (the error then goes on to the caller).
    void Export();
    // SetActiveTab(True), then the check of the placeholders.
    void Import();
    // Selects the tab the job names (the selected one stays when it names
    // none); with loadSettings, first restores every tab's rows from it.
    void SetActiveTab(bool loadSettings);

    // The section of each tab 1 to count, in order (element 0 is tab 1).
    static QStringList SectionNames(const QStringList& captions);
    // The letters A-Z and a-z of text, in order.
    static QString LettersOnly(const QString& text);
    static bool ContainsViewableCharacters(const QString& text);
    // The built-in section name of action slot 1 to 7; later slots repeat
    // the last.
    static QString PlaceholderName(int action);
    // The last option row written and read for a device.
    static int LastRow(const QString& deviceName);

private:
    QStringList sectionNames() const;
    void exportTabRows(int lastRow);
    void exportPlaceholderRows();
    void write(const QString& section, const QString& key, const QString& value, qint32 kind);
    void importTabRows(int lastRow);
    void verifyPlaceholderRows();

    Host& m_host;
    // The keys written in the current export ("section\nkey").
    QSet<QString> m_written;
};
