// Data files: the detection of the format, and each reader (binary, Intel
// HEX, JEDEC, S-records) with the placement of what it read into a buffer of
// 1 MiB. The first byte picks the reader, the rest is the file.

#include "FuzzSupport.h"

#include "DataBuffer.h"
#include "DataFileDetector.h"
#include "DataFileReader.h"
#include "StagedData.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const char* text = reinterpret_cast<const char*>(data + 1);
    const qint64 length = qint64(size - 1);
    DataFileDetector::Detect(QByteArray::fromRawData(text, qsizetype(length)));

    const qint32 type = data[0] % 4;
    constexpr qint64 kBufferSize = qint64(1) << 20;
    StagedData staged(data[0] & 0x10 ? 2 : 1);
    LoadFault fault;
    if (length == 0 || !DataFileReader::Read(type, text, length, kBufferSize, staged, fault))
        return 0;
    quint64 low = 0, high = 0;
    staged.AddressRange(1, low, high);
    StagedData::Window window;
    window.autoLow = true;
    std::vector<StagedData::Placement> placements;
    if (!staged.Place(window, kBufferSize, placements, fault))
        return 0;
    DataBuffer buffer;
    buffer.Resize(kBufferSize);
    for (const StagedData::Placement& p : placements) {
        fuzz::Check(p.target >= 0 && p.target + p.length <= kBufferSize, "a placement lies outside the buffer");
        if (p.data)
            buffer.Write(p.target, p.data, p.length);
        else
            buffer.Fill(p.target, p.length, p.value);
    }
    return 0;
}
