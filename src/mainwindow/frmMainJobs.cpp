// The main window's job files: opening and saving whole jobs (".qx") through
// the engine, the checks made before every save, and the job buttons and
// menu items that lead to them; the locked-job (Sealbook) modes, with the
// enabling of the window around long commands, and the Sealbook menu.

#include "mainwindow/frmMain.h"

#include "mainwindow/JobBackups.h"
#include "mainwindow/SealbookModeTable.h"
#include "operation/frmProgram.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "records/frmOperatorPwd.h"
#include "records/frmSKPwd.h"
#include "records/frmSKReport.h"
#include "records/frmSealbookConfigure.h"
#include "records/frmSealbookNote.h"
#include "settings/ProgrammerClass.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolBar>

using enginecall::Try;

namespace {

const QString kJobFilter = QStringLiteral("QX Job File (*.qx)|*.qx|All Files (*.*)|*.*");
const QString kSealbook = QStringLiteral("Sealbook");

bool AutomaticHandler(const ProgrammerClass& data)
{
    return data.udtHandlerType == 1 || data.udtHandlerType == 2;
}

} // namespace

void frmMain::CreateJobButtons(QToolBar* toolbar)
{
    cmdLoadJob = new QPushButton(QStringLiteral("Load A Job"), toolbar);
    cmdLoadJob->setObjectName(QStringLiteral("cmdLoadJob"));
    cmdSaveJob = new QPushButton(QStringLiteral("Save A Job"), toolbar);
    cmdSaveJob->setObjectName(QStringLiteral("cmdSaveJob"));
    toolbar->addWidget(cmdLoadJob);
    toolbar->addWidget(cmdSaveJob);
    connect(cmdLoadJob, &QPushButton::clicked, this, &frmMain::cmdLoadJob_Click);
    connect(cmdSaveJob, &QPushButton::clicked, this, &frmMain::cmdSaveJob_Click);
}

void frmMain::ConnectJobMenus()
{
    // The menu tree makes the items; each is connected once, by its name,
    // whichever of them exist.
    const std::pair<const char*, void (frmMain::*)()> items[] = {
        {"mnuLoadJob", &frmMain::mnuLoadJob_Click},
        {"mnuSaveJob", &frmMain::mnuSaveJob_Click},
        {"mnuSaveJobAs", &frmMain::mnuSaveJobAs_Click},
        {"mnuEnterNewMode", &frmMain::mnuEnterNewMode_Click},
        {"mnuSealbookConfigure", &frmMain::mnuSealbookConfigure_Click},
        {"mnuJobChangePassword", &frmMain::mnuJobChangePassword_Click},
        {"mnuViewNote", &frmMain::mnuViewNote_Click},
    };
    for (const auto& [name, handler] : items) {
        QAction* action = findChild<QAction*>(QString::fromLatin1(name));
        if (!action || action->property("tarvoJobConnected").toBool())
            continue;
        action->setProperty("tarvoJobConnected", true);
        connect(action, &QAction::triggered, this, handler);
    }
}

void frmMain::mnuLoadJob_Click()
{
    bool ok = false;
    ExecLoadJobCmd(0, QString(), ok);
}

void frmMain::cmdLoadJob_Click()
{
    mnuLoadJob_Click();
}
void frmMain::cmdSaveJob_Click()
{
    mnuSaveJob_Click();
}

void frmMain::mnuSaveJobAs_Click()
{
    bool ok = false;
    ExecSaveJobCmd(0, QString(), ok);
}

void frmMain::HandlerBusy(bool busy)
{
    ProgrammerClass& data = pgmrData();
    if (busy) {
        if (AutomaticHandler(data))
            Try([&] { QXH950AutoHandler.EnableHandlerGui(false); });
        Try([&] { QXH950AutoHandler.HandlerFlag21(true); });
        return;
    }
    Try([&] { QXH950AutoHandler.HandlerFlag21(false); });
    if (AutomaticHandler(data)) {
        Try([&] { QXH950AutoHandler.EnableHandlerGui(true); });
        Try([&] { QXH950AutoHandler.HandlerMode(QXH950AutoHandler.HandlerMode()); });
    }
}

void frmMain::LockForEngine(bool locked)
{
    if (locked) {
        EnableMenu(false);
        frmP->EnableOperations(false);
        frmP->EnableOperationSettings(false);
        frmP->SetOperationOptions();
        return;
    }
    frmP->EnableOperations(true);
    frmP->EnableOperationSettings(true);
    frmP->SetButtonStates();
    // The mode's table last, so that nothing unlocked above outlasts it.
    EnableMenu(true);
}

