#pragma once

// The "Job Setup Verification" window: what a loaded job (tab 0) or auto
// file (tab 1) sets up, as Field/Value rows and a note history, for the
// operator to confirm (OK) or refuse (Cancel) before the job is used.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

class frmSKReport : public QDialog
{
    Q_OBJECT
public:
    // skType: 1 a job for the manual handler, 2 an auto file.
    explicit frmSKReport(qint32 skType, QWidget* parent = nullptr);

    bool bCancel = true;
    bool bJobError = false;     // OK is hidden: the window can only be refused
    bool bShowQXJobPage = true; // the manual-handler tab is shown

    void Reset();
    // grid 1 or 2; the field "Note" fills that tab's note box instead.
    void AddItem(const QString& field, const QString& value, qint32 grid);

    QTabWidget* sstSKReport = nullptr;
    QTableWidget* mfgSKReport = nullptr;
    QTableWidget* mfgSKAutoReport = nullptr;
    QPlainTextEdit* txtSKNote = nullptr;
    QPlainTextEdit* txtSKAutoNote = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();

    static constexpr int kStartRows = 10;
    static constexpr int kGrowRows = 10;
    // Opening widths of the two columns: a file name, a checksum and a
    // device name fit the value column without widening the window.
    static constexpr int kFieldColumnTwips = 2000;
    static constexpr int kValueColumnTwips = 4000;

private:
    QWidget* page(QTableWidget*& grid, QPlainTextEdit*& note, const QString& name, const QString& noteName);
    void resetGrid(QTableWidget* grid);

    qint32 m_skType;
    qint16 m_rowCount[2] = {0, 0};
};
