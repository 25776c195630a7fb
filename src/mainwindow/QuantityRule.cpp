#include "mainwindow/QuantityRule.h"

#include "operation/OperationRun.h"

#include <cmath>
#include <limits>

namespace {
constexpr double kLongMax = std::numeric_limits<qint32>::max();
constexpr double kLongMin = std::numeric_limits<qint32>::min();

bool FitsLong(double value)
{
    return value >= kLongMin && value <= kLongMax;
}

// One pass of the box's change rule; the text it sets is checked again by a
// second pass, which finds it canonical.
QuantityOutcome OnePass(const QString& text, bool automatic, qint32 lastAccepted, qint32 handlerQuantity)
{
    QuantityOutcome out;
    out.text = text;
    const double leading = QuantityRule::LeadingValue(text);
    // A text that begins with no number (or with 0, never a quantity) is
    // ignored: the last accepted number stays.
    out.numCopies = FitsLong(leading) && leading != 0 ? qint32(leading) : lastAccepted;

    if (QuantityRule::IsNumeric(text)) {
        const bool tooLarge = !FitsLong(leading) || (leading > QuantityRule::kMaxManual && !automatic);
        if (tooLarge || leading <= 0) {
            out.outOfRange = true;
            out.numCopies = leading <= 0 ? 1 : QuantityRule::kMaxManual;
        } else {
            out.numCopies = qint32(leading);
        }
        out.text = QString::number(out.numCopies);
    } else if (text.size() == 1) {
        // One stray character (the first key typed over a selected number)
        // gives back the count the next run takes, as the automatic
        // handler's own quantity is given back: never an empty box that
        // still runs the last number.
        out.text = QString::number(automatic ? handlerQuantity : out.numCopies);
        return out;
    } else if (text.isEmpty()) {
        return out;
    } else {
        out.illegalInput = true;
        out.text = QString::number(out.numCopies);
    }

    if (automatic) {
        out.numCopies = qint32(QuantityRule::LeadingValue(out.text));
        out.putHandlerQuantity = out.numCopies != handlerQuantity;
    }
    return out;
}
} // namespace

double QuantityRule::LeadingValue(const QString& text)
{
    return std::nearbyint(OperationRun::LeadingNumber(text));
}

bool QuantityRule::IsNumeric(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

QuantityOutcome QuantityRule::Check(const QString& text, bool automaticHandler, qint32 lastAccepted,
                                    qint32 handlerQuantity)
{
    QuantityOutcome first = OnePass(text, automaticHandler, lastAccepted, handlerQuantity);
    if (first.text == text)
        return first;
    // The text set above changes the box again.
    const qint32 handlerAfter = first.putHandlerQuantity ? first.numCopies : handlerQuantity;
    const QuantityOutcome second = OnePass(first.text, automaticHandler, first.numCopies, handlerAfter);
    first.numCopies = second.numCopies;
    first.text = second.text;
    first.outOfRange = first.outOfRange || second.outOfRange;
    first.illegalInput = first.illegalInput || second.illegalInput;
    first.putHandlerQuantity = automaticHandler && first.numCopies != handlerQuantity;
    return first;
}
