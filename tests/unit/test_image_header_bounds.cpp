// The dimension reader on cut files and against the pixel and file bounds.
#include "image/ImageHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "HeaderBytes.h"

namespace {

// Every prefix of a valid file: never a read past the end (the sanitizers
// watch the exact-size copy), never a wrong size. A prefix either stops short
// of the size or, where the format allows, already holds it.
TEST(ImageHeaderTruncation, EveryPrefixIsSafe)
{
    // name, file, holds several pictures
    const std::vector<std::tuple<const char*, Bytes, bool>> files = {
        {"Png", Png(640, 480), false},
        {"Jpeg", Jpeg(4000, 3000, 0xC2, {0xFF, 0xFF, 0xFE, 0, 4, 'a', 'b', 0xFF, 0xD3}), false},
        {"Bmp", Bmp(300, -200), false},
        {"BmpCore", BmpCore(300, 200), false},
        {"Gif", Gif(100, 50, {{0, 0, 10, 10}, {10, 20, 200, 40}}), true},
        {"TiffII", Tiff(false, {{640, 480, 3}, {800, 600, 4}}), true},
        {"TiffMM", Tiff(true, {{640, 480, 4}, {800, 600, 3}}), true},
        {"Ico", Ico({{16, 16, Embedded::Dib, 16, 16}, {0, 0, Embedded::Png, 300, 300}}), true},
    };
    for (const auto& [name, file, several] : files) {
        ImageDimensions full{};
        ASSERT_EQ(Ok, Read(file, file.size(), &full)) << name;
        int okPrefixes = 0;
        for (std::size_t n = 0; n < file.size(); ++n) {
            ImageDimensions dims{};
            const ImageHeaderResult r = Read(file, n, &dims);
            if (r != Ok)
                continue;
            ++okPrefixes;
            if (several) {
                // The pictures seen so far: never more than the whole file holds.
                EXPECT_LE(dims.width, full.width) << name << " prefix " << n;
                EXPECT_LE(dims.height, full.height) << name << " prefix " << n;
                EXPECT_GT(dims.width, 0u) << name << " prefix " << n;
            } else {
                EXPECT_EQ(full.width, dims.width) << name << " prefix " << n;
                EXPECT_EQ(full.height, dims.height) << name << " prefix " << n;
            }
        }
        EXPECT_LT(okPrefixes, static_cast<int>(file.size())) << name;
    }
}

// Prefixes that end before the bytes of the size are never Ok; past the
// signature they are Truncated.
TEST(ImageHeaderTruncation, ShortHeadersAreTruncated)
{
    // Every file is 64 pixels wide. name, file, signature length, end of the size bytes
    const std::vector<std::tuple<const char*, Bytes, std::size_t, std::size_t>> files = {
        {"Png", Png(64, 48), 8, 24},
        {"Jpeg", Jpeg(64, 48), 2, 20 + 9},
        {"Bmp", Bmp(64, 48), 2, 26},
        {"BmpCore", BmpCore(64, 48), 2, 22},
        {"Gif", Gif(64, 48, {}), 6, 13},
        {"Tiff", Tiff(true, {{64, 48, 3}}), 4, 8 + 2 + 36},
        {"Ico", Ico({{64, 48, Embedded::None, 0, 0}}), 4, 22},
    };
    for (const auto& [name, file, magic, end] : files) {
        for (std::size_t n = magic; n < end; ++n) {
            ImageDimensions dims{};
            EXPECT_EQ(ResultName(Truncated), std::string(ResultName(Read(file, n, &dims)))) << name << " prefix " << n;
        }
        ImageDimensions dims{};
        EXPECT_EQ(Ok, Read(file, end, &dims)) << name;
        EXPECT_EQ(64u, dims.width) << name;
    }
}

// Only the pixel count is bounded: a long panorama is an ordinary picture.
TEST(ImageHeaderBound, PixelCount)
{
    struct {
        unsigned long w, h;
        bool ok;
    } cases[] = {
        {16384, 16384, true}, // 256 MP exactly
        {16385, 16384, false},
        {16384, 16385, false},
        {65535, 4096, true},
        {4096, 65535, true},
        {65536, 1, true},
        {1, 65536, true},
        {70000, 1000, true},
        {1u << 28, 1, true},
        {(1u << 28) + 1, 1, false},
        {4294967295ul, 4294967295ul, false},
        {1, 1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ok, IsDecodableImageSize({c.w, c.h})) << c.w << " x " << c.h;
}

bool TooLarge(const Bytes& b)
{
    return IsImageTooLarge(b.data(), b.size());
}

TEST(ImageHeaderBound, TooLargeFiles)
{
    EXPECT_TRUE(TooLarge(Jpeg(65000, 65000)));
    EXPECT_FALSE(TooLarge(Jpeg(16384, 16384)));
    EXPECT_TRUE(TooLarge(Jpeg(16385, 16384)));
    EXPECT_FALSE(TooLarge(Png(100000, 10)));
    EXPECT_TRUE(TooLarge(Png(100000, 3000)));
    EXPECT_TRUE(TooLarge(Bmp(10, INT32_MIN)));
    // An APP0 whose length reads 0 hides nothing from the decoder.
    Bytes hidden = Jpeg(65000, 65000);
    hidden[4] = hidden[5] = 0;
    EXPECT_TRUE(TooLarge(hidden));
    // The logical screen grows to cover a frame placed far out.
    EXPECT_TRUE(TooLarge(Gif(100, 100, {{0, 0, 10, 10}, {65000, 0, 1000, 5000}})));
    EXPECT_TRUE(TooLarge(Tiff(false, {{100, 100, 3}, {30000, 30000, 4}})));
    // Any entry over the bound refuses the file.
    EXPECT_TRUE(TooLarge(Ico({{0, 0, Embedded::Png, 16000, 16000}, {16, 16, Embedded::Png, 16385, 16384}})));
    EXPECT_TRUE(TooLarge(Ico({{16, 16, Embedded::Png, 65000, 65000}})));
    // Unknown and truncated headers are left to the decoder.
    EXPECT_FALSE(TooLarge(Text("not a picture")));
    Bytes cut = Jpeg(65000, 65000);
    cut.resize(24);
    EXPECT_FALSE(TooLarge(cut));
    EXPECT_FALSE(IsImageTooLarge(nullptr, 0));
}

} // namespace
