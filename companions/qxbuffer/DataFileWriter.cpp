#include "DataFileWriter.h"

#include "DataBuffer.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr qint64 kRecordBytes = 32;

// Two upper-case hexadecimal digits for each byte value.
struct HexPairs
{
    std::array<char, 512> digits{};
    HexPairs()
    {
        const char* d = "0123456789ABCDEF";
        for (int i = 0; i < 256; ++i) {
            digits[size_t(2 * i)] = d[i >> 4];
            digits[size_t(2 * i + 1)] = d[i & 15];
        }
    }
};
const HexPairs kPairs;

// Text gathered in a block that stays in the cache and goes to the file
// when full, so a large file is never held whole in memory.
class TextOut
{
public:
    explicit TextOut(QIODevice& device) : m_device(device), m_block(size_t(kBlock + kSlack)) {}
    // Room for at least one record's text.
    char* Room()
    {
        if (m_at >= kBlock)
            Flush();
        return m_block.data() + m_at;
    }
    void Done(char* end) { m_at = end - m_block.data(); }
    bool Flush()
    {
        if (m_at > 0 && m_device.write(m_block.data(), m_at) != m_at)
            m_failed = true;
        m_at = 0;
        return !m_failed;
    }
    bool Finish() { return Flush() && !m_failed; }

private:
    static constexpr qint64 kBlock = 256 * 1024;
    static constexpr qint64 kSlack = 4096; // more than any record's text
    QIODevice& m_device;
    std::vector<char> m_block;
    qint64 m_at = 0;
    bool m_failed = false;
};

inline char* PutByte(char* out, quint8 value, quint8& sum)
{
    out[0] = kPairs.digits[size_t(2 * value)];
    out[1] = kPairs.digits[size_t(2 * value + 1)];
    sum = quint8(sum + value);
    return out + 2;
}

// Feeds the buffer range in blocks, so a large buffer is never copied whole.
class BlockReader
{
public:
    BlockReader(const DataBuffer& buffer, qint64 first, qint64 count)
        : m_buffer(buffer), m_next(first), m_end(first + count), m_block(size_t(kSize))
    {
    }
    static constexpr qint64 kSize = 64 * 1024;
    // Up to max bytes (max not above kSize); returns how many.
    qint64 Take(qint64 max, const quint8*& data)
    {
        if (m_at == m_have) {
            m_have = std::min<qint64>(kSize, m_end - m_next);
            m_buffer.Read(m_next, m_block.data(), m_have);
            m_next += m_have;
            m_at = 0;
        }
        const qint64 n = std::min(max, m_have - m_at);
        data = m_block.data() + m_at;
        m_at += n;
        return n;
    }

private:
    const DataBuffer& m_buffer;
    qint64 m_next;
    qint64 m_end;
    std::vector<quint8> m_block;
    qint64 m_have = 0;
    qint64 m_at = 0;
};

} // namespace

bool DataFileWriter::Write(qint32 type, const DataBuffer& buffer, qint64 first, qint64 count, quint32 unit, QIODevice& out)
{
    switch (type) {
    case 0: return WriteBinary(buffer, first, count, out);
    case 1: return WriteIntelHex(buffer, first, count, unit, out);
    case 2: return WriteJedec(buffer, first, count, out);
    case 3: return WriteSRecords(buffer, first, count, unit, out);
    default: return false;
    }
}

bool DataFileWriter::WriteBinary(const DataBuffer& buffer, qint64 first, qint64 count, QIODevice& out)
{
    BlockReader reader(buffer, first, count);
    for (qint64 done = 0; done < count;) {
        const quint8* data = nullptr;
        const qint64 n = reader.Take(BlockReader::kSize, data);
        if (out.write(reinterpret_cast<const char*>(data), n) != n)
            return false;
        done += n;
    }
    return true;
}