void frmMain::ExecLoadJobCmd(qint32 useGiven, const QString& file, bool& ok)
{
    HandlerBusy(true);
    QString name = file;
    QString title = QFileInfo(file).fileName();
    if (useGiven == 0) {
        FileDialogRequest request;
        request.title = QStringLiteral("Open");
        request.filter = QtFileFilter(kJobFilter);
        request.initialDir = pgmrData().JobDialogFolder();
        name = Ui().GetOpenFileName(request);
        title = QFileInfo(name).fileName();
    }
    qint32 result = 0;
    LoadQxFile(name, title, result);
    // Nothing loaded (a cancelled dialog, an empty name) is no success: an
    // automation client must not hear of a load that did not happen.
    ok = result == 0 && !name.isEmpty();
}

void frmMain::LoadQxFile(const QString& file, const QString& title, qint32& result)
{
    result = 0;
    ProgrammerClass& data = pgmrData();
    QString loaded = file;
    bool backedUp = true;
    if (!loaded.isEmpty()) {
        bool runOption = false;
        Try([&] { runOption = QXProgrammer.RunOption60(); });
        Try([&] { QXProgrammer.RunOption60(false); });
        // The dialogs start in the job's folder next time; a caller without
        // a title (the engine's own request) leaves it empty.
        const QString oldDir = data.strJobDir;
        data.strJobDir = title.isEmpty() ? QString() : QFileInfo(loaded).absolutePath();
        EnableMenu(false);
        frmP->EnableOperations(false);
        frmP->EnableOperationSettings(false);
        data.skType = 1;

        m_jobLoadRefusedUntouched = false;
        LoadJob(loaded, result);
        // An older job's seal has no key, so anyone can reseal it: a lock
        // it carries is taken only once the supervisor gives its password.
        if (result == 0 && bOldSKJobFile) {
            bool locked = false;
            Try([&] { locked = QXProgrammer.HasSealbookPassword(); });
            if (locked) {
                frmOperatorPwd prompt(this);
                Ui().ShowModal(&prompt);
                bool right = false;
                if (!prompt.bCancel)
                    Try([&] { right = QXProgrammer.CheckSealbookPassword(prompt.strPwd); });
                if (!right) {
                    Ui().MsgBox(QStringLiteral("The older Sealbook file is locked and its password was not given. "
                                               "The job was not loaded."),
                                vb::vbCritical, kSealbook);
                    bOldSKJobFile = false;
                    m_jobLoadRefusedUntouched = false;
                    result = 150;
                }
            }
        }
        if (result == 150) {
            if (m_jobLoadRefusedUntouched) {
                // Refused before anything changed: the station keeps its
                // job as it was.
                data.strJobDir = oldDir;
            } else {
                // Changed part-way: back to the default configuration.
                data.strJobName.clear();
                frmP->UpdateFormCaption(false);
                Try([&] { ApplyDefaultConfiguration(true); });
            }
            loaded.clear();
        }
        frmP->GetOperationSetting();
        frmP->EnableOperationSettings(true);
        frmP->EnableOperations(true);
        EnableMenu(true);
        frmP->SetButtonStates();
        Try([&] { QXProgrammer.RunOption60(runOption); });
        if (!loaded.isEmpty())
            SKConversionPrompt(backedUp);
    }
    HandlerBusy(false);

    // An older file whose backup failed is not written over by the save.
    if (!loaded.isEmpty() && backedUp) {
        // The job is saved again at once, silently.
        SilentJobSave();
    }
}

void frmMain::SilentJobSave()
{
    Try([&] { QXProgrammer.JobLoadFlag144(true); });
    bool showErrors = true;
    Try([&] { showErrors = QXProgrammer.ShowErrorMessages(); });
    Try([&] { QXProgrammer.ShowErrorMessages(false); });
    m_silentJobSave = true;
    mnuSaveJob_Click();
    m_silentJobSave = false;
    Try([&] { QXProgrammer.ShowErrorMessages(showErrors); });
    Try([&] { QXProgrammer.JobLoadFlag144(false); });
}

