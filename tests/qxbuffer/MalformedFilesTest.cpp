// Damaged files of a few lines, refused codes and a missing buffer: each load
// answers a non-zero code whose text names the file, the line (or fuse) and
// the fault, and the buffer keeps every byte. A value given twice loads as
// srec_cat loads it: alike it is taken, different it is refused.
#include "BufferTestSupport.h"

#include "BufferFiles.h"
#include "DataBuffer.h"
#include "DataFileReader.h"
#include "StagedData.h"

#include "ChildRole.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <QFile>
#include <cstring>

using namespace buffertest;

namespace {

// A JEDEC file with its transmission checksum computed over STX to ETX.
QByteArray Jedec(const QByteArray& fields, int adjust = 0)
{
    const QByteArray body = "\x02" + fields + "\x03";
    quint32 sum = 0;
    for (char c : body)
        sum += uchar(c);
    return body + QByteArray::number((sum + adjust) & 0xFFFF, 16).toUpper().rightJustified(4, '0') + "\n";
}

// A line of the process's status ("VmRSS", "VmHWM") in KiB.
qint64 StatusKiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Loads a JEDEC file that names no QF into a buffer of the given size, as
// the engine loads it, and prints how far the process's peak memory rose
// above what it held before (KiB) and whether the buffer then reads as the
// file says: args size, file (hex).
const ChildRole kJedecPeak("jedec-peak", [](const QStringList& args) {
    const qint64 size = args.value(0).toLongLong();
    const QByteArray file = QByteArray::fromHex(args.value(1).toLatin1());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuses.jed"));
    WriteFile(path, file);
    DataBuffer buffer;
    buffer.SetFillByte(0x77);
    buffer.Resize(size);
    BufferFiles files(buffer);
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1) // the peak starts again from here
        return 3;
    reset.close();
    const qint64 before = StatusKiB("VmRSS");
    if (files.LoadAs(path, 2, false) != 0) {
        fprintf(stderr, "%s\n", qPrintable(files.LastErrorText()));
        return 2;
    }
    printf("%lld %s %s\n", StatusKiB("VmHWM") - before, buffer.Bytes(0, 8).toHex().constData(),
           buffer.Bytes(size - 8, 8).toHex().constData());
    return 0;
});

class MalformedFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_buffer.SetFillByte(0xEE);
        m_buffer.Resize(0x100);
        std::mt19937 rng(3);
        m_before = RandomBytes(0x100, rng);
        m_buffer.Write(0, reinterpret_cast<const quint8*>(m_before.constData()), m_before.size());
    }
    QString File(const QByteArray& content)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_count));
        WriteFile(path, content);
        return path;
    }

    QTemporaryDir m_dir;
    DataBuffer m_buffer;
    BufferFiles m_files{m_buffer};
    QByteArray m_before;
    int m_count = 0;
};

} // namespace

