#pragma once

// The simulated programmer engine, class "QXPGMRLib.QXPgmr". It answers the
// engine's members by the program's own table of them, each as it declares
// it (DispatchObject): behaviour, a stored property, a put taken, or left
// out with its reason (companions/simplan/NotSimulated.h).
//
// Its programmer models and device list come from the algorithm database
// (AlgorithmDatabase); the station it was left as (model, port, master site,
// device) is kept in "engine.ini" in the engine's folder (StationState); the
// fault plan (FaultPlan) can make it fail on purpose.
//
// Environment:
//   TARVO_ENGINE_DB      the database file to load, whatever name the program
//                        asks for (tests: another version, a damaged file,
//                        a large list)
//   TARVO_ENGINE_FAULTS  entries of the fault plan (see FaultPlan.h and, for
//                        device runs, RunPlan.h)
//   TARVO_ENGINE_MODEL   the programmer model the station starts on, by name
//                        ("RG-1080/8") or list position, in place of the one
//                        it was left on; kept from then on
//
// Device runs (QXPgmrStandInRuns.cpp): ExecuteDeviceCommand, RunOperation and
// RunCustomAction run on the master site's device; RepeatSiteCommand,
// MarkSiteReady and MarkSiteFinished serve sessions site by site. Each
// device raises, in order, from inside the call:
//   StatusTextReported  "Site S: <operation> started."
//   SiteStatusFromEngine(3, 0)                  site active
//   OperationProgress(20, 0)                    the host pumps its messages
//   per step: OperationProgress(code, 25, 50, 75, 100), OperationComplete(code)
//             (RunSteps.h gives each step's code); while a step waits,
//             OperationProgress(20, 0) every 20 ms
//   after a read: BufferContentChanged(bytes read)
//   SiteStatusFromEngine(0, 0), or (1, failure code)
//   StatusTextReported  "Site S: <operation> passed." / "... failed: <text>."
// and returns 0 or the failure code (RunResults.h). A failing step stops at
// 50 without its completion. An abort or an engine error reports the site
// idle (2, 0) instead of a result; RepeatSiteCommand raises no site status
// at all (the session's handler reports it) and first asks the station for
// its command through SetupOperationRequest.
//
// Around the devices:
//   the first ExecuteDeviceCommand or RunOperation after a BeginOperation
//       raises ResetButtons(True) (the run has started: buttons, Stop
//       record), then SiteInfo(site, 5) for every site but the master site
//       (not taking part), before its own events; later devices raise
//       neither, so a Stop pressed between devices still counts
//   FinishRunReport asks the run's counts (RequestHandlerQuantity,
//       RequestQuantity, RequestHandlerValue3, 4, 1, 2 and 15), writes them
//       in one LogMessage "Run report: ..." and raises ResetButtons(False)

#include "AlgorithmDatabase.h"
#include "DatabasePrefetch.h"
#include "LinkedLoad.h"
#include "PowerSupplyLog.h"
#include "RunPlan.h"
#include "RunSteps.h"
#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"
#include "platform/FileStamp.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

class BufferFiles;
class QObject;
class QTimer;

class QXPgmrStandIn : public DispatchObject
{
public:
    QXPgmrStandIn();
    ~QXPgmrStandIn() override;

    // EngineVersion: version 5, minor 2, build 9 (a release build, so the
    // program shows the release date).
    static constexpr qint32 Version = (0x5 << 16) | (0x2 << 8) | 0x9;
    static constexpr qint32 ReleaseDate = 20240315; // EngineDatePart1
    static constexpr qint32 BetaDate = 20240402;    // EngineDatePart2
    // InitializeEngine194 without a loaded algorithm database.
    static constexpr qint32 NoDatabase = 1;

    // The engine's own folder: per user and writable
    // ($XDG_DATA_HOME/Corvane/QXEngine), with its "DATALOG" folder; both are
    // created on first use.
    static QString EngineFolder();
    // Where the label editor is installed ("ptouch" beside the engine, or
    // TARVO_LABEL_EDITOR_DIR); the engine only names it.
    static QString LabelPrinterFolder();

