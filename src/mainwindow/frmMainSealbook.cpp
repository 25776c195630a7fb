// The main window's locked-job (Sealbook) modes, the enabling of the window
// around long commands, and the windows the job files ask through
// (JobFiles::Host): the operation window's enabling and refreshes, the
// password, note and setup-report prompts.

#include "mainwindow/frmMain.h"

#include "mainwindow/JobFiles.h"
#include "mainwindow/SealbookModeTable.h"
#include "operation/frmProgram.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "records/frmOperatorPwd.h"
#include "records/frmSKReport.h"
#include "records/frmSealbookNote.h"
#include "settings/ProgrammerClass.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <functional>

using enginecall::Try;

// --- JobFiles::Host: the windows around the job files' commands ---

void frmMain::EnableMenus(bool enable)
{
    EnableMenu(enable);
}
void frmMain::EnableOperations(bool enable)
{
    frmP->EnableOperations(enable);
}
void frmMain::EnableOperationSettings(bool enable)
{
    frmP->EnableOperationSettings(enable);
}

void frmMain::RefreshOperationWindow(Refresh what)
{
    const std::pair<Refresh, std::function<void(frmProgram&)>> steps[] = {
        {Refresh::OperationOptions, &frmProgram::SetOperationOptions},
        {Refresh::OperationSetting, &frmProgram::GetOperationSetting},
        {Refresh::ButtonStates, &frmProgram::SetButtonStates},
        {Refresh::DeviceConfigureOptions, &frmProgram::SetDeviceConfigureOptions},
        {Refresh::DisplayInfo, &frmProgram::SetDisplayInfo},
        {Refresh::Caption, [](frmProgram& window) { window.UpdateFormCaption(false); }},
        {Refresh::CaptionWithVersion, [](frmProgram& window) { window.UpdateFormCaption(true); }},
    };
    for (const auto& [step, run] : steps) {
        if (step == what)
            run(*frmP);
    }
}

void frmMain::StatusLine(const QString& text)
{
    if (frmP)
        frmP->AddStatusTextLine(text);
}

qint32 frmMain::DataPositionIndex() const
{
    return frmP->cboDatPos ? frmP->cboDatPos->currentIndex() : 0;
}
qint32 frmMain::BankIndex() const
{
    return frmP->cboBankNum ? frmP->cboBankNum->currentIndex() : 0;
}
QString frmMain::BufferInfo() const
{
    return frmP->GetBufferInfo();
}
bool frmMain::BufferDirty() const
{
    return frmP->bBufferDirty;
}
void frmMain::ClearDataBuffer()
{
    ClearBuffer();
}

bool frmMain::AskSupervisorPassword(QString& password)
{
    frmOperatorPwd prompt(this);
    Ui().ShowModal(&prompt);
    password = prompt.strPwd;
    return !prompt.bCancel;
}

bool frmMain::AskSaveNote(qint32 skType, NoteWindow window)
{
    frmSealbookNote note(pgmrData(), GetSoftwareVersion(), this);
    note.skType = skType;
    if (window == NoteWindow::Save)
        note.ShowSave(1);
    else
        note.ShowSaveAs(1);
    return !note.bCancel;
}

bool frmMain::ConfirmJobReport(const JobFiles::Report& report)
{
    frmSKReport window(report.skType, this);
    window.bJobError = report.jobError;
    window.bShowQXJobPage = report.showQXJobPage;
    window.Reset();
    for (const JobFiles::ReportRow& row : report.rows)
        window.AddItem(row.field, row.value, row.grid);
    Ui().ShowModal(&window);
    return !window.bCancel;
}

// --- locked-job modes ---

