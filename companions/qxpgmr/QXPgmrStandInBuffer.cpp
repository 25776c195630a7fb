// The engine's data buffer and its data files: each member is a short call
// into the buffer library (companions/qxbuffer), whose one buffer per
// process the viewer shows as well.
//
//   BufferSize            the buffer in bytes: the selected device's words x
//                         data width / 8, a byte per fuse when SizeInFuses,
//                         0 with no device. A put keeps the bytes that fit;
//                         new room holds the fill byte.
//   DefaultBufferByte     the fill byte of a clear, a clearing load and new
//                         room. Bytes put into the buffer (a load, a read,
//                         an edit) keep their values; a buffer that holds
//                         nothing yet (cleared, or sized and never written)
//                         is all fill, so it takes the new value throughout.
//   DataFileValue313      clears; answers False (the buffer is empty), raises
//                         nothing (the program's BufferCleared handler calls
//                         it).
//   LoadDataFileRange, LoadDataFileAs, SaveDataFileRange, SaveDataFile
//                         answer 0, or one of the codes 301 to 307 below,
//                         whose ErrorMessageText names the file, the line (or
//                         fuse) and the fault. A load is all or nothing; a
//                         successful one sets DataFileTypeCode and raises
//                         UpdateJobSetting20 (ClearBufferMode), 33 (a radix
//                         other than decimal), for a range load 76 (its
//                         automatic low address), then DataFileLoaded. WordAddressing counts the file
//                         addresses of Intel and S-record files in 16-bit
//                         words.
//   ChecksumText          over the real bytes (BufferChecksum.h): type 0 the
//                         buffer, 1 the device's size, 2 the two's complement
//                         of the buffer's sum.
//   DisplayRadix          0 decimal; any other value is kept as 1.
//   LoadFileFlag147       on a Vexal device (DeviceIsVexal), the secure
//                         variant the last loaded data file chose, 1-based,
//                         0 for none: a text file beside the data file, its
//                         name followed by ".secure", names the variant on
//                         its first line (SecureVariantNameAt spelling). The
//                         load sets SecureMode to whether it chose one. On
//                         any other device 0, and SecureMode stays.
//   FuseChecksum          for a device counted in fuses (a byte per fuse,
//                         set when not 0): the fuses packed eight to a byte,
//                         the first fuse in the lowest bit, and those bytes
//                         summed in 16 bits, as fuse-map files state it; 0
//                         for any other device.
//
// When the engine drops the selected device on its own (RefreshState202
// after a failed selection) the buffer goes with it and BufferCleared tells
// the program.

#include "QXPgmrStandIn.h"

#include "engine/QXPgmrControl.h"
#include "qxbuffer/BufferChecksum.h"
#include "qxbuffer/BufferFiles.h"
#include "qxbuffer/DataBuffer.h"
#include "qxbuffer/FileTypeTable.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

DataBuffer& Buffer()
{
    return DataBuffer::Instance();
}

// A size or address as the program's Long holds it.
qint32 ToLong(qint64 value)
{
    return qint32(std::clamp<qint64>(value, 0, std::numeric_limits<qint32>::max()));
}

// The library's codes lifted out of the range of the run results, so that
// ErrorMessageText tells them apart: 301 cannot be read, 302 damaged, 303 a
// format of the list this engine does not read or write, 304 no such
// format, 305 no device, 306 a range that does not fit, 307 cannot be
// written.
constexpr qint32 kFileResultBase = 300;
qint32 EngineResult(qint32 libraryCode)
{
    return libraryCode == 0 ? 0 : kFileResultBase + libraryCode;
}

QString FileResultText(qint32 code)
{
    switch (code - kFileResultBase) {
    case DataFileResult::CannotOpen: return QStringLiteral("The data file cannot be read.");
    case DataFileResult::Malformed: return QStringLiteral("The data file is damaged.");
    case DataFileResult::Refused: return QStringLiteral("The data-file format is not supported by this engine.");
    case DataFileResult::UnknownType: return QStringLiteral("There is no such data-file format.");
    case DataFileResult::NoBuffer: return QStringLiteral("No device is selected, so there is no buffer.");
    case DataFileResult::BadRange: return QStringLiteral("The address range does not fit the buffer.");
    case DataFileResult::CannotWrite: return QStringLiteral("The data file cannot be written.");
    default: return QString();
    }
}

} // namespace

