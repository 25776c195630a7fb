#include "DataBuffer.h"

#include <algorithm>
#include <cstring>

DataBuffer& DataBuffer::Instance()
{
    static DataBuffer buffer;
    return buffer;
}

void DataBuffer::Resize(qint64 bytes)
{
    bytes = std::clamp<qint64>(bytes, 0, kMaxSize);
    const qint64 oldSize = m_size;
    const qint64 pages = (bytes + kPageSize - 1) / kPageSize;
    m_pages.resize(size_t(pages));
    for (qint64 i = (oldSize + kPageSize - 1) / kPageSize; i < pages; ++i) {
        m_pages[size_t(i)].bytes = LargeBlock();
        m_pages[size_t(i)].fill = m_fill;
    }
    m_size = bytes;
    // The part of the old last page that becomes new room must read as
    // today's fill byte, whatever that page held or was filled with before.
    // A last page is made only as large as the buffer reached into it, so it
    // may have to grow first.
    if (bytes > oldSize && oldSize % kPageSize != 0) {
        const qint64 index = oldSize / kPageSize;
        const qint64 start = index * kPageSize;
        const qint64 end = std::min(bytes, start + kPageSize);
        Page& page = m_pages[size_t(index)];
        if (page.bytes.Data() && qint64(page.bytes.Size()) < end - start) {
            LargeBlock larger{size_t(end - start)};
            std::memcpy(larger.Data(), page.bytes.Data(), page.bytes.Size());
            page.bytes = std::move(larger);
        }
        if (page.bytes.Data() || page.fill != m_fill)
            std::memset(writablePage(index) + (oldSize - start), m_fill, size_t(end - oldSize));
    }
    ++m_revision;
}

void DataBuffer::Clear()
{
    for (Page& page : m_pages) {
        page.bytes = LargeBlock();
        page.fill = m_fill;
    }
    ++m_revision;
}

quint8* DataBuffer::writablePage(qint64 index)
{
    Page& page = m_pages[size_t(index)];
    if (!page.bytes.Data()) {
        // A small buffer (or its last page) costs only its own size.
        const qint64 bytes = std::min(kPageSize, m_size - index * kPageSize);
        page.bytes.Allocate(size_t(bytes));
        std::memset(page.bytes.Data(), page.fill, size_t(bytes));
    }
    return page.bytes.Data();
}

namespace {

// The part of [address, address + count) inside [0, size): its count.
qint64 Inside(qint64 address, qint64 count, qint64 size)
{
    if (address < 0 || address >= size || count <= 0)
        return 0;
    return std::min(count, size - address);
}

} // namespace

quint8 DataBuffer::ByteAt(qint64 address) const
{
    if (Inside(address, 1, m_size) == 0)
        return m_fill;
    const Page& page = m_pages[size_t(address / kPageSize)];
    return page.bytes.Data() ? page.bytes.Data()[address % kPageSize] : page.fill;
}

void DataBuffer::SetByte(qint64 address, quint8 value)
{
    Write(address, &value, 1);
}

qint64 DataBuffer::Read(qint64 address, quint8* out, qint64 count) const
{
    count = Inside(address, count, m_size);
    const qint64 done = count;
    while (count > 0) {
        const qint64 index = address / kPageSize;
        const qint64 offset = address % kPageSize;
        const qint64 n = std::min(count, kPageSize - offset);
        const Page& page = m_pages[size_t(index)];
        if (page.bytes.Data())
            std::memcpy(out, page.bytes.Data() + offset, size_t(n));
        else
            std::memset(out, page.fill, size_t(n));
        out += n;
        address += n;
        count -= n;
    }
    return done;
}

qint64 DataBuffer::Fill(qint64 address, qint64 count, quint8 value)
{
    count = Inside(address, count, m_size);
    const qint64 done = count;
    while (count > 0) {
        const qint64 index = address / kPageSize;
        const qint64 offset = address % kPageSize;
        const qint64 pageBytes = std::min(kPageSize, m_size - index * kPageSize);
        const qint64 n = std::min(count, pageBytes - offset);
        if (offset == 0 && n == pageBytes) {
            m_pages[size_t(index)].bytes = LargeBlock();
            m_pages[size_t(index)].fill = value;
        } else {
            std::memset(writablePage(index) + offset, value, size_t(n));
        }
        address += n;
        count -= n;
    }
    if (done > 0)
        ++m_revision;
    return done;
}

qint64 DataBuffer::Write(qint64 address, const quint8* data, qint64 count)
{
    count = Inside(address, count, m_size);
    const qint64 done = count;
    while (count > 0) {
        const qint64 index = address / kPageSize;
        const qint64 offset = address % kPageSize;
        const qint64 n = std::min(count, kPageSize - offset);
        std::memcpy(writablePage(index) + offset, data, size_t(n));
        data += n;
        address += n;
        count -= n;
    }
    ++m_revision;
    return done;
}

QByteArray DataBuffer::Bytes(qint64 address, qint64 count) const
{
    QByteArray bytes(Inside(address, count, m_size), Qt::Uninitialized);
    Read(address, reinterpret_cast<quint8*>(bytes.data()), bytes.size());
    return bytes;
}

qint64 DataBuffer::AllocatedBytes() const
{
    qint64 total = 0;
    for (const Page& page : m_pages)
        total += qint64(page.bytes.Size());
    return total;
}

void DataBuffer::SumBytes(qint64 count, quint64& evenSum, quint64& oddSum) const
{
    Q_ASSERT(count >= 0 && count <= m_size);
    if (m_lastSum.valid && m_lastSum.revision == m_revision && m_lastSum.count == count) {
        evenSum = m_lastSum.even;
        oddSum = m_lastSum.odd;
        return;
    }
    evenSum = oddSum = 0;
    // Pages are of even size, so an address's parity is its offset's.
    for (qint64 index = 0; index * kPageSize < count; ++index) {
        const qint64 n = std::min(kPageSize, count - index * kPageSize);
        const Page& page = m_pages[size_t(index)];
        if (!page.bytes.Data()) {
            evenSum += quint64(page.fill) * quint64((n + 1) / 2);
            oddSum += quint64(page.fill) * quint64(n / 2);
            continue;
        }
        const quint8* p = page.bytes.Data();
        quint64 even = 0, odd = 0;
        qint64 i = 0;
        for (; i + 1 < n; i += 2) {
            even += p[i];
            odd += p[i + 1];
        }
        if (i < n)
            even += p[i];
        evenSum += even;
        oddSum += odd;
    }
    m_lastSum = {true, m_revision, count, evenSum, oddSum};
}
