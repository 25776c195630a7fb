#pragma once

// Asks for the Sealbook password when the operator wants to leave operator
// mode. It only collects the text; the engine decides whether it is right.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmOperatorPwd : public QDialog
{
    Q_OBJECT
public:
    explicit frmOperatorPwd(QWidget* parent = nullptr);

    bool bCancel = true;
    QString strPwd;

    QLineEdit* txtPwd = nullptr;
    QLabel* lblPwd = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
};
