#pragma once

// Which format a data file is in, from the head of its content and never
// from its name: Intel HEX (1), Motorola S-records (3), JEDEC (2), STAPL
// text (16); anything else is Binary (0).

#include "QXBufferExport.h"

#include <QByteArray>

class QXBUFFER_EXPORT DataFileDetector
{
public:
    // How much of a file's head the detection reads.
    static constexpr qint64 kHeadSize = 4096;
    static qint32 Detect(const QByteArray& head);
};
