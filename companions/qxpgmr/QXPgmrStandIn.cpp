#include "QXPgmrStandIn.h"

#include "DeviceChooser.h"
#include "FaultPlan.h"
#include "StationState.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"
#include "platform/UiService.h"
#include "simplan/NotSimulated.h"
#include "simplan/PlainIni.h"
#include "qxbuffer/BufferFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>

namespace {

constexpr qint32 E_INVALIDARG = qint32(0x80070057u);
constexpr qint32 CTL_E_PATHFILEACCESSERROR = qint32(0x800A004Bu);
const QString NoDevice = QStringLiteral("No Device Selected");

// An address inside this library, to find the folder it was loaded from.
void Anchor() {}

// The engine's capability members: each answers the selected device's value
// as the algorithm database gives it, 0 (False) without a device.
constexpr const char* kCapabilityMembers[] = {
    "DeviceSupportsProgram",
    "VerifySupport",
    "DeviceSupportsVerifyTwice",
    "DeviceSupportsRead",
    "DeviceSupportsBlankCheck",
    "DeviceSupportsErase",
    "DeviceSupportsEraseTab",
    "DeviceSupportsSecure",
    "DeviceSupportsTestAndSecure",
    "DeviceSupportsTestVectors",
    "DeviceSupportsTestTwice",
    "DeviceSupportsContinuity",
    "DeviceSupportsAutoContinuity",
    "DeviceSupportsIdCheck",
    "DeviceSupportsAutoSelection",
    "DeviceSupportsEncrypt",
    "EncryptCompareKind",
    "ProgramTabFlag59",
    "DeviceSupportsIllegalBitCheck",
    "DeviceFlag8",
    "DeviceValue271",
    "DeviceIsVexal",
    "DeviceSupportsRange",
    "DeviceSupportsAutoRange",
    "DeviceSupportsByteOrder",
    "DeviceSupportsSetsAndBanks",
    "DeviceSupportsBufferOffset",
    "DeviceSupportsDeviceChecksum",
    "DeviceSupportsNandOptions",
    "DeviceSupportsStaplSerialization",
    "SizeInFuses",
};

// The database the station asks for at start.
constexpr const char* kStationDatabase = "qxalg.db";

// The "-Vexal" mode as the engine sees it: anywhere in its host's command
// line, as the program itself tests it.
bool HostCommandLineHasVexal()
{
    return QCoreApplication::instance()
        && QCoreApplication::arguments().join(QLatin1Char(' ')).contains(QLatin1String("-Vexal"));
}

} // namespace

QXPgmrStandIn::QXPgmrStandIn()
    : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members()),
      m_vexalMode(HostCommandLineHasVexal())
{
    // The device settings reached by name are the numbered ones under a
    // second name: one stored value each.
    for (const auto& [named, numbered] : QXPgmrNamedSettings)
        ShareValue(named, numbered);

    bindStartUp();
    bindLife();
    bindModels();
    bindDevices();
    bindBuffer();
    bindOptions();
    bindDeviceOptions();
    bindRecords();
    bindRuns();
    bindConfig();
    bindJobs();
    bindExtras();
    bindOptionsDialog();
    bindAutomation();
    bindCapabilities();
    bindPlainMembers();
    // The station loads this database right after making its engine: it is
    // opened meanwhile (before the program names its folder, so from where
    // the engine finds it without one; another file is opened at the load).
    m_prefetch.Start(FindDatabase(QString::fromLatin1(kStationDatabase), QString()));
}

void QXPgmrStandIn::RaiseAfterCall(const QString& eventName, QVariantList args)
{
    // Raised from the event loop: the host's call has returned by then. The
    // context goes with this engine, and so does an event not raised yet.
    if (!m_afterCall)
        m_afterCall = std::make_unique<QObject>();
    QTimer::singleShot(0, m_afterCall.get(), [this, eventName, args]() mutable { Raise(eventName, args); });
}

QXPgmrStandIn::~QXPgmrStandIn()
{
    // The buffer outlives this engine (it is the process's); its memory
    // need not.
    resetBuffer();
}

