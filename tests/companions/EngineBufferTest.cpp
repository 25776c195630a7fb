// What the program relies on from the engine's data buffer and its file
// members, through the members alone: loads and saves in every readable
// format with ranges, word addressing, clearing and a buffer address; a
// refused or damaged file changes nothing; a failed save keeps the old file;
// the clear, the size, the fill byte and the checksums.

#include "CompanionFixture.h"

#include "engine/QXPgmrControl.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <random>
#include <signal.h>
#include <sys/resource.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray RandomBytes(qint64 count, std::mt19937& rng)
{
    QByteArray bytes(count, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(rng());
    return bytes;
}

// Counts the events the engine raises, by name.
class EventCounter : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList&) override { names << eventName; }
    QStringList names;
};

class EngineBufferTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        engine.Control()->SetEventSink(&events);
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    }

    void Select(const QString& device)
    {
        QString name = device;
        ASSERT_EQ(engine.SelectDeviceByName(name, false), 0) << device.toStdString();
    }

    qint32 Load(const QString& file, qint32 type, bool clear, bool autoLow, quint32 low, quint32 high, quint32 at)
    {
        QString path = file;
        return engine.LoadDataFileRange(path, type, clear, autoLow, qint32(low), qint32(high), qint32(at));
    }
    // Bytes placed into the buffer through a Binary load.
    void Put(quint32 at, const QByteArray& bytes, bool clear = false)
    {
        const QString path = tempPath(QStringLiteral("put.bin"));
        WriteFile(path, bytes);
        ASSERT_EQ(Load(path, 0, clear, false, 0, 0xFFFFFFFF, at), 0)
            << engine.ErrorMessageText(qint32(0)).toStdString();
    }
    // The buffer's bytes [at, at + count), read through a Binary save.
    QByteArray Region(quint32 at, quint32 count)
    {
        const bool words = engine.WordAddressing();
        engine.WordAddressing(false);
        QString path = tempPath(QStringLiteral("region.bin"));
        qint32 low = qint32(at), high = qint32(at + count - 1);
        const qint32 result = engine.SaveDataFileRange(path, qint32(0), false, low, high);
        engine.WordAddressing(words);
        EXPECT_EQ(result, 0) << engine.ErrorMessageText(result).toStdString();
        return ReadFile(path);
    }

    QXPgmrControl engine;
    EventCounter events;
};

