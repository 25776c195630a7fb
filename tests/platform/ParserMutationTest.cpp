// Damaged and random inputs for the two readers of outside text at start:
// the hive files of the registry and the command line. A fixed seed and a
// bounded count keep the run short and the same in every build; none of the
// inputs may crash or hang, a damaged hive is always set aside whole and
// never half-read.
#include "TestEnv.h"

#include "platform/AppInfo.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "shell/StartUp.h"

#include <QDir>
#include <QFile>
#include <random>

using namespace reg;

namespace {

constexpr unsigned kSeed = 20240611;

QByteArray Sz(const char* text) { return QByteArray(text) + '\0'; }

// A hive with every value type, nested keys and names that need quoting.
QByteArray GoodHive()
{
    hive::Key root;
    hive::Key* corvane = root.addSubkey("Software")->addSubkey("Corvane");
    hive::Key* tarvo = corvane->addSubkey("Tarvo");
    tarvo->addSubkey("Configuration")->setValue("bBeepOn", REG_SZ, Sz("True"));
    tarvo->addSubkey("Device")->setValue("NumDevices", REG_SZ, Sz("12"));
    tarvo->setValue("quoted \"name\" = x", REG_EXPAND_SZ, Sz("%HOME%\\logs"));
    tarvo->setValue("bin", REG_BINARY, QByteArray::fromHex("00ff10203040"));
    tarvo->setValue("dw", REG_DWORD, QByteArray::fromHex("01000000"));
    tarvo->setValue("be", REG_DWORD_BIG_ENDIAN, QByteArray::fromHex("00000100"));
    tarvo->setValue("multi", REG_MULTI_SZ, QByteArray("a\0b c\0\0", 7));
    corvane->addSubkey("Classes")->addSubkey("QXPGMRLib.QXPgmr")->setValue("", REG_SZ, Sz("/opt/QXPgmr.ocx"));
    return hive::Serialize(root);
}

QByteArray Mutate(QByteArray text, std::mt19937& rng)
{
    static const QByteArray kPieces[] = {"\"", "[", "]", "\\", "\n", "\r\n", "=", ":", "sz:", "hex:", "dword:",
                                         "@", ";", "\\\\", "[" + QByteArray("a\\").repeated(600) + "a]\n",
                                         QByteArray("\0", 1), "\xff\xfe", "\xc3"};
    const int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = text.isEmpty() ? 0 : qsizetype(rng() % quint32(text.size()));
        switch (rng() % 5) {
        case 0: // flip a byte
            if (!text.isEmpty())
                text[at] = char(rng() % 256);
            break;
        case 1: // insert a piece of the syntax
            text.insert(at, kPieces[rng() % std::size(kPieces)]);
            break;
        case 2: // cut a range (a torn write)
            text.remove(at, qsizetype(rng() % 40));
            break;
        case 3: // repeat a range
            text.insert(at, text.mid(at, qsizetype(rng() % 60)));
            break;
        case 4: // end early
            text.truncate(at);
            break;
        }
    }
    return text;
}

class ParserMutationTest : public TarvoTest
{
protected:
    void TearDown() override
    {
        SetCorruptHiveReporter(nullptr);
        TarvoTest::TearDown();
    }
};

