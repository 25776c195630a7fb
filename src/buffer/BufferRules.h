#pragma once

// Small rules the data pattern window and its load and save dialogs share:
// which file types take byte or word addressing and which lock the fill
// value, how a buffer size is written, where a path splits into folder and
// name, and the save range an empty buffer gets.

#include <QString>

namespace bufferrules {

// Intel HEX and Motorola S-record count addresses in bytes or words.
bool TakesAddressSize(qint32 typeCode);
// JEDEC and IEEE 1532 data fill every fuse themselves: no fill value.
bool LocksFillValue(qint32 typeCode);

// "1000h bytes", "4096 bytes", "3A0h fuses": the size in the chosen radix
// (hexadecimal upper case with "h") and its unit.
QString SizeText(qint32 size, bool hex, bool fuses);
// Upper-case hexadecimal digits of the 32 bits, no prefix.
QString HexDigits(qint32 value);

// The highest buffer address a save offers: one below the size, never
// below 0 (an empty buffer has no last address).
qint32 HighestBufferAddress(qint32 bufferSize);

// A path split as the job configuration keeps it: the first piece (the root
// "/" of an absolute path), the folder with its closing "/", and the name.
struct FileLocation
{
    QString drive;
    QString folder;
    QString name;
};
// Splits at the last separator; a path ending in a separator has an empty
// name.
FileLocation SplitPath(const QString& path);

} // namespace bufferrules
