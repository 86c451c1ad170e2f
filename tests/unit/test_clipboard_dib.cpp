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

// The header alone, as long as its size says (the masks of a longer header
// at 40, the rest zero).
PictureBytes DibHeader(const Header& h)
{
    PictureBytes b;
    b.U32(h.size).U32(static_cast<std::uint32_t>(h.width)).U32(static_cast<std::uint32_t>(h.height));
    b.U16(1).U16(h.bitCount).U32(h.compression).U32(h.sizeImage).U32(0).U32(0).U32(h.colorsUsed).U32(0);
    if (h.size > 40) {
        for (std::uint32_t m : h.masks)
            b.U32(m);
        b.Zeros(h.size - 56);
    }
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
    struct Case {
        const char* name;
        Bytes dib;
        Pixels expected;
    };
    std::vector<Case> cases;

    { // 1 bit, bottom-up: the last stored row is the top one.
        Header h;
        h.width = 3;
        h.bitCount = 1;
        PictureBytes b = DibHeader(h);
        b.U32(0x000000FF).U32(0x0000FF00); // blue, green
        b.U8({0xA0, 0, 0, 0}).U8({0x40, 0, 0, 0});
        cases.push_back({"1 bit", b.Data(), {0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00}});
    }
    { // 4 bits, top-down, a table of two colours: index 5 lies beyond it.
        Header h;
        h.width = 2;
        h.height = -1;
        h.bitCount = 4;
        h.colorsUsed = 2;
        PictureBytes b = DibHeader(h);
        b.U32(0x00112233).U32(0x00445566);
        b.U8({0x15, 0, 0, 0});
        cases.push_back({"4 bits, short table", b.Data(), {0xFF445566, 0xFF000000}});
    }
    { // 8 bits.
        Header h;
        h.width = 1;
        h.height = 1;
        h.bitCount = 8;
        h.colorsUsed = 3;
        PictureBytes b = DibHeader(h);
        b.U32(0).U32(0).U32(0x00ABCDEF);
        b.U8({2, 0, 0, 0});
        cases.push_back({"8 bits", b.Data(), {0xFFABCDEF}});
    }
    { // 16 bits 5-5-5 without fields: white and pure red.
        Header h;
        h.width = 2;
        h.height = 1;
        h.bitCount = 16;
        PictureBytes b = DibHeader(h);
        b.U16(0x7FFF).U16(0x7C00);
        cases.push_back({"16 bits 555", b.Data(), {0xFFFFFFFF, 0xFFFF0000}});
    }
    { // 16 bits 5-6-5 in fields after a 40-byte header: pure green.
        Header h;
        h.width = 2;
        h.height = 1;
        h.bitCount = 16;
        h.compression = 3;
        PictureBytes b = DibHeader(h);
        b.U32(0xF800).U32(0x07E0).U32(0x001F);
        b.U16(0x07E0).U16(0);
        cases.push_back({"16 bits 565", b.Data(), {0xFF00FF00, 0xFF000000}});
    }
    { // 32 bits after a 40-byte header: the fourth byte means nothing.
        Header h;
        h.width = 1;
        h.height = 1;
        h.bitCount = 32;
        PictureBytes b = DibHeader(h);
        b.U32(0x00102030);
        cases.push_back({"32 bits, no alpha", b.Data(), {0xFF102030}});
    }
    { // A V5 header that names an alpha mask but leaves every alpha 0.
        Header h;
        h.size = 124;
        h.width = 2;
        h.height = 1;
        h.bitCount = 32;
        h.compression = 3;
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0xFF00;
        h.masks[2] = 0xFF;
        h.masks[3] = 0xFF000000;
        PictureBytes b = DibHeader(h);
        b.U32(0x00102030).U32(0x00405060);
        cases.push_back({"V5, alpha all 0", b.Data(), {0xFF102030, 0xFF405060}});
    }
    { // A V4 header with an alpha mask and fields in another order.
        Header h;
        h.size = 108;
        h.width = 1;
        h.height = 1;
        h.bitCount = 32;
        h.compression = 3;
        h.masks[0] = 0xFF;
        h.masks[1] = 0xFF00;
        h.masks[2] = 0xFF0000;
        h.masks[3] = 0xFF000000;
        PictureBytes b = DibHeader(h);
        b.U32(0x80302010);
        cases.push_back({"V4, alpha, RGBA order", b.Data(), {0x80102030}});
    }
    { // Wine's CF_DIB of a CF_DIBV5: 52 bytes, the masks counted in.
        PictureBytes b;
        b.U32(52).U32(1).U32(1).U16(1).U16(32).U32(3).U32(4).U32(0).U32(0).U32(0).U32(0);
        b.U32(0xFF0000).U32(0xFF00).U32(0xFF);
        b.U32(0x80102030);
        cases.push_back({"52-byte header", b.Data(), {0xFF102030}});
    }
    for (const Case& c : cases)
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
    add("a core header", [](Header& h) { h.size = 12; });
    add("a header of 64 bytes", [](Header& h) { h.size = 64; });
    add("width 0", [](Header& h) { h.width = 0; });
    add("negative width", [](Header& h) { h.width = -3; });
    add("height 0", [](Header& h) { h.height = 0; });
    add("the most negative height", [](Header& h) { h.height = INT32_MIN; });
    add("2 bits", [](Header& h) { h.bitCount = 2; });
    add("64 bits", [](Header& h) { h.bitCount = 64; });
    add("run-length compression", [](Header& h) {
        h.bitCount = 8;
        h.compression = 1;
    });
    add("JPEG inside", [](Header& h) { h.compression = 4; });
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
