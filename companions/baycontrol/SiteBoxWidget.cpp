#include "SiteBoxWidget.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// The smallest font a box steps down to, as a share of the window's font.
constexpr double kSmallestFontShare = 0.7;

QRect Inner(const QRect& r)
{
    return r.adjusted(2, 1, -2, -1);
}

} // namespace

SiteBoxWidget::SiteBoxWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SiteBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SiteBoxWidget::SetView(const View& view)
{
    m_view = view;
    setAccessibleName(view.label);
    QString description = view.stateText;
    if (!view.message.isEmpty())
        description += QStringLiteral(": ") + view.message;
    description += QStringLiteral("; passed %1, failed %2, total %3").arg(view.passed).arg(view.failed).arg(view.total);
    setAccessibleDescription(description);
    setToolTip(view.label + QStringLiteral(": ") + description);
    m_laidOut = false;
    update();
}

void SiteBoxWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_laidOut = false;
}

const QStringList& SiteBoxWidget::ShownLines() const
{
    if (!m_laidOut)
        layOut();
    return m_lines;
}

void SiteBoxWidget::layOut() const
{
    const QRect inner = Inner(rect());
    const QString counters = QStringLiteral("P %1  F %2  T %3").arg(m_view.passed).arg(m_view.failed).arg(m_view.total);
    const QString nameAndState =
        m_view.stateText.isEmpty() ? m_view.label : m_view.label + QStringLiteral(": ") + m_view.stateText;

    // The lines a box of n lines shows, the most important kept: the state
    // and the counters, then the name on a line of its own, then the
    // message. Each entry: the text, whether it may be cut (the message
    // only), whether it carries the state.
    struct Line
    {
        QString text;
        bool mayCut;
        bool state;
    };
    const auto plan = [&](int n) {
        std::vector<Line> lines;
        const bool message = !m_view.message.isEmpty();
        if (n >= 4 || (n == 3 && !message)) {
            lines = {{m_view.label, false, false}, {m_view.stateText, false, true}};
            if (message && n >= 4)
                lines.push_back({m_view.message, true, false});
        } else {
            lines = {{nameAndState, false, true}};
            if (message && n >= 3)
                lines.push_back({m_view.message, true, false});
        }
        if (n >= 2)
            lines.push_back({counters, false, false});
        return lines;
    };

    // The window's font first, then smaller steps down to the floor, until
    // the state and the counters stand whole.
    const QFont base = font();
    const qreal basePoints = base.pointSizeF() > 0 ? base.pointSizeF() : 9.0;
    std::vector<Line> chosen;
    QFont chosenFont = base;
    for (qreal points = basePoints; points >= basePoints * kSmallestFontShare - 0.01; points -= 0.5) {
        QFont f = base;
        f.setPointSizeF(points);
        QFont bold = f;
        bold.setBold(true);
        const int lineHeight = std::max(QFontMetrics(f).height(), QFontMetrics(bold).height());
        const int n = lineHeight > 0 ? inner.height() / lineHeight : 0;
        std::vector<Line> lines = plan(n);
        const bool fits =
            n >= 2 && std::all_of(lines.begin(), lines.end(), [&](const Line& l) {
                return l.mayCut || QFontMetrics(l.state ? bold : f).horizontalAdvance(l.text) <= inner.width();
            });
        chosen = std::move(lines);
        chosenFont = f;
        if (fits)
            break;
    }
    // At the floor whatever has room is shown, cut where it must be.
    QFont bold = chosenFont;
    bold.setBold(true);
    const int lineHeight = std::max(QFontMetrics(chosenFont).height(), QFontMetrics(bold).height());
    const int room = lineHeight > 0 ? std::max(inner.height() / lineHeight, 1) : 1;
    if (int(chosen.size()) > room)
        chosen.resize(size_t(room));
    m_font = chosenFont;
    m_lines.clear();
    m_boldLine = -1;
    for (const Line& l : chosen) {
        if (l.text.isEmpty())
            continue;
        if (l.state)
            m_boldLine = int(m_lines.size());
        m_lines << QFontMetrics(l.state ? bold : chosenFont).elidedText(l.text, Qt::ElideRight, inner.width());
    }
    m_laidOut = true;
}

void SiteBoxWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, m_view.colour);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const QColor ink = m_view.colour.lightness() < 110 ? Qt::white : Qt::black;
    p.setPen(ink);
    const QStringList& lines = ShownLines();
    QFont bold = m_font;
    bold.setBold(true);
    const int line = std::max(QFontMetrics(m_font).height(), QFontMetrics(bold).height());
    const QRect inner = Inner(r);
    // The lines stand in the middle of the box.
    int y = inner.top() + std::max(0, (inner.height() - line * int(lines.size())) / 2);
    for (int i = 0; i < lines.size(); ++i) {
        p.setFont(i == m_boldLine ? bold : m_font);
        p.drawText(QRect(inner.left(), y, inner.width(), line), Qt::AlignHCenter | Qt::AlignVCenter, lines.at(i));
        y += line;
    }
}
