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

// "Device Buffer Settings": the buffer offset alone, with the range it may
// take next to it.
class frmDeviceBufferSettings : public QDialog
{
    Q_OBJECT
public:
    explicit frmDeviceBufferSettings(Station& station, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

    // The range an offset may take for the device's low address: "-low ---
    // 268435455", or in hexadecimal "-low --- FFFFFFFh" with a sign, never
    // a two's complement.
    static QString RangeText(qint32 low, bool hex);

    static constexpr qint32 kLimit = 268435455;

    QGroupBox* DisplayFmt;
    QRadioButton* btnDecimal;
    QRadioButton* btnHexadecimal;
    QLabel* lblBufferOffset;
    QLineEdit* txtBufferOffset;
    QLabel* lblRange;
    QLabel* txtRange;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    Station& m_station;
    void Form_Load();
    void setRadix(bool hex);
    QXPgmrControl& engine() const;

    NumberEntry m_offset;
};
