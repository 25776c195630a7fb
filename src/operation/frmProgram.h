#pragma once

// The operation window: the device, data-pattern and options summary lines
// with their buttons, the action tabs over one frame of option rows, the
// Action and Stop buttons, the concurrent frame with one site box per site
// and the run counters, and the status list. It works on the station it is
// handed (the engine, the handlers, the job configuration pgmrData and the
// quantity). The main window creates it once, runs its Form_Load and keeps
// it for the life of the process.
//
// Positions and sizes are kept in twips, as the layout computes them; a
// control's pixel geometry follows from its twips (15 twips a pixel).

#include "CBufferSource.h"
#include "CComboBoxData.h"
#include "CSiteLayout.h"
#include "OperationLists.h"
#include "OperationRun.h"
#include "OptionStore.h"
#include "RunCounters.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class H950HdlrControl;
struct JobSummaryInputs;
class OptionSelections;
class ManualHdlControl;
class ProgrammerClass;
class QCheckBox;
class QKeyEvent;
class QComboBox;
class QDateTime;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QXPgmrControl;
class SiteBoxControl;
class Station;
class TabStrip;
class frmBufferCmd;

class frmProgram : public QWidget, private CSiteLayout::Host, private OperationRun::Host
{
    Q_OBJECT

    // The station, the run's counters and the run, ahead of the members that
    // name them.
    Station& m_station;
    RunCounters m_runCounters;
    OperationRun m_run{m_station, *this, m_runCounters};
    // The option choices by text; made when first needed.
    std::shared_ptr<OptionSelections> m_optionText;
    OptionSelections& OptionText();

public:
    explicit frmProgram(Station& station, QWidget* parent = nullptr);
    ~frmProgram() override;

    Station& station() const { return m_station; }

    // --- the job configuration, kept by the station ---
    // Created (and loaded) on first use.
    ProgrammerClass& pgmrData();
    bool HasProgrammerData() const;
    // Ends the job configuration at shut-down, saving its settings unless
    // save is False (after a failed start-up nothing is written back).
    void ReleaseProgrammerData(bool save);

    // --- load, reload, layout and unload ---
    // Runs once: sizes the window's tables, marks the buffer empty, creates
    // the option rows beyond the designed five and reloads for the device.
    void Form_Load();
    // At load (False, ""), after the engine reports a changed device
    // configuration and when it asks for a reload (True, the device's name).
    void Form_Reload(bool bReload, const QString& strDeviceName);
    void Form_Resize();
    // Sets Cancel to 1 when it refuses (a run or a handler session going on).
    void Form_Unload(qint16& Cancel);
    // The same: False when it refuses.
    bool Form_Unload();

    // --- buttons, summary lines and the run's counters ---
    void SetButtonStates();
    void SetDisplayInfo();
    // Called when a device run or a session starts and ends.
    void ResetRunCounters();
    void ShowJobSummary();
    // What the job summary reads from the station and this window now.
    JobSummaryInputs JobSummaryInputsNow();
    // The counters of the current or last run, for the job summary, the job
    // record log and the automation monitor.
    RunCounters& Counters() { return m_runCounters; }
    const RunCounters& Counters() const { return m_runCounters; }

    // --- what the data buffer holds ---
    // 0 cleared, 1 loaded from a file, 2 read from the device, 3 edited.
    void BufferType(const QString& oTypeName, const QDateTime& oUpdatedDate, qint16 iInput);
    QString BufferTypeGetName() const;
    // The buffer's source as a whole, kept and put back around a change
    // that is not taken (a refused job).
    CBufferSource BufferSourceNow() const { return BufferSource; }
    void PutBackBufferSource(const CBufferSource& source) { BufferSource = source; }
    QString BufferTypeGetDate() const;
    qint16 BufferTypeGetType() const;
    // The data-file summary box shows the buffer as empty.
    void ShowBufferEmpty();

    // --- operator and supervisor modes, enable states, queries ---
    void SetOperatorModeControls();
    void SetSupervisorModeControls();
    void EnableOperationSettings(bool bEnable);
    void EnableOperations(bool bEnable);
    void RefreshAll();
    void Reload();
    QString GetDeviceInfo() const;
    QString GetBufferInfo() const;
    qint16 GetSiteCount() const;
    void GetOperationSetting();
    QStringList GetOperationsLog() const;
    void SelectTab(qint32 nIndex);
    void funcAskJobID();
    void UpdateJobRunStatistics(qint32 lDevicesPassed, qint32 lDevicesFailed, qint32 lDevicesActive,
                                qint32 lDevicesRemaining, qint32 lDevicesPerHour = 0, double dYield = 0);
    // Loads the data file named on the command line through the file
    // button's command, then forgets the command-line file and device names;
    // whether a data file is loaded. Nothing named: nothing happens (True).
    bool LoadCmdLnDataPatternFile();
    void SetOptionListDropWidths();

