#pragma once

// Window geometry is kept in twips (1/1440 inch); at 96 dots per inch a
// pixel is 15 twips. One rule for the whole program: twips to pixels rounds
// down (toward minus infinity), so a control never reaches past the twips
// edge it was given.

#include <QtGlobal>

namespace twips {

constexpr qint32 kPerPixel = 15;

constexpr qint32 ToPixels(qint32 twips)
{
    return twips >= 0 ? twips / kPerPixel : -((-qint64(twips) + kPerPixel - 1) / kPerPixel);
}

constexpr qint32 FromPixels(qint32 pixels) { return pixels * kPerPixel; }

} // namespace twips
