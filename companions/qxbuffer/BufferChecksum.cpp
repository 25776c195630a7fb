#include "BufferChecksum.h"

#include "DataBuffer.h"

#include <algorithm>

quint32 BufferChecksum::Sum(const DataBuffer& buffer, qint32 method, qint32 type, qint64 deviceBytes)
{
    const qint64 span = type == OverDevice ? std::max<qint64>(0, deviceBytes) : buffer.Size();
    const qint64 inBuffer = std::min(span, buffer.Size());
    quint64 even = 0, odd = 0;
    buffer.SumBytes(inBuffer, even, odd);
    // Past the buffer's end the fill byte stands in; parity follows the
    // absolute address.
    const qint64 rest = span - inBuffer;
    if (rest > 0) {
        const qint64 evenCount = (span + 1) / 2 - (inBuffer + 1) / 2;
        even += quint64(buffer.FillByte()) * quint64(evenCount);
        odd += quint64(buffer.FillByte()) * quint64(rest - evenCount);
    }
    const quint64 sum = method == Words16 ? even + (odd << 8) : even + odd;
    return type == Complement ? quint32(0u - quint32(sum)) : quint32(sum);
}

QString BufferChecksum::Text(const DataBuffer& buffer, qint32 method, qint32 type, qint64 deviceBytes)
{
    return QStringLiteral("%1").arg(Sum(buffer, method, type, deviceBytes), 8, 16, QLatin1Char('0')).toUpper();
}
