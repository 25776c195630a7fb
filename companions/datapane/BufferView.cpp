#include "BufferView.h"

#include "qxbuffer/DataBuffer.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kMargin = 4;

int HexDigit(const QString& text)
{
    if (text.size() != 1)
        return -1;
    const char c = text.at(0).toLatin1();
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

BufferView::BufferView(const DataBuffer& buffer, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_buffer(buffer)
{
    setObjectName(QStringLiteral("BufferView"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(font);
    viewport()->setFont(font);
    const QFontMetrics metrics(font);
    m_charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    m_lineHeight = std::max(1, metrics.height());
    setFocusPolicy(Qt::StrongFocus);
    setMinimumWidth((addressChars() + 2 + 3 * 16 + 2 + 16) * m_charWidth + 2 * kMargin
                    + verticalScrollBar()->sizeHint().width());
    updateScrollRange();
}

void BufferView::SetHexAddresses(bool hex)
{
    m_hexAddresses = hex;
    viewport()->update();
}

void BufferView::SetFuseMode(bool fuses)
{
    m_fuses = fuses;
    m_ascii = false;
    m_knownSize = -1;
    updateScrollRange();
    viewport()->update();
}

qint64 BufferView::Size() const
{
    return m_buffer.Size();
}

quint8 BufferView::ByteAt(qint64 address) const
{
    const auto edit = m_edits.find(address);
    return edit != m_edits.end() ? edit->second : m_buffer.ByteAt(address);
}

void BufferView::SetByte(qint64 address, quint8 value)
{
    if (address < 0 || address >= Size())
        return;
    m_edits[address] = value;
    viewport()->update();
}

void BufferView::GoTo(qint64 address)
{
    moveCursor(address);
}

void BufferView::SetAsciiPane(bool ascii)
{
    m_ascii = ascii && !m_fuses;
    m_lowNibble = false;
    viewport()->update();
}

qint64 BufferView::rowCount() const
{
    return (Size() + BytesPerRow() - 1) / BytesPerRow();
}

qint64 BufferView::TopRow() const
{
    return verticalScrollBar()->value();
}

int BufferView::VisibleRows() const
{
    return std::max(1, (viewport()->height() - kMargin) / m_lineHeight);
}

void BufferView::updateScrollRange()
{
    m_knownSize = Size();
    const qint64 last = std::max<qint64>(0, rowCount() - VisibleRows());
    verticalScrollBar()->setRange(0, int(std::min<qint64>(last, std::numeric_limits<int>::max())));
    verticalScrollBar()->setPageStep(VisibleRows());
    verticalScrollBar()->setSingleStep(1);
}

int BufferView::addressChars() const
{
    return m_hexAddresses ? 8 : 10;
}

int BufferView::hexColumn(int index) const
{
    if (m_fuses)
        return addressChars() + 2 + index + index / 8;
    return addressChars() + 2 + 3 * index + (index >= 8 ? 1 : 0);
}

int BufferView::asciiColumn(int index) const
{
    return hexColumn(15) + 2 + 2 + index;
}

QString BufferView::RowText(qint64 row) const
{
    const qint64 first = row * BytesPerRow();
    const qint64 size = Size();
    if (row < 0 || first >= size)
        return QString();
    const int count = int(std::min<qint64>(BytesPerRow(), size - first));
    quint8 bytes[32];
    m_buffer.Read(first, bytes, count);
    for (auto edit = m_edits.lower_bound(first); edit != m_edits.end() && edit->first < first + count; ++edit)
        bytes[edit->first - first] = edit->second;

    QString text = m_hexAddresses ? QStringLiteral("%1").arg(first, 8, 16, QLatin1Char('0')).toUpper()
                                  : QStringLiteral("%1").arg(first, 10, 10, QLatin1Char(' '));
    text += QStringLiteral("  ");
    static const char kHex[] = "0123456789ABCDEF";
    if (m_fuses) {
        for (int i = 0; i < count; ++i) {
            if (i > 0 && i % 8 == 0)
                text += QLatin1Char(' ');
            text += QLatin1Char(bytes[i] ? '1' : '0');
        }
        return text;
    }
    for (int i = 0; i < BytesPerRow(); ++i) {
        if (i == 8)
            text += QLatin1Char(' ');
        if (i < count) {
            text += QLatin1Char(kHex[bytes[i] >> 4]);
            text += QLatin1Char(kHex[bytes[i] & 0x0F]);
        } else {
            text += QStringLiteral("  ");
        }
        text += QLatin1Char(' ');
    }
    text += QStringLiteral("  ");
    for (int i = 0; i < count; ++i)
        text += QLatin1Char(bytes[i] >= 0x20 && bytes[i] < 0x7F ? char(bytes[i]) : '.');
    return text;
}

bool BufferView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void BufferView::paintEvent(QPaintEvent*)
{
    // The engine may have resized the buffer since the last paint.
    if (Size() != m_knownSize)
        updateScrollRange();
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    const qint64 top = TopRow();
    const int rows = VisibleRows() + 1;
    const int bpr = BytesPerRow();
    const QColor edited = palette().color(QPalette::Highlight).lighter(170);
    for (int r = 0; r < rows; ++r) {
        const qint64 row = top + r;
        const QString text = RowText(row);
        if (text.isEmpty())
            break;
        const int y = kMargin + r * m_lineHeight;
        const qint64 first = row * bpr;
        // Edited bytes are tinted, in both panes.
        for (auto edit = m_edits.lower_bound(first); edit != m_edits.end() && edit->first < first + bpr; ++edit) {
            const int i = int(edit->first - first);
            painter.fillRect(kMargin + hexColumn(i) * m_charWidth, y, (m_fuses ? 1 : 2) * m_charWidth, m_lineHeight,
                             edited);
            if (!m_fuses)
                painter.fillRect(kMargin + asciiColumn(i) * m_charWidth, y, m_charWidth, m_lineHeight, edited);
        }
        if (m_cursor >= first && m_cursor < first + bpr) {
            const int i = int(m_cursor - first);
            const QColor cursor = palette().color(QPalette::Highlight);
            const int hexX = kMargin + (hexColumn(i) + (m_lowNibble ? 1 : 0)) * m_charWidth;
            if (m_fuses || !m_ascii)
                painter.fillRect(hexX, y, m_charWidth, m_lineHeight, cursor);
            else
                painter.fillRect(kMargin + asciiColumn(i) * m_charWidth, y, m_charWidth, m_lineHeight, cursor);
        }
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(kMargin, y, viewport()->width(), m_lineHeight, Qt::AlignLeft | Qt::AlignTop, text);
    }
}

void BufferView::moveCursor(qint64 address, bool lowNibble)
{
    const qint64 size = Size();
    if (size <= 0)
        return;
    m_cursor = std::clamp<qint64>(address, 0, size - 1);
    m_lowNibble = lowNibble;
    const qint64 row = m_cursor / BytesPerRow();
    if (row < TopRow())
        verticalScrollBar()->setValue(int(row));
    else if (row >= TopRow() + VisibleRows())
        verticalScrollBar()->setValue(int(row - VisibleRows() + 1));
    viewport()->update();
    emit CursorMoved(m_cursor);
}

void BufferView::keyPressEvent(QKeyEvent* event)
{
    const qint64 bpr = BytesPerRow();
    const qint64 page = qint64(VisibleRows()) * bpr;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left: moveCursor(m_cursor - 1); return;
    case Qt::Key_Right: moveCursor(m_cursor + 1); return;
    case Qt::Key_Up: moveCursor(m_cursor - bpr); return;
    case Qt::Key_Down: moveCursor(m_cursor + bpr); return;
    case Qt::Key_PageUp: moveCursor(m_cursor - page); return;
    case Qt::Key_PageDown: moveCursor(m_cursor + page); return;
    case Qt::Key_Home: moveCursor(ctrl ? 0 : m_cursor - m_cursor % bpr); return;
    case Qt::Key_End: moveCursor(ctrl ? Size() - 1 : m_cursor - m_cursor % bpr + bpr - 1); return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: SetAsciiPane(!m_ascii); return;
    default: break;
    }
    if (Size() <= 0 || ctrl) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    if (m_fuses) {
        if (text == QLatin1String("0") || text == QLatin1String("1")) {
            SetByte(m_cursor, text == QLatin1String("1") ? 1 : 0);
            moveCursor(m_cursor + 1);
            return;
        }
    } else if (m_ascii) {
        if (text.size() == 1 && text.at(0).unicode() >= 0x20 && text.at(0).unicode() < 0x7F) {
            SetByte(m_cursor, quint8(text.at(0).unicode()));
            moveCursor(m_cursor + 1);
            return;
        }
    } else if (const int digit = HexDigit(text); digit >= 0) {
        const quint8 old = ByteAt(m_cursor);
        SetByte(m_cursor, m_lowNibble ? quint8((old & 0xF0) | digit) : quint8((digit << 4) | (old & 0x0F)));
        if (m_lowNibble)
            moveCursor(m_cursor + 1);
        else
            moveCursor(m_cursor, true);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void BufferView::mousePressEvent(QMouseEvent* event)
{
    const qint64 row = TopRow() + (int(event->position().y()) - kMargin) / m_lineHeight;
    const int column = (int(event->position().x()) - kMargin) / m_charWidth;
    for (int i = 0; i < BytesPerRow(); ++i) {
        const int width = m_fuses ? 1 : 2;
        if (column >= hexColumn(i) && column < hexColumn(i) + width) {
            SetAsciiPane(false);
            moveCursor(row * BytesPerRow() + i, column > hexColumn(i));
            return;
        }
        if (!m_fuses && column == asciiColumn(i)) {
            SetAsciiPane(true);
            moveCursor(row * BytesPerRow() + i);
            return;
        }
    }
}

void BufferView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}
