#pragma once

#include "NumberEntry.h"

#include <QDialog>

class Station;

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;
class ProgrammerClass;

// "Device Range": the lowest and highest device address of ranged
// operations, the buffer offset, automatic range, entire device and the
// display radix. OK writes them into the engine once the engine accepts
// the range.
class frmDeviceRange : public QDialog
{
    Q_OBJECT
public:
    explicit frmDeviceRange(Station& station, QWidget* parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

    QLabel* lblLowAddr;
    QLineEdit* txtLowAddr;
    QLabel* lblHighAddr;
    QLineEdit* txtHighAddr;
    QLabel* lblBufferOffset;
    QLineEdit* txtBufferOffset;
    QCheckBox* chkAutoRange;
    QCheckBox* chkEntireFile;
    QGroupBox* DisplayFmt;
    QRadioButton* btnDecimal;
    QRadioButton* btnHexadecimal;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    // The largest address or offset the boxes take.
    static constexpr qint32 kLimit = 268435455;

private:
    Station& m_station;
    void Form_Load();
    void chkAutoRange_Click();
    void chkEntireFile_Click();
    void setRadix(bool hex);
    // A box's value as typed, unsigned: hexadecimal texts may reach FFFFFFFF.
    qint64 boxValue(const QLineEdit* box) const;
    QXPgmrControl& engine() const;
    ProgrammerClass& data() const;

    NumberEntry m_low;
    NumberEntry m_high;
    NumberEntry m_offset;
    qint32 m_lastOffset = 0;
    bool m_supportsAutoRange = false;
};
