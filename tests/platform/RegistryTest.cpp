#include "ChildRole.h"

#include "platform/Registry.h"
#include "platform/RegistryHive.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QFile>
#include <QProcess>
#include <QStringDecoder>
#include <QSysInfo>

#include <chrono>
#include <csignal>
#include <memory>
#include <thread>
#include <vector>
#include <cstdio>
#include <unistd.h>

using namespace reg;

namespace {

QByteArray Sz(const QString& text) { return text.toUtf8() + '\0'; }

// Child roles of the tests below.
//   "registry-set-and-kill": writes HKCU\Software\Child "Killed" and is
//   killed at once.
//   "registry-kill-at" <step>: writes "Step" = "new" and is killed at that
//   save step.
//   "registry-writer" <prefix> <count>: prints READY, waits for a line on
//   stdin, then writes <prefix>0.. one call each.
const ChildRole kSetAndKillRole("registry-set-and-kill", [](const QStringList&) {
    HKEY key = 0;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), &key) != ERROR_SUCCESS
        || RegSetValueEx(key, QStringLiteral("Killed"), REG_SZ, Sz(QStringLiteral("written"))) != ERROR_SUCCESS)
        return 1;
    raise(SIGKILL);
    return 0;
});
const ChildRole kKillAtRole("registry-kill-at", [](const QStringList& args) {
    const int killStep = args.value(0).toInt();
    SetSaveStepHook([killStep](SaveStep step) {
        if (int(step) == killStep)
            raise(SIGKILL);
        return true;
    });
    HKEY key = 0;
    RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), &key);
    RegSetValueEx(key, QStringLiteral("Step"), REG_SZ, Sz(QStringLiteral("new")));
    return 0;
});
const ChildRole kWriterRole("registry-writer", [](const QStringList& args) {
    // Start together with the other writer: say so, wait for the word.
    std::printf("READY\n");
    std::fflush(stdout);
    char go[8] = {};
    if (!std::fgets(go, sizeof go, stdin))
        return 3;
    for (int i = 0; i < args.value(1).toInt(); ++i) {
        HKEY key = 0;
        if (RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Shared"), &key) != ERROR_SUCCESS
            || RegSetValueEx(key, args.value(0) + QString::number(i), REG_DWORD, QByteArray::fromHex("01000000"))
                   != ERROR_SUCCESS
            || RegCloseKey(key) != ERROR_SUCCESS)
            return 1;
    }
    return 0;
});

class RegistryTest : public TarvoTest
{
protected:
    void TearDown() override
    {
        SetSaveStepHook(nullptr);
        SetCorruptHiveReporter(nullptr);
        TarvoTest::TearDown();
    }

    QString hkcuFile() const { return registryRoot() + "/HKCU.reg"; }

    static QByteArray FileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static long Set(HKEY root, const QString& path, const QString& name, ValueType type, const QByteArray& data)
    {
        HKEY key = 0;
        long rc = RegCreateKeyEx(root, path, &key);
        if (rc == ERROR_SUCCESS)
            rc = RegSetValueEx(key, name, type, data);
        RegCloseKey(key);
        return rc;
    }
    // The value's data, or "<error n>".
    static QByteArray Get(HKEY root, const QString& path, const QString& name, ValueType* type = nullptr)
    {
        HKEY key = 0;
        long rc = RegOpenKeyEx(root, path, &key);
        QByteArray data;
        if (rc == ERROR_SUCCESS)
            rc = RegQueryValueEx(key, name, type, &data);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? data : "<error " + QByteArray::number(qlonglong(rc)) + ">";
    }

    // Points the registry at a copy of the hive files, so what is read next
    // comes from parsing the file, not from this process's cache.
    void readFromCopy()
    {
        const QString copy = tempPath(QStringLiteral("copy%1").arg(++m_copies));
        QDir().mkpath(copy);
        for (const QString& name : QDir(registryRoot()).entryList({QStringLiteral("*.reg")}, QDir::Files))
            QFile::copy(registryRoot() + '/' + name, copy + '/' + name);
        qputenv("TARVO_REGISTRY_DIR", copy.toUtf8());
    }

