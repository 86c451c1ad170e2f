// Clipboard bitmaps: what another program's DIB is checked for before a
// pixel of it is read, how its pixels read, and the DIBs written for copies.
#include "image/ClipboardDib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/PictureBytes.h"

namespace {

using Pixels = std::vector<std::uint32_t>;

struct Header {
    std::uint32_t size = 40;
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint32_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[4] = {}; // inside a V4 / V5 header
};

// The header alone, as long as its size says: the masks from byte 40 on as
// far as they fit, then zeros.
PictureBytes DibHeader(const Header& h)
{
    PictureBytes b;
    b.U32(h.size).U32(static_cast<std::uint32_t>(h.width)).U32(static_cast<std::uint32_t>(h.height));
    b.U16(1).U16(h.bitCount).U32(h.compression).U32(h.sizeImage).U32(0).U32(0).U32(h.colorsUsed).U32(0);
    for (std::uint32_t m : h.masks)
        if (b.Size() + 4 <= h.size)
            b.U32(m);
    if (b.Size() < h.size)
        b.Zeros(h.size - b.Size());
    return b;
}

Pixels Read(const Bytes& dib)
{
    DibLayout layout;
    if (!CheckClipboardDib(dib.data(), dib.size(), &layout)) {
        ADD_FAILURE() << "the DIB was refused";
        return {};
    }
    Pixels out(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height));
    ReadDibPixels(dib.data(), layout, out.data());
    return out;
}

Bytes Written(DibKind kind, const Pixels& pixels, int width, int height)
{
    Bytes out(DibByteSize(kind, width, height));
    WriteDib(kind, pixels.data(), width, height, out.data());
    return out;
}

} // namespace

TEST(ClipboardDib, WrittenDibsReadBackAsTheyWereWritten)
{
    // Five pixels a row: 24-bit rows need padding.
    const Pixels opaque = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0,
                           0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F};
    const Bytes rgb = Written(DibKind::Rgb24, opaque, 5, 2);
    EXPECT_EQ(rgb.size(), 40u + 2 * 16);
    EXPECT_EQ(Read(rgb), opaque);

    // Alpha is kept as it is, colours of transparent pixels too.
    const Pixels alpha = {0x00FF0000, 0x80123456, 0xFFFFFFFF, 0x01ABCDEF};
    const Bytes v5 = Written(DibKind::Argb32V5, alpha, 2, 2);
    EXPECT_EQ(v5.size(), 124u + 16);
    EXPECT_EQ(Read(v5), alpha);

    // Without alpha, transparency is blended over white.
    const Pixels blended = Read(Written(DibKind::Rgb24, alpha, 2, 2));
    EXPECT_EQ(blended[0], 0xFFFFFFFFu);
    EXPECT_EQ(blended[1], 0xFF8899AAu); // 0x12 at 128/255 over 0xFF: 0x88
    EXPECT_EQ(blended[2], 0xFFFFFFFFu);

    EXPECT_TRUE(HasTransparency(alpha.data(), alpha.size()));
    EXPECT_FALSE(HasTransparency(opaque.data(), opaque.size()));
    EXPECT_EQ(DibByteSize(DibKind::Rgb24, 0, 5), 0u);
    EXPECT_EQ(DibByteSize(DibKind::Argb32V5, 100000, 100000), 0u) << "beyond what a DIB can address";
}

