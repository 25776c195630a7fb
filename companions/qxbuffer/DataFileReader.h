#pragma once

// Readers of the data-file formats the engine loads: Intel HEX (records 00
// to 05), Motorola S-records (S0 to S9, with the S5/S6 counts checked),
// JEDEC fuse files (transmission checksum, QF, F, L, C and N; other fields
// skipped) and Binary. Lines end in LF or CR LF; hexadecimal digits may be
// of either letter case. Written by hand for speed: a 16 MiB pattern loads
// in a few tens of milliseconds.

#include "QXBufferExport.h"
#include "StagedData.h"

class QXBUFFER_EXPORT DataFileReader
{
public:
    // Reads text of the format into staged; false with the fault. A JEDEC
    // file holds at most maxFuses fuses (the buffer's size; its fuse count
    // when it names none), so no number in a file sets what is allocated.
    static bool Read(qint32 type, const char* text, qint64 size, qint64 maxFuses, StagedData& staged, LoadFault& fault);

    static bool ReadIntelHex(const char* text, qint64 size, StagedData& staged, LoadFault& fault);
    static bool ReadSRecords(const char* text, qint64 size, StagedData& staged, LoadFault& fault);
    static bool ReadJedec(const char* text, qint64 size, qint64 maxFuses, StagedData& staged, LoadFault& fault);
    static bool ReadBinary(const char* text, qint64 size, StagedData& staged, LoadFault& fault);
};
