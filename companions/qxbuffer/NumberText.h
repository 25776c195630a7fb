#pragma once

// The engine's number texts: addresses and counts are unsigned 32-bit values,
// which the program's signed Long cannot hold or compare, so the program asks
// the engine to check, convert and compare them.

#include "QXBufferExport.h"

#include <QString>

class QXBUFFER_EXPORT NumberText
{
public:
    // 1 to 10 decimal digits worth at most 4294967295; no sign, blank,
    // prefix or empty text.
    static bool IsValidDecimalText(const QString& text);
    // 1 to 8 hexadecimal digits, either letter case, no prefix.
    static bool IsValidHexText(const QString& text);
    // The value of a valid decimal text; 0 (and ok False) for any other text,
    // never a wrapped value.
    static quint32 TextToNumber(const QString& text, bool* ok = nullptr);
    // Decimal digits, or upper-case hexadecimal digits without prefix.
    static QString NumberToText(quint32 value, bool hex = false);
    static bool IsFirstAboveSecond(quint32 first, quint32 second) { return first > second; }
};
