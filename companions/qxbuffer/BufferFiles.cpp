#include "BufferFiles.h"

#include "DataFileDetector.h"
#include "DataFileReader.h"
#include "DataFileWriter.h"
#include "FileTypeTable.h"
#include "LargeBlock.h"
#include "StagedData.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <new>

namespace {

QString Hex(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

// The file's bytes, read whole into memory that huge pages can back:
// cheaper on a busy machine than a mapping faulted in a page at a time.
class FileBytes
{
public:
    bool Open(const QString& path, QString& why)
    {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            why = QFileInfo::exists(path) ? file.errorString() : QStringLiteral("no such file");
            return false;
        }
        const qint64 size = file.size();
        m_block.Allocate(size_t(size));
        qint64 done = 0;
        while (done < size) {
            const qint64 n = file.read(reinterpret_cast<char*>(m_block.Data()) + done, size - done);
            if (n <= 0)
                break;
            done += n;
        }
        if (done != size) {
            why = file.errorString();
            return false;
        }
        m_size = size;
        return true;
    }
    const char* Data() const { return m_block.Data() ? reinterpret_cast<const char*>(m_block.Data()) : ""; }
    qint64 Size() const { return m_size; }

private:
    LargeBlock m_block;
    qint64 m_size = 0;
};

quint32 Unit(qint32 type, bool wordAddressing)
{
    return wordAddressing && (type == 1 || type == 3) ? 2 : 1;
}

} // namespace

qint32 BufferFiles::fail(qint32 code, const QString& path, qint64 line, const QString& text)
{
    m_error = line > 0 ? QStringLiteral("%1: line %2: %3").arg(path).arg(line).arg(text)
                       : QStringLiteral("%1: %2").arg(path, text);
    return code;
}

qint32 BufferFiles::checkType(const QString& path, qint32 type)
{
    if (FileTypeTable::CanRead(type))
        return DataFileResult::Ok;
    const bool inList = type >= 0 && type < FileTypeTable::kCount;
    return fail(inList ? DataFileResult::Refused : DataFileResult::UnknownType, path, 0,
                FileTypeTable::RefusalText(type));
}

qint32 BufferFiles::LoadRange(const QString& path, qint32 type, const LoadOptions& options)
{
    // A file too large for memory is refused, never a crash of the engine.
    try {
        return loadRange(path, type, options);
    } catch (const std::bad_alloc&) {
        return fail(DataFileResult::CannotOpen, path, 0, QStringLiteral("there is not enough memory to read it"));
    }
}

qint32 BufferFiles::loadRange(const QString& path, qint32 type, const LoadOptions& options)
{
    m_error.clear();
    FileBytes file;
    QString why;
    if (!file.Open(path, why))
        return fail(DataFileResult::CannotOpen, path, 0, QStringLiteral("cannot be read (%1)").arg(why));
    if (type == kAutoType)
        type = DataFileDetector::Detect(
            QByteArray::fromRawData(file.Data(), qsizetype(std::min(file.Size(), DataFileDetector::kHeadSize))));
    if (const qint32 refused = checkType(path, type))
        return refused;
    if (m_buffer.Size() == 0)
        return fail(DataFileResult::NoBuffer, path, 0,
                    QStringLiteral("there is no buffer to load into (no device is selected)"));

    const bool ranged = FileTypeTable::TakesRange(type);
    const quint32 unit = ranged ? Unit(type, options.wordAddressing) : 1;
    StagedData staged(unit);
    LoadFault fault;
    if (!DataFileReader::Read(type, file.Data(), file.Size(), m_buffer.Size(), staged, fault))
        return fail(DataFileResult::Malformed, path, fault.line, fault.text);
    // A file that holds no data (an end record alone) is refused as an empty
    // one is: loading it would only clear the buffer.
    if (staged.IsEmpty())
        return fail(DataFileResult::Malformed, path, 0, QStringLiteral("the file is empty"));

    StagedData::Window window;
    if (ranged) {
        window.autoLow = options.autoLow;
        window.low = options.low;
        window.high = options.high;
        window.bufferAddress = options.bufferAddress;
        if (!options.autoLow && options.low > options.high)
            return fail(DataFileResult::BadRange, path, 0,
                        QStringLiteral("the lowest address %1 lies above the highest %2")
                            .arg(Hex(options.low), Hex(options.high)));
    }
    std::vector<StagedData::Placement> placements;
    if (!staged.Place(window, m_buffer.Size(), placements, fault)) {
        // The runs keep no lines: read the file once more for the one
        // that gave the byte at fault.
        StagedData probe(unit);
        probe.Probe(fault.position);
        LoadFault ignored;
        DataFileReader::Read(type, file.Data(), file.Size(), m_buffer.Size(), probe, ignored);
        return fail(DataFileResult::Malformed, path, probe.ProbedLine(), fault.text);
    }

    // Everything is checked: from here on the load cannot fail.
    if (options.clear)
        m_buffer.Clear();
    for (const StagedData::Placement& p : placements) {
        if (p.data)
            m_buffer.Write(p.target, p.data, p.length);
        else
            m_buffer.Fill(p.target, p.length, p.value);
    }
    m_loadedType = type;
    return DataFileResult::Ok;
}

