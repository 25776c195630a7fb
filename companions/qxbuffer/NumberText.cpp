#include "NumberText.h"

bool NumberText::IsValidDecimalText(const QString& text)
{
    bool ok = false;
    TextToNumber(text, &ok);
    return ok;
}

bool NumberText::IsValidHexText(const QString& text)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    for (QChar c : text) {
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'x'))
            return false;
    }
    return true;
}

quint32 NumberText::TextToNumber(const QString& text, bool* ok)
{
    if (ok)
        *ok = false;
    if (text.isEmpty() || text.size() > 10)
        return 0;
    quint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + quint64(c.unicode() - u'0');
    }
    if (value > 0xFFFFFFFFull)
        return 0;
    if (ok)
        *ok = true;
    return quint32(value);
}

QString NumberText::NumberToText(quint32 value, bool hex)
{
    return hex ? QString::number(value, 16).toUpper() : QString::number(value);
}