QString QXPgmrStandIn::EngineFolder()
{
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                               .filePath(QStringLiteral("Corvane/QXEngine"));
    // Asked for often (every setting the engine keeps): made only when missing.
    const QString datalog = QDir(folder).filePath(QStringLiteral("DATALOG"));
    if (!QFileInfo(datalog).isDir())
        QDir().mkpath(datalog);
    return folder;
}

QString QXPgmrStandIn::LabelPrinterFolder()
{
    // The stand-in label editor is built into "ptouch" beside this library;
    // TARVO_LABEL_EDITOR_DIR names another folder.
    const QString moved = qEnvironmentVariable("TARVO_LABEL_EDITOR_DIR");
    if (!moved.isEmpty())
        return QDir::cleanPath(QDir(moved).absolutePath());
    return QFileInfo(companion::LibraryPathOf(reinterpret_cast<const void*>(&Anchor))).absolutePath()
        + QStringLiteral("/ptouch");
}

void QXPgmrStandIn::Answer(int dispid, Behaviour behaviour)
{
    const MemberInfo* member = FindMember(QXPgmrControl::Members(), dispid);
    const ValueKind type = member ? member->type : ValueKind::Variant;
    On(dispid, [this, type, behaviour = std::move(behaviour)](InvokeKind kind, QVariantList& args) {
        const QVariant result = behaviour(kind, args);
        if (kind == InvokeKind::PropertyPut || type == ValueKind::Void)
            return QVariant();
        return Coerce(type, result);
    });
}

void QXPgmrStandIn::bindStartUp()
{
    On(QXPgmrId::SetMainWindowHandle, [this](InvokeKind, QVariantList& args) {
        // A window id (winId) passed as a Long; kept whole, as ids may use
        // more than 31 bits.
        m_mainWindowHandle = Arg(args, 0, ValueKind::Variant).toLongLong();
        return QVariant();
    });
    On(QXPgmrId::EngineDirectory, [](InvokeKind, QVariantList&) { return QVariant(EngineFolder()); });
    On(QXPgmrId::LabelPrinterDirectory, [](InvokeKind, QVariantList&) { return QVariant(LabelPrinterFolder()); });
}

void QXPgmrStandIn::bindLife()
{
    // The engine reports its errors unless its settings file
    // ([Engine] ShowErrorMessages=false in engine.ini) or the fault plan's
    // "quiet" entry says not to, for unattended runs; a put holds until the
    // engine is made again.
    const simplan::PlainIni ini = simplan::PlainIni::Read(StationState::FileIn(EngineFolder()));
    m_showErrors = ini.Bool(QStringLiteral("Engine"), QStringLiteral("ShowErrorMessages"), true)
        && FaultPlan::Read(EngineFolder()).Code(QStringLiteral("quiet")) == 0;
    Answer(QXPgmrId::ShowErrorMessages, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return QVariant(VbBool(m_showErrors));
        m_showErrors = IsVbTrue(Arg(args, int(args.size()) - 1, ValueKind::Bool));
        return QVariant();
    });
    Answer(QXPgmrId::StartupValue108, [this](InvokeKind, QVariantList& args) {
        m_programFolder = Arg(args, int(args.size()) - 1, ValueKind::String).toString();
        return QVariant();
    });
    Answer(QXPgmrId::LoadAlgorithmDatabase, [this](InvokeKind, QVariantList& args) {
        return QVariant(loadDatabase(Arg(args, 0, ValueKind::String).toString()));
    });
    Answer(QXPgmrId::InitializeEngine194, [this](InvokeKind, QVariantList& args) {
        // The station hands over its master module; the master site is the
        // module's first site.
        const qint32 module = Arg(args, 0, ValueKind::Long).toInt();
        const qint32 masterSite = (module - 1) * std::max(1, model().sitesPerGroup) + 1;
        if (const qint32 fault = FaultPlan::Read(EngineFolder()).Code(QStringLiteral("init")))
            return QVariant(fault);
        // Without algorithms there is nothing to talk to the programmer about.
        if (!m_database.IsOpen())
            return QVariant(NoDatabase);
        if (module >= 1 && masterSite <= model().siteCount) {
            m_masterSite = masterSite;
            saveStation();
        }
        armStartKey();
        armModuleChange();
        // The station is up to its status list now: what the database's
        // load found in the fault plan is told.
        tellPlanNotes();
        return QVariant(qint32(0));
    });
    Answer(QXPgmrId::RefreshState202, [this](InvokeKind, QVariantList&) {
        // After a selection by name that failed, the engine settles on no
        // device, so that what it reports matches a window that has none
        // (the window reloads with no device selected then). At any other
        // time the station stays as it is.
        if (m_selectionFailed) {
            m_selectionFailed = false;
            m_device.reset();
            saveStation();
            dropBuffer();
        }
        return QVariant();
    });
    Answer(QXPgmrId::ShutDown, [this](InvokeKind, QVariantList&) {
        saveStation();
        m_database.Close();
        return QVariant();
    });

    Answer(QXPgmrId::EngineVersion, [](InvokeKind, QVariantList&) { return QVariant(Version); });
    Answer(QXPgmrId::EngineDatePart1, [](InvokeKind, QVariantList&) { return QVariant(ReleaseDate); });
    Answer(QXPgmrId::EngineDatePart2, [](InvokeKind, QVariantList&) { return QVariant(BetaDate); });
    Answer(QXPgmrId::AlgorithmDatabaseRevision,
           [this](InvokeKind, QVariantList&) { return QVariant(m_database.Revision()); });
    Answer(QXPgmrId::IsVexalMode, [this](InvokeKind, QVariantList&) { return QVariant(VbBool(m_vexalMode)); });
    Answer(QXPgmrId::VexalCommandLine, [this](InvokeKind, QVariantList& args) {
        m_vexalMode = IsVbTrue(Arg(args, int(args.size()) - 1, ValueKind::Bool));
        return QVariant();
    });
}

