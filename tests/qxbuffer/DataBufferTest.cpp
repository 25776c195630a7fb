// The buffer itself: pages made on first write, the fill byte for new room
// and clears only, and resizing that keeps what fits.
#include "BufferTestSupport.h"

#include "DataBuffer.h"

#include <gtest/gtest.h>

using namespace buffertest;

TEST(DataBufferTest, ALargeBufferCostsNothingUntilWritten)
{
    DataBuffer buffer;
    buffer.SetFillByte(0xFF);
    const qint64 size = 132LL * 1024 * 1024;
    buffer.Resize(size);
    EXPECT_EQ(buffer.AllocatedBytes(), 0);
    EXPECT_EQ(buffer.ByteAt(size - 1), 0xFF);

    const quint8 data[3] = {1, 2, 3};
    // Across a page boundary in the middle: two pages, nothing more.
    const qint64 boundary = size / DataBuffer::kPageSize / 2 * DataBuffer::kPageSize;
    buffer.Write(boundary - 1, data, 3);
    EXPECT_EQ(buffer.AllocatedBytes(), 2 * DataBuffer::kPageSize);
    EXPECT_LT(buffer.AllocatedBytes(), size / 10);
    EXPECT_EQ(buffer.Bytes(boundary - 2, 5), QByteArray::fromHex("ff010203ff"));

    // A small buffer costs its own size, not a page.
    DataBuffer small;
    small.Resize(4096);
    small.SetByte(0, 1);
    EXPECT_EQ(small.AllocatedBytes(), 4096);
}

TEST(DataBufferTest, TheFillByteNeverRewritesBytesAlreadyThere)
{
    DataBuffer buffer;
    buffer.SetFillByte(0x11);
    buffer.Resize(3 * DataBuffer::kPageSize);
    buffer.SetByte(5, 0x77);
    // Changing the fill byte leaves written and unwritten bytes alike.
    buffer.SetFillByte(0x22);
    EXPECT_EQ(buffer.ByteAt(5), 0x77);
    EXPECT_EQ(buffer.ByteAt(6), 0x11);
    EXPECT_EQ(buffer.ByteAt(2 * DataBuffer::kPageSize), 0x11);
    // A clear takes today's fill byte everywhere.
    buffer.Clear();
    EXPECT_EQ(buffer.ByteAt(5), 0x22);
    EXPECT_EQ(buffer.ByteAt(3 * DataBuffer::kPageSize - 1), 0x22);
    EXPECT_EQ(buffer.AllocatedBytes(), 0);
}

// Shrinking and growing again, with the fill byte changed between: what
// fitted stays, every byte of new room reads as the fill byte of the moment
// it was made, also inside a page that held data before the shrink.
TEST(DataBufferTest, ResizeKeepsWhatFitsAndNewRoomReadsAsTheFillByte)
{
    const qint64 page = DataBuffer::kPageSize;
    struct Case
    {
        qint64 first, shrinkTo, growTo;
        bool written;
    } cases[] = {
        {2 * page, page + 10, 3 * page, true},   // partial written page
        {2 * page, page + 10, 3 * page, false},  // partial page never written
        {2 * page, page, 2 * page + 7, true},    // on a page boundary
        {100, 0, 50, true},                      // down to nothing
        {100, 60, 5000, true},                   // a small page made larger
    };
    for (const Case& c : cases) {
        DataBuffer buffer;
        buffer.SetFillByte(0xAA);
        buffer.Resize(c.first);
        std::mt19937 rng(7);
        const QByteArray data = RandomBytes(c.first, rng);
        if (c.written)
            buffer.Write(0, reinterpret_cast<const quint8*>(data.constData()), c.first);
        buffer.Resize(c.shrinkTo);
        buffer.SetFillByte(0x55);
        buffer.Resize(c.growTo);
        ASSERT_EQ(buffer.Size(), c.growTo);
        QByteArray expected = c.written ? data.left(c.shrinkTo) : QByteArray(c.shrinkTo, char(0xAA));
        expected += QByteArray(c.growTo - c.shrinkTo, char(0x55));
        EXPECT_EQ(Contents(buffer), expected) << c.first << " " << c.shrinkTo << " " << c.growTo;
    }
}

// Callers outside the library (the viewer's go-to, an edit at the end) may
// name ranges that run past the buffer: only the part inside is touched.
TEST(DataBufferTest, RangesAreCutToTheBuffer)
{
    DataBuffer buffer;
    buffer.SetFillByte(0x00);
    buffer.Resize(8);
    const quint8 data[4] = {1, 2, 3, 4};
    EXPECT_EQ(buffer.Write(6, data, 4), 2);
    EXPECT_EQ(buffer.Write(-1, data, 4), 0);
    EXPECT_EQ(buffer.Write(8, data, 1), 0);
    EXPECT_EQ(Contents(buffer), QByteArray::fromHex("0000000000000102"));
    quint8 out[4] = {9, 9, 9, 9};
    EXPECT_EQ(buffer.Read(7, out, 4), 1);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(buffer.Bytes(6, 100), QByteArray::fromHex("0102"));
    EXPECT_EQ(buffer.ByteAt(8), 0x00);
}

// The sums are kept between asks; every kind of change is seen by the next.
TEST(DataBufferTest, SumsFollowEveryChange)
{
    DataBuffer buffer;
    buffer.SetFillByte(0x10);
    buffer.Resize(3 * DataBuffer::kPageSize + 5);
    const auto expected = [&buffer](qint64 count) {
        const QByteArray bytes = buffer.Bytes(0, count);
        quint64 even = 0, odd = 0;
        for (qint64 i = 0; i < count; ++i)
            (i % 2 == 0 ? even : odd) += quint8(bytes[i]);
        return std::pair{even, odd};
    };
    const auto check = [&](const char* step, qint64 count) {
        SCOPED_TRACE(step);
        quint64 even = 0, odd = 0;
        buffer.SumBytes(count, even, odd);
        EXPECT_EQ(std::pair(even, odd), expected(count));
    };
    check("fresh", buffer.Size());
    check("fresh, again", buffer.Size());
    buffer.SetByte(DataBuffer::kPageSize + 1, 0xAB);
    check("one byte written", buffer.Size());
    check("a shorter count", DataBuffer::kPageSize + 1);
    buffer.Resize(buffer.Size() + 7);
    check("grown", buffer.Size());
    buffer.SetFillByte(0x00);
    buffer.Clear();
    check("cleared with another fill byte", buffer.Size());
}
