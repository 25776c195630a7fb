#pragma once

// The rule every number box of the device dialogs follows: the text is
// checked on each change (typed or set by code); a text that is no number in
// the box's radix, or that is above the box's limit, is refused at once with
// a box and replaced by the last accepted value. The class keeps that value
// and the radix; the dialog connects its text box:
//
//   NumberEntry seed(validity, 65535, 5, 4);
//   seed.SetHooks([&](const QString& t) { txtSeed->setText(t); },
//                 [&](int n) { devicedialogs::BoundTypedLength(txtSeed, n); });
//   connect(txtSeed, &QLineEdit::textChanged, [&](const QString& t) { seed.Changed(t); });
//
// Which texts are numbers is the engine's to say (its validity tests); the
// box only relies on True or False.

#include <QString>
#include <functional>

class QXPgmrControl;

class NumberEntry
{
public:
    struct Validity
    {
        std::function<bool(const QString&)> decimal;
        std::function<bool(const QString&)> hex;
    };
    // The engine's IsValidDecimalText and IsValidHexText; a failing call
    // counts as a refused text.
    static Validity EngineValidity(QXPgmrControl& engine);

    static constexpr qint64 kNoLimit = -1;

    // A two-radix box: limit applies in decimal; the lengths bound the text.
    NumberEntry(Validity validity, qint64 limit, int decimalLength, int hexLength);
    // A decimal-only box without a limit.
    static NumberEntry DecimalOnly(Validity validity, int length);

    void SetHooks(std::function<void(const QString&)> setText, std::function<void(int)> setMaxLength);

    qint32 Value() const { return m_value; }
    void SetValue(qint32 value) { m_value = value; }
    // The box's text as designed, taken as it stands (no check runs on it).
    void Adopt(const QString& designText)
    {
        m_shown = designText;
        m_value = designText.toInt();
    }
    bool Hex() const { return m_hex; }
    qint64 Limit() const { return m_limit; }

    // The value in the box's current radix (hexadecimal as upper-case digits,
    // a negative value as its eight-digit two's complement).
    QString Text(qint32 value) const;
    static QString TextIn(qint32 value, bool hex);
    // Shows a value: the box's text changes and the rule runs on it.
    void Show(qint32 value) { setText(Text(value)); }

    // Switches the radix: rewrites the given text (the box's current one) in
    // the new radix, then bounds the typed length; the rewritten text passes
    // the rule again and is never cut to the bound.
    void SetRadix(bool hex, const QString& currentText);

    // The rule, run on every change of the box's text.
    void Changed(const QString& text);

    // The message of a decimal value above the limit.
    QString RangeMessage() const;

private:
    NumberEntry(Validity validity, qint64 limit, int decimalLength, int hexLength, bool twoRadix);
    void setText(const QString& text);
    void refuse(const QString& message, const QString& title);

    Validity m_validity;
    qint64 m_limit;
    int m_decimalLength;
    int m_hexLength;
    bool m_twoRadix;
    bool m_hex = false;
    qint32 m_value = 0;
    QString m_shown; // the box's text as last seen: setting the same text is no change
    std::function<void(const QString&)> m_setText;
    std::function<void(int)> m_setMaxLength;
};