// Each row saves a run of random data from the buffer to a file, clears the
// buffer to a background and loads the file back with the row's options; the
// bytes land where the options put them, and nothing else changes (or,
// with clear, everything else holds the fill byte). Addresses above 64 KiB
// and above 16 MiB take the formats' extended records.
TEST_F(EngineBufferTest, RoundTripsThroughTheFileMembers)
{
    Select(QStringLiteral("NV25Q512")); // 64 MiB
    std::mt19937 rng(12);
    const qint32 kBinary = 0, kIntel = 1, kMotorola = 3;
    const struct
    {
        const char* what;
        qint32 type;
        bool words;
        quint32 dataAt, length; // in buffer bytes
        bool clear, autoLow;
        qint32 trim;    // file addresses left out at each end of the load range
        quint32 loadTo; // buffer address of the load
    } cases[] = {
        {"binary to another address", kBinary, false, 0x1FF80, 0x300, true, false, 0, 0x40},
        {"binary, a narrower range kept over old bytes", kBinary, false, 0x100, 0x200, false, false, 0x10, 0x3000},
        {"Intel across 64 KiB, back in place", kIntel, false, 0xFF80, 0x400, true, false, 0, 0xFF80},
        {"Intel above 16 MiB, auto-low to address 0", kIntel, false, 0x1000100, 0x200, true, true, 0, 0},
        {"Intel in words, narrower, over old bytes", kIntel, true, 0x20000, 0x400, false, false, 8, 0x500},
        {"S-records across 64 KiB", kMotorola, false, 0xFFF0, 0x100, true, false, 0, 0x10000},
        {"S-records above 16 MiB in words, auto-low", kMotorola, true, 0x2000000, 0x300, false, true, 0, 0x80},
        {"S-records, narrower, cleared", kMotorola, false, 0x123456, 0x80, true, false, 0x20, 0x0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const quint32 unit = c.words && c.type != kBinary ? 2 : 1;
        const QByteArray data = RandomBytes(c.length, rng);
        engine.DefaultBufferByte(qint32(0x00));
        ASSERT_FALSE(engine.DataFileValue313());
        Put(c.dataAt, data);

        // Saved as [dataAt, end) in the file's units.
        engine.WordAddressing(c.words);
        QString file = tempPath(QStringLiteral("pattern.dat"));
        qint32 low = qint32(c.dataAt / unit), high = qint32((c.dataAt + c.length) / unit - 1);
        ASSERT_EQ(engine.SaveDataFileRange(file, c.type, false, low, high), 0);
        // A Binary file counts its addresses from its first byte.
        const quint32 fileLow = c.type == kBinary ? 0 : c.dataAt / unit;
        const quint32 fileHigh = fileLow + c.length / unit - 1;

        // A background of old bytes, and a fill byte other than both.
        const QByteArray old(0x4000, char(0x5A));
        Put(c.loadTo >= 0x1000 ? c.loadTo - 0x1000 : 0, old, true);
        engine.DefaultBufferByte(qint32(0x11));
        const quint32 loadLow = fileLow + quint32(c.trim);
        const quint32 loadHigh = fileHigh - quint32(c.trim);
        events.names.clear();
        ASSERT_EQ(Load(file, c.type, c.clear, c.autoLow, c.autoLow ? 0 : loadLow, loadHigh, c.loadTo), 0)
            << engine.ErrorMessageText(qint32(0)).toStdString();
        // The load's settings, then the load itself.
        EXPECT_EQ(events.names,
                  (QStringList{QStringLiteral("UpdateJobSetting20"), QStringLiteral("UpdateJobSetting33"),
                               QStringLiteral("UpdateJobSetting76"), QStringLiteral("DataFileLoaded")}));
        EXPECT_EQ(engine.DataFileTypeCode(), c.type);

        const quint32 taken = (loadHigh - loadLow + 1) * unit;
        const QByteArray expected = data.mid(qsizetype(c.trim) * unit, taken);
        EXPECT_EQ(Region(c.loadTo, taken), expected);
        // Just before and after the landed bytes: old bytes or the fill.
        const char around = c.clear ? char(0x11) : char(0x5A);
        if (c.loadTo > 0) {
            EXPECT_EQ(Region(c.loadTo - 1, 1), QByteArray(1, around));
        }
        EXPECT_EQ(Region(c.loadTo + taken, 1), QByteArray(1, around));
        engine.WordAddressing(false);
    }
}

// A file that cannot be loaded answers a non-zero code whose text names the
// file and what is wrong (the line, where there is one); the buffer, its type
// code and checksum stay as they were, and DataFileLoaded is not raised.
TEST_F(EngineBufferTest, ARefusedLoadChangesNothing)
{
    Select(QStringLiteral("AM27C512")); // 64 KiB
    std::mt19937 rng(7);
    Put(0, RandomBytes(0x10000, rng), true);
    QString good = tempPath(QStringLiteral("good.hex"));
    ASSERT_EQ(engine.SaveDataFile(good, qint32(1)), 0);
    QString goodType = good;
    ASSERT_EQ(engine.LoadDataFileAs(goodType, qint32(1)), 0);
    const QByteArray before = Region(0, 0x10000);
    const QString checksum = engine.ChecksumText();

    const struct
    {
        const char* what;
        QByteArray content; // empty: no file at all
        qint32 type;
        const char* says;
    } cases[] = {
        {"a bad record checksum", ":0400000001020304F1\n:00000001FF\n", 1, "line 1"},
        {"an unknown record type", ":0100000007AA4E\n:00000001FF\n", 1, "line 1"},
        {"data past the buffer's end", ":020000040001F9\n:0400000001020304F2\n:00000001FF\n", 1, "line 2"},
        {"no end record", ":0400000001020304F2\n", 1, "end"},
        {"a wrong S5 count", "S107000001020304EE\nS5030005F7\nS9030000FC\n", 3, "line 2"},
        {"a JEDEC file with a bad transmission checksum",
         "\x02*QF4*F0*L0 0101*\x03"
         "1234\n",
         2, "checksum"},
        {"a missing file", QByteArray(), 1, "no such file"},
        {"a format this engine does not read", "anything\n", 4, "POF"},
        {"a code outside the list", "anything\n", 42, "42"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = tempPath(c.content.isEmpty() ? QStringLiteral("missing.dat") : QStringLiteral("bad.dat"));
        QFile::remove(path);
        if (!c.content.isEmpty())
            WriteFile(path, c.content);
        events.names.clear();
        const qint32 result = Load(path, c.type, true, false, 0, 0xFFFFFFFF, 0);
        ASSERT_NE(result, 0);
        const QString text = engine.ErrorMessageText(result);
        EXPECT_TRUE(text.contains(path)) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.says), Qt::CaseInsensitive)) << text.toStdString();
        EXPECT_TRUE(events.names.isEmpty());
        EXPECT_EQ(engine.DataFileTypeCode(), 1);
        EXPECT_EQ(engine.ChecksumText(), checksum);
        EXPECT_EQ(Region(0, 0x10000), before);
    }
    // Every format of the list this engine does not read is refused by
    // name, loads and saves alike.
    const QString file = tempPath(QStringLiteral("any.dat"));
    WriteFile(file, ":0400000001020304F2\n:00000001FF\n");
    for (qint32 code = 4; code < 18; ++code) {
        qint32 c = code;
        const QString name = engine.FileTypeNameAt(c);
        const qint32 loaded = Load(file, code, true, false, 0, 0xFFFFFFFF, 0);
        ASSERT_NE(loaded, 0) << code;
        EXPECT_TRUE(engine.ErrorMessageText(loaded).contains(name)) << engine.ErrorMessageText(loaded).toStdString();
        QString out = tempPath(QStringLiteral("out.dat"));
        const qint32 saved = engine.SaveDataFile(out, code);
        ASSERT_NE(saved, 0) << code;
        EXPECT_TRUE(engine.ErrorMessageText(saved).contains(name)) << engine.ErrorMessageText(saved).toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << code;
    }
    EXPECT_EQ(engine.ChecksumText(), checksum);
    EXPECT_EQ(Region(0, 0x10000), before);
    // A run result keeps its own words.
    EXPECT_EQ(engine.ErrorMessageText(qint32(200)), QStringLiteral("Operation aborted"));
}

