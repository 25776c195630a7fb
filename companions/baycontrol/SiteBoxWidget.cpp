#include "SiteBoxWidget.h"

#include <QPainter>

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
    update();
}

void SiteBoxWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, m_view.colour);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(r.adjusted(0, 0, -1, -1));

    // As many lines as the box has room for, the most important first.
    const QColor ink = m_view.colour.lightness() < 110 ? Qt::white : Qt::black;
    p.setPen(ink);
    QFont font = p.font();
    const int line = QFontMetrics(font).height();
    const QRect inner = r.adjusted(2, 1, -2, -1);
    const QString lines[] = {
        m_view.label,
        m_view.stateText,
        m_view.message,
        QStringLiteral("P %1  F %2  T %3").arg(m_view.passed).arg(m_view.failed).arg(m_view.total),
    };
    int y = inner.top();
    for (const QString& text : lines) {
        if (y + line > inner.bottom() + 1)
            break;
        if (text.isEmpty())
            continue;
        font.setBold(&text == &lines[1]);
        p.setFont(font);
        p.drawText(QRect(inner.left(), y, inner.width(), line), Qt::AlignHCenter | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(text, Qt::ElideRight, inner.width()));
        y += line;
    }
}
