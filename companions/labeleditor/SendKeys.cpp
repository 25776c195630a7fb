#include "SendKeys.h"

namespace sendkeys {

QVector<KeyStroke> Parse(const QString& keys)
{
    QVector<KeyStroke> strokes;
    KeyStroke modifiers;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == QLatin1Char('^')) {
            modifiers.ctrl = true;
        } else if (c == QLatin1Char('%')) {
            modifiers.alt = true;
        } else if (c == QLatin1Char('+')) {
            modifiers.shift = true;
        } else if (c == QLatin1Char('{')) {
            const qsizetype end = keys.indexOf(QLatin1Char('}'), i + 1);
            if (end < 0)
                break;
            KeyStroke stroke = modifiers;
            stroke.key = keys.mid(i + 1, end - i - 1).toUpper();
            strokes.append(stroke);
            modifiers = {};
            i = end;
        } else if (c == QLatin1Char('(')) {
            const qsizetype end = keys.indexOf(QLatin1Char(')'), i + 1);
            if (end < 0)
                break;
            // The modifiers hold for every key of the group.
            for (const QChar inner : keys.mid(i + 1, end - i - 1)) {
                KeyStroke stroke = modifiers;
                stroke.key = QString(inner).toUpper();
                strokes.append(stroke);
            }
            modifiers = {};
            i = end;
        } else {
            KeyStroke stroke = modifiers;
            stroke.key = QString(c).toUpper();
            strokes.append(stroke);
            modifiers = {};
        }
    }
    return strokes;
}

} // namespace sendkeys
