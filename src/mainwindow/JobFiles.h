#pragma once

// The station's job files, outside the window that offers them: opening and
// saving whole jobs (".qx") through the engine, the checks made before every
// save, the setup report's decision, the conversion of older locked-job
// (Sealbook) files with their backups, and the automatic handler's Sealbook
// auto files. The station holds what the commands work on (the engine, the
// handler, the job configuration); the host is the main window: it disables
// and enables the windows around the engine's work, refreshes the operation
// window and asks the operator. No widget.

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

class H950HdlrControl;
class ProgrammerClass;
class QXPgmrControl;
class Station;

class JobFiles
{
public:
    // One row of the job setup report: grid 1 the job's own rows, grid 2 the
    // automatic handler's rows of an auto file.
    struct ReportRow
    {
        QString field;
        QString value;
        qint32 grid = 1;
    };
    struct Report
    {
        qint32 skType = 1;
        bool jobError = false;
        bool showQXJobPage = false;
        QList<ReportRow> rows;
    };

    class Host
    {
    public:
        virtual ~Host() = default;

        // The menu titles, the job buttons and the quantity box; enabling
        // again re-applies the Sealbook mode.
        virtual void EnableMenus(bool enable) = 0;
        // The operation window's operation buttons and option controls.
        virtual void EnableOperations(bool enable) = 0;
        virtual void EnableOperationSettings(bool enable) = 0;
        // The operation window's steps after the engine changed the job.
        enum class Refresh {
            OperationOptions,       // SetOperationOptions
            OperationSetting,       // GetOperationSetting
            ButtonStates,           // SetButtonStates
            DeviceConfigureOptions, // SetDeviceConfigureOptions
            DisplayInfo,            // SetDisplayInfo
            Caption,                // UpdateFormCaption(False)
            CaptionWithVersion,     // UpdateFormCaption(True)
        };
        virtual void RefreshOperationWindow(Refresh what) = 0;
        // A status line of the operation window.
        virtual void StatusLine(const QString& text) = 0;
        // The list indexes of the data position and bank lists (-1: none).
        virtual qint32 DataPositionIndex() const = 0;
        virtual qint32 BankIndex() const = 0;
        // The operation window's data-file text, and whether its buffer was
        // changed since it was loaded or saved.
        virtual QString BufferInfo() const = 0;
        virtual bool BufferDirty() const = 0;
        // The operation window's buffer source, changed flag and data-file
        // text as they are now; calling the answer puts them back (a refused
        // job leaves the window as it was).
        virtual std::function<void()> KeepBufferView() = 0;
        // The job back to the default configuration; the buffer emptied.
        virtual void ApplyDefaultConfiguration(bool resetSettings) = 0;
        virtual void ClearDataBuffer() = 0;

        // The prompts; each answers False when the operator cancelled.
        // The supervisor's password of a locked job.
        virtual bool AskSupervisorPassword(QString& password) = 0;
        // The note window of a save (skType 1 a job, 2 an auto file).
        enum class NoteWindow { Save, SaveAs };
        virtual bool AskSaveNote(qint32 skType, NoteWindow window) = 0;
        // The job setup report: the operator confirms the setup.
        virtual bool ConfirmJobReport(const Report& report) = 0;
    };

    JobFiles(Station& station, Host& host);
    JobFiles(const JobFiles&) = delete;
    JobFiles& operator=(const JobFiles&) = delete;

    // --- job files ---
    // title: the file's name without its folder, "" from a caller that has
    // none. result 0, or 150 when the file was not accepted as a job.
    void LoadQxFile(const QString& file, const QString& title, qint32& result);
    void LoadJob(const QString& file, qint32& result);
    // The engine's load of a job file (its answer: 0, 50 an older file, else
    // refused), with an older file's lock checked before the engine takes
    // it: every path that loads a job goes through here.
    qint32 LoadJobFile(const QString& file);
    // useGiven 0 shows the file dialog; 1 (automation) also skips the note.
    // ok: a job was loaded or saved.
    void ExecLoadJobCmd(qint32 useGiven, const QString& file, bool& ok);
    void ExecSaveJobCmd(qint32 useGiven, const QString& file, bool& ok);
    // The loads an automation client asks for (ExecLoadJobCmd(1, file) and
    // LoadQxFile(file, "")): nobody is there to answer, so nothing waits for
    // an answer. A sound setup is taken without its report and logged; an
    // older locked job is refused, as its password cannot be given.
    bool LoadJobForClient(const QString& file);
    qint32 LoadQxFileForClient(const QString& file);
    // The save an automation client asks for (ExecSaveJobCmd(1, file)): its
    // boxes go to the black-box log and are answered as a silent engine
    // answers them (OK: go on).
    bool SaveJobForClient(const QString& file);
    // The engine's error in writing a job: the save failed (shown, or for
    // a client logged).
    void JobSavingError(const QString& text);
    // Save under the current name (the save-as when the job has none).
    void SaveJob();
    // The job setup report (type 1 a job, 2 an auto file); accepted: the
    // operator confirmed it, or no report is shown and there is no error.
    void ShowJobReport(qint32 type, bool showQXJobPage, bool jobError, bool& accepted);

