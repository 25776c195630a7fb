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
    buffer.Resize(132LL * 1024 * 1024);
    EXPECT_EQ(buffer.AllocatedBytes(), 0);
    EXPECT_EQ(buffer.ByteAt(132LL * 1024 * 1024 - 1), 0xFF);

    const quint8 data[3] = {1, 2, 3};
    // Across a page boundary: two pages, nothing more.
    buffer.Write(DataBuffer::kPageSize * 100 - 1, data, 3);
    EXPECT_EQ(buffer.AllocatedBytes(), 2 * DataBuffer::kPageSize);
    EXPECT_EQ(buffer.Bytes(DataBuffer::kPageSize * 100 - 2, 5), QByteArray::fromHex("ff010203ff"));
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
