#include "LinkedLoad.h"

#include "JobFile.h"

#include "qxbuffer/DataBuffer.h"

#include <QStringList>

namespace {

const char* const kKeys[] = {"LoadType", "LoadFill", "LoadSize",          "LoadClear",         "LoadAutoLow",
                             "LoadLow",  "LoadHigh", "LoadBufferAddress", "LoadWordAddressing"};

} // namespace

qint32 LinkedLoad::Rebuild(DataBuffer& staged, QString& error) const
{
    staged.SetFillByte(fill);
    staged.Resize(0);
    staged.Resize(size);
    BufferFiles files(staged);
    const qint32 code = files.LoadRange(path, type, options);
    error = files.LastErrorText();
    return code;
}

void LinkedLoad::Write(JobFile& job, const QString& section) const
{
    const quint64 values[] = {quint64(type),         fill,        quint64(size), options.clear,
                              options.autoLow,       options.low, options.high,  options.bufferAddress,
                              options.wordAddressing};
    for (size_t i = 0; i < std::size(kKeys); ++i)
        job.Set(section, QString::fromLatin1(kKeys[i]), QString::number(values[i]));
}

std::optional<LinkedLoad> LinkedLoad::Read(const JobFile& job, const QString& section, const QString& path)
{
    quint64 values[std::size(kKeys)] = {};
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        const std::optional<QString> text = job.Value(section, QString::fromLatin1(kKeys[i]));
        bool ok = false;
        values[i] = text ? text->toULongLong(&ok) : 0;
        if (!ok)
            return std::nullopt;
    }
    const auto flag = [](quint64 v) { return v != 0; };
    LinkedLoad load;
    load.path = path;
    load.type = qint32(values[0]);
    if (values[1] > 0xFF || values[2] > quint64(DataBuffer::kMaxSize) || values[5] > 0xFFFFFFFFull
        || values[6] > 0xFFFFFFFFull || values[7] > 0xFFFFFFFFull)
        return std::nullopt;
    load.fill = quint8(values[1]);
    load.size = qint64(values[2]);
    load.options.clear = flag(values[3]);
    load.options.autoLow = flag(values[4]);
    load.options.low = quint32(values[5]);
    load.options.high = quint32(values[6]);
    load.options.bufferAddress = quint32(values[7]);
    load.options.wordAddressing = flag(values[8]);
    return load;
}