TEST_F(MalformedFilesTest, EachFaultIsNamedWithItsLineAndTheBufferIsUntouched)
{
    const struct
    {
        const char* name;
        qint32 type;
        QByteArray content;
        int line; // 0: the text names no line
        const char* fault;
    } cases[] = {
        {"bad checksum", 1, ":0400000001020304F3\n:00000001FF\n", 1, "checksum mismatch"},
        {"odd digit count", 1, ":0400000001020304F2\n:0400040001020304F\n:00000001FF\n", 2,
         "odd number of hexadecimal digits"},
        {"non-hex character", 1, ":04000000010G0304F2\n:00000001FF\n", 1, "'G' is not a hexadecimal digit"},
        {"wrong length field", 1, ":0500000001020304F1\n:00000001FF\n", 1,
         "the length field says 5 data bytes, the record holds 4"},
        {"unknown record type", 1, ":00000006FA\n:00000001FF\n", 1, "unknown record type 06"},
        {"04 record of the wrong length", 1, ":0100000400FB\n:00000001FF\n", 1,
         "a type 04 record carries 2 bytes, not 1"},
        {"two values for one address", 1, ":0400000001020304F2\r\n:0100010009F5\r\n:00000001FF\r\n", 2,
         "two values for address 0x1: 0x2 and 0x9"},
        {"data past the buffer", 1, ":0400FE0001020304F4\n:00000001FF\n", 1,
         "the data for address 0x100 lies past the end of the buffer"},
        {"no end record", 1, ":0400000001020304F2\n", 1, "no end-of-file record"},
        {"not a record", 1, ":0400000001020304F2\nhello\n:00000001FF\n", 2, "a record must begin with ':'"},
        {"cut line", 3, "S107000001020304EE\nS10700\n", 2, "the length field says 7 bytes, the record holds 1"},
        {"s-record bad checksum", 3, "s107000001020304ef\n", 1, "checksum mismatch"},
        {"wrong S5 count", 3, "S107000001020304EE\nS5030002FA\n", 2,
         "the S5 count says 2 data records, the file holds 1"},
        {"unknown S4", 3, "S107000001020304EE\nS4030000FC\n", 2, "unknown record type S4"},
        {"s-record past the buffer", 3, "S1050100AABB94\n", 1, "lies past the end of the buffer"},
        {"empty file", 1, "", 0, "the file is empty"},
        {"empty binary", 0, "", 0, "the file is empty"},
        // Files that hold no data: loading them would only clear the buffer.
        {"end record alone", 1, ":00000001FF\n", 0, "the file is empty"},
        {"s-records without data", 3, "S0030000FC\nS9030000FC\n", 0, "the file is empty"},
        {"JEDEC without fields", 2,
         QByteArray("\x02*\x03"
                    "0000",
                    7),
         1, "the file holds no fuse data"},
        {"JEDEC with a count alone", 2, Jedec("x*\nQF16*\n"), 3, "the file holds no fuse data"},
        {"binary past the buffer", 0, QByteArray(0x101, 'x'), 0, "the data for address 0x100 lies past the end"},
        {"bad transmission checksum", 2, Jedec("x*\nQF16*\nF0*\nL0 1010000011110000*\nC0014*\n", 1), 6,
         "transmission checksum mismatch"},
        {"bad fuse checksum", 2, Jedec("x*\nQF16*\nF0*\nL0 1010000011110000*\nC0015*\n"), 5,
         "fuse checksum mismatch (the file says 0015h, the fuses sum to 0014h)"},
        {"fuse past QF", 2, Jedec("x*\nQF8*\nL0 101\n000111*\n"), 4, "fuse 8 lies past the fuse count (8)"},
        {"fuse count past the buffer", 2, Jedec("x*\nQF257*\n"), 2, "QF gives 257 fuses, the buffer holds 256"},
        {"no ETX", 2, "\x02x*\nQF8*\n", 3, "no end of text (ETX)"},
        {"bad fuse state", 2, Jedec("x*\nQF8*\nL0 10201*\n"), 3, "'2' is not a fuse state"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = File(c.content);
        LoadOptions options;
        options.clear = true; // a clearing load would show any early write
        EXPECT_NE(m_files.LoadRange(path, c.type, options), 0);
        const QString text = m_files.LastErrorText();
        EXPECT_TRUE(text.startsWith(path)) << text.toStdString();
        if (c.line > 0)
            EXPECT_TRUE(text.contains(QStringLiteral(": line %1: ").arg(c.line))) << text.toStdString();
        else
            EXPECT_FALSE(text.contains(QStringLiteral(": line "))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.fault))) << text.toStdString();
        EXPECT_TRUE(Contents(m_buffer) == m_before);
        EXPECT_EQ(m_files.LoadedType(), 0);
    }
}

