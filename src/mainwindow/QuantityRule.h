#pragma once

// What the main window's quantity box makes of a text the operator typed:
// the number kept as the quantity, the text the box shows afterwards, and
// what is to be reported. No widget: the window applies the outcome.

#include <QString>

struct QuantityOutcome
{
    qint32 numCopies = 0;            // the quantity kept from now on
    QString text;                    // the box's text afterwards
    bool outOfRange = false;         // the range box and its log line
    bool illegalInput = false;       // the non-numeric input is logged
    bool putHandlerQuantity = false; // the automatic handler takes numCopies
};

class QuantityRule
{
public:
    static constexpr qint32 kMaxManual = 65535;

    // text: what the box holds; automaticHandler: handler type 1 or 2;
    // lastAccepted: the quantity kept so far; handlerQuantity: the automatic
    // handler's own quantity. A number beyond 32 bits is out of range for
    // either handler, never wrapped.
    static QuantityOutcome Check(const QString& text, bool automaticHandler, qint32 lastAccepted,
                                 qint32 handlerQuantity);

    // The number the text's first characters form, rounded half to even;
    // 0 when it begins with none.
    static double LeadingValue(const QString& text);
    static bool IsNumeric(const QString& text);
};