// Without a device there is no buffer: loads and saves are refused, the
// clear answers False, the checksum is that of nothing.
TEST_F(EngineBufferTest, WithoutADeviceThereIsNoBuffer)
{
    EXPECT_EQ(engine.BufferSize(), 0);
    const QString file = tempPath(QStringLiteral("data.bin"));
    WriteFile(file, QByteArray(16, char(1)));
    const qint32 loaded = Load(file, 0, true, false, 0, 0xFFFFFFFF, 0);
    EXPECT_NE(loaded, 0);
    EXPECT_TRUE(engine.ErrorMessageText(loaded).contains(QStringLiteral("no device")))
        << engine.ErrorMessageText(loaded).toStdString();
    QString out = tempPath(QStringLiteral("out.bin"));
    EXPECT_NE(engine.SaveDataFile(out, qint32(0)), 0);
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_FALSE(engine.DataFileValue313());
    EXPECT_EQ(engine.ChecksumText(), QStringLiteral("00000000"));
}

// A save that fails on the way (the file system refuses more bytes) leaves
// the old file as it was, and says so.
TEST_F(EngineBufferTest, AFailedSaveKeepsTheOldFile)
{
    Select(QStringLiteral("KS25Q128")); // 16 MiB
    std::mt19937 rng(3);
    Put(0, RandomBytes(0x100000, rng), true);
    QString path = tempPath(QStringLiteral("kept.hex"));
    const QByteArray old = ":0400000001020304F2\n:00000001FF\n";
    WriteFile(path, old);

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const qint32 result = engine.SaveDataFile(path, qint32(1));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_NE(result, 0);
    EXPECT_TRUE(engine.ErrorMessageText(result).contains(path));
    EXPECT_EQ(ReadFile(path), old);
}

// The clear answers False and raises nothing; the size follows the device
// and a put, keeping the bytes that fit and filling new room; the fill byte
// never rewrites bytes that were put into the buffer, while a buffer that
// holds nothing yet is all fill.
TEST_F(EngineBufferTest, ClearSizeAndFillByte)
{
    Select(QStringLiteral("NV29F040")); // 512 KiB
    EXPECT_EQ(engine.BufferSize(), 0x80000);
    engine.DefaultBufferByte(qint32(0x22));
    EXPECT_EQ(Region(0x7FFFF, 1), QByteArray(1, char(0x22))); // nothing held yet: all fill

    Put(0x10, QByteArray("\x01\x02\x03", 3));
    engine.DefaultBufferByte(qint32(0x33));
    EXPECT_EQ(engine.DefaultBufferByte(), 0x33);
    EXPECT_EQ(Region(0x0F, 5), QByteArray("\x22\x01\x02\x03\x22", 5));

    engine.BufferSize(qint32(0x12));
    EXPECT_EQ(engine.BufferSize(), 0x12);
    engine.BufferSize(qint32(0x20));
    EXPECT_EQ(Region(0x0F, 5), QByteArray("\x22\x01\x02\x33\x33", 5));

    // Another device: what fits stays, the new room is fill.
    Select(QStringLiteral("AM27C512"));
    EXPECT_EQ(engine.BufferSize(), 0x10000);
    EXPECT_EQ(Region(0x10, 2), QByteArray("\x01\x02", 2));
    EXPECT_EQ(Region(0xFFFF, 1), QByteArray(1, char(0x33)));

    events.names.clear();
    EXPECT_FALSE(engine.DataFileValue313());
    EXPECT_TRUE(events.names.isEmpty());
    EXPECT_EQ(Region(0x10, 2), QByteArray("\x33\x33", 2));

    // A device counted in fuses takes a byte per fuse.
    Select(QStringLiteral("GAL22V10"));
    EXPECT_EQ(engine.BufferSize(), 5892);
}

