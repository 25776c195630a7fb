#include "NumberEntry.h"

#include "engine/QXPgmrControl.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "shell/ShellUtilities.h"

NumberEntry::Validity NumberEntry::EngineValidity(QXPgmrControl& engine)
{
    QXPgmrControl* e = &engine;
    return {[e](const QString& text) {
                QString asked = text;
                return enginecall::Ask([&] { return e->IsValidDecimalText(asked); }, false);
            },
            [e](const QString& text) {
                QString asked = text;
                return enginecall::Ask([&] { return e->IsValidHexText(asked); }, false);
            }};
}

NumberEntry::NumberEntry(Validity validity, qint64 limit, int decimalLength, int hexLength, bool twoRadix)
    : m_validity(std::move(validity)),
      m_limit(limit),
      m_decimalLength(decimalLength),
      m_hexLength(hexLength),
      m_twoRadix(twoRadix)
{
}

NumberEntry::NumberEntry(Validity validity, qint64 limit, int decimalLength, int hexLength)
    : NumberEntry(std::move(validity), limit, decimalLength, hexLength, true)
{
}

NumberEntry NumberEntry::DecimalOnly(Validity validity, int length)
{
    return NumberEntry(std::move(validity), kNoLimit, length, length, false);
}

void NumberEntry::SetHooks(std::function<void(const QString&)> setText, std::function<void(int)> setMaxLength)
{
    m_setText = std::move(setText);
    m_setMaxLength = std::move(setMaxLength);
}

QString NumberEntry::TextIn(qint32 value, bool hex)
{
    return hex ? QString::number(quint32(value), 16).toUpper() : QString::number(value);
}

QString NumberEntry::Text(qint32 value) const
{
    return TextIn(value, m_hex);
}

QString NumberEntry::RangeMessage() const
{
    return QStringLiteral("You must enter a value between 0 and %1").arg(m_limit);
}

void NumberEntry::setText(const QString& text)
{
    if (text == m_shown)
        return;
    if (m_setText)
        m_setText(text); // the box reports the change back through Changed
    if (m_shown != text)
        Changed(text); // no box attached, or one that does not report
}

void NumberEntry::refuse(const QString& message, const QString& title)
{
    Ui().MsgBox(message, vb::vbOKOnly | vb::vbCritical, title);
    setText(Text(m_value));
}

void NumberEntry::SetRadix(bool hex, const QString& currentText)
{
    m_hex = m_twoRadix && hex;
    // Converted first, bounded after: the bound limits what is typed, never
    // the converted value.
    const auto bound = [this] {
        if (m_setMaxLength)
            m_setMaxLength(m_hex ? m_hexLength : m_decimalLength);
    };
    if (!m_twoRadix) {
        bound();
        return;
    }
    QString text;
    if (m_hex) {
        bool ok = false;
        const qint64 value = currentText.toLongLong(&ok);
        text = TextIn(qint32(ok ? value : 0), true);
    } else {
        text = QString::number(HexTextToLong(QStringLiteral("&H") + currentText));
    }
    setText(text);
    bound();
}

void NumberEntry::Changed(const QString& text)
{
    m_shown = text;
    if (!m_hex && m_validity.decimal && m_validity.decimal(text)) {
        // The engine's decimal texts reach 4294967295: compare before
        // narrowing, so a large text is refused, never wrapped.
        const qint64 value = text.toLongLong();
        if (m_limit != kNoLimit && value > m_limit) {
            refuse(RangeMessage(), QStringLiteral("Out of Range Error"));
            return;
        }
        m_value = qint32(value);
        return;
    }
    if (m_hex && m_validity.hex && m_validity.hex(text)) {
        m_value = HexTextToLong(text);
        return;
    }
    refuse(m_hex ? QStringLiteral("You must enter a valid hexadecimal number!")
                 : QStringLiteral("You must enter a valid decimal number!"),
           QStringLiteral("Input Error"));
}
