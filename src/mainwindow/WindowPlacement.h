#pragma once

// Where a window saved at one place on the desktop opens again: the screens
// may have changed since (a monitor unplugged, a smaller resolution), and a
// window opened off every screen cannot be reached.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// The top-left corner for a window of the given size saved at saved. It
// stays where it was when the start of its title strip (the top-left corner
// and the point kGripWidth pixels right of it) lies on the screens (across
// two of them is fine);
// otherwise it moves onto the primary screen, as far inside it as its size
// allows. With no screen known it stays where it was.
QPoint PlaceOnScreens(const QPoint& saved, const QSize& size, const QList<QRect>& screens, const QRect& primary);

inline constexpr int kGripWidth = 100;
