#include "platform/CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <vector>

namespace captionfit {

namespace {

// The room kept between a window's or a frame's edge and a control that had
// to grow up to it, and the most of a designed gap a pushed control keeps.
constexpr int kWindowMargin = 8;
constexpr int kFrameMargin = 6;
constexpr int kMaxKeptGap = 8;
// Text is laid out in whole pixels: a label keeps a pixel more on each side,
// a button some air around its caption.
constexpr int kSlack = 2;
constexpr int kButtonSlack = 8;

QStyleOptionButton ButtonOption(const QAbstractButton* button, const QRect& rect)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = rect;
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (push->isFlat())
            option.features |= QStyleOptionButton::Flat;
    }
    return option;
}

QStyle::SubElement ContentsElement(const QAbstractButton* button)
{
    if (qobject_cast<const QCheckBox*>(button))
        return QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(button))
        return QStyle::SE_RadioButtonContents;
    return QStyle::SE_PushButtonContents;
}

QSize ButtonNeed(const QAbstractButton* button)
{
    const QSize size = button->size();
    if (button->text().isEmpty())
        return size;
    QSize content = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull())
        content = QSize(content.width() + button->iconSize().width() + 4,
                        std::max(content.height(), button->iconSize().height()));
    const QStyleOptionButton option = ButtonOption(button, QRect(QPoint(0, 0), size));
    const QRect contents = button->style()->subElementRect(ContentsElement(button), &option, button);
    int need = content.height() + size.height() - contents.height();
    if (qobject_cast<const QCheckBox*>(button))
        need = std::max(need, button->style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, button));
    else if (qobject_cast<const QRadioButton*>(button))
        need = std::max(need, button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, button));
    const int slack = qobject_cast<const QPushButton*>(button) ? kButtonSlack : kSlack;
    return size.expandedTo(QSize(content.width() + slack + size.width() - contents.width(), need));
}

QSize LabelNeed(const QLabel* label)
{
    const QSize size = label->size();
    if (label->text().isEmpty() && label->pixmap().isNull())
        return size;
    // A wrapping label keeps its width and needs the lines it wraps into.
    if (label->wordWrap())
        return size.expandedTo(QSize(0, label->heightForWidth(size.width())));
    return size.expandedTo(label->sizeHint() + QSize(kSlack, 0));
}

// A plain frame or a group box whose controls the window places itself.
bool IsPlacedContainer(const QWidget* widget)
{
    if (widget->layout())
        return false;
    const QMetaObject* kind = widget->metaObject();
    return qobject_cast<const QGroupBox*>(widget) || kind == &QFrame::staticMetaObject
        || kind == &QWidget::staticMetaObject;
}

struct Placed
{
    QWidget* widget;
    QRect designed;
    QRect now;
};

bool Overlap(int a0, int a1, int b0, int b1)
{
    return a0 < b1 && b0 < a1;
}

// Controls to the right of (or below) one that grew move out of its way, in
// the order they stand, so a move passes on along the row (or column).
// Controls designed to line up (the same left, or the same top) still do: a
// move of one moves the others of its column (or row) as far.
void Push(std::vector<Placed>& items, bool across)
{
    const auto start = [across](const QRect& r) { return across ? r.left() : r.top(); };
    const auto end = [across](const QRect& r) { return across ? r.left() + r.width() : r.top() + r.height(); };
    const auto sideStart = [across](const QRect& r) { return across ? r.top() : r.left(); };
    const auto sideEnd = [across](const QRect& r) { return across ? r.top() + r.height() : r.left() + r.width(); };
    const auto moveTo = [across](QRect& r, int to) { across ? r.moveLeft(to) : r.moveTop(to); };
    std::vector<Placed*> order;
    for (Placed& item : items)
        order.push_back(&item);
    std::stable_sort(order.begin(), order.end(),
                     [&](const Placed* a, const Placed* b) { return start(a->designed) < start(b->designed); });
    // Each round only moves controls further; a round without a move ends it.
    for (size_t round = 0; round <= order.size(); ++round) {
        bool moved = false;
        for (size_t i = 0; i < order.size(); ++i) {
            const Placed& grown = *order[i];
            for (size_t j = i + 1; j < order.size(); ++j) {
                Placed& next = *order[j];
                if (start(next.designed) < end(grown.designed))
                    continue;
                if (!Overlap(sideStart(grown.now), sideEnd(grown.now), sideStart(next.now), sideEnd(next.now)))
                    continue;
                const int gap = std::min(start(next.designed) - end(grown.designed), kMaxKeptGap);
                const int wanted = end(grown.now) + gap;
                if (start(next.now) < wanted) {
                    moveTo(next.now, wanted);
                    moved = true;
                }
            }
        }
        for (Placed* item : order) {
            if (start(item->now) == start(item->designed))
                continue;
            for (Placed* other : order) {
                if (start(other->designed) == start(item->designed) && start(other->now) < start(item->now)) {
                    moveTo(other->now, start(item->now));
                    moved = true;
                }
            }
        }
        if (!moved)
            break;
    }
}