    // Runs this program as a child in the given role.
    ProcessResult runChild(const QString& role, const QStringList& args = {})
    {
        return RunChildRole(childEnvironment(), role, args);
    }

private:
    int m_copies = 0;
};

TEST_F(RegistryTest, EveryTypeSurvivesTheFileWithItsExactBytes)
{
    struct Case
    {
        const char* name;
        ValueType type;
        QByteArray data;
    };
    const QList<Case> cases = {
        {"Plain", REG_SZ, Sz(QStringLiteral("Tarvo station"))},
        {"Awkward", REG_SZ, Sz(QStringLiteral("quote \" back \\ tab\t line\r\n bell\x07 ü € 𝄞"))},
        {"Empty text", REG_SZ, QByteArray(1, '\0')},
        {"Inner NUL", REG_SZ, QByteArray("a\0b\0", 4)},
        {"No NUL", REG_SZ, QByteArray("abc")},
        {"Not UTF-8", REG_SZ, QByteArray("\xff\xfe\0", 3)},
        {"Nothing", REG_SZ, QByteArray()},
        {"Expand", REG_EXPAND_SZ, Sz(QStringLiteral("%HOME%/logs"))},
        {"Multi", REG_MULTI_SZ, QByteArray("one\0\0three\0\0", 12)},
        {"Multi empty", REG_MULTI_SZ, QByteArray("\0\0", 2)},
        {"Multi torn", REG_MULTI_SZ, QByteArray("one\0", 4)},
        {"Dword", REG_DWORD, QByteArray::fromHex("00010000")},
        {"Big endian", REG_DWORD_BIG_ENDIAN, QByteArray::fromHex("00000100")},
        {"Short dword", REG_DWORD, QByteArray::fromHex("0102")},
        {"Binary", REG_BINARY, QByteArray::fromHex("00017f80ff")},
        {"Empty binary", REG_BINARY, QByteArray()},
        {"None", REG_NONE, QByteArray::fromHex("2a")},
        {"Qword", ValueType(11), QByteArray::fromHex("0102030405060708")},
        {"", REG_SZ, Sz(QStringLiteral("the key's default value"))},
        {"Name \"with\" \\ and \n", REG_DWORD, QByteArray::fromHex("ffffffff")},
    };
    for (const Case& c : cases)
        ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Types"), QString::fromUtf8(c.name), c.type, c.data),
                  ERROR_SUCCESS) << c.name;
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QString(), QStringLiteral("At the root"), REG_SZ, Sz("root")), ERROR_SUCCESS);

    readFromCopy();
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QString(), QStringLiteral("At the root")), Sz("root"));
    for (const Case& c : cases) {
        ValueType type = REG_NONE;
        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Types"), QString::fromUtf8(c.name), &type), c.data)
            << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }

    // The file is text a person can read.
    const QByteArray text = FileBytes(hkcuFile());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(text);
    EXPECT_FALSE(utf8.hasError());
    for (const char* line : {"[Software\\Types]\n", "\"Plain\"=sz:\"Tarvo station\"\n",
                             "\"Expand\"=expand_sz:\"%HOME%/logs\"\n", "\"Multi\"=multi_sz:\"one\",\"\",\"three\"\n",
                             "\"Dword\"=dword:00000100\n", "\"Big endian\"=dword_be:00000100\n",
                             "\"Binary\"=hex:00,01,7f,80,ff\n", "\"No NUL\"=hex(1):61,62,63\n",
                             "\"Not UTF-8\"=hex(1):ff,fe,00\n",
                             "@=sz:\"the key's default value\"\n"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.constData();
}

TEST_F(RegistryTest, AHandWrittenHiveIsRead)
{
    WriteFile(hkcuFile(), "Corvane registry hive 1\r\n"
                          "; written by hand\r\n"
                          "\r\n"
                          "[Software\\Corvane\\Tarvo\\Configuration]\r\n"
                          "\"Quantity\"=sz:\"100\"\r\n"
                          "\"Port\"=dword:3\r\n"
                          "[Software\\Corvane\\Tarvo\\Configuration]\r\n"
                          "\"Quantity\"=sz:\"250\"\r\n"
                          "\"Tab\"=sz:\"a\\tb\\x01\"\r\n");
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo\\Configuration"), QStringLiteral("Quantity")),
              Sz(QStringLiteral("250")));
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo\\Configuration"), QStringLiteral("Port")),
              QByteArray::fromHex("03000000"));
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo\\Configuration"), QStringLiteral("Tab")),
              QByteArray("a\tb\x01", 5));

    // A change made to the file by someone else is seen at the next read.
    WriteFile(hkcuFile(), "Corvane registry hive 1\n[Software\\Corvane\\Tarvo\\Configuration]\n\"Quantity\"=sz:\"7\"\n");
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo\\Configuration"), QStringLiteral("Quantity")),
              Sz(QStringLiteral("7")));
}

