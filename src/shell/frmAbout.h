#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: the engine's version and build date, the algorithm
// database's revision and the program's legal notice.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // The single default instance, created (and loaded) on first use, owned
    // by the given window when one is given, so that it shows modal over it.
    static frmAbout& Instance(QWidget* owner = nullptr);
    static bool IsLoaded();
    static void Unload();

    QLabel* lblVersion = nullptr;
    QLabel* lblRevision = nullptr;
    QLabel* lblLegal = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* OK = nullptr;

    void OK_Click();

private:
    explicit frmAbout(QWidget* owner);
    void Form_Load();
};
