#pragma once

// The address boxes of the load dialog: the test of each change, reading the
// boxes when the operator confirms, and the rule that the lowest address may
// not lie above the highest. Addresses run from 0 to 4294967295; the
// system's Long is signed, so decimal texts are converted and compared by
// the engine (TextToNumber, NumberToText, IsFirstAboveSecond) and
// hexadecimal texts read as 32 bits.

#include <QString>
#include <functional>

class QXPgmrControl;

class LoadAddressCheck
{
public:
    explicit LoadAddressCheck(QXPgmrControl& engine)
        : m_engine(engine)
    {
    }

    // One change of a box's text: an accepted text updates last; a refused
    // one is told in a critical box and the last value's text goes back
    // through putBack (before the box for a text that is no number, after it
    // for one out of range).
    void Validate(const QString& text, qint32& last, bool hex, const std::function<void(const QString&)>& putBack);

    // A box's value when the operator confirms; keep is answered when the
    // text cannot be read (the earlier value stays).
    qint32 ReadAddress(const QString& text, bool hex, qint32 keep);
    // The buffer address box: decimal text is read as a signed Long.
    qint32 ReadBufferAddress(const QString& text, bool hex, qint32 keep);

    // True (after the "Configuration Error" box) when low lies above high
    // and the lowest address is not taken from the file.
    bool RefusesRange(qint32 low, qint32 high, bool automaticLow);

    // A value as the box shows it: the engine's decimal text, or hexadecimal
    // digits.
    QString Text(qint32 value, bool hex);

    static const QString kRangeText;
    static const QString kDecimalText;
    static const QString kHexText;
    static const QString kReversedText;

private:
    QXPgmrControl& m_engine;
};
