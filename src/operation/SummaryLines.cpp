#include "SummaryLines.h"

namespace summary {

namespace {
const QString kSeparator = QStringLiteral(";   ");

QString VectorDisplayText(qint32 mode)
{
    switch (mode) {
    case 0: return QStringLiteral("Errors Only");
    case 1: return QStringLiteral("All");
    case 2: return QStringLiteral("Single Step");
    default: return QString();
    }
}
} // namespace

QString SignedText(qint64 value)
{
    return value >= 0 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

QString HexText(qint32 value)
{
    return QString::number(quint32(value), 16).toUpper();
}

QString OptionsLine(const DeviceOptions& o)
{
    QString text;
    const auto section = [&](const QString& s) { text += s + kSeparator; };

    if (o.supportsRange) {
        if (o.entireRange)
            section(QStringLiteral("Range:  Full"));
        else if (o.hexadecimal)
            section(QStringLiteral("Range:  ") + HexText(o.rangeLow) + QStringLiteral("h - ") + HexText(o.rangeHigh)
                    + QLatin1Char('h'));
        else
            section(QStringLiteral("Range:  ") + QString::number(o.rangeLow) + QStringLiteral(" - ")
                    + QString::number(o.rangeHigh));
    }
    if (o.supportsSetsAndBanks) {
        const QString banks = o.bankCount == 1 ? QStringLiteral("1 bank") : SignedText(o.bankCount) + QStringLiteral(" banks");
        section(QStringLiteral("Set: ") + SignedText(o.setWidth) + QStringLiteral(" wide, ") + banks);
        section(o.setMode == 1 ? QStringLiteral("Mode:  Sets") : QStringLiteral("Mode:  Single"));
    }
    if (o.supportsByteOrder)
        section(o.byteOrder == 0 ? QStringLiteral("Little Endian") : QStringLiteral("Big Endian"));
    if (o.supportsTestVectors) {
        section(QStringLiteral("Vector Display:  ") + VectorDisplayText(o.vectorDisplayMode));
        QString x = QStringLiteral("X Value:  ");
        switch (o.vectorXValue) {
        case 0: x += QStringLiteral("0"); break;
        case 1: x += QStringLiteral("1"); break;
        case 2: x += QStringLiteral("Random"); break;
        case 3:
            x += QStringLiteral("Pseudo-Random") + kSeparator + QStringLiteral("Seed:  ") + QString::number(o.vectorSeed);
            break;
        case 4: x += QStringLiteral("Pull-Up"); break;
        default: break;
        }
        section(x);
    }

    // Without its trailing blanks the text ends in the last separator's
    // semicolon, which goes too.
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    if (text.size() > 1)
        text.chop(1);
    return text;
}

} // namespace summary
