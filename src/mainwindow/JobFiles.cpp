// The station's job files: opening and saving whole jobs through the engine,
// the checks made before every save, the setup report's decision, older
// locked-job files and their backups, and the automatic handler's Sealbook
// auto files.

#include "mainwindow/JobFiles.h"

#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/JobBackups.h"
#include "mainwindow/Station.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/CommandLine.h"
#include "shell/ShellUtilities.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

using enginecall::Try;
using Refresh = JobFiles::Host::Refresh;

namespace {

const QString kJobFilter = QStringLiteral("QX Job File (*.qx)|*.qx|All Files (*.*)|*.*");
const QString kSealbook = QStringLiteral("Sealbook");

bool AutomaticHandler(const ProgrammerClass& data)
{
    return data.udtHandlerType == 1 || data.udtHandlerType == 2;
}

// The handler's own settings an auto file sets (its places, marker and
// package), in the order the setup report lists them. Its panel's interval
// and marker lines have no put to restore them.
struct HandlerSetting
{
    const char* field; // the setup report's row
    QString (H950HdlrControl::*get)();
    void (H950HdlrControl::*put)(const QString&);
};
const HandlerSetting kAutoFileHandlerSettings[] = {
    {"Primary Source", &H950HdlrControl::PrimarySource, &H950HdlrControl::PrimarySource},
    {"Alternate Source", &H950HdlrControl::AlternateSource, &H950HdlrControl::AlternateSource},
    {"Primary Destination", &H950HdlrControl::PrimaryDestination, &H950HdlrControl::PrimaryDestination},
    {"Alternate Destination", &H950HdlrControl::AlternateDestination, &H950HdlrControl::AlternateDestination},
    {"Marker", &H950HdlrControl::Marker, &H950HdlrControl::Marker},
    {"Package", &H950HdlrControl::Package, &H950HdlrControl::Package},
};

} // namespace

JobFiles::JobFiles(Station& station, Host& host)
    : QXProgrammer(station.QXProgrammer),
      QXH950AutoHandler(station.QXH950AutoHandler),
      m_station(station),
      m_host(host)
{
}

ProgrammerClass& JobFiles::pgmrData()
{
    return m_station.pgmrData();
}

void JobFiles::HandlerBusy(bool busy)
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

void JobFiles::LockForEngine(bool locked)
{
    if (locked) {
        m_host.EnableMenus(false);
        m_host.EnableOperations(false);
        m_host.EnableOperationSettings(false);
        m_host.RefreshOperationWindow(Refresh::OperationOptions);
        return;
    }
    m_host.EnableOperations(true);
    m_host.EnableOperationSettings(true);
    m_host.RefreshOperationWindow(Refresh::ButtonStates);
    // The mode's table last, so that nothing unlocked above outlasts it.
    m_host.EnableMenus(true);
}

void JobFiles::ExecLoadJobCmd(qint32 useGiven, const QString& file, bool& ok)
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

bool JobFiles::LoadJobForClient(const QString& file)
{
    m_forClient = true;
    const auto done = qScopeGuard([this] { m_forClient = false; });
    bool ok = false;
    ExecLoadJobCmd(1, file, ok);
    return ok;
}

qint32 JobFiles::LoadQxFileForClient(const QString& file)
{
    m_forClient = true;
    const auto done = qScopeGuard([this] { m_forClient = false; });
    qint32 result = 0;
    LoadQxFile(file, QString(), result);
    return result;
}

bool JobFiles::SaveJobForClient(const QString& file)
{
    m_forClient = true;
    const auto done = qScopeGuard([this] { m_forClient = false; });
    bool ok = false;
    ExecSaveJobCmd(1, file, ok);
    return ok;
}

void JobFiles::JobSavingError(const QString& text)
{
    SaveBox(text, vb::vbCritical, QStringLiteral("Job Saving Error..."));
    bJobSaveSucceeded = false;
}

int JobFiles::SaveBox(const QString& text, int buttons, const QString& title)
{
    // A client's save waits for nobody.
    if (m_forClient) {
        WriteLogInfo(QStringLiteral("Automation client's save: ")
                         + QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")),
                     true);
        return vb::vbOK;
    }
    return AppMsgBox(text, buttons, title);
}

