#pragma once

// The engine's data buffer: one per process, sized in bytes, read and written
// in ranges. Memory is taken a page at a time on the first write, so a large
// NAND device costs nothing until data lands in it; a page never written
// reads as the fill byte it had when it came into being. Used on the GUI
// thread only, like the rest of the engine.

#include "LargeBlock.h"
#include "QXBufferExport.h"

#include <QByteArray>
#include <vector>

class QXBUFFER_EXPORT DataBuffer
{
public:
    // One huge page of the kernel, so a page costs one page fault.
    static constexpr qint64 kPageSize = qint64(LargeBlock::kAlignment);
    // Addresses reach 32 bits; a buffer is never larger.
    static constexpr qint64 kMaxSize = qint64(1) << 32;

    DataBuffer() = default;
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;

    // The process-wide buffer that the engine and the viewer share.
    static DataBuffer& Instance();

    qint64 Size() const { return m_size; }
    // Keeps the bytes that fit; new room reads as the fill byte.
    void Resize(qint64 bytes);

    // Serves a clear, a clearing load and new room; bytes already in the
    // buffer keep their values when it changes.
    quint8 FillByte() const { return m_fill; }
    void SetFillByte(quint8 value) { m_fill = value; }

    // Every byte becomes the fill byte; the pages are given back.
    void Clear();

    // A range is cut to the buffer: nothing is read or written outside
    // it. Read and Write answer the number of bytes done; ByteAt answers the
    // fill byte outside the buffer.
    quint8 ByteAt(qint64 address) const;
    void SetByte(qint64 address, quint8 value);
    qint64 Read(qint64 address, quint8* out, qint64 count) const;
    qint64 Write(qint64 address, const quint8* data, qint64 count);
    QByteArray Bytes(qint64 address, qint64 count) const;
    // Every byte of the range becomes value; whole pages give their memory
    // back instead of taking it. Answers the number of bytes done.
    qint64 Fill(qint64 address, qint64 count, quint8 value);

    // Bytes held in made pages; what the buffer costs.
    qint64 AllocatedBytes() const;
    // Counts changes, so that a view can tell that it must repaint.
    quint64 Revision() const { return m_revision; }

    // The sum of the bytes at even and at odd addresses in [0, count): one
    // pass gives both checksum methods. count may not pass Size().
    void SumBytes(qint64 count, quint64& evenSum, quint64& oddSum) const;

private:
    struct Page
    {
        LargeBlock bytes; // empty: never written
        quint8 fill = 0;  // what an unwritten page reads as
    };

    quint8* writablePage(qint64 index);

    std::vector<Page> m_pages;
    qint64 m_size = 0;
    quint8 m_fill = 0xFF;
    quint64 m_revision = 0;

    // The last sum asked for: the station asks for the checksum several
    // times after each change, and adding up 16 MiB takes milliseconds.
    struct Sum
    {
        bool valid = false;
        quint64 revision = 0;
        qint64 count = 0;
        quint64 even = 0;
        quint64 odd = 0;
    };
    mutable Sum m_lastSum;
};
