// The wheel: whole notches from any wheel, and the zoom and translucency
// items a number of notches lead to.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/ZoomMode.h"
#include "view/WheelSteps.h"

namespace {

TEST(WheelSteps, PartsOfANotchAddUpAndATurnBackStartsAfresh)
{
    int remainder = 0;
    EXPECT_EQ(TakeWheelNotches(&remainder, WHEEL_DELTA), 1);
    EXPECT_EQ(TakeWheelNotches(&remainder, 2 * WHEEL_DELTA), 2);
    EXPECT_EQ(TakeWheelNotches(&remainder, -WHEEL_DELTA), -1);
    // A fine-grained wheel: 40 at a time.
    EXPECT_EQ(TakeWheelNotches(&remainder, 40), 0);
    EXPECT_EQ(TakeWheelNotches(&remainder, 40), 0);
    EXPECT_EQ(TakeWheelNotches(&remainder, 40), 1);
    EXPECT_EQ(remainder, 0);
    // Two thirds forward, then a third back: the forward part is dropped.
    TakeWheelNotches(&remainder, 80);
    EXPECT_EQ(TakeWheelNotches(&remainder, -40), 0);
    EXPECT_EQ(TakeWheelNotches(&remainder, -80), -1);
    EXPECT_EQ(TakeWheelNotches(&remainder, 100), 0);
    EXPECT_EQ(TakeWheelNotches(&remainder, 140), 2);
    EXPECT_EQ(remainder, 0);
}

TEST(WheelSteps, DisplayedZoomOfEveryMode)
{
    EXPECT_DOUBLE_EQ(DisplayedZoomPercent(400, 300, ZOOM_PERCENT, 70, 1.0), 70.0);
    EXPECT_DOUBLE_EQ(DisplayedZoomPercent(400, 300, ZOOM_ANY, 0, 0.475), 47.5);
    EXPECT_DOUBLE_EQ(DisplayedZoomPercent(400, 300, ZOOM_FIX_WIDTH, 100, 1.0), 25.0);
    EXPECT_DOUBLE_EQ(DisplayedZoomPercent(400, 300, ZOOM_FIX_HEIGHT, 150, 1.0), 50.0);
    EXPECT_DOUBLE_EQ(DisplayedZoomPercent(400, 300, ZOOM_FIX_WIDTH, 1000, 1.0), 100.0) << "a limit never enlarges";
    EXPECT_DOUBLE_EQ(DisplayedZoomPercent(0, 0, ZOOM_FIX_BOTH, 100, 1.0), 0.0);
}

TEST(WheelSteps, ZoomStepsFromOnAndBetweenTheItemsToTheEnds)
{
    const struct {
        double percent;
        int notches;
        UINT id;
    } cases[] = {
        {50, 1, ID_ZOOM_60},
        {50, -1, ID_ZOOM_40},
        {50, 3, ID_ZOOM_80},
        {50, -2, ID_ZOOM_30},
        {47.5, 1, ID_ZOOM_50},
        {47.5, -1, ID_ZOOM_40},
        {53, 1, ID_ZOOM_60},
        {53, -1, ID_ZOOM_50},
        {49.8, 1, ID_ZOOM_60},
        {150, -1, ID_ZOOM_100},
        {150, 1, 0},
        {100, 1, 0},
        {10, -1, 0},
        {5, -1, 0},
        {5, 1, ID_ZOOM_10},
        {90, 5, ID_ZOOM_100},
        {20, -5, ID_ZOOM_10},
        {0, 1, ID_ZOOM_10},
        {55, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoomCommandForWheel(c.percent, c.notches), c.id) << c.percent << " % by " << c.notches;
}

TEST(WheelSteps, TranslucencyForwardIsMoreOpaqueUpToNone)
{
    const struct {
        int alpha;
        int notches;
        UINT id;
    } cases[] = {
        {100, -1, ID_ALPHA_90}, {90, 1, ID_ALPHA_NONE}, {100, 1, 0},           {10, -1, 0},
        {50, -4, ID_ALPHA_10},  {50, 9, ID_ALPHA_NONE}, {55, -1, ID_ALPHA_50}, {0, 1, ID_ALPHA_10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlphaCommandForWheel(c.alpha, c.notches), c.id) << c.alpha << " % by " << c.notches;
}

} // namespace
