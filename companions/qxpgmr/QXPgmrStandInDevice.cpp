// The engine's device-option members: the range check of the address range
// and buffer offset dialogs, and the number texts the program asks the
// engine to check, convert and compare (addresses are unsigned 32-bit values
// that the program's signed Long cannot hold).
//
// IsOffsetInRange(low, high, offset), all three by reference: True when
// 0 <= low <= high < device size and 0 <= offset <= 268435455. Only when
// False are the arguments corrected, each moved to the nearest value the
// rule allows (low and high into the device, high not below low, the offset
// into 0 to 268435455), so the caller can show the nearest valid range.

#include "QXPgmrStandIn.h"

#include "qxbuffer/NumberText.h"

#include <algorithm>

namespace {
constexpr qint64 kLargestOffset = 268435455;
} // namespace

void QXPgmrStandIn::bindDeviceOptions()
{
    Answer(QXPgmrId::IsOffsetInRange, [this](InvokeKind, QVariantList& args) {
        const qint64 low = Arg(args, 0, ValueKind::Long).toInt();
        const qint64 high = Arg(args, 1, ValueKind::Long).toInt();
        const qint64 offset = Arg(args, 2, ValueKind::Long).toInt();
        const qint64 size = m_device ? std::min<qint64>(m_device->size, std::numeric_limits<qint32>::max()) : 0;
        const bool inRange = 0 <= low && low <= high && high < size && 0 <= offset && offset <= kLargestOffset;
        if (!inRange) {
            const qint64 last = std::max<qint64>(size - 1, 0);
            const qint64 newLow = std::clamp<qint64>(low, 0, last);
            args[0] = QVariant::fromValue(qint32(newLow));
            args[1] = QVariant::fromValue(qint32(std::clamp<qint64>(high, newLow, last)));
            args[2] = QVariant::fromValue(qint32(std::clamp<qint64>(offset, 0, kLargestOffset)));
        }
        return VbBool(inRange);
    });
    Answer(QXPgmrId::IsValidDecimalText, [this](InvokeKind, QVariantList& args) {
        return VbBool(NumberText::IsValidDecimalText(Arg(args, 0, ValueKind::String).toString()));
    });
    Answer(QXPgmrId::IsValidHexText, [this](InvokeKind, QVariantList& args) {
        return VbBool(NumberText::IsValidHexText(Arg(args, 0, ValueKind::String).toString()));
    });
    Answer(QXPgmrId::TextToNumber, [this](InvokeKind, QVariantList& args) {
        // The unsigned value in a Long's bits.
        return QVariant::fromValue(qint32(NumberText::TextToNumber(Arg(args, 0, ValueKind::String).toString())));
    });
    Answer(QXPgmrId::NumberToText, [this](InvokeKind, QVariantList& args) {
        const quint32 value = quint32(Arg(args, 0, ValueKind::Long).toInt());
        const bool hex = args.size() > 1 && IsVbTrue(Arg(args, 1, ValueKind::Bool));
        return QVariant(NumberText::NumberToText(value, hex));
    });
    Answer(QXPgmrId::IsFirstAboveSecond, [this](InvokeKind, QVariantList& args) {
        return VbBool(NumberText::IsFirstAboveSecond(quint32(Arg(args, 0, ValueKind::Long).toInt()),
                                                     quint32(Arg(args, 1, ValueKind::Long).toInt())));
    });
}
