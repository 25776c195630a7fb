#pragma once

// The job summary window, shown modally at the end of a job: the report of
// the job (built when the window loads, together with the job record), which
// the operator prints, saves as a text file or, on OK, hands to the engine's
// automatic report saving.

#include "JobSummaryReport.h"

#include <QDialog>

class QPushButton;
class QTextEdit;

class frmJobSummary : public QDialog
{
    Q_OBJECT
public:
    // Loads from the given values: the station's, handed over by the
    // operation window, or a test's.
    explicit frmJobSummary(JobSummaryInputs inputs, QWidget* parent = nullptr);

    QTextEdit* rtfReport = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* cmdSave = nullptr;

    QString strLogDir;
    QString strUser;

    void Form_Resize();
    void btnOK_Click();
    void btnPrint_Click();
    void cmdSave_Click();
    // Hands the report to the engine when the automatic saving is on, as OK
    // does: a summary that is not shown is handed on so at once.
    void HandOn();

    // The report's text with CR LF line ends, as the file, the log and the
    // engine receive it.
    QString ReportText() const;
    // The builder of the report shown (its record, whether it was written).
    const JobSummaryReport& Report() const { return *m_report; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void Form_Load();
    // Sizes the window to show the whole report, as far as its screen allows.
    void FitToReport();

    JobSummaryInputs m_inputs;
    std::unique_ptr<JobSummaryReport> m_report;
    bool m_resizing = false;
};
