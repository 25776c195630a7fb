// Which format a file is, from its content only; the lowest address and the
// address range of the file last detected; the format list; and a JEDEC file
// read field by field.
#include "BufferTestSupport.h"

#include "BufferFiles.h"
#include "DataBuffer.h"
#include "FileTypeTable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace buffertest;

TEST(DetectionTest, TheContentDecidesNeverTheName)
{
    QTemporaryDir dir;
    DataBuffer buffer;
    buffer.Resize(0x100);
    BufferFiles files(buffer);
    const struct
    {
        const char* name;
        QByteArray content;
        qint32 type;
    } cases[] = {
        {"a.bin", ":0400000001020304F2\n:00000001FF\n", 1},
        {"b.txt", "\r\n\r\n:0400000001020304f2\r\n", 1},
        {"c.hex", "S00600004844521B\nS107000001020304EE\n", 3},
        {"d.hex", "s107000001020304ee\n", 3},
        {"e.jed", "JEDEC file from a compiler\n\x02*QF8*\x03" "0000", 2},
        {"f.hex", "' STAPL program\n'\nNOTE \"CREATOR\" \"x\";\nACTION PROGRAM = DO_PROGRAM;\n", 16},
        {"g.jed", "ACTION\tERASE = DO_ERASE;\n", 16},
        {"h.hex", QByteArray("\x00\x01\x02:0400", 8), 0},
        {"i.s19", "Sx0700000102\n", 0},
        {"j.hex", ":04", 0},
        {"k.jed", "", 0},
        {"l.stp", "NOTEBOOK\n", 0},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        WriteFile(path, c.content);
        EXPECT_EQ(files.DetectFileType(path), c.type) << c.name;
    }
    EXPECT_EQ(files.DetectFileType(dir.filePath(QStringLiteral("missing"))), 0);
}

// Word addressing counts the same records in words: the lowest address is
// the same, the highest is the last word's.
TEST(DetectionTest, AutoLowestAddressAndRangeOfTheFileLastDetected)
{
    QTemporaryDir dir;
    DataBuffer buffer;
    buffer.Resize(0x100);
    BufferFiles files(buffer);
    const struct
    {
        const char* name;
        QByteArray content;
        quint32 byteLow, byteHigh, wordLow, wordHigh;
    } cases[] = {
        // Records at 0x12340 (4 bytes) and 0x20000 (3 bytes), out of order.
        {"intel", ":020000040002F8\n:03000000AABBCCCC\n:020000040001F9\n:04234000010203048F\n:00000001FF\n", 0x12340,
         0x20002, 0x12340, 0x20001},
        {"s-records", "S2080123450102030484\nS20600FFF0AABBA5\n", 0xFFF0, 0x12348, 0xFFF0, 0x12346},
        {"binary", QByteArray(100, '\xA5'), 0, 99, 0, 99},
        {"broken intel", ":0400000001020304F3\n:00000001FF\n", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        WriteFile(path, c.content);
        files.DetectFileType(path);
        quint32 low = 1, high = 1;
        files.GetAutoAddressRange(false, low, high);
        EXPECT_EQ(low, c.byteLow);
        EXPECT_EQ(high, c.byteHigh);
        EXPECT_EQ(files.AutoLowestAddress(false), c.byteLow);
        files.GetAutoAddressRange(true, low, high);
        EXPECT_EQ(low, c.wordLow);
        EXPECT_EQ(high, c.wordHigh);
        EXPECT_EQ(files.AutoLowestAddress(true), c.wordLow);
    }
}

TEST(DetectionTest, TheFormatList)
{
    EXPECT_EQ(FileTypeTable::kCount, 18);
    for (qint32 code = 0; code < FileTypeTable::kCount; ++code) {
        EXPECT_FALSE(FileTypeTable::NameAt(code).isEmpty()) << code;
        EXPECT_EQ(FileTypeTable::TakesRange(code), code == 0 || code == 1 || code == 3) << code;
        EXPECT_EQ(FileTypeTable::CanRead(code), code <= 3) << code;
        EXPECT_EQ(FileTypeTable::CanWrite(code, false), code == 0 || code == 1 || code == 3) << code;
        EXPECT_EQ(FileTypeTable::CanWrite(code, true), code <= 3) << code;
    }
    EXPECT_EQ(FileTypeTable::NameAt(2), QStringLiteral("JEDEC"));
    EXPECT_EQ(FileTypeTable::NameAt(16), QStringLiteral("STAPL"));
    EXPECT_TRUE(FileTypeTable::NameAt(18).isEmpty());
    EXPECT_TRUE(FileTypeTable::NameAt(255).isEmpty());
}

// The fields a JEDEC file may carry: notes and unknown fields are skipped,
// F sets the fuses no L names, a transmission checksum of 0000 is not
// checked, lines may end in CR LF; fuses past QF keep the cleared buffer.
TEST(DetectionTest, AJedecFileSetsOneBytePerFuse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuses.jed"));
    WriteFile(path, "\x02" "Design x*\r\nN a note*\r\nQP24*\r\nQF12*\r\nF1*\r\nG0*\r\nL2 00*\r\nL0008\r\n 0 1 0*\r\nC00FD*\r\n\x03" "0000\r\n");
    DataBuffer buffer;
    buffer.SetFillByte(0x77);
    buffer.Resize(16);
    BufferFiles files(buffer);
    ASSERT_EQ(files.DetectFileType(path), 2);
    ASSERT_EQ(files.LoadAs(path, 2, false), 0) << files.LastErrorText().toStdString();
    EXPECT_EQ(Contents(buffer), QByteArray::fromHex("01010000010101010001000177777777"));
}