bool DataFileWriter::WriteIntelHex(const DataBuffer& buffer, qint64 first, qint64 count, quint32 unit, QIODevice& device)
{
    TextOut text(device);
    BlockReader reader(buffer, first, count);
    qint64 position = first;
    qint64 upper = -1;
    const qint64 end = first + count;
    while (position < end) {
        char* out = text.Room();
        const quint64 address = quint64(position) / unit;
        if (qint64(address >> 16) != upper) {
            upper = qint64(address >> 16);
            quint8 sum = 0;
            *out++ = ':';
            out = PutByte(out, 2, sum);
            out = PutByte(out, 0, sum);
            out = PutByte(out, 0, sum);
            out = PutByte(out, 4, sum);
            out = PutByte(out, quint8(upper >> 8), sum);
            out = PutByte(out, quint8(upper), sum);
            out = PutByte(out, quint8(0 - sum), sum);
            *out++ = '\n';
        }
        // A record never crosses a 64 K boundary of file addresses.
        const qint64 room = qint64(0x10000 - (address & 0xFFFF)) * unit;
        const quint8* data = nullptr;
        const qint64 n = reader.Take(std::min({kRecordBytes, room, end - position}), data);
        quint8 sum = 0;
        *out++ = ':';
        out = PutByte(out, quint8(n), sum);
        out = PutByte(out, quint8(address >> 8), sum);
        out = PutByte(out, quint8(address), sum);
        out = PutByte(out, 0, sum);
        for (qint64 i = 0; i < n; ++i)
            out = PutByte(out, data[i], sum);
        out = PutByte(out, quint8(0 - sum), sum);
        *out++ = '\n';
        text.Done(out);
        position += n;
    }
    const char eof[] = ":00000001FF\n";
    text.Done(std::copy(eof, eof + sizeof eof - 1, text.Room()));
    return text.Finish();
}

bool DataFileWriter::WriteSRecords(const DataBuffer& buffer, qint64 first, qint64 count, quint32 unit, QIODevice& device)
{
    const quint64 highest = count > 0 ? quint64(first + count - 1) / unit : 0;
    const int addressBytes = highest <= 0xFFFF ? 2 : highest <= 0xFFFFFF ? 3 : 4;
    const char dataKind = char('1' + (addressBytes - 2));
    const char endKind = char('9' - (addressBytes - 2));
    TextOut text(device);

    auto record = [&](char kind, quint64 address, int width, const quint8* data, qint64 n) {
        char* out = text.Room();
        quint8 sum = 0;
        *out++ = 'S';
        *out++ = kind;
        out = PutByte(out, quint8(width + n + 1), sum);
        for (int i = width - 1; i >= 0; --i)
            out = PutByte(out, quint8(address >> (8 * i)), sum);
        for (qint64 i = 0; i < n; ++i)
            out = PutByte(out, data[i], sum);
        out = PutByte(out, quint8(0xFF - sum), sum);
        *out++ = '\n';
        text.Done(out);
    };

    static const quint8 kHeader[] = {'T', 'a', 'r', 'v', 'o'};
    record('0', 0, 2, kHeader, sizeof kHeader);
    BlockReader reader(buffer, first, count);
    quint64 records = 0;
    for (qint64 position = first; position < first + count; ++records) {
        const quint8* data = nullptr;
        const qint64 n = reader.Take(std::min(kRecordBytes, first + count - position), data);
        record(dataKind, quint64(position) / unit, addressBytes, data, n);
        position += n;
    }
    // The count of data records: S5 in 16 bits, S6 in 24; beyond that none.
    if (records <= 0xFFFF)
        record('5', records, 2, nullptr, 0);
    else if (records <= 0xFFFFFF)
        record('6', records, 3, nullptr, 0);
    record(endKind, 0, addressBytes, nullptr, 0);
    return text.Finish();
}

bool DataFileWriter::WriteJedec(const DataBuffer& buffer, qint64 first, qint64 count, QIODevice& device)
{
    // Fuse files are small (one character per fuse): built whole, because
    // the transmission checksum covers all of it.
    QByteArray body;
    body.reserve(qsizetype(count + count / 64 * 12 + 128));
    body += '\x02';
    body += "Tarvo JEDEC fuse file*\n";
    body += "QF" + QByteArray::number(count) + "*\n";
    body += "F0*\n";
    quint32 fuseSum = 0;
    BlockReader reader(buffer, first, count);
    for (qint64 fuse = 0; fuse < count;) {
        const quint8* data = nullptr;
        const qint64 n = reader.Take(std::min<qint64>(64, count - fuse), data);
        body += 'L' + QByteArray::number(fuse).rightJustified(7, '0') + ' ';
        for (qint64 i = 0; i < n; ++i) {
            const bool blown = data[i] != 0;
            body += blown ? '1' : '0';
            if (blown)
                fuseSum += 1u << ((fuse + i) % 8);
        }
        body += "*\n";
        fuse += n;
    }
    body += 'C' + QByteArray::number(fuseSum & 0xFFFF, 16).toUpper().rightJustified(4, '0') + "*\n";
    body += '\x03';
    quint32 transmission = 0;
    for (char c : body)
        transmission += uchar(c);
    body += QByteArray::number(transmission & 0xFFFF, 16).toUpper().rightJustified(4, '0') + "\n";
    return device.write(body) == body.size();
}
