#include "frmDeviceArray.h"

#include "mainwindow/Station.h"

#include "DeviceDialogs.h"
#include "EngineWriteGuard.h"

#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using enginecall::Ask;

frmDeviceArray::frmDeviceArray(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station),
      m_width(NumberEntry::DecimalOnly(NumberEntry::EngineValidity(station.QXProgrammer), 2)),
      m_banks(NumberEntry::DecimalOnly(NumberEntry::EngineValidity(station.QXProgrammer), 2))
{
    setObjectName(QStringLiteral("frmDeviceArray"));
    setWindowTitle(QStringLiteral("Device Set"));

    lblDataWidth = devicedialogs::Label(this, QStringLiteral("Data Path Width:"));
    lblDataWidth->setObjectName(QStringLiteral("lblDataWidth"));
    txtDataWidth = devicedialogs::NumberBox(this, "txtDataWidth", QStringLiteral("1"), QString(), m_width);
    lblNumBanks = devicedialogs::Label(this, QStringLiteral("Number of Banks:"));
    lblNumBanks->setObjectName(QStringLiteral("lblNumBanks"));
    txtNumBanks = devicedialogs::NumberBox(this, "txtNumBanks", QStringLiteral("1"), QString(), m_banks);
    devicedialogs::BoundTypedLength(txtDataWidth, 2);
    devicedialogs::BoundTypedLength(txtNumBanks, 2);

    DisplayFmt = new QGroupBox(QStringLiteral("Programming Mode"), this);
    DisplayFmt->setObjectName(QStringLiteral("DisplayFmt"));
    btnSingle = devicedialogs::Option(DisplayFmt, "btnSingle", QStringLiteral("S&ingle"));
    btnSets = devicedialogs::Option(DisplayFmt, "btnSets", QStringLiteral("S&ets"));
    auto* modeLayout = new QHBoxLayout(DisplayFmt);
    modeLayout->addWidget(btnSingle);
    modeLayout->addWidget(btnSets);

    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("Cancel"));
    OKButton->setDefault(true);

    auto* boxes = new QFormLayout;
    boxes->addRow(lblDataWidth, txtDataWidth);
    boxes->addRow(lblNumBanks, txtNumBanks);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(DisplayFmt);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(OKButton, &QPushButton::clicked, this, &frmDeviceArray::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDeviceArray::CancelButton_Click);

    Form_Load();
}

QXPgmrControl& frmDeviceArray::engine() const
{
    return m_station.QXProgrammer;
}

void frmDeviceArray::Form_Load()
{
    const qint32 width = Ask([&] { return engine().SetWidth(); }, qint32(1));
    const qint32 banks = Ask([&] { return engine().BankCount(); }, qint32(1));
    m_width.SetValue(width);
    m_banks.SetValue(banks);
    m_width.Show(width);
    m_banks.Show(banks);
    const qint16 mode = qint16(Ask([&] { return engine().SetMode(); }, qint32(0)));
    (mode != 0 ? btnSets : btnSingle)->setChecked(true);
    devicedialogs::CentreOnScreen(this);
}

void frmDeviceArray::OKButton_Click()
{
    const qint32 width = m_width.Value();
    const qint32 banks = m_banks.Value();
    if (width < 1 || banks < 1) {
        Ui().MsgBox(QStringLiteral("You have specified an illegal set combination."), vb::vbOKOnly, appinfo::App());
        m_width.Show(Ask([&] { return engine().SetWidth(); }, m_width.Value()));
        m_banks.Show(Ask([&] { return engine().BankCount(); }, m_banks.Value()));
        return;
    }
    QXPgmrControl& e = engine();
    ProgrammerClass& data = m_station.pgmrData();
    EngineWriteGuard guard(QStringLiteral("Device Set OK"));
    const bool written = guard.Run([&] {
        guard.Write([&] { return e.SetWidth(); }, [&](qint32 v) { e.SetWidth(v); }, width);
        guard.Write([&] { return e.BankCount(); }, [&](qint32 v) { e.BankCount(v); }, banks);
        guard.Write([&] { return e.SetMode(); }, [&](qint32 v) { e.SetMode(v); },
                    qint32(btnSingle->isChecked() ? 0 : 1));
        guard.Set(data.lngPosSingle, qint32(0));
        guard.Set(data.lngBankSingle, qint32(0));
    });
    if (written)
        accept();
}

void frmDeviceArray::CancelButton_Click()
{
    reject();
}
