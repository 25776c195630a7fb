#include "DataFileReader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The value of a hexadecimal digit, -1 for any other character.
constexpr std::array<qint8, 256> MakeHexTable()
{
    std::array<qint8, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = -1;
    for (int i = 0; i < 10; ++i)
        t[size_t('0' + i)] = qint8(i);
    for (int i = 0; i < 6; ++i) {
        t[size_t('A' + i)] = qint8(10 + i);
        t[size_t('a' + i)] = qint8(10 + i);
    }
    return t;
}
constexpr std::array<qint8, 256> kHex = MakeHexTable();

// The byte of each pair of characters (read as they lie in memory), -1 when
// either is not a hexadecimal digit: one look-up per byte of a record.
const std::array<qint16, 65536>& PairTable()
{
    static const std::array<qint16, 65536> table = [] {
        std::array<qint16, 65536> t{};
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const char pair[2] = {char(a), char(b)};
                quint16 key;
                std::memcpy(&key, pair, 2);
                t[key] = (kHex[size_t(a)] < 0 || kHex[size_t(b)] < 0) ? qint16(-1)
                                                                      : qint16(kHex[size_t(a)] << 4 | kHex[size_t(b)]);
            }
        }
        return t;
    }();
    return table;
}

// The longest record either format can carry: a count byte of 255 plus the
// fields around it.
constexpr int kMaxRecordBytes = 260;

QString Hex2(quint32 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}
QString Hex4(quint32 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QString Printable(char c)
{
    const uchar u = uchar(c);
    return u >= 32 && u < 127 ? QStringLiteral("'%1'").arg(QLatin1Char(c)) : QStringLiteral("byte 0x%1").arg(Hex2(u));
}

bool Fail(LoadFault& fault, qint64 line, const QString& text)
{
    fault.line = line;
    fault.text = text;
    return false;
}

// Decodes one record from p (just after its lead-in) to the end of its line
// and moves p past the line end; false with the fault named. count receives
// the number of bytes. One pass finds the line end and checks the digits.
bool ScanRecord(const char*& p, const char* end, qint64 line, quint8* out, int& count, quint8& sum, LoadFault& fault)
{
    const std::array<qint16, 65536>& pairs = PairTable();
    const char* q = p;
    int n = 0;
    quint32 total = 0;
    while (end - q >= 2) {
        quint16 key;
        std::memcpy(&key, q, 2);
        const qint16 value = pairs[key];
        if (value < 0)
            break;
        if (n == kMaxRecordBytes)
            return Fail(fault, line, QStringLiteral("the record is longer than any record can be"));
        out[n++] = quint8(value);
        total += quint32(value);
        q += 2;
    }
    sum = quint8(total);
    // What ends the digits must be the line's end.
    const char* stop = q;
    if (stop < end && kHex[uchar(*stop)] >= 0)
        ++stop; // one digit more: an odd count, or a bad character after it
    const bool lineEnd = stop == end || *stop == '\n' || (*stop == '\r' && (stop + 1 == end || stop[1] == '\n'));
    if (!lineEnd)
        return Fail(fault, line, QStringLiteral("%1 is not a hexadecimal digit").arg(Printable(*stop)));
    if (stop != q)
        return Fail(fault, line, QStringLiteral("odd number of hexadecimal digits (%1)").arg(2 * n + 1));
    if (stop < end && *stop == '\r')
        ++stop;
    if (stop < end)
        ++stop;
    p = stop;
    count = n;
    return true;
}

// Skips an empty line at p; true when there was one.
bool SkipEmptyLine(const char*& p, const char* end)
{
    if (*p == '\n') {
        ++p;
        return true;
    }
    if (*p == '\r' && (p + 1 == end || p[1] == '\n')) {
        p += p + 1 == end ? 1 : 2;
        return true;
    }
    return false;
}

} // namespace

bool DataFileReader::Read(qint32 type, const char* text, qint64 size, qint64 maxFuses, StagedData& staged,
                          LoadFault& fault)
{
    if (size == 0)
        return Fail(fault, 0, QStringLiteral("the file is empty"));
    switch (type) {
    case 0: return ReadBinary(text, size, staged, fault);
    case 1: return ReadIntelHex(text, size, staged, fault);
    case 2: return ReadJedec(text, size, maxFuses, staged, fault);
    case 3: return ReadSRecords(text, size, staged, fault);
    default: return Fail(fault, 0, QStringLiteral("no reader for the file type %1").arg(type));
    }
}