// A hive file whose stamp is unchanged is not read again; whatever changes
// it (another process replacing it, an edit in place of the same size, its
// removal) is seen at the next call.
TEST_F(RegistryTest, AnUnchangedHiveIsTakenFromMemoryButEveryChangeIsSeen)
{
    const QString path = QStringLiteral("Software\\Corvane");
    const QString name = QStringLiteral("Quantity");
    // Only a file changed well before it was read is judged by its stamp
    // alone: let this one age, then read it.
    auto ageAndRead = [&](const QByteArray& expected) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), expected);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), expected);
    };
    ASSERT_EQ(Set(HKEY_CURRENT_USER, path, name, REG_SZ, Sz("100")), ERROR_SUCCESS);
    ageAndRead(Sz("100"));

    const ProcessResult child = runChild(QStringLiteral("registry-set-and-kill"));
    ASSERT_TRUE(child.crashed) << child.err.toStdString();
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), QStringLiteral("Killed")), Sz("written"));
    ageAndRead(Sz("100"));

    QByteArray bytes = FileBytes(hkcuFile());
    ASSERT_TRUE(bytes.contains("\"100\""));
    bytes.replace("\"100\"", "\"250\"");
    WriteFile(hkcuFile(), bytes); // the same file, truncated and written again
    EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("250"));
    ageAndRead(Sz("250"));

    // Writing what this process last saw is a write all the same once the
    // file holds something else.
    bytes.replace("\"250\"", "\"100\"");
    WriteFile(hkcuFile(), bytes);
    ASSERT_EQ(Set(HKEY_CURRENT_USER, path, name, REG_SZ, Sz("250")), ERROR_SUCCESS);
    EXPECT_TRUE(FileBytes(hkcuFile()).contains("\"250\""));
    ageAndRead(Sz("250"));
    // And a write that changes nothing leaves the file as it is.
    const QByteArray before = FileBytes(hkcuFile());
    ASSERT_EQ(Set(HKEY_CURRENT_USER, path, name, REG_SZ, Sz("250")), ERROR_SUCCESS);
    bool created = true;
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, &key, &created), ERROR_SUCCESS);
    EXPECT_FALSE(created);
    RegCloseKey(key);
    EXPECT_EQ(FileBytes(hkcuFile()), before);

    ASSERT_TRUE(QFile::remove(hkcuFile()));
    EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), "<error 2>");
}

// In a batch the hive file is looked at once: a change made to it meanwhile
// is read after the batch, and a value written again as it was read counts as
// written before that change. A write that changes something still goes to
// the file as it is, keeping the change, and the reads after it see it too.
TEST_F(RegistryTest, ABatchLooksAtTheFileOnceButWritesKeepEveryChange)
{
    const QString path = QStringLiteral("Software\\Corvane");
    const QString name = QStringLiteral("Quantity");
    ASSERT_EQ(Set(HKEY_CURRENT_USER, path, name, REG_SZ, Sz("100")), ERROR_SUCCESS);
    // Only a file changed well before it was read is judged by its stamp.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto changeInFile = [&](const char* from, const char* to) {
        QByteArray bytes = FileBytes(hkcuFile());
        ASSERT_TRUE(bytes.contains(from));
        WriteFile(hkcuFile(), bytes.replace(from, to));
    };
    {
        Batch batch;
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("100"));
        changeInFile("\"100\"", "\"250\"");
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("100"));
        {
            Batch nested;
        }
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("100"));
    }
    EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("250"));

    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    {
        Batch batch;
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("250"));
        changeInFile("\"250\"", "\"300\"");
        ASSERT_EQ(Set(HKEY_CURRENT_USER, path, name, REG_SZ, Sz("250")), ERROR_SUCCESS);
        EXPECT_TRUE(FileBytes(hkcuFile()).contains("\"300\""));
        ASSERT_EQ(Set(HKEY_CURRENT_USER, path, QStringLiteral("Other"), REG_SZ, Sz("x")), ERROR_SUCCESS);
        EXPECT_TRUE(FileBytes(hkcuFile()).contains("\"300\""));
        EXPECT_TRUE(FileBytes(hkcuFile()).contains("\"x\""));
        EXPECT_EQ(Get(HKEY_CURRENT_USER, path, name), Sz("300"));
    }
}

