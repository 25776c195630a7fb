#pragma once

#include <QDialog>

class Station;

class QGroupBox;
class QPushButton;
class QRadioButton;

// "Byte Order": the order in which the engine moves data to and from the
// device.
class frmByteOrder : public QDialog
{
    Q_OBJECT
public:
    explicit frmByteOrder(Station& station, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

    QGroupBox* Frame1;
    QRadioButton* btnBigEndian;
    QRadioButton* btnLittleEndian;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    Station& m_station;
};
