#include "StagedData.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

QString Hex(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

} // namespace

void StagedData::Reserve(qint64 bytes)
{
    if (bytes <= 0 || quint64(bytes) <= m_store.Size())
        return;
    LargeBlock bigger{size_t(bytes)};
    if (m_used > 0)
        std::memcpy(bigger.Data(), m_store.Data(), size_t(m_used));
    m_store = std::move(bigger);
}

void StagedData::noteRange(quint64 address, quint64 length)
{
    m_lowAddress = std::min(m_lowAddress, address);
    m_highByte = std::max(m_highByte, address + length - 1);
    m_highWord = std::max(m_highWord, address + (length - 1) / 2);
}

void StagedData::Add(quint64 address, const quint8* data, quint32 length, qint64 line)
{
    if (length == 0)
        return;
    const quint64 position = address * m_unit;
    noteRange(address, length);
    if (m_probe >= 0 && quint64(m_probe) >= position && quint64(m_probe) < position + length)
        m_probedLine = line;
    if (!m_runs.empty() && !m_runs.back().uniform && m_runs.back().position + m_runs.back().length == position)
        m_runs.back().length += length;
    else
        m_runs.push_back(Run{position, m_used, length});
    if (m_used + length > m_store.Size())
        Reserve(qint64(std::max<quint64>(2 * m_store.Size(), m_used + length + 4096)));
    std::memcpy(m_store.Data() + m_used, data, length);
    m_used += length;
}

quint8* StagedData::AddFilled(quint64 address, qint64 length, quint8 value)
{
    if (length <= 0)
        return nullptr;
    Reserve(qint64(m_used) + length);
    quint8* first = m_store.Data() + m_used;
    std::memset(first, value, size_t(length));
    // Runs of at most 2^30 bytes keep the lengths in range; they follow each
    // other, so they join into one.
    const qint64 chunk = qint64(1) << 30;
    for (qint64 at = 0; at < length; at += chunk) {
        const quint32 n = quint32(std::min(chunk, length - at));
        const quint64 here = address + quint64(at) / m_unit;
        const quint64 position = here * m_unit;
        noteRange(here, n);
        if (!m_runs.empty() && !m_runs.back().uniform && m_runs.back().position + m_runs.back().length == position)
            m_runs.back().length += n;
        else
            m_runs.push_back(Run{position, m_used, n});
        m_used += n;
    }
    return first;
}

void StagedData::AddUniform(quint64 address, qint64 length, quint8 value)
{
    if (length <= 0)
        return;
    noteRange(address, quint64(length));
    m_runs.push_back(Run{address * m_unit, 0, quint64(length), true, value});
}

bool StagedData::AddressRange(quint32 unit, quint64& low, quint64& high) const
{
    if (m_runs.empty())
        return false;
    low = m_lowAddress;
    high = unit == 2 ? m_highWord : m_highByte;
    return true;
}

bool StagedData::mergeOverlaps(LoadFault& fault)
{
    // Runs in order of their first byte; then each can overlap only the
    // last span of the union built so far, so one pass compares every
    // doubled byte once.
    std::vector<size_t> order(m_runs.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return m_runs[a].position < m_runs[b].position; });
    m_spans.clear();
    m_spanBytes.clear();
    m_spanBytes.reserve(size_t(m_used));
    std::vector<quint8> uniformBytes;
    for (size_t index : order) {
        const Run& r = m_runs[index];
        const quint8* data = m_store.Data() + r.offset;
        if (r.uniform) {
            // Only a file that also gives bytes inside it gets here; its
            // bytes are spelled out to be compared.
            uniformBytes.assign(size_t(r.length), r.value);
            data = uniformBytes.data();
        }
        if (m_spans.empty() || r.position > m_spans.back().position + m_spans.back().length) {
            m_spans.push_back(Run{r.position, quint64(m_spanBytes.size()), r.length});
            m_spanBytes.insert(m_spanBytes.end(), data, data + r.length);
            continue;
        }
        Run& span = m_spans.back();
        const quint64 spanEnd = span.position + span.length;
        const quint64 shared = std::min<quint64>(r.length, spanEnd - r.position);
        const quint8* before = m_spanBytes.data() + span.offset + (r.position - span.position);
        for (quint64 i = 0; i < shared; ++i) {
            if (before[i] != data[i]) {
                fault.position = qint64(r.position + i);
                fault.text = QStringLiteral("two values for address %1: %2 and %3")
                                 .arg(Hex((r.position + i) / m_unit), Hex(before[i]), Hex(data[i]));
                return false;
            }
        }
        if (shared < r.length) {
            m_spanBytes.insert(m_spanBytes.end(), data + shared, data + r.length);
            span.length += r.length - shared;
        }
    }
    return true;
}

bool StagedData::Place(const Window& window, qint64 bufferSize, std::vector<Placement>& out, LoadFault& fault)
{
    out.clear();
    // A file in address order without doubled bytes is placed straight from
    // its runs.
    bool plain = true;
    for (size_t i = 1; i < m_runs.size() && plain; ++i)
        plain = m_runs[i].position >= m_runs[i - 1].position + m_runs[i - 1].length;
    if (!plain && !mergeOverlaps(fault))
        return false;
    const std::vector<Run>& runs = plain ? m_runs : m_spans;
    const quint8* bytes = plain ? m_store.Data() : m_spanBytes.data();

    quint64 low = window.low;
    if (window.autoLow && !m_runs.empty())
        low = m_lowAddress;
    const quint64 first = low * m_unit;
    const quint64 last = (window.high + 1) * m_unit; // exclusive
    out.reserve(runs.size());
    for (const Run& r : runs) {
        const quint64 from = std::max(r.position, first);
        const quint64 to = std::min(r.position + r.length, last);
        if (from >= to)
            continue;
        const quint64 target = quint64(window.bufferAddress) + (from - first);
        if (target + (to - from) > quint64(bufferSize)) {
            const quint64 past = from + (quint64(bufferSize) > target ? quint64(bufferSize) - target : 0);
            fault.position = qint64(past);
            fault.text = QStringLiteral("the data for address %1 lies past the end of the buffer (%2 bytes)")
                             .arg(Hex(past / m_unit))
                             .arg(bufferSize);
            return false;
        }
        if (plain && r.uniform)
            out.push_back(Placement{qint64(target), nullptr, qint64(to - from), r.value});
        else
            out.push_back(Placement{qint64(target), bytes + r.offset + (from - r.position), qint64(to - from)});
    }
    return true;
}