TEST(ClipboardDib, StoredFormsReadAsTheirPixels)
{
    // A header, the 32-bit values after it (masks, colour table), the rows.
    const auto dib = [](Header h, std::initializer_list<std::uint32_t> after, std::initializer_list<int> rows) {
        PictureBytes b = DibHeader(h);
        for (std::uint32_t v : after)
            b.U32(v);
        return b.U8(rows).Data();
    };
    const auto header = [](std::uint32_t size, int w, int h, std::uint32_t bits, std::uint32_t compression = 0) {
        Header r;
        r.size = size;
        r.width = w;
        r.height = h;
        r.bitCount = bits;
        r.compression = compression;
        return r;
    };
    Header fourBits = header(40, 2, -1, 4); // top-down, two colours: index 5 lies beyond them
    fourBits.colorsUsed = 2;
    Header zeroAlpha = header(124, 2, 1, 32, 3); // names an alpha mask, leaves every alpha 0
    Header v2 = header(52, 1, 1, 32, 3);         // Wine's CF_DIB of a CF_DIBV5
    for (Header* h : {&zeroAlpha, &v2}) {
        h->masks[0] = 0xFF0000;
        h->masks[1] = 0xFF00;
        h->masks[2] = 0xFF;
        h->masks[3] = 0xFF000000; // beyond a 52-byte header
    }
    const struct {
        const char* name;
        Bytes dib;
        Pixels expected;
    } cases[] = {
        // Bottom-up: the last stored row is the top one. Blue, green.
        {"1 bit",
         dib(header(40, 3, 2, 1), {0x0000FF, 0x00FF00}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}),
         {0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00}},
        {"4 bits, short table", dib(fourBits, {0x112233, 0x445566}, {0x15, 0, 0, 0}), {0xFF445566, 0xFF000000}},
        {"16 bits 565 in fields after the header",
         dib(header(40, 2, 1, 16, 3), {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0, 0}),
         {0xFF00FF00, 0xFF000000}},
        {"32 bits, the fourth byte meaning nothing", dib(header(40, 1, 1, 32), {0x80102030}, {}), {0xFF102030}},
        {"V5, alpha all 0", dib(zeroAlpha, {0x00102030, 0x00405060}, {}), {0xFF102030, 0xFF405060}},
        {"52-byte header, masks inside", dib(v2, {0x80102030}, {}), {0xFF102030}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.dib), c.expected) << c.name;
}

TEST(ClipboardDib, HeadersThatLieAreRefused)
{
    const auto with = [](Header h, std::size_t extra = 64) {
        PictureBytes b = DibHeader(h);
        b.Zeros(extra);
        return b.Data();
    };
    Header base; // 3 x 2 at 24 bits: 2 rows of 12 bytes
    struct Case {
        const char* name;
        Bytes dib;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, const std::function<void(Header&)>& change, std::size_t extra = 64) {
        Header h = base;
        change(h);
        cases.push_back({name, with(h, extra)});
    };
    add("a header of 64 bytes", [](Header& h) { h.size = 64; });
    add("width 0", [](Header& h) { h.width = 0; });
    add("height 0", [](Header& h) { h.height = 0; });
    add("the most negative height", [](Header& h) { h.height = INT32_MIN; });
    add("2 bits", [](Header& h) { h.bitCount = 2; });
    add("run-length compression", [](Header& h) {
        h.bitCount = 8;
        h.compression = 1;
    });
    add("fields at 24 bits", [](Header& h) { h.compression = 3; });
    add(
        "a table longer than 8 bits index",
        [](Header& h) {
            h.bitCount = 8;
            h.colorsUsed = 257;
        },
        4096);
    add("more pixels than a picture may have", [](Header& h) {
        h.width = 20000;
        h.height = -20000;
    });
    add("an image size below the rows", [](Header& h) { h.sizeImage = 23; });
    add("an image size beyond the data", [](Header& h) { h.sizeImage = 1000; });
    add(
        "rows beyond the data", [](Header&) {}, 23);
    add(
        "masks beyond the data",
        [](Header& h) {
            h.bitCount = 32;
            h.compression = 3;
            h.width = 1;
            h.height = 1;
        },
        8);
    add("fields whose masks are all 0 (a black picture)", [](Header& h) {
        h.bitCount = 32;
        h.compression = 3; // the masks after the header are the zeros that follow
    });
    const Bytes header = DibHeader(base).Data();
    cases.push_back({"a header cut short", Bytes(header.begin(), header.begin() + 30)});
    cases.push_back({"nothing", Bytes()});

    for (const Case& c : cases) {
        DibLayout layout;
        EXPECT_FALSE(CheckClipboardDib(c.dib.data(), c.dib.size(), &layout)) << c.name;
    }
    // The same header with its rows whole is taken.
    DibLayout layout;
    const Bytes whole = with(base, 24);
    ASSERT_TRUE(CheckClipboardDib(whole.data(), whole.size(), &layout));
    EXPECT_EQ(layout.stride, 12u);
    EXPECT_EQ(layout.bitsOffset, 40u);
}
