#include "LoadAddressCheck.h"

#include "BufferRules.h"

#include "engine/QXPgmrControl.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "shell/ShellUtilities.h"

using enginecall::Ask;

const QString LoadAddressCheck::kRangeText = QStringLiteral("You must enter a value between 0 and 4294967295");
const QString LoadAddressCheck::kDecimalText = QStringLiteral("You must enter a valid decimal number!");
const QString LoadAddressCheck::kHexText = QStringLiteral("You must enter a valid hexadecimal number!");
const QString LoadAddressCheck::kReversedText =
    QStringLiteral("The lowest address is larger than the highest address! Please check the configuration!");

namespace {
constexpr qint32 kAllOnes = -1; // 4294967295 as the engine's Long
constexpr quint64 kHighest = 4294967295ULL;
} // namespace

QString LoadAddressCheck::Text(qint32 value, bool hex)
{
    if (hex)
        return bufferrules::HexDigits(value);
    qint32 asked = value;
    const bool no = false;
    return Ask([&] { return m_engine.NumberToText(asked, no); }, QString::number(quint32(value)));
}

void LoadAddressCheck::Validate(const QString& text, qint32& last, bool hex,
                                const std::function<void(const QString&)>& putBack)
{
    QString asked = text;
    if (!hex && Ask([&] { return m_engine.IsValidDecimalText(asked); }, false)) {
        qint32 value = Ask([&] { return m_engine.TextToNumber(text); }, qint32(0));
        qint32 allOnes = kAllOnes;
        // A text beyond 32 bits is out of range whatever the engine made of
        // it: never wrapped into a small address.
        bool above = text.toULongLong() > kHighest;
        if (!above)
            above = Ask([&] { return m_engine.IsFirstAboveSecond(value, allOnes); }, false);
        if (above) {
            Ui().MsgBox(kRangeText, vb::vbOKOnly | vb::vbCritical, QStringLiteral("Out of Range Error"));
            putBack(Text(last, false));
            return;
        }
        last = value;
        return;
    }
    asked = text;
    if (hex && Ask([&] { return m_engine.IsValidHexText(asked); }, false)) {
        last = HexTextToLong(QStringLiteral("&H") + text);
        return;
    }
    // The box shows the last good value before the operator is told.
    putBack(Text(last, hex));
    Ui().MsgBox(hex ? kHexText : kDecimalText, vb::vbOKOnly | vb::vbCritical, QStringLiteral("Input Error"));
}

qint32 LoadAddressCheck::ReadAddress(const QString& text, bool hex, qint32 keep)
{
    if (hex)
        return HexTextToLong(QStringLiteral("&H") + text);
    return Ask([&] { return m_engine.TextToNumber(text); }, keep);
}

qint32 LoadAddressCheck::ReadBufferAddress(const QString& text, bool hex, qint32 keep)
{
    if (hex)
        return HexTextToLong(QStringLiteral("&H") + text);
    bool ok = false;
    const qint32 value = text.toInt(&ok);
    return ok ? value : keep;
}

bool LoadAddressCheck::RefusesRange(qint32 low, qint32 high, bool automaticLow)
{
    const bool above = Ask([&] { return m_engine.IsFirstAboveSecond(low, high); }, false);
    if (automaticLow || !above)
        return false;
    Ui().MsgBox(kReversedText, vb::vbOKOnly | vb::vbCritical, QStringLiteral("Configuration Error"));
    return true;
}