    // --- status lines and caption ---
    // Adds a line to the status list (its newest lines kept when it is
    // full), the black-box log and the export log; nothing while
    // bEnableStatusTextUpdate is False.
    void AddStatusTextLine(const QString& text);

    // --- action tabs and option rows ---
    qint16 WhichAction(qint16 tabIndex) const;
    // Selects the named device, or with no name lets the operator choose in
    // the engine's window; True when a device was selected. The tabs and
    // option rows are rebuilt either way.
    bool SelectDevice(const QString& deviceName);
    void SetSelectedDevice();
    void DisableCheckboxesAsNecessary();
    void AddIllegalBitItem(qint16& row);
    // One option row (0 to 16) of the screen into the per-tab store.
    void SaveCheckboxValue(qint16 tab, qint16 row);
    void SaveCheckBoxValues();
    void tabOperation_BeforeClick(qint16& Cancel);
    void tabOperation_Click();
    void Check1_Click(qint16 index);
    void cboOperation_Click(qint16 index);
    void cboBankNum_LostFocus();
    void cboDatPos_LostFocus();
    // The engine changed its secure option: the row offering securing follows.
    void RefreshGuiSecure();
    // Brings dependent option rows in line after a click; no rows depend on
    // each other yet.
    void UpdateOptionControls();
    void CreateOptionControls();
    void ResizeOptionsFrame(qint16 rows);
    qint16 CountCustomActionOptions(const QString& entry) const;
    void LoadActionSettings();
    void SaveActionSettings();
    // The option lists of the standard tabs, each from its list builder.
    void FillBlankCheckOptionLists();
    void FillSecureOptionLists();
    void FillTestOptionLists();
    void FillEraseOptionLists();
    // The caption (with its "&") of the first tab whose caption without
    // ampersands is name exactly; "" when no tab matches (frmProgramSealbook.cpp).
    void DecoratedTabName(const QString& name, QString& decorated) const;
    // The ASCII letters A-Z and a-z of text, in order: a tab's section name.
    static QString LettersOnly(const QString& text);
    // At least one character from "!" to "~".
    static bool ContainsViewableCharacters(const QString& sVarData);
    // The action tabs' settings into the job being saved (the engine's
    // SealbookExport) and out of the job being loaded (SealbookImport, which
    // also checks the file carries every tab key). Export errors go on to the
    // caller, with the operator's tab selected again; import errors are
    // passed over step by step.
    void SKExport();
    void SKImport();
    // Selects the tab the job names (the last job loaded or saved when
    // bLoadSettingsInTab is False); with True it first restores every tab's
    // option rows from the job being loaded.
    void SetActiveTabFromSk(bool bLoadSettingsInTab);

    // --- option selections by text (frmProgramOptionText.cpp) ---
    void SaveCurrentComboBoxStrings();
    void CheckNewComboBoxStringsAgainstOld();
    bool AnyComboBoxesAreVisible() const;
    void SetOperationSelection(const QVariant& nWhichBox, const QVariant& strSelection);
    void SetOperationOptionState(const QString& oOperationName, const QString& oOptionName, qint16 iCheckBoxState);
    void ApplyVerifyRowRule();

    // --- the run: device options, abort trackers ---
    void SetDeviceConfigureOptions();
    void GetDeviceConfigureOptions();
    void ResetAbortTrackers();
    // Waits that many seconds without letting window messages run.
    void Sleep(qint32 seconds) override;
    // The run outside the window, over this window as its host.
    OperationRun& Run() { return m_run; }

    // --- buttons ---
    void DeviceButton_Click();
    void FileButton_Click();
    void OptionsButton_Click();
    // The data pattern commands (frmProgramBuffer.cpp): 0 the data pattern
    // window, 1 load (browse, or the named file), 2 save, 3 save as, 4 edit,
    // 5 clear, 6 load the named file as the given type with no window. True
    // when the command, or the load it led to, succeeded.
    bool ExecuteBufferCommand(qint32 command, const QString& fileName, qint32 fileType);

