#include "frmByteOrder.h"

#include "mainwindow/Station.h"

#include "DeviceDialogs.h"
#include "EngineWriteGuard.h"

#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "platform/EngineCall.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmByteOrder::frmByteOrder(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station)
{
    setObjectName(QStringLiteral("frmByteOrder"));
    setWindowTitle(QStringLiteral("Byte Order"));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    btnBigEndian =
        devicedialogs::Option(Frame1, "btnBigEndian", QStringLiteral("MSB=0, &LSB=1   Motorola Format: Big Endian"));
    btnLittleEndian =
        devicedialogs::Option(Frame1, "btnLittleEndian", QStringLiteral("&MSB=1, LSB=0   Intel Format: Little Endian"));
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(btnBigEndian);
    frameLayout->addWidget(btnLittleEndian);

    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("&OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("&Cancel"));
    OKButton->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(OKButton, &QPushButton::clicked, this, &frmByteOrder::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmByteOrder::CancelButton_Click);

    const qint32 order = enginecall::Ask([this] { return m_station.QXProgrammer.ByteOrder(); }, qint32(0));
    (order == 0 ? btnLittleEndian : btnBigEndian)->setChecked(true);
    devicedialogs::CentreOnScreen(this);
}

void frmByteOrder::OKButton_Click()
{
    QXPgmrControl& e = m_station.QXProgrammer;
    EngineWriteGuard guard(QStringLiteral("Byte Order OK"));
    const qint32 order = btnLittleEndian->isChecked() ? 0 : 1;
    if (guard.Run([&] { guard.Write([&] { return e.ByteOrder(); }, [&](qint32 v) { e.ByteOrder(v); }, order); }))
        accept();
}

void frmByteOrder::CancelButton_Click()
{
    reject();
}
