// What the program relies on from the engine control, run over every engine
// a factory below makes: the stand-in created by its class name, and for the
// basics the test engine of the engine tests. A later engine joins by adding
// its factory; the few cases that steer the stand-in (a test database, the
// fault plan) say so.

#include "CompanionFixture.h"
#include "MainLoop.h"
#include "../engine/TestEngineControl.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"

#include <QCoreApplication>
#include <QDate>
#include <QEventLoop>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <thread>
#include <sqlite3.h>

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QString& value)
        : m_name(name),
          m_old(qgetenv(name)),
          m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

QString ShippedDatabase()
{
    return BinDir() + QStringLiteral("/qxalg.db");
}

// Runs SQL on a database file (test copies only).
void Exec(const QString& file, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// Makes an engine control for one run of a case.
struct EngineFactory
{
    const char* name;
    std::unique_ptr<IDispatchControl> (*create)();
};

std::unique_ptr<IDispatchControl> StandInEngine()
{
    return companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName));
}

std::unique_ptr<IDispatchControl> TestEngine()
{
    return std::make_unique<TestEngineControl>();
}

const EngineFactory kStandIn{"StandIn", &StandInEngine};
const EngineFactory kTestEngine{"TestEngine", &TestEngine};

void PrintTo(const EngineFactory& factory, std::ostream* os)
{
    *os << factory.name;
}

std::string FactoryName(const ::testing::TestParamInfo<EngineFactory>& info)
{
    return info.param.name;
}

class EngineConformanceTest : public CompanionFixture, public ::testing::WithParamInterface<EngineFactory>
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        QXProgrammer.Attach(NewEngine());
    }

    std::unique_ptr<IDispatchControl> NewEngine() const { return GetParam().create(); }

    // The program's load: the program folder, then the database by name.
    qint32 Load(QXPgmrControl& engine)
    {
        engine.StartupValue108(BinDir());
        return engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db"));
    }
    qint32 Load() { return Load(QXProgrammer); }

    // A copy of the shipped database that the test may change.
    QString CopyOfDatabase(const QString& name = QStringLiteral("copy.db"))
    {
        const QString copy = tempPath(name);
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(ShippedDatabase(), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }

    // The wire value of a member read without arguments.
    QVariant Wire(const char* member)
    {
        const MemberInfo* info = FindMember(QXPgmrControl::Members(), QString::fromLatin1(member));
        EXPECT_NE(info, nullptr) << member;
        return info ? QXProgrammer.Control()->Get(info->dispid) : QVariant();
    }

    QString Select(const QString& device)
    {
        QString name = device;
        EXPECT_EQ(QXProgrammer.SelectDeviceByName(name, false), 0) << device.toStdString();
        return name;
    }

    QXPgmrControl QXProgrammer;
};

// The basics every engine offers, with or without an algorithm database:
// the test engine runs them too.
using EngineBasicsTest = EngineConformanceTest;
INSTANTIATE_TEST_SUITE_P(Engines, EngineBasicsTest, ::testing::Values(kStandIn, kTestEngine), FactoryName);
// The whole contract, for engines that load the algorithm database.
INSTANTIATE_TEST_SUITE_P(Engines, EngineConformanceTest, ::testing::Values(kStandIn), FactoryName);

TEST_P(EngineBasicsTest, SilentModeIsAVbBooleanThatStartsFalse)
{
    IDispatchControl& control = *QXProgrammer.Control();
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode).toInt(), VbFalse);
    QXProgrammer.SilentMode(true);
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode).toInt(), VbTrue);
    EXPECT_TRUE(QXProgrammer.SilentMode());
    QXProgrammer.SilentMode(false);
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode).toInt(), VbFalse);
}

TEST_P(EngineConformanceTest, EngineDirectoryIsAWritableFolderWithItsDataLog)
{
    const QString folder = QXProgrammer.EngineDirectory();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isAbsolute());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // The black-box log goes to the "DATALOG" folder in it by default.
    QFile log(QDir(folder).filePath(QStringLiteral("DATALOG/BlackBox.log")));
    EXPECT_TRUE(log.open(QIODevice::Append)) << log.fileName().toStdString();
    EXPECT_EQ(QXProgrammer.EngineDirectory(), folder);
}

TEST_P(EngineConformanceTest, LabelPrinterDirectoryNamesAFolder)
{
    const QString folder = QXProgrammer.LabelPrinterDirectory();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isAbsolute());
    EXPECT_FALSE(folder.endsWith(QLatin1Char('/'))); // the program appends "/ptedit.exe "
}

// Start-up hands the engine the window, the GUI state and the "-Vexal"
// flag; each is offered under its number and answers nothing.
TEST_P(EngineBasicsTest, TakesTheStartUpCallsUnderTheirNumbers)
{
    IDispatchControl& control = *QXProgrammer.Control();
    const struct
    {
        const char* member;
        InvokeKind kind;
        QVariant value;
    } calls[] = {
        {"SetGuiReady", InvokeKind::Method, VbBool(true)},
        {"SetMainWindowHandle", InvokeKind::Method, qint32(0x2a00007)},
        {"VexalCommandLine", InvokeKind::PropertyPut, VbBool(true)},
        {"VexalCommandLine", InvokeKind::PropertyPut, VbBool(false)},
        {"SetGuiReady", InvokeKind::Method, VbBool(false)},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.member);
        const MemberInfo* member = FindMember(QXPgmrControl::Members(), QString::fromLatin1(c.member));
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(control.GetIDOfName(QString::fromLatin1(c.member)), member->dispid);
        QVariantList args{c.value};
        QVariant result = QStringLiteral("not called");
        EXPECT_NO_THROW(result = control.Invoke(member->dispid, c.kind, args));
        EXPECT_FALSE(result.isValid());
    }
}

