#include <gtest/gtest.h>

#include <climits>
#include <string>

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

// A picture larger than the screen in the free mode: the zoom that makes the
// whole frame (decorations included) fit the work area, and the move that
// keeps it inside.
TEST(FrameGeometry, FreeZoomShrinksUntilTheFrameFitsTheWorkArea)
{
    const SIZE work = {1600, 1160};
    const SIZE decorations = {16, 100};
    const struct {
        const char* name;
        double zoom;
        SIZE picture;
        double fitted;
    } cases[] = {
        {"a picture that fits keeps its zoom", 1.0, {400, 300}, 1.0},
        {"a 12 MP photo: the height rules", 1.0, {4000, 3000}, (1160.0 - 100) / 3000},
        {"a panorama: the width rules", 1.0, {6000, 800}, (1600.0 - 16) / 6000},
        {"an enlarged picture", 3.0, {1000, 100}, (1600.0 - 16) / 1000},
        {"a smaller zoom that fits is kept", 0.2, {4000, 3000}, 0.2},
        {"no picture to scale", 1.0, {0, 0}, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double fitted = FreeZoomInsideWorkArea(c.zoom, c.picture, decorations, work);
        EXPECT_DOUBLE_EQ(fitted, c.fitted);
        // The display size is the zoomed size truncated: it never overshoots.
        EXPECT_LE(static_cast<long long>(c.picture.cx * fitted) + decorations.cx, work.cx);
        EXPECT_LE(static_cast<long long>(c.picture.cy * fitted) + decorations.cy, work.cy);
    }
    EXPECT_DOUBLE_EQ(FreeZoomInsideWorkArea(1.0, SIZE{4000, 3000}, SIZE{1600, 10}, work), 1.0)
        << "decorations that fill the work area leave the zoom alone";
}

TEST(FrameGeometry, WindowsMoveAsLittleAsNeededToLieInside)
{
    const RECT work = {0, 30, 1600, 1190};
    const struct {
        const char* name;
        RECT window;
        POINT corner;
    } cases[] = {
        {"inside already", {100, 100, 900, 700}, {100, 100}},
        {"past the right and bottom edges", {1000, 900, 1600, 1300}, {1000, 790}},
        {"above and left of the work area", {-20, 0, 780, 600}, {0, 30}},
        {"as wide as the work area", {300, 100, 1900, 700}, {0, 100}},
        {"larger than the work area", {300, 100, 2000, 1500}, {0, 30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const POINT corner = KeepWindowInside(c.window, work);
        EXPECT_EQ(corner.x, c.corner.x);
        EXPECT_EQ(corner.y, c.corner.y);
    }
}

TEST(FrameGeometry, PulseBaseSizeFollowsTheModeAndLimitsAlsoSmallerPictures)
{
    struct Case {
        int w, h, mode, value;
        LONG cx, cy;
    } cases[] = {
        {400, 300, ZOOM_ANY, 0, 400, 300},  // the picture's own size
        {400, 300, ZOOM_ANY, 70, 400, 300}, // the value plays no part
        {400, 300, ZOOM_PERCENT, 100, 400, 300},    {400, 300, ZOOM_PERCENT, 50, 200, 150},
        {400, 300, ZOOM_FIX_HEIGHT, 600, 800, 600}, // enlarged to the limit
        {400, 300, ZOOM_FIX_HEIGHT, 150, 200, 150}, {400, 300, ZOOM_FIX_WIDTH, 800, 800, 600},
        {400, 300, ZOOM_FIX_WIDTH, 200, 200, 150},  {400, 1000, ZOOM_FIX_BOTH, 300, 120, 300}, // the height rules
        {1000, 400, ZOOM_FIX_BOTH, 300, 300, 120}, // 750 wide is over the limit: the width rules
        {400, 300, ZOOM_FIX_BOTH, 800, 800, 600},  // 1066 wide: the width rules, enlarged
        {0, 300, ZOOM_PERCENT, 100, 0, 0},         // no area, no division by zero
        {400, 300, ZOOM_FIX_WIDTH, -50, 0, 0},     // a negative limit gives no negative size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " mode " + std::to_string(c.mode) + " value " +
                     std::to_string(c.value));
        const SIZE base = PulseBaseSize(c.w, c.h, c.mode, c.value);
        EXPECT_EQ(base.cx, c.cx);
        EXPECT_EQ(base.cy, c.cy);
    }
    // An absurd limit clamps instead of wrapping.
    const SIZE huge = PulseBaseSize(1, 1000, ZOOM_FIX_WIDTH, INT_MAX);
    EXPECT_EQ(huge.cx, INT_MAX);
    EXPECT_EQ(huge.cy, INT_MAX);
}

TEST(FrameGeometry, PulseSizeFactorFallsToHalfAndRisesBackOverOnePeriod)
{
    EXPECT_EQ(PulseSizeFactor(0), 500);
    EXPECT_EQ(PulseSizeFactor(250), 250);
    EXPECT_EQ(PulseSizeFactor(100), 400);
    EXPECT_EQ(PulseSizeFactor(400), 400);
    for (int phase = 2; phase <= 250; phase += 2)
        EXPECT_EQ(PulseSizeFactor(phase), PulseSizeFactor(phase - 2) - 2) << "phase " << phase;
    for (int phase = 252; phase < 500; phase += 2)
        EXPECT_EQ(PulseSizeFactor(phase), PulseSizeFactor(phase - 2) + 2) << "phase " << phase;
    // Phases beyond the period wrap.
    EXPECT_EQ(PulseSizeFactor(500), 500);
    EXPECT_EQ(PulseSizeFactor(750), 250);
    EXPECT_EQ(PulseSizeFactor(-2), PulseSizeFactor(498));
}

TEST(FrameGeometry, PulseWindowStaysCentredFromFullToHalfSize)
{
    const POINT centre = {500, 400};
    RECT rc = PulseWindowRect(centre, SIZE{400, 300}, 500);
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 250);
    EXPECT_EQ(rc.right, 700);
    EXPECT_EQ(rc.bottom, 550);
    rc = PulseWindowRect(centre, SIZE{400, 300}, 250);
    EXPECT_EQ(rc.right - rc.left, 200);
    EXPECT_EQ(rc.bottom - rc.top, 150);
    EXPECT_EQ((rc.left + rc.right) / 2, 500);
    EXPECT_EQ((rc.top + rc.bottom) / 2, 400);
    // Each half size is truncated on its own: an odd base loses its last pixel,
    // and the size is always even, so the centre never drifts.
    rc = PulseWindowRect(centre, SIZE{401, 301}, 333);
    EXPECT_EQ(rc.right - rc.left, 2 * (200 * 333 / 500));
    EXPECT_EQ(rc.bottom - rc.top, 2 * (150 * 333 / 500));
    EXPECT_EQ(rc.left + rc.right, 2 * centre.x);
    EXPECT_EQ(rc.top + rc.bottom, 2 * centre.y);
    // A picture without size (a zoom value of 0) still pulses as a window
    // that can be found and stopped.
    rc = PulseWindowRect(centre, SIZE{0, 0}, 250);
    EXPECT_EQ(rc.right - rc.left, kMinReachableSize);
    EXPECT_EQ(rc.bottom - rc.top, kMinReachableSize);
}
