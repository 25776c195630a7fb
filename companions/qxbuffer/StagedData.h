#pragma once

// What a reader found in a file, before any of it reaches the buffer: the
// data records with their file addresses and the line that gave each. A load
// reads and checks the whole file into this first and commits only when all
// of it is sound, so a bad file leaves the buffer as it was.

#include "QXBufferExport.h"

#include <QString>
#include <vector>

struct QXBUFFER_EXPORT LoadFault
{
    qint64 line = 0; // 0: the fault is not on one line
    QString text;
    bool IsSet() const { return !text.isEmpty(); }
};

class QXBUFFER_EXPORT StagedData
{
public:
    struct Record
    {
        quint64 address; // in file units: bytes, or 16-bit words
        quint64 offset;  // of its first byte in Bytes()
        quint32 length;  // bytes
        qint64 line;
    };
    // Where a run of bytes goes in the buffer.
    struct Placement
    {
        qint64 target;
        const quint8* data;
        qint64 length;
    };
    struct Window
    {
        quint32 unit = 1; // bytes per file address: 1, or 2 for word addressing
        bool autoLow = false;
        quint64 low = 0;           // lowest file address to take
        quint64 high = 0xFFFFFFFF; // highest file address to take
        qint64 bufferAddress = 0;  // where the data at low goes
    };

    void Reserve(qint64 bytes);
    void Add(quint64 address, const quint8* data, quint32 length, qint64 line);
    bool IsEmpty() const { return m_records.empty(); }
    const std::vector<Record>& Records() const { return m_records; }

    // The file's lowest and highest address holding data, in file units of
    // the given size; false when the file holds no data.
    bool AddressRange(quint32 unit, quint64& low, quint64& high) const;

    // Where every byte inside the window goes. Fails, naming the line, when
    // the file gives two values for one address or when a byte would land
    // past the buffer's end; a value given twice alike is taken once.
    bool Place(const Window& window, qint64 bufferSize, std::vector<Placement>& out, LoadFault& fault);

private:
    struct Span
    {
        quint64 start;
        std::vector<quint8> bytes;
        std::vector<std::pair<quint64, qint64>> owners; // (first position, line) of each record in it
    };

    bool mergeOverlaps(quint32 unit, LoadFault& fault);

    std::vector<Record> m_records;
    std::vector<quint8> m_bytes;
    std::vector<Span> m_spans; // the records' union, when they overlap or come out of order
};
