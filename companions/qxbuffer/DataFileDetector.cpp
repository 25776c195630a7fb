#include "DataFileDetector.h"

#include <cctype>

namespace {

bool IsHex(char c) { return std::isxdigit(uchar(c)) != 0; }

// At least n hexadecimal digits from p, within the head.
bool HexRun(const QByteArray& head, qsizetype p, int n)
{
    for (int i = 0; i < n; ++i) {
        if (p + i >= head.size() || !IsHex(head[p + i]))
            return false;
    }
    return true;
}

// A STAPL program opens with comments ("'") and then a statement such as
// NOTE, ACTION or PROCEDURE.
bool LooksLikeStapl(const QByteArray& head, qsizetype p)
{
    while (p < head.size()) {
        while (p < head.size() && std::isspace(uchar(head[p])))
            ++p;
        if (p < head.size() && head[p] == '\'') {
            while (p < head.size() && head[p] != '\n')
                ++p;
            continue;
        }
        break;
    }
    static const char* const kStatements[] = {"NOTE", "ACTION", "PROCEDURE", "CRC", "DATA"};
    for (const char* word : kStatements) {
        const QByteArray w(word);
        if (head.mid(p, w.size()).toUpper() == w && p + w.size() < head.size()
            && (std::isspace(uchar(head[p + w.size()])) || head[p + w.size()] == '"'))
            return true;
    }
    return false;
}

} // namespace

qint32 DataFileDetector::Detect(const QByteArray& head)
{
    qsizetype p = 0;
    while (p < head.size() && std::isspace(uchar(head[p])))
        ++p;
    if (p >= head.size())
        return 0;
    // Intel: a colon and at least the count, address and type of a record.
    if (head[p] == ':' && HexRun(head, p + 1, 10))
        return 1;
    // S-records: S, a record digit and at least the count and an address.
    if ((head[p] == 'S' || head[p] == 's') && p + 1 < head.size() && std::isdigit(uchar(head[p + 1]))
        && HexRun(head, p + 2, 6))
        return 3;
    // JEDEC: the start-of-text character before its first field, in text.
    const qsizetype stx = head.indexOf('\x02');
    if (stx >= 0 && head.indexOf('*', stx) > stx) {
        bool text = true;
        for (qsizetype i = 0; i < stx && text; ++i)
            text = std::isprint(uchar(head[i])) || std::isspace(uchar(head[i]));
        if (text)
            return 2;
    }
    if (LooksLikeStapl(head, p))
        return 16;
    return 0;
}
