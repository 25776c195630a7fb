#include "AlgorithmDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

// One prepared statement, reset before each use.
class Query
{
public:
    Query() = default;
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    ~Query() { sqlite3_finalize(m_stmt); }

    bool Prepare(sqlite3* db, const char* sql)
    {
        m_db = db;
        return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) == SQLITE_OK;
    }
    // Starts a new run with the one text parameter most queries take.
    Query& Start(const QString& text = {})
    {
        sqlite3_reset(m_stmt);
        m_failed = false;
        if (sqlite3_bind_parameter_count(m_stmt) > 0) {
            const QByteArray utf8 = text.toUtf8();
            sqlite3_bind_text(m_stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        return *this;
    }
    // True while there is a row; a failed step counts as the end and is
    // remembered (Failed).
    bool Next()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        m_failed = rc != SQLITE_DONE;
        return false;
    }
    bool Failed() const { return m_failed; }
    // Ends a run early, so the statement holds no read open.
    void Done() { sqlite3_reset(m_stmt); }
    QString Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
    }
    qint64 Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString Error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_failed = false;
};

} // namespace

// The statements of a device lookup, prepared once per open database (which
// also proves that the tables they read are there).
struct AlgorithmDatabase::Statements
{
    Query device, capabilities, variants, actions, config, parameters;

    bool Prepare(sqlite3* db)
    {
        return device.Prepare(db,
                              "SELECT name, manufacturer, package, device_type, size, data_width "
                              "FROM device WHERE name = ?1")
            && capabilities.Prepare(db, "SELECT capability, value FROM device_capability WHERE device = ?1")
            && variants.Prepare(db,
                                "SELECT kind, name, concurrent FROM device_variant WHERE device = ?1 "
                                "ORDER BY kind, position")
            && actions.Prepare(db,
                               "SELECT a.position, a.name, p.kind, p.alternatives FROM custom_action a "
                               "LEFT JOIN custom_procedure p ON p.device = a.device AND p.action = a.position "
                               "WHERE a.device = ?1 ORDER BY a.position, p.position")
            && config.Prepare(db, "SELECT key, value FROM device_config WHERE device = ?1")
            && parameters.Prepare(db, "SELECT name, value FROM algorithm_parameter WHERE device = ?1");
    }
};

AlgorithmDatabase::AlgorithmDatabase() = default;

AlgorithmDatabase::~AlgorithmDatabase()
{
    Close();
}

void AlgorithmDatabase::Close()
{
    m_statements.reset();
    // close_v2: a query still open (a failed load closes from inside one)
    // ends the connection when it is finalized instead of leaking it.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_revision = 0;
    m_models = {};
    m_capabilities.clear();
    m_index.reset();
}

void AlgorithmDatabase::Swap(AlgorithmDatabase& other) noexcept
{
    std::swap(m_db, other.m_db);
    std::swap(m_statements, other.m_statements);
    std::swap(m_error, other.m_error);
    std::swap(m_revision, other.m_revision);
    std::swap(m_models, other.m_models);
    std::swap(m_capabilities, other.m_capabilities);
    std::swap(m_index, other.m_index);
}

qint32 AlgorithmDatabase::Fail(qint32 result, const QString& text)
{
    Close();
    m_error = text;
    return result;
}

