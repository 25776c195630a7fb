#include "settings/ProgrammerClass.h"

#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsStore.h"
#include "settings/cRegistry.h"
#include "settings/StoredValueConversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QtDebug>
#include <variant>

namespace {

const QString kBuffer = QStringLiteral("buffer");
const QString kHandler = QStringLiteral("Handler");
const QString kConfiguration = QStringLiteral("Configuration");
const QString kH950hdlr = QStringLiteral("H950hdlr");
const QString kSealbook = QStringLiteral("Sealbook");
const QString kDataCapture = QStringLiteral("Data Capture");
const QString kRecentFiles = QStringLiteral("Recent Files");

RecentFilesMenu& RecentMenu()
{
    static RecentFilesMenu menu;
    return menu;
}

constexpr qint32 kDefaultTotalNumberOfTabs = 15;
// A stored tab total beyond this is damage, not a tab strip: it would only
// make the per-tab arrays huge.
constexpr qint32 kMaxTotalNumberOfTabs = 1024;
// The recent-file places of the File menu when there is no main window.
constexpr int kRecentFilePlaces = 5;
// The set width and bank count a stored setting may give.
constexpr qint32 kLowestSetCount = 1;
constexpr qint32 kHighestSetCount = 256;
// Marks an older action setting that is not stored.
constexpr qint16 kOldSettingAbsent = -333;
const QString kPasswordEnd = QStringLiteral("FFFF");

using appinfo::App;

using enginecall::Try;

// One write of the settings saved at exit. A failed write loses that value
// only; the others are still written.
void Save(const QString& app, const QString& section, const QString& name, const QVariant& value)
{
    try {
        SaveSettingValue(app, section, name, value);
    } catch (const std::exception& e) {
        qWarning("Setting %s\\%s not saved: %s", qPrintable(section), qPrintable(name), e.what());
    }
}

QString OldActionPrefix(int action)
{
    static const char* const kPrefixes[] = {"", "USR_PGM_", "USR_VFY_", "USR_READ_", "USR_BLANKCHECK_"};
    return QString::fromLatin1(kPrefixes[qBound(0, action, 4)]);
}

QString RecentFileName(int place)
{
    return QStringLiteral("RecentFile%1").arg(place);
}

} // namespace

// A stored setting and the variable it is read into and saved from.
struct ProgrammerClass::SettingRow
{
    using Field = std::variant<bool ProgrammerClass::*, qint16 ProgrammerClass::*, qint32 ProgrammerClass::*,
                               QString ProgrammerClass::*>;
    enum class Stored { AsType, AsText };

    const QString& section;
    const char* name;
    Field field;
    QVariant defaultValue;
    // Most values keep their variable's type in the store; a few are saved
    // as their text.
    Stored stored = Stored::AsType;
};

QDateTime ProgrammerClass::ZeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

ProgrammerClass::ProgrammerClass(QXPgmrControl* engine, H950HdlrControl* autoHandler, QuantitySource quantity)
    : m_engine(engine),
      m_autoHandler(autoHandler),
      m_quantity(std::move(quantity))
{
    const QString app = App();
    strFileName = ToText(GetSettingValue(app, kBuffer, QStringLiteral("filename"), QString()));
    strFilePath = ToText(GetSettingValue(app, kBuffer, QStringLiteral("path"), QStringLiteral("/")));
    strFileDrive = ToText(GetSettingValue(app, kBuffer, QStringLiteral("drive"), QString()));
    udtHandlerType = ReadHandlerType();

    dtmFileDate = ZeroDate();
    lngFileSize = 0;
    udtPgmrType = 12;
    udtParallelPort = 0;
    blnDeviceSelected = false;
    blnBufferEmpty = true;
    blnInAction = false;
    blnFileLoaded = false;
    strJobNote.clear();
    strSKAutoNote.clear();
    strJobDir.clear();
    skType = 1;

    const qint32 tabs =
        ToLong(GetSettingValue(app, kConfiguration, QStringLiteral("lTotalNumberOfTabs"), kDefaultTotalNumberOfTabs),
               kDefaultTotalNumberOfTabs);
    lTotalNumberOfTabs = tabs >= 0 && tabs <= kMaxTotalNumberOfTabs ? tabs : kDefaultTotalNumberOfTabs;

    InitializeUserSettingArrays();
    mbActionSettingsLoaded = false;
    mbOldActionSettingsFound = false;
    LoadConfigData();
}

