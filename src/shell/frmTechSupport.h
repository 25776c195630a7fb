#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The technical-support window: how to reach the maker's support.
class frmTechSupport : public QDialog
{
    Q_OBJECT
public:
    // The single default instance, created on first use, owned by the given
    // window when one is given, so that it shows modal over it.
    static frmTechSupport& Instance(QWidget* owner = nullptr);
    static bool IsLoaded();
    static void Unload();

    QLabel* lblContact = nullptr;
    QPushButton* OK = nullptr;

    void OK_Click();

private:
    explicit frmTechSupport(QWidget* owner);
};
