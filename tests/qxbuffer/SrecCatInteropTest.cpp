// The station's files against srec_cat, both ways, on random data with gaps:
// srec_cat's Intel and S-record files, at every address length and with CR LF
// line ends, load byte for byte; the station's files convert with srec_cat
// to the buffer's bytes without a word on srec_cat's stderr; the checksums
// match srec_cat's checksum filters.
#include "BufferTestSupport.h"

#include "BufferChecksum.h"
#include "BufferFiles.h"
#include "DataBuffer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace buffertest;

namespace {

struct Segment
{
    qint64 address;
    QByteArray bytes;
};

// Runs of random data with gaps between them, below the limit.
std::vector<Segment> RandomSegments(qint64 limit, std::mt19937& rng)
{
    std::vector<Segment> segments;
    qint64 at = qint64(rng() % 64);
    while (true) {
        const qint64 length = 1 + qint64(rng() % std::max<qint64>(1, limit / 8));
        if (at + length > limit)
            break;
        segments.push_back({at, RandomBytes(length, rng)});
        at += length + 1 + qint64(rng() % std::max<qint64>(1, limit / 16));
    }
    return segments;
}

QString Hex(qint64 value)
{
    return QStringLiteral("0x%1").arg(value, 0, 16);
}

} // namespace

TEST(SrecCatInteropTest, SrecCatFilesLoadByteForByte)
{
    QTemporaryDir dir;
    std::mt19937 rng(1234);
    const struct
    {
        const char* format;
        qint32 type;
        int addressLength;
        qint64 limit;
        bool crlf;
    } cases[] = {
        {"-intel", 1, 2, 0x10000, false},      {"-intel", 1, 3, 0x100000, false},
        {"-intel", 1, 4, 0x1200000, true},     {"-motorola", 3, 2, 0x10000, true},
        {"-motorola", 3, 3, 0x1000000, false}, {"-motorola", 3, 4, 0x1200000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.addressLength) + (c.crlf ? " crlf" : ""));
        // Short runs keep the big address spaces quick to write.
        std::vector<Segment> segments = RandomSegments(std::min<qint64>(c.limit, 0x40000), rng);
        if (c.limit > 0x40000)
            segments.push_back({c.limit - 300, RandomBytes(300, rng)});
        QStringList arguments;
        for (size_t i = 0; i < segments.size(); ++i) {
            const QString part = dir.filePath(QStringLiteral("part%1.bin").arg(i));
            WriteFile(part, segments[i].bytes);
            arguments << part << QStringLiteral("-binary") << QStringLiteral("-offset") << Hex(segments[i].address);
        }
        const QString file = dir.filePath(QStringLiteral("srec_cat.out"));
        arguments << QStringLiteral("-o") << file << QString::fromLatin1(c.format)
                  << QStringLiteral("-address-length=%1").arg(c.addressLength);
        if (c.crlf)
            arguments << QStringLiteral("-crlf");
        ASSERT_TRUE(SrecCat(arguments));
        if (c.crlf) {
            ASSERT_TRUE(ReadFile(file).contains("\r\n"));
        }

        DataBuffer buffer;
        buffer.SetFillByte(0xC3);
        buffer.Resize(c.limit);
        BufferFiles files(buffer);
        ASSERT_EQ(files.LoadRange(file, BufferFiles::kAutoType, LoadOptions()), 0)
            << files.LastErrorText().toStdString();
        EXPECT_EQ(files.LoadedType(), c.type);
        QByteArray expected(c.limit, char(0xC3));
        for (const Segment& s : segments)
            expected.replace(s.address, s.bytes.size(), s.bytes);
        EXPECT_TRUE(Contents(buffer) == expected);
    }
}

TEST(SrecCatInteropTest, StationFilesConvertToTheBufferBytes)
{
    QTemporaryDir dir;
    std::mt19937 rng(99);
    const struct
    {
        qint32 type;
        const char* format;
        qint64 size;
        bool entire;
        quint32 low, high;
    } cases[] = {
        {1, "-intel", 0x30000, true, 0, 0},
        {1, "-intel", 0x30000, false, 0x0FFF1, 0x2ABCD},
        {3, "-motorola", 0xF000, true, 0, 0},                    // S1 and S9
        {3, "-motorola", 0x30000, false, 0x100, 0x2FFFF},        // S2 and S8
        {3, "-motorola", 0x1000100, false, 0xFFFF00, 0x10000FF}, // S3 and S7
        {3, "-motorola", 0x220000, true, 0, 0},                  // more than 65535 records: S6
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.size) + " " + std::to_string(c.low));
        DataBuffer buffer;
        buffer.SetFillByte(0xFF);
        buffer.Resize(c.size);
        // Gaps: pages never written hold the fill byte, and are written too.
        for (const Segment& s : RandomSegments(c.size, rng))
            buffer.Write(s.address, reinterpret_cast<const quint8*>(s.bytes.constData()), s.bytes.size());
        const QString file = dir.filePath(QStringLiteral("station.out"));
        BufferFiles files(buffer);
        ASSERT_EQ(files.SaveRange(file, c.type, c.entire, c.low, c.high, false), 0)
            << files.LastErrorText().toStdString();

        const qint64 first = c.entire ? 0 : c.low;
        const qint64 count = c.entire ? c.size : c.high - c.low + 1;
        const QString binary = dir.filePath(QStringLiteral("station.bin"));
        QByteArray err;
        ASSERT_TRUE(SrecCat({file, QString::fromLatin1(c.format), QStringLiteral("-offset"),
                             QStringLiteral("-") + Hex(first), QStringLiteral("-o"), binary, QStringLiteral("-binary")},
                            &err));
        EXPECT_EQ(err.toStdString(), "");
        EXPECT_TRUE(ReadFile(binary) == buffer.Bytes(first, count));
    }
}

