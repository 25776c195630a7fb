#pragma once

// What a reader found in a file, before any of it reaches the buffer: runs of
// data at byte positions (file address times the bytes per address). A load
// reads and checks the whole file into this first and commits only when all
// of it is sound, so a bad file leaves the buffer as it was. Records that
// follow each other are kept as one run, so a file written in address order
// (any tool's file) costs a copy of its data and little more.

#include "LargeBlock.h"
#include "QXBufferExport.h"

#include <QString>
#include <algorithm>
#include <vector>

struct QXBUFFER_EXPORT LoadFault
{
    qint64 line = 0;      // 0: not known or not on one line
    qint64 position = -1; // a byte position whose line the caller can look up
    QString text;
    bool IsSet() const { return !text.isEmpty(); }
};

class QXBUFFER_EXPORT StagedData
{
public:
    // Where a run of bytes goes in the buffer.
    struct Placement
    {
        qint64 target;
        const quint8* data; // nullptr: every byte is value
        qint64 length;
        quint8 value = 0;
    };
    struct Window
    {
        bool autoLow = false;
        quint64 low = 0;           // lowest file address to take
        quint64 high = 0xFFFFFFFF; // highest file address to take
        qint64 bufferAddress = 0;  // in bytes, where the data at low goes
    };

    // unit: bytes per file address, 1, or 2 for word addressing.
    explicit StagedData(quint32 unit = 1)
        : m_unit(unit)
    {
    }

    // Room for this many data bytes, so the copy never moves.
    void Reserve(qint64 bytes);
    // line is used only to answer LineOf.
    void Add(quint64 address, const quint8* data, quint32 length, qint64 line);
    // A run of length bytes at address, every byte value, for the reader to
    // change in place: the answer points at its first byte and stays valid
    // until the next Add or AddFilled.
    quint8* AddFilled(quint64 address, qint64 length, quint8 value);
    // A run of length bytes at address that are all value, kept without
    // bytes of its own: a file that says "the rest is 0" costs nothing for
    // the rest.
    void AddUniform(quint64 address, qint64 length, quint8 value);
    bool IsEmpty() const { return m_runs.empty(); }

    // The file's lowest and highest address holding data, counted in bytes
    // (unit 1) or words (unit 2); false when the file holds no data.
    bool AddressRange(quint32 unit, quint64& low, quint64& high) const;

    // Where every byte inside the window goes. Fails, with the byte position
    // in the fault, when the file gives two values for one address or when a
    // byte would land past the buffer's end; a value given twice alike is
    // taken once.
    bool Place(const Window& window, qint64 bufferSize, std::vector<Placement>& out, LoadFault& fault);

    // Looking up a line: Add remembers the last line whose data covers the
    // position.
    void Probe(qint64 position) { m_probe = position; }
    qint64 ProbedLine() const { return m_probedLine; }

private:
    struct Run
    {
        quint64 position;
        quint64 offset; // of its first byte in m_bytes
        quint64 length;
        bool uniform = false; // no bytes stored: every byte is value
        quint8 value = 0;
    };

    void noteRange(quint64 address, quint64 length);

    bool mergeOverlaps(LoadFault& fault);

    quint32 m_unit;
    std::vector<Run> m_runs;
    LargeBlock m_store; // the data bytes, in file order
    quint64 m_used = 0;
    // The runs' union when they overlap or come out of order.
    std::vector<Run> m_spans;
    std::vector<quint8> m_spanBytes;
    quint64 m_lowAddress = ~quint64(0);
    quint64 m_highByte = 0;
    quint64 m_highWord = 0;
    qint64 m_probe = -1;
    qint64 m_probedLine = 0;
};
