#include "StagedData.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

QString Hex(quint64 value) { return QStringLiteral("0x") + QString::number(value, 16).toUpper(); }

} // namespace

void StagedData::Reserve(qint64 bytes)
{
    m_bytes.reserve(size_t(std::max<qint64>(0, bytes)));
    m_records.reserve(size_t(std::max<qint64>(0, bytes / 16)));
}

void StagedData::Add(quint64 address, const quint8* data, quint32 length, qint64 line)
{
    if (length == 0)
        return;
    m_records.push_back(Record{address, quint64(m_bytes.size()), length, line});
    m_bytes.insert(m_bytes.end(), data, data + length);
}

bool StagedData::AddressRange(quint32 unit, quint64& low, quint64& high) const
{
    if (m_records.empty())
        return false;
    low = ~quint64(0);
    high = 0;
    for (const Record& r : m_records) {
        low = std::min(low, r.address);
        high = std::max(high, r.address + (r.length - 1) / unit);
    }
    return true;
}

bool StagedData::mergeOverlaps(quint32 unit, LoadFault& fault)
{
    // Records in order of their first byte; then each can overlap only the
    // last span of the union built so far, so one pass compares every
    // doubled byte once.
    std::vector<size_t> order(m_records.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return m_records[a].address < m_records[b].address; });
    m_spans.clear();
    for (size_t index : order) {
        const Record& r = m_records[index];
        const quint64 start = r.address * unit;
        const quint8* data = m_bytes.data() + r.offset;
        if (m_spans.empty() || start > m_spans.back().start + m_spans.back().bytes.size()) {
            m_spans.push_back(Span{start, std::vector<quint8>(data, data + r.length), {{start, r.line}}});
            continue;
        }
        Span& span = m_spans.back();
        const quint64 spanEnd = span.start + span.bytes.size();
        const quint64 shared = std::min<quint64>(r.length, spanEnd - start);
        for (quint64 i = 0; i < shared; ++i) {
            const quint8 before = span.bytes[size_t(start - span.start + i)];
            if (before != data[i]) {
                fault.line = r.line;
                fault.text = QStringLiteral("two values for address %1: %2 and %3")
                                 .arg(Hex((start + i) / unit), Hex(before), Hex(data[i]));
                return false;
            }
        }
        if (shared < r.length) {
            span.owners.push_back({start + shared, r.line});
            span.bytes.insert(span.bytes.end(), data + shared, data + r.length);
        }
    }
    return true;
}

bool StagedData::Place(const Window& window, qint64 bufferSize, std::vector<Placement>& out, LoadFault& fault)
{
    out.clear();
    const quint32 unit = window.unit;
    // A file in address order without doubled bytes (any tool's file) is
    // placed straight from its records.
    bool plain = true;
    for (size_t i = 1; i < m_records.size() && plain; ++i)
        plain = m_records[i].address * unit >= m_records[i - 1].address * unit + m_records[i - 1].length;
    if (!plain && !mergeOverlaps(unit, fault))
        return false;

    quint64 low = window.low;
    quint64 fileLow = 0, fileHigh = 0;
    if (window.autoLow && AddressRange(unit, fileLow, fileHigh))
        low = fileLow;
    const quint64 first = low * unit;
    const quint64 last = (window.high + 1) * unit; // exclusive

    auto place = [&](quint64 start, const quint8* data, quint64 length, auto lineAt) {
        const quint64 from = std::max(start, first);
        const quint64 to = std::min(start + length, last);
        if (from >= to)
            return true;
        const quint64 target = quint64(window.bufferAddress) + (from - first);
        if (target + (to - from) > quint64(bufferSize)) {
            const quint64 past = from + (quint64(bufferSize) > target ? quint64(bufferSize) - target : 0);
            fault.line = lineAt(past);
            fault.text = QStringLiteral("the data for address %1 lies past the end of the buffer (%2 bytes)")
                             .arg(Hex(past / unit))
                             .arg(bufferSize);
            return false;
        }
        out.push_back(Placement{qint64(target), data + (from - start), qint64(to - from)});
        return true;
    };
    if (plain) {
        for (const Record& r : m_records) {
            if (!place(r.address * unit, m_bytes.data() + r.offset, r.length, [&](quint64) { return r.line; }))
                return false;
        }
        return true;
    }
    for (const Span& s : m_spans) {
        auto lineAt = [&](quint64 position) {
            auto it = std::upper_bound(s.owners.begin(), s.owners.end(), position,
                                       [](quint64 p, const std::pair<quint64, qint64>& o) { return p < o.first; });
            return it == s.owners.begin() ? s.owners.front().second : std::prev(it)->second;
        };
        if (!place(s.start, s.bytes.data(), s.bytes.size(), lineAt))
            return false;
    }
    return true;
}