void QXPgmrStandIn::bindModels()
{
    Answer(QXPgmrId::ProgrammerModelIndex, [this](InvokeKind, QVariantList&) { return QVariant(m_modelIndex); });
    Answer(QXPgmrId::ProgrammerModelName, [this](InvokeKind, QVariantList&) { return QVariant(model().name); });
    Answer(QXPgmrId::ProgrammerModelCount,
           [this](InvokeKind, QVariantList&) { return QVariant(m_database.Models().Count()); });
    Answer(QXPgmrId::ModelNameAt, [this](InvokeKind, QVariantList& args) {
        return QVariant(m_database.Models().NameAt(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::SelectProgrammerModel, [this](InvokeKind, QVariantList& args) {
        // An index outside the list (the program passes -1 for a name it did
        // not find) leaves the model as it was.
        const int index = Arg(args, 0, ValueKind::Long).toInt();
        if (m_database.Models().Contains(index)) {
            m_modelIndex = index;
            if (m_masterSite > model().siteCount)
                m_masterSite = 1;
            resizeSites();
            saveStation();
        }
        return QVariant();
    });
    Answer(QXPgmrId::IsUsbProgrammer, [this](InvokeKind, QVariantList&) { return QVariant(VbBool(model().usb)); });
    Answer(QXPgmrId::IsConcurrentProgrammer,
           [this](InvokeKind, QVariantList&) { return QVariant(VbBool(model().concurrent)); });
    Answer(QXPgmrId::TestOnlyStation, [this](InvokeKind, QVariantList&) { return QVariant(VbBool(model().testOnly)); });
    Answer(QXPgmrId::SiteCount, [this](InvokeKind, QVariantList&) { return QVariant(model().siteCount); });
    Answer(QXPgmrId::SiteSlotCount, [this](InvokeKind, QVariantList&) { return QVariant(model().sitesPerGroup); });
    Answer(QXPgmrId::ProgrammerCaptionPart,
           [this](InvokeKind, QVariantList&) { return QVariant(model().captionPart); });
    Answer(QXPgmrId::CaptionPart269, [this](InvokeKind, QVariantList&) { return QVariant(model().captionNumber); });
    Answer(QXPgmrId::SiteEnabled, [this](InvokeKind, QVariantList& args) {
        const int site = Arg(args, 0, ValueKind::Long).toInt();
        return QVariant(VbBool(site >= 1 && site <= model().siteCount));
    });

    Answer(QXPgmrId::PortIndex, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return QVariant(m_port);
        // 0 is DEMO, 1 to 3 the parallel ports.
        const qint32 port = Arg(args, int(args.size()) - 1, ValueKind::Long).toInt();
        if (port < 0 || port > 3)
            Fail(E_INVALIDARG, QStringLiteral("There is no programmer port %1.").arg(port));
        m_port = port;
        saveStation();
        return QVariant();
    });
    Answer(QXPgmrId::MasterSite, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return QVariant(m_masterSite);
        const qint32 site = Arg(args, int(args.size()) - 1, ValueKind::Long).toInt();
        if (site < 1 || site > model().siteCount)
            Fail(E_INVALIDARG, QStringLiteral("The programmer has no site %1.").arg(site));
        m_masterSite = site;
        saveStation();
        return QVariant();
    });
    Answer(QXPgmrId::SelectMasterSite, [this](InvokeKind, QVariantList& args) {
        // The master site of a module is its first site.
        const int module = Arg(args, 0, ValueKind::Long).toInt();
        const int site = (module - 1) * model().sitesPerGroup + 1;
        if (module < 1 || site > model().siteCount)
            Fail(E_INVALIDARG, QStringLiteral("The programmer has no module %1.").arg(module));
        m_masterSite = site;
        saveStation();
        return QVariant();
    });
}

void QXPgmrStandIn::bindDevices()
{
    Answer(QXPgmrId::DeviceName,
           [this](InvokeKind, QVariantList&) { return QVariant(m_device ? m_device->Name() : NoDevice); });
    Answer(QXPgmrId::DeviceProperty4,
           [this](InvokeKind, QVariantList&) { return QVariant(m_device ? m_device->summary.package : QString()); });
    Answer(QXPgmrId::DeviceSize, [this](InvokeKind, QVariantList&) {
        return QVariant(m_device ? qint32(qMin<qint64>(m_device->size, std::numeric_limits<qint32>::max())) : 0);
    });
    Answer(QXPgmrId::DeviceSizeText, [this](InvokeKind, QVariantList& args) {
        // (1, hex): the first argument is always 1; any other shape is
        // refused, as the engine's typed interface would refuse it.
        if (args.size() != 2)
            Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
        Arg(args, 0, ValueKind::Long);
        const bool hex = IsVbTrue(Arg(args, 1, ValueKind::Bool));
        return QVariant(m_device ? m_device->SizeText(hex) : QString());
    });
    Answer(QXPgmrId::SelectDeviceByName, [this](InvokeKind, QVariantList& args) {
        // (name by reference, flag): the name comes back in the database's
        // spelling; the flag changes nothing here. A by-reference String is
        // not converted from another type, so a flag in its place is a type
        // mismatch.
        if (args.size() != 2)
            Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
        if (args.at(0).typeId() != QMetaType::QString)
            Fail(DISP_E_TYPEMISMATCH, QStringLiteral("Type mismatch."));
        Arg(args, 1, ValueKind::Bool);
        m_selectionFailed = !selectDevice(args.at(0).toString());
        if (m_selectionFailed)
            return QVariant(qint32(-1));
        saveStation();
        args[0] = m_device->Name();
        return QVariant(qint32(0));
    });
    Answer(QXPgmrId::DeviceSelectResult,
           [this](InvokeKind, QVariantList&) { return QVariant(VbBool(chooseDevice())); });
    // The station tells the engine it now shows the selected device and its
    // tabs; nothing in the simulated engine depends on it.
    Answer(QXPgmrId::TabsCall276, [](InvokeKind, QVariantList&) { return QVariant(); });

    Answer(QXPgmrId::SecureVariantCount, [this](InvokeKind, QVariantList&) {
        return QVariant(m_device ? qint32(m_device->secureVariants.size()) : 0);
    });
    Answer(QXPgmrId::SecureVariantNameAt, [this](InvokeKind, QVariantList& args) {
        const int i = Arg(args, 0, ValueKind::Long).toInt(); // 1-based
        return QVariant(m_device ? m_device->secureVariants.value(i - 1) : QString());
    });
    Answer(QXPgmrId::ExecuteVariantCount, [this](InvokeKind, QVariantList&) {
        return QVariant(m_device ? qint32(m_device->programVariants.size()) : 0);
    });
    Answer(QXPgmrId::ExecuteVariantNameAt, [this](InvokeKind, QVariantList& args) {
        const int i = Arg(args, 0, ValueKind::Long).toInt();
        return QVariant(m_device && i >= 0 && i < m_device->programVariants.size()
                            ? m_device->programVariants.at(i).name
                            : QString());
    });
    Answer(QXPgmrId::ExtraCommandCount, [this](InvokeKind, QVariantList&) {
        return QVariant(m_device ? qint32(m_device->extraCommands.size()) : 0);
    });
    Answer(QXPgmrId::ExtraCommandNameAt, [this](InvokeKind, QVariantList& args) {
        const int i = Arg(args, 0, ValueKind::Long).toInt();
        return QVariant(m_device ? m_device->extraCommands.value(i) : QString());
    });
    Answer(QXPgmrId::OperationRunsConcurrently, [this](InvokeKind, QVariantList& args) {
        const QString variant = Arg(args, 0, ValueKind::String).toString();
        return QVariant(VbBool(m_device && m_device->RunsConcurrently(variant)));
    });
    Answer(QXPgmrId::CustomActionList,
           [this](InvokeKind, QVariantList&) { return QVariant(m_device ? m_device->CustomActionList() : QString()); });
    Answer(QXPgmrId::DeviceConfigValue, [this](InvokeKind, QVariantList& args) {
        const QString key = Arg(args, 0, ValueKind::String).toString();
        return QVariant(m_device ? m_device->config.value(key) : QString());
    });
    Answer(QXPgmrId::AlgorithmParameter, [this](InvokeKind, QVariantList& args) {
        const QString name = Arg(args, 0, ValueKind::String).toString();
        return m_device ? m_device->Parameter(name) : QVariant();
    });
    Answer(QXPgmrId::GenerateDeviceList, [this](InvokeKind, QVariantList&) {
        generateDeviceList();
        return QVariant();
    });
}

void QXPgmrStandIn::bindCapabilities()
{
    for (const char* name : kCapabilityMembers) {
        const MemberInfo* member = FindMember(QXPgmrControl::Members(), QLatin1String(name));
        if (!member || member->kind != MemberKind::Get)
            throw std::logic_error(std::string("not a capability member: ") + name);
        Answer(member->dispid, [this, name = QString::fromLatin1(name)](InvokeKind, QVariantList&) {
            return QVariant(m_device ? m_device->Capability(name) : 0);
        });
    }
}

bool QXPgmrStandIn::knowsCapabilities() const
{
    const auto known = [](const QString& name) {
        return std::any_of(std::begin(kCapabilityMembers), std::end(kCapabilityMembers),
                           [&](const char* member) { return name == QLatin1String(member); });
    };
    return std::all_of(m_database.CapabilityNames().begin(), m_database.CapabilityNames().end(), known);
}

void QXPgmrStandIn::bindPlainMembers()
{
    using namespace QXPgmrId;
    // Settings the station puts and reads back (the runs, the job files and
    // the checksum read several of them).
    Stores({ContinuityCheck,
            AutoContinuityCheck,
            EraseOption,
            VerifyMode,
            SecureMode,
            TestMode,
            SecureWithTest,
            ClearBufferMode,
            SetWidth,
            BankCount,
            CurrentDataPosition,
            CurrentBank,
            WordRangeLow,
            WordRangeHigh,
            BufferOffset,
            ByteOrder,
            VectorDisplayMode,
            VectorXValue,
            VectorSeed,
            SecureSpecialOption,
            RunOption60,
            ToolsOption66,
            ToolsOption68,
            DataFileTypeCode,
            ChecksumMethod,
            ChecksumType,
            AutoRange,
            SetMode,
            SecureAfterVerify,
            WordAddressing,
            OperatorModeFlag,
            SerialVerifyEnabled,

            SilentMode,
            ToolsOption327,
            ToolsOption278,
            CombinedEncryptDecrypt});
    // What the station tells the engine and the simulation has no use for:
    // flags of the viewer and the job load, the program's version, and the
    // calls around runs, start-up and the default configuration.
    Takes({SealbookPutFlag58, BufferEditFlag, JobFlag72, RangeFlag79, AutoAddressLoad, SoftwareVersion, JobLoadFlag144,
           SealbookErrorReset, PrepareRun, SerializationCall246, JobCall275, StartupCall277, MenuCall316,
           AttachJobControl});
    Raises({"StatusTextReported", "SysInfoMessage", "WarningMessage", "LogMessage", "UpdateJobSetting14",
            "UpdateJobSetting15", "UpdateJobSetting17", "UpdateJobSetting18", "UpdateJobSetting19", "JobSavingError",
            "RequestJobSettingText24", "JobSetting25", "RequestJobSetting26", "RequestJobSetting27",
            "RequestJobSetting28", "DeviceSelected", "DataFileLoaded", "UpdateJobSetting20", "UpdateJobSetting33",
            "UpdateJobSetting76", "JobLoadFailed", "SealbookModeChanged", "SealbookExport", "SealbookImport",
            "BufferCleared", "RequestSealbookNote", "JobSetting46", "RequestDecoratedTabName", "SealbookLoadingError",
            "RequestAutoSaveSealbookDir", "JobSettingText60", "ExecuteOperationRequest", "OperationProgress",
            "OperationComplete", "SetupOperationRequest", "BufferContentChanged", "SiteStatusFromEngine",
            // Around a run (QXPgmrStandInRuns.cpp).
            "ResetButtons", "SiteInfo", "RequestHandlerQuantity", "RequestQuantity", "RequestHandlerValue3",
            "RequestHandlerValue4", "RequestHandlerValue1", "RequestHandlerValue2", "RequestHandlerValue15",
            "PgmrWarningMessagesEnabled",
            // Configuration changes: a device's extra command, the planned
            // socket-module exchange.
            "DeviceConfigurationChanged", "ReloadForm",
            // A job's bank and data position, the secure option after a
            // job parameter; the marker lines and the clients asked for the
            // system information.
            "GetLaserMarkerLines", "UpdateJobSetting55", "UpdateJobSetting56", "RefreshGuiSecure",
            "OperationOptionStateChanged", "CJobCntrlInUse", "CQxPgmrInUse", "CJobMonitorInUse"});
    DeclareNotSimulated(simulation::kNotSimulated);
}

QString QXPgmrStandIn::databasePath(const QString& name) const
{
    return FindDatabase(name, m_programFolder);
}

QString QXPgmrStandIn::FindDatabase(const QString& name, const QString& programFolder)
{
    const QString forced = qEnvironmentVariable("TARVO_ENGINE_DB");
    if (!forced.isEmpty())
        return forced;
    if (QFileInfo(name).isAbsolute())
        return name;
    // Beside the program as it named its folder, else beside this library;
    // the name in any letter case, as the engine's own platform finds files.
    const QStringList folders{
        programFolder, QFileInfo(companion::LibraryPathOf(reinterpret_cast<const void*>(&Anchor))).absolutePath()};
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QDir dir(folder);
        if (QFileInfo(dir.filePath(name)).isFile())
            return dir.filePath(name);
        for (const QString& entry : dir.entryList(QDir::Files)) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
        }
    }
    return {};
}

