#include "frmDeviceVector.h"

#include "mainwindow/Station.h"

#include "DeviceDialogs.h"
#include "EngineWriteGuard.h"

#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "operation/frmProgram.h"
#include "platform/EngineCall.h"
#include "settings/ProgrammerClass.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using enginecall::Ask;

frmDeviceVector::frmDeviceVector(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station),
      m_seed(NumberEntry::EngineValidity(station.QXProgrammer), 65535, 5, 4)
{
    setObjectName(QStringLiteral("frmDeviceVector"));
    setWindowTitle(QStringLiteral("Vector Configuration"));

    frXValue = new QGroupBox(QStringLiteral("X Value"), this);
    frXValue->setObjectName(QStringLiteral("frXValue"));
    btnZero = devicedialogs::Option(frXValue, "btnZero", QStringLiteral("&0"));
    btnOne = devicedialogs::Option(frXValue, "btnOne", QStringLiteral("&1"));
    btnRandom = devicedialogs::Option(frXValue, "btnRandom", QStringLiteral("&Random"));
    btnPseudoRandom = devicedialogs::Option(frXValue, "btnPseudoRandom", QStringLiteral("&Pseudo-Random"));
    btnPullUp = devicedialogs::Option(frXValue, "btnPullUp", QStringLiteral("Pull-&Up"));
    lblSeed = devicedialogs::Label(frXValue, QStringLiteral("Seed:"));
    lblSeed->setObjectName(QStringLiteral("lblSeed"));
    txtSeed = devicedialogs::NumberBox(frXValue, "txtSeed", QStringLiteral("0"), QString(), m_seed);
    auto* xLayout = new QVBoxLayout(frXValue);
    for (QRadioButton* b : {btnZero, btnOne, btnRandom, btnPseudoRandom, btnPullUp})
        xLayout->addWidget(b);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(lblSeed);
    seedRow->addWidget(txtSeed);
    xLayout->addLayout(seedRow);

    frDisplay = new QGroupBox(QStringLiteral("Display"), this);
    frDisplay->setObjectName(QStringLiteral("frDisplay"));
    btnErrorsOnly = devicedialogs::Option(frDisplay, "btnErrorsOnly", QStringLiteral("&Errors Only"));
    btnAll = devicedialogs::Option(frDisplay, "btnAll", QStringLiteral("&All"));
    btnSingleStep = devicedialogs::Option(frDisplay, "btnSingleStep", QStringLiteral("&Single Step"));
    auto* displayLayout = new QVBoxLayout(frDisplay);
    for (QRadioButton* b : {btnErrorsOnly, btnAll, btnSingleStep})
        displayLayout->addWidget(b);

    DisplayFmt = devicedialogs::RadixFrame(this, btnDecimal, btnHexadecimal);
    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("&OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("&Cancel"));
    OKButton->setDefault(true);

    auto* frames = new QHBoxLayout;
    frames->addWidget(frXValue);
    frames->addWidget(frDisplay);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addWidget(DisplayFmt);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    for (QRadioButton* b : {btnZero, btnOne, btnRandom, btnPseudoRandom, btnPullUp})
        connect(b, &QRadioButton::clicked, this, [this] { applySeedRule(); });
    connect(btnDecimal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_seed.SetRadix(false, txtSeed->text());
    });
    connect(btnHexadecimal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_seed.SetRadix(true, txtSeed->text());
    });
    connect(OKButton, &QPushButton::clicked, this, &frmDeviceVector::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDeviceVector::CancelButton_Click);

    Form_Load();
}

QXPgmrControl& frmDeviceVector::engine() const
{
    return m_station.QXProgrammer;
}

void frmDeviceVector::applySeedRule()
{
    const bool seeded = btnPseudoRandom->isChecked();
    txtSeed->setEnabled(seeded);
    lblSeed->setEnabled(seeded);
}

void frmDeviceVector::Form_Load()
{
    const qint32 seed = Ask([&] { return engine().VectorSeed(); }, qint32(0));
    m_seed.SetValue(seed);
    devicedialogs::SelectRadix(btnDecimal, btnHexadecimal,
                               Ask([&] { return engine().DisplayRadix(); }, qint32(0)) != 0);

    const qint32 display = Ask([&] { return engine().VectorDisplayMode(); }, qint32(0));
    (display == 0 ? btnErrorsOnly : display == 1 ? btnAll : btnSingleStep)->setChecked(true);

    QRadioButton* const xButtons[] = {btnZero, btnOne, btnRandom, btnPseudoRandom};
    const qint32 x = Ask([&] { return engine().VectorXValue(); }, qint32(0));
    (x >= 0 && x < 4 ? xButtons[x] : btnPullUp)->setChecked(true);

    m_seed.Show(seed);
    applySeedRule();
    devicedialogs::CentreOnScreen(this);
}

void frmDeviceVector::OKButton_Click()
{
    const qint32 display = btnErrorsOnly->isChecked() ? 0 : btnAll->isChecked() ? 1 : 2;
    const qint32 x = btnZero->isChecked() ? 0
        : btnOne->isChecked()             ? 1
        : btnRandom->isChecked()          ? 2
        : btnPseudoRandom->isChecked()    ? 3
                                          : 4;
    const qint32 radix = btnHexadecimal->isChecked() ? 1 : 0;
    QXPgmrControl& e = engine();
    ProgrammerClass& data = m_station.pgmrData();

    EngineWriteGuard guard(QStringLiteral("Vector Configuration OK"));
    const bool written = guard.Run([&] {
        guard.Write([&] { return e.VectorDisplayMode(); }, [&](qint32 v) { e.VectorDisplayMode(v); }, display);
        guard.Write([&] { return e.VectorXValue(); }, [&](qint32 v) { e.VectorXValue(v); }, x);
        // A decimal seed goes as the box's text, for the engine to read; a
        // hexadecimal one as its value.
        if (x == 3 && radix == 0) {
            const qint32 old = e.VectorSeed();
            guard.Remember([&e, old] { e.VectorSeed(old); });
            e.PutByName(QStringLiteral("VectorSeed"), txtSeed->text());
        } else if (x == 3) {
            guard.Write([&] { return e.VectorSeed(); }, [&](qint32 v) { e.VectorSeed(v); }, m_seed.Value());
        }
        guard.Set(data.udtRadix, radix);
        guard.Write([&] { return e.DisplayRadix(); }, [&](qint32 v) { e.DisplayRadix(v); }, radix);
    });
    if (written)
        accept();
}

void frmDeviceVector::CancelButton_Click()
{
    reject();
}
