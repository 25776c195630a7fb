#include "frmDeviceRange.h"

#include "mainwindow/Station.h"

#include "DeviceDialogs.h"
#include "EngineWriteGuard.h"

#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "operation/frmProgram.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using enginecall::Ask;
using enginecall::Try;

frmDeviceRange::frmDeviceRange(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station),
      m_low(NumberEntry::EngineValidity(station.QXProgrammer), kLimit, 10, 8),
      m_high(NumberEntry::EngineValidity(station.QXProgrammer), kLimit, 10, 8),
      m_offset(NumberEntry::EngineValidity(station.QXProgrammer), kLimit, 10, 8)
{
    setObjectName(QStringLiteral("frmDeviceRange"));
    setWindowTitle(QStringLiteral("Device Range"));

    auto* boxes = new QFormLayout;
    const auto addBox = [&](QLabel*& label, QLineEdit*& box, const char* name, const QString& caption,
                            const QString& tip, NumberEntry& entry) {
        label = devicedialogs::Label(this, caption);
        box = devicedialogs::NumberBox(this, name, QStringLiteral("0"), tip, entry);
        label->setBuddy(box);
        label->setObjectName(QString::fromLatin1(name).replace(0, 3, QStringLiteral("lbl")));
        boxes->addRow(label, box);
    };
    addBox(
        lblLowAddr, txtLowAddr, "txtLowAddr", QStringLiteral("&Lowest Address of Device:"),
        QStringLiteral("Enter the first address of the device to use during ranged operations (e.g. Program, Verify)."),
        m_low);
    addBox(
        lblHighAddr, txtHighAddr, "txtHighAddr", QStringLiteral("Hi&ghest Address of Device:"),
        QStringLiteral("Enter the last address of the device to use during ranged operations (e.g. Program, Verify)."),
        m_high);
    addBox(lblBufferOffset, txtBufferOffset, "txtBufferOffset", QStringLiteral("&Buffer Offset:"),
           QStringLiteral(
               "This value is added to the \"Lowest Address of Device\" to form the data pattern starting address."),
           m_offset);

    chkAutoRange = devicedialogs::Check(
        this, "chkAutoRange", QStringLiteral("&Auto Range:"),
        QStringLiteral(
            "Check this option to enable Automatic Device Range determination based on the data pattern file."));
    chkEntireFile =
        devicedialogs::Check(this, "chkEntireFile", QStringLiteral("&Entire Device:"),
                             QStringLiteral("Check this option to automatically set the Lowest and Highest device "
                                            "addresses to encompass the entire address range of the device."));
    boxes->addRow(chkAutoRange);
    boxes->addRow(chkEntireFile);

    DisplayFmt = devicedialogs::RadixFrame(this, btnDecimal, btnHexadecimal);
    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("Cancel"));
    OKButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(DisplayFmt);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(chkAutoRange, &QCheckBox::toggled, this, [this] { chkAutoRange_Click(); });
    connect(chkEntireFile, &QCheckBox::toggled, this, [this] { chkEntireFile_Click(); });
    connect(btnDecimal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setRadix(false);
    });
    connect(btnHexadecimal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setRadix(true);
    });
    connect(OKButton, &QPushButton::clicked, this, &frmDeviceRange::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDeviceRange::CancelButton_Click);

    Form_Load();
}

QXPgmrControl& frmDeviceRange::engine() const
{
    return m_station.QXProgrammer;
}
ProgrammerClass& frmDeviceRange::data() const
{
    return m_station.pgmrData();
}

void frmDeviceRange::setRadix(bool hex)
{
    m_low.SetRadix(hex, txtLowAddr->text());
    m_high.SetRadix(hex, txtHighAddr->text());
    m_offset.SetRadix(hex, txtBufferOffset->text());
}

void frmDeviceRange::Form_Load()
{
    m_lastOffset = Ask([&] { return engine().BufferOffset(); }, qint32(0));
    m_offset.SetValue(m_lastOffset);

    devicedialogs::SelectRadix(btnDecimal, btnHexadecimal,
                               Ask([&] { return engine().DisplayRadix(); }, qint32(0)) != 0);

    chkEntireFile->setChecked(data().IsEntireDeviceRange());
    m_supportsAutoRange = Ask([&] { return engine().DeviceSupportsAutoRange(); }, false);
    if (m_supportsAutoRange) {
        chkAutoRange->setChecked(Ask([&] { return engine().AutoRange(); }, false));
    } else {
        chkAutoRange->setChecked(false);
        chkAutoRange->setEnabled(false);
    }

    qint32 low = 0;
    qint32 high = 0;
    gMainForm->GetEngineRangeValues(low, high);
    m_low.SetValue(low);
    m_high.SetValue(high);
    m_low.Show(low);
    m_high.Show(high);
    m_offset.Show(m_lastOffset);

    chkAutoRange_Click();
    devicedialogs::CentreOnScreen(this);
}

