// A thumbnail made from a picture read a band at a time is the one made from
// the whole picture at once, shrinking or enlarging, at 3 or 4 bytes a pixel.
#include "history/CBoxShrinker.h"
#include "history/ThumbnailScale.h"

#include <gtest/gtest.h>

#include <vector>

TEST(BoxShrinker, RowsFedInBandsOfAnySizeGiveTheWholePicturesBox)
{
    const struct {
        int W, H, w, h;
    } cases[] = {{37, 23, 5, 4}, {37, 23, 37, 23}, {5, 3, 8, 7}, {64, 9, 3, 12}};
    for (const auto& c : cases) {
        for (int bytesPerPixel : {3, 4}) {
            const int stride = (c.W * bytesPerPixel + 3) & ~3;
            std::vector<uint8_t> picture(static_cast<size_t>(stride) * c.H);
            for (size_t i = 0; i < picture.size(); ++i)
                picture[i] = static_cast<uint8_t>(i * 7919 % 251);
            std::vector<uint32_t> whole(static_cast<size_t>(c.w) * c.h);
            ShrinkIntoBox(picture.data(), stride, c.W, c.H, bytesPerPixel, whole.data(), c.w, c.h);
            for (int band : {1, 2, 5, c.H}) {
                SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " into " << c.w << "x" << c.h << ", "
                                                << bytesPerPixel << " bytes, bands of " << band);
                std::vector<uint32_t> banded(whole.size(), 0);
                CBoxShrinker shrinker(c.W, c.H, bytesPerPixel, banded.data(), c.w, c.h);
                for (int y = 0; y < c.H; y += band)
                    shrinker.AddRows(picture.data() + static_cast<size_t>(y) * stride, stride, std::min(band, c.H - y));
                EXPECT_EQ(banded, whole);
            }
            // The corners are the means of their parts.
            const auto mean = [&](int x0, int x1, int y0, int y1, int channel) {
                unsigned sum = 0, n = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x, ++n)
                        sum += picture[static_cast<size_t>(y) * stride + x * bytesPerPixel + channel];
                return (sum + n / 2) / n;
            };
            const int x1 = std::max(1, c.W / c.w), y1 = std::max(1, c.H / c.h);
            EXPECT_EQ(whole[0] & 0xFF, mean(0, x1, 0, y1, 0));
            EXPECT_EQ((whole[0] >> 16) & 0xFF, mean(0, x1, 0, y1, 2));
            EXPECT_EQ(whole.back() >> 24, 0xFFu);
        }
    }
}
