#pragma once

// The job summary window, shown modally at the end of a job. For now it only
// offers to close; the report it shows is built by the job summary.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class frmJobSummary : public QDialog
{
    Q_OBJECT
public:
    explicit frmJobSummary(QWidget* parent = nullptr);

    QPlainTextEdit* txtSummary = nullptr;
    QPushButton* btnOK = nullptr;
};
