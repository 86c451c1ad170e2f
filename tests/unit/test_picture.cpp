// The frame delays of a decoded picture, as the animation uses them.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "image/CPicture.h"

namespace {

TEST(FrameDelays, HundredthsBecomeMillisecondsAndMissingFramesGetTheDefault)
{
    const std::vector<UINT> delays = {10, 20, 0, UINT_MAX / 10, UINT_MAX / 10 + 1};
    struct Case {
        int frame;
        UINT ms;
    } cases[] = {
        {0, 100u}, {1, 200u}, {2, 0u}, {3, UINT_MAX / 10 * 10}, {4, UINT_MAX}, {5, 100u}, {-1, 100u}, {INT_MIN, 100u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameDelayMs(delays, c.frame), c.ms) << "frame " << c.frame;
    EXPECT_EQ(FrameDelayMs({}, 0), 100u) << "a picture without delays";
}

} // namespace
