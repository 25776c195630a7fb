#pragma once

// The parts every device dialog is built from: number boxes tied to their
// entry rule, the "Display Format" radix pair, buttons, and centring.

#include <QString>

class NumberEntry;
class QCheckBox;
class QDialog;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace devicedialogs {

QLabel* Label(QWidget* parent, const QString& caption);
// A label other code finds by its name.
QLabel* Caption(QWidget* parent, const char* name, const QString& text, const QString& toolTip = {});
// A text box whose every change runs the entry's rule; the entry writes the
// box's text and maximum length through it.
QLineEdit* NumberBox(QWidget* parent, const char* name, const QString& designText, const QString& toolTip,
                     NumberEntry& entry);
// Bounds how long the operator may type the box's text; text set by code is
// never cut (a value converted to another radix may need more digits).
void BoundTypedLength(QLineEdit* box, int length);
// The box's typed-length bound; -1 when it has none.
int TypedLengthBound(const QLineEdit* box);
QCheckBox* Check(QWidget* parent, const char* name, const QString& caption, const QString& toolTip = {});
QRadioButton* Option(QWidget* parent, const char* name, const QString& caption);
QPushButton* Button(QWidget* parent, const char* name, const QString& caption);
// The frame "DisplayFmt" with "&Decimal" and "&Hexadecimal".
QGroupBox* RadixFrame(QWidget* parent, QRadioButton*& btnDecimal, QRadioButton*& btnHexadecimal);
// Selects the radix from the engine's; the switch runs even when the pair
// already shows it (the texts are rewritten as at a click).
void SelectRadix(QRadioButton* btnDecimal, QRadioButton* btnHexadecimal, bool hex);
QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel);
// "&OK", the button Enter presses, and "&Cancel", named cmdOK and cmdCancel.
void OkCancelButtons(QWidget* parent, QPushButton*& cmdOK, QPushButton*& cmdCancel);
void CentreOnScreen(QDialog* dialog);

} // namespace devicedialogs