ProgrammerClass::~ProgrammerClass()
{
    if (m_saveOnDestroy)
        SaveConfigData();
}

void SetRecentFilesMenu(RecentFilesMenu menu)
{
    RecentMenu() = std::move(menu);
}

QXPgmrControl& ProgrammerClass::engine() const
{
    if (m_engine)
        return *m_engine;
    throw AutomationError(ControlAccessor::ErrObjectNotSet, App(),
                          QStringLiteral("Object variable or With block variable not set"));
}

H950HdlrControl* ProgrammerClass::autoHandler() const
{
    return m_autoHandler;
}

qint32 ProgrammerClass::ReadHandlerType()
{
    // The stored handler type counts only where the handler offers the
    // automatic types. A handler that cannot be asked says nothing about it:
    // the type then reads 0 but is not saved over the stored one.
    H950HdlrControl* handler = autoHandler();
    qint32 family = 0;
    m_handlerTypeUnknown = !handler || !Try([&] { family = handler->HandlerModelFamily(); });
    if (m_handlerTypeUnknown || family != -1)
        return 0;
    return ToLong(GetSettingValue(App(), kHandler, QStringLiteral("Type"), qint32(0)), 0);
}

qint32 ProgrammerClass::lngNumCopies() const
{
    return m_quantity ? m_quantity() : 0;
}

// ---------------------------------------------------------------------------
// Load and save