    // The test hook (tests and the bench reach it through the library's
    // TarvoQXPgmrRaiseEvent, QXPgmrTestHook.h): raises any event of the
    // engine; the values the host hands back come back in args. Throws
    // std::logic_error for a name that is not one of its events.
    void RaiseForTest(const QString& eventName, QVariantList& args) { RaiseAny(eventName, args); }
    // Journals every put and call, and refuses a device the model does not
    // run, before the member itself runs (QXPgmrStandInExtras.cpp).
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override;
    // The puts and calls since the last take, one line each (the test hook
    // TarvoQXPgmrTakeJournal).
    QStringList TakeJournal();

private:
    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    QXPgmrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
    using Behaviour = std::function<QVariant(InvokeKind kind, QVariantList& args)>;
    // Gives a member behaviour whose answer is converted to the member's type.
    void Answer(int dispid, Behaviour behaviour);
    // Raises an event once the host's call has returned, from the event
    // loop: for an event whose handler rebuilds what the call's caller is
    // still working on.
    void RaiseAfterCall(const QString& eventName, QVariantList args);
    std::unique_ptr<QObject> m_afterCall;

    void bindStartUp();
    void bindLife();
    void bindModels();
    void bindDevices();
    void bindConfig(); // QXPgmrStandInConfig.cpp
    void bindExtras(); // QXPgmrStandInExtras.cpp: extra commands, the engine's dialogs
    void bindOptionsDialog();
    // QXPgmrStandInAutomation.cpp: job parameters, sites to sockets, system
    // information.
    void bindAutomation();
    qint32 applyJobParameter(const QString& name, const QString& value);
    QString systemInfo();
    qint32 configurationValue(int module) const;
    // The capability members answer the selected device's values.
    void bindCapabilities();
    // True when every capability the database names is one of them.
    bool knowsCapabilities() const;
    // Stored settings, puts and calls taken, the events raised and what is
    // left out.
    void bindPlainMembers();

    qint32 loadDatabase(const QString& name);
    qint32 openDatabase(const QString& name);
    // The file to open for the name the program asks for; "" when none.
    QString databasePath(const QString& name) const;
    static QString FindDatabase(const QString& name, const QString& programFolder);
    void restoreStation();
    void saveStation() const;
    const ProgrammerModel& model() const { return m_database.Models().At(m_modelIndex); }
    // Makes the named device the selected one (the caller saves the
    // station); False when the database has no such device.
    bool selectDevice(const QString& name);
    bool chooseDevice();
    QString checksumText() const;
    void generateDeviceList() const;

    // Device runs (QXPgmrStandInRuns.cpp).
    struct Site
    {
        qint32 status = 2; // SiteStatus
        QString text;      // SiteStatusText
        bool programmed = false;
        QByteArray content; // what a programmed device holds
    };
    void bindOptions();
    void bindDeviceOptions(); // QXPgmrStandInDevice.cpp
    void bindRecords();       // QXPgmrStandInRecords.cpp
    void bindRuns();
    // Job files and Sealbook files (QXPgmrStandInJobs.cpp).
    void bindJobs();
    qint32 loadJob(const QString& path);
    qint32 saveJob(const QString& path);
    // The load that rebuilds today's buffer from a job's linked data file;
    // none when no load of that file gives the buffer.
    std::optional<LinkedLoad> loadOfBuffer(const QString& dataFile);
    qint32 refuseJob(const QString& file, const QString& reason);
    qint32 failJobPartWay(const QString& file, const QString& reason, qint32 code);
    struct JobState;
    std::shared_ptr<JobState> m_jobs;
    void resizeSites();
    void readRunPlan(bool atLoad);
    void tellPlanNotes();
    // Throws the planned automation error when the plan makes this call fail.
    void failIfPlanned(const QString& member);
    RunOptions committedOptions() const;
    qint32 executeDeviceCommand(qint32 command);
    qint32 runOperation(qint32 variant);
    void runCustomAction(const QString& selection);
    qint32 repeatSiteCommand(qint32 site);
    // The first device of the station's run: ResetButtons(True), and the
    // sites other than the master site shown not taking part (SiteInfo).
    void reportRunStart();
    // FinishRunReport: the run's counts asked of the station into one log
    // line, then ResetButtons(False).
    void reportRun();
    qint32 runDevice(int site, const QString& what, const RunSteps& steps, bool siteEvents, bool isRead);
    // Waits, answering events as they come and raising the pump code every
    // 20 ms; False when an abort came.
    bool wait(int milliseconds);
    bool siteExists(qint32 site) const { return site >= 1 && site <= m_sites.size(); }
    // The bytes of a device image: the buffer's size for the device, at
    // most the simulation's image limit.
    qint64 deviceBytes() const;
    quint8 blankByte() const;
    const QByteArray& bufferImage();
    void readIntoBuffer(const Site& site);
    void writePowerSupplyLine(int site, const QString& what, qint32 result, const RunSteps& steps);
    void setPowerSupplyLogFolder(const QString& folder);
    void armStartKey();
    void onStartKey();
    // The fault plan's socket-module exchange (RunPlan.h).
    void armModuleChange();
    void onModuleChange();
    // A warning, or a log line when the station takes no warnings now.
    void warn(const QString& text);

