// qxalg_gen: builds the simulated engine's algorithm database from its
// readable sources.
//
//   qxalg_gen [--devices N] OUT.db SOURCE.sql...
//
// The sources run in the order given, in one transaction, with the foreign
// keys enforced. Then each device's "supports" words are checked against the
// capability table and spread over device_capability. With --devices N the
// list is filled up to N devices with numbered copies of the shipped ones
// (for start-up and chooser measurements). The database is written beside OUT
// and renamed over it only when everything succeeded, so a failed build never
// leaves a half-made database behind.
//
// Plain C++ and the SQLite C library: the build runs it before anything else.

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Failure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

class Database
{
public:
    explicit Database(const std::string& path)
    {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            throw Failure("cannot create " + path + ": " + sqlite3_errmsg(m_db));
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const std::string& sql, const std::string& where)
    {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message ? message : sqlite3_errmsg(m_db);
            sqlite3_free(message);
            throw Failure(where + ": " + text);
        }
    }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

class Statement
{
public:
    Statement(Database& db, const char* sql) : m_db(db.handle())
    {
        if (sqlite3_prepare_v2(m_db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw Failure(std::string("cannot prepare: ") + sqlite3_errmsg(m_db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, const std::string& text)
    {
        sqlite3_bind_text(m_stmt, i, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int i, long long value)
    {
        sqlite3_bind_int64(m_stmt, i, value);
        return *this;
    }
    // True while a row is there.
    bool step(const std::string& where)
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw Failure(where + ": " + sqlite3_errmsg(m_db));
        return false;
    }
    void run(const std::string& where)
    {
        step(where);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::string text(int column) const
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return p ? p : "";
    }
    long long integer(int column) const { return sqlite3_column_int64(m_stmt, column); }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "supports" words: a capability name (True, -1) or "name=value".
void SpreadCapabilities(Database& db)
{
    std::map<std::string, std::string> kinds;
    for (Statement s(db, "SELECT name, kind FROM capability"); s.step("capability");)
        kinds[s.text(0)] = s.text(1);

    Statement insert(db, "INSERT INTO device_capability (device, capability, value) VALUES (?1, ?2, ?3)");
    for (Statement s(db, "SELECT name, supports FROM device"); s.step("device");) {
        const std::string device = s.text(0);
        std::istringstream words(s.text(1));
        for (std::string word; words >> word;) {
            const auto eq = word.find('=');
            const std::string name = word.substr(0, eq);
            const auto kind = kinds.find(name);
            if (kind == kinds.end())
                throw Failure("device " + device + ": unknown capability \"" + name + "\"");
            long long value = -1;
            if (eq != std::string::npos) {
                char* end = nullptr;
                const std::string number = word.substr(eq + 1);
                value = std::strtoll(number.c_str(), &end, 0);
                if (number.empty() || *end != '\0')
                    throw Failure("device " + device + ": \"" + word + "\" is not a number");
            } else if (kind->second == "Integer") {
                throw Failure("device " + device + ": " + name + " needs a value (" + name + "=n)");
            }
            insert.bind(1, device).bind(2, name).bind(3, value).run("device " + device + ", " + name);
        }
    }
}

// Numbered copies of the shipped devices (the diagnostics pseudo-devices
// excepted) until the list holds `wanted` devices.
void FillUp(Database& db, long long wanted)
{
    std::vector<std::string> templates;
    for (Statement s(db, "SELECT name FROM device WHERE device_type <> 'Diagnostics' ORDER BY name"); s.step("device");)
        templates.push_back(s.text(0));
    Statement countStmt(db, "SELECT count(*) FROM device");
    countStmt.step("count");
    long long count = countStmt.integer(0);
    if (templates.empty() || count >= wanted)
        return;

    const char* copies[] = {
        "INSERT INTO device (name, manufacturer, package, device_type, size, data_width, supports) "
        "SELECT ?1, manufacturer, package, device_type, size, data_width, supports FROM device WHERE name = ?2",
        "INSERT INTO device_capability SELECT ?1, capability, value FROM device_capability WHERE device = ?2",
        "INSERT INTO device_variant SELECT ?1, kind, position, name, concurrent FROM device_variant WHERE device = ?2",
        "INSERT INTO custom_action SELECT ?1, position, name FROM custom_action WHERE device = ?2",
        "INSERT INTO custom_procedure SELECT ?1, action, position, kind, alternatives FROM custom_procedure WHERE device = ?2",
        "INSERT INTO device_config SELECT ?1, key, value FROM device_config WHERE device = ?2",
        "INSERT INTO algorithm_parameter SELECT ?1, name, value FROM algorithm_parameter WHERE device = ?2",
    };
    std::vector<std::unique_ptr<Statement>> statements;
    for (const char* sql : copies)
        statements.push_back(std::make_unique<Statement>(db, sql));

    const int digits = int(std::to_string(wanted).size());
    for (long long i = 1; count < wanted; ++i, ++count) {
        const std::string& from = templates[size_t(i - 1) % templates.size()];
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "-%0*lld", digits, i);
        const std::string name = from + suffix;
        for (auto& s : statements)
            s->bind(1, name).bind(2, from).run("copy of " + from);
    }
}

int Usage()
{
    std::fprintf(stderr, "usage: qxalg_gen [--devices N] OUT.db SOURCE.sql...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    long long devices = 0;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--devices") {
        char* end = nullptr;
        devices = std::strtoll(args[1].c_str(), &end, 10);
        if (*end != '\0' || devices < 0)
            return Usage();
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2)
        return Usage();

    const std::filesystem::path out = args[0];
    const std::filesystem::path temp = out.string() + ".tmp";
    try {
        std::filesystem::remove(temp);
        {
            Database db(temp.string());
            // Nothing to recover if the build stops half way: the file is
            // thrown away.
            db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA foreign_keys = ON; BEGIN", "set-up");
            for (size_t i = 1; i < args.size(); ++i)
                db.exec(ReadFile(args[i]), args[i]);
            SpreadCapabilities(db);
            if (devices > 0)
                FillUp(db, devices);
            db.exec("COMMIT", "commit");
        }
        std::filesystem::rename(temp, out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qxalg_gen: %s\n", e.what());
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return 1;
    }
    return 0;
}