std::vector<ProgrammerClass::SettingRow> ProgrammerClass::LoadedSettings()
{
    using S = SettingRow::Stored;
    // The data capture report lies in the engine's folder unless stored. An
    // engine that cannot say (or answers a relative folder) must not make the
    // default a path relative to whatever folder the station runs in: the
    // program's folder stands in for it.
    QString engineFolder;
    Try([&] { engineFolder = engine().EngineDirectory(); });
    const QDir programFolder(appinfo::ProgramFolder());
    const QString folder = engineFolder.isEmpty() ? programFolder.path() : programFolder.absoluteFilePath(engineFolder);
    const QString reportFile = QDir(folder).filePath(QStringLiteral("DataCaptureReport.Txt"));

    return {
        {kH950hdlr, "bEnableMarkEditor", &ProgrammerClass::bEnableMarkEditor, QStringLiteral("False")},
        {kConfiguration, "MasterSiteID", &ProgrammerClass::lngMasterSiteID, QStringLiteral("1")},
        {kConfiguration, "udtCSumMethod", &ProgrammerClass::udtCSumMethod, qint32(0)},
        {kConfiguration, "bClearBeforeRead", &ProgrammerClass::bClearBeforeRead, true},
        {kConfiguration, "udtCSumType", &ProgrammerClass::udtCSumType, qint32(1)},
        {kConfiguration, "blnAutoFileID", &ProgrammerClass::blnAutoFileID, true},
        {kConfiguration, "blnAutoLowAddr", &ProgrammerClass::blnAutoLowAddr, true},
        {kConfiguration, "blnLoadEntireFile", &ProgrammerClass::blnLoadEntireFile, true},
        {kConfiguration, "bNoviceMode", &ProgrammerClass::bNoviceMode, true},
        {kConfiguration, "bBeepOn", &ProgrammerClass::bBeepOn, true},
        {kConfiguration, "bMemoryIntegrityCheck", &ProgrammerClass::bMemoryIntegrityCheck, false},
        {kConfiguration, "blnSaveEntireContents", &ProgrammerClass::blnSaveEntireContents, true},
        {kConfiguration, "lngLowAddrSave", &ProgrammerClass::lngLowAddrSave, qint16(0)},
        {kConfiguration, "lngHighAddrSave", &ProgrammerClass::lngHighAddrSave, qint16(0)},
        {kConfiguration, "blnClearLoad", &ProgrammerClass::blnClearLoad, true},
        {kConfiguration, "lngLowAddrLoad", &ProgrammerClass::lngLowAddrLoad, qint16(0)},
        {kConfiguration, "lngHighAddrLoad", &ProgrammerClass::lngHighAddrLoad, qint16(0)},
        {kConfiguration, "lngBufLoadAddr", &ProgrammerClass::lngBufLoadAddr, qint16(0)},
        {kConfiguration, "lngPosSingle", &ProgrammerClass::lngPosSingle, qint16(0)},
        {kConfiguration, "lngBankSingle", &ProgrammerClass::lngBankSingle, qint16(0)},
        {kConfiguration, "udtRadix", &ProgrammerClass::udtRadix, qint32(0)},
        {kConfiguration, "Matching ChipPin and Socket", &ProgrammerClass::bMatchChipPinAndSocket, qint16(0), S::AsText},
        {kSealbook, "Default Mode", &ProgrammerClass::bStartInOperatorMode, false},
        {kSealbook, "bDataPatternLinkedToSKFile", &ProgrammerClass::bDataPatternLinkedToSKFile, false},
        {kSealbook, "Job File Directory", &ProgrammerClass::strJobDir, appinfo::ProgramFolder()},
        {kSealbook, "Verify Checksum of Data", &ProgrammerClass::bVerifyChecksum, true},
        {kSealbook, "Reminding of Verify Checksum", &ProgrammerClass::bRemindToVerifyChecksum, true},
        {kConfiguration, "Elapsed Time", &ProgrammerClass::bElapsedTime, false, S::AsText},
        {kDataCapture, "File Name", &ProgrammerClass::strDataCaptureFileName, QString()},
        {kDataCapture, "Job Path", &ProgrammerClass::strDataCaptureJobPath, QString()},
        {kDataCapture, "File Path", &ProgrammerClass::strDataCaptureFilePath, QString()},
        {kDataCapture, "Report File", &ProgrammerClass::strDataCaptureReportFileName, reportFile},
        {kDataCapture, "Error Color", &ProgrammerClass::lngDCDiffColor, QStringLiteral("255"), S::AsText},
    };
}

void ProgrammerClass::LoadRow(const QString& app, const SettingRow& row)
{
    const QVariant stored = GetSettingValue(app, row.section, QString::fromLatin1(row.name), row.defaultValue);
    // A text that does not convert to the variable's type counts as absent.
    std::visit(
        [&](auto member) {
            auto& field = this->*member;
            using T = std::remove_reference_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>)
                field = ToBool(stored, ToBool(row.defaultValue, false));
            else if constexpr (std::is_same_v<T, qint16>)
                field = ToInteger(stored, ToInteger(row.defaultValue, 0));
            else if constexpr (std::is_same_v<T, qint32>)
                field = ToLong(stored, ToLong(row.defaultValue, 0));
            else
                field = ToText(stored);
        },
        row.field);
}

void ProgrammerClass::SaveRow(const QString& app, const SettingRow& row)
{
    const QVariant value = std::visit(
        [&](auto member) -> QVariant {
            const auto& field = this->*member;
            if (row.stored == SettingRow::Stored::AsText)
                return ToText(QVariant::fromValue(field));
            return QVariant::fromValue(field);
        },
        row.field);
    Save(app, row.section, QString::fromLatin1(row.name), value);
}