TEST_F(MalformedFilesTest, RefusedCodesAMissingFileAndNoBufferChangeNothing)
{
    const QString good = File(":0400000001020304F2\n:00000001FF\n");
    const struct
    {
        qint32 type;
        QString path;
        qint32 code;
        const char* text;
    } cases[] = {
        {4, good, DataFileResult::Refused, "The POF format (code 4)"},
        {16, good, DataFileResult::Refused, "The STAPL format (code 16)"},
        {17, good, DataFileResult::Refused, "The IEEE 1532 Data format (code 17)"},
        {42, good, DataFileResult::UnknownType, "no data-file format with the code 42"},
        {-1, good, DataFileResult::UnknownType, "the code -1"},
        {1, m_dir.filePath(QStringLiteral("missing.hex")), DataFileResult::CannotOpen, "cannot be read (no such file)"},
        {1, m_dir.path(), DataFileResult::CannotOpen, "cannot be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(m_files.LoadRange(c.path, c.type, LoadOptions()), c.code);
        EXPECT_TRUE(m_files.LastErrorText().contains(QString::fromLatin1(c.text)))
            << m_files.LastErrorText().toStdString();
        EXPECT_TRUE(Contents(m_buffer) == m_before);
    }

    DataBuffer none;
    BufferFiles noDevice(none);
    EXPECT_EQ(noDevice.LoadAs(good, 1, false), DataFileResult::NoBuffer);
    EXPECT_TRUE(noDevice.LastErrorText().contains(QStringLiteral("no device is selected")));
    EXPECT_EQ(noDevice.Save(m_dir.filePath(QStringLiteral("out.hex")), 1, false), DataFileResult::NoBuffer);
}

TEST_F(MalformedFilesTest, AValueGivenTwiceLoadsAsSrecCatLoadsIt)
{
    // Alike: srec_cat warns "redundant" and loads; so does the station.
    const QString alike = File(":0400000001020304F2\n:0400020003040909E1\n:00000001FF\n");
    const QString converted = m_dir.filePath(QStringLiteral("alike.bin"));
    QByteArray err;
    ASSERT_TRUE(
        SrecCat({alike, QStringLiteral("-intel"), QStringLiteral("-o"), converted, QStringLiteral("-binary")}, &err));
    EXPECT_TRUE(err.contains("redundant"));
    ASSERT_EQ(m_files.LoadAs(alike, 1, false), 0) << m_files.LastErrorText().toStdString();
    EXPECT_EQ(m_buffer.Bytes(0, 6), ReadFile(converted));

    // Different: srec_cat refuses the file, and so does the station.
    const QString different = File(":0400000001020304F2\n:0400020009090909D6\n:00000001FF\n");
    const QString none = m_dir.filePath(QStringLiteral("different.bin"));
    {
        ::testing::ScopedTrace trace(__FILE__, __LINE__, "srec_cat must refuse");
        QProcess process;
        process.start(QStringLiteral("srec_cat"),
                      {different, QStringLiteral("-intel"), QStringLiteral("-o"), none, QStringLiteral("-binary")});
        ASSERT_TRUE(process.waitForFinished(60000)) << "srec_cat is missing: install the package \"srecord\"";
        EXPECT_NE(process.exitCode(), 0);
        EXPECT_TRUE(process.readAllStandardError().contains("multiple 0x00000002 values"));
    }
    const QByteArray before = Contents(m_buffer);
    EXPECT_EQ(m_files.LoadAs(different, 1, false), DataFileResult::Malformed);
    EXPECT_TRUE(m_files.LastErrorText().contains(QStringLiteral("line 2: two values for address 0x2: 0x3 and 0x9")));
    EXPECT_TRUE(Contents(m_buffer) == before);
}

TEST_F(MalformedFilesTest, AFailedSaveKeepsTheOldFile)
{
    const QString path = File("the old file's bytes");
    const struct
    {
        qint32 type;
        bool entire;
        quint32 low, high;
        qint32 code;
    } cases[] = {
        {1, false, 0, 0x100, DataFileResult::BadRange},   // one past the buffer
        {3, false, 0x20, 0x10, DataFileResult::BadRange}, // reversed
        {6, true, 0, 0, DataFileResult::Refused},
        {99, true, 0, 0, DataFileResult::UnknownType},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_files.SaveRange(path, c.type, c.entire, c.low, c.high, false), c.code) << c.type;
        EXPECT_EQ(ReadFile(path), QByteArray("the old file's bytes"));
    }
    // A path that cannot be replaced by a file.
    EXPECT_EQ(m_files.Save(m_dir.path(), 1, false), DataFileResult::CannotWrite);
    EXPECT_TRUE(m_files.LastErrorText().startsWith(m_dir.path()));
}

// A JEDEC file without QF gives its default state to the device's whole
// buffer: what the load costs follows what the file holds (a 12-byte file
// once took twice the buffer), and every fuse still reads as the file says.
TEST(JedecMemoryTest, AFileWithoutAFuseCountCostsWhatItHolds)
{
    const qint64 size = qint64(128) << 20;
    const struct
    {
        const char* what;
        QByteArray file;
        const char* head;
        const char* tail;
    } cases[] = {
        {"a default state alone",
         QByteArray("\x02*F0*\x03"
                    "0000\r\n"),
         "0000000000000000", "0000000000000000"},
        {"a default state and a few fuses", Jedec("x*\nF1*\nL0 0101*\n"), "0001000101010101", "0101010101010101"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProcessResult child = RunChildRole(QProcessEnvironment::systemEnvironment(), "jedec-peak",
                                                 {QString::number(size), QString::fromLatin1(c.file.toHex())}, 120000);
        ASSERT_EQ(child.exitCode, 0) << child.err.toStdString();
        const QStringList out = child.out.trimmed().split(u' ');
        ASSERT_EQ(out.size(), 3) << child.out.toStdString();
        const qint64 grownKiB = out[0].toLongLong();
        EXPECT_LT(grownKiB, 8 * 1024) << "peak grew by " << grownKiB << " KiB for a buffer of " << size / 1024
                                      << " KiB";
        EXPECT_EQ(out[1], QLatin1String(c.head));
        EXPECT_EQ(out[2], QLatin1String(c.tail));
    }
}
