#pragma once

// Finding bytes in the buffer as the editor shows it (the buffer's bytes
// with the editor's unconfirmed edits over them), forwards or backwards. The
// buffer is read a block at a time, so a search through 64 MiB costs a few
// block copies and no memory of the buffer's size.

#include <QByteArray>
#include <QString>
#include <map>

class DataBuffer;

class BufferSearch
{
public:
    // Pairs of hexadecimal digits, blanks between them allowed; false for
    // any other text or none.
    static bool ParseHex(const QString& text, QByteArray& pattern);

    // The address of the first match starting at or after from (forwards),
    // or of the last one starting at or before from (backwards); -1 when
    // there is none.
    static qint64 Find(const DataBuffer& buffer, const std::map<qint64, quint8>& edits, const QByteArray& pattern,
                       qint64 from, bool forwards);
};
