// A station whose algorithm database does not load tells the operator why,
// stops quietly, and writes no setting at exit.
#include "TestEnv.h"

#include <QFile>
#include <sqlite3.h>

namespace {

struct LoadFailureCase
{
    const char* name;
    const char* title;
    const char* text;
};

void PrintTo(const LoadFailureCase& c, std::ostream* os) { *os << c.name; }

class StartupFailureTest : public TarvoTest, public ::testing::WithParamInterface<LoadFailureCase>
{
protected:
    // A copy of the shipped database that claims another layout.
    QString otherVersionDatabase()
    {
        const QString path = tempPath("other.db");
        EXPECT_TRUE(QFile::copy(BinDir() + "/qxalg.db", path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "UPDATE meta SET value = 99 WHERE key = 'format'", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        return path;
    }
};

TEST_P(StartupFailureTest, ShowsItsBoxAndWritesNothing)
{
    const LoadFailureCase& c = GetParam();
    QProcessEnvironment env = childEnvironment();
    const QString log = tempPath("ui.log");
    env.insert("TARVO_UI_SCRIPT", "/dev/null");
    env.insert("TARVO_UI_LOG", log);
    env.insert("TARVO_TEST_CLOSE_AFTER_MS", "0");
    if (QLatin1String(c.name) == "OtherVersion")
        env.insert("TARVO_ENGINE_DB", otherVersionDatabase());
    else if (QLatin1String(c.name) == "EngineFault")
        env.insert("TARVO_ENGINE_FAULTS", "load=126");
    else
        env.insert("TARVO_ENGINE_DB", tempPath("missing.db"));

    const ProcessResult r = RunProgram(BinDir() + "/tarvo", {}, env, 30000);
    // A failed start-up is no success: a wrapper script can tell.
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();

    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].section('\t', 0, 1), QString::fromLatin1(c.title) + '\t' + QString::fromLatin1(c.text));

    // Registration wrote the companions' classes; no setting was written.
    QFile hive(registryRoot() + "/HKCU.reg");
    ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QString::fromUtf8(hive.readAll()).contains("Software\\Corvane\\Tarvo", Qt::CaseInsensitive));
}

INSTANTIATE_TEST_SUITE_P(
    LoadResults, StartupFailureTest,
    ::testing::Values(
        LoadFailureCase{"OtherVersion", "Version Mismatch",
                        "QXEng.dll and QXAlg.db versions mismatched (0x71).  Exiting the software, contact QX Technical "
                        "Support."},
        LoadFailureCase{"EngineFault", "QXPgmr.ocx error",
                        "QXPgmr.ocx internal error (0x7E).  Exiting the software, contact QX Technical Support."},
        LoadFailureCase{"MissingFile", "Algo Database Error",
                        "Error loading QXAlg.db.  Exiting the software, contact QX Technical Support."}),
    [](const ::testing::TestParamInfo<LoadFailureCase>& info) { return std::string(info.param.name); });

} // namespace