void frmMain::SetSKMode(bool bOperatorMode)
{
    ProgrammerClass& data = pgmrData();
    if (bOperatorMode) {
        SetOperatorModeControls();
        data.bStartInOperatorMode = true;
    } else {
        bool hasPassword = false;
        Try([&] { hasPassword = QXProgrammer.HasSealbookPassword(); });
        // During start-up nobody is asked: the station enters the mode it
        // was configured for.
        if (hasPassword && bInitialized) {
            // The engine decides whether the password is right.
            frmOperatorPwd prompt(this);
            Ui().ShowModal(&prompt);
            bool right = false;
            if (!prompt.bCancel) {
                Try([&] { right = QXProgrammer.CheckSealbookPassword(prompt.strPwd); });
                if (!right)
                    Ui().MsgBox(QStringLiteral("Invalid password! Cannot enter the supervisor mode!"), vb::vbCritical,
                                QStringLiteral("Invalid Password"));
            }
            frmP->setFocus();
            if (!right)
                return;
        }
        data.bStartInOperatorMode = false;
        mnuEnterNewMode->setText(SealbookModeTable::EnterNewModeCaption(SealbookModeTable::Mode::Supervisor));
        SetSupervisorModeControls();
    }
    frmP->UpdateFormCaption(true);
    frmP->RefreshAll();
    Try([&] { QXProgrammer.OperatorModeFlag(bOperatorMode); });
}

void frmMain::SetOperatorModeControls()
{
    ApplySealbookMode(true);
}

void frmMain::SetSupervisorModeControls()
{
    ApplySealbookMode(false);
}

void frmMain::ApplySealbookMode(bool operatorMode)
{
    using Mode = SealbookModeTable::Mode;
    const Mode mode = operatorMode ? Mode::Operator : Mode::Supervisor;
    const ProgrammerClass& data = pgmrData();
    if (operatorMode)
        mnuEnterNewMode->setText(SealbookModeTable::EnterNewModeCaption(mode));
    SealbookModeTable::Context context;
    context.handlerType = data.udtHandlerType;
    context.bufferEmpty = data.blnBufferEmpty;
    context.fileTypeSavable = [this] {
        EnableFileSaveDataPattern();
        return SaveDataPattern->isEnabled();
    };
    context.editAllowed = [this] {
        DisableBufferActionsForVexal();
        return EditDataPattern->isEnabled();
    };
    SealbookModeTable::Apply(mode, context, this);
    EnableRecentFileMenus(!operatorMode);
    SetDeviceMenuStatesForSkMode(!operatorMode);
    // An automatic handler follows the mode in its own window.
    if (SealbookModeTable::AutomaticHandler(data.udtHandlerType))
        Try([&] { QXH950AutoHandler.HandlerMode(operatorMode); });
    if (!frmP)
        return;
    if (operatorMode)
        frmP->SetOperatorModeControls();
    else
        frmP->SetSupervisorModeControls();
}

void frmMain::SetDeviceMenuStatesForSkMode(bool enable)
{
    for (const QString& name : SealbookModeTable::DeviceMenuItems()) {
        if (QAction* item = findChild<QAction*>(name))
            item->setEnabled(enable);
    }
}

void frmMain::EnableAllMainMenuItems(bool enable)
{
    // The menu titles only; the items inside keep their own states.
    for (QAction* title : menuBar()->actions())
        title->setEnabled(enable);
}

void frmMain::EnableMenu(bool enable)
{
    EnableAllMainMenuItems(enable);
    if (cmdLoadJob)
        cmdLoadJob->setEnabled(enable);
    if (cmdSaveJob)
        cmdSaveJob->setEnabled(enable);
    txtNumCopies->setEnabled(enable);
    // The mode's table again, so that operator mode stays in force after
    // every command.
    if (enable) {
        if (pgmrData().bStartInOperatorMode)
            SetOperatorModeControls();
        else
            SetSupervisorModeControls();
    }
    txtNumCopies->setEnabled(enable);
}

void frmMain::EnableGui(bool enable)
{
    EnableMenu(enable);
    if (frmP)
        frmP->EnableOperations(enable);
}

void frmMain::mnuEnterNewMode_Click()
{
    SetSKMode(!pgmrData().bStartInOperatorMode);
    frmP->DisableCheckboxesAsNecessary();
}