TEST_P(EngineBasicsTest, DeviceSettingsKeptByNameComeBackByName)
{
    qint32 value = 3;
    for (const char* name : {"DeviceByteOrder", "DeviceDataSetWidth", "DeviceDataSetLength", "DeviceSetMode",
                             "DeviceVectorDisplay", "DeviceVectorXState", "DeviceVectorSeed"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(QXProgrammer.Control()->GetIDOfName(QString::fromLatin1(name)), -1);
        QXProgrammer.PutByName(QString::fromLatin1(name), ++value);
        EXPECT_EQ(QXProgrammer.GetByName(QString::fromLatin1(name)).toInt(), value);
    }
}

// The main window's load tells these results apart: 0 goes on, 113 is a
// version mismatch, 126 the control's internal error, anything else a
// database error.
TEST_P(EngineConformanceTest, LoadAlgorithmDatabaseAnswersByWhatItFinds)
{
    const QString otherVersion = CopyOfDatabase(QStringLiteral("other-version.db"));
    Exec(otherVersion, "UPDATE meta SET value = '4' WHERE key = 'format'");
    const QString garbage = tempPath(QStringLiteral("garbage.db"));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
    }
    const QString truncated = CopyOfDatabase(QStringLiteral("truncated.db"));
    ASSERT_TRUE(QFile::resize(truncated, 4096));
    const QString empty = tempPath(QStringLiteral("empty.db"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString noModels = CopyOfDatabase(QStringLiteral("no-models.db"));
    Exec(noModels, "DELETE FROM programmer_model");
    const QString otherEngine = CopyOfDatabase(QStringLiteral("other-engine.db"));
    Exec(otherEngine, "INSERT INTO capability VALUES ('DeviceSupportsTeleport', 'Boolean', 'made for another engine')");
    // A custom action numbered -1, with its procedure: the engine once took
    // -1 for "no action yet" and fell over reading the device.
    const QString negativeAction = CopyOfDatabase(QStringLiteral("negative-action.db"));
    Exec(negativeAction,
         "PRAGMA ignore_check_constraints = ON; "
         "CREATE TEMP TABLE first AS SELECT device FROM custom_procedure WHERE action = 0 LIMIT 1; "
         "UPDATE custom_action SET position = -1 WHERE position = 0 AND device IN temp.first; "
         "UPDATE custom_procedure SET action = -1 WHERE action = 0 AND device IN temp.first");

    enum Expect { Ok, Mismatch, Internal, OtherError };
    const struct
    {
        const char* what;
        QString db;
        QString faults;
        Expect expect;
    } cases[] = {
        {"the shipped database", {}, {}, Ok},
        {"a database of another layout", otherVersion, {}, Mismatch},
        {"a database describing devices by members unknown here", otherEngine, {}, Mismatch},
        {"an internal fault planned", {}, QStringLiteral("load=126"), Internal},
        {"a missing file", tempPath(QStringLiteral("missing.db")), {}, OtherError},
        {"a file that is no database", garbage, {}, OtherError},
        {"a truncated database", truncated, {}, OtherError},
        {"an empty file", empty, {}, OtherError},
        {"a database without models", noModels, {}, OtherError},
        {"a database with a custom action numbered -1", negativeAction, {}, OtherError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<ScopedEnv> db, faults;
        if (!c.db.isEmpty())
            db.emplace("TARVO_ENGINE_DB", c.db);
        if (!c.faults.isEmpty())
            faults.emplace("TARVO_ENGINE_FAULTS", c.faults);
        const qint32 result = Load();
        switch (c.expect) {
        case Ok:
            EXPECT_EQ(result, 0);
            EXPECT_GE(QXProgrammer.ProgrammerModelCount(), 25);
            break;
        case Mismatch: EXPECT_EQ(result, 113); break;
        case Internal: EXPECT_EQ(result, 126); break;
        case OtherError:
            EXPECT_NE(result, 0);
            EXPECT_NE(result, 113);
            EXPECT_NE(result, 126);
            // Nothing of a refused file is offered.
            EXPECT_EQ(QXProgrammer.ProgrammerModelCount(), 0);
            break;
        }
    }
}

TEST_P(EngineConformanceTest, FaultPlanFileInTheEngineFolderAndTheVariableWins)
{
    QFile plan(QDir(QXProgrammer.EngineDirectory()).filePath(QStringLiteral("faultplan.ini")));
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write("[Faults]\nload=0x7E\ninit=5\n");
    plan.close();

    EXPECT_EQ(Load(), 126);
    {
        ScopedEnv faults("TARVO_ENGINE_FAULTS", QStringLiteral("load=0"));
        EXPECT_EQ(Load(), 0);
        // InitializeEngine194 fails quietly with its planned code.
        EXPECT_EQ(QXProgrammer.InitializeEngine194(qint32(1)), 5);
    }
    ASSERT_TRUE(plan.remove());
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(QXProgrammer.InitializeEngine194(qint32(1)), 0);
}

TEST_P(EngineConformanceTest, InitializationNeedsTheDatabase)
{
    EXPECT_NE(QXProgrammer.InitializeEngine194(qint32(1)), 0);
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(QXProgrammer.InitializeEngine194(qint32(1)), 0);
    EXPECT_NO_THROW(QXProgrammer.ShutDown());
}

// The main window's load refreshes the engine's state with the station
// restored; a window reload refreshes it after a selection that failed, and
// then builds its tabs for no device ("N/A").
TEST_P(EngineConformanceTest, RefreshStateAfterAFailedSelectionLeavesNoDevice)
{
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("KS25Q128"));
    QXProgrammer.RefreshState202(qint32(0), qint32(0), qint32(0));
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("KS25Q128"));

    QString gone = QStringLiteral("NO-LONGER-THERE");
    ASSERT_EQ(QXProgrammer.SelectDeviceByName(gone, false), -1);
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("KS25Q128"));
    QXProgrammer.RefreshState202(qint32(0), qint32(0), qint32(0));
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("No Device Selected"));
    EXPECT_FALSE(QXProgrammer.DeviceSupportsProgram());
}

// The checksum of a buffer that holds only the fill byte, over the buffer
// (type 0) or the device (type 1), as bytes (method 0) or 16-bit words (1).
TEST_P(EngineConformanceTest, ChecksumOfTheUnloadedBuffer)
{
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("AM27C512")); // 64K x 8
    QXProgrammer.DefaultBufferByte(qint32(0xFF));
    const struct
    {
        qint32 type, method, bufferSize;
        const char* text;
    } cases[] = {
        {0, 0, 0, "00000000"},
        {0, 0, 16, "00000FF0"},
        {1, 0, 0, "00FF0000"},
        {1, 1, 0, "7FFF8000"},
    };
    for (const auto& c : cases) {
        QXProgrammer.ChecksumType(c.type);
        QXProgrammer.ChecksumMethod(c.method);
        QXProgrammer.BufferSize(c.bufferSize);
        EXPECT_EQ(QXProgrammer.ChecksumText(), QString::fromLatin1(c.text)) << c.type << " " << c.method;
    }
}

// The database is found beside the program as the program names its folder,
// in any letter case, else beside the control's own library.
TEST_P(EngineConformanceTest, FindsTheDatabaseInTheProgramFolderGiven)
{
    EXPECT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("QXAlg.db")), 0);
    EXPECT_EQ(QXProgrammer.AlgorithmDatabaseRevision(), 0x2A7);

    const QString folder = tempPath(QStringLiteral("program/"));
    const QString copy = CopyOfDatabase(QStringLiteral("program/QXAlg.db"));
    Exec(copy, "UPDATE meta SET value = 4660 WHERE key = 'revision'");
    QXProgrammer.StartupValue108(folder);
    EXPECT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    EXPECT_EQ(QXProgrammer.AlgorithmDatabaseRevision(), 0x1234);
}

// The engine opens the station's database ahead of the load as soon as it
// is made; the load still reads the file it names, as the file is then.
TEST_P(EngineConformanceTest, TheLoadReadsTheDatabaseAsItIsAtTheLoad)
{
    enum Change { None, Written, Garbage, OtherFile };
    const struct
    {
        const char* what;
        Change change;
        qint32 result;
        qint32 revision;
    } cases[] = {
        {"unchanged", None, 0, 0x2A7},
        {"written after the engine was made", Written, 0, 0x1234},
        {"replaced by a file that is no database", Garbage, -1, 0},
        {"another file named at the load", OtherFile, 0, 0x1234},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString copy = CopyOfDatabase();
        const QString other = CopyOfDatabase(QStringLiteral("other.db"));
        Exec(other, "UPDATE meta SET value = 4660 WHERE key = 'revision'");
        // Only a file whose times are past the clock's tick is taken as
        // opened ahead: let the copies age.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::optional<ScopedEnv> db;
        db.emplace("TARVO_ENGINE_DB", copy);
        QXPgmrControl engine;
        engine.Attach(NewEngine());
        // Opening ahead takes milliseconds: it has ended when the file changes.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        switch (c.change) {
        case None: break;
        case Written: Exec(copy, "UPDATE meta SET value = 4660 WHERE key = 'revision'"); break;
        case Garbage: {
            QFile file(copy);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("not a database");
            break;
        }
        case OtherFile: db.emplace("TARVO_ENGINE_DB", other); break;
        }
        const qint32 result = Load(engine);
        if (c.result == 0) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(engine.AlgorithmDatabaseRevision(), c.revision);
        } else {
            EXPECT_NE(result, 0);
            EXPECT_EQ(engine.ProgrammerModelCount(), 0);
        }
    }
}

