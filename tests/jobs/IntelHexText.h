#pragma once

// Intel HEX text of runs of bytes at 16-bit addresses, 16 bytes a record,
// for data files with gaps.

#include <QByteArray>
#include <QList>
#include <QPair>

inline QByteArray IntelHexText(const QList<QPair<quint16, QByteArray>>& runs)
{
    QByteArray text;
    const auto record = [&](quint16 address, quint8 type, const QByteArray& bytes) {
        QByteArray r;
        r.append(char(bytes.size())).append(char(address >> 8)).append(char(address & 0xFF)).append(char(type));
        r.append(bytes);
        quint8 sum = 0;
        for (char c : r)
            sum = quint8(sum + quint8(c));
        r.append(char(quint8(0x100 - sum)));
        text += ':' + r.toHex().toUpper() + '\n';
    };
    for (const auto& [address, bytes] : runs)
        for (qsizetype at = 0; at < bytes.size(); at += 16)
            record(quint16(address + at), 0, bytes.mid(at, 16));
    record(0, 1, QByteArray());
    return text;
}
