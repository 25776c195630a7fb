#pragma once

// The buffer's checksum, from its real bytes. Method 0 adds the bytes,
// method 1 the 16-bit little-endian words (a last odd byte counts as a word
// of its own); the sum is kept in 32 bits. Type 0 sums the buffer, type 1 the
// device's size (past the buffer's end the fill byte counts), type 2 is the
// two's complement of the buffer's sum: the value that, added to the sum,
// gives zero, as tools that store a checksum beside the data print it.

#include "QXBufferExport.h"

#include <QString>

class DataBuffer;

class QXBUFFER_EXPORT BufferChecksum
{
public:
    enum Method : qint32 { Bytes8 = 0, Words16 = 1 };
    enum Type : qint32 { OverBuffer = 0, OverDevice = 1, Complement = 2 };

    static quint32 Sum(const DataBuffer& buffer, qint32 method, qint32 type, qint64 deviceBytes);
    // Eight upper-case hexadecimal digits.
    static QString Text(const DataBuffer& buffer, qint32 method, qint32 type, qint64 deviceBytes);
};