TEST_F(RegistryTest, NamesIgnoreCaseAndEnumerateInTheOrderFirstWritten)
{
    for (const char* key : {"Zeta", "alpha", "Mid"})
        ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Order\\") + key, QString(), REG_SZ, Sz("x")),
                  ERROR_SUCCESS);
    for (const char* value : {"b", "A", "c"})
        ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Order"), value, REG_SZ, Sz(value)), ERROR_SUCCESS);
    // Written again under another case: same value, first name and place kept.
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\order"), QStringLiteral("a"), REG_SZ, Sz("again")),
              ERROR_SUCCESS);
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Order\\ZETA"), QString(), REG_SZ, Sz("y")), ERROR_SUCCESS);

    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "as written" : "read from the file");
        HKEY key = 0;
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("software\\ORDER"), &key), ERROR_SUCCESS);
        QStringList keys, values;
        QString name;
        for (quint32 i = 0; RegEnumKey(key, i, &name) == ERROR_SUCCESS; ++i)
            keys << name;
        for (quint32 i = 0; RegEnumValue(key, i, &name) == ERROR_SUCCESS; ++i)
            values << name;
        EXPECT_EQ(keys, QStringList({"Zeta", "alpha", "Mid"}));
        EXPECT_EQ(values, QStringList({"b", "A", "c"}));
        EXPECT_EQ(RegEnumValue(key, 3, &name), ERROR_NO_MORE_ITEMS);
        quint32 subKeys = 0, valueCount = 0, longestName = 0, longestData = 0;
        EXPECT_EQ(RegQueryInfoKey(key, &subKeys, nullptr, &valueCount, &longestName, &longestData), ERROR_SUCCESS);
        EXPECT_EQ(subKeys, 3u);
        EXPECT_EQ(valueCount, 3u);
        EXPECT_EQ(longestData, 6u); // "again" and its NUL
        EXPECT_EQ(Get(key, QString(), QStringLiteral("A")), Sz("again"));
        EXPECT_EQ(Get(key, QStringLiteral("zeta"), QString()), Sz("y"));
        RegCloseKey(key);
        readFromCopy();
    }
}