TEST_P(EngineConformanceTest, VersionDatesAndRevision)
{
    ASSERT_EQ(Load(), 0);
    const qint32 version = QXProgrammer.EngineVersion();
    EXPECT_GT(version / 65536, 0) << "version number";
    // Dates are YYYYMMDD numbers; the first is the release's, the second the beta build's.
    for (const qint32 date : {QXProgrammer.EngineDatePart1(), QXProgrammer.EngineDatePart2()})
        EXPECT_TRUE(QDate::fromString(QString::number(date), QStringLiteral("yyyyMMdd")).isValid()) << date;
    EXPECT_GT(QXProgrammer.AlgorithmDatabaseRevision(), 0);
}

TEST_P(EngineConformanceTest, VexalModeFollowsTheCommandLineHandedOver)
{
    EXPECT_FALSE(QXProgrammer.IsVexalMode()); // the test program's command line has no "-Vexal"
    QXProgrammer.VexalCommandLine(true);
    EXPECT_EQ(QXProgrammer.Control()->Get(QXPgmrId::IsVexalMode).toInt(), VbTrue);
    QXProgrammer.VexalCommandLine(false);
    EXPECT_FALSE(QXProgrammer.IsVexalMode());
}

TEST_P(EngineConformanceTest, ProgrammerModelList)
{
    ASSERT_EQ(Load(), 0);
    const qint32 count = QXProgrammer.ProgrammerModelCount();
    ASSERT_GE(count, 25);
    QStringList names;
    for (qint32 i = 0; i < count; ++i)
        names << QXProgrammer.ModelNameAt(i);
    EXPECT_EQ(names.removeDuplicates(), 0);
    EXPECT_FALSE(names.contains(QString()));
    // The configuration dialog leaves these out of the program's own list
    // and falls back to model 6.
    for (const char* excluded : {"Marbrix", "Marbrix_II", "Marbrix_III"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(excluded))) << excluded;
    EXPECT_FALSE(names.at(6).startsWith(QLatin1String("Marbrix")));

    // Every model: its sites fill whole modules; the models after the
    // first ten offer a master site; 22 to 24 are the OEM edition's list.
    for (qint32 i = 0; i < count; ++i) {
        SCOPED_TRACE(names.at(i).toStdString());
        QXProgrammer.SelectProgrammerModel(i);
        ASSERT_EQ(QXProgrammer.ProgrammerModelIndex(), i);
        EXPECT_EQ(QXProgrammer.ProgrammerModelName(), names.at(i));
        const qint32 sites = QXProgrammer.SiteCount();
        const qint16 perGroup = QXProgrammer.SiteSlotCount();
        ASSERT_GE(perGroup, 1);
        EXPECT_EQ(sites % perGroup, 0);
        EXPECT_EQ(QXProgrammer.IsConcurrentProgrammer(), sites > 1);
        if (i < 10) {
            EXPECT_EQ(sites, 1);
        }
        EXPECT_TRUE(QXProgrammer.SiteEnabled(qint32(sites)));
        EXPECT_FALSE(QXProgrammer.SiteEnabled(qint32(sites + 1)));
    }
    for (qint32 oem : {22, 23, 24})
        EXPECT_FALSE(QXProgrammer.ModelNameAt(oem).isEmpty());

    // Known sites of a few models: name, sites, sites per group, USB.
    const struct
    {
        qint32 model;
        qint32 sites;
        qint16 perGroup;
        bool usb;
    } known[] = {
        {0, 1, 1, false}, {7, 1, 1, true}, {11, 8, 4, false}, {13, 8, 2, false}, {18, 32, 8, true}, {23, 4, 4, true},
    };
    for (const auto& k : known) {
        SCOPED_TRACE(k.model);
        QXProgrammer.SelectProgrammerModel(k.model);
        EXPECT_EQ(QXProgrammer.SiteCount(), k.sites);
        EXPECT_EQ(QXProgrammer.SiteSlotCount(), k.perGroup);
        EXPECT_EQ(QXProgrammer.IsUsbProgrammer(), k.usb);
    }
    QXProgrammer.SelectProgrammerModel(qint32(9));
    EXPECT_TRUE(QXProgrammer.TestOnlyStation());

    // A name the dialog did not find comes as -1: the model stays.
    QXProgrammer.SelectProgrammerModel(qint32(-1));
    EXPECT_EQ(QXProgrammer.ProgrammerModelIndex(), 9);
    EXPECT_EQ(QXProgrammer.ModelNameAt(count), QString());
}

TEST_P(EngineConformanceTest, PortAndMasterSite)
{
    ASSERT_EQ(Load(), 0);
    QXProgrammer.SelectProgrammerModel(qint32(11)); // 8 sites, 4 per module
    QXProgrammer.PortIndex(qint32(2));
    EXPECT_EQ(QXProgrammer.PortIndex(), 2);
    EXPECT_THROW(QXProgrammer.PortIndex(qint32(4)), AutomationError);
    EXPECT_EQ(QXProgrammer.PortIndex(), 2);

    QXProgrammer.SelectMasterSite(qint32(2));
    EXPECT_EQ(QXProgrammer.MasterSite(), 5); // the first site of module 2
    QXProgrammer.MasterSite(qint16(3));
    EXPECT_EQ(QXProgrammer.MasterSite(), 3);
    EXPECT_THROW(QXProgrammer.MasterSite(qint16(9)), AutomationError);
    EXPECT_THROW(QXProgrammer.SelectMasterSite(qint32(3)), AutomationError);
    EXPECT_EQ(QXProgrammer.MasterSite(), 3);
    // A model with fewer sites takes the master site back to the first.
    QXProgrammer.SelectProgrammerModel(qint32(0));
    EXPECT_EQ(QXProgrammer.MasterSite(), 1);
}

TEST_P(EngineConformanceTest, DeviceSelectionByName)
{
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("No Device Selected"));
    EXPECT_EQ(QXProgrammer.DeviceProperty4(), QString());

    // The name first, by reference, in any letter case; it comes back as
    // the engine spells it.
    QString name = QStringLiteral("ks24c256");
    EXPECT_EQ(QXProgrammer.SelectDeviceByName(name, false), 0);
    EXPECT_EQ(name, QStringLiteral("KS24C256"));
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("KS24C256"));
    EXPECT_EQ(QXProgrammer.DeviceProperty4(), QStringLiteral("SOIC8"));
    QString other = QStringLiteral("AM27C512");
    EXPECT_EQ(QXProgrammer.SelectDeviceByName(other, true), 0);
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("AM27C512"));

    // An unknown name: -1, and the device stays.
    QString unknown = QStringLiteral("NO-SUCH-DEVICE");
    EXPECT_EQ(QXProgrammer.SelectDeviceByName(unknown, false), -1);
    QString emptyName;
    EXPECT_EQ(QXProgrammer.SelectDeviceByName(emptyName, false), -1);
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("AM27C512"));

    // Size texts in both radixes; range and offset start over for the new
    // device.
    EXPECT_EQ(QXProgrammer.DeviceSize(), 65536);
    EXPECT_EQ(QXProgrammer.DeviceSizeText(qint32(1), true), QStringLiteral("10000h x 8"));
    EXPECT_EQ(QXProgrammer.DeviceSizeText(qint32(1), false), QStringLiteral("65536 x 8"));
    EXPECT_EQ(QXProgrammer.WordRangeLow(), 0);
    EXPECT_EQ(QXProgrammer.WordRangeHigh(), 0xFFFF);
    EXPECT_EQ(QXProgrammer.BufferOffset(), 0);
    QXProgrammer.BufferOffset(qint32(0x100));
    Select(QStringLiteral("GAL22V10"));
    EXPECT_EQ(QXProgrammer.BufferOffset(), 0);
    EXPECT_TRUE(QXProgrammer.SizeInFuses());
    EXPECT_EQ(QXProgrammer.DeviceSizeText(qint32(1), false), QStringLiteral("5892 Fuses"));

    // The pseudo-devices of the diagnostics commands and a STAPL device.
    for (const char* device : {"Corvane Diagnostics", "Vexal Diagnostics", "STAPL ISP Device"})
        EXPECT_EQ(Select(QString::fromLatin1(device)), QString::fromLatin1(device));
    EXPECT_TRUE(QXProgrammer.DeviceName().startsWith(QLatin1String("STAPL")));
}

