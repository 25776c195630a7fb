#include "DefaultBufferValue.h"

#include "BufferRules.h"

#include "engine/QXPgmrControl.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "shell/ShellUtilities.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

using appinfo::App;
using enginecall::Ask;

DefaultBufferValue::DefaultBufferValue(QXPgmrControl& engine, QWidget* parent)
    : QWidget(parent),
      m_engine(engine)
{
    setObjectName(QStringLiteral("m_oDefaultBufferValueCtrl"));
    DefaultBufValLabel = new QLabel(QStringLiteral("&Default Buffer Value:"), this);
    DefaultBufValLabel->setObjectName(QStringLiteral("DefaultBufValLabel"));
    DefaultValText = new QComboBox(this);
    DefaultValText->setObjectName(QStringLiteral("DefaultValText"));
    DefaultValText->setEditable(true);
    DefaultValText->setInsertPolicy(QComboBox::NoInsert);
    DefaultValText->setEditText(QStringLiteral("0"));
    DefaultBufValLabel->setBuddy(DefaultValText);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DefaultBufValLabel);
    layout->addWidget(DefaultValText);
    connect(DefaultValText, &QComboBox::editTextChanged, this, [this] { DefaultValText_Change(); });
    // The focus belongs to the combo box (its line edit forwards it there),
    // so that is where the operator leaving it shows.
    DefaultValText->installEventFilter(this);
}

DefaultBufferValue::~DefaultBufferValue()
{
    // The box loses the focus as it goes: that is no operator leaving it.
    DefaultValText->removeEventFilter(this);
}

void DefaultBufferValue::SetDecimalButton(QRadioButton* button)
{
    m_decimalButton = button;
    // The box shows its value in the button's radix at all times, whether
    // or not the host passes the switch on through UpdateDefaultBufValList.
    if (button)
        connect(button, &QRadioButton::toggled, this, [this] { UpdateDefaultBufValList(); });
    showInButtonsRadix();
}

void DefaultBufferValue::showInButtonsRadix()
{
    if (m_textDecimal == decimal())
        return;
    m_textDecimal = decimal();
    // The last accepted value is the text's value in the radix it was
    // typed in; read afresh it would be taken in the new one.
    setText(FormatBufferValue(m_lastValue, false));
}

bool DefaultBufferValue::decimal() const
{
    return !m_decimalButton || m_decimalButton->isChecked();
}

QString DefaultBufferValue::text() const
{
    return DefaultValText->currentText();
}

void DefaultBufferValue::setText(const QString& text)
{
    if (DefaultValText->currentText() == text)
        return;
    DefaultValText->setEditText(text); // runs the check on change
}

void DefaultBufferValue::fillList()
{
    // Filling the list must not select an entry, nor take the text away.
    const QString kept = text();
    const QSignalBlocker quiet(DefaultValText);
    DefaultValText->clear();
    DefaultValText->addItem(QStringLiteral("0"));
    DefaultValText->addItem(decimal() ? QStringLiteral("255") : QStringLiteral("FF"));
    DefaultValText->setCurrentIndex(-1);
    DefaultValText->setEditText(kept);
}

void DefaultBufferValue::InitDefaultBufValList()
{
    const qint32 b = Ask([&] { return m_engine.DefaultBufferByte(); }, qint32(0));
    setText(decimal() ? QString::number(b) : bufferrules::HexDigits(b));
    fillList();
    const QSignalBlocker quiet(DefaultValText);
    const QString shown = text();
    if (b == 0 || b == 255)
        DefaultValText->setCurrentIndex(b == 0 ? 0 : 1);
    DefaultValText->setEditText(shown);
}

qint32 DefaultBufferValue::CurrentValue() const
{
    if (decimal())
        return qint32(std::llround(text().toDouble())) & 255;
    bool ok = false;
    const QString digits = text();
    quint32 value = digits.toUInt(&ok, 16);
    // Four digits or fewer read as a 16-bit number; the low byte is the same.
    return ok ? qint32(value & 255) : 0;
}

