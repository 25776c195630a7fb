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

// "Vector Configuration": the X value of the test vectors, the seed of the
// pseudo-random X value, the display mode and the radix.
class frmDeviceVector : public QDialog
{
    Q_OBJECT
public:
    explicit frmDeviceVector(Station& station, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

    QGroupBox* frXValue;
    QRadioButton* btnZero;
    QRadioButton* btnOne;
    QRadioButton* btnRandom;
    QRadioButton* btnPseudoRandom;
    QRadioButton* btnPullUp;
    QLabel* lblSeed;
    QLineEdit* txtSeed;
    QGroupBox* frDisplay;
    QRadioButton* btnErrorsOnly;
    QRadioButton* btnAll;
    QRadioButton* btnSingleStep;
    QGroupBox* DisplayFmt;
    QRadioButton* btnDecimal;
    QRadioButton* btnHexadecimal;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    Station& m_station;
    void Form_Load();
    void applySeedRule();
    QXPgmrControl& engine() const;

    NumberEntry m_seed;
};