void FitContainer(QWidget* container)
{
    if (container->layout()) {
        // The layout places the controls; the container is kept at least
        // as large as it needs.
        const QSize least = container->layout()->totalMinimumSize();
        if (!container->isWindow() && (container->width() < least.width() || container->height() < least.height()))
            container->resize(container->size().expandedTo(least));
        return;
    }
    std::vector<Placed> items;
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow() || widget->isHidden())
            continue;
        const QRect designed = widget->geometry();
        if (IsPlacedContainer(widget))
            FitContainer(widget);
        const QSize need = NeededSize(widget);
        items.push_back({widget, designed, QRect(designed.topLeft(), need)});
    }
    // Controls designed alike (the same left and width, or the same top and
    // height) stay alike: they take the largest size any of them needs.
    for (Placed& item : items) {
        for (const Placed& other : items) {
            const QRect& d = item.designed;
            const QRect& o = other.designed;
            if (d.left() == o.left() && d.width() == o.width())
                item.now.setWidth(std::max(item.now.width(), other.now.width()));
            if (d.top() == o.top() && d.height() == o.height())
                item.now.setHeight(std::max(item.now.height(), other.now.height()));
        }
    }
    Push(items, true);
    Push(items, false);

    QSize least = container->size();
    const int margin = container->isWindow() ? kWindowMargin : kFrameMargin;
    for (const Placed& item : items) {
        if (item.now != item.widget->geometry())
            item.widget->setGeometry(item.now);
        // Only a control that now reaches past the edge (or over the last
        // margin) makes the container grow.
        const QRect& r = item.now;
        const QRect& d = item.designed;
        if (r.left() + r.width() > d.left() + d.width())
            least.setWidth(std::max(least.width(), r.left() + r.width() + margin));
        if (r.top() + r.height() > d.top() + d.height())
            least.setHeight(std::max(least.height(), r.top() + r.height() + margin));
        if (r.left() + r.width() > container->width())
            least.setWidth(std::max(least.width(), r.left() + r.width() + margin));
        if (r.top() + r.height() > container->height())
            least.setHeight(std::max(least.height(), r.top() + r.height() + margin));
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(container))
        least = least.expandedTo(group->minimumSizeHint());
    if (least == container->size())
        return;
    if (container->isWindow() && container->minimumSize() == container->maximumSize())
        container->setFixedSize(least);
    else
        container->resize(least);
}

} // namespace

QSize NeededSize(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return ButtonNeed(button);
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return LabelNeed(label);
    if (const auto* group = qobject_cast<const QGroupBox*>(control))
        return control->size().expandedTo(group->minimumSizeHint());
    return control->size();
}

void FitCaptions(QWidget* window)
{
    if (!window)
        return;
    FitContainer(window);
    if (window->isWindow() && window->layout()) {
        const QSize least = window->minimumSizeHint();
        if (least.isValid() && (window->width() < least.width() || window->height() < least.height()))
            window->resize(window->size().expandedTo(least));
    }
}

} // namespace captionfit