TEST_F(ParserMutationTest, DamagedHivesAreSetAsideWholeOrReadWhole)
{
    const QByteArray good = GoodHive();
    ASSERT_NE(hive::Parse(good, nullptr), nullptr);
    std::mt19937 rng(kSeed);
    int setAside = 0;
    for (int round = 0; round < 400; ++round) {
        const QByteArray damaged = Mutate(good, rng);
        SCOPED_TRACE(round);
        const QString folder = tempPath(QStringLiteral("hive%1").arg(round));
        QDir().mkpath(folder);
        qputenv("TARVO_REGISTRY_DIR", folder.toUtf8());
        QFile file(folder + "/HKCU.reg");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
        file.close();

        QString error;
        const std::unique_ptr<hive::Key> parsed = hive::Parse(damaged, &error);
        HKEY key = 0;
        const long opened = RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Corvane\\Tarvo\\Device", &key);
        QByteArray data;
        const long read = opened == ERROR_SUCCESS ? RegQueryValueEx(key, "NumDevices", nullptr, &data) : opened;
        RegCloseKey(key);
        const QStringList aside = QDir(folder).entryList({"HKCU.reg.corrupt-*"});

        if (parsed) {
            // Read whole: the file stays, and what it holds reads back.
            EXPECT_TRUE(aside.isEmpty());
            const hive::Key* device = parsed->find({"Software", "Corvane", "Tarvo", "Device"});
            const hive::Value* value = device ? device->value(u"NumDevices") : nullptr;
            EXPECT_EQ(read == ERROR_SUCCESS, value != nullptr);
            if (value) {
                EXPECT_EQ(data, value->data);
            }
            // What is read writes back to a text that reads the same.
            const std::unique_ptr<hive::Key> again = hive::Parse(hive::Serialize(*parsed), nullptr);
            ASSERT_NE(again, nullptr);
            EXPECT_EQ(hive::Serialize(*again), hive::Serialize(*parsed));
        } else {
            // Set aside whole, and nothing of it read.
            ++setAside;
            ASSERT_EQ(aside.size(), 1) << error.toStdString();
            QFile moved(folder + "/" + aside.at(0));
            ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
            EXPECT_EQ(moved.readAll(), damaged);
            EXPECT_NE(read, ERROR_SUCCESS);
            EXPECT_FALSE(QFile::exists(folder + "/HKCU.reg"));
        }
    }
    // The mutations reach both sides.
    EXPECT_GT(setAside, 50);
    EXPECT_LT(setAside, 400);
}

TEST_F(ParserMutationTest, RandomCommandLinesKeepEveryArgumentOneToken)
{
    static const QString kWords[] = {"-SK", "-device", "-prog_file", "-log", "-?", "-Vexal", "-GenerateDeviceList",
                                     "KS24C256", "12\" reel.log", "a b", "\"", "\"\"", "", " ", "x\"y z\"",
                                     "/home/op/My Jobs/a.qx", "-Embedding", "\t", "é ü"};
    std::mt19937 rng(kSeed);
    for (int round = 0; round < 2000; ++round) {
        QStringList arguments{"tarvo"};
        const int count = int(rng() % 12);
        for (int i = 0; i < count; ++i) {
            QString word = kWords[rng() % std::size(kWords)];
            if (rng() % 4 == 0)
                word.insert(int(rng() % quint32(word.size() + 1)), kWords[rng() % std::size(kWords)]);
            arguments << word;
        }
        const QString raw = appinfo::RawCommandLine(arguments);
        SCOPED_TRACE(raw.toStdString());
        ReadCommandLine(raw);
        ASSERT_EQ(gCmdLineTokenCount, count);
        QStringList expected = arguments.mid(1);
        for (QString& argument : expected)
            argument.remove('"');
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(gCmdLineTokens.at(i), expected.at(i)) << i;
        // An option's value is the argument after it, never a later one.
        const qsizetype device = expected.indexOf("-device");
        if (device >= 0) {
            EXPECT_EQ(gCmdLineDevice, expected.value(device + 1));
        }
    }

    // Any text at all, quotes unbalanced included, gives at most the table's
    // tokens, each without a quote.
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = int(rng() % 400);
        for (int i = 0; i < length; ++i) {
            const quint32 r = rng() % 10;
            text += r < 3 ? QChar(' ') : r < 5 ? QChar('"') : QChar(char16_t(0x21 + rng() % 0x5e));
        }
        ReadCommandLine(text);
        ASSERT_LE(gCmdLineTokenCount, kMaxCmdLineTokens);
        for (int i = 0; i < gCmdLineTokenCount; ++i)
            ASSERT_FALSE(gCmdLineTokens.at(i).contains('"'));
    }
    ClearCommandLineFiles();
    gCmdLineLogFile.clear();
}

} // namespace