    // --- the run (frmProgramRun.cpp) ---
    void btnAction_Click();
    void btnStop_Click();
    qint32 ExecuteOperation();
    qint32 ExecuteOperationCore();
    void AbortCommand();
    qint32 GetPgmrCommandToRun();
    bool ActionIsRepeatable(qint32 action);
    qint32 GetNumberOfOperations();
    void Start_PowerSupplyLogFile();
    // Site is 1-based; 0 is the engine's master site.
    void SetSiteStatus(qint32 site, qint32 status, qint32 code);
    void SetOperationProgress(qint32 code, qint32 value);
    void SetOperationComplete(qint32 code);
    static QString BUFFER_EMPTY();
    void PromptUserForNextDevice(bool setsMode, qint32 position, qint32 bank, qint32& prompted, qint32& answer);

    // --- option commit, set-up requests and caption (frmProgramOptions.cpp) ---
    // Commits every option row of the selected tab to the engine (before
    // each device, and when the engine's options changed) and keeps the
    // texts of the checked rows for the job summary. Engine failures pass to
    // the caller.
    void SetOperationOptions();
    // The engine's set-up request: the tab's options, then the data position
    // and bank of a sets-and-banks device run in single mode (else 0 and 0).
    void SetupOperation();
    // Whether the selected entry of row 2 is an execute variant the engine
    // runs as a special command (command becomes its number), or out of the
    // engine's range; the command is changed only for a special one.
    void SetupSpecialCmd(qint32& command, bool& isSpecial, bool& outOfRange);
    // The title from the programmer model and port, the handler, the job
    // name and the operator mode; the argument does not change it. An engine
    // that cannot answer leaves the title as it was.
    void UpdateFormCaption(bool bShowVersion);
    // Appends the text to the title suffix (or makes it the suffix), then
    // the suffix to the title.
    void AddSuffix(const QString& text, bool append);
    // The option table by operation code: whether the entry is the engine's
    // current setting, and committing it as chosen.
    bool ItemDataSupported(qint32 code);
    void CommitComboBoxItemData(qint32 code);
    // Brings every tab's option rows in line with an option text (ticked or
    // cleared as enable says) or, for an empty text, with the engine's
    // current settings; found is True when a row matched.
    void TabsContents(const QString& optionName, bool enable, bool& found);

private:
    CComboBoxData& ComboBoxData();
    std::unique_ptr<CComboBoxData> m_oComboBoxData;
    QString m_sCaptionSuffix;

public:
    // --- sites and sessions ---
    void ConcurrentOperationBegan();
    void HandlerSessionStarted();
    void HandlerSessionStopped();
    qint32 RepeatCommandOnSite(qint32 site);
    qint32 SetSiteReady(qint32 site);
    qint32 SetSiteFinished(qint32 site);

    // A check box's value as the option rows keep it: 0 clear, 1 ticked,
    // 2 greyed (the step runs and cannot be switched off).
    static qint16 CheckValue(const QCheckBox* box);
    static void SetCheckValue(QCheckBox* box, qint16 value);

    // The twips geometry last given to one of the window's controls
    // (relative to its parent).
    QRect TwipsGeometry(const QWidget* control) const;

    // Smallest size of the window as designed, in twips. The window's
    // minimumSize() is what its contents need: more when option rows beyond
    // the designed five grow the option frame.
    static constexpr qint32 kMinimumWidth = 6750;
    static constexpr qint32 kMinimumHeight = 5580;

    // The most sites (site boxes) the station shows, and the most data
    // positions and banks its lists offer; an engine count outside 1 to the
    // most is taken as 1, with a line in the black-box log.
    static constexpr qint32 kMaxSites = 64;
    static constexpr qint32 kMaxSetsOrBanks = 256;

