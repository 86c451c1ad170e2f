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
}

// A frameless window has no decorations: a zoom value of 0 or below (an empty
// or negative display) still leaves a window a user can find.
TEST(FrameGeometry, NoFrameIsSmallerThanAUserCanFind)
{
    const RECT frameless = {100, 100, 400, 300};
    for (const RECT image : {RECT{0, 0, 0, 0}, RECT{0, 0, -500, -500}, RECT{0, 0, 5, 3}}) {
        const SIZE size = FrameSizeAroundImage(frameless, frameless, image);
        EXPECT_EQ(size.cx, kMinReachableSize);
        EXPECT_EQ(size.cy, kMinReachableSize);
    }
    const SIZE size = FrameSizeAroundImage(frameless, frameless, RECT{0, 0, 40, 30});
    EXPECT_EQ(size.cx, 40);
    EXPECT_EQ(size.cy, 30);
}

TEST(FrameGeometry, WindowsKeepEnoughOfThemselvesOnTheScreen)
{
    const RECT work = {0, 0, 1600, 1160};
    const struct {
        const char* name;
        RECT window;
        POINT corner;
    } cases[] = {
        {"on the screen", {120, 80, 520, 380}, {120, 80}},
        {"partly above and left, as the Startup shortcut may store", {-8, -8, 392, 292}, {-8, -8}},
        {"far to the right and below", {10000, 10000, 10400, 10300}, {1600 - 16, 1160 - 16}},
        {"far to the left and above", {-5000, -5000, -4600, -4700}, {-400 + 16, -300 + 16}},
        {"a small window half off the corner", {-8, -8, 8, 8}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const POINT corner = KeepWindowReachable(c.window, work);
        EXPECT_EQ(corner.x, c.corner.x);
        EXPECT_EQ(corner.y, c.corner.y);
    }
}