// Each member takes one shape of arguments; another shape is an automation
// error, not a guess, and changes nothing.
TEST_P(EngineConformanceTest, OtherArgumentShapesAreRefused)
{
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("AM27C512"));
    const qint32 typeMismatch = qint32(0x80020005u);
    const qint32 badParamCount = qint32(0x8002000Eu);
    const auto error = [](const std::function<void()>& call) -> qint32 {
        try {
            call();
        } catch (const AutomationError& e) {
            return e.Number();
        }
        return 0;
    };

    QString name = QStringLiteral("KS24C256");
    EXPECT_EQ(error([&] { QXProgrammer.SelectDeviceByName(false, name); }), typeMismatch);
    EXPECT_EQ(error([&] { QXProgrammer.SelectDeviceByName(name); }), badParamCount);
    EXPECT_EQ(error([&] { QXProgrammer.SelectDeviceByName(name, false, false); }), badParamCount);
    EXPECT_EQ(name, QStringLiteral("KS24C256"));
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("AM27C512"));

    EXPECT_EQ(error([&] { QXProgrammer.DeviceSizeText(true); }), badParamCount);
    EXPECT_EQ(error([&] { QXProgrammer.DeviceSizeText(); }), badParamCount);
    EXPECT_EQ(error([&] { QXProgrammer.DeviceSizeText(QStringLiteral("one"), true); }), typeMismatch);
}

// The engine's own dialogs belong to the window handed over at start-up.
TEST_P(EngineConformanceTest, TheWindowHandedOverOwnsTheEnginesDialogs)
{
    ASSERT_EQ(Load(), 0);
    QWidget window;
    QXProgrammer.SetMainWindowHandle(qint32(window.winId()));
    QWidget* owner = nullptr;
    ui().OnModal([&owner](QDialog* dialog) {
        owner = dialog->parentWidget();
        dialog->reject();
        return dialog->result();
    });
    EXPECT_FALSE(QXProgrammer.DeviceSelectResult());
    EXPECT_EQ(owner, &window);
}

// The capabilities the operation window builds its tabs and lists from, as
// wire values: Booleans -1/0, VerifySupport and the two numeric ones as numbers.
TEST_P(EngineConformanceTest, CapabilitiesOfTheSelectedDevice)
{
    const struct
    {
        const char* device;
        const char* member;
        int wire;
    } table[] = {
        {"AM27C512", "DeviceSupportsProgram", -1},
        {"AM27C512", "VerifySupport", 1},
        {"AM27C512", "DeviceSupportsRead", -1},
        {"AM27C512", "DeviceSupportsBlankCheck", -1},
        {"AM27C512", "DeviceSupportsIllegalBitCheck", 1},
        {"AM27C512", "DeviceSupportsErase", 0},
        {"AM27C512", "DeviceSupportsEraseTab", 0},
        {"AM27C512", "DeviceSupportsSecure", 0},
        {"NV29F040", "DeviceSupportsAutoSelection", -1},
        {"NV29F040", "DeviceSupportsAutoContinuity", -1},
        {"NV29F040", "DeviceSupportsVerifyTwice", -1},
        {"NV29F040", "DeviceSupportsEraseTab", -1},
        {"KS24C256", "DeviceSupportsErase", -1},
        {"KS24C256", "DeviceSupportsEraseTab", 0},
        {"KS24C256", "DeviceSupportsIdCheck", 0},
        {"KS24C256", "DeviceValue271", -1},
        {"KX2103-SEC", "DeviceSupportsRead", 0},
        {"KX2103-SEC", "DeviceSupportsTestAndSecure", -1},
        {"KX2103-SEC", "EncryptCompareKind", -1},
        {"KX2103-SEC", "ProgramTabFlag59", -1},
        {"KX2103-SEC", "DeviceSupportsEncrypt", -1},
        {"GAL22V10", "SizeInFuses", -1},
        {"GAL22V10", "DeviceFlag8", -1},
        {"GAL22V10", "DeviceSupportsTestTwice", -1},
        {"AX3P030", "VerifySupport", 2},
        {"AX3P030", "DeviceSupportsTestTwice", 0},
        {"LT74HC245", "DeviceSupportsProgram", 0},
        {"LT74HC245", "DeviceSupportsTestVectors", -1},
        {"NV30F1G08", "DeviceSupportsNandOptions", -1},
        {"NV29LV160B", "DeviceSupportsByteOrder", -1},
        {"NV29LV160B", "DeviceSupportsSetsAndBanks", -1},
        {"STAPL ISP Device", "DeviceIsVexal", -1},
        {"STAPL ISP Device", "DeviceSupportsStaplSerialization", -1},
        {"STAPL ISP Device", "DeviceSupportsProgram", 0},
        {"Corvane Diagnostics", "DeviceSupportsRead", 0},
    };
    // Before any device is selected every capability answers 0.
    ASSERT_EQ(Load(), 0);
    for (const auto& row : table)
        EXPECT_EQ(Wire(row.member).toInt(), 0) << row.member;

    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.device) + " " + row.member);
        Select(QString::fromLatin1(row.device));
        EXPECT_EQ(Wire(row.member).toInt(), row.wire);
    }
}

