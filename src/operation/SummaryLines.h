#pragma once

// The texts of the operation window's summary lines that need no window: the
// device options line and the number forms the lines use.

#include <QString>

namespace summary {

// A number as the lines show it with a leading blank: " 8", "-1".
QString SignedText(qint64 value);
// A number in hexadecimal capitals, negative values as their 32-bit pattern.
QString HexText(qint32 value);

// What the options line says of the selected device.
struct DeviceOptions
{
    bool supportsRange = false;
    bool entireRange = false;
    qint32 rangeLow = 0;
    qint32 rangeHigh = 0;
    bool hexadecimal = false; // the job's radix is 1

    bool supportsSetsAndBanks = false;
    qint32 setWidth = 0;
    qint32 bankCount = 0;
    qint32 setMode = 0;

    bool supportsByteOrder = false;
    qint32 byteOrder = 0;

    bool supportsTestVectors = false;
    qint32 vectorDisplayMode = 0;
    qint32 vectorXValue = 0;
    qint32 vectorSeed = 0;
};

// The sections of the supported options joined by ";   ", with no separator
// at the end ("Range:  Full;   Set:  8 wide, 1 bank;   Mode:  Single").
QString OptionsLine(const DeviceOptions& options);

} // namespace summary