    AlgorithmDatabase m_database;
    DatabasePrefetch m_prefetch; // the station's database, opened ahead of its load
    std::optional<DeviceRecord> m_device;
    // The serialization settings last taken (QXPgmrStandInRecords.cpp).
    struct Serialization
    {
        bool on = false;
        qint32 mode = 0, size = 1, skip = 0, order = 0, verify = 0, retry = 0, hex = 0, resume = 0;
        QString dataFile, bufferAddress, logFile, first, last, program;
    };
    Serialization m_serialization;
    bool m_selectionFailed = false; // the last SelectDeviceByName found no device
    QStringList m_journal;          // puts and calls, for tests (QXPgmrStandInExtras.cpp)
    int m_modelIndex = 0;
    qint32 m_port = 0;
    qint32 m_masterSite = 1;
    QString m_programFolder; // StartupValue108
    bool m_vexalMode = false;
    bool m_guiReady = false;
    bool m_showErrors = true; // ShowErrorMessages
    // The tab the job parameter DeviceOptions.Operation named, read as the
    // job's active tab until a job is loaded or saved.
    QString m_activeTabParameter;
    qint64 m_mainWindowHandle = 0;

    QVector<Site> m_sites = QVector<Site>(1);
    bool m_illegalBit = false;     // SetIllegalBit, read back as DeviceSupportsIllegalBitAlt
    bool m_illegalBitLast = false; // committed after the blank check
    RunPlan m_plan;
    QSet<QString> m_reportedEntries;
    QMap<QString, QString> m_planNotes; // entry → what to tell of it
    int m_devicesInRun = 0;             // since the last BeginOperation
    int m_failingCalls = 0;
    bool m_running = false;
    bool m_runStarting = false; // a run began and its first device is still to come
    bool m_abortRequested = false;
    RunSteps m_customSteps;
    bool m_customArmed = false;
    QByteArray m_image;                    // the buffer as a device takes it, kept to be shared
    quint64 m_imageRevision = ~quint64(0); // the buffer's revision m_image was taken at

    // The data buffer and its files (QXPgmrStandInBuffer.cpp); the buffer is
    // the process's one, in the buffer library.
    void bindBuffer();
    // The selected device's size in buffer bytes (a byte per fuse).
    qint64 deviceBufferBytes() const;
    bool bufferHoldsData() const;
    void resizeBuffer(qint64 bytes);
    void clearBuffer();
    void resetBuffer();
    // The device is gone: so is the buffer, and the program is told.
    void dropBuffer();
    qint32 fileResult(qint32 libraryCode);
    qint32 loaded(qint32 libraryCode, QVariantList& args, std::optional<bool> autoLow = std::nullopt);
    // LoadFileFlag147 and SecureMode after a load (QXPgmrStandInBuffer.cpp).
    void takeSecureVariant(const QString& dataFile);
    qint32 m_loadFileVariant = 0;
    // The text of a load or save result; "" for any other code.
    QString fileErrorText(qint32 result) const;
    std::unique_ptr<BufferFiles> m_files;
    // The buffer's revision when it last held nothing but fill bytes.
    quint64 m_emptyRevision = 0;
    qint32 m_lastFileResult = 0;
    QString m_lastFileError;
    // The last load that cleared the buffer and filled it from a file, and
    // the buffer's revision right after it: while the revision holds, the
    // buffer is exactly what replaying that load gives, so a job linked to
    // the file keeps it (QXPgmrStandInJobs.cpp).
    // The file's stamp is taken before the load reads it: a file written
    // since is read again before a job links it.
    void rememberLoad(const QString& path, const LoadOptions& options, quint8 fill, const FileStamp& stamp);
    std::optional<LinkedLoad> m_lastLoad;
    quint64 m_lastLoadRevision = 0;
    FileStamp m_lastLoadStamp;

    PowerSupplyLog m_psLog;
    bool m_psWarned = false;
    std::unique_ptr<QTimer> m_startKey;
    int m_startKeysLeft = 0;
    std::unique_ptr<QTimer> m_moduleChange;
    bool m_moduleChangePending = false;
};