bool DataFileReader::ReadBinary(const char* text, qint64 size, StagedData& staged, LoadFault& fault)
{
    // Records of at most 2^31 bytes keep the lengths in range.
    const qint64 chunk = qint64(1) << 30;
    staged.Reserve(size);
    for (qint64 at = 0; at < size; at += chunk)
        staged.Add(quint64(at), reinterpret_cast<const quint8*>(text) + at, quint32(std::min(chunk, size - at)), 0);
    return true;
}

bool DataFileReader::ReadIntelHex(const char* text, qint64 size, StagedData& staged, LoadFault& fault)
{
    staged.Reserve(size / 2);
    const char* p = text;
    const char* end = text + size;
    qint64 line = 0;
    quint64 base = 0;       // from the last 02 or 04 record
    bool segmented = false; // the last was an 02 record
    quint8 rec[kMaxRecordBytes];
    while (p < end) {
        ++line;
        if (SkipEmptyLine(p, end))
            continue;
        if (*p != ':')
            return Fail(fault, line, QStringLiteral("a record must begin with ':', not %1").arg(Printable(*p)));
        ++p;
        int n = 0;
        quint8 sum = 0;
        if (!ScanRecord(p, end, line, rec, n, sum, fault))
            return false;
        if (n < 5)
            return Fail(fault, line, QStringLiteral("the record is cut short (%1 bytes)").arg(n));
        if (rec[0] + 5 != n)
            return Fail(
                fault, line,
                QStringLiteral("the length field says %1 data bytes, the record holds %2").arg(rec[0]).arg(n - 5));
        if (sum != 0)
            return Fail(fault, line,
                        QStringLiteral("checksum mismatch (the record sums to %1h, not 00h)").arg(Hex2(sum)));
        const quint32 offset = quint32(rec[1]) << 8 | rec[2];
        const quint8 type = rec[3];
        const quint8* data = rec + 4;
        const int length = rec[0];
        // The length each record type must carry; -1 for data of any length.
        static const int kLength[] = {-1, 0, 2, 4, 2, 4};
        if (type > 5)
            return Fail(fault, line, QStringLiteral("unknown record type %1").arg(Hex2(type)));
        if (kLength[type] >= 0 && length != kLength[type])
            return Fail(fault, line,
                        QStringLiteral("a type %1 record carries %2 bytes, not %3")
                            .arg(Hex2(type))
                            .arg(kLength[type])
                            .arg(length));
        switch (type) {
        case 0:
            if (segmented && offset + quint32(length) > 0x10000) {
                // In a segment the offset wraps at 64 KiB: the rest of the
                // record lies at the segment's start.
                const quint32 before = 0x10000 - offset;
                staged.Add(base + offset, data, before, line);
                staged.Add(base, data + before, quint32(length) - before, line);
            } else {
                staged.Add(base + offset, data, quint32(length), line);
            }
            break;
        case 1: return true; // the end: what follows is not read
        case 2:
            base = quint64(quint32(data[0]) << 8 | data[1]) << 4;
            segmented = true;
            break;
        case 4:
            base = quint64(quint32(data[0]) << 8 | data[1]) << 16;
            segmented = false;
            break;
        default: break; // 03 and 05: start addresses, nothing for the buffer
        }
    }
    return Fail(fault, line, QStringLiteral("no end-of-file record (type 01)"));
}

bool DataFileReader::ReadSRecords(const char* text, qint64 size, StagedData& staged, LoadFault& fault)
{
    staged.Reserve(size / 2);
    const char* p = text;
    const char* end = text + size;
    qint64 line = 0;
    quint8 rec[kMaxRecordBytes];
    quint64 dataRecords = 0;
    // Bytes of the address field of S0 to S9; 0: no such record.
    static const int kAddressBytes[] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};
    while (p < end) {
        ++line;
        if (SkipEmptyLine(p, end))
            continue;
        if (*p != 'S' && *p != 's')
            return Fail(fault, line, QStringLiteral("a record must begin with 'S', not %1").arg(Printable(*p)));
        if (end - p < 2 || p[1] == '\n' || p[1] == '\r')
            return Fail(fault, line, QStringLiteral("the record is cut short"));
        const char kind = p[1];
        if (kind < '0' || kind > '9' || kAddressBytes[kind - '0'] == 0)
            return Fail(fault, line,
                        QStringLiteral("unknown record type S%1").arg(Printable(kind).remove(QLatin1Char('\''))));
        const int type = kind - '0';
        p += 2;
        int n = 0;
        quint8 sum = 0;
        if (!ScanRecord(p, end, line, rec, n, sum, fault))
            return false;
        const int addressBytes = kAddressBytes[type];
        if (n < 1 || rec[0] + 1 != n)
            return Fail(fault, line,
                        QStringLiteral("the length field says %1 bytes, the record holds %2")
                            .arg(n ? rec[0] : 0)
                            .arg(n ? n - 1 : 0));
        if (n < addressBytes + 2)
            return Fail(fault, line, QStringLiteral("the record is too short for an S%1 record").arg(type));
        if (sum != 0xFF)
            return Fail(fault, line,
                        QStringLiteral("checksum mismatch (the record sums to %1h, not FFh)").arg(Hex2(sum)));
        quint64 address = 0;
        for (int i = 0; i < addressBytes; ++i)
            address = address << 8 | rec[1 + i];
        const quint8* data = rec + 1 + addressBytes;
        const int length = n - addressBytes - 2;
        switch (type) {
        case 1:
        case 2:
        case 3:
            staged.Add(address, data, quint32(length), line);
            ++dataRecords;
            break;
        case 5:
        case 6:
            if (length != 0)
                return Fail(fault, line, QStringLiteral("an S%1 record carries no data").arg(type));
            if (address != dataRecords % (quint64(1) << (8 * addressBytes)))
                return Fail(fault, line,
                            QStringLiteral("the S%1 count says %2 data records, the file holds %3")
                                .arg(type)
                                .arg(address)
                                .arg(dataRecords));
            break;
        case 7:
        case 8:
        case 9: return true; // termination: what follows is not read
        default: break;      // S0: the header
        }
    }
    // Tools leave the termination record out when there is no start address.
    return true;
}