void JobFiles::LoadQxFile(const QString& file, const QString& title, qint32& result)
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
        m_host.EnableMenus(false);
        m_host.EnableOperations(false);
        m_host.EnableOperationSettings(false);
        data.skType = 1;

        m_jobLoadRefusedUntouched = false;
        LoadJob(loaded, result);
        if (result == 150) {
            if (m_jobLoadRefusedUntouched) {
                // Refused, and the engine and the job's settings are as they
                // were: the station keeps its job.
                data.strJobDir = oldDir;
            } else {
                // Changed part-way with nothing to go back to (no device
                // was selected): back to the default configuration.
                data.strJobName.clear();
                m_host.RefreshOperationWindow(Refresh::Caption);
                Try([&] { m_host.ApplyDefaultConfiguration(true); });
            }
            loaded.clear();
        }
        m_host.RefreshOperationWindow(Refresh::OperationSetting);
        m_host.EnableOperationSettings(true);
        m_host.EnableOperations(true);
        m_host.EnableMenus(true);
        m_host.RefreshOperationWindow(Refresh::ButtonStates);
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

void JobFiles::SilentJobSave()
{
    Try([&] { QXProgrammer.JobLoadFlag144(true); });
    bool showErrors = true;
    Try([&] { showErrors = QXProgrammer.ShowErrorMessages(); });
    Try([&] { QXProgrammer.ShowErrorMessages(false); });
    m_silentJobSave = true;
    SaveJob();
    m_silentJobSave = false;
    Try([&] { QXProgrammer.ShowErrorMessages(showErrors); });
    Try([&] { QXProgrammer.JobLoadFlag144(false); });
}

qint32 JobFiles::LoadJobFile(const QString& file)
{
    // Whether the file is of the older version, known before the engine
    // takes it: the lock such a file carries is checked while the engine
    // waits for the setup to be accepted (SealbookLoadingError), so that a
    // refusal leaves the engine's settings as they were.
    qint32 opened = -1;
    Try([&] { opened = QXProgrammer.OpenSealbookFile(file); });
    Try([&] { QXProgrammer.CloseSealbookFile(); });
    m_loadingOlder = opened == 50;
    m_setupRefused = false;
    const auto loaded = qScopeGuard([this] {
        m_loadingOlder = false;
        m_setupRefused = false;
    });
    qint32 code = -1;
    Try([&] { code = QXProgrammer.LoadJobFile(file); });
    return code;
}

template <class Copy>
void JobFiles::JobFields::Pairs(ProgrammerClass& data, JobFields& kept, Copy copy)
{
    copy(data.strDeviceName, kept.deviceName);
    copy(data.strDeviceSize, kept.deviceSize);
    copy(data.strDevicePackage, kept.devicePackage);
    copy(data.lngDeviceSize, kept.deviceSizeBytes);
    copy(data.blnDeviceSelected, kept.deviceSelected);
    copy(data.strFileName, kept.fileName);
    copy(data.strFilePath, kept.filePath);
    copy(data.strFileDrive, kept.fileDrive);
    copy(data.strDisplayedFileName, kept.displayedFileName);
    copy(data.dtmFileDate, kept.fileDate);
    copy(data.lngFileSize, kept.fileSize);
    copy(data.udtCSumMethod, kept.checksumMethod);
    copy(data.udtCSumType, kept.checksumType);
    copy(data.udtRadix, kept.radix);
    copy(data.bClearBeforeRead, kept.clearBeforeRead);
    copy(data.lngLowAddrLoad, kept.lowLoad);
    copy(data.lngHighAddrLoad, kept.highLoad);
    copy(data.lngBufLoadAddr, kept.bufferLoad);
    copy(data.lngPosSingle, kept.positionSingle);
    copy(data.lngBankSingle, kept.bankSingle);
    copy(data.blnBufferEmpty, kept.bufferEmpty);
    copy(data.blnFileLoaded, kept.fileLoaded);
    copy(data.strJobName, kept.jobName);
    copy(data.strJobNote, kept.jobNote);
    copy(data.strSKAutoNote, kept.autoNote);
    copy(data.bDataPatternLinkedToSKFile, kept.linked);
    copy(data.bVerifyChecksum, kept.verifyChecksum);
}