// Checksums from the real bytes: the byte sum or the sum of little-endian
// words, over the buffer (0) or the device (1, the fill byte past the
// buffer's end), and type 2, the two's complement of the buffer's sum.
TEST_F(EngineBufferTest, ChecksumsOfTheRealBytes)
{
    Select(QStringLiteral("AM27C512")); // 64 KiB
    engine.DefaultBufferByte(qint32(0x00));
    Put(0, QByteArray("\x01\x02\x03\x04\xFF", 5), true);
    engine.BufferSize(qint32(5));
    engine.DefaultBufferByte(qint32(0xFF));
    const struct
    {
        qint32 type, method;
        quint32 sum;
    } cases[] = {
        {0, 0, 1 + 2 + 3 + 4 + 0xFF},
        {0, 1, 0x0201 + 0x0403 + 0x00FF},
        {1, 0, 1 + 2 + 3 + 4 + 0xFF + (0x10000 - 5) * 0xFF},
        {1, 1, 0x0201 + 0x0403 + 0xFFFF + ((0x10000 - 6) / 2) * 0xFFFF},
        {2, 0, 0u - (1 + 2 + 3 + 4 + 0xFF)},
        {2, 1, 0u - (0x0201 + 0x0403 + 0x00FF)},
    };
    for (const auto& c : cases) {
        engine.ChecksumType(c.type);
        engine.ChecksumMethod(c.method);
        EXPECT_EQ(engine.ChecksumText(), QStringLiteral("%1").arg(c.sum, 8, 16, QLatin1Char('0')).toUpper())
            << c.type << " " << c.method;
    }
}

