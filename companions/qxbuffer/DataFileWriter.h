#pragma once

// Writers of the data-file formats the engine saves. Every byte of the
// chosen buffer range is written, fill bytes included, so a file loaded
// back gives the same bytes. Intel HEX carries 04 records for addresses past
// 64 KiB; S-records take S1, S2 or S3 by the highest address, with the S5 or
// S6 count and the matching termination record; JEDEC carries both the fuse
// and the transmission checksum.

#include "QXBufferExport.h"

#include <QByteArray>

class DataBuffer;
class QIODevice;

class QXBUFFER_EXPORT DataFileWriter
{
public:
    // Writes buffer bytes [first, first + count) to out as a file of the
    // type, a block at a time; false when out refuses a write. unit is the
    // number of bytes per file address (2 for word addressing), and file
    // addresses are buffer addresses / unit.
    static bool Write(qint32 type, const DataBuffer& buffer, qint64 first, qint64 count, quint32 unit, QIODevice& out);

    static bool WriteIntelHex(const DataBuffer& buffer, qint64 first, qint64 count, quint32 unit, QIODevice& out);
    static bool WriteSRecords(const DataBuffer& buffer, qint64 first, qint64 count, quint32 unit, QIODevice& out);
    // One fuse per buffer byte: any byte other than 0 is a 1.
    static bool WriteJedec(const DataBuffer& buffer, qint64 first, qint64 count, QIODevice& out);
    static bool WriteBinary(const DataBuffer& buffer, qint64 first, qint64 count, QIODevice& out);
};
