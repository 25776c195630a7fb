#pragma once

#include <QDialog>

// The device options window: address range, test vectors, sets and banks,
// byte order and buffer offset of the selected device.
class frmDeviceConfigure : public QDialog
{
    Q_OBJECT
public:
    explicit frmDeviceConfigure(QWidget* parent = nullptr);
};
