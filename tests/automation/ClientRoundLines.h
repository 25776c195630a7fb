#pragma once

#include <QList>
#include <QMap>
#include <QStringList>

// What a client hears of one round on the given 0-based sockets: each ready
// to be placed, (closed,) ready, active and passed or failed with its code,
// (opened,) ready to pick.
inline QStringList ClientRoundLines(const QList<int>& sockets, bool socketRound, const QMap<int, int>& failures = {})
{
    QStringList lines;
    for (int s : sockets)
        lines << QStringLiteral("%1 ReadyToBePLACED").arg(s);
    if (socketRound)
        for (int s : sockets)
            lines << QStringLiteral("close %1").arg(s);
    for (int s : sockets)
        lines << QStringLiteral("%1 READY").arg(s);
    for (int s : sockets) {
        lines << QStringLiteral("%1 ACTIVE").arg(s);
        lines << (failures.contains(s) ? QStringLiteral("%1 FAILED %2").arg(s).arg(failures[s])
                                       : QStringLiteral("%1 PASSED").arg(s));
    }
    if (socketRound)
        for (int s : sockets)
            lines << QStringLiteral("open %1").arg(s);
    for (int s : sockets)
        lines << QStringLiteral("%1 ReadyToPICK").arg(s);
    return lines;
}
