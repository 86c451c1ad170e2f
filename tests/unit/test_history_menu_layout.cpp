#include <gtest/gtest.h>

#include <climits>

#include "history/HistoryMenuLayout.h"

namespace {

TEST(HistoryMenuLayoutTest, EntryIsBoxPlusTextWithTwoPixelMargins)
{
    const SIZE text = {180, 16};
    struct Case {
        int width;
        int height;
        SIZE size;
        POINT origin; // in an entry at (10, 100)
        RECT box;
    } cases[] = {
        {30, 30, {214, 34}, {44, 107}, {12, 102, 42, 132}},
        {64, 21, {248, 25}, {78, 102}, {12, 102, 76, 123}},
        // No box: no room taken and nothing to draw, never a negative size.
        {0, 0, {184, 4}, {14, 92}, {12, 102, 12, 102}},
        {-500, -3, {184, 4}, {14, 92}, {12, 102, 12, 102}},
    };
    const RECT item = {10, 100, 400, 140};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const SIZE size = HistoryEntrySize(c.width, c.height, text);
        EXPECT_EQ(size.cx, c.size.cx);
        EXPECT_EQ(size.cy, c.size.cy);
        const POINT origin = HistoryTextOrigin(item, c.width, c.height, text.cy);
        EXPECT_EQ(origin.x, c.origin.x);
        EXPECT_EQ(origin.y, c.origin.y);
        const RECT box = HistoryThumbnailRect(item, c.width, c.height);
        EXPECT_TRUE(::EqualRect(&box, &c.box));
    }
    // Each halving truncates: a 31-high box and a 15-high text give 15 - 7.
    EXPECT_EQ(HistoryTextOrigin(item, 30, 31, 15).y, 108);
}

// A long row of digits typed as the size reads as INT_MAX: the box is laid
// out at its bound, and no size or position wraps round to a negative one.
TEST(HistoryMenuLayoutTest, HugeSizesAreBoundedNeverWrapped)
{
    const int kMax = kMaxThumbnailExtent;
    struct Case {
        const char* name;
        int width, height;
        SIZE text;
        RECT item;
        SIZE size;
        POINT origin;
        RECT box;
    } cases[] = {
        {"INT_MAX box",
         INT_MAX,
         INT_MAX,
         {180, 16},
         {10, 100, 400, 140},
         {kMax + 184, kMax + 4},
         {kMax + 14, 100 + kMax / 2 - 8},
         {12, 102, 12 + kMax, 102 + kMax}},
        {"box at the bound",
         kMax,
         30,
         {180, 16},
         {10, 100, 400, 140},
         {kMax + 184, 34},
         {kMax + 14, 107},
         {12, 102, 12 + kMax, 132}},
        {"INT_MAX text", 30, 30, {INT_MAX, 16}, {10, 100, 400, 140}, {INT_MAX, 34}, {44, 107}, {12, 102, 42, 132}},
        {"entry at the far right",
         INT_MAX,
         30,
         {180, 16},
         {INT_MAX - 3, INT_MAX - 1, INT_MAX, INT_MAX},
         {kMax + 184, 34},
         {INT_MAX, INT_MAX},
         {INT_MAX - 1, INT_MAX, INT_MAX, INT_MAX}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SIZE size = HistoryEntrySize(c.width, c.height, c.text);
        EXPECT_EQ(size.cx, c.size.cx);
        EXPECT_EQ(size.cy, c.size.cy);
        const POINT origin = HistoryTextOrigin(c.item, c.width, c.height, c.text.cy);
        EXPECT_EQ(origin.x, c.origin.x);
        EXPECT_EQ(origin.y, c.origin.y);
        const RECT box = HistoryThumbnailRect(c.item, c.width, c.height);
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
    }
}

TEST(HistoryMenuLayoutTest, DarkerMenuColourIsThreeQuartersPerQuarterStep)
{
    EXPECT_EQ(DarkerMenuColour(RGB(240, 240, 240)), RGB(180, 180, 180));
    EXPECT_EQ(DarkerMenuColour(RGB(255, 255, 255)), RGB(189, 189, 189));
    EXPECT_EQ(DarkerMenuColour(RGB(3, 7, 202)), RGB(0, 3, 150));
    EXPECT_EQ(DarkerMenuColour(RGB(0, 0, 0)), RGB(0, 0, 0));
}

} // namespace