TEST_P(EngineConformanceTest, VariantsCustomActionsAndAlgorithmSettings)
{
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("KS85T"));
    EXPECT_EQ(QXProgrammer.CustomActionList(),
              QStringLiteral("@Fuse Blow:OPT|Blow Fuse A|Blow Fuse B:REQ|Check Fuses"
                             "@Check:REC|Read Signature@Lock Bits:REQ|Write Lock:REQ|Verify Lock"));
    EXPECT_EQ(QXProgrammer.SecureVariantCount(), 0);
    EXPECT_EQ(QXProgrammer.AlgorithmParameter(QStringLiteral("DEFAULT_BUFFER_VALUE")), QVariant());

    Select(QStringLiteral("KS25Q128"));
    EXPECT_EQ(QXProgrammer.CustomActionList(), QString());
    ASSERT_EQ(QXProgrammer.SecureVariantCount(), 3);
    // Secure variants count from 1.
    EXPECT_EQ(QXProgrammer.SecureVariantNameAt(qint32(1)), QStringLiteral("Status Lock"));
    EXPECT_EQ(QXProgrammer.SecureVariantNameAt(qint32(3)), QStringLiteral("Permanent Lock"));
    EXPECT_EQ(QXProgrammer.SecureVariantNameAt(qint32(4)), QString());
    EXPECT_EQ(QXProgrammer.AlgorithmParameter(QStringLiteral("DEFAULT_BUFFER_VALUE")).toInt(), 255);
    EXPECT_EQ(QXProgrammer.DeviceConfigValue(QStringLiteral("algcfg.virgin")), QStringLiteral("0xFF"));
    EXPECT_EQ(QXProgrammer.DeviceConfigValue(QStringLiteral("EXTRA_CMDS")), QString());

    // Program variants count from 0; the Execute tab comes from them.
    Select(QStringLiteral("Vexal Diagnostics"));
    ASSERT_EQ(QXProgrammer.ExecuteVariantCount(), 3);
    EXPECT_EQ(QXProgrammer.ExecuteVariantNameAt(qint32(0)), QStringLiteral("Self Test"));
    EXPECT_EQ(QXProgrammer.ExecuteVariantNameAt(qint32(1)), QStringLiteral("Flash"));
    EXPECT_EQ(QXProgrammer.ExecuteVariantNameAt(qint32(2)), QStringLiteral("P_Check"));
    EXPECT_FALSE(QXProgrammer.OperationRunsConcurrently(QStringLiteral("Self Test")));
    Select(QStringLiteral("STAPL ISP Device"));
    EXPECT_TRUE(QXProgrammer.OperationRunsConcurrently(QStringLiteral("Program")));
    EXPECT_FALSE(QXProgrammer.OperationRunsConcurrently(QStringLiteral("No such variant")));

    // Extra commands, the same member under the name the button logic uses.
    Select(QStringLiteral("NV29LV160B"));
    ASSERT_EQ(QXProgrammer.ExtraCommandCount(), 3);
    EXPECT_EQ(QXProgrammer.ProgramVariantCount(), 3);
    EXPECT_EQ(QXProgrammer.ExtraCommandNameAt(qint32(1)), QStringLiteral("E-FIELD"));
    Select(QStringLiteral("NV30F1G08"));
    EXPECT_TRUE(QXProgrammer.DeviceConfigValue(QStringLiteral("EXTRA_CMDS")).contains(QLatin1String("CMD_NOCHIP")));
    EXPECT_EQ(QXProgrammer.AlgorithmParameter(QStringLiteral("SPARE_AREA")), QVariant(QStringLiteral("interleaved")));
}

TEST_P(EngineConformanceTest, TheStationComesBackAsItWasLeft)
{
    ASSERT_EQ(Load(), 0);
    QXProgrammer.SelectProgrammerModel(qint32(12));
    QXProgrammer.PortIndex(qint32(3));
    QXProgrammer.SelectMasterSite(qint32(3));
    Select(QStringLiteral("sl18f4550"));
    // No ShutDown: a station that ended abruptly comes back too.
    QXProgrammer.Attach(nullptr);

    QXPgmrControl again;
    again.Attach(NewEngine());
    ASSERT_EQ(Load(again), 0);
    EXPECT_EQ(again.ProgrammerModelIndex(), 12);
    EXPECT_EQ(again.PortIndex(), 3);
    EXPECT_EQ(again.MasterSite(), 9);
    EXPECT_EQ(again.DeviceName(), QStringLiteral("SL18F4550"));
    EXPECT_TRUE(again.DeviceSupportsTestVectors());
}

TEST_P(EngineConformanceTest, TheEnginesOwnDeviceSelection)
{
    ASSERT_EQ(Load(), 0);
    // The operator searches, takes the first match and confirms.
    ui().OnModal([](QDialog* dialog) {
        auto* search = dialog->findChild<QLineEdit*>(QStringLiteral("search"));
        auto* table = dialog->findChild<QTableView*>(QStringLiteral("devices"));
        EXPECT_TRUE(search && table);
        if (!search || !table)
            return int(QDialog::Rejected);
        search->setText(QStringLiteral("4550"));
        EXPECT_EQ(table->model()->rowCount(), 1);
        dialog->accept();
        return dialog->result();
    });
    EXPECT_TRUE(QXProgrammer.DeviceSelectResult());
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("SL18F4550"));

    // Cancel keeps the device.
    ui().OnModal([](QDialog* dialog) {
        dialog->reject();
        return dialog->result();
    });
    EXPECT_FALSE(QXProgrammer.DeviceSelectResult());
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("SL18F4550"));
}

TEST_P(EngineConformanceTest, GeneratesItsDeviceList)
{
    ASSERT_EQ(Load(), 0);
    QXProgrammer.GenerateDeviceList();
    QFile list(QDir(QXProgrammer.EngineDirectory()).filePath(QStringLiteral("DeviceList.txt")));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), QStringLiteral("Manufacturer\tDevice\tPackage\tType"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Amtech\tAM27C512\tDIP28\tEPROM")));
    EXPECT_EQ(lines.size(), 20); // the header and the shipped devices
}

