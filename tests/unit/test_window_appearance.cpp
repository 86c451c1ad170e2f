// The alpha bytes of the translucency steps and the texts of the fixed-size
// zoom items.
#include <gtest/gtest.h>

#include <climits>

#include "frame/WindowAppearance.h"
#include "frame/ZoomCommands.h"
#include "res/resource.h"

TEST(AlphaFromPercent, EveryMenuStepGivesItsByte)
{
    const struct {
        int percent;
        int alpha;
    } cases[] = {{10, 25},  {20, 51},  {30, 76},  {40, 102}, {50, 127},
                 {60, 153}, {70, 178}, {80, 204}, {90, 229}, {100, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(AlphaFromPercent(c.percent), c.alpha) << c.percent << "%";
}

TEST(AlphaFromPercent, StoredValuesOutOfRangeDoNotWrap)
{
    EXPECT_EQ(AlphaFromPercent(1000), 255);
    EXPECT_EQ(AlphaFromPercent(-5), 0);
    EXPECT_EQ(AlphaFromPercent(INT_MIN), 0);
}

TEST(FixedZoomMenuText, TextsFollowModeAndSign)
{
    const struct {
        unsigned id;
        int mode;
        int value;
        const char* text;
    } cases[] = {
        {ID_ZOOM_FIX_WIDTH, ZOOM_FIX_WIDTH, 1000, "最大幅を固定 1000 ピクセル"},
        {ID_ZOOM_FIX_WIDTH, ZOOM_FIX_WIDTH, -50, "最大幅を固定 -50 ピクセル"},
        {ID_ZOOM_FIX_WIDTH, ZOOM_FIX_HEIGHT, 300, "最大幅を固定"},
        {ID_ZOOM_FIX_HEIGHT, ZOOM_FIX_HEIGHT, 480, "最大高さを固定 480 ピクセル"},
        {ID_ZOOM_FIX_HEIGHT, ZOOM_FIX_HEIGHT, -50, "最大高さを固定 50 ピクセル"},
        {ID_ZOOM_FIX_HEIGHT, ZOOM_ANY, 0, "最大高さを固定"},
        {ID_ZOOM_FIX_BOTH, ZOOM_FIX_BOTH, -300, "最大(高幅)を固定 300 ピクセル"},
        {ID_ZOOM_FIX_BOTH, ZOOM_FIX_BOTH, INT_MIN, "最大(高幅)を固定 2147483648 ピクセル"},
        {ID_ZOOM_FIX_BOTH, ZOOM_PERCENT, 50, "最大(高幅)を固定"},
        {ID_ZOOM_FIX_WIDTH, ZOOM_FIX_WIDTH, 0, "最大幅を固定 0 ピクセル"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FixedZoomMenuText(c.id, c.mode, c.value), c.text)
            << c.id << " mode " << c.mode << " value " << c.value;
    EXPECT_EQ(FixedZoomMenuText(ID_ZOOM_50, ZOOM_PERCENT, 50), "");
}

TEST(ZoomCommands, EachCommandNamesItsModeAndValue)
{
    EXPECT_EQ(ZoomModeForCommand(ID_ZOOM_ANY), ZOOM_ANY);
    EXPECT_EQ(ZoomPercentForCommand(ID_ZOOM_ANY), 0);
    EXPECT_EQ(ZoomModeForCommand(ID_ZOOM_10), ZOOM_PERCENT);
    EXPECT_EQ(ZoomPercentForCommand(ID_ZOOM_10), 10);
    EXPECT_EQ(ZoomPercentForCommand(ID_ZOOM_100), 100);
    EXPECT_EQ(ZoomModeForCommand(ID_ZOOM_FIX_WIDTH), ZOOM_FIX_WIDTH);
    EXPECT_EQ(ZoomModeForCommand(ID_ZOOM_FIX_HEIGHT), ZOOM_FIX_HEIGHT);
    EXPECT_EQ(ZoomModeForCommand(ID_ZOOM_FIX_BOTH), ZOOM_FIX_BOTH);
    EXPECT_TRUE(IsFixedZoomCommand(ID_ZOOM_FIX_BOTH));
    EXPECT_FALSE(IsFixedZoomCommand(ID_ZOOM_100));
}
