#pragma once

// Loading data files into the buffer and saving the buffer to files, as the
// engine's file members do it. A load is all or nothing: the whole file is
// read and checked first, and only a sound file changes the buffer. A save
// replaces the file only when all of it was written. Each call answers 0 or
// a non-zero code; LastErrorText() then names the file, the line (or fuse)
// and the fault.

#include "DataBuffer.h"
#include "QXBufferExport.h"

#include <QDateTime>
#include <QString>

namespace DataFileResult {
constexpr qint32 Ok = 0;
constexpr qint32 CannotOpen = 1;  // missing or unreadable file
constexpr qint32 Malformed = 2;   // the content breaks its format
constexpr qint32 Refused = 3;     // a format of the list the engine does not read or write
constexpr qint32 UnknownType = 4; // a code outside the list
constexpr qint32 NoBuffer = 5;    // no device selected, so no buffer
constexpr qint32 BadRange = 6;    // the range does not fit the buffer
constexpr qint32 CannotWrite = 7; // the file could not be written
} // namespace DataFileResult

struct QXBUFFER_EXPORT LoadOptions
{
    bool clear = true;          // fill the buffer with the fill byte first
    bool autoLow = false;       // take the file's lowest address as the low
    quint32 low = 0;            // file addresses to take, in file units
    quint32 high = 0xFFFFFFFF;
    quint32 bufferAddress = 0;  // in bytes, where the data at low goes
    bool wordAddressing = false; // Intel and S-records: file addresses count 16-bit words
};

class QXBUFFER_EXPORT BufferFiles
{
public:
    // The format the engine detects (255).
    static constexpr qint32 kAutoType = 255;

    explicit BufferFiles(DataBuffer& buffer = DataBuffer::Instance()) : m_buffer(buffer) {}

    qint32 LoadRange(const QString& path, qint32 type, const LoadOptions& options);
    // The whole file from address 0, into a cleared buffer.
    qint32 LoadAs(const QString& path, qint32 type, bool wordAddressing);
    // low and high are file addresses (words with word addressing); a format
    // that takes no range always writes the whole buffer.
    qint32 SaveRange(const QString& path, qint32 type, bool entire, quint32 low, quint32 high, bool wordAddressing);
    qint32 Save(const QString& path, qint32 type, bool wordAddressing);

    QString LastErrorText() const { return m_error; }
    // The format of the last successful load (the detected one for 255).
    qint32 LoadedType() const { return m_loadedType; }

    // Detects the file's format and keeps its address range for the two
    // members below; a file that does not read gives the range 0 to 0.
    qint32 DetectFileType(const QString& path);
    quint32 AutoLowestAddress(bool wordAddressing) const;
    void GetAutoAddressRange(bool wordAddressing, quint32& low, quint32& high) const;

    // 0 and an invalid date for a missing file.
    static qint64 FileSize(const QString& path);
    static QDateTime FileDate(const QString& path);

private:
    qint32 fail(qint32 code, const QString& path, qint64 line, const QString& text);
    qint32 loadRange(const QString& path, qint32 type, const LoadOptions& options);
    qint32 detect(const QString& path);
    qint32 checkType(const QString& path, qint32 type);

    DataBuffer& m_buffer;
    QString m_error;
    qint32 m_loadedType = 0;
    // The file last detected: its range in byte and in word units.
    quint64 m_autoLow[2] = {0, 0};
    quint64 m_autoHigh[2] = {0, 0};
};