// The format list, detection by content, the file's facts and its
// automatic range, and the radix kept as 0 or 1.
TEST_F(EngineBufferTest, FormatsDetectionAndFileFacts)
{
    EXPECT_EQ(engine.FileTypeCount(), 18);
    for (qint32 code = 0; code < 18; ++code) {
        qint32 c = code;
        EXPECT_FALSE(engine.FileTypeNameAt(c).isEmpty()) << code;
        EXPECT_EQ(engine.FileTypeTakesRange(code), code == 0 || code == 1 || code == 3) << code;
    }
    EXPECT_EQ(engine.FileTypeNameAt(qint32(1)), QStringLiteral("Intel Hex"));
    Select(QStringLiteral("AM27C512"));
    EXPECT_TRUE(engine.FileTypeInfoAt(qint32(0)) && engine.FileTypeInfoAt(qint32(1))
                && engine.FileTypeInfoAt(qint32(3)));
    EXPECT_FALSE(engine.FileTypeInfoAt(qint32(2)));
    EXPECT_FALSE(engine.FileTypeInfoAt(qint32(4)));
    Select(QStringLiteral("GAL22V10"));
    EXPECT_TRUE(engine.FileTypeInfoAt(qint32(2)));

    // By content, whatever the name says; the range of the file last
    // detected, in bytes or in words.
    // In words the same file addresses cover half as many of them.
    const struct
    {
        const char* name;
        QByteArray content;
        qint32 type;
        quint32 low, high, highWords;
    } cases[] = {
        {"intel.s19", ":04100000AABBCCDDDE\n:00000001FF\n", 1, 0x1000, 0x1003, 0x1001},
        {"motorola.hex", "S1052000AABB75\nS9030000FC\n", 3, 0x2000, 0x2001, 0x2000},
        {"fuses.bin",
         "\x02*QF8*F0*L0 10101010*C00AA*\x03"
         "0000\n",
         2, 0, 0, 0},
        {"stapl.jed", "NOTE \"CREATOR\" \"x\";\nACTION PROGRAM = DO_PROGRAM;\n", 16, 0, 0, 0},
        {"data.hex", QByteArray("\x00\x01\x02\x03", 4), 0, 0, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString path = tempPath(QString::fromLatin1(c.name));
        WriteFile(path, c.content);
        EXPECT_EQ(engine.DetectFileType(path), c.type);
        EXPECT_EQ(engine.GetFileSize(path), c.content.size());
        EXPECT_EQ(engine.GetFileDate(path, true).date(), QFileInfo(path).lastModified().date());
        if (c.type == 2 || c.type == 16)
            continue;
        engine.WordAddressing(false);
        EXPECT_EQ(quint32(engine.AutoLowestAddress()), c.low);
        qint32 low = -1, high = -1;
        engine.GetAutoAddressRange(low, high);
        EXPECT_EQ(quint32(low), c.low);
        EXPECT_EQ(quint32(high), c.high);
        engine.WordAddressing(true);
        EXPECT_EQ(quint32(engine.AutoLowestAddress()), c.low);
        engine.GetAutoAddressRange(low, high);
        EXPECT_EQ(quint32(high), c.highWords);
        engine.WordAddressing(false);
    }
    EXPECT_EQ(engine.GetFileDate(tempPath(QStringLiteral("none")), true), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(engine.GetFileSize(tempPath(QStringLiteral("none"))), 0);

    for (const qint32 radix : {0, 1, 16, -1}) {
        engine.DisplayRadix(radix);
        EXPECT_EQ(engine.DisplayRadix(), radix != 0 ? 1 : 0) << radix;
    }
}

// A load of the detected format (255) reports the format it found.
TEST_F(EngineBufferTest, ALoadOfTheDetectedFormatHandsItBack)
{
    Select(QStringLiteral("AM27C512"));
    QString path = tempPath(QStringLiteral("pattern.dat"));
    WriteFile(path, "S1052000AABB75\nS9030000FC\n");
    qint32 type = 255;
    ASSERT_EQ(engine.LoadDataFileAs(path, type), 0);
    EXPECT_EQ(type, 3);
    EXPECT_EQ(engine.DataFileTypeCode(), 3);
    EXPECT_EQ(Region(0x2000, 2), QByteArray("\xAA\xBB", 2));
}

// When the engine settles on no device after a failed selection, the
// buffer goes with the device and the program is told (its handler clears
// its own state through DataFileValue313).
TEST_F(EngineBufferTest, TheBufferGoesWithTheDevice)
{
    Select(QStringLiteral("AM27C512"));
    Put(0, QByteArray("\x01\x02", 2), true);
    QString gone = QStringLiteral("NO-LONGER-THERE");
    ASSERT_EQ(engine.SelectDeviceByName(gone, false), -1);
    events.names.clear();
    engine.RefreshState202(qint32(0), qint32(0), qint32(0));
    EXPECT_EQ(events.names, QStringList{QStringLiteral("BufferCleared")});
    EXPECT_EQ(engine.BufferSize(), 0);
    // Nothing more to drop: told once.
    events.names.clear();
    engine.RefreshState202(qint32(0), qint32(0), qint32(0));
    EXPECT_TRUE(events.names.isEmpty());
}

// Around a load the engine tells the station the load's settings as it
// holds them: clear before read (ClearBufferMode), a radix other than
// decimal, and for a range load its automatic low address.
TEST_F(EngineBufferTest, ALoadReportsItsSettingsBeforeItsEnd)
{
    struct Values : IEventSink
    {
        void Fire(const QString& eventName, QVariantList& args) override
        {
            lines << eventName + QLatin1Char(' ') + (args.isEmpty() ? QString() : args.first().toString());
        }
        QStringList lines;
    } values;
    Select(QStringLiteral("AM27C512"));
    const QString file = tempPath(QStringLiteral("one.bin"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x01\x02");
    }
    engine.Control()->SetEventSink(&values);
    engine.ClearBufferMode(true);
    engine.DisplayRadix(qint32(1));
    ASSERT_EQ(Load(file, 0, false, true, 0, 1, 0), 0);
    EXPECT_EQ(
        values.lines,
        (QStringList{"UpdateJobSetting20 -1", "UpdateJobSetting33 -1", "UpdateJobSetting76 -1", "DataFileLoaded "}));
    values.lines.clear();
    engine.ClearBufferMode(false);
    engine.DisplayRadix(qint32(0));
    QString path = file;
    qint32 type = 0;
    ASSERT_EQ(engine.LoadDataFileAs(path, type), 0);
    EXPECT_EQ(values.lines, (QStringList{"UpdateJobSetting20 0", "UpdateJobSetting33 0", "DataFileLoaded "}));
    engine.Control()->SetEventSink(&events);
}

} // namespace
