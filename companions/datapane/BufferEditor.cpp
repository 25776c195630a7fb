#include "BufferEditor.h"

#include "BufferSearch.h"
#include "BufferView.h"

#include "platform/UiService.h"
#include "qxbuffer/DataBuffer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kGoToTitle = QStringLiteral("Go To");
const QString kFindTitle = QStringLiteral("Find");

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

BufferEditor::BufferEditor(DataBuffer& buffer, bool hexAddresses, bool fuses, QWidget* parent)
    : QDialog(parent),
      m_buffer(buffer),
      m_hexAddresses(hexAddresses)
{
    setObjectName(QStringLiteral("BufferEditor"));
    setWindowTitle(QStringLiteral("Buffer Editor"));

    m_view = new BufferView(buffer, this);
    m_view->SetHexAddresses(hexAddresses);
    m_view->SetFuseMode(fuses);

    m_goTo = new QLineEdit(this);
    m_goTo->setObjectName(QStringLiteral("txtGoTo"));
    m_goTo->setToolTip(hexAddresses ? QStringLiteral("Address in hexadecimal") : QStringLiteral("Address in decimal"));
    QPushButton* goTo = Button(QStringLiteral("btnGoTo"), QStringLiteral("&Go To"), this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_findText = new QCheckBox(QStringLiteral("As &text"), this);
    m_findText->setObjectName(QStringLiteral("chkFindText"));
    m_findText->setToolTip(QStringLiteral("Find the text; otherwise pairs of hexadecimal digits"));
    QPushButton* next = Button(QStringLiteral("btnFindNext"), QStringLiteral("Find &Next"), this);
    QPushButton* previous = Button(QStringLiteral("btnFindPrevious"), QStringLiteral("Find &Previous"), this);
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("lblPosition"));

    auto* tools = new QGridLayout;
    tools->addWidget(new QLabel(QStringLiteral("Address:"), this), 0, 0);
    tools->addWidget(m_goTo, 0, 1);
    tools->addWidget(goTo, 0, 2);
    tools->addWidget(new QLabel(QStringLiteral("Find:"), this), 1, 0);
    tools->addWidget(m_find, 1, 1);
    tools->addWidget(m_findText, 1, 2);
    tools->addWidget(next, 1, 3);
    tools->addWidget(previous, 1, 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_position);
    layout->addWidget(buttons);

    connect(goTo, &QPushButton::clicked, this, &BufferEditor::GoTo_Click);
    connect(next, &QPushButton::clicked, this, &BufferEditor::FindNext_Click);
    connect(previous, &QPushButton::clicked, this, &BufferEditor::FindPrevious_Click);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_view, &BufferView::CursorMoved, this, &BufferEditor::showPosition);
    // Enter in the address or find field goes there or finds: the line edit
    // would hand the key on to the dialog, whose default button is OK.
    m_goTo->installEventFilter(this);
    m_find->installEventFilter(this);

    resize(760, 480);
    m_view->setFocus();
    showPosition(0);
}

bool BufferEditor::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_goTo || watched == m_find) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            watched == m_goTo ? GoTo_Click() : FindNext_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void BufferEditor::Commit()
{
    for (const auto& [address, value] : m_view->Edits())
        m_buffer.SetByte(address, value);
}

QString BufferEditor::addressText(qint64 address) const
{
    return m_hexAddresses ? QString::number(address, 16).toUpper() + QLatin1Char('h') : QString::number(address);
}

void BufferEditor::showPosition(qint64 address)
{
    if (m_view->Size() <= 0) {
        m_position->setText(QStringLiteral("The buffer is empty."));
        return;
    }
    m_position->setText(QStringLiteral("Address %1 of %2").arg(addressText(address), addressText(m_view->Size() - 1)));
}

void BufferEditor::GoTo_Click()
{
    QString text = m_goTo->text().trimmed();
    if (m_hexAddresses && text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        text.chop(1);
    bool ok = false;
    const qint64 address = text.toLongLong(&ok, m_hexAddresses ? 16 : 10);
    if (!ok || address < 0) {
        Ui().MsgBox(QStringLiteral("\"%1\" is not an address. Enter it in %2.")
                        .arg(m_goTo->text(),
                             m_hexAddresses ? QStringLiteral("hexadecimal digits") : QStringLiteral("decimal digits")),
                    vb::vbExclamation, kGoToTitle);
        return;
    }
    if (address >= m_view->Size()) {
        Ui().MsgBox(m_view->Size() > 0
                        ? QStringLiteral("The address %1 lies past the end of the buffer; the last address is %2.")
                              .arg(addressText(address), addressText(m_view->Size() - 1))
                        : QStringLiteral("The address %1 lies past the end of the buffer; the buffer is empty.")
                              .arg(addressText(address)),
                    vb::vbExclamation, kGoToTitle);
        return;
    }
    m_view->GoTo(address);
    m_view->setFocus();
}

void BufferEditor::find(bool forwards)
{
    QByteArray pattern;
    if (m_findText->isChecked())
        pattern = m_find->text().toLatin1();
    else if (!BufferSearch::ParseHex(m_find->text(), pattern))
        pattern.clear();
    if (pattern.isEmpty()) {
        Ui().MsgBox(
            m_findText->isChecked()
                ? QStringLiteral("Enter the text to find.")
                : QStringLiteral("Enter the bytes to find as pairs of hexadecimal digits, such as \"DE AD BE EF\"."),
            vb::vbExclamation, kFindTitle);
        return;
    }
    // A search goes on past the match it found last; otherwise it starts at
    // the cursor.
    const qint64 cursor = m_view->CursorAddress();
    const qint64 step = cursor == m_lastFound ? 1 : 0;
    const qint64 at =
        BufferSearch::Find(m_buffer, m_view->Edits(), pattern, forwards ? cursor + step : cursor - step, forwards);
    if (at < 0) {
        Ui().MsgBox(QStringLiteral("\"%1\" was not found %2 the address %3.")
                        .arg(m_find->text(), forwards ? QStringLiteral("after") : QStringLiteral("before"),
                             addressText(cursor)),
                    vb::vbInformation, kFindTitle);
        return;
    }
    m_lastFound = at;
    m_view->GoTo(at);
}
