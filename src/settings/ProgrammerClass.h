#pragma once

// The job configuration: every user setting of a job and of the station in
// one object. Creating it reads the stored settings, destroying it writes them
// back. The other windows read and write its public variables directly.
//
// It is handed the engine, the automatic-handler control and the source of
// the main window's quantity at construction; the File menu's recent-file
// entries are drawn by whoever installs SetRecentFilesMenu.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <limits>
#include <vector>

class QXPgmrControl;
class H950HdlrControl;

// The File menu's recent-file entries, drawn by the main window.
struct RecentFilesMenu
{
    std::function<int()> places;                  // entries below the separator
    std::function<void(const QStringList&)> show; // draws the files, most recent first
};
// Installs (or, with an empty one, removes) the menu; without one the
// configuration keeps five places and draws nothing.
void SetRecentFilesMenu(RecentFilesMenu menu);

class ProgrammerClass
{
public:
    using QuantitySource = std::function<qint32()>;
    // Without an engine every engine call fails as an unset object would.
    explicit ProgrammerClass(QXPgmrControl* engine = nullptr, H950HdlrControl* autoHandler = nullptr,
                             QuantitySource quantity = {});
    ~ProgrammerClass();
    ProgrammerClass(const ProgrammerClass&) = delete;
    ProgrammerClass& operator=(const ProgrammerClass&) = delete;

    // Device.
    QString strDeviceName;
    QString strDeviceSize;
    qint32 lngDeviceSize = 0;
    QString strDevicePackage;
    // Data-pattern file.
    QString strFileName;
    QString strFilePath;
    QString strFileDrive;
    QDateTime dtmFileDate;
    qint32 lngFileSize = 0;
    QString strDisplayedFileName;
    // Checksum and buffer load and save settings.
    qint32 udtCSumMethod = 0;
    bool bClearBeforeRead = true;
    qint32 udtCSumType = 1;
    bool blnAutoFileID = true;
    bool bNoviceMode = true;
    bool blnSaveEntireContents = true;
    qint32 lngLowAddrSave = 0;
    qint32 lngHighAddrSave = 0;
    bool blnClearLoad = true;
    qint32 lngLowAddrLoad = 0;
    qint32 lngHighAddrLoad = 0;
    qint32 lngBufLoadAddr = 0;
    bool blnAutoLowAddr = true;
    bool blnLoadEntireFile = true;
    qint32 lngPosSingle = 0;
    qint32 lngBankSingle = 0;
    // Tools, Options.
    bool bBeepOn = true;
    bool bElapsedTime = false;
    bool bMatchChipPinAndSocket = false;
    bool bMemoryIntegrityCheck = false;
    // Programmer and handler.
    qint32 udtPgmrType = 12;
    qint32 udtParallelPort = 0;
    qint32 udtHandlerType = 0;
    qint32 udtRadix = 0;
    // Run state.
    bool blnDeviceSelected = false;
    bool blnBufferEmpty = true;
    bool blnInAction = false;
    bool blnFileLoaded = false;
    // Sealbook (locked job).
    QString strJobName;
    QString strJobID;
    bool bStartInOperatorMode = false;
    bool bDataPatternLinkedToSKFile = false;
    bool bAutoLoadJob = false;
    QString strJobNote;
    QString strSKAutoNote;
    QString strJobDir;
    // Where Save Job As and Load Job open: the job folder when it names an
    // existing folder other than the program's own (which a user cannot
    // write to), else the user's documents folder, else the home folder.
    QString JobDialogFolder() const;
    // A folder of the user's own that the station can write: the documents
    // folder, else the home folder.
    static QString UsersOwnFolder();
    // Job summaries are saved automatically after each job unless the
    // operator switched it off ("AutoSaveSK_Enable" absent reads as this):
    // Configure shows what the end of a job does.
    static constexpr const char* kAutoSaveSKEnableDefault = "1";
    QString strSKAutoDir;
    qint16 lngMasterSiteID = 1;
    QString strOperatorPwd;
    qint32 skType = 1;
    bool bEnableMarkEditor = false;
    bool bVerifyChecksum = true;
    bool bRemindToVerifyChecksum = true;
    QString strSerialNumber;
    // Data capture.
    QString strDataCaptureFileName;
    QString strDataCaptureJobPath;
    QString strDataCaptureFilePath;
    QString strDataCaptureReportFileName;
    qint32 lngDCDiffColor = 255;