TEST_F(RegistryTest, DeletingFollowsTheWindowsRules)
{
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Del\\Child"), QStringLiteral("v"), REG_SZ, Sz("1")),
              ERROR_SUCCESS);
    HKEY child = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Del\\Child"), &child), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Del")), ERROR_ACCESS_DENIED); // has a subkey
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Del\\Missing")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QString()), ERROR_ACCESS_DENIED);      // the hive's root
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, QString()), ERROR_ACCESS_DENIED);      // HKCR's root
    EXPECT_EQ(RegDeleteValue(child, QStringLiteral("missing")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(child, QStringLiteral("V")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(child, QStringLiteral("v")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("software\\del\\child")), ERROR_SUCCESS);

    // The handle's key is gone.
    QByteArray data;
    EXPECT_EQ(RegQueryValueEx(child, QStringLiteral("v"), nullptr, &data), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(child, QStringLiteral("v"), REG_SZ, Sz("2")), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Del")), ERROR_SUCCESS);
    readFromCopy();
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Del"), &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
}

TEST_F(RegistryTest, HandlesAreCheckedAndPredefinedOnesNeedNoOpening)
{
    // HKCR is HKCU\Software\Classes, created by its first write.
    QString name;
    EXPECT_EQ(RegEnumKey(HKEY_CLASSES_ROOT, 0, &name), ERROR_NO_MORE_ITEMS);
    ASSERT_EQ(Set(HKEY_CLASSES_ROOT, QStringLiteral("QXPGMRLib.QXPgmr"), QString(), REG_SZ, Sz("engine")),
              ERROR_SUCCESS);
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Classes\\QXPGMRLib.QXPgmr"), QString()), Sz("engine"));
    EXPECT_EQ(RegSetValueEx(HKEY_CLASSES_ROOT, QStringLiteral("direct"), REG_SZ, Sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Classes"), QStringLiteral("direct")), Sz("1"));

    // Closing a predefined handle does nothing.
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(Get(HKEY_CLASSES_ROOT, QStringLiteral("QXPGMRLib.QXPgmr"), QString()), Sz("engine"));

    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, QStringLiteral("QXPGMRLib.QXPgmr"), &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    QByteArray data;
    EXPECT_EQ(RegQueryValueEx(key, QString(), nullptr, &data), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueEx(HKEY(0x1234567), QStringLiteral("v"), REG_SZ, Sz("1")), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_USERS, QString(), &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Missing"), &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Bad\x01Name"), &key), ERROR_INVALID_PARAMETER);

    bool created = false;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\New"), &key, &created), ERROR_SUCCESS);
    EXPECT_TRUE(created);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("software\\NEW"), &key, &created), ERROR_SUCCESS);
    EXPECT_FALSE(created);
    RegCloseKey(key);
}

// Reading a value in one call answers what opening its key, querying it
// and closing the key again answer, for every way a read can end.
TEST_F(RegistryTest, AValueReadInOneCallAnswersAsOpenQueryAndClose)
{
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("Quantity"), REG_SZ,
                  Sz("100")),
              ERROR_SUCCESS);
    ASSERT_EQ(
        Set(HKEY_CURRENT_USER, QString(), QStringLiteral("At the root"), REG_DWORD, QByteArray::fromHex("07000000")),
        ERROR_SUCCESS);
    HKEY corvane = 0, gone = 0, closed = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane"), &corvane), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Gone"), &gone), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Gone")), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software"), &closed), ERROR_SUCCESS);
    RegCloseKey(closed);

    const struct
    {
        const char* what;
        HKEY root;
        QString path, name;
    } cases[] = {
        {"a value", HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("Quantity")},
        {"in other letter case", HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\corvane\\tarvo"),
         QStringLiteral("quantity")},
        {"below an open key", corvane, QStringLiteral("Tarvo"), QStringLiteral("Quantity")},
        {"of the open key itself", corvane, QString(), QStringLiteral("Quantity")},
        {"at the hive's root", HKEY_CURRENT_USER, QString(), QStringLiteral("At the root")},
        {"a missing value", HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("None")},
        {"a missing key", HKEY_CURRENT_USER, QStringLiteral("Software\\Missing"), QStringLiteral("Quantity")},
        {"a root not made yet", HKEY_CLASSES_ROOT, QString(), QString()},
        {"a deleted key", gone, QString(), QStringLiteral("Quantity")},
        {"a closed handle", closed, QString(), QStringLiteral("Quantity")},
        {"an unknown root", HKEY_USERS, QString(), QStringLiteral("Quantity")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ValueType type = REG_NONE, expectedType = REG_NONE;
        const QByteArray expected = Get(c.root, c.path, c.name, &expectedType);
        QByteArray data;
        const long rc = RegGetValue(c.root, c.path, c.name, &type, &data);
        EXPECT_EQ(rc == ERROR_SUCCESS ? data : "<error " + QByteArray::number(qlonglong(rc)) + ">", expected);
        EXPECT_EQ(type, expectedType);
    }
    RegCloseKey(corvane);
    RegCloseKey(gone);
}