void ProgrammerClass::LoadConfigData()
{
    const QString app = App();

    // The device settings the engine keeps by name, restored and saved by
    // RunDelayedRegInit. Loading again replaces the queue rather than adding
    // to it, so each property is restored and saved once. The set width and
    // the bank count size the lists of positions and banks: a damaged stored
    // count must not make the station build millions of entries at start.
    static const DelayedRegValue kDelayed[] = {
        {QStringLiteral("DeviceByteOrder"), QStringLiteral("udtByteOrder"), 0},
        {QStringLiteral("DeviceDataSetWidth"), QStringLiteral("lngSetWidth"), 1, kLowestSetCount, kHighestSetCount},
        {QStringLiteral("DeviceDataSetLength"), QStringLiteral("lngSetBanks"), 1, kLowestSetCount, kHighestSetCount},
        {QStringLiteral("DeviceSetMode"), QStringLiteral("udtSetMode"), 0},
        {QStringLiteral("DeviceVectorDisplay"), QStringLiteral("udtVectorDisplay"), 0},
        {QStringLiteral("DeviceVectorXState"), QStringLiteral("udtVectorXValue"), 0},
        {QStringLiteral("DeviceVectorSeed"), QStringLiteral("lngVectorSeed"), 0},
    };
    mDelayedRegInit.assign(std::begin(kDelayed), std::end(kDelayed));

    for (const SettingRow& row : LoadedSettings())
        LoadRow(app, row);
    lngPosSingle = qMax(lngPosSingle, 0);
    lngBankSingle = qMax(lngBankSingle, 0);

    strOperatorPwd = LoadOperatorPassword();
    // The job of the last run is not reloaded by itself.
    strJobName.clear();
    bAutoLoadJob = false;
}

void ProgrammerClass::SaveConfigData()
{
    using S = SettingRow::Stored;
    const QString app = App();
    const SettingRow buffer[] = {
        {kBuffer, "path", &ProgrammerClass::strFilePath, {}},
        {kBuffer, "drive", &ProgrammerClass::strFileDrive, {}},
        {kBuffer, "filename", &ProgrammerClass::strFileName, {}},
    };
    const SettingRow middle[] = {
        {kH950hdlr, "bEnableMarkEditor", &ProgrammerClass::bEnableMarkEditor, {}},
        {kConfiguration, "MasterSiteID", &ProgrammerClass::lngMasterSiteID, {}},
        {kConfiguration, "udtCSumMethod", &ProgrammerClass::udtCSumMethod, {}},
        {kConfiguration, "bClearBeforeRead", &ProgrammerClass::bClearBeforeRead, {}},
        {kConfiguration, "udtCSumType", &ProgrammerClass::udtCSumType, {}},
        {kConfiguration, "blnAutoFileID", &ProgrammerClass::blnAutoFileID, {}},
        {kConfiguration, "blnAutoLowAddr", &ProgrammerClass::blnAutoLowAddr, {}},
        {kConfiguration, "blnLoadEntireFile", &ProgrammerClass::blnLoadEntireFile, {}},
        {kConfiguration, "bNoviceMode", &ProgrammerClass::bNoviceMode, {}},
        {kConfiguration, "bBeepOn", &ProgrammerClass::bBeepOn, {}},
        {kConfiguration, "bMemoryIntegrityCheck", &ProgrammerClass::bMemoryIntegrityCheck, {}},
        {kConfiguration, "blnSaveEntireContents", &ProgrammerClass::blnSaveEntireContents, {}},
        {kConfiguration, "lngLowAddrSave", &ProgrammerClass::lngLowAddrSave, {}},
        {kConfiguration, "lngHighAddrSave", &ProgrammerClass::lngHighAddrSave, {}},
        {kConfiguration, "blnClearLoad", &ProgrammerClass::blnClearLoad, {}},
        {kConfiguration, "lngLowAddrLoad", &ProgrammerClass::lngLowAddrLoad, {}},
        {kConfiguration, "lngHighAddrLoad", &ProgrammerClass::lngHighAddrLoad, {}},
        {kConfiguration, "lngBufLoadAddr", &ProgrammerClass::lngBufLoadAddr, {}},
        {kConfiguration, "lngPosSingle", &ProgrammerClass::lngPosSingle, {}},
        {kConfiguration, "lngBankSingle", &ProgrammerClass::lngBankSingle, {}},
        {kConfiguration, "udtRadix", &ProgrammerClass::udtRadix, {}},
        {kSealbook, "Default Mode", &ProgrammerClass::bStartInOperatorMode, {}},
        {kSealbook, "bDataPatternLinkedToSKFile", &ProgrammerClass::bDataPatternLinkedToSKFile, {}},
        {kSealbook, "Job Name", &ProgrammerClass::strJobName, {}},
        {kSealbook, "Job File Directory", &ProgrammerClass::strJobDir, {}},
        {kSealbook, "Verify Checksum of Data", &ProgrammerClass::bVerifyChecksum, {}},
        {kSealbook, "Reminding of Verify Checksum", &ProgrammerClass::bRemindToVerifyChecksum, {}},
    };
    const SettingRow last[] = {
        {kDataCapture, "File Name", &ProgrammerClass::strDataCaptureFileName, {}},
        {kDataCapture, "Job Path", &ProgrammerClass::strDataCaptureJobPath, {}},
        {kDataCapture, "File Path", &ProgrammerClass::strDataCaptureFilePath, {}},
        {kDataCapture, "Report File", &ProgrammerClass::strDataCaptureReportFileName, {}},
        {kDataCapture, "Error Color", &ProgrammerClass::lngDCDiffColor, {}, S::AsText},
        {kConfiguration, "Matching ChipPin and Socket", &ProgrammerClass::bMatchChipPinAndSocket, {}, S::AsText},
        {kConfiguration, "lTotalNumberOfTabs", &ProgrammerClass::lTotalNumberOfTabs, {}},
        {kConfiguration, "Elapsed Time", &ProgrammerClass::bElapsedTime, {}, S::AsText},
    };
    for (const SettingRow& row : buffer)
        SaveRow(app, row);
    if (!(m_handlerTypeUnknown && udtHandlerType == 0))
        Save(app, kHandler, QStringLiteral("Type"), udtHandlerType);
    for (const SettingRow& row : middle)
        SaveRow(app, row);
    SaveOperatorPassword();
    for (const SettingRow& row : last)
        SaveRow(app, row);
    if (mbOldActionSettingsFound)
        DeleteOldActionSettings();
}

