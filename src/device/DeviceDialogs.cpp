#include "DeviceDialogs.h"

#include "NumberEntry.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QValidator>

namespace {

// Refuses an edit that makes the text longer than the bound; a longer text
// that code put there may still be shortened or changed in place. The box
// already holds the edited text when it asks, so the text before the edit is
// kept here; text set by code (the box then reads as not modified) is never
// refused.
class TypedLength : public QValidator
{
public:
    TypedLength(QLineEdit* box, int length)
        : QValidator(box),
          m_box(box),
          m_length(length),
          m_before(box->text().size())
    {
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text.size(); });
    }
    void SetLength(int length) { m_length = length; }
    int Length() const { return m_length; }
    State validate(QString& input, int&) const override
    {
        if (!m_box->isModified())
            return Acceptable;
        return input.size() > m_length && input.size() > m_before ? Invalid : Acceptable;
    }

private:
    QLineEdit* m_box;
    int m_length;
    qsizetype m_before;
};

} // namespace

namespace devicedialogs {

void BoundTypedLength(QLineEdit* box, int length)
{
    if (auto* bound = const_cast<TypedLength*>(dynamic_cast<const TypedLength*>(box->validator())))
        bound->SetLength(length);
    else
        box->setValidator(new TypedLength(box, length));
}

QLabel* Label(QWidget* parent, const QString& caption)
{
    return new QLabel(caption, parent);
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, const QString& toolTip)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(toolTip);
    return label;
}

int TypedLengthBound(const QLineEdit* box)
{
    const auto* bound = dynamic_cast<const TypedLength*>(box->validator());
    return bound ? bound->Length() : -1;
}

QLineEdit* NumberBox(QWidget* parent, const char* name, const QString& designText, const QString& toolTip,
                     NumberEntry& entry)
{
    auto* box = new QLineEdit(designText, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(toolTip);
    entry.SetHooks([box](const QString& text) { box->setText(text); },
                   [box](int length) { BoundTypedLength(box, length); });
    entry.Adopt(designText);
    QObject::connect(box, &QLineEdit::textChanged, parent, [&entry](const QString& text) { entry.Changed(text); });
    return box;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption, const QString& toolTip)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QString::fromLatin1(name));
    check->setToolTip(toolTip);
    return check;
}

QRadioButton* Option(QWidget* parent, const char* name, const QString& caption)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QString::fromLatin1(name));
    return option;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QGroupBox* RadixFrame(QWidget* parent, QRadioButton*& btnDecimal, QRadioButton*& btnHexadecimal)
{
    auto* frame = new QGroupBox(QStringLiteral("Display Format"), parent);
    frame->setObjectName(QStringLiteral("DisplayFmt"));
    btnDecimal = Option(frame, "btnDecimal", QStringLiteral("&Decimal"));
    btnHexadecimal = Option(frame, "btnHexadecimal", QStringLiteral("&Hexadecimal"));
    auto* layout = new QHBoxLayout(frame);
    layout->addWidget(btnDecimal);
    layout->addWidget(btnHexadecimal);
    return frame;
}

void SelectRadix(QRadioButton* btnDecimal, QRadioButton* btnHexadecimal, bool hex)
{
    QRadioButton* chosen = hex ? btnHexadecimal : btnDecimal;
    if (chosen->isChecked())
        emit chosen->toggled(true);
    else
        chosen->setChecked(true);
}

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void OkCancelButtons(QWidget* parent, QPushButton*& cmdOK, QPushButton*& cmdCancel)
{
    cmdOK = new QPushButton(QStringLiteral("&OK"), parent);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), parent);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
}

void CentreOnScreen(QDialog* dialog)
{
    dialog->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = dialog->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog->move(frame.topLeft());
    }
}

} // namespace devicedialogs
