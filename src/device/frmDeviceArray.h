#pragma once

#include "NumberEntry.h"

#include <QDialog>

class Station;

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;

// "Device Set": the data path width, the number of banks and whether
// operations run over the whole set or on a single device.
class frmDeviceArray : public QDialog
{
    Q_OBJECT
public:
    explicit frmDeviceArray(Station& station, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

    QLabel* lblDataWidth;
    QLineEdit* txtDataWidth;
    QLabel* lblNumBanks;
    QLineEdit* txtNumBanks;
    QGroupBox* DisplayFmt;
    QRadioButton* btnSingle;
    QRadioButton* btnSets;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    Station& m_station;
    void Form_Load();
    QXPgmrControl& engine() const;

    NumberEntry m_width;
    NumberEntry m_banks;
};