qint64 QXPgmrStandIn::deviceBufferBytes() const
{
    if (!m_device)
        return 0;
    if (m_device->SizeInFuses())
        return m_device->size;
    return (m_device->size * std::max(1, m_device->dataWidth) + 7) / 8;
}

bool QXPgmrStandIn::bufferHoldsData() const
{
    return Buffer().Revision() != m_emptyRevision;
}

void QXPgmrStandIn::resizeBuffer(qint64 bytes)
{
    const bool empty = !bufferHoldsData();
    Buffer().Resize(bytes);
    if (empty)
        m_emptyRevision = Buffer().Revision();
}

void QXPgmrStandIn::clearBuffer()
{
    Buffer().Clear();
    m_emptyRevision = Buffer().Revision();
}

void QXPgmrStandIn::resetBuffer()
{
    // A new engine starts as the engine does after its start: no device, so
    // no buffer, and the fill byte of an erased device.
    Buffer().SetFillByte(0xFF);
    Buffer().Resize(0);
    clearBuffer();
}

void QXPgmrStandIn::dropBuffer()
{
    const bool had = Buffer().Size() > 0;
    resizeBuffer(0);
    clearBuffer();
    if (had)
        RaiseEvent.BufferCleared();
}

qint32 QXPgmrStandIn::fileResult(qint32 libraryCode)
{
    const qint32 result = EngineResult(libraryCode);
    if (result != 0) {
        m_lastFileResult = result;
        m_lastFileError = m_files->LastErrorText();
    }
    return result;
}

void QXPgmrStandIn::rememberLoad(const QString& path, const LoadOptions& options, quint8 fill, const FileStamp& stamp)
{
    // A load over what the buffer held before cannot be replayed alone.
    if (!options.clear) {
        m_lastLoad.reset();
        return;
    }
    m_lastLoad = LinkedLoad{QFileInfo(path).absoluteFilePath(), m_files->LoadedType(), options, fill, Buffer().Size()};
    m_lastLoadRevision = Buffer().Revision();
    m_lastLoadStamp = stamp;
}

qint32 QXPgmrStandIn::loaded(qint32 libraryCode, QVariantList& args, std::optional<bool> autoLow)
{
    const qint32 result = fileResult(libraryCode);
    if (result != 0)
        return result;
    // A detected format goes back to the caller as the one that was loaded.
    Store(QXPgmrId::DataFileTypeCode, m_files->LoadedType());
    takeSecureVariant(args.value(0).toString());
    if (args.size() > 1)
        args[1] = QVariant::fromValue(m_files->LoadedType());
    // The load's settings as the engine holds them: clear before read, the
    // radix, and for a range load whether its low address was found itself.
    RaiseEvent.UpdateJobSetting20(IsVbTrue(Stored(QXPgmrId::ClearBufferMode)));
    RaiseEvent.UpdateJobSetting33(Stored(QXPgmrId::DisplayRadix).toInt() != 0);
    if (autoLow)
        RaiseEvent.UpdateJobSetting76(*autoLow);
    RaiseEvent.DataFileLoaded();
    return 0;
}

void QXPgmrStandIn::takeSecureVariant(const QString& dataFile)
{
    m_loadFileVariant = 0;
    if (!m_device || m_device->Capability(QStringLiteral("DeviceIsVexal")) == 0)
        return;
    // A Vexal device is secured as its data file says; a file that names no
    // variant of the device leaves it unsecured.
    QFile note(dataFile + QStringLiteral(".secure"));
    if (note.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString variant = QString::fromUtf8(note.readLine()).trimmed();
        const qsizetype at = m_device->secureVariants.indexOf(variant);
        m_loadFileVariant = at < 0 ? 0 : qint32(at + 1);
    }
    Store(QXPgmrId::SecureMode, VbBool(m_loadFileVariant > 0));
}

