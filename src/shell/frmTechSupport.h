#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The technical-support window: how to reach the maker's support.
class frmTechSupport : public QDialog
{
    Q_OBJECT
public:
    // The single default instance, created on first use.
    static frmTechSupport& Instance();
    static bool IsLoaded();
    static void Unload();

    QLabel* lblContact = nullptr;
    QPushButton* OK = nullptr;

    void OK_Click();

private:
    frmTechSupport();
};
