#include <gtest/gtest.h>

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

TEST(HistoryMenuLayoutTest, DarkerMenuColourIsThreeQuartersPerQuarterStep)
{
    EXPECT_EQ(DarkerMenuColour(RGB(240, 240, 240)), RGB(180, 180, 180));
    EXPECT_EQ(DarkerMenuColour(RGB(255, 255, 255)), RGB(189, 189, 189));
    EXPECT_EQ(DarkerMenuColour(RGB(3, 7, 202)), RGB(0, 3, 150));
    EXPECT_EQ(DarkerMenuColour(RGB(0, 0, 0)), RGB(0, 0, 0));
}

} // namespace