// The station commits an option-list entry by writing the engine's option
// properties, then knows the entry as current when the engine reports them
// back in the entry's pattern. Some reports are the engine's own derivation:
// an ID check reads selection mode 1 though 0 was written, an automatic
// selection counts as an ID check. From the default state, committing each
// entry makes it the current one (27, 29 and 30 have no writes or tests).
TEST_P(EngineConformanceTest, EachOptionCommittedFromTheDefaultStateIsCurrent)
{
    using E = QXPgmrControl;
    const auto idMode = [](E& e, qint32 mode) { return e.AutoSelection() == mode; };
    const struct
    {
        qint32 code;
        std::function<void(E&)> commit;
        std::function<bool(E&)> current;
    } table[] = {
        {0,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoSelection(qint32(0));
             e.AutoContinuityCheck(false);
         },
         [&](E& e) {
             return e.ContinuityCheck() && (idMode(e, 0) || !e.DeviceSupportsIdCheck()) && !e.AutoContinuityCheck();
         }},
        {1,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoSelection(qint32(0));
         },
         [&](E& e) { return e.ContinuityCheck() && (idMode(e, 0) || !e.DeviceSupportsIdCheck()); }},
        {35,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoContinuityCheck(true);
             e.AutoSelection(qint32(0));
         },
         [&](E& e) {
             return e.ContinuityCheck() && e.AutoContinuityCheck() && (idMode(e, 0) || !e.DeviceSupportsIdCheck());
         }},
        {2,
         [](E& e) {
             e.ContinuityCheck(false);
             e.AutoSelection(qint32(0));
             e.IdCheck(true);
         },
         [&](E& e) { return e.IdCheck() && idMode(e, 1) && !e.ContinuityCheck(); }},
        {4,
         [](E& e) {
             e.ContinuityCheck(false);
             e.IdCheck(false);
             e.AutoSelection(qint32(2));
         },
         [&](E& e) { return idMode(e, 2) && (!e.ContinuityCheck() || !e.DeviceSupportsContinuity()); }},
        {6,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoContinuityCheck(false);
             e.AutoSelection(qint32(0));
             e.IdCheck(true);
         },
         [&](E& e) { return e.IdCheck() && idMode(e, 1) && e.ContinuityCheck() && !e.AutoContinuityCheck(); }},
        {7,
         [](E& e) {
             const bool autoContinuity = e.AutoContinuityCheck();
             e.ContinuityCheck(true);
             e.AutoContinuityCheck(false);
             e.AutoSelection(qint32(0));
             e.IdCheck(true);
             e.AutoContinuityCheck(autoContinuity);
         },
         [&](E& e) { return e.IdCheck() && idMode(e, 1) && e.ContinuityCheck(); }},
        {8,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoContinuityCheck(false);
             e.IdCheck(false);
             e.AutoSelection(qint32(2));
         },
         [&](E& e) { return e.IdCheck() && idMode(e, 2) && !e.AutoContinuityCheck() && e.ContinuityCheck(); }},
        {36,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoContinuityCheck(true);
             e.AutoSelection(qint32(0));
             e.IdCheck(true);
         },
         [&](E& e) { return e.IdCheck() && idMode(e, 1) && e.AutoContinuityCheck() && e.ContinuityCheck(); }},
        {37,
         [](E& e) {
             e.ContinuityCheck(true);
             e.AutoContinuityCheck(true);
             e.IdCheck(false);
             e.AutoSelection(qint32(2));
         },
         [&](E& e) { return e.ContinuityCheck() && e.AutoContinuityCheck() && idMode(e, 2); }},
        {10,
         [](E& e) {
             e.BlankCheckOption(false);
             e.EraseOption(true);
         },
         [](E& e) { return e.EraseOption() && (!e.BlankCheckOption() || !e.DeviceSupportsBlankCheck()); }},
        {11,
         [](E& e) {
             e.BlankCheckOption(true);
             e.EraseOption(false);
         },
         [](E& e) { return e.BlankCheckOption() && (!e.EraseOption() || !e.DeviceSupportsErase()); }},
        {46,
         [](E& e) {
             e.SetIllegalBit(qint32(-1));
             e.EraseOption(false);
         },
         [](E& e) { return e.DeviceSupportsIllegalBitAlt() && (!e.EraseOption() || !e.DeviceSupportsErase()); }},
        {43,
         [](E& e) {
             e.EraseOption(true);
             e.BlankCheckOption(true);
         },
         [](E& e) { return e.BlankCheckOption() && e.EraseOption(); }},
        {13,
         [](E& e) {
             e.VerifyMode(qint32(1));
             e.TestMode(qint32(0));
         },
         [](E& e) { return e.VerifyMode() == 1 && (e.TestMode() == 0 || !e.DeviceSupportsTestVectors()); }},
        {15,
         [](E& e) {
             e.VerifyMode(qint32(2));
             e.TestMode(qint32(0));
         },
         [](E& e) { return e.VerifyMode() == 2 && (e.TestMode() == 0 || !e.DeviceSupportsTestVectors()); }},
        {14, [](E& e) { e.VerifyMode(qint32(1)); }, [](E& e) { return e.VerifyMode() == 1; }},
        {16, [](E& e) { e.VerifyMode(qint32(2)); }, [](E& e) { return e.VerifyMode() == 2; }},
        {17,
         [](E& e) {
             e.VerifyMode(qint32(1));
             e.TestMode(qint32(1));
         },
         [](E& e) { return e.VerifyMode() == 1 && e.TestMode() == 1; }},
        {18,
         [](E& e) {
             e.VerifyMode(qint32(2));
             e.TestMode(qint32(2));
         },
         [](E& e) { return e.VerifyMode() == 2 && e.TestMode() == 2; }},
        {19,
         [](E& e) {
             e.VerifyMode(qint32(1));
             e.TestMode(qint32(1));
         },
         [](E& e) { return e.VerifyMode() == 1 && e.TestMode() == 1; }},
        {20,
         [](E& e) {
             e.VerifyMode(qint32(1));
             e.TestMode(qint32(2));
         },
         [](E& e) { return e.VerifyMode() == 1 && e.TestMode() == 2; }},
        {21,
         [](E& e) {
             e.VerifyMode(qint32(2));
             e.TestMode(qint32(1));
         },
         [](E& e) { return e.VerifyMode() == 2 && e.TestMode() == 1; }},
        {22,
         [](E& e) {
             e.VerifyMode(qint32(2));
             e.TestMode(qint32(2));
         },
         [](E& e) { return e.VerifyMode() == 2 && e.TestMode() == 2; }},
        {23,
         [](E& e) {
             e.SecureMode(true);
             e.SecureWithTest(qint32(0));
         },
         [](E& e) { return e.SecureMode() && (e.SecureWithTest() == 0 || !e.DeviceSupportsTestVectors()); }},
        {26, [](E& e) { e.SecureAfterVerify(qint32(VbTrue)); }, [](E& e) { return e.SecureAfterVerify() != 0; }},
        {24,
         [](E& e) {
             e.SecureMode(false);
             e.SecureAfterVerify(qint32(0));
             e.TestMode(qint32(1));
         },
         [](E& e) {
             return e.TestMode() == 1 && (!e.SecureMode() || !e.DeviceSupportsSecure())
                 && (e.SecureAfterVerify() == 0 || e.DeviceSupportsTestAndSecure() == 0);
         }},
        {25,
         [](E& e) {
             e.SecureMode(false);
             e.SecureAfterVerify(qint32(0));
             e.TestMode(qint32(2));
         },
         [](E& e) {
             return e.TestMode() == 2 && (!e.SecureMode() || !e.DeviceSupportsSecure())
                 && (e.SecureAfterVerify() == 0 || e.DeviceSupportsTestAndSecure() == 0);
         }},
        {31,
         [](E& e) {
             e.SecureAfterVerify(qint32(VbTrue));
             e.TestMode(qint32(1));
         },
         [](E& e) { return e.SecureAfterVerify() == VbTrue && e.TestMode() == 1; }},
        {44,
         [](E& e) {
             e.SecureAfterVerify(qint32(VbTrue));
             e.TestMode(qint32(2));
         },
         [](E& e) { return e.SecureAfterVerify() == VbTrue && e.TestMode() == 2; }},
        {28,
         [](E& e) {
             e.SecureAfterVerify(qint32(VbTrue));
             e.TestMode(qint32(2));
         },
         [](E& e) { return e.SecureAfterVerify() == VbTrue && e.TestMode() == 2; }},
        {41,
         [](E& e) {
             e.SecureMode(true);
             e.SecureAfterVerify(qint32(0));
             e.SecureWithTest(qint32(1));
         },
         [](E& e) { return e.SecureMode() && e.SecureAfterVerify() == 0 && e.SecureWithTest() == 1; }},
        {42,
         [](E& e) {
             e.SecureMode(true);
             e.SecureAfterVerify(qint32(0));
             e.SecureWithTest(qint32(2));
         },
         [](E& e) { return e.SecureMode() && e.SecureAfterVerify() == 0 && e.SecureWithTest() == 2; }},
        {32, [](E& e) { e.ClearBufferMode(true); }, [](E& e) { return e.ClearBufferMode(); }},
        {33, [](E& e) { e.ClearBufferMode(true); }, [](E& e) { return e.ClearBufferMode(); }},
    };
    // A device with the checks the conditions look at (continuity, ID check,
    // blank check, erase).
    for (const auto& row : table) {
        SCOPED_TRACE(row.code);
        QXProgrammer.Attach(NewEngine());
        ASSERT_EQ(Load(), 0);
        Select(QStringLiteral("NV29F040"));
        EXPECT_FALSE(row.current(QXProgrammer)) << "current before it was committed";
        row.commit(QXProgrammer);
        EXPECT_TRUE(row.current(QXProgrammer));
    }
}

} // namespace