    // --- controls ---
    QLineEdit* txtDevice = nullptr;
    QLineEdit* txtFile = nullptr;
    QLineEdit* txtOptions = nullptr;
    QPushButton* DeviceButton = nullptr;
    QPushButton* FileButton = nullptr;
    QPushButton* OptionsButton = nullptr;
    QFrame* fraSets = nullptr;
    QLabel* lblDatPos = nullptr;
    QComboBox* cboDatPos = nullptr;
    QLabel* lblBankNum = nullptr;
    QComboBox* cboBankNum = nullptr;
    TabStrip* tabOperation = nullptr;
    QFrame* fraOperation = nullptr;
    QFrame* fraOptions = nullptr;
    QFrame* fraProgressBar = nullptr;
    QFrame* fraButtons = nullptr;
    QPushButton* btnAction = nullptr;
    QPushButton* btnStop = nullptr;
    QList<QCheckBox*> Check1;
    QList<QComboBox*> cboOperation;
    QList<QProgressBar*> ProgressBar1;
    QFrame* fraConcurrent = nullptr;
    QLabel* oStaticLabelPassed = nullptr;
    QLabel* oStaticLabelFailed = nullptr;
    QLabel* oStaticLabelActive = nullptr;
    QLabel* oStaticLabelRemaining = nullptr;
    QLabel* m_sDevicesPassedValue = nullptr;
    QLabel* m_sDevicesFailedValue = nullptr;
    QLabel* m_sDevicesActiveValue = nullptr;
    QLabel* m_sDevicesRemainingValue = nullptr;
    // One site box per site; element i is site i + 1.
    std::vector<std::unique_ptr<SiteBoxControl>> SiteBox;
    QListWidget* cboStatus = nullptr;

    // --- state ---
    qint32 udtAction = 0;
    // The run's flags (they live in Run()).
    bool& blnStopClicked = m_run.blnStopClicked;
    bool& bSpecialConcurrent = m_run.bSpecialConcurrent;
    bool& blnRunningConcurrent = m_run.blnRunningConcurrent;
    bool& mbActionClicked = m_run.mbActionClicked;
    bool bEnableStatusTextUpdate = true;
    bool bBufferDirty = false;
    // The data pattern window's answers to ExecuteBufferCommand.
    bool bOpen = false;
    bool bOK = false;
    qint32 FileType = 0;
    // The data pattern window while a buffer command runs.
    frmBufferCmd* m_frmBufferCmd = nullptr;
    // Action slots 0 to lngNumberOfActions - 1; 8 and up are custom actions.
    qint32 lngNumberOfActions = 9;
    std::vector<qint16> intActionTabIndex;
    std::vector<bool> blnSaveActionOptions;
    // Option texts of every tab by option position and tab.
    std::vector<QStringList> strOldComboBoxStrings;
    QStringList m_asOptionText;
    qint32 m_lBufferOffset = 0;

    // The run counters under the names the windows use (they live in
    // Counters()).
    qint32& lngNumPassed = m_runCounters.lngNumPassed;
    qint32& lngNumFailed = m_runCounters.lngNumFailed;
    qint32& lngNumLeft = m_runCounters.lngNumLeft;
    qint32& lngNumToDo = m_runCounters.lngNumToDo;
    qint32& lngNumFailedAlreadySecured = m_runCounters.lngNumFailedAlreadySecured;
    qint32& lngNumFailedBadID = m_runCounters.lngNumFailedBadID;
    qint32& lngNumFailedContinuity = m_runCounters.lngNumFailedContinuity;
    qint32& lngNumFailedErase = m_runCounters.lngNumFailedErase;
    qint32& lngNumFailedFunctionality = m_runCounters.lngNumFailedFunctionality;
    qint32& lngNumFailedIllegalBit = m_runCounters.lngNumFailedIllegalBit;
    qint32& lngNumFailedNonBlank = m_runCounters.lngNumFailedNonBlank;
    qint32& lngNumFailedOverCurrent = m_runCounters.lngNumFailedOverCurrent;
    qint32& lngNumFailedProgramming = m_runCounters.lngNumFailedProgramming;
    qint32& lngNumFailedSecurity = m_runCounters.lngNumFailedSecurity;
    qint32& lngNumFailedVerify = m_runCounters.lngNumFailedVerify;
    qint32& lngNumFailedOther = m_runCounters.lngNumFailedOther;

    // Per procedure of the current custom action (all kinds, in the
    // engine's order), True for a required one; the last element is unused.
    QList<bool> blnProcRequired;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The focus leaving the position and bank lists.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // When the last pump let window messages run (PumpEvents).
    QElapsedTimer m_pumpClock;

    struct Twips
    {
        qint32 left = 0;
        qint32 top = 0;
        qint32 width = 0;
        qint32 height = 0;
    };

