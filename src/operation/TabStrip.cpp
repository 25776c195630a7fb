#include "TabStrip.h"

#include "platform/Twips.h"

#include <QFrame>
#include <QStyle>
#include <QStyleOptionTab>
#include <QTabBar>

TabStrip::TabStrip(QWidget* parent)
    : QWidget(parent)
{
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabOperationTabs"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    // The client area's border, under the option frame that the window lays
    // over it.
    auto* client = new QFrame(this);
    client->setObjectName(QStringLiteral("tabOperationClient"));
    client->setFrameShape(QFrame::StyledPanel);
    client->lower();
    connect(m_tabs, &QTabBar::currentChanged, this, &TabStrip::onCurrentChanged);
}

int TabStrip::Count() const
{
    return m_tabs->count();
}

bool TabStrip::Add(int index, const QString& key, const QString& caption)
{
    if (index < 1 || index > Count() + 1)
        return false;
    for (int i = 1; i <= Count(); ++i) {
        if (Key(i) == key)
            return false;
    }
    m_fromCode = true;
    m_tabs->insertTab(index - 1, caption);
    m_tabs->setTabData(index - 1, key);
    m_fromCode = false;
    m_selected = m_tabs->currentIndex() + 1;
    return true;
}

void TabStrip::Clear()
{
    m_fromCode = true;
    while (m_tabs->count() > 0)
        m_tabs->removeTab(m_tabs->count() - 1);
    m_fromCode = false;
    m_selected = 0;
}

QString TabStrip::Key(int index) const
{
    return index >= 1 && index <= Count() ? m_tabs->tabData(index - 1).toString() : QString();
}

QString TabStrip::Caption(int index) const
{
    return index >= 1 && index <= Count() ? m_tabs->tabText(index - 1) : QString();
}

void TabStrip::SetToolTip(int index, const QString& text)
{
    if (index >= 1 && index <= Count())
        m_tabs->setTabToolTip(index - 1, text);
}

QString TabStrip::ToolTip(int index) const
{
    return index >= 1 && index <= Count() ? m_tabs->tabToolTip(index - 1) : QString();
}

void TabStrip::Select(int index)
{
    if (index < 1 || index > Count())
        return;
    m_fromCode = true;
    m_tabs->setCurrentIndex(index - 1);
    m_fromCode = false;
    m_selected = index;
}

void TabStrip::onCurrentChanged(int index)
{
    if (m_fromCode) {
        m_selected = index + 1;
        return;
    }
    // The operator chose another tab: the one being left is still the
    // selected one while beforeClick runs.
    emit beforeClick();
    m_selected = index + 1;
    emit click();
}

qint32 TabStrip::RowHeight() const
{
    // A tab as the bar sizes it: the caption's line and the style's room
    // around it.
    QStyleOptionTab option;
    option.initFrom(m_tabs);
    option.shape = m_tabs->shape();
    option.text = QStringLiteral("Xg");
    const QStyle* style = m_tabs->style();
    const QSize text(m_tabs->fontMetrics().horizontalAdvance(option.text),
                     m_tabs->fontMetrics().height() + style->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, m_tabs));
    const int tab = style->sizeFromContents(QStyle::CT_TabBarTab, &option, text, m_tabs).height();
    return std::max(kTabRowHeight, twips::FromPixels(tab));
}

void TabStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int row = twips::ToPixels(RowHeight());
    m_tabs->setGeometry(0, 0, width(), row);
    if (auto* client = findChild<QFrame*>(QStringLiteral("tabOperationClient")))
        client->setGeometry(0, row - 1, width(), std::max(0, height() - row + 1));
}