namespace {

// Records the names of the engine's events and answers those a case gives
// an answer for.
class Host : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        events << eventName;
        if (const auto answer = answers.constFind(eventName); answer != answers.constEnd())
            (*answer)(args);
    }
    QStringList events;
    QHash<QString, std::function<void(QVariantList&)>> answers;
};

// Answers the station's requests a case needs: the decorated tab names.
class TabNames : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        if (eventName == QLatin1String("RequestDecoratedTabName") && args.size() == 2)
            args[1] = tabs.value(args.at(0).toString());
    }
    QHash<QString, QString> tabs{{QStringLiteral("Program"), QStringLiteral("&Program")},
                                 {QStringLiteral("Verify"), QStringLiteral("&Verify")}};
};

// The job parameters: 0 when set, else what is wrong (1 name, 2 value, 3 not
// now, 4 value the device does not allow); names and values exactly.
TEST_P(EngineConformanceTest, JobParametersAnswerTheirCodes)
{
    ASSERT_EQ(Load(), 0);
    const auto apply = [&](const char* name, const char* value) {
        return QXProgrammer.ApplyJobParameter(QString::fromLatin1(name), QString::fromLatin1(value));
    };
    // No device selected: the device's options cannot be set now.
    EXPECT_EQ(apply("DeviceOptions.Verify", "ENABLE"), 3);
    Select(QStringLiteral("AM27C512")); // EPROM: verify once, blank check, no erase
    const struct
    {
        const char* name;
        const char* value;
        qint32 result;
    } cases[] = {
        {"DeviceOptions.NoSuchOption", "1", 1},      {"deviceoptions.Verify", "ENABLE", 1},
        {"DeviceOptions.Verify", "enable", 2},       {"DeviceOptions.Verify", "1", 2},
        {"DeviceOptions.Verify Once", "ENABLE", 3},  // its tabs say "Verify"
        {"DeviceOptions.Verify Twice", "ENABLE", 4}, // it verifies once only
        {"DeviceOptions.Verify", "ENABLE", 0},       {"DeviceOptions.Blank Check", "enable", 2},
        {"DeviceOptions.Blank Check", "ENABLE", 0},  {"DeviceOptions.Erase", "ENABLE", 3},
        {"DeviceOptions.Operation", "Program", 0},   {"DeviceOptions.Operation", "Teleport", 4},
        {"DeviceOptions.Operation", "", 2},
    };
    TabNames host;
    QXProgrammer.Control()->SetEventSink(&host);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.value);
        EXPECT_EQ(apply(c.name, c.value), c.result);
    }
    QXProgrammer.Control()->SetEventSink(nullptr);
    EXPECT_EQ(QXProgrammer.VerifyMode(), 1);
    EXPECT_TRUE(QXProgrammer.BlankCheckOption());
    EXPECT_FALSE(QXProgrammer.EraseOption());
    // The tab named is the job's active tab, as the station decorated it.
    qint32 status = -1;
    EXPECT_EQ(QXProgrammer.ReadSealbookValueEx(QStringLiteral("JobInfo"), QStringLiteral("ActiveTab"), QString(),
                                               qint32(2), status),
              QStringLiteral("&Program"));
    EXPECT_EQ(status, 0);
}

// A site index (0-based) is a client's site and the socket in its module.
TEST_P(EngineConformanceTest, SiteToSocketFollowsTheModelsLayout)
{
    ASSERT_EQ(Load(), 0);
    QXProgrammer.SelectProgrammerModel(qint32(11)); // RG-1080/8: two modules of four
    ASSERT_EQ(QXProgrammer.SiteCount(), 8);
    QSet<qint32> sites;
    for (qint32 index = 0; index < 8; ++index) {
        qint32 site = 0, socket = 0;
        QXProgrammer.SiteToSocket(index, site, socket);
        EXPECT_EQ(site, index + 1);
        EXPECT_EQ(socket, index % 4 + 1);
        sites.insert(site);
    }
    EXPECT_EQ(sites.size(), 8);
    qint32 site = 0, socket = 0;
    EXPECT_THROW(QXProgrammer.SiteToSocket(qint32(8), site, socket), AutomationError);
    EXPECT_THROW(QXProgrammer.SiteToSocket(qint32(-1), site, socket), AutomationError);
}

TEST_P(EngineConformanceTest, SystemInformationNamesTheStation)
{
    ASSERT_EQ(Load(), 0);
    QXProgrammer.SelectProgrammerModel(qint32(11));
    QXProgrammer.PortIndex(qint32(2));
    const QString info = QXProgrammer.MonitorValue1005();
    for (const QString& line :
         {QStringLiteral("Programmer: RG-1080/8"), QStringLiteral("Port: LPT2"), QStringLiteral("Sites: 8"),
          QStringLiteral("Sockets per module: 4"), QStringLiteral("Engine: 5.2.9"),
          QStringLiteral("Algorithm database: revision %1").arg(QXProgrammer.AlgorithmDatabaseRevision()),
          QStringLiteral("Laser marker: no lines"),
          QStringLiteral("Clients: job control no, programmer no, job monitor no")})
        EXPECT_TRUE(info.split(QStringLiteral("\r\n")).contains(line))
            << line.toStdString() << " in " << info.toStdString();

    // The marker lines and which objects clients hold are the station's
    // answers.
    Host host;
    host.answers.insert(QStringLiteral("GetLaserMarkerLines"), [](QVariantList& args) {
        args[0] = QStringList{QStringLiteral("ACME"), QStringLiteral("LOT 7"), QString()};
    });
    host.answers.insert(QStringLiteral("CJobCntrlInUse"), [](QVariantList& args) { args[0] = VbBool(true); });
    host.answers.insert(QStringLiteral("CJobMonitorInUse"), [](QVariantList& args) { args[0] = VbBool(true); });
    QXProgrammer.Control()->SetEventSink(&host);
    EXPECT_TRUE(QXProgrammer.MonitorValue1005().endsWith(QStringLiteral(
        "Laser marker: \"ACME\" / \"LOT 7\"\r\nClients: job control yes, programmer no, job monitor yes")));
    QXProgrammer.Control()->SetEventSink(nullptr);
    EXPECT_EQ(host.events, (QStringList{"CJobCntrlInUse", "CQxPgmrInUse", "CJobMonitorInUse", "GetLaserMarkerLines"}));
}

// Behaviour a silent engine (one that answers every member with its stored
// value or its type's default) does not show: the checks above rest on
// these, so they fail on it.
bool RefusesAnUnknownJobParameter(QXPgmrControl& engine)
{
    return engine.ApplyJobParameter(QStringLiteral("DeviceOptions.NoSuchOption"), QStringLiteral("1")) != 0;
}

bool NamesTheFirstSite(QXPgmrControl& engine)
{
    qint32 site = 0, socket = 0;
    try {
        engine.SiteToSocket(qint32(0), site, socket);
    } catch (const AutomationError&) {
        return false;
    }
    return site == 1 && socket == 1;
}

bool GivesSystemInformation(QXPgmrControl& engine)
{
    return engine.MonitorValue1005().contains(QStringLiteral("Programmer: "));
}

TEST_P(EngineBasicsTest, TheEnginesOwnAnswersAreNotDefaults)
{
    const bool answers = GetParam().create == &StandInEngine;
    if (answers)
        ASSERT_EQ(Load(), 0);
    SCOPED_TRACE(GetParam().name);
    // The stand-in answers; the test engine, which only stores and answers
    // defaults, must not pass for one.
    EXPECT_EQ(RefusesAnUnknownJobParameter(QXProgrammer), answers);
    EXPECT_EQ(NamesTheFirstSite(QXProgrammer), answers);
    EXPECT_EQ(GivesSystemInformation(QXProgrammer), answers);
}

