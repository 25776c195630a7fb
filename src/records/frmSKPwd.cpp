#include "frmSKPwd.h"

#include "device/DeviceDialogs.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* PasswordBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEchoMode(QLineEdit::Password);
    return box;
}

} // namespace

frmSKPwd::frmSKPwd(QXPgmrControl& engine, ProgrammerClass& data, QWidget* parent)
    : QDialog(parent),
      m_engine(engine),
      m_data(data)
{
    setObjectName(QStringLiteral("frmSKPwd"));
    setWindowTitle(QStringLiteral("Sealbook Password"));
    OldPasswordLabel = devicedialogs::Caption(this, "OldPasswordLabel", QStringLiteral("Old Password :"));
    txtSKPwd = PasswordBox("txtSKPwd", this);
    NewPasswordLabel = devicedialogs::Caption(this, "NewPasswordLabel", QStringLiteral("New Password :"));
    txtNewSKPwd = PasswordBox("txtNewSKPwd", this);
    VerifyPasswordLabel = devicedialogs::Caption(this, "VerifyPasswordLabel", QStringLiteral("Verify New Password :"));
    txtVerifySKPwd = PasswordBox("txtVerifySKPwd", this);
    lblWarning =
        devicedialogs::Caption(this, "lblWarning", QStringLiteral("Maximum password length is 15 characters."));
    devicedialogs::OkCancelButtons(this, cmdOK, cmdCancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(OldPasswordLabel, 0, 0);
    grid->addWidget(txtSKPwd, 0, 1);
    grid->addWidget(NewPasswordLabel, 1, 0);
    grid->addWidget(txtNewSKPwd, 1, 1);
    grid->addWidget(VerifyPasswordLabel, 2, 0);
    grid->addWidget(txtVerifySKPwd, 2, 1);
    grid->addWidget(lblWarning, 3, 0, 1, 2);
    grid->addLayout(devicedialogs::ButtonRow(cmdOK, cmdCancel), 4, 0, 1, 2);
    setTabOrder(txtSKPwd, txtNewSKPwd);
    setTabOrder(txtNewSKPwd, txtVerifySKPwd);
    setTabOrder(txtVerifySKPwd, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmSKPwd::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSKPwd::cmdCancel_Click);
    Form_Load();
}

frmSKPwd::~frmSKPwd()
{
    // Never leave the hourglass behind.
    SetBusy(false);
}

void frmSKPwd::Form_Load()
{
    txtSKPwd->clear();
    txtNewSKPwd->clear();
    txtVerifySKPwd->clear();
    // An engine that cannot say is taken to have one: the old password is
    // asked for rather than passed over.
    m_passwordSet = enginecall::Ask([&] { return bool(m_engine.HasSealbookPassword()); }, true);
    txtSKPwd->setEnabled(m_passwordSet);
    OldPasswordLabel->setEnabled(m_passwordSet);
}

void frmSKPwd::SetBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    cmdOK->setEnabled(!busy);
    cmdCancel->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmSKPwd::cmdOK_Click()
{
    try {
        ChangePassword();
    } catch (const std::exception& error) {
        const QString text = dynamic_cast<const AutomationError*>(&error)
            ? static_cast<const AutomationError&>(error).Description()
            : QString::fromLocal8Bit(error.what());
        // Whatever failed, the dialog is idle again before it goes.
        SetBusy(false);
        Ui().MsgBox(text, vb::vbCritical, QStringLiteral("Error"));
        WriteLogInfo(text, true);
        QDialog::reject();
    }
}

void frmSKPwd::ChangePassword()
{
    const QString newPassword = txtNewSKPwd->text();
    if (newPassword.size() > kMaxPasswordLength) {
        Ui().MsgBox(QStringLiteral("The new password exceeded 15 characters. Please try again."), vb::vbExclamation,
                    QStringLiteral("Bad Password"));
        txtNewSKPwd->clear();
        return;
    }
    // With no password set the old box is off and whatever it holds is
    // ignored.
    const QString oldPassword = m_passwordSet ? txtSKPwd->text() : QString();
    if (m_passwordSet && !m_engine.CheckSealbookPassword(oldPassword)) {
        Ui().MsgBox(QStringLiteral("The old password is incorrect. Please enter the password again."),
                    vb::vbExclamation, QStringLiteral("Incorrect Password"));
        txtSKPwd->clear();
        return;
    }
    if (newPassword != txtVerifySKPwd->text()) {
        Ui().MsgBox(QStringLiteral("The new passwords do not match. Please try again."), vb::vbExclamation,
                    QStringLiteral("Bad Password"));
        txtNewSKPwd->clear();
        txtVerifySKPwd->clear();
        return;
    }
    if (newPassword.isEmpty()
        && Ui().MsgBox(QStringLiteral("Sealbook password will be disabled."), vb::vbOKCancel + vb::vbInformation,
                       QStringLiteral("Password Info"))
            == vb::vbCancel)
        return;

    SetBusy(true);
    const bool changed = m_engine.ChangeSealbookPassword(oldPassword, newPassword);
    SetBusy(false);
    if (!changed) {
        Ui().MsgBox(QStringLiteral("Can't change the Sealbook's password. Please contact technical support!"),
                    vb::vbCritical, QStringLiteral("Error"));
        return;
    }
    m_data.strOperatorPwd = newPassword;
    accept();
}

void frmSKPwd::cmdCancel_Click()
{
    reject();
}

void frmSKPwd::reject()
{
    if (!m_busy)
        QDialog::reject();
}

void frmSKPwd::closeEvent(QCloseEvent* event)
{
    // No closing while the engine is changing the password.
    if (m_busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