TEST_F(RegistryTest, OnlyThisMachineCanBeConnected)
{
    ASSERT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("v"), REG_SZ, Sz("m")),
              ERROR_SUCCESS);
    const QString host = QSysInfo::machineHostName();
    for (const QString& machine : {QString(), host, QStringLiteral("\\\\") + host}) {
        HKEY hive = 0;
        ASSERT_EQ(RegConnectRegistry(machine, HKEY_LOCAL_MACHINE, &hive), ERROR_SUCCESS) << qPrintable(machine);
        EXPECT_EQ(Get(hive, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("v")), Sz("m"));
        EXPECT_EQ(RegCloseKey(hive), ERROR_SUCCESS);
    }
    for (const QString& machine : {QStringLiteral("LAB1"), QStringLiteral("\\\\LAB1")}) {
        HKEY hive = 0;
        EXPECT_EQ(RegConnectRegistry(machine, HKEY_LOCAL_MACHINE, &hive), ERROR_BAD_NETPATH) << qPrintable(machine);
        EXPECT_EQ(hive, 0u);
    }
}

TEST_F(RegistryTest, WithoutARootFolderTheUserHiveIsInTheConfigFolderAndTheMachineHiveIsReadOnly)
{
    qunsetenv("TARVO_REGISTRY_DIR");
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    EXPECT_EQ(HiveFilePath(HKEY_CURRENT_USER), config + "/Corvane/registry/HKCU.reg");
    EXPECT_EQ(HiveFilePath(HKEY_CLASSES_ROOT), config + "/Corvane/registry/HKCU.reg");
    EXPECT_EQ(HiveFilePath(HKEY_LOCAL_MACHINE), "/etc/xdg/Corvane/registry/HKLM.reg");
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Where"), QStringLiteral("v"), REG_SZ, Sz("here")),
              ERROR_SUCCESS);
    EXPECT_TRUE(FileBytes(config + "/Corvane/registry/HKCU.reg").contains("\"v\"=sz:\"here\""));
    EXPECT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("v"), REG_SZ, Sz("x")),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo")), ERROR_ACCESS_DENIED);

    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(HiveFilePath(HKEY_CURRENT_USER), QDir::homePath() + "/.config/Corvane/registry/HKCU.reg");
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
}

TEST_F(RegistryTest, AFailedSaveLeavesTheOldContent)
{
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Save"), QStringLiteral("v"), REG_SZ, Sz("old")),
              ERROR_SUCCESS);
    const QByteArray before = FileBytes(hkcuFile());
    for (const SaveStep failAt : {SaveStep::HalfWritten, SaveStep::Written}) {
        SetSaveStepHook([failAt](SaveStep step) { return step != failAt; });
        EXPECT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Save"), QStringLiteral("v"), REG_SZ, Sz("new")),
                  ERROR_CANTWRITE);
        EXPECT_EQ(FileBytes(hkcuFile()), before);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Save"), QStringLiteral("v")), Sz("old"));
    }
    SetSaveStepHook(nullptr);
    EXPECT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Save"), QStringLiteral("v"), REG_SZ, Sz("new")),
              ERROR_SUCCESS);
    readFromCopy();
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Save"), QStringLiteral("v")), Sz("new"));
}

TEST_F(RegistryTest, AValueIsInTheFileWhenTheWriterIsKilledRightAfter)
{
    const ProcessResult child = runChild(QStringLiteral("registry-set-and-kill"));
    ASSERT_TRUE(child.crashed) << child.err.toStdString();
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), QStringLiteral("Killed")), Sz("written"));
}

TEST_F(RegistryTest, AWriterKilledDuringASaveLeavesTheOldOrTheNewContentAndNoLock)
{
    struct Case
    {
        SaveStep step;
        const char* expected;
    };
    for (const Case& c : {Case{SaveStep::HalfWritten, "old"}, Case{SaveStep::Written, "old"},
                          Case{SaveStep::Replaced, "new"}}) {
        SCOPED_TRACE(int(c.step));
        ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), QStringLiteral("Step"), REG_SZ, Sz("old")),
                  ERROR_SUCCESS);
        const ProcessResult child = runChild(QStringLiteral("registry-kill-at"), {QString::number(int(c.step))});
        ASSERT_TRUE(child.crashed) << child.err.toStdString();
        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), QStringLiteral("Step")), Sz(c.expected));
        // The dead writer's lock does not stand in the way.
        EXPECT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Child"), QStringLiteral("After"), REG_SZ, Sz("1")),
                  ERROR_SUCCESS);
    }
}

