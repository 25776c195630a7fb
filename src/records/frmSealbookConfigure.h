#pragma once

// "Sealbook Configure": the options of locked job (Sealbook) files. The main
// window sets the four public options, calls ShowDialog and, unless bCancel,
// takes the checksum options back. OK hands the two operator-mode options to
// the engine and the storage option to the job configuration; Cancel, or an
// engine that fails, changes nothing.

#include <QDialog>

class ProgrammerClass;
class QCheckBox;
class QPushButton;
class QXPgmrControl;

class frmSealbookConfigure : public QDialog
{
    Q_OBJECT
public:
    frmSealbookConfigure(QXPgmrControl& engine, ProgrammerClass& data, QWidget* parent = nullptr);

    bool bCancel = true;
    bool bStartInOperatorMode = false;
    bool bEnableMarkInputFields = false;
    bool bVerifyChecksum = false;
    bool bRemind = false;

    QCheckBox* oStartInOperatorMode = nullptr;
    QCheckBox* chkEnableMarkInput = nullptr;
    QCheckBox* chkVerifyChecksum = nullptr;
    QCheckBox* chkRemind = nullptr;
    QCheckBox* oStoreDataPatternInSkFile = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Loads the controls from the options and shows the dialog modally.
    void ShowDialog();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Load();
    void TakeValues();

    QXPgmrControl& m_engine;
    ProgrammerClass& m_data;
};