void frmMain::LoadJob(const QString& file, qint32& result)
{
    ProgrammerClass& data = pgmrData();
    bOldSKJobFile = false;
    const QString oldName = data.strJobName;
    data.strJobName = file;
    qint32 code = -1;
    m_jobLoadRefusedUntouched = false;
    Try([&] { code = QXProgrammer.LoadJobFile(data.strJobName); });
    // Refused before anything changed: the station keeps every setting it
    // had, none of them read back from the engine.
    if (code != 0 && code != 50 && m_jobLoadRefusedUntouched) {
        result = 150;
        data.strJobName = oldName;
        return;
    }
    const bool older = code == 50;
    if (older) {
        sOldSKJobFile = file;
        bOldSKJobFile = true;
        code = 0;
    }
    Try([&] { QXProgrammer.JobCall275(qint16(older ? 0 : 1)); });
    Try([&] { data.bVerifyChecksum = QXProgrammer.SealbookSetting81(); });
    frmP->SetDeviceConfigureOptions();
    Try([&] { data.lngFileSize = QXProgrammer.BufferSize(); });
    frmP->SetDisplayInfo();
    Try([&] { data.bDataPatternLinkedToSKFile = QXProgrammer.ThreadCommObject(); });
    result = code != 0 ? 150 : 0;
    // A refused job does not take the name of the current one.
    if (result != 0)
        data.strJobName = oldName;
}

void frmMain::SaveJobPositionAndBank()
{
    qint32 setMode = 0;
    Try([&] { setMode = QXProgrammer.SetMode(); });
    if (setMode == 1) {
        Try([&] { QXProgrammer.CurrentDataPosition(0); });
        Try([&] { QXProgrammer.CurrentBank(0); });
        return;
    }
    const qint32 position = frmP->cboDatPos ? std::max(0, frmP->cboDatPos->currentIndex()) : 0;
    const qint32 bank = frmP->cboBankNum ? std::max(0, frmP->cboBankNum->currentIndex()) : 0;
    Try([&] { QXProgrammer.CurrentDataPosition(position); });
    Try([&] { QXProgrammer.CurrentBank(bank); });
}

bool frmMain::SaveJobTo(const QString& file)
{
    LockForEngine(true);
    // The job stores the verify-checksum setting the station holds, the one
    // the save's question shows.
    Try([&] { QXProgrammer.SealbookSetting81(pgmrData().bVerifyChecksum); });
    bJobSaveSucceeded = true;
    qint32 code = -1;
    Try([&] { code = QXProgrammer.SaveJobFile(file); });
    const bool ok = code == 0 && bJobSaveSucceeded;
    frmP->EnableOperationSettings(true);
    frmP->EnableOperations(true);
    EnableMenu(true);
    frmP->SetButtonStates();
    return ok;
}

void frmMain::mnuSaveJob_Click()
{
    ProgrammerClass& data = pgmrData();
    // The job file takes the job's note history, also when the job is saved
    // on the way to (or after loading) an auto file.
    const qint32 oldType = data.skType;
    data.skType = 1;
    const auto restoreType = qScopeGuard([&] { data.skType = oldType; });
    // The save that follows a load is silent: no buffer-source check, no note.
    const bool silent = m_silentJobSave;
    bool refused = false;
    IsJobSaveRefused(!silent, refused);
    if (refused)
        return;

    QString extra;
    Try([&] { extra = QXProgrammer.DeviceConfigValue(QStringLiteral("EXTRA_CMDS")); });
    if (!extra.isEmpty() && extra.contains(QLatin1String("CMD_NOCHIP"))) {
        Ui().MsgBox(QStringLiteral("Cannot save the job. Special configure is not supported in Sealbook."),
                    vb::vbCritical, QStringLiteral("Error"));
        return;
    }

    HandlerBusy(true);
    SaveJobPositionAndBank();
    bool saved = false;
    if (!data.strJobName.isEmpty()) {
        frmSealbookNote note(data, GetSoftwareVersion(), this);
        note.skType = 1;
        if (!silent)
            note.ShowSave(1);
        else
            note.bCancel = false;
        if (!note.bCancel)
            saved = SaveJobTo(data.strJobName);
        HandlerBusy(false);
    } else {
        HandlerBusy(false);
        bool ok = false;
        ExecSaveJobCmd(0, QString(), ok);
        saved = ok;
    }
    // An older file counts as converted only once it was saved.
    if (saved)
        bSKJobNeedsSave = false;
}