    // Per-tab user settings, by action (0 .. GetTotalNumberOfTabs) and option
    // (0 .. GetMaximumNumberOfOptions). Outside those bounds a read gives 0 or
    // "" and a write changes nothing.
    QString strUserListboxText(int action, int option) const;
    void strUserListboxText(int action, int option, const QString& text);
    qint16 intUserCheckbox(int action, int option) const;
    void intUserCheckbox(int action, int option, qint16 value);
    qint16 intUserListboxIndex(int action, int option) const;
    void intUserListboxIndex(int action, int option, qint16 value);

    // The operator's choices on the standard action tabs, one "Configuration"
    // value each (see ActionSettings). A value the store refuses is kept here
    // and read back from here until a later save gets it through, so that a
    // reload of the tabs never replaces the operator's choice with an older
    // stored one. SaveActionValue answers whether the store took the value.
    qint16 LoadActionValue(const QString& valueName, qint16 defaultValue) const;
    bool SaveActionValue(const QString& valueName, qint16 value);

    // The main window's quantity.
    qint32 lngNumCopies() const;

    void LoadConfigData();
    void SetDefaultConfig();
    bool IsEntireDeviceRange();
    // The option rows of the operation window (0 .. 16).
    qint16 GetMaximumNumberOfOptions() const { return 17; }
    qint32 GetTotalNumberOfTabs() const { return lTotalNumberOfTabs; }
    // Sets the highest action index and resizes the per-tab arrays to it,
    // keeping what they hold.
    void SetTotalNumberOfTabs(qint32 total);
    void InitializeUserSettingArrays();
    bool GetActionSettingsLoaded() const { return mbActionSettingsLoaded; }
    void SetActionSettingsLoaded(bool loaded) { mbActionSettingsLoaded = loaded; }
    void DeleteOldActionSettings();
    bool LoadOldActionSettings();
    static bool IsVexalModel(qint32 model);
    void UpdateRecentFilesRegistry(const QString& path);
    void UpdateFileMenuWithRecentFiles();
    QString FullDataBufferPath() const;
    void RunDelayedRegInit(bool load);
    // A configuration read by a station whose start-up failed is not saved
    // back: what the engine reported then is not to replace good settings.
    void DiscardWithoutSaving() { m_saveOnDestroy = false; }

    // The one-byte mask of the stored operator password.
    static constexpr quint16 kPasswordMask = 0xA5;
    // Password characters kept in the store.
    static constexpr int kPasswordPositions = 15;
    // The date of a file never loaded.
    static QDateTime ZeroDate();

private:
    bool m_saveOnDestroy = true;
    struct SettingRow;
    struct DelayedRegValue
    {
        QString propertyName;
        QString valueName;
        qint32 defaultValue;
        // A stored value outside these counts as absent.
        qint32 lowest = std::numeric_limits<qint32>::min();
        qint32 highest = std::numeric_limits<qint32>::max();
    };
    // One option row per index, one slot beyond the last row.
    static constexpr int kOptionSlots = 18;
    template <class T>
    using PerTab = std::vector<std::array<T, kOptionSlots>>;

    QXPgmrControl& engine() const;
    H950HdlrControl* autoHandler() const;
    qint32 ReadHandlerType();
    // The settings read by LoadConfigData, each with its default.
    std::vector<SettingRow> LoadedSettings();
    void LoadRow(const QString& app, const SettingRow& row);
    void SaveRow(const QString& app, const SettingRow& row);
    // Run when the object is destroyed.
    void SaveConfigData();
    QString LoadOperatorPassword();
    void SaveOperatorPassword();
    bool InBounds(int action, int option) const;
    void ResizeUserSettingArrays(bool keep);

    // Recent files.
    int RecentFilePlaces() const;
    QStringList RecentFileTable() const;
    int FindRecentFile(const QString& path) const;
    void RemoveRecentFile(const QString& path);
    void ShiftRecentFilesUp(int startRow, const QStringList& table);
    void AddToTopOfRecentFiles(const QString& path);

    QXPgmrControl* m_engine;
    H950HdlrControl* m_autoHandler;
    QuantitySource m_quantity;

    qint32 lTotalNumberOfTabs = 15;
    PerTab<qint16> m_intUserCheckbox;
    PerTab<qint16> m_intUserListboxIndex;
    PerTab<QString> m_strUserListboxText;
    bool mbActionSettingsLoaded = false;
    bool mbOldActionSettingsFound = false;
    // The automatic-handler control could not be asked at creation.
    bool m_handlerTypeUnknown = false;
    std::vector<DelayedRegValue> mDelayedRegInit;
    QHash<QString, qint16> m_unsavedActionValues;
};