// The operator password, one character per value: the character's code
// combined with the mask, "FFFF" past its end.
QString ProgrammerClass::LoadOperatorPassword()
{
    const QString app = App();
    QString password;
    for (int n = 1;; ++n) {
        const QString text =
            ToText(GetSettingValue(app, kSealbook, QStringLiteral("%1Operator Parameter").arg(n), QString()));
        if (text.isEmpty() || text == kPasswordEnd)
            break;
        const qint32 code = ToLong(text, -1);
        if (code < 0 || code > 0xFFFF)
            break; // damaged: keep what was read before it
        password += QChar(char16_t(quint16(code) ^ kPasswordMask));
    }
    return password;
}

void ProgrammerClass::SaveOperatorPassword()
{
    const QString app = App();
    QString kept = strOperatorPwd.left(kPasswordPositions);
    // Never keep half of a character that needs two code units.
    if (!kept.isEmpty() && kept.back().isHighSurrogate())
        kept.chop(1);
    for (int n = 1; n <= kPasswordPositions; ++n) {
        const QString value =
            n > kept.size() ? kPasswordEnd : QString::number(quint16(kept.at(n - 1).unicode()) ^ kPasswordMask);
        Save(app, kSealbook, QStringLiteral("%1Operator Parameter").arg(n), value);
    }
}