void frmDeviceRange::chkAutoRange_Click()
{
    const bool automatic = chkAutoRange->isChecked();
    if (automatic) {
        chkEntireFile->setChecked(true);
        txtBufferOffset->setText(QStringLiteral("0"));
    }
    chkEntireFile->setEnabled(!automatic);
    txtBufferOffset->setEnabled(!automatic);
    lblBufferOffset->setEnabled(!automatic);
    chkEntireFile_Click();
}

void frmDeviceRange::chkEntireFile_Click()
{
    const bool entire = chkEntireFile->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(lblLowAddr), static_cast<QWidget*>(txtLowAddr),
                       static_cast<QWidget*>(lblHighAddr), static_cast<QWidget*>(txtHighAddr)})
        w->setEnabled(!entire);
    if (entire) {
        m_low.Show(0);
        m_high.Show(Ask([&] { return engine().DeviceSize(); }, qint32(0)) - 1);
    }
}

qint64 frmDeviceRange::boxValue(const QLineEdit* box) const
{
    bool ok = false;
    const qint64 value =
        btnHexadecimal->isChecked() ? qint64(box->text().toUInt(&ok, 16)) : box->text().toLongLong(&ok);
    return ok ? value : 0;
}

void frmDeviceRange::OKButton_Click()
{
    // A hexadecimal box takes eight digits: a value past the largest address
    // is refused here, before the engine could read it as a negative Long.
    const qint64 typed[] = {boxValue(txtLowAddr), boxValue(txtHighAddr), boxValue(txtBufferOffset)};
    for (qint64 value : typed) {
        if (value > kLimit) {
            Ui().MsgBox(m_low.RangeMessage(), vb::vbOKOnly | vb::vbCritical, QStringLiteral("Out of Range Error"));
            return;
        }
    }
    qint32 low = qint32(typed[0]);
    qint32 high = qint32(typed[1]);
    qint32 offset = qint32(typed[2]);

    bool inRange = false;
    EngineWriteGuard asking(QStringLiteral("Device Range OK"));
    if (!asking.Run([&] { inRange = engine().IsOffsetInRange(low, high, offset); }))
        return;
    if (!inRange) {
        // The boxes show the nearest addresses the engine allows; the
        // dialog stays open for another try.
        m_low.Show(low);
        m_high.Show(high);
        return;
    }

    const bool wasEntire = chkEntireFile->isChecked();
    const qint32 deviceSize = Ask([&] { return engine().DeviceSize(); }, qint32(0));
    chkEntireFile->setChecked(qint64(high) - low + 1 == deviceSize);
    if (!wasEntire && chkEntireFile->isChecked()) {
        // The reaction put the whole device into the boxes.
        low = m_low.Value();
        high = m_high.Value();
    }

    const qint32 radix = btnHexadecimal->isChecked() ? 1 : 0;
    QXPgmrControl& e = engine();
    EngineWriteGuard guard(QStringLiteral("Device Range OK"));
    const bool written = guard.Run([&] {
        if (m_supportsAutoRange) {
            if (chkAutoRange->isChecked()) {
                guard.Write([&] { return e.AutoRange(); }, [&](bool v) { e.AutoRange(v); }, true);
                e.RangeFlag79(qint16(0));
            } else {
                guard.Write([&] { return e.AutoRange(); }, [&](bool v) { e.AutoRange(v); }, false);
            }
        }
        guard.Write([&] { return e.DisplayRadix(); }, [&](qint32 v) { e.DisplayRadix(v); }, radix);
        guard.Set(data().udtRadix, radix);
        guard.Write([&] { return e.WordRangeLow(); }, [&](qint32 v) { e.WordRangeLow(v); }, low);
        guard.Write([&] { return e.WordRangeHigh(); }, [&](qint32 v) { e.WordRangeHigh(v); }, high);
        guard.Write([&] { return e.BufferOffset(); }, [&](qint32 v) { e.BufferOffset(v); }, offset);
    });
    if (written)
        accept();
}

void frmDeviceRange::CancelButton_Click()
{
    reject();
}