JobFiles::JobFields JobFiles::JobFields::Of(ProgrammerClass& data)
{
    JobFields kept;
    Pairs(data, kept, [](const auto& live, auto& field) { field = live; });
    return kept;
}

void JobFiles::JobFields::PutInto(ProgrammerClass& data) const
{
    JobFields kept = *this;
    Pairs(data, kept, [](auto& live, const auto& field) { live = field; });
}

void JobFiles::LoadJob(const QString& file, qint32& result)
{
    ProgrammerClass& data = pgmrData();
    bOldSKJobFile = false;
    const QString oldName = data.strJobName;
    const JobFields before = JobFields::Of(data);
    const std::function<void()> putBackBufferView = m_host.KeepBufferView();
    data.strJobName = file;
    m_jobLoadRefusedUntouched = false;
    qint32 code = LoadJobFile(data.strJobName);
    // Refused, and the engine's side is as it was (refused at once, or put
    // back after a refusal part-way): so is the station's, none of it read
    // back from the engine, whatever the load's events had changed.
    if (code != 0 && code != 50 && m_jobLoadRefusedUntouched) {
        result = 150;
        before.PutInto(data);
        m_host.RefreshOperationWindow(Refresh::DeviceConfigureOptions);
        m_host.RefreshOperationWindow(Refresh::DisplayInfo);
        putBackBufferView();
        m_host.RefreshOperationWindow(Refresh::Caption);
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
    m_host.RefreshOperationWindow(Refresh::DeviceConfigureOptions);
    Try([&] { data.lngFileSize = QXProgrammer.BufferSize(); });
    m_host.RefreshOperationWindow(Refresh::DisplayInfo);
    Try([&] { data.bDataPatternLinkedToSKFile = QXProgrammer.ThreadCommObject(); });
    result = code != 0 ? 150 : 0;
    // A refused job does not take the name of the current one; a job taken
    // is named in the caption at once, whichever path loaded it.
    if (result != 0)
        data.strJobName = oldName;
    else
        m_host.RefreshOperationWindow(Refresh::Caption);
}

void JobFiles::SaveJobPositionAndBank()
{
    qint32 setMode = 0;
    Try([&] { setMode = QXProgrammer.SetMode(); });
    if (setMode == 1) {
        Try([&] { QXProgrammer.CurrentDataPosition(0); });
        Try([&] { QXProgrammer.CurrentBank(0); });
        return;
    }
    const qint32 position = std::max(0, m_host.DataPositionIndex());
    const qint32 bank = std::max(0, m_host.BankIndex());
    Try([&] { QXProgrammer.CurrentDataPosition(position); });
    Try([&] { QXProgrammer.CurrentBank(bank); });
}

bool JobFiles::SaveJobTo(const QString& file)
{
    LockForEngine(true);
    // The job stores the verify-checksum setting the station holds, the one
    // the save's question shows.
    Try([&] { QXProgrammer.SealbookSetting81(pgmrData().bVerifyChecksum); });
    bJobSaveSucceeded = true;
    qint32 code = -1;
    Try([&] { code = QXProgrammer.SaveJobFile(file); });
    const bool ok = code == 0 && bJobSaveSucceeded;
    m_host.EnableOperationSettings(true);
    m_host.EnableOperations(true);
    m_host.EnableMenus(true);
    m_host.RefreshOperationWindow(Refresh::ButtonStates);
    return ok;
}

void JobFiles::SaveJob()
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
        const bool noted = silent || m_host.AskSaveNote(1, Host::NoteWindow::Save);
        if (noted)
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

void JobFiles::ExecSaveJobCmd(qint32 useGiven, const QString& file, bool& ok)
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
        if (SaveBox(text, vb::vbYesNo + vb::vbQuestion, QStringLiteral("Verify Checksum")) == vb::vbNo)
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
        bool noted = true;
        if (useGiven != 1)
            noted =
                m_host.AskSaveNote(1, data.strJobNote.isEmpty() ? Host::NoteWindow::Save : Host::NoteWindow::SaveAs);
        if (noted) {
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

    m_host.RefreshOperationWindow(Refresh::CaptionWithVersion);
    HandlerBusy(false);
    if (ok)
        bSKJobNeedsSave = false;
}

void JobFiles::IsJobSaveRefused(bool checkBuffer, bool& refused)
{
    refused = true;
    const ProgrammerClass& data = pgmrData();
    if (checkBuffer) {
        const QString info = m_host.BufferInfo();
        if (info.contains(QLatin1Char('>')) && info.contains(QLatin1Char('<'))) {
            SaveBox(QStringLiteral("Please save the buffer to a file and then save the job again."), vb::vbCritical,
                    kSealbook);
            return;
        }
    }
    if (!data.blnDeviceSelected) {
        SaveBox(QStringLiteral("No device has been selected. You must select a device before saving a job!"),
                vb::vbCritical, QStringLiteral("Sealbook Failure"));
        return;
    }
    bool incompatible = false;
    Try([&] { incompatible = QXProgrammer.JobValue325(); });
    if (incompatible) {
        SaveBox(QStringLiteral("Cannot save the job.  The buffer file type is incompatible with the file type required "
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

void JobFiles::CheckLinkedDataPattern(bool& ok)
{
    ok = true;
    ProgrammerClass& data = pgmrData();
    if (!data.bDataPatternLinkedToSKFile)
        return;
    if (data.strFileName.isEmpty() || !QFileInfo::exists(data.strFilePath + data.strFileName)) {
        SaveBox(QStringLiteral("Data pattern file does not exist.  To save a Sealbook file with an externally linked "
                               "data pattern, please save the buffer to a file and then save the Job."),
                vb::vbCritical, kSealbook);
        ok = false;
        return;
    }
    bool linkable = false;
    Try([&] { linkable = QXProgrammer.JobValue1004(); });
    if (linkable) {
        if (m_host.BufferDirty()) {
            SaveBox(QStringLiteral("The contents of the data buffer have been modified but have not been saved to the "
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
    if (SaveBox(QStringLiteral("The currently selected data patterns file type does not support external linking to "
                               "Sealbook files. This feature will be turned off and the data pattern will be stored "
                               "internally in the Sealbook file. Would you like to continue saving the job?"),
                vb::vbYesNo + vb::vbQuestion, kSealbook)
        == vb::vbNo)
        ok = false;
    data.bDataPatternLinkedToSKFile = false;
}

void JobFiles::ShowJobReport(qint32 type, bool showQXJobPage, bool jobError, bool& accepted)
{
    bool showErrors = true;
    Try([&] { showErrors = QXProgrammer.ShowErrorMessages(); });
    if (!showErrors) {
        // Nobody to ask: a sound job is taken, a damaged one is not.
        accepted = !jobError;
        return;
    }
    const ProgrammerClass& data = pgmrData();
    Report report;
    report.skType = data.skType;
    report.jobError = jobError;
    report.showQXJobPage = showQXJobPage;
    if (type == 1 || type == 2) {
        QString checksum;
        Try([&] { checksum = QXProgrammer.ChecksumText(); });
        report.rows.append({QStringLiteral("Buffer File Name"), data.strFileName + QStringLiteral(" "), 1});
        report.rows.append({QStringLiteral("Checksum"), checksum + QStringLiteral(" "), 1});
        report.rows.append({QStringLiteral("Device Name"), data.strDeviceName + QStringLiteral(" "), 1});
        report.rows.append({QStringLiteral("Note"), data.strJobNote, 1});
    }
    if (type == 2) {
        report.rows.append({QStringLiteral("SK File Name"), data.strJobName, 2});
        // Named once, as the main window's load does (a member pointer on the
        // reference member inside the lambda read a wrong object under the
        // sanitizer build).
        H950HdlrControl& handler = QXH950AutoHandler;
        for (const HandlerSetting& setting : kAutoFileHandlerSettings) {
            QString value;
            Try([&handler, &value, m = setting.get] { value = (handler.*m)(); });
            report.rows.append({QString::fromLatin1(setting.field), value, 2});
        }
        report.rows.append({QStringLiteral("Note"), data.strSKAutoNote + QStringLiteral(" "), 2});
    }
    if (m_forClient) {
        // An automation client's load waits for nobody: a sound setup is
        // taken without the window, and what was taken is logged.
        accepted = !jobError;
        QStringList rows;
        for (const ReportRow& row : report.rows)
            rows << row.field + QStringLiteral(": ") + row.value.trimmed();
        WriteLogInfo((accepted ? QStringLiteral("Job setup accepted for an automation client (")
                               : QStringLiteral("Job setup refused for an automation client ("))
                         + data.strJobName + QStringLiteral("): ") + rows.join(QStringLiteral("; ")),
                     true);
        return;
    }
    accepted = m_host.ConfirmJobReport(report);
}

void JobFiles::SealbookLoadingError(qint32& result, qint32 type)
{
    ProgrammerClass& data = pgmrData();
    qint32 code = 0;
    Try([&] { code = QXProgrammer.SealbookErrorCode(); });
    Try([&] { lSKCRC = QXProgrammer.SealbookLoadValue111(); });
    Try([&] { QXProgrammer.SealbookErrorReset(true); });

    // A setup refused here is cleared; the engine then puts back the job the
    // station had before the load, and the load (LoadJob) the station's own
    // settings.
    bool intact = true;
    if (data.skType == 2 && lSKCRC != lSKAutoStoredCRC && (lSKCRC ^ code) != lSKAutoStoredCRC) {
        m_host.ClearDataBuffer();
        const QString text =
            QStringLiteral("The integrity check failed. The manual handler job file is invalid or corrupted.");
        if (m_forClient)
            WriteLogInfo(text, true);
        else
            Ui().MsgBox(text, vb::vbCritical, QStringLiteral("Sealbook Loading Error"));
        m_host.StatusLine(text);
        Try([&] { QXProgrammer.SealbookErrorReset(false); });
        intact = false;
    }

    // An older job's lock before its report: the setup is refused at once.
    if (intact && m_loadingOlder && !OlderLockOpened()) {
        m_host.ClearDataBuffer();
        result = 1;
        m_setupRefused = true;
        return;
    }

    // The operator confirms the setup on the job setup report; a file that
    // failed its integrity check can only be refused there. The report is
    // of the job's kind, unless the job is one for the manual handler: then
    // of the kind of file the engine says it loaded.
    bool accepted = false;
    ShowJobReport(data.skType != 1 ? data.skType : type, true, !intact, accepted);
    if (!accepted)
        m_host.ClearDataBuffer();
    result = accepted ? 0 : 1;
    m_setupRefused = !accepted;
}

bool JobFiles::OlderLockOpened()
{
    // An older file's seal has no key, so anyone can change the file and
    // seal it again: the lock it carries holds only with its password.
    bool locked = false;
    Try([&] { locked = QXProgrammer.HasSealbookPassword(); });
    if (!locked)
        return true;
    // A client cannot give the password: its load is refused, not held.
    if (m_forClient) {
        WriteLogInfo(QStringLiteral("The older Sealbook file ") + pgmrData().strJobName
                         + QStringLiteral(" is locked and an automation client cannot give its password. "
                                          "The job was not loaded."),
                     true);
        return false;
    }
    QString password;
    bool right = false;
    if (m_host.AskSupervisorPassword(password))
        Try([&] { right = QXProgrammer.CheckSealbookPassword(password); });
    if (!right)
        Ui().MsgBox(QStringLiteral("The older Sealbook file is locked and its password was not given. "
                                   "The job was not loaded."),
                    vb::vbCritical, kSealbook);
    return right;
}

void JobFiles::SKConversionPrompt()
{
    bool done = false;
    SKConversionPrompt(done);
}

void JobFiles::SKConversionPrompt(bool& done)
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
    // A client's load tells it in the log: no box waits for an answer.
    if (m_forClient)
        WriteLogInfo(parts.join(QStringLiteral(" ")).replace(crlf, QStringLiteral(" ")), true);
    else
        Ui().MsgBox(parts.join(crlf + crlf), vb::vbInformation, QString());

    bool ok = false;
    BackUpOlderSKFiles(ok);
    done = ok;
    if (ok)
        bSKJobNeedsSave = bOldSKJobFile;
    bOldSKJobFile = false;
    bOldSKAutoFile = false;
}

void JobFiles::BackUpOlderSKFiles(bool& ok)
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
    // A client's load waits for nobody: the failure goes to the log.
    if (m_forClient)
        WriteLogInfo(QStringLiteral("Could not back up older version of Sealbook! (automation client's load)"), true);
    else
        Ui().MsgBox(QStringLiteral("\t!Error!\r\nCould not back up older version of Sealbook!"), vb::vbCritical,
                    QString());
    // Nothing re-saves a file whose backup failed: the original stays as it is.
    bOldSKJobFile = false;
    bOldSKAutoFile = false;
}

void JobFiles::BackUpFile(const QString& file, bool& ok)
{
    const QString backup = jobbackups::MakeBackupName(file);
    ok = !backup.isEmpty();
    if (!ok)
        return;
    bool copy = true;
    if (QFileInfo::exists(backup) && m_forClient) {
        // A client's load waits for nobody: the backup already there is
        // kept, as it is the one that loses nothing.
        WriteLogInfo(file + QStringLiteral(" backup already exists (") + backup
                         + QStringLiteral("): kept for an automation client's load, not overwritten."),
                     true);
        copy = false;
    } else if (QFileInfo::exists(backup)) {
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

void JobFiles::LoadSKAutoFile(const QString& file, qint32& result)
{
    LoadSKAutoFileCore(file, result, true);
    // Converted and saved again only once loaded: else the engine's state
    // would be written over the job just refused, and a refused older file
    // would be backed up as if it were taken.
    if (result != 0) {
        bOldSKJobFile = false;
        bOldSKAutoFile = false;
        return;
    }
    SKConversionPrompt();
    SilentJobSave();
}

void JobFiles::LoadSKAutoFileCore(const QString& file, qint32& result, bool bOpen)
{
    ProgrammerClass& data = pgmrData();
    const QString jobInfo = QStringLiteral("JobInfo");
    result = 0;
    // A refused auto file leaves the note of the one loaded before.
    const QString oldAutoNote = data.strSKAutoNote;
    const auto keepNote = qScopeGuard([&] {
        if (result != 0)
            data.strSKAutoNote = oldAutoNote;
    });
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
    // A refused auto file leaves the handler's settings as they were, as it
    // leaves the engine's and the station's.
    H950HdlrControl& handler = QXH950AutoHandler;
    QStringList handlerBefore;
    for (const HandlerSetting& setting : kAutoFileHandlerSettings) {
        QString value;
        Try([&] { value = (handler.*setting.get)(); });
        handlerBefore << value;
    }
    const auto putBackHandler = qScopeGuard([&] {
        if (result == 0)
            return;
        for (qsizetype i = 0; i < handlerBefore.size(); ++i)
            Try([&] { (handler.*kAutoFileHandlerSettings[i].put)(handlerBefore[i]); });
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
        m_host.ClearDataBuffer();
        if (result == 0)
            result = -1;
        return;
    }
    LockForEngine(true);
    qint32 r = 0;
    data.skType = 2;
    LoadJob(name, r);
    result = r == 150 ? -1 : 0;
    m_host.RefreshOperationWindow(Refresh::OperationSetting);
    LockForEngine(false);
}

void JobFiles::SaveSKAutoFile(const QString& file, qint32& result, bool bNoNotePrompt)
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
        SaveJob();
        data.skType = 2;
        if (bSKJobNeedsSave) {
            Ui().MsgBox(QStringLiteral("\t!Error!\r\nThe ") + name
                            + QStringLiteral(" file was NOT saved.\r\nCannot save ") + file + QStringLiteral(" until ")
                            + name + QStringLiteral("is saved first."),
                        vb::vbCritical, QFileInfo(file).fileName());
            return;
        }
    }
    if (!bNoNotePrompt
        && !m_host.AskSaveNote(2, data.strSKAutoNote.isEmpty() ? Host::NoteWindow::Save : Host::NoteWindow::SaveAs))
        return;
    m_host.EnableMenus(false);
    m_host.EnableOperations(false);
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
    m_host.EnableOperations(true);
    m_host.EnableMenus(true);
}
