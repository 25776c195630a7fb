#pragma once

#include "DeviceOptionsLayout.h"

#include <QDialog>
#include <map>

class Station;

class QPushButton;
class QXPgmrControl;

// "Device Configure": one row of buttons, each opening the dialog of one
// device option the selected device supports (test vectors, byte order,
// address range, sets and banks, buffer offset), after one button per extra
// command of the device. The main window keeps a hidden instance whose
// handlers its Device menu calls; the Options button shows a new one.
class frmDeviceConfigure : public QDialog
{
    Q_OBJECT
public:
    explicit frmDeviceConfigure(Station& station, QWidget* parent = nullptr);

    void btnArray_Click();
    void btnByteOrder_Click();
    void btnRange_Click();
    void btnVector_Click();
    void cmdBufferSettings_Click();
    // Automatic range leaves no room for sets and banks.
    void SetDeviceSetOptions();

    void btnSpecial_Click(int index);

    // Lays the row out for the device selected now; the constructor does.
    void Form_Load();

    // The extra-command buttons by the engine's index of their command.
    std::map<int, QPushButton*> btnSpecial;
    QPushButton* btnVector;
    QPushButton* btnByteOrder;
    QPushButton* btnRange;
    QPushButton* btnArray;
    QPushButton* cmdBufferSettings;
    QPushButton* btnDone;
    QPushButton* btnCancel;

    // The layout last applied, in twips.
    const DeviceOptionsLayout& Layout() const { return m_layout; }

private:
    Station& m_station;
    template <class Dialog>
    void showDialog();
    void RefreshOperationWindow();
    QPushButton* button(DeviceOptionsLayout::Button b) const;
    QXPgmrControl& engine() const;

    DeviceOptionsLayout m_layout;
};