void frmMain::ExecSaveJobCmd(qint32 useGiven, const QString& file, bool& ok)
{
    ok = false;
    ProgrammerClass& data = pgmrData();
    data.skType = 1;
    bool refused = false;
    IsJobSaveRefused(true, refused);
    if (refused)
        return;

    if (data.bRemindToVerifyChecksum) {
        const QString text = data.bVerifyChecksum
            ? QStringLiteral("The verify checksum is enabled. Do you want to continue to save the job?")
            : QStringLiteral("The verify checksum is disabled. Do you want to continue to save the job?");
        if (AppMsgBox(text, vb::vbYesNo + vb::vbQuestion, QStringLiteral("Verify Checksum")) == vb::vbNo)
            return;
    }

    HandlerBusy(true);
    SaveJobPositionAndBank();
    QString name = file;
    if (useGiven == 0) {
        FileDialogRequest request;
        request.title = QStringLiteral("Save Job As");
        request.filter = QtFileFilter(kJobFilter);
        request.initialDir = data.JobDialogFolder();
        request.defaultExtension = QStringLiteral("qx"); // Load Job lists *.qx
        name = Ui().GetSaveFileName(request);
    }

    if (!name.isEmpty()) {
        const QString oldName = data.strJobName;
        const QString oldDir = data.strJobDir;
        data.strJobName = name;
        data.strJobDir = QFileInfo(name).absolutePath();
        frmSealbookNote note(data, GetSoftwareVersion(), this);
        note.skType = 1;
        if (useGiven != 1) {
            if (data.strJobNote.isEmpty())
                note.ShowSave(1);
            else
                note.ShowSaveAs(1);
        } else {
            note.bCancel = false;
        }
        if (!note.bCancel) {
            CreateDirectoryPath(data.strJobDir);
            // The engine hears of the new job once the window is locked
            // and has handed it the window's options.
            LockForEngine(true);
            Try([&] { QXProgrammer.JobCall275(qint16(3)); });
            ok = SaveJobTo(name);
        }
        // The new name holds only once the job was saved under it.
        if (!ok) {
            data.strJobName = oldName;
            data.strJobDir = oldDir;
        }
    }

    frmP->UpdateFormCaption(true);
    HandlerBusy(false);
    if (ok)
        bSKJobNeedsSave = false;
}

void frmMain::IsJobSaveRefused(bool checkBuffer, bool& refused)
{
    refused = true;
    const ProgrammerClass& data = pgmrData();
    if (checkBuffer) {
        const QString info = frmP->GetBufferInfo();
        if (info.contains(QLatin1Char('>')) && info.contains(QLatin1Char('<'))) {
            AppMsgBox(QStringLiteral("Please save the buffer to a file and then save the job again."), vb::vbCritical,
                      kSealbook);
            return;
        }
    }
    if (!data.blnDeviceSelected) {
        AppMsgBox(QStringLiteral("No device has been selected. You must select a device before saving a job!"),
                  vb::vbCritical, QStringLiteral("Sealbook Failure"));
        return;
    }
    bool incompatible = false;
    Try([&] { incompatible = QXProgrammer.JobValue325(); });
    if (incompatible) {
        AppMsgBox(
            QStringLiteral("Cannot save the job.  The buffer file type is incompatible with the file type required "
                           "by the algorithm."),
            vb::vbCritical, kSealbook);
        return;
    }
    bool ok = true;
    CheckLinkedDataPattern(ok);
    if (!ok)
        return;
    Try([&] { QXProgrammer.SetDataPatternLinked(pgmrData().bDataPatternLinkedToSKFile); });
    refused = false;
}

