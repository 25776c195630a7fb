#pragma once

// The system configuration dialog: programmer model and port, handler type,
// the master site (a module number) of a concurrent programmer, the user
// mode, the job ID switch and the folders for automatically saved job
// summaries and power-supply logs; in the OEM edition also the export log
// file. A fresh instance runs its load each time it opens.
//
// OK commits all or nothing: a model the engine does not list, a master site
// that is refused, an engine error or a settings write that fails puts back
// whatever it had changed (the engine's model, port and master site, the job
// configuration and the log file name) and the dialog stays open.

#include "settings/ConfigureLayout.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

class Station;

class DirDialog;
class ProgrammerClass;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;

class frmConfigure : public QDialog
{
    Q_OBJECT
public:
    explicit frmConfigure(Station& station, QWidget* parent = nullptr);
    ~frmConfigure() override;

    // True from the load until OK has committed everything.
    bool bCancel = true;
    bool ChangedModel() const { return bModelChanged; }

    // Runs the load, shows the dialog modally through the UI service.
    int ShowDialog();

    void SetMasterSite();
    qint32 GetMasterSiteFromEngine();

    // Where the controls stand, in twips (tests and the window's own
    // placement read it).
    const ConfigureLayout& Layout() const { return m_layout; }

    // Controls.
    QLabel* Label3 = nullptr;
    QComboBox* cboProgrammerModel = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboLPTPort = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cboHandlerType = nullptr;
    QLabel* lblMasterSite = nullptr;
    QComboBox* cboMasterSite = nullptr;
    QGroupBox* fraUserMode = nullptr;
    QRadioButton* optNovice = nullptr;
    QRadioButton* optExperienced = nullptr;
    QCheckBox* chkJobID = nullptr;
    QGroupBox* fraAutoSaveJobSum = nullptr;
    QCheckBox* AutoSaveSK_Check = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* AutoSaveSK_Dir = nullptr;
    QPushButton* DirBrowser = nullptr;
    QGroupBox* fraPSLogFile = nullptr;
    QCheckBox* PSLogFile_Check = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* PSLogFile_Dir = nullptr;
    QPushButton* PSLogFile_Browse = nullptr;
    QGroupBox* fraLogFile = nullptr;
    QLineEdit* oLogFile = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // Handlers.
    void Form_Load();
    void cboProgrammerModel_Click();
    void cboLPTPort_Click();
    void cboHandlerType_Click();
    void cboHandlerType_KeyPress();
    // False keeps the focus in the combo.
    bool cboMasterSite_Validate();
    void DirBrowser_Click();
    void PSLogFile_Browse_Click();
    void btnOK_Click();
    void btnCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Station& m_station;
    ProgrammerClass& data() const;
    QXPgmrControl& engine() const;

    bool IsDemoPort() const;
    bool IsEnginePortDemo();
    int FindModelIndex(const QString& name);
    static bool IsExcludedModelName(const QString& name);
    bool ValidateMasterSite();
    void FillPortList();
    void FillModelList();
    void FillHandlerList();
    void AddAutoHandlerTypes(int shift);
    void ShowMasterSite(bool show);
    void BuildMasterSiteRow(bool show);
    // The last step of OK: the engine's Sealbook mode, the settings written,
    // the dialog hidden and the main window brought in line. Throws, the
    // main window untouched, when the engine or the settings write fails.
    void ApplySettings();
    void ApplyHandlerRule(bool countAutomationClient);
    void Browse(QLineEdit* folder, const QString& title);
    // The failure exit of OK: the row shown again and the focus in it.
    void FailAtMasterSite();
    // Places every control from the layout.
    void placeControls();

    ConfigureLayout m_layout;
    bool bModelChanged = false;
    qint32 lngModelAtLoad = 0;
    bool bRestrictedModelList = false;
    qint32 lngConfigValueAtLoad = 0;
    bool bDemoAtLoad = false;
    QList<int> oMasterSites;
    std::unique_ptr<DirDialog> oDirDialog;
    bool m_validating = false;
};
