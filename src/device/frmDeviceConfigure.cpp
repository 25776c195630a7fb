#include "frmDeviceConfigure.h"

#include "mainwindow/Station.h"

#include "frmByteOrder.h"
#include "frmDeviceArray.h"
#include "frmDeviceBufferSettings.h"
#include "frmDeviceRange.h"
#include "frmDeviceVector.h"

#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"
#include "operation/frmProgram.h"
#include "platform/AutomationError.h"
#include "platform/CaptionFit.h"
#include "platform/EngineCall.h"
#include "platform/Twips.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QAction>
#include <QPushButton>
#include <memory>

using enginecall::Ask;
using enginecall::Try;

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void PlaceTwips(QWidget* w, qint32 left, qint32 top, qint32 width, qint32 height)
{
    w->setGeometry(twips::ToPixels(left), twips::ToPixels(top), twips::ToPixels(left + width) - twips::ToPixels(left),
                   twips::ToPixels(top + height) - twips::ToPixels(top));
}

// The window's inner height: the row and a margin of its top below it.
constexpr qint32 kWindowHeight = DeviceOptionsLayout::kTop * 2 + DeviceOptionsLayout::kHeight;

} // namespace

frmDeviceConfigure::frmDeviceConfigure(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station)
{
    setObjectName(QStringLiteral("frmDeviceConfigure"));
    setWindowTitle(QStringLiteral("Device Configure"));

    btnVector = MakeButton(this, "btnVector", QStringLiteral("&Vector"));
    btnByteOrder = MakeButton(this, "btnByteOrder", QStringLiteral("&Byte Order"));
    btnRange = MakeButton(this, "btnRange", QStringLiteral("&Range"));
    btnArray = MakeButton(this, "btnArray", QStringLiteral("&Set"));
    cmdBufferSettings = MakeButton(this, "cmdBufferSettings", QStringLiteral("B&uffer Settings"));
    btnDone = MakeButton(this, "btnDone", QStringLiteral("&OK"));
    btnDone->setDefault(true);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"));
    btnCancel->setVisible(false);

    connect(btnVector, &QPushButton::clicked, this, &frmDeviceConfigure::btnVector_Click);
    connect(btnByteOrder, &QPushButton::clicked, this, &frmDeviceConfigure::btnByteOrder_Click);
    connect(btnRange, &QPushButton::clicked, this, &frmDeviceConfigure::btnRange_Click);
    connect(btnArray, &QPushButton::clicked, this, &frmDeviceConfigure::btnArray_Click);
    connect(cmdBufferSettings, &QPushButton::clicked, this, &frmDeviceConfigure::cmdBufferSettings_Click);
    connect(btnDone, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

QXPgmrControl& frmDeviceConfigure::engine() const
{
    return m_station.QXProgrammer;
}

QPushButton* frmDeviceConfigure::button(DeviceOptionsLayout::Button b) const
{
    QPushButton* const buttons[] = {btnVector, btnByteOrder, btnRange, btnArray, cmdBufferSettings, btnDone, btnCancel};
    return buttons[b];
}

void frmDeviceConfigure::Form_Load()
{
    if (!gMainForm)
        return;
    QXPgmrControl& e = engine();
    DeviceCapabilities capabilities;
    capabilities.testVectors = Ask([&] { return e.DeviceSupportsTestVectors(); }, false);
    capabilities.byteOrder = Ask([&] { return e.DeviceSupportsByteOrder(); }, false);
    capabilities.range = Ask([&] { return e.DeviceSupportsRange(); }, false);
    capabilities.setsAndBanks = Ask([&] { return e.DeviceSupportsSetsAndBanks(); }, false);
    capabilities.bufferOffset = Ask([&] { return e.DeviceSupportsBufferOffset(); }, false);

    QStringList extras;
    const qint32 count = Ask([&] { return e.ExtraCommandCount(); }, qint32(0));
    for (qint32 i = 0; i < count; ++i)
        extras << Ask([&] { return e.ExtraCommandNameAt(i); }, QString());

    for (auto& [index, special] : btnSpecial)
        delete special;
    btnSpecial.clear();
    m_layout = DeviceOptionsLayout::Compute(capabilities, extras);
    for (const DeviceOptionsLayout::Special& s : m_layout.Specials()) {
        QPushButton* special = MakeButton(this, "btnSpecial", s.caption);
        special->setProperty("index", s.index);
        PlaceTwips(special, s.left, DeviceOptionsLayout::kTop, DeviceOptionsLayout::kButtonWidth,
                   DeviceOptionsLayout::kHeight);
        connect(special, &QPushButton::clicked, this, [this, index = s.index] { btnSpecial_Click(index); });
        btnSpecial[s.index] = special;
    }
    for (int b = 0; b < DeviceOptionsLayout::ButtonCount; ++b) {
        const auto which = DeviceOptionsLayout::Button(b);
        PlaceTwips(button(which), m_layout.Left(which), DeviceOptionsLayout::kTop, m_layout.Width(which),
                   DeviceOptionsLayout::kHeight);
        button(which)->setVisible(which != DeviceOptionsLayout::Cancel && m_layout.Visible(which));
    }

    SetDeviceSetOptions();
    setFixedSize(twips::ToPixels(m_layout.WindowWidth()), twips::ToPixels(kWindowHeight));
    // The row as designed, each button as wide and high as its caption needs.
    captionfit::FitCaptions(this);
}

void frmDeviceConfigure::SetDeviceSetOptions()
{
    if (!gMainForm)
        return;
    QXPgmrControl& e = engine();
    if (!Ask([&] { return e.DeviceSupportsSetsAndBanks(); }, false)
        || !Ask([&] { return e.DeviceSupportsRange(); }, false))
        return;
    const bool automatic = Ask([&] { return e.AutoRange(); }, false);
    if (automatic) {
        Try([&] { e.SetWidth(qint32(1)); });
        Try([&] { e.BankCount(qint32(1)); });
    }
    btnArray->setEnabled(!automatic);
    // The Device menu's item, where the main window has one.
    if (auto* item = gMainForm ? gMainForm->findChild<QAction*>(QStringLiteral("mnuDeviceSetsAndBanks")) : nullptr)
        item->setEnabled(!automatic);
}

void frmDeviceConfigure::RefreshOperationWindow()
{
    frmProgram* frmP = gMainForm->frmP;
    if (!frmP || !frmP->HasProgrammerData())
        return;
    frmP->SetDeviceConfigureOptions();
    Try([&] { frmP->pgmrData().lngFileSize = engine().BufferSize(); });
    frmP->SetDisplayInfo();
    frmP->SetButtonStates();
}

template <class Dialog>
void frmDeviceConfigure::showDialog()
{
    // Shown without an owner and unloaded as soon as it is hidden.
    auto dialog = std::make_unique<Dialog>(m_station);
    Ui().ShowModal(dialog.get());
}

void frmDeviceConfigure::btnVector_Click()
{
    showDialog<frmDeviceVector>();
    gMainForm->frmP->RefreshAll();
    RefreshOperationWindow();
}

void frmDeviceConfigure::btnByteOrder_Click()
{
    showDialog<frmByteOrder>();
    gMainForm->frmP->RefreshAll();
    RefreshOperationWindow();
}

void frmDeviceConfigure::btnArray_Click()
{
    showDialog<frmDeviceArray>();
    gMainForm->frmP->RefreshAll();
    RefreshOperationWindow();
}

void frmDeviceConfigure::btnRange_Click()
{
    showDialog<frmDeviceRange>();
    gMainForm->frmP->RefreshAll();
    SetDeviceSetOptions();
    RefreshOperationWindow();
}

void frmDeviceConfigure::cmdBufferSettings_Click()
{
    Try([&] { m_station.pgmrData().lngDeviceSize = engine().DeviceSize(); });
    showDialog<frmDeviceBufferSettings>();
    RefreshOperationWindow();
}

void frmDeviceConfigure::btnSpecial_Click(int index)
{
    QXPgmrControl& e = engine();
    try {
        e.RunExtraCommand(qint32(index), QString(), QString());
    } catch (const AutomationError& error) {
        gMainForm->WriteLogInfo(QStringLiteral("Extra command %1 failed: %2").arg(index).arg(error.Description()),
                                true);
        Ui().MsgBox(error.Description(), vb::vbOKOnly | vb::vbCritical, QStringLiteral("Error"));
    }
    ProgrammerClass& data = m_station.pgmrData();
    data.udtRadix = Ask([&] { return e.DisplayRadix(); }, qint32(0)) == 1 ? 1 : 0;
    if (Ask([&] { return e.BufferSize(); }, qint32(0)) != 0)
        data.blnBufferEmpty = false;
    RefreshOperationWindow();
}