void frmMain::CheckLinkedDataPattern(bool& ok)
{
    ok = true;
    ProgrammerClass& data = pgmrData();
    if (!data.bDataPatternLinkedToSKFile)
        return;
    if (data.strFileName.isEmpty() || !QFileInfo::exists(data.strFilePath + data.strFileName)) {
        AppMsgBox(QStringLiteral("Data pattern file does not exist.  To save a Sealbook file with an externally linked "
                                 "data pattern, please save the buffer to a file and then save the Job."),
                  vb::vbCritical, kSealbook);
        ok = false;
        return;
    }
    bool linkable = false;
    Try([&] { linkable = QXProgrammer.JobValue1004(); });
    if (linkable) {
        if (frmP->bBufferDirty) {
            AppMsgBox(
                QStringLiteral("The contents of the data buffer have been modified but have not been saved to the "
                               "currently selected data pattern file:")
                    + QStringLiteral("\r\n") + data.FullDataBufferPath() + QStringLiteral("\r\n")
                    + QStringLiteral("Therefore the data buffer data does not match the data stored in the data "
                                     "pattern file that will be externally linked to the job being saved. Please "
                                     "save the buffer to the data pattern file and then save the job again."),
                vb::vbCritical, kSealbook);
            ok = false;
        }
        return;
    }
    if (AppMsgBox(QStringLiteral("The currently selected data patterns file type does not support external linking to "
                                 "Sealbook files. This feature will be turned off and the data pattern will be stored "
                                 "internally in the Sealbook file. Would you like to continue saving the job?"),
                  vb::vbYesNo + vb::vbQuestion, kSealbook)
        == vb::vbNo)
        ok = false;
    data.bDataPatternLinkedToSKFile = false;
}

void frmMain::ShowJobReport(qint32 type, bool showQXJobPage, bool jobError, bool& accepted)
{
    bool showErrors = true;
    Try([&] { showErrors = QXProgrammer.ShowErrorMessages(); });
    if (!showErrors) {
        // Nobody to ask: a sound job is taken, a damaged one is not.
        accepted = !jobError;
        return;
    }
    const ProgrammerClass& data = pgmrData();
    frmSKReport report(data.skType, this);
    report.bJobError = jobError;
    report.bShowQXJobPage = showQXJobPage;
    report.Reset();
    if (type == 1 || type == 2) {
        QString checksum;
        Try([&] { checksum = QXProgrammer.ChecksumText(); });
        report.AddItem(QStringLiteral("Buffer File Name"), data.strFileName + QStringLiteral(" "), 1);
        report.AddItem(QStringLiteral("Checksum"), checksum + QStringLiteral(" "), 1);
        report.AddItem(QStringLiteral("Device Name"), data.strDeviceName + QStringLiteral(" "), 1);
        report.AddItem(QStringLiteral("Note"), data.strJobNote, 1);
    }
    if (type == 2) {
        report.AddItem(QStringLiteral("SK File Name"), data.strJobName, 2);
        const std::pair<const char*, QString (H950HdlrControl::*)()> rows[] = {
            {"Primary Source", &H950HdlrControl::PrimarySource},
            {"Alternate Source", &H950HdlrControl::AlternateSource},
            {"Primary Destination", &H950HdlrControl::PrimaryDestination},
            {"Alternate Destination", &H950HdlrControl::AlternateDestination},
            {"Marker", &H950HdlrControl::Marker},
            {"Package", &H950HdlrControl::Package},
        };
        // Named once, as the main window's load does (a member pointer on the
        // reference member inside the lambda read a wrong object under the
        // sanitizer build).
        H950HdlrControl& handler = QXH950AutoHandler;
        for (const auto& [field, member] : rows) {
            QString value;
            Try([&handler, &value, m = member] { value = (handler.*m)(); });
            report.AddItem(QString::fromLatin1(field), value, 2);
        }
        report.AddItem(QStringLiteral("Note"), data.strSKAutoNote + QStringLiteral(" "), 2);
    }
    Ui().ShowModal(&report);
    accepted = !report.bCancel;
}

void frmMain::SKConversionPrompt()
{
    bool done = false;
    SKConversionPrompt(done);
}

void frmMain::SKConversionPrompt(bool& done)
{
    if (!bOldSKJobFile && !bOldSKAutoFile) {
        done = true;
        return;
    }
    const QString crlf = QStringLiteral("\r\n");
    auto part = [&](const QString& file, const QString& howTo) {
        return QStringLiteral("The ' ") + QFileInfo(file).fileName() + QStringLiteral(" ' ")
            + QStringLiteral("Sealbook file is an older version.") + crlf
            + QStringLiteral("A backup of this file will be saved.") + crlf + howTo;
    };
    QStringList parts;
    if (bOldSKJobFile)
        parts << part(
            sOldSKJobFile,
            QStringLiteral("To convert to the current version, select Save or SaveAs from the Sealbook menu."));
    if (bOldSKAutoFile)
        parts << part(sOldSKAutoFile,
                      QStringLiteral("To convert to the current version, click Save or SaveAs in the handler window."));
    Ui().MsgBox(parts.join(crlf + crlf), vb::vbInformation, QString());

    bool ok = false;
    BackUpOlderSKFiles(ok);
    done = ok;
    if (ok)
        bSKJobNeedsSave = bOldSKJobFile;
    bOldSKJobFile = false;
    bOldSKAutoFile = false;
}