qint32 BufferFiles::LoadAs(const QString& path, qint32 type, bool wordAddressing)
{
    LoadOptions options;
    options.wordAddressing = wordAddressing;
    return LoadRange(path, type, options);
}

qint32 BufferFiles::SaveRange(const QString& path, qint32 type, bool entire, quint32 low, quint32 high,
                              bool wordAddressing)
{
    m_error.clear();
    if (const qint32 refused = checkType(path, type))
        return refused;
    const qint64 size = m_buffer.Size();
    if (size == 0)
        return fail(DataFileResult::NoBuffer, path, 0,
                    QStringLiteral("there is no buffer to save (no device is selected)"));
    const quint32 unit = Unit(type, wordAddressing);
    qint64 first = 0;
    qint64 end = size;
    if (!entire && FileTypeTable::TakesRange(type)) {
        if (low > high)
            return fail(DataFileResult::BadRange, path, 0,
                        QStringLiteral("the lowest address %1 lies above the highest %2").arg(Hex(low), Hex(high)));
        first = qint64(low) * unit;
        end = (qint64(high) + 1) * unit;
        // The last word of an odd-sized buffer is written as its one byte.
        if (qint64(high) * unit >= size)
            return fail(DataFileResult::BadRange, path, 0,
                        QStringLiteral("the highest address %1 lies past the end of the buffer (%2 bytes)")
                            .arg(Hex(high))
                            .arg(size));
        end = std::min(end, size);
    }
    // Written beside the old file and put in its place only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(DataFileResult::CannotWrite, path, 0,
                    QStringLiteral("cannot be written (%1)").arg(file.errorString()));
    bool written = false;
    try {
        written = DataFileWriter::Write(type, m_buffer, first, end - first, unit, file);
    } catch (const std::bad_alloc&) {
        return fail(DataFileResult::CannotWrite, path, 0, QStringLiteral("there is not enough memory to write it"));
    }
    if (!written || !file.commit())
        return fail(DataFileResult::CannotWrite, path, 0,
                    QStringLiteral("cannot be written (%1)").arg(file.errorString()));
    return DataFileResult::Ok;
}

qint32 BufferFiles::Save(const QString& path, qint32 type, bool wordAddressing)
{
    return SaveRange(path, type, true, 0, 0, wordAddressing);
}

qint32 BufferFiles::DetectFileType(const QString& path)
{
    m_autoLow[0] = m_autoLow[1] = m_autoHigh[0] = m_autoHigh[1] = 0;
    try {
        return detect(path);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

qint32 BufferFiles::detect(const QString& path)
{
    FileBytes file;
    QString why;
    if (!file.Open(path, why))
        return 0;
    const qint32 type = DataFileDetector::Detect(
        QByteArray::fromRawData(file.Data(), qsizetype(std::min(file.Size(), DataFileDetector::kHeadSize))));
    if (!FileTypeTable::CanRead(type))
        return type;
    StagedData staged(1);
    LoadFault fault;
    if (!DataFileReader::Read(type, file.Data(), file.Size(), m_buffer.Size(), staged, fault))
        return type;
    for (quint32 unit : {1u, 2u}) {
        quint64 low = 0, high = 0;
        if (staged.AddressRange(Unit(type, unit == 2), low, high)) {
            m_autoLow[unit - 1] = low;
            m_autoHigh[unit - 1] = high;
        }
    }
    return type;
}

quint32 BufferFiles::AutoLowestAddress(bool wordAddressing) const
{
    return quint32(m_autoLow[wordAddressing ? 1 : 0]);
}

void BufferFiles::GetAutoAddressRange(bool wordAddressing, quint32& low, quint32& high) const
{
    low = quint32(m_autoLow[wordAddressing ? 1 : 0]);
    high = quint32(std::min<quint64>(m_autoHigh[wordAddressing ? 1 : 0], 0xFFFFFFFF));
}

qint64 BufferFiles::FileSize(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : 0;
}

QDateTime BufferFiles::FileDate(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.lastModified() : QDateTime();
}