TEST_F(RegistryTest, TwoProcessesWritingOneHiveBothKeepTheirValues)
{
    constexpr int count = 150;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* prefix : {"first", "second"}) {
        auto writer = std::make_unique<QProcess>();
        StartChildRole(*writer, childEnvironment(), QStringLiteral("registry-writer"),
                       {QString::fromLatin1(prefix), QString::number(count)});
        writers.push_back(std::move(writer));
    }
    for (const auto& writer : writers) {
        QByteArray line;
        while (line != "READY\n") {
            while (!writer->canReadLine())
                ASSERT_TRUE(writer->waitForReadyRead(30000)) << writer->readAllStandardError().toStdString();
            line = writer->readLine();
        }
    }
    for (const auto& writer : writers)
        writer->write("GO\n");
    for (const auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(120000));
        EXPECT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
    }
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Shared"), &key), ERROR_SUCCESS);
    quint32 values = 0;
    EXPECT_EQ(RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(values, 2u * count);
    for (const char* prefix : {"first", "second"}) {
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(Get(key, QString(), prefix + QString::number(i)), QByteArray::fromHex("01000000")) << prefix << i;
    }
    RegCloseKey(key);
}

TEST_F(RegistryTest, ADamagedHiveIsSetAsideAndReportedOnce)
{
    const QList<QByteArray> damaged = {
        QByteArray(),                                                    // empty: a torn write elsewhere
        QByteArray("\x00\x13\xff\xfe binary", 12),                       // not text
        "[Software\\Corvane]\n\"v\"=sz:\"x\"\n",                          // no first line
        "Corvane registry hive 1\n\"v\"=sz:\"x\"\n",                      // a value outside a key
        "Corvane registry hive 1\n[Software]\n\"v\"=float:1.5\n",         // unknown type
        "Corvane registry hive 1\n[Software]\n\"v\"=sz:\"unterminated\n", // torn text
        "Corvane registry hive 1\n[Software]\n\"v\"=hex:0g\n",            // bad hex
        "Corvane registry hive 1\n[Software\\\\Twice]\n",                 // empty key name
        // nested far deeper than keys may be (read whole, its tree would end
        // the process when it is freed)
        "Corvane registry hive 1\n[" + QByteArray("k\\").repeated(200000) + "k]\n\"v\"=sz:\"x\"\n",
    };
    for (const QByteArray& content : damaged) {
        SCOPED_TRACE(content.toStdString());
        QDir(registryRoot()).removeRecursively();
        QDir().mkpath(registryRoot());
        WriteFile(hkcuFile(), content);
        QStringList reports;
        SetCorruptHiveReporter([&reports](const QString& message) { reports << message; });

        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v")),
                  "<error " + QByteArray::number(ERROR_FILE_NOT_FOUND) + ">");
        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v")),
                  "<error " + QByteArray::number(ERROR_FILE_NOT_FOUND) + ">");
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports.at(0).contains(hkcuFile())) << reports.at(0).toStdString();

        const QStringList aside = QDir(registryRoot()).entryList({QStringLiteral("HKCU.reg.corrupt-*")});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(FileBytes(registryRoot() + '/' + aside.at(0)), content);
        EXPECT_TRUE(reports.at(0).contains(aside.at(0)));

        // The empty hive that takes its place works and leaves the damaged file be.
        EXPECT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v"), REG_SZ, Sz("fresh")),
                  ERROR_SUCCESS);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v")), Sz("fresh"));
        EXPECT_EQ(FileBytes(registryRoot() + '/' + aside.at(0)), content);
        EXPECT_EQ(reports.size(), 1);
    }
}