void frmMain::BackUpOlderSKFiles(bool& ok)
{
    ok = false;
    bool failed = false;
    if (bOldSKJobFile) {
        failed = true;
        bool backedUp = false;
        if (!sOldSKJobFile.isEmpty())
            BackUpFile(sOldSKJobFile, backedUp);
        failed = !backedUp;
    }
    if (bOldSKAutoFile && !failed) {
        failed = true;
        bool backedUp = false;
        if (!sOldSKAutoFile.isEmpty())
            BackUpFile(sOldSKAutoFile, backedUp);
        failed = !backedUp;
    }
    if (!failed) {
        ok = true;
        return;
    }
    Ui().MsgBox(QStringLiteral("\t!Error!\r\nCould not back up older version of Sealbook!"), vb::vbCritical, QString());
    // Nothing re-saves a file whose backup failed: the original stays as it is.
    bOldSKJobFile = false;
    bOldSKAutoFile = false;
}

void frmMain::BackUpFile(const QString& file, bool& ok)
{
    const QString backup = jobbackups::MakeBackupName(file);
    ok = !backup.isEmpty();
    if (!ok)
        return;
    bool copy = true;
    if (QFileInfo::exists(backup)) {
        if (Ui().MsgBox(file + QStringLiteral(" backup already exists!\r\n\t   Overwrite?"), vb::vbYesNo, QString())
            == vb::vbNo) {
            copy = false;
        } else if (jobbackups::IsReadOnly(backup) && QFileInfo(backup).isFile()) {
            Ui().MsgBox(backup + QStringLiteral(" is Read-Only and cannot be overwritten."), vb::vbOKOnly, QString());
            copy = false;
        }
    }
    // A copy that fails is a failed backup, not a silent success.
    if (copy)
        ok = jobbackups::CopyOver(file, backup);
}

void frmMain::LoadSKAutoFile(const QString& file, qint32& result)
{
    LoadSKAutoFileCore(file, result, true);
    SKConversionPrompt();
    // Saved again only once loaded: else the engine's state would be written
    // over the job just refused.
    if (result == 0)
        SilentJobSave();
}

void frmMain::LoadSKAutoFileCore(const QString& file, qint32& result, bool bOpen)
{
    ProgrammerClass& data = pgmrData();
    const QString jobInfo = QStringLiteral("JobInfo");
    result = 0;
    if (bOpen) {
        result = -1;
        Try([&] { result = QXProgrammer.OpenSealbookFile(file); });
        if (result == 50) {
            sOldSKAutoFile = file;
            bOldSKAutoFile = true;
            result = 0;
        }
    }
    // A file that is no auto file, or cannot be opened, leaves the buffer
    // and the job alone.
    if (result != 0)
        return;

    QString name;
    QString type;
    Try([&] { type = QXProgrammer.ReadSealbookValue(jobInfo, QStringLiteral("QXType"), QString()); });
    if (type != QLatin1String("SKAuto")) {
        Ui().MsgBox(QStringLiteral("This is not an Auto Handler Job file. Please reselect the file."), vb::vbCritical,
                    QStringLiteral("File Type Error"));
        result = -1;
        Try([&] { QXProgrammer.CloseSealbookFile(); });
        return;
    }
    LockForEngine(true);
    qint32 status = -1;
    QString note;
    Try([&] { note = QXProgrammer.ReadSealbookValue(jobInfo, QStringLiteral("Note"), QString(), qint32(2), status); });
    if (status == 0)
        data.strSKAutoNote = note;
    status = -1;
    Try([&] {
        name = QXProgrammer.ReadSealbookValue(jobInfo, QStringLiteral("SKFileName"), QString(), qint32(2), status);
    });
    if (status == 0) {
        result = -1;
        Try([&] { result = QXH950AutoHandler.SealbookAutoValue58(); });
        if (result == 0 && !gCmdLineJobFile.isEmpty())
            Try([&] { QXH950AutoHandler.SealbookFileName(gCmdLineJobFile); });
    }
    LockForEngine(false);
    bool sound = false;
    Try([&] { sound = QXProgrammer.SealbookAutoValue110(); });
    if (!sound)
        result = -1;
    Try([&] { lSKAutoStoredCRC = QXProgrammer.SealbookLoadValue111(); });
    Try([&] { QXProgrammer.CloseSealbookFile(); });

    if (name.isEmpty() || result != 0) {
        ClearBuffer();
        if (result == 0)
            result = -1;
        return;
    }
    LockForEngine(true);
    qint32 r = 0;
    data.skType = 2;
    LoadJob(name, r);
    result = r == 150 ? -1 : 0;
    frmP->GetOperationSetting();
    LockForEngine(false);
}

