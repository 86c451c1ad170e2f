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

struct Case {
    const char* name;
    Bytes data;
    ImageHeaderResult result;
    unsigned long width, height; // when Ok
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

Bytes JpegPrefix() // SOI, APP0
{
    Bytes b = Jpeg(1, 1);
    b.resize(20);
    return b;
}

std::vector<Case> HeaderCases()
{
    std::vector<Case> c;
    c.push_back({"Png", Png(640, 480), Ok, 640, 480});
    c.push_back({"PngFirstChunkNotIhdr",
                 [] {
                     Bytes b = Png(640, 480);
                     std::memcpy(&b[12], "IDAT", 4);
                     return b;
                 }(),
                 Unknown, 0, 0});
    c.push_back({"PngZeroWidth", Png(0, 480), Unknown, 0, 0});

    c.push_back({"JpegBaseline", Jpeg(1024, 768), Ok, 1024, 768});
    c.push_back({"JpegProgressive", Jpeg(300, 200, 0xC2), Ok, 300, 200});
    c.push_back({"JpegArithmeticLossless", Jpeg(17, 9, 0xCB), Ok, 17, 9});
    // DHT (C4) and DAC (CC) share the SOF range but are ordinary segments.
    c.push_back({"JpegSkipsDhtAndDac", Jpeg(50, 60, 0xC0, {0xFF, 0xC4, 0, 4, 0xAA, 0xBB, 0xFF, 0xCC, 0, 4, 0xC0, 0xC0}),
                 Ok, 50, 60});
    c.push_back(
        {"JpegAppCommentFillAndRst",
         Jpeg(4000, 3000, 0xC0, {0xFF, 0xE1, 0,    6,    'E', 'x', 0xFF, 0xC0, // APP1 whose data looks like SOF0
                                 0xFF, 0xFF, 0xFF, 0xFE, 0,   3,   'c',        // fill bytes, COM
                                 0xFF, 0xD0, 0xFF, 0x01,                       // RST0, TEM
                                 0x12, 0x34, 0xFF, 0x00,                       // stray bytes and a stuffed zero
                                 0xFF, 0xFF}),
         Ok, 4000, 3000});
    c.push_back({"JpegDnlHeight", Jpeg(640, 0), Unknown, 0, 0});
    c.push_back({"JpegScanBeforeFrame", Jpeg(640, 480, 0xC0, {0xFF, 0xDA, 0, 2}), Unknown, 0, 0});
    c.push_back({"JpegEndBeforeFrame", Jpeg(640, 480, 0xC0, {0xFF, 0xD9}), Unknown, 0, 0});
    // A decoder goes on right after a length below two, and finds the frame.
    c.push_back({"JpegSegmentLengthBelowTwo", Jpeg(640, 480, 0xC0, {0xFF, 0xE2, 0, 1}), Ok, 640, 480});
    c.push_back({"JpegSegmentPastEnd",
                 [] {
                     Bytes b = JpegPrefix();
                     Put(b, {0xFF, 0xE1, 0xFF, 0xF0, 1, 2, 3});
                     return b;
                 }(),
                 Truncated, 0, 0});
    c.push_back({"JpegShortFrameHeader", Jpeg(640, 480, 0xC0, {0xFF, 0xC1, 0, 5, 8, 1, 1}), Unknown, 0, 0});

    c.push_back({"Bmp", Bmp(300, 200), Ok, 300, 200});
    c.push_back({"BmpTopDown", Bmp(300, -200), Ok, 300, 200});
    c.push_back({"BmpMostNegativeHeight", Bmp(10, INT32_MIN), Ok, 10, 2147483648ul});
    c.push_back({"BmpCoreHeader", BmpCore(65535, 40), Ok, 65535, 40});
    c.push_back({"BmpOddHeaderSize",
                 [] {
                     Bytes b = Bmp(300, 200);
                     b[14] = 13;
                     return b;
                 }(),
                 Unknown, 0, 0});

    c.push_back({"Gif", Gif(100, 50, {{0, 0, 100, 50}}), Ok, 100, 50});
    c.push_back({"GifFrameBeyondScreen", Gif(100, 50, {{0, 0, 10, 10}, {10, 20, 200, 40}}), Ok, 210, 60});
    c.push_back({"GifZeroScreenTakesFrame", Gif(0, 0, {{0, 0, 32, 16}}), Ok, 32, 16});
    // The frame's data is cut off, but its descriptor is complete.
    c.push_back({"GifCutInsideFrame",
                 [] {
                     Bytes b = Gif(10, 10, {{0, 0, 9000, 8000}});
                     b.resize(b.size() - 6);
                     return b;
                 }(),
                 Ok, 9000, 8000});

    c.push_back({"TiffIntelShort", Tiff(false, {{640, 480, 3}}), Ok, 640, 480});
    c.push_back({"TiffMotorolaShort", Tiff(true, {{640, 480, 3}}), Ok, 640, 480});
    c.push_back({"TiffMotorolaLong", Tiff(true, {{70000, 3, 4}}), Ok, 70000, 3});
    c.push_back({"TiffLargestPage", Tiff(false, {{100, 100, 3}, {5000, 4000, 4}, {200, 200, 3}}), Ok, 5000, 4000});
    c.push_back({"TiffIfdPastEnd",
                 [] {
                     Bytes b = Tiff(false, {{640, 480, 3}});
                     b[4] = 0xF0;
                     b[5] = 0xFF;
                     return b;
                 }(),
                 Truncated, 0, 0});
    c.push_back({"TiffEntryCountPastEnd",
                 [] {
                     Bytes b = Tiff(false, {{640, 480, 3}});
                     b[8] = 0xFF;
                     b[9] = 0xFF;
                     b.resize(8 + 2 + 12 * 2);
                     return b;
                 }(),
                 Truncated, 0, 0});
    c.push_back({"TiffWithoutLength",
                 [] {
                     Bytes b = Tiff(false, {{640, 480, 3}});
                     b[8 + 2 + 24] = 0x99;
                     return b;
                 }(),
                 Unknown, 0, 0});
    // A looping chain ends by itself.
    c.push_back({"TiffChainLoops",
                 [] {
                     Bytes b = Tiff(true, {{64, 48, 3}});
                     b[b.size() - 1] = 8;
                     return b;
                 }(),
                 Ok, 64, 48});
    c.push_back({"TiffEmptyIfdLoops",
                 [] {
                     Bytes b = Tiff(false, {{64, 48, 3}});
                     const std::size_t empty = b.size();
                     b[empty - 4] = static_cast<unsigned char>(empty); // next IFD: an empty one that names itself
                     Put(b, {0, 0, static_cast<int>(empty), 0, 0, 0});
                     return b;
                 }(),
                 Ok, 64, 48});

    c.push_back({"IcoDirectory", Ico({{16, 16, Embedded::None, 0, 0}, {48, 32, Embedded::None, 0, 0}}), Ok, 48, 32});
    c.push_back({"IcoZeroMeans256", Ico({{32, 32, Embedded::None, 0, 0}, {0, 0, Embedded::None, 0, 0}}), Ok, 256, 256});
    c.push_back({"IcoPngEntry", Ico({{0, 0, Embedded::Png, 256, 256}}), Ok, 256, 256});
    c.push_back({"IcoPngLargerThanDirectory", Ico({{16, 16, Embedded::Png, 20000, 20000}}), Ok, 20000, 20000});
    c.push_back({"IcoDibHeaderHalvesHeight", Ico({{16, 16, Embedded::Dib, 64, 64}}), Ok, 64, 64});
    c.push_back({"CurDirectory", Ico({{32, 24, Embedded::None, 0, 0}}, 2), Ok, 32, 24});
    c.push_back({"IcoCountPastEnd",
                 [] {
                     Bytes b = Ico({{24, 24, Embedded::None, 0, 0}});
                     b[4] = 0xFF;
                     b[5] = 0xFF;
                     return b;
                 }(),
                 Ok, 24, 24});
    c.push_back({"IcoNoEntries", Ico({}), Unknown, 0, 0});

    c.push_back({"Text", Text("Hello, world\r\nThis is not a picture.\r\n"), Unknown, 0, 0});
    c.push_back({"TextStartingBm", Text("BMW 320i: notes on the six-cylinder engine"), Unknown, 0, 0});
    c.push_back({"Empty", Bytes{}, Unknown, 0, 0});
    c.push_back({"Emf",
                 [] {
                     Bytes b;
                     Le32(b, 1);
                     Le32(b, 108);
                     for (int i = 0; i < 25; ++i)
                         Le32(b, 0);
                     return b;
                 }(),
                 Unknown, 0, 0});
    c.push_back({"PlaceableWmf",
                 [] {
                     Bytes b;
                     Put(b, {0xD7, 0xCD, 0xC6, 0x9A});
                     Le16(b, 0);
                     for (int i = 0; i < 6; ++i)
                         Le16(b, 1000);
                     return b;
                 }(),
                 Unknown, 0, 0});
    return c;
}

class ImageHeaderRead : public ::testing::TestWithParam<Case> {};

TEST_P(ImageHeaderRead, GivesResultAndSize)
{
    const Case& c = GetParam();
    ImageDimensions dims{12345, 54321};
    const ImageHeaderResult r = Read(c.data, c.data.size(), &dims);
    ASSERT_EQ(ResultName(c.result), std::string(ResultName(r)));
    if (c.result == Ok) {
        EXPECT_EQ(c.width, dims.width);
        EXPECT_EQ(c.height, dims.height);
    } else {
        EXPECT_EQ(12345u, dims.width) << "out written without Ok";
        EXPECT_EQ(54321u, dims.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageHeaderRead, ::testing::ValuesIn(HeaderCases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
