#include "frmOperatorPwd.h"

#include "device/DeviceDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmOperatorPwd::frmOperatorPwd(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOperatorPwd"));
    setWindowTitle(QStringLiteral("Sealbook Password"));
    lblPwd = new QLabel(QStringLiteral("Please input the Sealbook password:"), this);
    txtPwd = new QLineEdit(this);
    txtPwd->setObjectName(QStringLiteral("txtPwd"));
    txtPwd->setEchoMode(QLineEdit::Password);
    devicedialogs::OkCancelButtons(this, cmdOK, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPwd);
    layout->addWidget(txtPwd);
    layout->addWidget(cmdOK);
    layout->addWidget(cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmOperatorPwd::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOperatorPwd::cmdCancel_Click);
}

void frmOperatorPwd::cmdOK_Click()
{
    strPwd = txtPwd->text();
    bCancel = false;
    accept();
}

void frmOperatorPwd::cmdCancel_Click() { reject(); }