void ProgrammerClass::RunDelayedRegInit(bool load)
{
    const QString app = App();
    // Each property on its own: one the engine refuses is skipped and keeps
    // its stored value, the others still go through.
    for (const DelayedRegValue& entry : mDelayedRegInit) {
        if (load) {
            qint32 value =
                ToLong(GetSettingValue(app, kConfiguration, entry.valueName, entry.defaultValue), entry.defaultValue);
            if (value < entry.lowest || value > entry.highest) {
                WriteSettingsLog(QStringLiteral("Stored setting %1 = %2 is outside %3 to %4; the default %5 is used.")
                                     .arg(entry.valueName)
                                     .arg(value)
                                     .arg(entry.lowest)
                                     .arg(entry.highest)
                                     .arg(entry.defaultValue));
                value = entry.defaultValue;
            }
            Try([&] { engine().PutByName(entry.propertyName, value); });
        } else {
            QVariant value;
            if (!Try([&] { value = engine().GetByName(entry.propertyName); }))
                continue;
            const std::optional<qint64> number = ToWhole(value);
            if (!number || *number < std::numeric_limits<qint32>::min() || *number > std::numeric_limits<qint32>::max())
                continue;
            Save(app, kConfiguration, entry.valueName, qint32(*number));
        }
    }
}

// ---------------------------------------------------------------------------
// Per-tab user settings

bool ProgrammerClass::InBounds(int action, int option) const
{
    return action >= 0 && action <= lTotalNumberOfTabs && size_t(action) < m_intUserCheckbox.size() && option >= 0
        && option < kOptionSlots;
}

QString ProgrammerClass::strUserListboxText(int action, int option) const
{
    return InBounds(action, option) ? m_strUserListboxText[action][option] : QString();
}

void ProgrammerClass::strUserListboxText(int action, int option, const QString& text)
{
    if (InBounds(action, option))
        m_strUserListboxText[action][option] = text;
}

qint16 ProgrammerClass::intUserCheckbox(int action, int option) const
{
    return InBounds(action, option) ? m_intUserCheckbox[action][option] : 0;
}

void ProgrammerClass::intUserCheckbox(int action, int option, qint16 value)
{
    if (InBounds(action, option))
        m_intUserCheckbox[action][option] = value;
}

qint16 ProgrammerClass::intUserListboxIndex(int action, int option) const
{
    return InBounds(action, option) ? m_intUserListboxIndex[action][option] : 0;
}

void ProgrammerClass::intUserListboxIndex(int action, int option, qint16 value)
{
    if (InBounds(action, option))
        m_intUserListboxIndex[action][option] = value;
}

void ProgrammerClass::ResizeUserSettingArrays(bool keep)
{
    const size_t actions = size_t(qMax(lTotalNumberOfTabs, -1) + 1);
    if (!keep) {
        m_intUserCheckbox.clear();
        m_intUserListboxIndex.clear();
        m_strUserListboxText.clear();
    }
    m_intUserCheckbox.resize(actions, {});
    m_intUserListboxIndex.resize(actions, {});
    m_strUserListboxText.resize(actions, {});
}

void ProgrammerClass::InitializeUserSettingArrays()
{
    ResizeUserSettingArrays(false);
}

void ProgrammerClass::SetTotalNumberOfTabs(qint32 total)
{
    // The arrays follow the new total at once, so that nothing indexes them
    // by the new count before they have been re-created.
    lTotalNumberOfTabs = total;
    ResizeUserSettingArrays(true);
}

qint16 ProgrammerClass::LoadActionValue(const QString& valueName, qint16 defaultValue) const
{
    const auto unsaved = m_unsavedActionValues.constFind(valueName);
    if (unsaved != m_unsavedActionValues.constEnd())
        return *unsaved;
    return ToInteger(GetSettingValue(App(), kConfiguration, valueName, defaultValue), defaultValue);
}

bool ProgrammerClass::SaveActionValue(const QString& valueName, qint16 value)
{
    try {
        SaveSettingValue(App(), kConfiguration, valueName, value);
    } catch (const std::exception&) {
        m_unsavedActionValues.insert(valueName, value);
        return false;
    }
    m_unsavedActionValues.remove(valueName);
    return true;
}

// ---------------------------------------------------------------------------
// Factory configuration and engine questions

bool ProgrammerClass::IsVexalModel(qint32 model)
{
    return model == 22 || model == 23 || model == 24;
}

