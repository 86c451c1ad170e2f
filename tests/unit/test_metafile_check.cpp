#include "image/MetafileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/MetafileBytes.h"
#include "image/ImageHeader.h"
#include "image/MetafileEllipses.h"

namespace {

using Bytes = MetafileBytes;

bool Unsafe(const Bytes& b)
{
    return HasUnsafeMetafileRecords(b.data(), b.size());
}

TEST(MetafileCheck, SoundMetafilesPass)
{
    EXPECT_FALSE(Unsafe(Emf(EmfShapes())));
    EXPECT_FALSE(Unsafe(Wmf(WmfShapes())));
    EXPECT_FALSE(Unsafe(Wmf(WmfShapes(), 1, false)));
    // Bytes after the end-of-file record, or after the stated size, are not played.
    Bytes tail = Emf(EmfShapes());
    tail.insert(tail.end(), 16, 0);
    EXPECT_FALSE(Unsafe(tail));
    EXPECT_FALSE(Unsafe(Emf({EmfRecord(71, {0, 0, 1, 1, 32, 1})})));
    // Not metafiles at all.
    EXPECT_FALSE(Unsafe(Bytes{'B', 'M', 0, 0, 0, 0}));
    EXPECT_FALSE(HasUnsafeMetafileRecords(nullptr, 0));
}

// Damaged copies of the small EMF: bytes 48 hold nBytes, records start at 88.
TEST(MetafileCheck, DamagedEmfIsUnsafe)
{
    const Bytes emf = Emf(EmfShapes());
    const std::size_t deleteAt = emf.size() - 20 - 12;
    const struct {
        const char* name;
        Bytes data;
    } cases[] = {
        {"header cut short", Bytes(emf.begin(), emf.begin() + 60)},
        {"data cut before nBytes", Bytes(emf.begin(), emf.end() - 4)},
        {"nBytes far beyond the data", With32(emf, 48, 0x7FFFFFF0)},
        {"record of size 0 (the player loops)", With32(emf, kEmfSelectAt + 4, 0)},
        {"record size not a multiple of 4", With32(emf, kEmfSelectAt + 4, 13)},
        {"record beyond nBytes", With32(emf, kEmfSelectAt + 4, 0x1000)},
        {"brush made at an index beyond the table", With32(emf, 88 + 8, 2)},
        {"object selected beyond the table", With32(emf, kEmfSelectAt + 8, 0xC6CD)},
        {"stock bit on a delete", With32(emf, deleteAt + 8, 0x80000001)},
        {"record too short for its index", Emf({EmfRecord(37, {})})},
        {"region filled with a brush beyond the table", Emf({EmfRecord(71, {0, 0, 1, 1, 32, 5})})},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Unsafe(c.data)) << c.name;
}

TEST(MetafileCheck, DamagedWmfIsUnsafe)
{
    const Bytes wmf = Wmf(WmfShapes());
    const struct {
        const char* name;
        Bytes data;
    } cases[] = {
        {"header cut short", Bytes(wmf.begin(), wmf.begin() + 30)},
        {"mtSize beyond the data", Bytes(wmf.begin(), wmf.end() - 2)},
        {"record of size 0", With32(wmf, kWmfSelectAt, 0)},
        // 2 x 0x80000000 words is 0 in 32 bits: the player never moves on.
        {"record size whose bytes wrap", With32(wmf, kWmfSelectAt, 0x80000000)},
        {"record beyond mtSize", With32(wmf, kWmfSelectAt, 0x100)},
        {"object selected beyond the table", Wmf({WmfRecord(0x012D, {0xC6CD})})},
        {"object deleted beyond the table", Wmf({WmfRecord(0x01F0, {1})})},
        {"region filled with a brush beyond the table", Wmf({WmfRecord(0x0228, {0, 5})}, 2)},
        {"select without its index", Wmf({WmfRecord(0x012D, {})})},
        {"same, without the placeable header", Wmf({WmfRecord(0x012D, {3})}, 1, false)},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Unsafe(c.data)) << c.name;
}

// The view refuses them with the other pictures it must not decode.
TEST(MetafileCheck, RefusedBeforeDecoding)
{
    const Bytes looping = With32(Emf(EmfShapes()), kEmfSelectAt + 4, 0);
    EXPECT_TRUE(IsImageRefused(looping.data(), looping.size()));
    const Bytes sound = Wmf(WmfShapes());
    EXPECT_FALSE(IsImageRefused(sound.data(), sound.size()));
}

// A 200 x 150 picture on a memory DC, white, for the metafiles to draw on.
class MemoryPicture {
public:
    MemoryPicture()
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_hdc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_hdc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_hdc, m_bitmap);
        std::fill(m_bits, m_bits + kWidth * kHeight, 0xFFFFFFu);
    }
    ~MemoryPicture()
    {
        ::SelectObject(m_hdc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_hdc);
    }
    MemoryPicture(const MemoryPicture&) = delete;
    MemoryPicture& operator=(const MemoryPicture&) = delete;

    bool Draw(const Bytes& b, const RECT& dest = {0, 0, kWidth, kHeight})
    {
        return DrawMetafileWithoutHugeEllipses(m_hdc, b.data(), b.size(), dest);
    }
    std::uint32_t At(int x, int y) const { return m_bits[y * kWidth + x] & 0xFFFFFF; }

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