// srec_cat's checksum filters over the buffer's bytes: the positive sum of
// bytes (width 1) or little-endian words (width 2) for types 0 and 1, the
// negative one for type 2; over the device's size, past the buffer's end,
// srec_cat fills with the fill byte as the engine counts it.
TEST(SrecCatInteropTest, ChecksumsMatchSrecCatsFilters)
{
    QTemporaryDir dir;
    std::mt19937 rng(5);
    const qint64 size = 3 * DataBuffer::kPageSize + 10;
    DataBuffer buffer;
    buffer.SetFillByte(0xA5);
    buffer.Resize(size);
    const QByteArray data = RandomBytes(DataBuffer::kPageSize + 3, rng);
    buffer.Write(DataBuffer::kPageSize - 1, reinterpret_cast<const quint8*>(data.constData()), data.size());
    const QString image = dir.filePath(QStringLiteral("buffer.bin"));
    WriteFile(image, Contents(buffer));

    const qint64 device = size + 1001; // odd: the last word is a byte of its own
    const struct
    {
        qint32 method, type;
    } cases[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.method) + " " + std::to_string(c.type));
        const qint64 span = c.type == 1 ? device : size;
        const QString width = c.method == 0 ? QStringLiteral("1") : QStringLiteral("2");
        const QString filter = c.type == 2 ? QStringLiteral("-checksum-negative-little-endian")
                                           : QStringLiteral("-checksum-positive-little-endian");
        const QString sum = dir.filePath(QStringLiteral("sum.bin"));
        ASSERT_TRUE(SrecCat({image,
                             QStringLiteral("-binary"),
                             QStringLiteral("-fill"),
                             QStringLiteral("0xA5"),
                             QStringLiteral("0"),
                             Hex(span),
                             QStringLiteral("-crop"),
                             QStringLiteral("0"),
                             Hex(span),
                             filter,
                             Hex(span),
                             QStringLiteral("4"),
                             width,
                             QStringLiteral("-crop"),
                             Hex(span),
                             Hex(span + 4),
                             QStringLiteral("-offset"),
                             QStringLiteral("-") + Hex(span),
                             QStringLiteral("-o"),
                             sum,
                             QStringLiteral("-binary")}));
        const QByteArray le = ReadFile(sum);
        ASSERT_EQ(le.size(), 4);
        const quint32 expected = quint32(uchar(le[0])) | quint32(uchar(le[1])) << 8 | quint32(uchar(le[2])) << 16
            | quint32(uchar(le[3])) << 24;
        EXPECT_EQ(BufferChecksum::Sum(buffer, c.method, c.type, device), expected);
    }
}

// In an extended segment (record type 02) the offset wraps at 64 KiB: data
// that runs past the segment's end continues at its start, as srec_cat reads
// it. A linear base (type 04) is not a segment: its data runs on.
TEST(SrecCatInteropTest, SegmentDataCrossing64KWrapsInsideTheSegmentAsSrecCatReadsIt)
{
    QTemporaryDir dir;
    const struct
    {
        const char* name;
        QByteArray text;
    } cases[] = {
        {"segment", ":020000021000EC\n:04FFFE0001020304F5\n:00000001FF\n"},
        {"segment ends at 64K", ":020000021000EC\n:02FFFE000102FE\n:020000000304F7\n:00000001FF\n"},
        {"linear", ":020000040001F9\n:04FFFE0001020304F5\n:00000001FF\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(QStringLiteral("wrap.hex"));
        WriteFile(file, c.text);
        const QString binary = dir.filePath(QStringLiteral("wrap.bin"));
        ASSERT_TRUE(SrecCat({file, QStringLiteral("-intel"), QStringLiteral("-fill"), QStringLiteral("0xEE"),
                             QStringLiteral("0"), QStringLiteral("0x30000"), QStringLiteral("-o"), binary,
                             QStringLiteral("-binary")}));
        DataBuffer buffer;
        buffer.SetFillByte(0xEE);
        buffer.Resize(0x30000);
        BufferFiles files(buffer);
        ASSERT_EQ(files.LoadRange(file, 1, LoadOptions()), 0) << files.LastErrorText().toStdString();
        EXPECT_TRUE(Contents(buffer) == ReadFile(binary));
    }
}