    void CreateControls();
    // Places the run counters below the site boxes; answers the height
    // they take from the frame's bottom (twips).
    qint32 ArrangeConcurrentLabels();
    // What the site layout leaves free below the boxes (twips).
    static constexpr qint32 kCountersRoom = 1000;
    void ShowConcurrentFrame();
    void HideConcurrentFrame();
    qint32 WidestListEntryWidth(const QComboBox* combo) const;
    void SetDropWidth(QComboBox* combo, qint32 pixels);
    void SetStopBackColor(bool highlight);
    QString BufferLine();
    QString DeviceLine();
    QString OptionsLine();
    void ShowSetsFrame();

    // Option lists of the tabs and the per-tab store.
    void FillProgramOptionLists();
    void FillVerifyOptionLists();
    void FillReadOptionLists();
    void FillCustomActionOptionLists();
    void FillStandardOptionLists(qint32 action);
    void ApplyOptionLists(const OperationLists::Built& built, qint32 action);
    OperationLists::Context ListContext(qint32 action) const;
    void RestoreOptionRowSettings(qint16 tab, qint16 row);
    void ResetOptionRows();
    OptionStore::RowState RowStateOf(int row) const;
    bool IsCustomAction(qint32 action) const;
    // The action each tab carries, tab 1 first.
    QList<qint32> TabActions() const;
    void MarkAllActionsForFreshStore();
    void DeviceAccepted();

    // Twips geometry of the controls.
    Twips& tw(QWidget* control);
    void Place(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height);
    void ApplyGeometry(QWidget* control);
    void ApplyAllGeometry();

    QXPgmrControl& Engine() const;
    CSiteLayout& SiteLayout();

    // CSiteLayout::Host, and OperationRun::Host's site box count
    int SiteBoxCount() const override;
    bool LoadSiteBox(int index) override;
    void UnloadSiteBox(int index) override;
    SiteBoxControl& SiteBoxAt(int index) override;
    qint32 EngineSiteCount() override;
    qint16 EngineSiteSlotCount() override;
    qint32 HandlerType() override;

    // --- the run's own steps (frmProgramRun.cpp) ---
    void TrackAbortRequest();
    qint32 RunDeviceLoop();
    qint32 RunOperationLoop();
    qint32 RunManualHandlerSession();
    bool SendCustomActionSelections(qint16 action);
    void ApplySiteStatus(qint32 index, qint32 status, qint32 code);

    // OperationRun::Host
    void StatusLine(const QString& text) override;
    void LogLine(const QString& text) override;
    H950HdlrControl& AutoHandler();
    ManualHdlControl& ManualHandler();
    int ProgressValue(int row) const override;
    OperationRun::OptionRow Row(int row) const override;
    qint32 CurrentAction() const override;
    qint32 ActionCount() const override;
    QString SelectedTabCaption() const override;
    QList<bool> ProcRequired() const override;
    qint32 DataPositionIndex() const override;
    qint32 BankIndex() const override;
    qint32 ActiveCountShown() const override;
    void EnableMenu(bool enable) override;
    bool ActionButtonAvailable() const override;
    void DisableStopButton() override;
    void AskJobID() override;
    void SetBufferSource(const QString& name, const QDateTime& date, qint16 type) override;
    int ProgressRowCount() const override;
    void SetProgressValue(int row, int value) override;
    bool ProgressRowChecked(int row) const override;
    void ShowSiteStatus(int index, qint32 status, const QString& statusText, const QString& errorText) override;
    void UpdateButtonStates() override;
    void LockOptionSettings(bool locked) override;
    // The engine asks for a pump at each of its progress steps, many times
    // per device; paints and input are let through at most once per frame.
    void PumpEvents() override;
    static constexpr qint64 kPumpIntervalMs = 16;
    qint32 Prompt(const QString& text, qint32 buttons, const QString& title) override;

    // The window's minimum size follows the option frame.
    void UpdateMinimumSize();
    // An engine count used to fill a list or create controls, held to
    // 1..most; outside it the count is 1 and the black-box log says so.
    qint32 UsableCount(qint32 reported, qint32 most, const char* what);

    std::unique_ptr<CSiteLayout> m_oSiteLayout;
    CBufferSource BufferSource;
    // Node-based: a reference to one entry stays valid while others are added.
    std::unordered_map<const QWidget*, Twips> m_twips;
    qint32& lngStopPressCount = m_run.lngStopPressCount;
    bool m_loaded = false;
    // Height added to the option frame and the window for option rows beyond
    // the designed five, in twips.
    qint32 m_optionsExtraHeight = 0;
    bool m_inResize = false;
    // The last out-of-range engine count logged, by what it counts.
    QHash<QString, qint32> m_reportedCounts;
};