private:
    HDC m_hdc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    std::uint32_t* m_bits = nullptr;
};

// The small EMF is about 34 x 25 reference pixels, here drawn 200 x 150.
// Text under a mapping that stretches it hundreds of times more one way than
// the other (the fuzz's: a 40 x 30 picture shown 40 x 32798) takes minutes
// to render under Wine: it is left out; text under an even mapping is drawn
// by the decoders as usual.
TEST(MetafileEllipses, TextStretchedFarMoreOneWayIsLeftOut)
{
    MemoryPicture picture;
    const MetafileBytes text = WmfRecord(0x0521, {1, 'A', 5, 5}); // TextOut "A" at (5, 5)
    EXPECT_FALSE(picture.Draw(Wmf({WmfRecord(0x020C, {30, 40}), text})));
    EXPECT_TRUE(picture.Draw(Wmf({WmfRecord(0x020C, {1, 4000}), text})));
    EXPECT_TRUE(picture.Draw(Wmf({WmfRecord(0x020C, {4000, 1}), text})));
}

TEST(MetafileEllipses, HugeEllipsesAreLeftOut)
{
    const std::uint32_t kHuge = 0x1000000;
    MemoryPicture picture;
    // Ordinary ellipses: the decoders draw the picture as usual.
    EXPECT_FALSE(picture.Draw(Emf(EmfShapes())));
    EXPECT_FALSE(picture.Draw(Emf({EmfRecord(42, {0, 0, 30, 20})})));
    EXPECT_EQ(picture.At(100, 75), 0xFFFFFFu) << "nothing drawn";
    // An ellipse 16 million units wide: the rest is drawn, the ellipse not.
    std::vector<Bytes> records = EmfShapes();
    records.push_back(EmfRecord(42, {10, 5, kHuge, 28}));
    EXPECT_TRUE(picture.Draw(Emf(records)));
    EXPECT_EQ(picture.At(60, 60), 0xC06030u) << "the rectangle in the brush colour";
    // The same ordinary ellipse, zoomed to ten million pixels.
    EXPECT_TRUE(picture.Draw(Emf({EmfRecord(42, {0, 0, 30, 20})}), RECT{0, 0, 10000000, 7500000}));
    // A small ellipse that the file's own mapping blows up, unless the mapping
    // is put back first.
    const Bytes scaled =
        Emf({EmfRecord(17, {8}), EmfRecord(9, {1, 1}), EmfRecord(11, {100000, 100000}), EmfRecord(42, {0, 0, 10, 10})});
    EXPECT_TRUE(picture.Draw(scaled));
    EXPECT_FALSE(
        picture.Draw(Emf({EmfRecord(33, {}), EmfRecord(17, {8}), EmfRecord(9, {1, 1}), EmfRecord(11, {100000, 100000}),
                          EmfRecord(34, {static_cast<std::uint32_t>(-1)}), EmfRecord(42, {0, 0, 10, 10})})));
    // Rounded corners count by their own size.
    EXPECT_FALSE(picture.Draw(Emf({EmfRecord(44, {0, 0, kHuge, 20, 5, 5})})));
    EXPECT_TRUE(picture.Draw(Emf({EmfRecord(44, {0, 0, kHuge, 20, kHuge, 20})})));
    // A placeable WMF whose window of 1 x 1 units makes an ellipse huge.
    EXPECT_FALSE(picture.Draw(Wmf(WmfShapes())));
    EXPECT_TRUE(picture.Draw(Wmf({WmfRecord(0x020C, {1, 1}), WmfRecord(0x0418, {30000, 30000, 0, 0})})));
    // Pictures with EMF+ records, and other data, are left to the decoders.
    const Bytes emfPlus = Emf({EmfRecord(70, {8, 0x2B464D45, 0}), EmfRecord(42, {10, 5, kHuge, 28})});
    EXPECT_FALSE(picture.Draw(emfPlus));
    EXPECT_FALSE(picture.Draw(Bytes{'B', 'M', 0, 0}));
}

} // namespace