void DefaultBufferValue::UpdateDefaultBufValList()
{
    // The host calls this after every click of its radix options, also when
    // the radix did not change: the value converts only when the radix did,
    // so reading the same text twice never moves it.
    const int selected = DefaultValText->currentIndex();
    showInButtonsRadix();
    fillList();
    const QSignalBlocker quiet(DefaultValText);
    const QString shown = text();
    DefaultValText->setCurrentIndex(selected);
    DefaultValText->setEditText(shown);
}

void DefaultBufferValue::Enabled(bool enabled)
{
    setEnabled(enabled);
    DefaultValText->setEnabled(enabled);
    DefaultBufValLabel->setEnabled(enabled);
}

void DefaultBufferValue::DefaultValText_Change()
{
    const QString t = text();
    QString asked = t;
    if (decimal() && Ask([&] { return m_engine.IsValidDecimalText(asked); }, false)) {
        const double value = t.toDouble();
        if (value <= 255) {
            m_lastValue = qint32(std::llround(value));
            return;
        }
        Ui().MsgBox(QStringLiteral("You must enter a value between 0 and 255"), vb::vbOKOnly | vb::vbCritical,
                    QStringLiteral("Out of Range Error"));
        setText(QString::number(m_lastValue));
        return;
    }
    asked = t;
    if (!decimal() && Ask([&] { return m_engine.IsValidHexText(asked); }, false)) {
        const quint32 v = t.toUInt(nullptr, 16);
        if (v > 255) {
            Ui().MsgBox(QStringLiteral("You must enter a value between 0 and FF"), vb::vbOKOnly | vb::vbCritical,
                        QStringLiteral("Out of Range Error"));
            setText(bufferrules::HexDigits(m_lastValue));
            return;
        }
        m_lastValue = qint32(v);
        return;
    }
    // The last good value is back in the box before the operator is told.
    setText(decimal() ? QString::number(m_lastValue) : bufferrules::HexDigits(m_lastValue));
    Ui().MsgBox(decimal() ? QStringLiteral("You must enter a valid decimal number!")
                          : QStringLiteral("You must enter a valid hexadecimal number!"),
                vb::vbOKOnly | vb::vbCritical, QStringLiteral("Input Error"));
}

QString DefaultBufferValue::FormatBufferValue(qint32 value, bool suffix) const
{
    if (decimal())
        return QString::number(value);
    return bufferrules::HexDigits(value) + (suffix ? QStringLiteral("h") : QString());
}

void DefaultBufferValue::DefaultValText_LostFocus()
{
    const QVariant a =
        Ask([&] { return m_engine.AlgorithmParameter(QStringLiteral("DEFAULT_BUFFER_VALUE")); }, QVariant());
    if (!a.isValid() || a.isNull() || a.toString().isEmpty())
        return;
    bool numeric = false;
    qint32 algorithmValue = a.toInt(&numeric);
    if (!numeric)
        algorithmValue = HexTextToLong(a.toString());
    const qint32 c = CurrentValue();
    if (algorithmValue == c)
        return;
    const QString prompt = QStringLiteral("This default buffer value (") + FormatBufferValue(c, true)
        + QStringLiteral("), does not match the one ") + QStringLiteral("specified by the algorithm (")
        + FormatBufferValue(algorithmValue, true) + QStringLiteral("). Are you sure you want to ")
        + QStringLiteral("change it?");
    if (Ui().MsgBox(prompt, vb::vbYesNo, App()) == vb::vbNo)
        setText(FormatBufferValue(algorithmValue, false));
}

bool DefaultBufferValue::eventFilter(QObject* watched, QEvent* event)
{
    // Only the focus going to another control is leaving the box: not its
    // own list opening, nor the window giving way to another one.
    if (event->type() == QEvent::FocusOut && watched == DefaultValText) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            DefaultValText_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}