TEST_F(RegistryTest, ADamagedHiveFoundByAWriterIsSetAsideBeforeTheWrite)
{
    WriteFile(hkcuFile(), "not a hive");
    int reports = 0;
    // The reporter may use the registry itself (the log finds its folder there).
    SetCorruptHiveReporter([&reports](const QString&) {
        ++reports;
        Get(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo"), QStringLiteral("Log"));
    });
    EXPECT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v"), REG_SZ, Sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(reports, 1);
    const QStringList aside = QDir(registryRoot()).entryList({QStringLiteral("HKCU.reg.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(FileBytes(registryRoot() + '/' + aside.at(0)), "not a hive");
}

TEST_F(RegistryTest, ReportsMadeBeforeAReporterIsInstalledAreHandedToIt)
{
    WriteFile(hkcuFile(), "not a hive");
    EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v")),
              "<error " + QByteArray::number(ERROR_FILE_NOT_FOUND) + ">");
    QStringList reports;
    SetCorruptHiveReporter([&reports](const QString& message) { reports << message; });
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.at(0).contains(".corrupt-")) << reports.at(0).toStdString();
    // Handed over once.
    SetCorruptHiveReporter([&reports](const QString& message) { reports << message; });
    EXPECT_EQ(reports.size(), 1);

    // Removing the reporter forgets what was kept.
    SetCorruptHiveReporter(nullptr);
    readFromCopy();
    WriteFile(qEnvironmentVariable("TARVO_REGISTRY_DIR") + "/HKCU.reg", "not a hive either");
    Get(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("v"));
    SetCorruptHiveReporter(nullptr);
    SetCorruptHiveReporter([&reports](const QString& message) { reports << message; });
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(RegistryTest, KeysNestNoDeeperThanAHiveCanBeRead)
{
    const QString deepest = QStringList(qsizetype(hive::kMaxKeyDepth), QStringLiteral("k")).join('\\');
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, deepest, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, QStringLiteral("v"), REG_SZ, Sz("deep")), ERROR_SUCCESS);
    HKEY deeper = 0;
    EXPECT_EQ(RegCreateKeyEx(key, QStringLiteral("one-more"), &deeper), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(deeper, HKEY(0));
    RegCloseKey(key);
    readFromCopy();
    EXPECT_EQ(Get(HKEY_CURRENT_USER, deepest, QStringLiteral("v")), Sz("deep"));
}

TEST_F(RegistryTest, HandlesNeverReachAPredefinedRoot)
{
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\A"), QStringLiteral("v"), REG_SZ, Sz("a")),
              ERROR_SUCCESS);
    HKEY kept = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\A"), &kept), ERROR_SUCCESS);
    // The counter near its end: the next handles wrap around below the roots
    // and pass over the one still open.
    SetNextHandleForTests(HKEY_CLASSES_ROOT - 8);
    QSet<HKEY> handles{kept};
    for (int i = 0; i < 6; ++i) {
        HKEY key = 0;
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\A"), &key), ERROR_SUCCESS);
        EXPECT_LT(key, HKEY_CLASSES_ROOT);
        EXPECT_FALSE(handles.contains(key)) << key;
        handles.insert(key);
        QByteArray data;
        EXPECT_EQ(RegQueryValueEx(key, QStringLiteral("v"), nullptr, &data), ERROR_SUCCESS);
        EXPECT_EQ(data, Sz("a"));
        if (i == 0) {
            SetNextHandleForTests(kept); // the one still open is passed over
        }
    }
    for (HKEY key : handles)
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ThreadsShareTheHandleTableAndTheHive)
{
    // The registration worker writes HKCR while the GUI thread works on HKCU.
    constexpr int count = 100;
    std::thread worker([] {
        for (int i = 0; i < count; ++i)
            Set(HKEY_CLASSES_ROOT, QStringLiteral("Class%1").arg(i), QString(), REG_SZ, Sz(QStringLiteral("lib%1").arg(i)));
    });
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("Software\\Gui"), QStringLiteral("v%1").arg(i), REG_SZ, Sz("x")),
                  ERROR_SUCCESS);
        Get(HKEY_CLASSES_ROOT, QStringLiteral("Class%1").arg(i / 2), QString());
    }
    worker.join();
    readFromCopy();
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(Get(HKEY_CLASSES_ROOT, QStringLiteral("Class%1").arg(i), QString()), Sz(QStringLiteral("lib%1").arg(i)));
        EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("Software\\Gui"), QStringLiteral("v%1").arg(i)), Sz("x"));
    }
}

} // namespace
