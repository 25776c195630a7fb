#pragma once

// What the station's windows share: the outside controls, the job
// configuration, the quantity with its one rule, the message switches and
// whether a run is going. Start-up makes it before the main window; the
// windows, their dialogs and the automation host are handed it instead of
// reaching into the main window. No widget.

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/QuantityRule.h"

#include <QObject>
#include <QString>
#include <memory>

class JobFiles;
class OperationRun;
class ProgrammerClass;

class Station : public QObject
{
    Q_OBJECT
public:
    Station();
    ~Station() override;
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // --- the outside controls ---
    QXPgmrControl QXProgrammer;
    ManualHdlControl ConcurrentManualHandler;
    H950HdlrControl QXH950AutoHandler; // its events go to the hidden host window
    DataPaneControl vwBufViewer;

    // --- the job configuration ---
    // Made (and loaded) on first use, over the station's own engine, handler
    // and quantity.
    ProgrammerClass& pgmrData();
    bool HasProgrammerData() const { return m_pgmrData != nullptr; }
    // Ends the job configuration at shut-down, saving its settings unless
    // save is False (after a failed start-up nothing is written back).
    void ReleaseProgrammerData(bool save);

    // --- the quantity ---
    // The number of devices a run does, and the text the quantity box shows.
    qint32 NumCopies() const { return m_numCopies; }
    const qint32& lngNumCopies{m_numCopies};
    QString QuantityText() const { return m_quantityText; }
    // Every quantity goes through here, whoever sets it (the operator's
    // typing, the engine, the automatic handler, automation, the run): the
    // range and input rule, its box and log lines, the automatic handler's
    // quantity kept in step, and QuantityTextChanged when the text changes.
    QuantityOutcome SetQuantityText(const QString& text);
    // The quantity read back from the settings at load: taken as it is.
    void LoadQuantity(qint32 numCopies);

    // --- message switches ---
    bool bEnableEvent = false;
    bool bWarningMessagesEnabled = true;
    bool bErrorMessagesEnabled = true;
    bool bStatusMessagesEnabled = true;

    // --- the run ---
    // The operation window's run announces itself, and leaves when it goes.
    void SetRun(const OperationRun* run) { m_run = run; }
    void LeaveRun(const OperationRun* run)
    {
        if (m_run == run)
            m_run = nullptr;
    }
    // A run (device loop or session) is going on.
    bool RunInProgress() const;

    // --- the job files ---
    // The job-file commands, set by the main window that offers them while
    // it stands; null before and after.
    void SetJobFiles(JobFiles* jobFiles) { m_jobFiles = jobFiles; }
    JobFiles* Jobs() const { return m_jobFiles; }

signals:
    void QuantityTextChanged(const QString& text);
    // The quantity was out of range (its box was shown): the quantity box
    // takes the focus back.
    void QuantityRefused();

private:
    std::unique_ptr<ProgrammerClass> m_pgmrData;
    qint32 m_numCopies = 1;
    QString m_quantityText = QStringLiteral("1");
    const OperationRun* m_run = nullptr;
    JobFiles* m_jobFiles = nullptr;
};