void ProgrammerClass::SetDefaultConfig()
{
    strDeviceName.clear();
    strDeviceSize.clear();
    strDevicePackage.clear();
    lngDeviceSize = 0;
    strFilePath = QStringLiteral("/");
    strFileDrive.clear();
    udtHandlerType = 0;
    dtmFileDate = ZeroDate();
    lngFileSize = 0;
    udtParallelPort = 1;

    qint32 model = 0;
    Try([&] { model = engine().ProgrammerModelIndex(); });
    udtPgmrType = gbChiseloEdition || IsVexalModel(model) ? 22 : 12;

    blnBufferEmpty = bClearBeforeRead = blnAutoFileID = blnAutoLowAddr = bNoviceMode = blnSaveEntireContents =
        blnClearLoad = true;
    blnDeviceSelected = blnInAction = blnFileLoaded = blnLoadEntireFile = false;
    udtCSumMethod = 0;
    udtCSumType = 1;
    lngLowAddrSave = lngHighAddrSave = lngLowAddrLoad = lngHighAddrLoad = lngBufLoadAddr = 0;

    Try([&] { engine().BufferOffset(0); });
    Try([&] { engine().ByteOrder(0); });
    Try([&] { engine().SetWidth(1); });
    lngPosSingle = 0;
    Try([&] { engine().BankCount(1); });
    lngBankSingle = 0;
    Try([&] { engine().SetMode(0); });
    Try([&] { engine().VectorDisplayMode(0); });
    Try([&] { engine().VectorXValue(0); });
    Try([&] { engine().VectorSeed(0); });

    udtRadix = 0;
    strJobName.clear();
    strJobDir.clear();
    bStartInOperatorMode = bDataPatternLinkedToSKFile = bAutoLoadJob = bMatchChipPinAndSocket = false;
    lTotalNumberOfTabs = kDefaultTotalNumberOfTabs;
    InitializeUserSettingArrays();
    for (int action = 0; action < lTotalNumberOfTabs; ++action) {
        for (int option = 0; option < GetMaximumNumberOfOptions(); ++option) {
            intUserCheckbox(action, option, 1);
            intUserListboxIndex(action, option, 1);
        }
    }
}

bool ProgrammerClass::IsEntireDeviceRange()
{
    QXPgmrControl& e = engine();
    const qint64 low = e.WordRangeLow();
    const qint64 high = e.WordRangeHigh();
    // In 64 bits: a range over the whole 32-bit space must not wrap round.
    return high - low + 1 == qint64(e.DeviceSize());
}

QString ProgrammerClass::FullDataBufferPath() const
{
    const bool endsInSeparator = strFilePath.endsWith(QLatin1Char('/')) || strFilePath.endsWith(QLatin1Char('\\'));
    return strFilePath + (endsInSeparator ? QString() : QStringLiteral("/")) + strFileName;
}

// ---------------------------------------------------------------------------
// Older action settings

bool ProgrammerClass::LoadOldActionSettings()
{
    const QString app = App();
    // Values of the older layout are left only on stations carried over from
    // it: one look at the names stored spares a read of every absent one.
    QSet<QString> stored;
    {
        cRegistry registry;
        OpenSettingsKey(registry, app, kConfiguration);
        QStringList names;
        qint32 count = 0;
        registry.EnumerateValues(names, count);
        for (const QString& name : names)
            stored.insert(name.toCaseFolded()); // names match in any letter case
    }
    for (int action = 0; action < lTotalNumberOfTabs; ++action) {
        const QString prefix = OldActionPrefix(action);
        for (int option = 0; option < GetMaximumNumberOfOptions(); ++option) {
            const auto read = [&](const char* kind) -> qint16 {
                const QString name = prefix + QLatin1String(kind) + QString::number(option + 1);
                if (!stored.contains(name.toCaseFolded()))
                    return 0;
                const qint16 value =
                    ToInteger(GetSettingValue(app, kConfiguration, name, kOldSettingAbsent), kOldSettingAbsent);
                if (value == kOldSettingAbsent)
                    return 0;
                mbOldActionSettingsFound = true;
                return value;
            };
            intUserCheckbox(action, option, read("CB_"));
            intUserListboxIndex(action, option, read("LB_"));
        }
    }
    return mbOldActionSettingsFound;
}

