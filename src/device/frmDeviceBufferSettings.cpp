#include "frmDeviceBufferSettings.h"

#include "mainwindow/Station.h"

#include "DeviceDialogs.h"
#include "EngineWriteGuard.h"

#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "operation/frmProgram.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "shell/ShellUtilities.h"
#include "settings/ProgrammerClass.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using enginecall::Ask;

frmDeviceBufferSettings::frmDeviceBufferSettings(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station),
      m_offset(NumberEntry::EngineValidity(station.QXProgrammer), kLimit, 9, 7)
{
    setObjectName(QStringLiteral("frmDeviceBufferSettings"));
    setWindowTitle(QStringLiteral("Device Buffer Settings"));

    DisplayFmt = devicedialogs::RadixFrame(this, btnDecimal, btnHexadecimal);
    lblBufferOffset = devicedialogs::Label(this, QStringLiteral("Buffer Offset:"));
    lblBufferOffset->setObjectName(QStringLiteral("lblBufferOffset"));
    txtBufferOffset = devicedialogs::NumberBox(this, "txtBufferOffset", QStringLiteral("0"), QString(), m_offset);
    lblRange = devicedialogs::Label(this, QStringLiteral("Range:"));
    lblRange->setObjectName(QStringLiteral("lblRange"));
    txtRange = devicedialogs::Label(this, QString());
    txtRange->setObjectName(QStringLiteral("txtRange"));
    txtRange->setFrameShape(QFrame::Panel);
    txtRange->setFrameShadow(QFrame::Sunken);
    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("&OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("&Cancel"));
    OKButton->setDefault(true);

    auto* boxes = new QFormLayout;
    boxes->addRow(lblBufferOffset, txtBufferOffset);
    boxes->addRow(lblRange, txtRange);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DisplayFmt);
    layout->addLayout(boxes);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(btnDecimal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setRadix(false);
    });
    connect(btnHexadecimal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setRadix(true);
    });
    connect(OKButton, &QPushButton::clicked, this, &frmDeviceBufferSettings::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDeviceBufferSettings::CancelButton_Click);

    Form_Load();
}

QXPgmrControl& frmDeviceBufferSettings::engine() const
{
    return m_station.QXProgrammer;
}

QString frmDeviceBufferSettings::RangeText(qint32 low, bool hex)
{
    const qint64 first = -qint64(low);
    const QString sign = first < 0 ? QStringLiteral("-") : QString();
    const quint64 magnitude = quint64(first < 0 ? -first : first);
    return hex ? sign + QString::number(magnitude, 16).toUpper() + QStringLiteral(" --- FFFFFFFh")
               : QString::number(first) + QStringLiteral(" --- 268435455");
}

void frmDeviceBufferSettings::setRadix(bool hex)
{
    m_offset.SetRadix(hex, txtBufferOffset->text());
    qint32 low = 0;
    qint32 high = 0;
    gMainForm->GetEngineRangeValues(low, high);
    txtRange->setText(RangeText(low, hex));
}

void frmDeviceBufferSettings::Form_Load()
{
    qint32 low = 0;
    qint32 high = 0;
    gMainForm->GetEngineRangeValues(low, high);
    const qint32 offset = Ask([&] { return engine().BufferOffset(); }, qint32(0));
    m_offset.SetValue(offset);
    devicedialogs::SelectRadix(btnDecimal, btnHexadecimal,
                               Ask([&] { return engine().DisplayRadix(); }, qint32(0)) != 0);
    m_offset.Show(offset);
    txtRange->setText(RangeText(low, m_offset.Hex()));
    devicedialogs::CentreOnScreen(this);
}

void frmDeviceBufferSettings::OKButton_Click()
{
    qint32 low = 0;
    qint32 high = 0;
    gMainForm->GetEngineRangeValues(low, high);
    // Hexadecimal text is read as a 32-bit Long: eight digits from 8 on are
    // a negative offset, as the box shows one.
    bool ok = true;
    const QString text = txtBufferOffset->text();
    const qint64 typed = m_offset.Hex() ? qint64(HexTextToLong(QStringLiteral("&H") + text)) : text.toLongLong(&ok);
    const qint64 offset = ok ? typed : 0;

    // The engine hears of an offset only when it fits a Long.
    bool inRange = false;
    if (offset <= kLimit) {
        qint32 askedLow = low;
        qint32 askedHigh = high;
        qint32 askedOffset = qint32(offset);
        EngineWriteGuard asking(QStringLiteral("Device Buffer Settings OK"));
        if (!asking.Run([&] { inRange = engine().IsOffsetInRange(askedLow, askedHigh, askedOffset); }))
            return;
    }
    if (!inRange || offset > kLimit || qint64(low) + offset < 0) {
        const QString invalid = QStringLiteral("The buffer offset value is invalid!");
        Ui().MsgBox(invalid, vb::vbOKOnly | vb::vbCritical, QStringLiteral("Invalid Value"));
        gMainForm->WriteLogInfo(invalid, true);
        gMainForm->WriteLogInfo(QStringLiteral("The buffer offset is out of the range."), true);
        return;
    }

    const qint32 radix = m_offset.Hex() ? 1 : 0;
    QXPgmrControl& e = engine();
    ProgrammerClass& data = m_station.pgmrData();
    EngineWriteGuard guard(QStringLiteral("Device Buffer Settings OK"));
    const bool written = guard.Run([&] {
        guard.Write([&] { return e.BufferOffset(); }, [&](qint32 v) { e.BufferOffset(v); }, qint32(offset));
        guard.Set(data.udtRadix, radix);
        guard.Write([&] { return e.DisplayRadix(); }, [&](qint32 v) { e.DisplayRadix(v); }, radix);
    });
    if (!written)
        return;
    gMainForm->WriteLogInfo(QStringLiteral("Buffer offset is set to be 0x") + QString::number(offset, 16).toUpper(),
                            true);
    accept();
}

void frmDeviceBufferSettings::CancelButton_Click()
{
    reject();
}
