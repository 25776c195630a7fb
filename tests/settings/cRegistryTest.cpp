#include "TestEnv.h"

#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/Registry.h"
#include "settings/cRegistry.h"

#include <QSysInfo>

#include <functional>

namespace {

// The bytes of a literal, NULs written into it included.
template <qsizetype N>
QByteArray B(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

const QString kSection = QStringLiteral("Software\\Corvane\\Test");
constexpr qint32 kHkcu = cRegistry::HKEY_CURRENT_USER;

class cRegistryTest : public TarvoTest
{
protected:
    void TearDown() override
    {
        reg::SetSaveStepHook(nullptr);
        TarvoTest::TearDown();
    }

    static cRegistry At(const QString& valueName, qint32 valueType = cRegistry::REG_SZ, qint32 root = kHkcu,
                        const QString& section = kSection)
    {
        cRegistry registry;
        registry.ClassKey(root);
        registry.SectionKey(section);
        registry.ValueKey(valueName);
        registry.ValueType(valueType);
        return registry;
    }

    // The stored type and bytes, read past the class.
    static std::pair<reg::ValueType, QByteArray> Stored(const QString& valueName, reg::HKEY root = reg::HKEY_CURRENT_USER,
                                                        const QString& section = kSection)
    {
        reg::HKEY key = 0;
        reg::ValueType type = reg::REG_NONE;
        QByteArray data;
        if (reg::RegOpenKeyEx(root, section, &key) == reg::ERROR_SUCCESS)
            reg::RegQueryValueEx(key, valueName, &type, &data);
        reg::RegCloseKey(key);
        return {type, data};
    }

    static void StoreRaw(const QString& valueName, reg::ValueType type, const QByteArray& data)
    {
        reg::HKEY key = 0;
        ASSERT_EQ(reg::RegCreateKeyEx(reg::HKEY_CURRENT_USER, kSection, &key), reg::ERROR_SUCCESS);
        ASSERT_EQ(reg::RegSetValueEx(key, valueName, type, data), reg::ERROR_SUCCESS);
        reg::RegCloseKey(key);
    }

    // Runs the action and returns the error it raised (number 0 when none).
    static AutomationError Raised(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const AutomationError& error) {
            return error;
        }
        return AutomationError(0, QString(), QString());
    }

    static QString Source() { return appinfo::ExeName() + QStringLiteral(".cRegistry"); }
};

TEST_F(cRegistryTest, TextWithAPairOfPercentSignsIsStoredAsExpandableAndReadExpanded)
{
    qputenv("TARVO_TEST_EXPAND", "/opt/corvane");
    qunsetenv("TARVO_TEST_UNSET");
    struct Case
    {
        const char* text;
        reg::ValueType stored;
        QString read;
    };
    const QList<Case> cases = {
        {"%PATH%", reg::REG_EXPAND_SZ, qEnvironmentVariable("PATH")},
        {"100%", reg::REG_SZ, "100%"},
        {"%%", reg::REG_SZ, "%%"},
        {"%a", reg::REG_SZ, "%a"},
        {"%a%", reg::REG_EXPAND_SZ, "%a%"},
        {"%TARVO_TEST_EXPAND%/logs at 50%", reg::REG_EXPAND_SZ, "/opt/corvane/logs at 50%"},
        {"%TARVO_TEST_UNSET%%TARVO_TEST_EXPAND%", reg::REG_EXPAND_SZ, "%TARVO_TEST_UNSET%/opt/corvane"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        cRegistry registry = At(QStringLiteral("Text"));
        registry.Value(QString::fromUtf8(c.text));
        EXPECT_EQ(Stored(QStringLiteral("Text")), std::make_pair(c.stored, QByteArray(c.text) + '\0'));
        EXPECT_EQ(registry.ValueType(), cRegistry::REG_SZ); // writing does not change it
        EXPECT_EQ(registry.Value(), QVariant(c.read));
        EXPECT_EQ(registry.ValueType(), qint32(c.stored));
    }
    qunsetenv("TARVO_TEST_EXPAND");
}

TEST_F(cRegistryTest, AStoredValueIsReadByItsType)
{
    struct Case
    {
        const char* name;
        reg::ValueType type;
        QByteArray data;
        QVariant read;
    };
    const QList<Case> cases = {
        {"Text", reg::REG_SZ, B("Tarvo\0"), QStringLiteral("Tarvo")},
        {"Empty", reg::REG_SZ, QByteArray(), QString()},
        {"Multi", reg::REG_MULTI_SZ, QByteArray("a\0bc\0\0", 6), QString::fromUtf8("a\0bc\0", 5)},
        {"Dword", reg::REG_DWORD, QByteArray::fromHex("00010000"), qint32(256)},
        {"Negative", reg::REG_DWORD, QByteArray::fromHex("feffffff"), qint32(-2)},
        {"Big endian", reg::REG_DWORD_BIG_ENDIAN, QByteArray::fromHex("00000100"), qint32(256)},
        {"Binary", reg::REG_BINARY, QByteArray::fromHex("00ff10"), QByteArray::fromHex("00ff10")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreRaw(c.name, c.type, c.data);
        cRegistry registry = At(c.name, cRegistry::REG_SZ);
        const QVariant value = registry.Value();
        EXPECT_EQ(value, c.read);
        EXPECT_EQ(value.typeId(), c.read.typeId());
        EXPECT_EQ(registry.ValueType(), qint32(c.type));
    }
}

TEST_F(cRegistryTest, NothingToReadGivesTheDefaultWithItsOwnTypeAndLeavesValueTypeAlone)
{
    StoreRaw(QStringLiteral("Other"), reg::REG_SZ, B("x\0"));
    const QList<QVariant> defaults = {QVariant(true), QVariant(qint16(-333)), QVariant(qint32(1)),
                                      QVariant(QStringLiteral("255")), QVariant()};
    for (const QVariant& fallback : defaults) {
        for (const QString& section : {kSection, QStringLiteral("Software\\Corvane\\Missing")}) {
            cRegistry registry = At(QStringLiteral("Missing"), cRegistry::REG_DWORD, kHkcu, section);
            registry.Default(fallback);
            const QVariant value = registry.Value();
            EXPECT_EQ(value, fallback);
            EXPECT_EQ(value.typeId(), fallback.typeId());
            EXPECT_EQ(registry.ValueType(), cRegistry::REG_DWORD);
        }
    }
}

TEST_F(cRegistryTest, WritingFollowsValueType)
{
    At(QStringLiteral("Flag")).Value(true);
    EXPECT_EQ(Stored(QStringLiteral("Flag")), std::make_pair(reg::REG_SZ, B("True\0")));
    At(QStringLiteral("Count")).Value(qint32(-5));
    EXPECT_EQ(Stored(QStringLiteral("Count")), std::make_pair(reg::REG_SZ, B("-5\0")));
    At(QStringLiteral("Dword"), cRegistry::REG_DWORD).Value(qint32(256));
    EXPECT_EQ(Stored(QStringLiteral("Dword")), std::make_pair(reg::REG_DWORD, QByteArray::fromHex("00010000")));
    // Stored as a plain DWORD in the machine's order, as the class always did.
    At(QStringLiteral("Big"), cRegistry::REG_DWORD_BIG_ENDIAN).Value(qint16(256));
    EXPECT_EQ(Stored(QStringLiteral("Big")), std::make_pair(reg::REG_DWORD, QByteArray::fromHex("00010000")));
    At(QStringLiteral("Bytes"), cRegistry::REG_BINARY).Value(QByteArray::fromHex("0001ff"));
    EXPECT_EQ(Stored(QStringLiteral("Bytes")), std::make_pair(reg::REG_BINARY, QByteArray::fromHex("0001ff")));

    const QString setText = QStringLiteral("Failed to set registry value Key: '-2147483647',Section: '%1',Key: '%2' to value: '%3'");
    struct Refusal
    {
        const char* name;
        qint32 type;
        QVariant value;
        qint32 number;
        QString text;
    };
    const QList<Refusal> refusals = {
        {"Bytes", cRegistry::REG_BINARY, QStringLiteral("text"), 26001,
         QStringLiteral("Application-defined or object-defined error")},
        {"Dword", cRegistry::REG_DWORD, QStringLiteral("5"), qint32(0x800469A9u),
         setText.arg(kSection, QStringLiteral("Dword"), QStringLiteral("5"))},
        {"Dword", cRegistry::REG_DWORD, 1.5, qint32(0x800469A9u),
         setText.arg(kSection, QStringLiteral("Dword"), QStringLiteral("1.5"))},
        {"Multi", cRegistry::REG_MULTI_SZ, QStringLiteral("a"), qint32(0x800469A9u),
         setText.arg(kSection, QStringLiteral("Multi"), QStringLiteral("a"))},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        const auto before = Stored(r.name);
        cRegistry registry = At(r.name, r.type);
        const AutomationError error = Raised([&] { registry.Value(r.value); });
        EXPECT_EQ(error.Number(), r.number);
        EXPECT_EQ(error.Description(), r.text);
        EXPECT_EQ(error.Source(), Source());
        EXPECT_EQ(Stored(r.name), before);
    }
}

TEST_F(cRegistryTest, AFailedWriteRaisesTheWriteErrorAndAFailedCreateTheClassError)
{
    At(QStringLiteral("Quantity")).Value(QStringLiteral("1"));
    reg::SetSaveStepHook([](reg::SaveStep) { return false; });
    cRegistry registry = At(QStringLiteral("Quantity"));
    AutomationError error = Raised([&] { registry.Value(qint32(5)); });
    EXPECT_EQ(error.Number(), qint32(0x800469A9u));
    EXPECT_EQ(error.Description(), "Failed to set registry value Key: '-2147483647',Section: '" + kSection
                                       + "',Key: 'Quantity' to value: '5'");
    reg::SetSaveStepHook(nullptr);
    EXPECT_EQ(registry.Value(), QVariant(QStringLiteral("1")));

    // Without a test root the machine-wide hive is the system's: not writable.
    qunsetenv("TARVO_REGISTRY_DIR");
    cRegistry machine = At(QStringLiteral("LogComTransactions"), cRegistry::REG_SZ, cRegistry::HKEY_LOCAL_MACHINE,
                           QStringLiteral("Software\\Corvane\\Tarvo"));
    error = Raised([&] { machine.Value(QStringLiteral("1")); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Failed to set registry value Key: '-2147483646',Section: "
                                   "'Software\\Corvane\\Tarvo',Key: 'LogComTransactions' to value: '1'");
    EXPECT_EQ(error.Source(), Source());
    error = Raised([&] { machine.CreateKey(); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Failed to create registry Key: 'Software\\Corvane\\Tarvo");
}

TEST_F(cRegistryTest, DeletingIsStrict)
{
    At(QStringLiteral("Present")).Value(QStringLiteral("x"));
    struct Case
    {
        const char* what;
        QString section;
        QString valueName;
        bool wholeKey;
        QString text;
    };
    const QList<Case> cases = {
        {"missing key", "Software\\Corvane\\Missing", QString(), true,
         "Failed to delete registry Key: '-2147483647',Section: 'Software\\Corvane\\Missing"},
        {"value of a missing key", "Software\\Corvane\\Missing", "Present", false,
         "Failed to open key '-2147483647',Section: 'Software\\Corvane\\Missing' for delete access"},
        {"missing value", kSection, "Absent", false,
         "Failed to delete registry Key: '-2147483647',Section: '" + kSection + "',Key: 'Absent"},
        {"key with a subkey", "Software\\Corvane", QString(), true,
         "Failed to delete registry Key: '-2147483647',Section: 'Software\\Corvane"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cRegistry registry = At(c.valueName, cRegistry::REG_SZ, kHkcu, c.section);
        const AutomationError error =
            Raised([&] { c.wholeKey ? registry.DeleteKey() : registry.DeleteValue(); });
        EXPECT_EQ(error.Number(), 26001);
        EXPECT_EQ(error.Description(), c.text);
        EXPECT_EQ(error.Source(), Source());
    }

    cRegistry registry = At(QStringLiteral("Present"));
    EXPECT_TRUE(registry.DeleteValue());
    EXPECT_EQ(Stored(QStringLiteral("Present")).first, reg::REG_NONE);
    EXPECT_TRUE(registry.KeyExists());
    EXPECT_TRUE(registry.DeleteKey());
    EXPECT_FALSE(registry.KeyExists());
}

TEST_F(cRegistryTest, KeysAreCreatedAndEnumerated)
{
    cRegistry registry = At(QString(), cRegistry::REG_SZ, kHkcu, kSection + "\\Sub");
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_TRUE(registry.CreateKey());
    EXPECT_TRUE(registry.KeyExists());
    for (const char* name : {"Zulu", "alpha", "Mike"})
        At(name).Value(QStringLiteral("v"));

    QStringList names{QStringLiteral("stale")};
    qint32 count = -1;
    cRegistry parent = At(QString());
    EXPECT_TRUE(parent.EnumerateValues(names, count));
    EXPECT_EQ(names, QStringList({"Zulu", "alpha", "Mike"}));
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(parent.EnumerateSections(names, count));
    EXPECT_EQ(names, QStringList({"Sub"}));
    EXPECT_EQ(count, 1);

    cRegistry missing = At(QString(), cRegistry::REG_SZ, kHkcu, QStringLiteral("Software\\Nowhere"));
    EXPECT_TRUE(missing.EnumerateValues(names, count));
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(missing.EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
}

TEST_F(cRegistryTest, ValueExSetsTheLocationAndAnEmptyTextWritesTheDefault)
{
    cRegistry registry;
    registry.ValueEx(kHkcu, kSection, QStringLiteral("Name"), cRegistry::REG_SZ, QStringLiteral("fallback"), QString());
    EXPECT_EQ(Stored(QStringLiteral("Name")).second, B("fallback\0"));
    registry.ValueEx(kHkcu, kSection, QStringLiteral("Name"), cRegistry::REG_SZ, QStringLiteral("fallback"),
                     QStringLiteral("given"));
    EXPECT_EQ(Stored(QStringLiteral("Name")).second, B("given\0"));
    // Only REG_SZ swaps in the default.
    registry.ValueEx(kHkcu, kSection, QStringLiteral("Expand"), cRegistry::REG_EXPAND_SZ, QStringLiteral("fallback"),
                     QString());
    EXPECT_EQ(Stored(QStringLiteral("Expand")).second, B("\0"));

    cRegistry reader;
    EXPECT_EQ(reader.ValueEx(kHkcu, kSection, QStringLiteral("Name"), cRegistry::REG_DWORD, 7), QVariant("given"));
    EXPECT_EQ(reader.ClassKey(), kHkcu);
    EXPECT_EQ(reader.SectionKey(), kSection);
    EXPECT_EQ(reader.ValueKey(), QStringLiteral("Name"));
    EXPECT_EQ(reader.ValueType(), cRegistry::REG_SZ);
    EXPECT_EQ(reader.Default(), QVariant(7));
}

TEST_F(cRegistryTest, OnlyThisMachineIsReached)
{
    struct Case
    {
        QString given;
        QString kept;
    };
    const QList<Case> cases = {
        {"", ""}, {"AB", ""}, {"LAB1", "\\\\LAB1"}, {"\\\\LAB1", "\\\\LAB1"}, {"abc", "\\\\abc"},
    };
    for (const Case& c : cases) {
        cRegistry registry;
        registry.Machine(QStringLiteral("\\\\OLD"));
        registry.Machine(c.given);
        EXPECT_EQ(registry.Machine(), c.kept) << qPrintable(c.given);
    }

    At(QStringLiteral("Here")).Value(QStringLiteral("local"));
    cRegistry remote = At(QStringLiteral("Here"));
    remote.Machine(QStringLiteral("LAB1"));
    remote.Default(QStringLiteral("unreachable"));
    EXPECT_EQ(remote.Value(), QVariant(QStringLiteral("unreachable")));
    const AutomationError error = Raised([&] { remote.Value(QStringLiteral("x")); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(Stored(QStringLiteral("Here")).second, B("local\0"));

    cRegistry self = At(QStringLiteral("Here"));
    self.Machine(QSysInfo::machineHostName());
    if (QSysInfo::machineHostName().size() >= 3) {
        EXPECT_EQ(self.Value(), QVariant(QStringLiteral("local")));
    }
}

TEST_F(cRegistryTest, FileAssociationsAreWrittenForBothRoots)
{
    cRegistry registry;
    ASSERT_TRUE(registry.CreateEXEAssociation(QStringLiteral(" /usr/bin/tarvo "), QStringLiteral("Tarvo.Job"),
                                              QStringLiteral("Tarvo job"), QStringLiteral("qx"), QString(), true,
                                              QString(), false, QString(), true, QString(), 0));
    EXPECT_EQ(registry.ClassKey(), cRegistry::HKEY_LOCAL_MACHINE);
    const QList<std::pair<QString, QString>> expected = {
        {".qx", "Tarvo.Job"},
        {"Tarvo.Job", "Tarvo job"},
        {"Tarvo.Job\\shell\\open", "&Open"},
        {"Tarvo.Job\\shell\\open\\command", "\"/usr/bin/tarvo\" \"%1\""},
        {"Tarvo.Job\\shell\\print", "&Print"},
        {"Tarvo.Job\\shell\\print\\command", "\"/usr/bin/tarvo\" /p \"%1\""},
        {"Tarvo.Job\\shell\\add", "&Install qx"},
        {"Tarvo.Job\\shell\\add\\command", "\"/usr/bin/tarvo\" /a \"%1\""},
        {"Tarvo.Job\\DefaultIcon", "\"/usr/bin/tarvo\",0"},
    };
    for (const auto& [key, text] : expected) {
        EXPECT_EQ(Stored(QString(), reg::HKEY_CLASSES_ROOT, key).second, text.toUtf8() + '\0') << qPrintable(key);
        EXPECT_EQ(Stored(QString(), reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + key).second, text.toUtf8() + '\0')
            << qPrintable(key);
    }
    cRegistry check = At(QString(), cRegistry::REG_SZ, cRegistry::HKEY_CLASSES_ROOT, QStringLiteral("Tarvo.Job\\shell\\new"));
    EXPECT_FALSE(check.KeyExists());

    ASSERT_TRUE(registry.CreateAdditionalEXEAssociations(
        QStringLiteral("Tarvo.Job"), {QStringLiteral("edit"), QStringLiteral("&Edit"), QStringLiteral("tarvo -e \"%1\"")}));
    EXPECT_EQ(Stored(QString(), reg::HKEY_CLASSES_ROOT, QStringLiteral("Tarvo.Job\\shell\\edit")).second, B("&Edit\0"));
    EXPECT_EQ(Stored(QString(), reg::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\Tarvo.Job\\shell\\edit\\command")).second,
              B("tarvo -e \"%1\"\0"));

    AutomationError error = Raised([&] {
        registry.CreateAdditionalEXEAssociations(QStringLiteral("Tarvo.Job"), {QStringLiteral("a"), QStringLiteral("b")});
    });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(),
              "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    error = Raised([&] { registry.CreateAdditionalEXEAssociations(QStringLiteral("Nobody.Class"), {}); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Error - attempt to create additional associations before class defined.");
}

} // namespace
