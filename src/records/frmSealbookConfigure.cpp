#include "frmSealbookConfigure.h"

#include "device/DeviceDialogs.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

Qt::CheckState StateOf(bool checked)
{
    return checked ? Qt::Checked : Qt::Unchecked;
}

} // namespace

frmSealbookConfigure::frmSealbookConfigure(QXPgmrControl& engine, ProgrammerClass& data, QWidget* parent)
    : QDialog(parent),
      m_engine(engine),
      m_data(data)
{
    setObjectName(QStringLiteral("frmSealbookConfigure"));
    setWindowTitle(QStringLiteral("Sealbook Configure"));
    oStartInOperatorMode = devicedialogs::Check(
        this, "oStartInOperatorMode", QStringLiteral("Start Tarvo in Operator &mode."),
        QStringLiteral("Operator mode limits user interface to loading existing jobs.  A password is required to exit "
                       "operator mode."));
    chkEnableMarkInput = devicedialogs::Check(
        this, "chkEnableMarkInput", QStringLiteral("&Enable laser marker input fields in Operator mode."),
        QStringLiteral("Enables/Disables the text input fields of the laser configure dialog box in Operator mode."));
    chkVerifyChecksum =
        devicedialogs::Check(this, "chkVerifyChecksum", QStringLiteral("&Verify data pattern checksum."),
                             QStringLiteral("Verify the checksum of the data pattern when the job is loaded."));
    chkRemind = devicedialogs::Check(
        this, "chkRemind", QStringLiteral("&Display verify data pattern checksum setting during job save."),
        QStringLiteral("When saving a job, the software will display the verify data pattern checksum "
                       "setting and present the option to cancel the saving of the job."));
    oStoreDataPatternInSkFile = devicedialogs::Check(
        this, "oStoreDataPatternInSkFile", QStringLiteral("&Store data pattern in Sealbook file."),
        QStringLiteral("Determines whether the data buffer data will be stored in the Sealbook file or reside in an "
                       "external data pattern file."));
    oStoreDataPatternInSkFile->setTristate(true);
    devicedialogs::OkCancelButtons(this, cmdOK, cmdCancel);

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box :
         {oStartInOperatorMode, chkEnableMarkInput, chkVerifyChecksum, chkRemind, oStoreDataPatternInSkFile})
        layout->addWidget(box);
    layout->addLayout(devicedialogs::ButtonRow(cmdOK, cmdCancel));
    setTabOrder(oStartInOperatorMode, chkEnableMarkInput);
    setTabOrder(chkEnableMarkInput, chkVerifyChecksum);
    setTabOrder(chkVerifyChecksum, chkRemind);
    setTabOrder(chkRemind, oStoreDataPatternInSkFile);
    setTabOrder(oStoreDataPatternInSkFile, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmSealbookConfigure::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSealbookConfigure::cmdCancel_Click);
}

void frmSealbookConfigure::ShowDialog()
{
    Form_Load();
    Ui().ShowModal(this);
}

void frmSealbookConfigure::Form_Load()
{
    oStartInOperatorMode->setCheckState(StateOf(bStartInOperatorMode));
    chkEnableMarkInput->setCheckState(StateOf(bEnableMarkInputFields));
    chkVerifyChecksum->setCheckState(StateOf(bVerifyChecksum));
    chkRemind->setCheckState(StateOf(bRemind));
    // A data file the job cannot link to is stored in the job: the box is
    // greyed and the job stops linking at once, even if the dialog is then
    // cancelled. Otherwise the job configuration follows only on OK.
    if (enginecall::Ask([&] { return bool(m_engine.JobValue1004()); }, false)) {
        oStoreDataPatternInSkFile->setEnabled(true);
        oStoreDataPatternInSkFile->setCheckState(StateOf(!m_data.bDataPatternLinkedToSKFile));
    } else {
        oStoreDataPatternInSkFile->setCheckState(Qt::PartiallyChecked);
        oStoreDataPatternInSkFile->setEnabled(false);
        m_data.bDataPatternLinkedToSKFile = false;
    }
    bCancel = true;
}

void frmSealbookConfigure::cmdOK_Click()
{
    setEnabled(false);
    try {
        TakeValues();
    } catch (const AutomationError& error) {
        // The engine took nothing: neither do the options nor the job
        // configuration, and bCancel stays True.
        setEnabled(true);
        Ui().MsgBox(error.Description(), vb::vbCritical, QStringLiteral("Error"));
        WriteLogInfo(error.Description(), true);
        reject();
        return;
    }
    accept();
}

void frmSealbookConfigure::TakeValues()
{
    bool startInOperatorMode = oStartInOperatorMode->checkState() != Qt::Unchecked;
    bool markInput = chkEnableMarkInput->checkState() == Qt::Checked;
    const bool verifyChecksum = chkVerifyChecksum->checkState() == Qt::Checked;
    const bool remind = chkRemind->checkState() == Qt::Checked;
    // Greyed stores the data pattern in the job as checked does.
    const bool linked = oStoreDataPatternInSkFile->checkState() == Qt::Unchecked;
    // The engine last: the values hold only once it has them. An empty text
    // leaves the password as it is.
    m_engine.SealbookConfigure210(startInOperatorMode, QString(), markInput);
    bStartInOperatorMode = startInOperatorMode;
    bEnableMarkInputFields = markInput;
    bVerifyChecksum = verifyChecksum;
    bRemind = remind;
    m_data.bDataPatternLinkedToSKFile = linked;
    bCancel = false;
}

void frmSealbookConfigure::cmdCancel_Click()
{
    reject();
}
