#pragma once

// Changes the Sealbook password: the old one (when one is set), the new one
// and the new one again; an empty new password turns the password off. The
// engine checks the old password and makes the change; while it works the
// dialog is busy and cannot be closed. Created for one use and shown modally.

#include <QDialog>

class ProgrammerClass;
class QLabel;
class QLineEdit;
class QPushButton;
class QXPgmrControl;

class frmSKPwd : public QDialog
{
    Q_OBJECT
public:
    // engine: checks and changes the password; data: the job configuration,
    // which keeps the new password once the engine took it.
    frmSKPwd(QXPgmrControl& engine, ProgrammerClass& data, QWidget* parent = nullptr);
    ~frmSKPwd() override;

    static constexpr int kMaxPasswordLength = 15;

    QLabel* OldPasswordLabel = nullptr;
    QLineEdit* txtSKPwd = nullptr;
    QLabel* NewPasswordLabel = nullptr;
    QLineEdit* txtNewSKPwd = nullptr;
    QLabel* VerifyPasswordLabel = nullptr;
    QLineEdit* txtVerifySKPwd = nullptr;
    QLabel* lblWarning = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    // The engine is changing the password: hourglass, buttons off, no close.
    bool IsBusy() const { return m_busy; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void ChangePassword();
    void SetBusy(bool busy);

    QXPgmrControl& m_engine;
    ProgrammerClass& m_data;
    bool m_passwordSet = false;
    bool m_busy = false;
};
