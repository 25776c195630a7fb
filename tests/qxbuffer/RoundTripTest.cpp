// Saving the buffer and loading the file back, through one table: format,
// save range, byte or word addressing, load window, clear or not, buffer
// address; data above 64 KiB and up to 16 MiB. The expected bytes come from a
// plain byte-by-byte model of what the load rules say.
#include "BufferTestSupport.h"

#include "BufferFiles.h"
#include "DataBuffer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace buffertest;

namespace {

struct RoundTrip
{
    const char* name;
    qint32 type;
    qint64 size;
    bool word;
    bool saveEntire;
    quint32 saveLow, saveHigh; // file addresses
    bool clear, autoLow;
    quint32 loadLow, loadHigh, bufferAddress;
};

const RoundTrip kCases[] = {
    {"intel whole", 1, 200 * 1024, false, true, 0, 0, true, false, 0, 0xFFFFFFFF, 0},
    {"intel range above 64K, kept bytes", 1, 200 * 1024, false, false, 0xFFF0, 0x2FFFF, false, false, 0x10000, 0x1FFFF, 0x100},
    {"intel words", 1, 200 * 1024, true, false, 0x7FF0, 0x17FFF, true, false, 0x8000, 0x17FFF, 0x40},
    {"intel auto low", 1, 200 * 1024, false, false, 0x12345, 0x20000, false, true, 0, 0x1FFFF, 0x10},
    {"s-records whole", 3, 200 * 1024, false, true, 0, 0, true, false, 0, 0xFFFFFFFF, 0},
    {"s-records words, auto low", 3, 200 * 1024, true, false, 0x9000, 0xFFFF, false, true, 0, 0xFFFFFFFF, 0x2},
    {"s-records range", 3, 200 * 1024, false, false, 0x100, 0x30000, true, false, 0x200, 0x300FF, 0},
    {"binary range", 0, 200 * 1024, false, false, 0x100, 0x1FFFF, false, false, 0x10, 0xFFFF, 0x20000},
    {"binary whole", 0, 200 * 1024, false, true, 0, 0, true, false, 0, 0xFFFFFFFF, 0},
    {"intel 16 MiB", 1, 16 * 1024 * 1024, false, true, 0, 0, true, false, 0, 0xFFFFFFFF, 0},
    {"s-records past 16 MiB (S3)", 3, 16 * 1024 * 1024 + 65536, false, true, 0, 0, true, false, 0, 0xFFFFFFFF, 0},
    {"jedec fuses", 2, 5000, false, true, 0, 0, true, false, 0, 0xFFFFFFFF, 0},
};

} // namespace

TEST(RoundTripTest, SavedFilesLoadBackAsTheLoadRulesSay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::mt19937 rng(4242);
    for (const RoundTrip& c : kCases) {
        SCOPED_TRACE(c.name);
        const qint64 unit = c.word && c.type != 0 ? 2 : 1;
        DataBuffer source;
        source.Resize(c.size);
        QByteArray data = RandomBytes(c.size, rng);
        if (c.type == 2) {
            for (char& b : data)
                b = char(b & 1);
        }
        source.Write(0, reinterpret_cast<const quint8*>(data.constData()), c.size);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        BufferFiles saver(source);
        ASSERT_EQ(saver.SaveRange(path, c.type, c.saveEntire, c.saveLow, c.saveHigh, c.word), 0) << saver.LastErrorText().toStdString();

        // The file as a map of byte positions (file address * unit + byte).
        const qint64 first = c.saveEntire ? 0 : c.saveLow * unit;
        const qint64 end = c.saveEntire ? c.size : std::min<qint64>((c.saveHigh + 1LL) * unit, c.size);
        const qint64 fileStart = c.type == 0 ? 0 : first; // Binary starts at offset 0

        DataBuffer target;
        target.SetFillByte(0x5A);
        target.Resize(c.size);
        const QByteArray before = RandomBytes(c.size, rng);
        target.Write(0, reinterpret_cast<const quint8*>(before.constData()), c.size);
        LoadOptions options;
        options.clear = c.clear;
        options.autoLow = c.autoLow;
        options.low = c.loadLow;
        options.high = c.loadHigh;
        options.bufferAddress = c.bufferAddress;
        options.wordAddressing = c.word;
        BufferFiles loader(target);
        ASSERT_EQ(loader.LoadRange(path, c.type, options), 0) << loader.LastErrorText().toStdString();

        QByteArray expected = c.clear ? QByteArray(c.size, char(0x5A)) : before;
        const qint64 low = c.autoLow ? fileStart / unit : qint64(c.loadLow);
        for (qint64 p = first; p < end; ++p) {
            const qint64 position = fileStart + (p - first);
            if (position < low * unit || position >= (qint64(c.loadHigh) + 1) * unit)
                continue;
            expected[c.bufferAddress + position - low * unit] = data[p];
        }
        EXPECT_TRUE(Contents(target) == expected);
        EXPECT_EQ(loader.LoadedType(), c.type);
    }
}

// With word addressing a file address names a 16-bit word: an Intel record
// at address 0x10 fills buffer bytes 0x20 on.
TEST(RoundTripTest, WordAddressesCountWords)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.hex"));
    WriteFile(path, ":0400100001020304E2\n:00000001FF\n");
    DataBuffer buffer;
    buffer.SetFillByte(0);
    buffer.Resize(0x40);
    BufferFiles files(buffer);
    LoadOptions options;
    options.wordAddressing = true;
    options.low = 0x11; // the second word of the record on
    options.bufferAddress = 0x8;
    ASSERT_EQ(files.LoadRange(path, 1, options), 0) << files.LastErrorText().toStdString();
    EXPECT_EQ(buffer.Bytes(0x6, 6), QByteArray::fromHex("000003040000"));
}