qint32 AlgorithmDatabase::Open(const QString& path)
{
    Close();
    m_error.clear();
    if (!QFileInfo(path).isFile())
        return Fail(FileNotFound, QStringLiteral("%1 does not exist").arg(path));
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return Fail(Unreadable, QString::fromUtf8(sqlite3_errmsg(m_db)));

    // A file that SQLite does not read, or that lacks these tables, is not
    // an algorithm database: the first query tells.
    Query meta;
    if (!meta.Prepare(m_db, "SELECT key, value FROM meta WHERE key IN ('format', 'revision')"))
        return Fail(Unreadable, meta.Error());
    QString format;
    for (meta.Start(); meta.Next();) {
        if (meta.Text(0) == QLatin1String("format"))
            format = meta.Text(1);
        else
            m_revision = qint32(meta.Int(1));
    }
    if (meta.Failed() || format.isEmpty())
        return Fail(Unreadable, meta.Failed() ? meta.Error() : QStringLiteral("no layout version"));
    if (format != QString::number(Layout))
        return Fail(VersionMismatch, QStringLiteral("layout %1, this engine reads %2").arg(format).arg(Layout));

    Query models;
    if (!models.Prepare(m_db,
                        "SELECT model_index, name, site_count, sites_per_group, concurrent, usb, test_only, "
                        "caption_part, caption_number FROM programmer_model ORDER BY model_index"))
        return Fail(Unreadable, models.Error());
    QVector<ProgrammerModel> list;
    for (models.Start(); models.Next();) {
        ProgrammerModel m;
        m.index = int(models.Int(0));
        m.name = models.Text(1);
        m.siteCount = int(models.Int(2));
        m.sitesPerGroup = int(models.Int(3));
        m.concurrent = models.Int(4) != 0;
        m.usb = models.Int(5) != 0;
        m.testOnly = models.Int(6) != 0;
        m.captionPart = models.Text(7);
        m.captionNumber = int(models.Int(8));
        // The list is read by position: a gap would shift every later model.
        if (m.index != list.size() || m.siteCount < 1 || m.sitesPerGroup < 1)
            return Fail(Unreadable, QStringLiteral("programmer model %1 is out of place").arg(m.index));
        list << m;
    }
    if (models.Failed() || list.isEmpty())
        return Fail(Unreadable, models.Failed() ? models.Error() : QStringLiteral("no programmer models"));
    m_models = ProgrammerModels(std::move(list));

    Query capabilities;
    if (!capabilities.Prepare(m_db, "SELECT name FROM capability ORDER BY name"))
        return Fail(Unreadable, capabilities.Error());
    for (capabilities.Start(); capabilities.Next();)
        m_capabilities << capabilities.Text(0);
    if (capabilities.Failed())
        return Fail(Unreadable, capabilities.Error());

    // Custom actions are numbered from 0; a negative number is a damaged
    // file, whatever its schema's checks say.
    Query badActions;
    if (!badActions.Prepare(m_db,
                            "SELECT 1 FROM custom_action WHERE position < 0 UNION ALL "
                            "SELECT 1 FROM custom_procedure WHERE action < 0 OR position < 0 LIMIT 1"))
        return Fail(Unreadable, badActions.Error());
    if (badActions.Start().Next() || badActions.Failed())
        return Fail(Unreadable,
                    badActions.Failed() ? badActions.Error() : QStringLiteral("a custom action is out of place"));
    badActions.Done();

    auto statements = std::make_unique<Statements>();
    if (!statements->Prepare(m_db))
        return Fail(Unreadable, QString::fromUtf8(sqlite3_errmsg(m_db)));
    m_statements = std::move(statements);
    return Loaded;
}

std::optional<DeviceRecord> AlgorithmDatabase::FindDevice(const QString& name) const
{
    if (!m_statements || name.isEmpty())
        return std::nullopt;
    Statements& s = *m_statements;

    DeviceRecord d;
    if (!s.device.Start(name).Next()) {
        s.device.Done();
        return std::nullopt;
    }
    d.summary = {s.device.Text(0), s.device.Text(1), s.device.Text(2), s.device.Text(3)};
    d.size = s.device.Int(4);
    d.dataWidth = int(s.device.Int(5));
    // Later queries key on the stored spelling of the name.
    const QString key = d.summary.name;

    for (s.capabilities.Start(key); s.capabilities.Next();)
        d.capabilities.insert(s.capabilities.Text(0), qint32(s.capabilities.Int(1)));
    for (s.variants.Start(key); s.variants.Next();) {
        const QString kind = s.variants.Text(0);
        const QString variant = s.variants.Text(1);
        if (kind == QLatin1String("program"))
            d.programVariants << DeviceRecord::Variant{variant, s.variants.Int(2) != 0};
        else if (kind == QLatin1String("secure"))
            d.secureVariants << variant;
        else
            d.extraCommands << variant;
    }
    std::optional<qint64> action;
    for (s.actions.Start(key); s.actions.Next();) {
        if (s.actions.Int(0) != action) {
            action = s.actions.Int(0);
            d.customActions << DeviceRecord::CustomAction{s.actions.Text(1), {}};
        }
        if (!s.actions.Text(2).isEmpty())
            d.customActions.last().procedures << DeviceRecord::Procedure{s.actions.Text(2), s.actions.Text(3)};
    }
    for (s.config.Start(key); s.config.Next();)
        d.config.insert(s.config.Text(0), s.config.Text(1));
    for (s.parameters.Start(key); s.parameters.Next();)
        d.parameters.insert(s.parameters.Text(0), s.parameters.Text(1));

    s.device.Done();
    // A damaged page shows as a failed step: no half-read device.
    for (const Query* q : {&s.device, &s.capabilities, &s.variants, &s.actions, &s.config, &s.parameters}) {
        if (q->Failed())
            return std::nullopt;
    }
    return d;
}

const QVector<DeviceSummary>& AlgorithmDatabase::DeviceIndex() const
{
    if (!m_index) {
        m_index.emplace();
        Query all;
        if (m_db && all.Prepare(m_db, "SELECT name, manufacturer, package, device_type FROM device ORDER BY name")) {
            for (all.Start(); all.Next();)
                m_index->append({all.Text(0), all.Text(1), all.Text(2), all.Text(3)});
        }
    }
    return *m_index;
}
