// The simulated engine's algorithm database: the generator turns the
// readable sources of data/qxalg into the database the build ships, checks
// them on the way, and can fill the list up for measurements; the shipped
// device set offers what the operation window builds its tabs and lists from.

#include "CompanionFixture.h"

#include "engine/QXPgmrControl.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <sqlite3.h>

namespace {

QString ShippedDatabase()
{
    return BinDir() + QStringLiteral("/qxalg.db");
}

QStringList Sources()
{
    const QDir dir(SourceDir() + QStringLiteral("/data/qxalg"));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

struct GeneratorRun
{
    int exitCode = -1;
    QString err;
};

GeneratorRun Generate(const QStringList& args)
{
    QProcess p;
    p.start(BinDir() + QStringLiteral("/qxalg_gen"), args);
    GeneratorRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// Read-only access to a database file.
class Db
{
public:
    explicit Db(const QString& file)
    {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << file.toStdString();
    }
    ~Db() { sqlite3_close(m_db); }

    // Every row of a query, its columns joined by "|".
    QStringList Rows(const QString& sql) const
    {
        QStringList rows;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
            return rows;
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList columns;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            rows << columns.join(QLatin1Char('|'));
        }
        sqlite3_finalize(stmt);
        return rows;
    }
    qint64 Number(const QString& sql) const { return Rows(sql).value(0).toLongLong(); }

    // Every table with its rows, in a fixed order.
    QMap<QString, QStringList> Contents() const
    {
        QMap<QString, QStringList> contents;
        for (const QString& table : Rows(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table'"))) {
            QStringList rows = Rows(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
            rows.sort();
            contents.insert(table, rows);
        }
        return contents;
    }

private:
    sqlite3* m_db = nullptr;
};

using AlgorithmDatabaseTest = CompanionFixture;

TEST_F(AlgorithmDatabaseTest, GeneratorReproducesTheShippedDatabaseFromTheSources)
{
    const QString out = tempPath(QStringLiteral("qxalg.db"));
    const GeneratorRun r = Generate(QStringList{out} + Sources());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out + QStringLiteral(".tmp")));

    const QMap<QString, QStringList> fresh = Db(out).Contents();
    EXPECT_EQ(fresh, Db(ShippedDatabase()).Contents());
    // What the shipped list holds, in counts.
    EXPECT_EQ(fresh.value(QStringLiteral("programmer_model")).size(), 25);
    EXPECT_EQ(fresh.value(QStringLiteral("device")).size(), 19);
    EXPECT_EQ(fresh.value(QStringLiteral("capability")).size(), 31);
    EXPECT_EQ(fresh.value(QStringLiteral("custom_action")).size(), 5);
}

// Every capability the database describes is an engine member of its type,
// and every one is used: both its values occur among the devices.
TEST_F(AlgorithmDatabaseTest, CapabilitiesAreEngineMembersAndAllInUse)
{
    const Db db(ShippedDatabase());
    const QMap<QString, ValueKind> kinds{{QStringLiteral("Boolean"), ValueKind::Bool},
                                         {QStringLiteral("Integer"), ValueKind::Int},
                                         {QStringLiteral("Long"), ValueKind::Long}};
    for (const QString& row : db.Rows(QStringLiteral("SELECT name, kind FROM capability"))) {
        const QString name = row.section(QLatin1Char('|'), 0, 0);
        SCOPED_TRACE(name.toStdString());
        const MemberInfo* member = FindMember(QXPgmrControl::Members(), name);
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(member->kind, MemberKind::Get);
        EXPECT_EQ(member->type, kinds.value(row.section(QLatin1Char('|'), 1, 1), ValueKind::Void));
        const QString with = QStringLiteral("SELECT count(*) FROM device_capability WHERE capability = '%1'").arg(name);
        EXPECT_GT(db.Number(with), 0) << "no device has it";
        EXPECT_LT(db.Number(with), db.Number(QStringLiteral("SELECT count(*) FROM device"))) << "every device has it";
    }
}

// The combinations the operation window's tabs and lists depend on, each
// offered by at least one shipped device.
TEST_F(AlgorithmDatabaseTest, ShippedDevicesOfferEveryTabAndListCombination)
{
    const Db db(ShippedDatabase());
    const auto has = [](const char* capability) {
        return QStringLiteral("EXISTS (SELECT 1 FROM device_capability c WHERE c.device = d.name AND c.capability = '%1')")
            .arg(QLatin1String(capability));
    };
    const auto value = [](const char* capability, int v) {
        return QStringLiteral("EXISTS (SELECT 1 FROM device_capability c WHERE c.device = d.name AND c.capability = '%1' AND c.value = %2)")
            .arg(QLatin1String(capability)).arg(v);
    };
    const auto variant = [](const char* kind) {
        return QStringLiteral("EXISTS (SELECT 1 FROM device_variant v WHERE v.device = d.name AND v.kind = '%1')").arg(QLatin1String(kind));
    };
    const auto no = [](const QString& condition) { return QStringLiteral("NOT ") + condition; };
    const auto all = [](const QStringList& parts) { return parts.join(QLatin1String(" AND ")); };

    const struct { const char* what; QString condition; } cases[] = {
        {"Program tab", has("DeviceSupportsProgram")},
        {"Execute tab (program variants, no Program)", all({variant("program"), no(has("DeviceSupportsProgram"))})},
        {"Verify tab", value("VerifySupport", 1)},
        {"verify entries without a Verify tab", value("VerifySupport", 2)},
        {"no action-1 tab at all", all({no(has("DeviceSupportsProgram")), no(variant("program"))})},
        {"Blank tab with Illegal Bit", all({has("DeviceSupportsBlankCheck"), has("DeviceSupportsIllegalBitCheck")})},
        {"Erase & Blank Check", all({has("DeviceSupportsBlankCheck"), has("DeviceSupportsErase")})},
        {"Erase without an Erase tab", all({has("DeviceSupportsErase"), no(has("DeviceSupportsEraseTab"))})},
        {"Secure tab with variants", all({has("DeviceSupportsSecure"), variant("secure")})},
        {"plain Secure", all({has("DeviceSupportsSecure"), no(variant("secure"))})},
        {"Secure & Test Once/Twice", all({has("DeviceSupportsSecure"), no(variant("secure")), has("DeviceSupportsTestVectors"), has("DeviceSupportsTestTwice")})},
        {"Secure & Test", all({has("DeviceSupportsSecure"), no(variant("secure")), has("DeviceSupportsTestVectors"), no(has("DeviceSupportsTestTwice"))})},
        {"Secure(variant) & Test Once/Twice", all({variant("secure"), has("DeviceSupportsTestVectors"), has("DeviceSupportsTestTwice")})},
        {"Secure(variant) & Test", all({variant("secure"), has("DeviceSupportsTestVectors"), no(has("DeviceSupportsTestTwice"))})},
        {"Test on the Program tab (not readable)", all({has("DeviceSupportsProgram"), has("DeviceSupportsTestVectors"), no(has("DeviceSupportsRead"))})},
        {"Verify Once/Twice & Test", all({has("DeviceSupportsVerifyTwice"), has("DeviceSupportsTestVectors")})},
        {"Verify & Test Once/Twice", all({value("VerifySupport", 1), no(has("DeviceSupportsVerifyTwice")), has("DeviceSupportsTestVectors"), has("DeviceSupportsTestTwice")})},
        {"Decrypt & Read", all({has("DeviceSupportsRead"), has("DeviceSupportsEncrypt")})},
        {"Compare, Decrypt & Compare, Sum", all({has("EncryptCompareKind"), has("DeviceSupportsEncrypt"), has("ProgramTabFlag59")})},
        {"Verify-tab Secure", all({has("DeviceSupportsTestAndSecure"), no(variant("secure"))})},
        {"Verify-tab Test Once & Secure", all({has("DeviceSupportsTestAndSecure"), has("DeviceSupportsTestTwice")})},
        {"all eight device checks, Continuity removed", all({has("DeviceSupportsContinuity"), has("DeviceSupportsAutoContinuity"), has("DeviceSupportsIdCheck"), has("DeviceSupportsAutoSelection")})},
        {"auto continuity and ID, Continuity kept", all({has("DeviceSupportsAutoContinuity"), has("DeviceSupportsIdCheck"), no(has("DeviceSupportsAutoSelection"))})},
        {"continuity only", all({has("DeviceSupportsContinuity"), no(has("DeviceSupportsIdCheck"))})},
        {"STAPL device with STAPL serialization", QStringLiteral("d.name LIKE 'STAPL%' AND ") + all({has("DeviceIsVexal"), has("DeviceSupportsStaplSerialization")})},
        {"Flash variant", QStringLiteral("EXISTS (SELECT 1 FROM device_variant v WHERE v.device = d.name AND v.name = 'Flash')")},
        {"P_Check and Vexal_ChkSum variants", QStringLiteral("(SELECT count(*) FROM device_variant v WHERE v.device = d.name AND v.name IN ('P_Check', 'Vexal_ChkSum')) = 2")},
        {"an E-FIELD extra command", QStringLiteral("EXISTS (SELECT 1 FROM device_variant v WHERE v.device = d.name AND v.kind = 'extra' AND v.name = 'E-FIELD')")},
        {"EXTRA_CMDS with CMD_NOCHIP", QStringLiteral("EXISTS (SELECT 1 FROM device_config c WHERE c.device = d.name AND c.key = 'EXTRA_CMDS' AND c.value LIKE '%CMD_NOCHIP%')")},
        {"custom actions with REQ, OPT and REC", QStringLiteral("(SELECT count(DISTINCT kind) FROM custom_procedure p WHERE p.device = d.name) = 3")},
        {"a custom action without optional procedures", QStringLiteral("EXISTS (SELECT 1 FROM custom_action a WHERE a.device = d.name AND NOT EXISTS (SELECT 1 FROM custom_procedure p WHERE p.device = a.device AND p.action = a.position AND p.kind <> 'REQ'))")},
        {"a custom action with more options than 17 rows", QStringLiteral("EXISTS (SELECT 1 FROM custom_procedure p WHERE p.device = d.name AND p.kind <> 'REQ' GROUP BY p.action HAVING count(*) > 17)")},
        {"a default buffer value", QStringLiteral("EXISTS (SELECT 1 FROM algorithm_parameter p WHERE p.device = d.name AND p.name = 'DEFAULT_BUFFER_VALUE')")},
        {"a virgin value ending in 0", QStringLiteral("EXISTS (SELECT 1 FROM device_config c WHERE c.device = d.name AND c.key = 'algcfg.virgin' AND c.value LIKE '%0')")},
    };
    for (const auto& c : cases) {
        const QStringList devices = db.Rows(QStringLiteral("SELECT name FROM device d WHERE ") + c.condition);
        EXPECT_FALSE(devices.isEmpty()) << c.what;
    }
    for (const char* pseudo : {"Corvane Diagnostics", "Vexal Diagnostics"})
        EXPECT_EQ(db.Number(QStringLiteral("SELECT count(*) FROM device WHERE name = '%1'").arg(QLatin1String(pseudo))), 1) << pseudo;
}

// A list of ten thousand devices for start-up and chooser measurements: the
// engine loads it and finds a copied device with its template's details.
TEST_F(AlgorithmDatabaseTest, GeneratorFillsTheListUpToTheNumberAsked)
{
    const QString out = tempPath(QStringLiteral("large.db"));
    const GeneratorRun r = Generate(QStringList{QStringLiteral("--devices"), QStringLiteral("10000"), out} + Sources());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QString copy;
    {
        const Db db(out);
        EXPECT_EQ(db.Number(QStringLiteral("SELECT count(*) FROM device")), 10000);
        copy = db.Rows(QStringLiteral("SELECT name FROM device WHERE name LIKE 'SL18F4550-%' ORDER BY name DESC")).value(0);
        ASSERT_FALSE(copy.isEmpty());
    }

    ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
    QXPgmrControl engine;
    engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    qputenv("TARVO_ENGINE_DB", out.toUtf8());
    const qint32 result = engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db"));
    qunsetenv("TARVO_ENGINE_DB");
    ASSERT_EQ(result, 0);
    QString name = copy.toLower();
    ASSERT_EQ(engine.SelectDeviceByName(name, false), 0);
    EXPECT_EQ(name, copy);
    EXPECT_EQ(engine.SecureVariantCount(), 2);
    EXPECT_EQ(engine.CustomActionList(), QStringLiteral("@Calibrate:REQ|Read OSCCAL:OPT|Trim Low|Trim Mid|Trim High:REC|Write OSCCAL"));
    EXPECT_TRUE(engine.DeviceSupportsEncrypt());
}

// A source the generator cannot take fails the build with a message naming
// the device, and leaves no database (an older one stays as it was).
TEST_F(AlgorithmDatabaseTest, GeneratorRefusesBadSourcesAndLeavesNoDatabase)
{
    const QStringList base = Sources().mid(0, 4); // schema, meta, capabilities, models
    ASSERT_EQ(base.size(), 4);
    const struct { const char* what; const char* sql; const char* message; } cases[] = {
        {"an unknown capability",
         "INSERT INTO device (name, manufacturer, package, device_type, size, supports) "
         "VALUES ('BAD1', 'M', 'P', 'T', 1, 'DeviceSupportsProgram DeviceSupportsTeleport');",
         "BAD1: unknown capability \"DeviceSupportsTeleport\""},
        {"a number capability without its number",
         "INSERT INTO device (name, manufacturer, package, device_type, size, supports) VALUES ('BAD2', 'M', 'P', 'T', 1, 'VerifySupport');",
         "BAD2: VerifySupport needs a value"},
        {"a variant of a device that does not exist",
         "INSERT INTO device_variant (device, kind, position, name) VALUES ('NOWHERE', 'secure', 1, 'Lock');",
         "FOREIGN KEY constraint failed"},
        {"a name the custom-action list cannot carry",
         "INSERT INTO device (name, manufacturer, package, device_type, size) VALUES ('A:B', 'M', 'P', 'T', 1);",
         "CHECK constraint failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString bad = tempPath(QStringLiteral("bad.sql"));
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.sql);
        f.close();
        const QString out = tempPath(QStringLiteral("out.db"));
        QFile::remove(out);
        {
            QFile older(out);
            ASSERT_TRUE(older.open(QIODevice::WriteOnly));
            older.write("older");
        }
        const GeneratorRun r = Generate(QStringList{out} + base + QStringList{bad});
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
        QFile older(out);
        ASSERT_TRUE(older.open(QIODevice::ReadOnly));
        EXPECT_EQ(older.readAll(), QByteArray("older"));
        EXPECT_FALSE(QFile::exists(out + QStringLiteral(".tmp")));
    }
}

} // namespace