qint32 QXPgmrStandIn::loadDatabase(const QString& name)
{
    const qint32 result = openDatabase(name);
    // The buffer follows the device the station was left with, or none.
    resizeBuffer(deviceBufferBytes());
    return result;
}

qint32 QXPgmrStandIn::openDatabase(const QString& name)
{
    if (const qint32 fault = FaultPlan::Read(EngineFolder()).Code(QStringLiteral("load")))
        return fault;
    m_device.reset();
    const QString path = databasePath(name);
    if (path.isEmpty()) {
        m_database.Close();
        return AlgorithmDatabase::FileNotFound;
    }
    const qint32 result = m_prefetch.Take(path, m_database) ? AlgorithmDatabase::Loaded : m_database.Open(path);
    if (result != AlgorithmDatabase::Loaded)
        return result;
    // A database describing devices by members this engine does not have
    // was made for another engine.
    if (!knowsCapabilities()) {
        m_database.Close();
        return AlgorithmDatabase::VersionMismatch;
    }
    restoreStation();
    readRunPlan(true);
    return AlgorithmDatabase::Loaded;
}

void QXPgmrStandIn::restoreStation()
{
    const StationState s = StationState::Load(StationState::FileIn(EngineFolder()));
    m_modelIndex = m_database.Models().Contains(s.modelIndex) ? s.modelIndex : 0;
    m_port = s.port >= 0 && s.port <= 3 ? s.port : 0;
    // A model named in the environment moves the station to it (a bench or
    // a trial on the multi-site models without the configuration dialog).
    const QString forced = qEnvironmentVariable("TARVO_ENGINE_MODEL").trimmed();
    bool changed = false;
    if (!forced.isEmpty()) {
        bool isIndex = false;
        int index = forced.toInt(&isIndex);
        for (int i = 0; !isIndex && i < m_database.Models().Count(); ++i) {
            if (m_database.Models().NameAt(i).compare(forced, Qt::CaseInsensitive) == 0)
                index = i, isIndex = true;
        }
        if (isIndex && m_database.Models().Contains(index) && index != m_modelIndex) {
            m_modelIndex = index;
            changed = true;
        }
    }
    m_masterSite = s.masterSite >= 1 && s.masterSite <= model().siteCount ? s.masterSite : 1;
    resizeSites();
    if (!s.device.isEmpty())
        selectDevice(s.device);
    if (changed)
        saveStation();
}

