#include "WindowPlacement.h"

#include <algorithm>

QPoint PlaceOnScreens(const QPoint& saved, const QSize& size, const QList<QRect>& screens, const QRect& primary)
{
    const QPoint gripEnd = saved + QPoint(std::min(size.width(), kGripWidth) - 1, 0);
    const auto onAScreen = [&screens](const QPoint& point) {
        return std::any_of(screens.begin(), screens.end(), [&point](const QRect& s) { return s.contains(point); });
    };
    if (onAScreen(saved) && onAScreen(gripEnd))
        return saved;
    if (!primary.isValid())
        return saved;
    // Inside the primary screen; a window larger than it keeps its top-left
    // corner on the screen.
    const int x = std::clamp(saved.x(), primary.left(), std::max(primary.left(), primary.right() + 1 - size.width()));
    const int y = std::clamp(saved.y(), primary.top(), std::max(primary.top(), primary.bottom() + 1 - size.height()));
    return {x, y};
}
