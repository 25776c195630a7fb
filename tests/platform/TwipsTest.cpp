#include "platform/Twips.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// One rounding rule for every window: down, toward minus infinity, so that a
// control never reaches past the twips edge it was given.
TEST(TwipsTest, PixelsRoundDownAtEveryBoundary)
{
    const struct
    {
        qint32 twips;
        qint32 pixels;
    } cases[] = {
        {0, 0},   {1, 0},   {14, 0},    {15, 1},   {16, 1},   {29, 1},    {30, 2},
        {-1, -1}, {-14, -1}, {-15, -1}, {-16, -2}, {-30, -2}, {-31, -3},
        {std::numeric_limits<qint32>::max(), 143165576},
        {std::numeric_limits<qint32>::min(), -143165577},
    };
    for (const auto& c : cases)
        EXPECT_EQ(twips::ToPixels(c.twips), c.pixels) << c.twips;
}

TEST(TwipsTest, WholePixelsGoThereAndBack)
{
    for (qint32 pixels : {-3, -1, 0, 1, 7, 1000})
        EXPECT_EQ(twips::ToPixels(twips::FromPixels(pixels)), pixels) << pixels;
}

} // namespace
