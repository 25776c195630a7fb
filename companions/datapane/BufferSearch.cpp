#include "BufferSearch.h"

#include "qxbuffer/DataBuffer.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr qint64 kBlock = qint64(4) * 1024 * 1024;

// Bytes [first, first + count) as the editor shows them.
void ReadShown(const DataBuffer& buffer, const std::map<qint64, quint8>& edits, qint64 first, qint64 count,
               std::vector<quint8>& out)
{
    out.resize(size_t(count));
    buffer.Read(first, out.data(), count);
    for (auto edit = edits.lower_bound(first); edit != edits.end() && edit->first < first + count; ++edit)
        out[size_t(edit->first - first)] = edit->second;
}

} // namespace

bool BufferSearch::ParseHex(const QString& text, QByteArray& pattern)
{
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    if (digits.isEmpty() || digits.size() % 2 != 0)
        return false;
    pattern.clear();
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        bool ok = false;
        const uint value = digits.mid(i, 2).toUInt(&ok, 16);
        if (!ok)
            return false;
        pattern.append(char(value));
    }
    return true;
}

qint64 BufferSearch::Find(const DataBuffer& buffer, const std::map<qint64, quint8>& edits, const QByteArray& pattern,
                          qint64 from, bool forwards)
{
    const qint64 size = buffer.Size();
    const qint64 length = pattern.size();
    if (length == 0 || length > size)
        return -1;
    const auto* needle = reinterpret_cast<const quint8*>(pattern.constData());
    std::vector<quint8> block;
    // Blocks overlap by the pattern's length less one, so a match across
    // their border is found in the later one.
    if (forwards) {
        const std::boyer_moore_horspool_searcher searcher(needle, needle + length);
        for (qint64 start = std::max<qint64>(0, from); start + length <= size; start += kBlock) {
            const qint64 count = std::min(kBlock + length - 1, size - start);
            ReadShown(buffer, edits, start, count, block);
            const auto hit = std::search(block.begin(), block.end(), searcher);
            if (hit != block.end())
                return start + (hit - block.begin());
        }
        return -1;
    }
    // Backwards: the last start at or before from.
    qint64 end = std::min(from, size - length) + length; // one past the last byte a match may use
    while (end >= length) {
        const qint64 start = std::max<qint64>(0, end - kBlock - length + 1);
        ReadShown(buffer, edits, start, end - start, block);
        const auto hit = std::find_end(block.begin(), block.end(), needle, needle + length);
        if (hit != block.end())
            return start + (hit - block.begin());
        if (start == 0)
            break;
        end = start + length - 1;
    }
    return -1;
}