    // --- older Sealbook files ---
    void SKConversionPrompt();
    // done: nothing was pending, or the older files were backed up.
    void SKConversionPrompt(bool& done);

    // --- Sealbook auto files of the automatic handler ---
    // result 0, -1 for the station's own refusals, else the engine's code.
    void LoadSKAutoFile(const QString& file, qint32& result);
    void LoadSKAutoFileCore(const QString& file, qint32& result, bool bOpen);
    void SaveSKAutoFile(const QString& file, qint32& result, bool bNoNotePrompt);

    // --- the engine's events about job files ---
    // False: the engine refused the file before anything changed.
    void JobLoadFailed(bool flag) { m_jobLoadRefusedUntouched = !flag; }
    // The load under way was refused by the station or the operator (the
    // lock's password, the integrity check, the report), not for its file.
    bool SetupRefused() const { return m_setupRefused; }
    // The engine asks whether the loaded setup is taken: result 0 yes, 1 no.
    // An auto file's job must match the integrity value stored with it.
    void SealbookLoadingError(qint32& result, qint32 type);

    // --- state, under the names the windows read ---
    // An older Sealbook file loaded and not yet converted (SKConversionPrompt).
    QString sOldSKJobFile;
    bool bOldSKJobFile = false;
    QString sOldSKAutoFile;
    bool bOldSKAutoFile = false;
    bool bSKJobNeedsSave = false;
    // The job save sets it before it calls the engine; the engine's
    // JobSavingError clears it.
    bool bJobSaveSucceeded = true;
    // Integrity values of the loaded Sealbook file: as the engine reports
    // it, and as stored when a Sealbook auto file was loaded.
    qint32 lSKCRC = 0;
    qint32 lSKAutoStoredCRC = 0;

private:
    ProgrammerClass& pgmrData();
    void HandlerBusy(bool busy);
    void LockForEngine(bool locked);
    void SaveJobPositionAndBank();
    bool SaveJobTo(const QString& file);
    void SilentJobSave();
    void IsJobSaveRefused(bool checkBuffer, bool& refused);
    void CheckLinkedDataPattern(bool& ok);
    void BackUpOlderSKFiles(bool& ok);
    void BackUpFile(const QString& file, bool& ok);
    // The lock of an older job being loaded: none, or its password given.
    bool OlderLockOpened();

    // What a job load changes of the station's own job settings, kept to be
    // put back when the job is refused: the engine puts back its own side
    // (device, options, buffer, Sealbook settings) and says so with
    // JobLoadFailed(False).
    struct JobFields
    {
        QString deviceName, deviceSize, devicePackage;
        qint32 deviceSizeBytes = 0;
        bool deviceSelected = false;
        QString fileName, filePath, fileDrive, displayedFileName;
        QDateTime fileDate;
        qint32 fileSize = 0;
        qint32 checksumMethod = 0, checksumType = 0, radix = 0;
        bool clearBeforeRead = false;
        qint32 lowLoad = 0, highLoad = 0, bufferLoad = 0, positionSingle = 0, bankSingle = 0;
        bool bufferEmpty = true, fileLoaded = false;
        QString jobName, jobNote, autoNote;
        bool linked = false, verifyChecksum = true;

        static JobFields Of(ProgrammerClass& data);
        void PutInto(ProgrammerClass& data) const;

    private:
        // Each field once: copy(live, kept) is run on every pair.
        template <class Copy>
        static void Pairs(ProgrammerClass& data, JobFields& kept, Copy copy);
    };

    QXPgmrControl& QXProgrammer;
    H950HdlrControl& QXH950AutoHandler;
    Station& m_station;
    Host& m_host;
    bool m_silentJobSave = false;
    // The engine refused the last file before anything changed (its
    // JobLoadFailed(False)).
    bool m_jobLoadRefusedUntouched = false;
    // The job being loaded is of the older version.
    bool m_loadingOlder = false;
    bool m_setupRefused = false;
    // The command under way is an automation client's.
    bool m_forClient = false;
    // A box of the save path; for a client, logged and answered OK.
    int SaveBox(const QString& text, int buttons, const QString& title);
};