void frmMain::SaveSKAutoFile(const QString& file, qint32& result, bool bNoNotePrompt)
{
    ProgrammerClass& data = pgmrData();
    data.skType = 2;
    const QString name = data.strJobName;
    result = -1;
    bool jobKnown = false;
    Try([&] { jobKnown = QXProgrammer.SealbookAutoValue112(); });
    if (!jobKnown || name.isEmpty()) {
        Ui().MsgBox(QStringLiteral("To save an autohandler Sealbook File, a manual handler Sealbook must be "
                                   "loaded/saved first."),
                    vb::vbCritical, QStringLiteral("Saving Error"));
        return;
    }
    if (bSKJobNeedsSave) {
        Ui().MsgBox(QStringLiteral("Because an older version of the Sealbook was detected,\r\nthe ") + name
                        + QStringLiteral(" file will be saved before continuing."),
                    vb::vbInformation, QString());
        mnuSaveJob_Click();
        data.skType = 2;
        if (bSKJobNeedsSave) {
            Ui().MsgBox(QStringLiteral("\t!Error!\r\nThe ") + name
                            + QStringLiteral(" file was NOT saved.\r\nCannot save ") + file + QStringLiteral(" until ")
                            + name + QStringLiteral("is saved first."),
                        vb::vbCritical, QFileInfo(file).fileName());
            return;
        }
    }
    frmSealbookNote note(data, GetSoftwareVersion(), this);
    note.skType = 2;
    if (!bNoNotePrompt) {
        if (data.strSKAutoNote.isEmpty())
            note.ShowSave(1);
        else
            note.ShowSaveAs(1);
    } else {
        note.bCancel = false;
    }
    if (note.bCancel)
        return;
    EnableMenu(false);
    frmP->EnableOperations(false);
    Try([&] { result = QXProgrammer.CreateSealbookFile(file); });
    if (result == 0) {
        QString value = name;
        qint32 status = -1;
        Try([&] {
            result = QXProgrammer.WriteSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("SKFileName"), QString(),
                                                     value, qint32(2), status);
        });
        if (result == 0)
            Try([&] { result = QXH950AutoHandler.SealbookAutoValue59(); });
    }
    // A created file is always closed.
    Try([&] { QXProgrammer.CloseSealbookFile(); });
    frmP->EnableOperations(true);
    EnableMenu(true);
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

// --- the Sealbook menu ---

void frmMain::mnuEnterNewMode_Click()
{
    SetSKMode(!pgmrData().bStartInOperatorMode);
    frmP->DisableCheckboxesAsNecessary();
}

void frmMain::mnuJobChangePassword_Click()
{
    frmSKPwd dialog(QXProgrammer, pgmrData(), this);
    Ui().ShowModal(&dialog);
}

void frmMain::mnuViewNote_Click()
{
    frmSealbookNote note(pgmrData(), GetSoftwareVersion(), this);
    note.skType = 1;
    note.ShowNote(1);
}

void frmMain::mnuSealbookConfigure_Click()
{
    ProgrammerClass& data = pgmrData();
    frmSealbookConfigure dialog(QXProgrammer, data, this);
    Try([&] { dialog.bEnableMarkInputFields = QXProgrammer.SealbookSetting310(); });
    Try([&] { dialog.bStartInOperatorMode = QXProgrammer.SealbookSetting211(); });
    dialog.bVerifyChecksum = data.bVerifyChecksum;
    dialog.bRemind = data.bRemindToVerifyChecksum;
    dialog.ShowDialog();
    if (dialog.bCancel)
        return;
    data.bVerifyChecksum = dialog.bVerifyChecksum;
    data.bRemindToVerifyChecksum = dialog.bRemind;
    Try([&] { QXProgrammer.SealbookSetting81(dialog.bVerifyChecksum); });
}