// The engine reports its errors unless told not to: by its settings file or
// the fault plan's "quiet" entry (both steer the stand-in).
TEST_P(EngineConformanceTest, ShowErrorMessagesIsOnUnlessTheRunIsUnattended)
{
    const QString ini = QXProgrammer.EngineDirectory() + QStringLiteral("/engine.ini");
    QFile::remove(ini);
    QXPgmrControl fresh;
    fresh.Attach(NewEngine());
    EXPECT_TRUE(fresh.ShowErrorMessages());
    fresh.ShowErrorMessages(false);
    EXPECT_FALSE(fresh.ShowErrorMessages());
    {
        ScopedEnv quiet("TARVO_ENGINE_FAULTS", QStringLiteral("quiet=1"));
        QXPgmrControl unattended;
        unattended.Attach(NewEngine());
        EXPECT_FALSE(unattended.ShowErrorMessages());
    }
    {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Engine/ShowErrorMessages"), false);
    }
    QXPgmrControl configured;
    configured.Attach(NewEngine());
    EXPECT_FALSE(configured.ShowErrorMessages());
}

// The secure option set as a job parameter is shown by the station: the
// engine asks it to refresh its secure row; a refused value asks nothing.
TEST_P(EngineConformanceTest, ASecureJobParameterRefreshesTheStationsSecureOption)
{
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("NV29F040"));
    Host host;
    QXProgrammer.Control()->SetEventSink(&host);
    EXPECT_EQ(QXProgrammer.ApplyJobParameter(QStringLiteral("DeviceOptions.Secure"), QStringLiteral("yes")), 2);
    EXPECT_FALSE(host.events.contains(QStringLiteral("RefreshGuiSecure")));
    EXPECT_EQ(QXProgrammer.ApplyJobParameter(QStringLiteral("DeviceOptions.Secure"), QStringLiteral("ENABLE")), 0);
    QXProgrammer.Control()->SetEventSink(nullptr);
    EXPECT_EQ(host.events, QStringList{QStringLiteral("RefreshGuiSecure")});
    EXPECT_TRUE(QXProgrammer.SecureMode());
}

// A device's own extra command changes its configuration: the station hears
// of it once the call has returned, never inside it (its handler rebuilds
// the window that made the call). The engine's own commands change no
// device configuration, and an engine gone before the loop runs raises
// nothing.
TEST_P(EngineConformanceTest, ADevicesExtraCommandReportsTheConfigurationChangeAfterTheCall)
{
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("NV29LV160B"));
    Host host;
    QXProgrammer.Control()->SetEventSink(&host);
    const QString changed = QStringLiteral("DeviceConfigurationChanged");
    const struct
    {
        qint32 index;
        const char* name;
        int changes;
    } cases[] = {{1, "", 1}, {0, "CFI Query", 1}, {0, "DisplayRadix", 0}, {0, "FillBuffer", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.events.clear();
        EXPECT_EQ(QXProgrammer.RunExtraCommand(c.index, QString::fromLatin1(c.name), QString()), 0);
        EXPECT_FALSE(host.events.contains(changed));
        QCoreApplication::processEvents();
        EXPECT_EQ(host.events.count(changed), c.changes);
    }
    QXProgrammer.RunExtraCommand(qint32(0), QString(), QString());
    QXProgrammer.Attach(NewEngine());
    host.events.clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(host.events.isEmpty());
}

// The fault plan's socket-module exchange: once the engine is initialised
// and the station idle, the selected device is taken up afresh (its whole
// range, no offset) and the station asked to reload it; once a load.
TEST_P(EngineConformanceTest, ASocketModuleExchangeReloadsTheSelectedDevice)
{
    ScopedEnv plan("TARVO_ENGINE_FAULTS", QStringLiteral("module=20"));
    ASSERT_EQ(Load(), 0);
    Select(QStringLiteral("AM27C512"));
    QXProgrammer.WordRangeHigh(qint32(0x0FFF));
    QXProgrammer.BufferOffset(qint32(16));
    QStringList reloads, texts;
    Host host;
    host.answers.insert(QStringLiteral("ReloadForm"), [&](QVariantList& args) { reloads << args.value(0).toString(); });
    host.answers.insert(QStringLiteral("StatusTextReported"),
                        [&](QVariantList& args) { texts << args.value(0).toString(); });
    QXProgrammer.Control()->SetEventSink(&host);
    RunMainLoop(100);
    EXPECT_TRUE(reloads.isEmpty()); // not before the engine is initialised
    ASSERT_EQ(QXProgrammer.InitializeEngine194(qint32(1)), 0);
    RunMainLoop(3000, [&] { return !reloads.isEmpty(); });
    RunMainLoop(100);
    QXProgrammer.Control()->SetEventSink(nullptr);
    EXPECT_EQ(reloads, QStringList{QStringLiteral("AM27C512")});
    EXPECT_EQ(texts, QStringList{QStringLiteral("The socket module was exchanged: the AM27C512 is taken up again.")});
    EXPECT_EQ(QXProgrammer.WordRangeHigh(), 0xFFFF);
    EXPECT_EQ(QXProgrammer.BufferOffset(), 0);
}

// On a Vexal device the loaded data file chooses the secure variant (a
// ".secure" note beside it names it) and whether the device is secured; on
// any other device the engine reports none and leaves SecureMode alone.
TEST_P(EngineConformanceTest, AVexalDevicesDataFileChoosesItsSecureVariant)
{
    ASSERT_EQ(Load(), 0);
    const QString file = tempPath(QStringLiteral("image.bin"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray(256, char(0x5A)));
    }
    const auto note = [&](const QString& text) {
        QFile::remove(file + QStringLiteral(".secure"));
        if (text.isNull())
            return;
        QFile out(file + QStringLiteral(".secure"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text.toUtf8());
    };
    const auto load = [&] {
        QString name = file;
        qint32 type = 0;
        return QXProgrammer.LoadDataFileAs(name, type);
    };
    const struct
    {
        const char* device;
        QString note;
        qint32 variant;
        bool secured;
    } cases[] = {
        {"VX-SEC32", QStringLiteral("Lock B\n"), 2, true},     {"VX-SEC32", QStringLiteral("Lock A"), 1, true},
        {"VX-SEC32", QStringLiteral("Lock C"), 0, false},      {"VX-SEC32", QString(), 0, false},
        {"NV29F040", QStringLiteral("Chip Protect"), 0, true}, // not Vexal: SecureMode as it was put
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.device) + " " + c.note.toStdString());
        Select(QString::fromLatin1(c.device));
        QXProgrammer.SecureMode(true);
        note(c.note);
        ASSERT_EQ(load(), 0);
        EXPECT_EQ(QXProgrammer.LoadFileFlag147(), c.variant);
        EXPECT_EQ(QXProgrammer.SecureMode(), c.secured);
    }
    // The variant belongs to the device the file was loaded for.
    Select(QStringLiteral("VX-SEC32"));
    note(QStringLiteral("Lock B"));
    ASSERT_EQ(load(), 0);
    Select(QStringLiteral("VX-SEC32"));
    EXPECT_EQ(QXProgrammer.LoadFileFlag147(), 2);
    Select(QStringLiteral("AM27C512"));
    EXPECT_EQ(QXProgrammer.LoadFileFlag147(), 0);
}

} // namespace