QString QXPgmrStandIn::fileErrorText(qint32 result) const
{
    if (result == m_lastFileResult && !m_lastFileError.isEmpty())
        return m_lastFileError;
    return FileResultText(result);
}

QString QXPgmrStandIn::checksumText() const
{
    return BufferChecksum::Text(Buffer(), Stored(QXPgmrId::ChecksumMethod).toInt(),
                                Stored(QXPgmrId::ChecksumType).toInt(), deviceBufferBytes());
}

void QXPgmrStandIn::bindBuffer()
{
    m_files = std::make_unique<BufferFiles>(Buffer());
    resetBuffer();

    Answer(QXPgmrId::BufferSize, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return QVariant(ToLong(Buffer().Size()));
        resizeBuffer(std::max<qint64>(0, Arg(args, int(args.size()) - 1, ValueKind::Long).toInt()));
        return QVariant();
    });
    Answer(QXPgmrId::DefaultBufferByte, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return QVariant(qint32(Buffer().FillByte()));
        Buffer().SetFillByte(quint8(Arg(args, int(args.size()) - 1, ValueKind::Long).toInt() & 0xFF));
        if (!bufferHoldsData())
            clearBuffer();
        return QVariant();
    });
    Answer(QXPgmrId::DataFileValue313, [this](InvokeKind, QVariantList&) {
        clearBuffer();
        return QVariant(VbBool(false));
    });
    Answer(QXPgmrId::DisplayRadix, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return QVariant(Stored(QXPgmrId::DisplayRadix).toInt() != 0 ? qint32(1) : qint32(0));
        Store(QXPgmrId::DisplayRadix,
              Arg(args, int(args.size()) - 1, ValueKind::Long).toInt() != 0 ? qint32(1) : qint32(0));
        return QVariant();
    });
    Answer(QXPgmrId::ChecksumText, [this](InvokeKind, QVariantList&) { return QVariant(checksumText()); });
    Answer(QXPgmrId::LoadFileFlag147, [this](InvokeKind, QVariantList&) { return QVariant(m_loadFileVariant); });
    Answer(QXPgmrId::FuseChecksum, [this](InvokeKind, QVariantList&) {
        if (!m_device || !m_device->SizeInFuses())
            return QVariant(qint32(0));
        const DataBuffer& buffer = Buffer();
        const QByteArray fuses = buffer.Bytes(0, std::min<qint64>(buffer.Size(), m_device->size));
        quint32 sum = 0;
        quint8 packed = 0;
        for (qsizetype i = 0; i < fuses.size(); ++i) {
            if (fuses.at(i) != 0)
                packed |= quint8(1u << (i % 8));
            if (i % 8 == 7 || i + 1 == fuses.size()) {
                sum += packed;
                packed = 0;
            }
        }
        return QVariant(qint32(sum & 0xFFFF));
    });

    // The format list.
    Answer(QXPgmrId::FileTypeCount, [](InvokeKind, QVariantList&) { return QVariant(FileTypeTable::kCount); });
    Answer(QXPgmrId::FileTypeNameAt, [this](InvokeKind, QVariantList& args) {
        return QVariant(FileTypeTable::NameAt(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::FileTypeInfoAt, [this](InvokeKind, QVariantList& args) {
        return VbBool(
            FileTypeTable::CanWrite(Arg(args, 0, ValueKind::Long).toInt(), m_device && m_device->SizeInFuses()));
    });
    Answer(QXPgmrId::FileTypeTakesRange, [this](InvokeKind, QVariantList& args) {
        return VbBool(FileTypeTable::TakesRange(Arg(args, 0, ValueKind::Long).toInt()));
    });

    // Files before a load.
    Answer(QXPgmrId::DetectFileType, [this](InvokeKind, QVariantList& args) {
        return QVariant(m_files->DetectFileType(Arg(args, 0, ValueKind::String).toString()));
    });
    Answer(QXPgmrId::GetFileDate, [this](InvokeKind, QVariantList& args) {
        const QDateTime date = BufferFiles::FileDate(Arg(args, 0, ValueKind::String).toString());
        return date.isValid() ? QVariant(date) : DefaultOf(ValueKind::Date);
    });
    Answer(QXPgmrId::GetFileSize, [this](InvokeKind, QVariantList& args) {
        return QVariant(ToLong(BufferFiles::FileSize(Arg(args, 0, ValueKind::String).toString())));
    });
    Answer(QXPgmrId::AutoLowestAddress, [this](InvokeKind, QVariantList&) {
        return QVariant::fromValue(qint32(m_files->AutoLowestAddress(IsVbTrue(Stored(QXPgmrId::WordAddressing)))));
    });
    Answer(QXPgmrId::GetAutoAddressRange, [this](InvokeKind, QVariantList& args) {
        quint32 low = 0, high = 0;
        m_files->GetAutoAddressRange(IsVbTrue(Stored(QXPgmrId::WordAddressing)), low, high);
        if (args.size() > 0)
            args[0] = QVariant::fromValue(qint32(low));
        if (args.size() > 1)
            args[1] = QVariant::fromValue(qint32(high));
        return QVariant();
    });

    // Loads and saves. A load is remembered with the fill it was made over
    // and the file's stamp from before it was read.
    const auto loadFile = [this](const QString& path, qint32 type, const LoadOptions& options) {
        const quint8 fill = Buffer().FillByte();
        const FileStamp stamp = FileStamp::Now(path);
        const qint32 code = m_files->LoadRange(path, type, options);
        if (code == 0)
            rememberLoad(path, options, fill, stamp);
        return code;
    };
    Answer(QXPgmrId::LoadDataFileRange, [this, loadFile](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        const qint32 type = Arg(args, 1, ValueKind::Long).toInt();
        LoadOptions options;
        options.clear = IsVbTrue(Arg(args, 2, ValueKind::Bool));
        options.autoLow = IsVbTrue(Arg(args, 3, ValueKind::Bool));
        // Addresses are unsigned 32-bit values in the Long's bits.
        options.low = quint32(Arg(args, 4, ValueKind::Long).toInt());
        options.high = quint32(Arg(args, 5, ValueKind::Long).toInt());
        options.bufferAddress = quint32(Arg(args, 6, ValueKind::Long).toInt());
        options.wordAddressing = IsVbTrue(Stored(QXPgmrId::WordAddressing));
        return QVariant(loaded(loadFile(path, type, options), args, options.autoLow));
    });
    Answer(QXPgmrId::LoadDataFileAs, [this, loadFile](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        const qint32 type = Arg(args, 1, ValueKind::Long).toInt();
        LoadOptions options; // the whole file into a cleared buffer
        options.wordAddressing = IsVbTrue(Stored(QXPgmrId::WordAddressing));
        return QVariant(loaded(loadFile(path, type, options), args));
    });
    Answer(QXPgmrId::SaveDataFileRange, [this](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        const qint32 type = Arg(args, 1, ValueKind::Long).toInt();
        const bool entire = IsVbTrue(Arg(args, 2, ValueKind::Bool));
        const quint32 low = quint32(Arg(args, 3, ValueKind::Long).toInt());
        const quint32 high = quint32(Arg(args, 4, ValueKind::Long).toInt());
        return QVariant(
            fileResult(m_files->SaveRange(path, type, entire, low, high, IsVbTrue(Stored(QXPgmrId::WordAddressing)))));
    });
    Answer(QXPgmrId::SaveDataFile, [this](InvokeKind, QVariantList& args) {
        const QString path = Arg(args, 0, ValueKind::String).toString();
        const qint32 type = Arg(args, 1, ValueKind::Long).toInt();
        return QVariant(fileResult(m_files->Save(path, type, IsVbTrue(Stored(QXPgmrId::WordAddressing)))));
    });
}
