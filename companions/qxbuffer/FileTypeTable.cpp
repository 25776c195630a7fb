#include "FileTypeTable.h"

namespace {

const char* const kNames[FileTypeTable::kCount] = {
    "Binary",           // 0
    "Intel Hex",        // 1
    "JEDEC",            // 2
    "Motorola S-Record", // 3
    "POF",              // 4
    "Straight Hex",     // 5
    "Tektronix Hex",    // 6
    "ASCII Hex",        // 7
    "SDSMAC",           // 8
    "SDSMAC 320",       // 9
    "Fairbug",          // 10
    "Formatted Binary", // 11
    "OMF",              // 12
    "AFM",              // 13
    "LOF",              // 14
    "ProASIC",          // 15
    "STAPL",            // 16
    "IEEE 1532 Data",   // 17
};

bool InList(qint32 code) { return code >= 0 && code < FileTypeTable::kCount; }

} // namespace

QString FileTypeTable::NameAt(qint32 code)
{
    return InList(code) ? QString::fromLatin1(kNames[code]) : QString();
}

bool FileTypeTable::CanRead(qint32 code)
{
    return code >= 0 && code <= 3;
}

bool FileTypeTable::CanWrite(qint32 code, bool fuseDevice)
{
    return code == 0 || code == 1 || code == 3 || (code == 2 && fuseDevice);
}

bool FileTypeTable::TakesRange(qint32 code)
{
    return code == 0 || code == 1 || code == 3;
}

QString FileTypeTable::RefusalText(qint32 code)
{
    if (!InList(code))
        return QStringLiteral("There is no data-file format with the code %1.").arg(code);
    return QStringLiteral("The %1 format (code %2) is not supported by this engine.").arg(NameAt(code)).arg(code);
}
