#pragma once

// The engine's list of data-file formats: a code (the position in the list)
// and a name for each. Binary, Intel HEX, JEDEC and Motorola S-records are
// read and written; the other formats are named so that files and clients
// that use their codes get a clear refusal.

#include "QXBufferExport.h"

#include <QString>

class QXBUFFER_EXPORT FileTypeTable
{
public:
    static constexpr qint32 kCount = 18;

    // The format's name; empty for a code outside the list.
    static QString NameAt(qint32 code);
    static bool CanRead(qint32 code);
    // JEDEC holds fuses: it is offered for a fuse-counted device only.
    static bool CanWrite(qint32 code, bool fuseDevice);
    // The formats whose file addresses a load or save can narrow.
    static bool TakesRange(qint32 code);
    // Why a load or save of the code is refused: the format named, or the
    // code when it is outside the list.
    static QString RefusalText(qint32 code);
};
