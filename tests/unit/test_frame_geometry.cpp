#include <gtest/gtest.h>

#include <climits>

#include "frame/FrameGeometry.h"

TEST(FrameGeometry, FrameKeepsItsDecorationsAroundTheImage)
{
    const RECT frame = {100, 50, 520, 460};
    const RECT view = {108, 90, 512, 430}; // 8 left, 40 top, 8 right, 30 bottom
    const RECT image = {0, 0, 200, 150};
    const SIZE size = FrameSizeAroundImage(frame, view, image);
    EXPECT_EQ(size.cx, 8 + 200 + 8);
    EXPECT_EQ(size.cy, 40 + 150 + 30);
}

TEST(FrameGeometry, AbsurdImageSizesClampInsteadOfWrapping)
{
    const RECT frame = {0, 0, 316, 340};
    const RECT view = {8, 40, 308, 310};
    // A zoom value of INT_MAX gives a display rectangle as wide as an int goes.
    const RECT huge = {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2 + 1, INT_MAX / 2 + 1};
    SIZE size = FrameSizeAroundImage(frame, view, huge);
    EXPECT_EQ(size.cx, INT_MAX);
    EXPECT_EQ(size.cy, INT_MAX);
    // A negative display size (a negative limit) gives no negative window size.
    const RECT negative = {0, 0, -500, -500};
    size = FrameSizeAroundImage(frame, view, negative);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
}
