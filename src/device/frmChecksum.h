#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ProgrammerClass;

// "Checksum": the checksum method and type the job configuration keeps.
// The engine is not told: the checksum shown follows the engine's own
// settings, so no menu item offers this dialog.
class frmChecksum : public QDialog
{
    Q_OBJECT
public:
    // data is the job configuration the dialog edits.
    explicit frmChecksum(ProgrammerClass& data, QWidget* parent = nullptr);

    void btnOK_Click();
    void btnCancel_Click();

    QGroupBox* Frame1;
    QLabel* Label2;
    QRadioButton* opt8Bit;
    QRadioButton* opt16Bit;
    QGroupBox* Frame2;
    QLabel* Label3;
    QRadioButton* optBuffer;
    QRadioButton* optDevice;
    QRadioButton* optCompat;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    ProgrammerClass& m_data;
    qint32 m_method = 0;
    qint32 m_type = 0;
};
