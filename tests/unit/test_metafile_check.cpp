#include "view/MetafileCheck.h"

#include <gtest/gtest.h>

#include "support/MetafileBytes.h"
#include "view/ImageHeader.h"
#include "view/MetafileExtent.h"

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

bool FarBeyond(const Bytes& b)
{
    return HasShapesFarBeyondPicture(b.data(), b.size());
}

// The small EMF is about 34 reference pixels wide; shapes may reach 64 times
// that, wherever the mapping puts them.
TEST(MetafileExtent, ShapesFarBeyondThePictureAreFound)
{
    const std::uint32_t kHuge = 0x1000000;
    EXPECT_FALSE(FarBeyond(Emf(EmfShapes())));
    EXPECT_FALSE(FarBeyond(Emf({EmfRecord(42, {static_cast<std::uint32_t>(-40), 0, 80, 60})})));
    EXPECT_TRUE(FarBeyond(Emf({EmfRecord(42, {10, 5, kHuge, 28})})));
    EXPECT_TRUE(FarBeyond(Emf({EmfRecord(43, {0, 0, 30, kHuge})})));
    // A polygon16 of three points, the last one far out (16-bit points).
    EXPECT_TRUE(FarBeyond(Emf({EmfRecord(86, {0, 0, 0, 0, 3, 0, 0x00100010, 0x7FFF7FFF})})));
    // A small ellipse that the file's own mapping blows up.
    const Bytes scaled =
        Emf({EmfRecord(17, {8}), EmfRecord(9, {1, 1}), EmfRecord(11, {100000, 100000}), EmfRecord(42, {0, 0, 10, 10})});
    EXPECT_TRUE(FarBeyond(scaled));
    // The same, once the mapping is saved and put back.
    EXPECT_FALSE(
        FarBeyond(Emf({EmfRecord(33, {}), EmfRecord(17, {8}), EmfRecord(9, {1, 1}), EmfRecord(11, {100000, 100000}),
                       EmfRecord(34, {static_cast<std::uint32_t>(-1)}), EmfRecord(42, {0, 0, 10, 10})})));
    // A placeable WMF drawn 40 x 30: an ellipse within it, and one that its
    // window of 1 x 1 units makes thousands of pictures wide.
    EXPECT_FALSE(FarBeyond(Wmf(WmfShapes())));
    EXPECT_TRUE(FarBeyond(Wmf({WmfRecord(0x020C, {1, 1}), WmfRecord(0x0418, {30000, 30000, 0, 0})})));
    // Not metafiles.
    EXPECT_FALSE(FarBeyond(Bytes{'B', 'M', 0, 0}));
    EXPECT_FALSE(HasShapesFarBeyondPicture(nullptr, 0));
}

} // namespace
