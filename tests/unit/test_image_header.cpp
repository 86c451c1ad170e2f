#include "image/ImageHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& b, std::initializer_list<int> v)
{
    for (int x : v)
        b.push_back(static_cast<unsigned char>(x));
}
void PutStr(Bytes& b, const char* s)
{
    b.insert(b.end(), s, s + std::strlen(s));
}
void Be16(Bytes& b, std::uint32_t v)
{
    Put(b, {int(v >> 8 & 0xFF), int(v & 0xFF)});
}
void Be32(Bytes& b, std::uint32_t v)
{
    Be16(b, v >> 16);
    Be16(b, v & 0xFFFF);
}
void Le16(Bytes& b, std::uint32_t v)
{
    Put(b, {int(v & 0xFF), int(v >> 8 & 0xFF)});
}
void Le32(Bytes& b, std::uint32_t v)
{
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}

Bytes Png(std::uint32_t w, std::uint32_t h)
{
    Bytes b;
    Put(b, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    Be32(b, 13);
    PutStr(b, "IHDR");
    Be32(b, w);
    Be32(b, h);
    Put(b, {8, 6, 0, 0, 0});
    Be32(b, 0); // CRC: not checked here
    return b;
}

// SOI, APP0 (JFIF), then the frame header with the given marker.
Bytes Jpeg(std::uint32_t w, std::uint32_t h, int sof = 0xC0, const Bytes& beforeSof = {})
{
    Bytes b;
    Put(b, {0xFF, 0xD8, 0xFF, 0xE0});
    Be16(b, 16);
    PutStr(b, "JFIF");
    Put(b, {0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    b.insert(b.end(), beforeSof.begin(), beforeSof.end());
    Put(b, {0xFF, sof});
    Be16(b, 17);
    Put(b, {8});
    Be16(b, h);
    Be16(b, w);
    Put(b, {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    Put(b, {0xFF, 0xD9});
    return b;
}

Bytes Bmp(std::int32_t w, std::int32_t h)
{
    Bytes b;
    PutStr(b, "BM");
    Le32(b, 14 + 40);
    Le32(b, 0);
    Le32(b, 14 + 40);
    Le32(b, 40);
    Le32(b, static_cast<std::uint32_t>(w));
    Le32(b, static_cast<std::uint32_t>(h));
    Le16(b, 1);
    Le16(b, 24);
    for (int i = 0; i < 6; ++i)
        Le32(b, 0);
    return b;
}

Bytes BmpCore(std::uint32_t w, std::uint32_t h)
{
    Bytes b;
    PutStr(b, "BM");
    Le32(b, 14 + 12);
    Le32(b, 0);
    Le32(b, 14 + 12);
    Le32(b, 12);
    Le16(b, w);
    Le16(b, h);
    Le16(b, 1);
    Le16(b, 24);
    return b;
}

struct GifFrame {
    std::uint32_t left, top, w, h;
};

// Global colour table of 2 entries, a comment extension, then each frame with
// a local colour table and one data sub-block.
Bytes Gif(std::uint32_t w, std::uint32_t h, const std::vector<GifFrame>& frames)
{
    Bytes b;
    PutStr(b, "GIF89a");
    Le16(b, w);
    Le16(b, h);
    Put(b, {0x80, 0, 0});
    Put(b, {0, 0, 0, 255, 255, 255});
    Put(b, {0x21, 0xFE, 3, 'h', 'i', '!', 0});
    for (const GifFrame& f : frames) {
        Put(b, {0x2C});
        Le16(b, f.left);
        Le16(b, f.top);
        Le16(b, f.w);
        Le16(b, f.h);
        Put(b, {0x81});
        Put(b, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        Put(b, {2, 2, 0x4C, 0x01, 0});
    }
    Put(b, {0x3B});
    return b;
}

struct TiffPage {
    std::uint32_t w, h;
    int type;
}; // type 3 SHORT, 4 LONG

// Header, then one IFD per page (compression, width, length), chained.
Bytes Tiff(bool bigEndian, const std::vector<TiffPage>& pages)
{
    Bytes b;
    auto u16 = [&](std::uint32_t v) { bigEndian ? Be16(b, v) : Le16(b, v); };
    auto u32 = [&](std::uint32_t v) { bigEndian ? Be32(b, v) : Le32(b, v); };
    PutStr(b, bigEndian ? "MM" : "II");
    u16(42);
    u32(8);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const TiffPage& p = pages[i];
        u16(3);
        auto entry = [&](std::uint32_t tag, int type, std::uint32_t value) {
            u16(tag);
            u16(type);
            u32(1);
            if (type == 3) {
                u16(value);
                u16(0);
            } else {
                u32(value);
            }
        };
        entry(259, 3, 1);
        entry(256, p.type, p.w);
        entry(257, p.type, p.h);
        const std::size_t next = b.size() + 4;
        u32(i + 1 < pages.size() ? static_cast<std::uint32_t>(next) : 0);
    }
    return b;
}

enum class Embedded {
    None,
    Png,
    Dib
};
struct IconEntry {
    int dirW, dirH;
    Embedded kind;
    std::uint32_t w, h;
};

Bytes Ico(const std::vector<IconEntry>& entries, int type = 1)
{
    std::vector<Bytes> images;
    for (const IconEntry& e : entries) {
        Bytes img;
        if (e.kind == Embedded::Png) {
            img = Png(e.w, e.h);
        } else if (e.kind == Embedded::Dib) {
            Le32(img, 40);
            Le32(img, e.w);
            Le32(img, e.h * 2); // colour and mask bitmaps
            Le16(img, 1);
            Le16(img, 32);
            for (int i = 0; i < 6; ++i)
                Le32(img, 0);
        }
        images.push_back(img);
    }
    Bytes b;
    Le16(b, 0);
    Le16(b, type);
    Le16(b, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put(b, {entries[i].dirW, entries[i].dirH, 0, 0});
        Le16(b, 1);
        Le16(b, 32);
        Le32(b, static_cast<std::uint32_t>(images[i].size()));
        Le32(b, images[i].empty() ? 0xFFFFFFF0u : offset); // no image: points past the end
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& img : images)
        b.insert(b.end(), img.begin(), img.end());
    return b;
}

Bytes Text(const char* s)
{
    Bytes b;
    PutStr(b, s);
    return b;
}

// Reads from a heap block of exactly size bytes, so the sanitizers see any read past it.
ImageHeaderResult Read(const Bytes& b, std::size_t size, ImageDimensions* out)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), b.data(), size);
    return ReadImageDimensions(copy.get(), size, out);
}

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

const char* ResultName(ImageHeaderResult r)
{
    switch (r) {
    case ImageHeaderResult::Ok: return "Ok";
    case ImageHeaderResult::Unknown: return "Unknown";
    case ImageHeaderResult::Truncated: return "Truncated";
    }
    return "?";
}

constexpr auto Ok = ImageHeaderResult::Ok;
constexpr auto Unknown = ImageHeaderResult::Unknown;
constexpr auto Truncated = ImageHeaderResult::Truncated;

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