void ProgrammerClass::DeleteOldActionSettings()
{
    const QString app = App();
    for (int action = 0; action <= 4; ++action) {
        const QString prefix = OldActionPrefix(action);
        for (int option = 0; option < GetMaximumNumberOfOptions(); ++option) {
            for (const char* kind : {"CB_", "LB_"}) {
                // Most of these were never stored: a failed delete is expected.
                try {
                    DeleteSettingValue(app, kConfiguration, prefix + QLatin1String(kind) + QString::number(option + 1));
                } catch (const std::exception&) {
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Recent files

int ProgrammerClass::RecentFilePlaces() const
{
    // As many places as the File menu has entries below its separator.
    const int places = RecentMenu().places ? RecentMenu().places() : 0;
    return places > 0 ? places : kRecentFilePlaces;
}

QStringList ProgrammerClass::RecentFileTable() const
{
    // By place name, "RecentFile1" upwards, so that row i is always place
    // i + 1 whatever order the store keeps its values in.
    const QString app = App();
    QStringList table;
    for (int place = 1; place <= RecentFilePlaces(); ++place) {
        const QVariant value = GetSettingValue(app, kRecentFiles, RecentFileName(place), QVariant());
        if (!value.isValid())
            break;
        table << ToText(value);
    }
    return table;
}

int ProgrammerClass::FindRecentFile(const QString& path) const
{
    return int(RecentFileTable().lastIndexOf(path));
}

void ProgrammerClass::ShiftRecentFilesUp(int startRow, const QStringList& table)
{
    const QString app = App();
    for (int row = startRow; row < table.size() - 1; ++row)
        SaveSettingValue(app, kRecentFiles, RecentFileName(row + 1), table.at(row + 1));
}

void ProgrammerClass::RemoveRecentFile(const QString& path)
{
    const QStringList table = RecentFileTable();
    if (table.isEmpty())
        return;
    const int row = FindRecentFile(path);
    if (row < 0)
        return;
    if (row < table.size() - 1)
        ShiftRecentFilesUp(row, table);
    DeleteSettingValue(App(), kRecentFiles, RecentFileName(int(table.size())));
}

void ProgrammerClass::AddToTopOfRecentFiles(const QString& path)
{
    const QString app = App();
    for (int place = RecentFilePlaces() - 1; place >= 1; --place) {
        const QString text = ToText(GetSettingValue(app, kRecentFiles, RecentFileName(place), QString()));
        if (!text.isEmpty())
            SaveSettingValue(app, kRecentFiles, RecentFileName(place + 1), text);
    }
    SaveSettingValue(app, kRecentFiles, RecentFileName(1), path);
}

void ProgrammerClass::UpdateRecentFilesRegistry(const QString& path)
{
    RemoveRecentFile(path);
    AddToTopOfRecentFiles(path);
}

void ProgrammerClass::UpdateFileMenuWithRecentFiles()
{
    if (!RecentMenu().show)
        return;
    const QStringList table = RecentFileTable();
    if (!table.isEmpty())
        RecentMenu().show(table);
}

QString ProgrammerClass::JobDialogFolder() const
{
    const QFileInfo job(strJobDir);
    if (!strJobDir.isEmpty() && job.isDir()
        && job.canonicalFilePath() != QFileInfo(appinfo::ProgramFolder()).canonicalFilePath())
        return job.absoluteFilePath();
    return UsersOwnFolder();
}

QString ProgrammerClass::UsersOwnFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QFileInfo info(documents);
    if (!documents.isEmpty() && info.isDir() && info.isWritable())
        return documents;
    return QDir::homePath();
}
