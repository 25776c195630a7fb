#include "frmDeviceConfigure.h"

frmDeviceConfigure::frmDeviceConfigure(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeviceConfigure"));
    setWindowTitle(QStringLiteral("Device Options"));
}