void QXPgmrStandIn::saveStation() const
{
    // Until a database is loaded the saved station has not been read back:
    // writing now would lose it.
    if (!m_database.IsOpen())
        return;
    StationState s;
    s.modelIndex = m_modelIndex;
    s.port = m_port;
    s.masterSite = m_masterSite;
    s.device = m_device ? m_device->Name() : QString();
    s.siteCount = model().siteCount;
    s.Save(StationState::FileIn(EngineFolder()));
}

bool QXPgmrStandIn::selectDevice(const QString& name)
{
    std::optional<DeviceRecord> device = m_database.FindDevice(name);
    if (!device)
        return false;
    // The loaded file's secure variant belongs to the device it was loaded
    // for.
    if (!m_device || m_device->Name() != device->Name())
        m_loadFileVariant = 0;
    m_device = std::move(device);
    resizeBuffer(deviceBufferBytes());
    // A new device starts with its whole range and no buffer offset.
    Store(QXPgmrId::WordRangeLow, qint32(0));
    Store(QXPgmrId::WordRangeHigh,
          qint32(std::clamp<qint64>(m_device->size - 1, 0, std::numeric_limits<qint32>::max())));
    Store(QXPgmrId::BufferOffset, qint32(0));
    return true;
}

bool QXPgmrStandIn::chooseDevice()
{
    if (!m_database.IsOpen())
        return false;
    DeviceChooser chooser(m_database.DeviceIndex(), m_device ? m_device->Name() : QString(),
                          QWidget::find(WId(m_mainWindowHandle)));
    if (Ui().ShowModal(&chooser) != QDialog::Accepted || !selectDevice(chooser.SelectedDevice()))
        return false;
    saveStation();
    return true;
}

void QXPgmrStandIn::generateDeviceList() const
{
    // "DeviceList.txt" in the engine's folder: one device a line, the fields
    // separated by tabs.
    QSaveFile file(QDir(EngineFolder()).filePath(QStringLiteral("DeviceList.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        Fail(CTL_E_PATHFILEACCESSERROR, QStringLiteral("Cannot write %1.").arg(file.fileName()));
    QByteArray text = "Manufacturer\tDevice\tPackage\tType\n";
    for (const DeviceSummary& d : m_database.DeviceIndex())
        text += QStringList{d.manufacturer, d.name, d.package, d.type}.join(QLatin1Char('\t')).toUtf8() + '\n';
    file.write(text);
    if (!file.commit())
        Fail(CTL_E_PATHFILEACCESSERROR, QStringLiteral("Cannot write %1.").arg(file.fileName()));
}
