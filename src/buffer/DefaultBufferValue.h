#pragma once

// The fill-value control: "&Default Buffer Value:" with an editable list of
// the two usual values (0 and 255, or 0 and FF). It shows the fill byte in
// its host's radix (the host's "Decimal" option decides), keeps it within 0
// to 255, and warns when the operator leaves a value that differs from the
// one the device's algorithm specifies. It never writes the engine's fill
// byte: the host reads CurrentValue when it commits.

#include <QWidget>

class QComboBox;
class QLabel;
class QRadioButton;
class QXPgmrControl;

class DefaultBufferValue : public QWidget
{
    Q_OBJECT
public:
    explicit DefaultBufferValue(QXPgmrControl& engine, QWidget* parent = nullptr);
    ~DefaultBufferValue() override;

    // The host's decimal option; set before anything else.
    void SetDecimalButton(QRadioButton* button);
    // Shows the engine's fill byte, with its list entry when it is 0 or 255.
    void InitDefaultBufValList();
    // The text's value reduced to one byte.
    qint32 CurrentValue() const;
    // The host switched its radix: the text (still in the old radix) and the
    // list are rewritten in the new one.
    void UpdateDefaultBufValList();
    bool Enabled() const { return isEnabled(); }
    void Enabled(bool enabled);

    // The check of every change of the text, typed or set by code.
    void DefaultValText_Change();
    // Leaving the box: the warning when the algorithm names another value.
    void DefaultValText_LostFocus();

    QLabel* DefaultBufValLabel;
    QComboBox* DefaultValText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool decimal() const;
    QString text() const;
    void setText(const QString& text);
    void fillList();
    QString FormatBufferValue(qint32 value, bool suffix) const;
    void showInButtonsRadix();

    QXPgmrControl& m_engine;
    QRadioButton* m_decimalButton = nullptr;
    qint32 m_lastValue = 0;
    // The radix the text is written in; it follows the host's button.
    bool m_textDecimal = true;
};