bool DataFileReader::ReadJedec(const char* text, qint64 size, qint64 maxFuses, StagedData& staged, LoadFault& fault)
{
    const char* begin = text;
    const char* end = text + size;
    const char* stx = static_cast<const char*>(std::memchr(begin, '\x02', size_t(size)));
    if (!stx)
        return Fail(fault, 0, QStringLiteral("no start of text (STX) in the JEDEC file"));
    const char* etx = static_cast<const char*>(std::memchr(stx, '\x03', size_t(end - stx)));
    auto lineOf = [&](const char* p) { return qint64(std::count(begin, p, '\n')) + 1; };
    if (!etx)
        return Fail(fault, lineOf(end), QStringLiteral("no end of text (ETX) in the JEDEC file"));

    // The transmission checksum: the 16-bit sum of the bytes from STX to
    // ETX; "0000" means the sender did not compute it.
    const qint64 etxLine = lineOf(etx);
    if (end - etx < 5 || kHex[uchar(etx[1])] < 0 || kHex[uchar(etx[2])] < 0 || kHex[uchar(etx[3])] < 0
        || kHex[uchar(etx[4])] < 0)
        return Fail(fault, etxLine, QStringLiteral("the transmission checksum after ETX is missing or cut"));
    quint32 given = 0;
    for (int i = 1; i <= 4; ++i)
        given = given << 4 | quint32(kHex[uchar(etx[i])]);
    quint32 sum = 0;
    for (const char* p = stx; p <= etx; ++p)
        sum += uchar(*p);
    sum &= 0xFFFF;
    if (given != 0 && given != sum)
        return Fail(fault, etxLine,
                    QStringLiteral("transmission checksum mismatch (the file says %1h, its text sums to %2h)")
                        .arg(Hex4(given), Hex4(sum)));

    // The fields between STX and ETX end in '*'; the first is the design
    // specification.
    struct Field
    {
        const char* begin;
        const char* end;
        qint64 line;
    };
    std::vector<Field> fields;
    qint64 line = lineOf(stx);
    const char* p = stx + 1;
    bool first = true;
    while (p < etx) {
        const char* star = static_cast<const char*>(std::memchr(p, '*', size_t(etx - p)));
        const char* fe = star ? star : etx;
        const char* fb = p;
        while (fb < fe && (*fb == ' ' || *fb == '\t' || *fb == '\r' || *fb == '\n')) {
            if (*fb == '\n')
                ++line;
            ++fb;
        }
        if (!first && fb < fe)
            fields.push_back(Field{fb, fe, line});
        line += std::count(fb, fe, '\n');
        first = false;
        p = star ? star + 1 : etx;
    }

    auto number = [](const char*& q, const char* e, quint64& value) {
        const char* start = q;
        value = 0;
        while (q < e && *q >= '0' && *q <= '9' && value <= 0xFFFFFFFFull)
            value = value * 10 + quint64(*q++ - '0');
        return q > start && value <= 0xFFFFFFFFull;
    };

    // Without QF the fuses are the device's whole buffer.
    qint64 fuses = maxFuses;
    int defaultState = 0;
    bool anyFuseData = false;
    for (const Field& f : fields) {
        const char* q = f.begin + 1;
        if (f.end - f.begin >= 2 && f.begin[0] == 'Q' && f.begin[1] == 'F') {
            q = f.begin + 2;
            quint64 count = 0;
            if (!number(q, f.end, count))
                return Fail(fault, f.line, QStringLiteral("QF does not give a fuse count"));
            if (qint64(count) > maxFuses)
                return Fail(fault, f.line,
                            QStringLiteral("QF gives %1 fuses, the buffer holds %2").arg(count).arg(maxFuses));
            fuses = qint64(count);
        } else if (f.begin[0] == 'F') {
            if (q >= f.end || (*q != '0' && *q != '1'))
                return Fail(fault, f.line, QStringLiteral("F must give the default fuse state 0 or 1"));
            defaultState = *q - '0';
            anyFuseData = true;
        } else if (f.begin[0] == 'L') {
            anyFuseData = true;
        }
    }
    // A file without a fuse list or a default state would load a blank
    // buffer: it is refused, as an empty file is.
    if (!anyFuseData)
        return Fail(fault, lineOf(etx), QStringLiteral("the file holds no fuse data (no L or F field)"));

    // What the file costs follows what it holds: the fuses up to the last one
    // an L field names are staged one byte each (the L fields write them in
    // place, a later field over an earlier one); the rest of the fuses take
    // the default state without bytes of their own.
    qint64 listed = 0;
    for (const Field& f : fields) {
        const char* q = f.begin + 1;
        quint64 fuse = 0;
        if (f.begin[0] != 'L' || !number(q, f.end, fuse))
            continue;
        fuse += quint64(std::count_if(q, f.end, [](char c) { return c == '0' || c == '1'; }));
        listed = std::max(listed, qint64(std::min<quint64>(fuse, quint64(fuses))));
    }
    quint8* state = staged.AddFilled(0, listed, quint8(defaultState));
    if (!state && listed > 0)
        return Fail(fault, 0, QStringLiteral("there is no room for the fuses"));
    staged.AddUniform(quint64(listed), fuses - listed, quint8(defaultState));
    bool haveChecksum = false;
    quint32 fuseChecksum = 0;
    qint64 checksumLine = 0;
    for (const Field& f : fields) {
        const char* q = f.begin + 1;
        if (f.begin[0] == 'L') {
            quint64 fuse = 0;
            if (!number(q, f.end, fuse))
                return Fail(fault, f.line, QStringLiteral("L does not give a fuse number"));
            qint64 lineHere = f.line;
            for (; q < f.end; ++q) {
                const char c = *q;
                if (c == '\n')
                    ++lineHere;
                if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                    continue;
                if (c != '0' && c != '1')
                    return Fail(fault, lineHere, QStringLiteral("%1 is not a fuse state (0 or 1)").arg(Printable(c)));
                if (fuse >= quint64(fuses))
                    return Fail(fault, lineHere,
                                QStringLiteral("fuse %1 lies past the fuse count (%2)").arg(fuse).arg(fuses));
                state[size_t(fuse++)] = quint8(c - '0');
            }
        } else if (f.begin[0] == 'C') {
            if (f.end - q < 4 || kHex[uchar(q[0])] < 0 || kHex[uchar(q[1])] < 0 || kHex[uchar(q[2])] < 0
                || kHex[uchar(q[3])] < 0)
                return Fail(fault, f.line, QStringLiteral("C does not give a 4-digit fuse checksum"));
            fuseChecksum = 0;
            for (int i = 0; i < 4; ++i)
                fuseChecksum = fuseChecksum << 4 | quint32(kHex[uchar(q[i])]);
            haveChecksum = true;
            checksumLine = f.line;
        }
        // N (notes) and every other field are skipped.
    }
    if (haveChecksum) {
        // Fuses taken eight at a time, fuse 0 the lowest bit, summed in 16 bits.
        quint64 sumFuses = 0;
        for (qint64 i = 0; i < listed; ++i)
            sumFuses += quint64(state[i]) << (i % 8);
        // The unlisted fuses in default state 1 add 2^(i mod 8) each.
        if (defaultState == 1) {
            for (qint64 bit = 0; bit < 8; ++bit) {
                const qint64 first = listed + ((bit - listed % 8) + 8) % 8;
                if (first < fuses)
                    sumFuses += quint64((fuses - 1 - first) / 8 + 1) << bit;
            }
        }
        sumFuses &= 0xFFFF;
        if (sumFuses != fuseChecksum)
            return Fail(fault, checksumLine,
                        QStringLiteral("fuse checksum mismatch (the file says %1h, the fuses sum to %2h)")
                            .arg(Hex4(fuseChecksum), Hex4(quint32(sumFuses))));
    }
    return true;
}
