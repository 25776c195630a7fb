#include "DeferredIconStyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>
#include <memory>
#include <optional>

namespace {

// Stands for one standard icon of a style and asks the style for it on the
// first use that needs its pixels or sizes. Copies share what was read.
class DeferredStandardIcon : public QIconEngine
{
public:
    DeferredStandardIcon(const QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option,
                         const QWidget* widget)
        // Held only to be handed back as they were given (QPointer needs a
        // pointer to a changeable object).
        : m_style(const_cast<QStyle*>(style)),
          m_which(which),
          m_widget(const_cast<QWidget*>(widget)),
          m_icon(std::make_shared<std::optional<QIcon>>())
    {
        if (option)
            m_option = std::make_shared<QStyleOption>(*option);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return Icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    bool isNull() override { return Icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredStandardIcon"); }
    QIconEngine* clone() const override { return new DeferredStandardIcon(*this); }

private:
    const QIcon& Icon()
    {
        if (!m_icon->has_value())
            *m_icon = m_style ? m_style->standardIcon(m_which, m_option.get(), m_widget) : QIcon();
        return **m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    QPointer<QWidget> m_widget; // may look at its direction; gone is none
    std::shared_ptr<const QStyleOption> m_option;
    std::shared_ptr<std::optional<QIcon>> m_icon; // empty until read
};

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const
{
    // An option lives only for this call: a plain one is kept as a copy, one
    // of a derived kind (which a copy would cut short) has the icon read at
    // once.
    if (option && (option->type != QStyleOption::SO_Default || option->version != QStyleOption::Version))
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    return QIcon(new DeferredStandardIcon(baseStyle(), standardIcon, option, widget));
}
