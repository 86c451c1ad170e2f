#include "image/ImageHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/PictureBytes.h"

namespace {

// Checks a heap copy of exactly the bytes, so a read past them is a read of
// another block's memory that the fuzz program's guard page would catch.
bool Beyond(const Bytes& b)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[b.size() + 1]);
    if (!b.empty())
        std::memcpy(copy.get(), b.data(), b.size());
    return HasOffsetBeyondData(copy.get(), b.size());
}

Bytes Bmp(std::uint32_t pixelsAt, std::uint32_t headerSize = 40, std::uint32_t profileAt = 0)
{
    PictureBytes b;
    b.Text("BM").U32(0).U32(0).U32(pixelsAt).U32(headerSize).U32(4).U32(4).U16(1).U16(24);
    b.Zeros(headerSize - 16);
    if (headerSize >= 124) {
        b.Put32At(14 + 56, 0x4D424544); // 'MBED': the profile is embedded
        b.Put32At(14 + 112, profileAt);
    }
    b.Zeros(48);
    return b.Data();
}

// One page whose strips and tags are given; 64 bytes of pixels at its end.
struct Tiff {
    TiffBytes bytes;
    std::size_t dir = 0;
    Tiff(bool big, bool bigTiff, const std::vector<TiffTag>& tags, std::uint64_t next = 0) : bytes(big, bigTiff)
    {
        dir = bytes.Directory(tags, next);
        bytes.Zeros(64);
    }
    std::size_t End() const { return bytes.Size(); }
};

struct Case {
    const char* name;
    Bytes data;
    bool beyond;
};

std::vector<Case> TiffCases(bool big, bool bigTiff)
{
    const std::uint32_t strip = bigTiff ? 16 + 8 + 20 * 3 + 8 : 8 + 2 + 12 * 3 + 4; // the pixels after the directory
    auto page = [&](std::uint64_t stripAt) {
        return Tiff(big, bigTiff, {{256, 3, 1, 8}, {257, 3, 1, 8}, {273, 4, 1, stripAt}}).bytes.Data();
    };
    std::vector<Case> c;
    c.push_back({"strip inside", page(strip), false});
    c.push_back({"strip at the very end", page(strip + 64), false});
    c.push_back({"strip one past the end", page(strip + 65), true});
    c.push_back({"strip 2 GiB out", page(0x80000000u), true});
    {
        Tiff t(big, bigTiff, {{256, 3, 1, 8}});
        t.bytes.SetFirstDirectory(0x7FFFFFF0u);
        c.push_back({"first directory beyond", t.bytes.Data(), true});
    }
    {
        Tiff t(big, bigTiff, {{256, 3, 1, 8}}, 0x01000000);
        c.push_back({"next directory beyond", t.bytes.Data(), true});
    }
    {
        // A chain that names itself ends; nothing points out.
        Tiff t(big, bigTiff, {{256, 3, 1, 8}});
        t.bytes.SetNext(t.dir, 1, t.dir);
        c.push_back({"chain that loops", t.bytes.Data(), false});
    }
    for (std::uint32_t tag : {330u, 34665u, 34853u, 40965u}) {
        Tiff t(big, bigTiff, {{256, 3, 1, 8}, {tag, 4, 1, 0x7FFFFFF0u}});
        c.push_back({"sub-directory beyond", t.bytes.Data(), true});
    }
    {
        // The Exif directory is inside; its thumbnail offset is not.
        TiffBytes b(big, bigTiff);
        const std::size_t first = b.Directory({{34665, 4, 1, 0}});
        const std::size_t exif = b.Directory({{513, 4, 1, 0x7FFFFFF0u}});
        b.SetEntry(first, 0, {34665, 4, 1, exif});
        c.push_back({"offset in a sub-directory beyond", b.Data(), true});
        b.SetEntry(exif, 0, {513, 4, 1, 0});
        c.push_back({"sub-directory inside", b.Data(), false});
    }
    {
        // Three strips listed at an offset: the last one points out.
        Tiff t(big, bigTiff, {{273, 4, 3, 0}});
        const std::size_t list = t.bytes.Size();
        t.bytes.U32(8).U32(8).U32(0x40000000u);
        t.bytes.SetEntry(t.dir, 0, {273, 4, 3, list});
        c.push_back({"one strip of a list beyond", t.bytes.Data(), true});
    }
    c.push_back({"rational value beyond", Tiff(big, bigTiff, {{282, 5, 2, 0x7FFFFFF0u}}).bytes.Data(), true});
    c.push_back({"rational value inside", Tiff(big, bigTiff, {{282, 5, 2, 8}}).bytes.Data(), false});
    for (std::uint64_t k = 1; k <= 6; ++k) {
        // A directory whose sub-directories are itself, k times over: the walk
        // ends (once it did not, when the values spent the budget exactly).
        Tiff t(big, bigTiff, {{330, 4, k, 0}});
        const std::size_t list = t.bytes.Size();
        for (std::uint64_t i = 0; i < k; ++i)
            t.bytes.U32(static_cast<std::uint32_t>(t.dir));
        t.bytes.SetEntry(t.dir, 0, {330, 4, k, k == 1 ? t.dir : list});
        c.push_back({"sub-directories that list themselves", t.bytes.Data(), false});
    }
    {
        // More entries claimed than the data holds: those that are there count.
        Tiff t(big, bigTiff, {{273, 4, 1, 0x7FFFFFF0u}});
        t.bytes.Put16At(t.dir + (bigTiff ? 6 : 0), 0xFFFF);
        c.push_back({"entry count past the end", t.bytes.Data(), true});
    }
    return c;
}

TEST(ImageOffsets, TiffInBothByteOrdersClassicAndBig)
{
    for (bool big : {false, true}) {
        for (bool bigTiff : {false, true}) {
            for (const Case& c : TiffCases(big, bigTiff)) {
                EXPECT_EQ(c.beyond, Beyond(c.data))
                    << c.name << (big ? ", MM" : ", II") << (bigTiff ? ", BigTIFF" : "");
            }
        }
    }
}

TEST(ImageOffsets, BmpIconAndOthers)
{
    const Bytes bmp = Bmp(54);
    PictureBytes ico;
    ico.U16(0).U16(1).U16(1).U8({16, 16, 0, 0}).U16(1).U16(32).U32(40).U32(22).Zeros(40);
    PictureBytes icoBeyond = ico;
    icoBeyond.Put32At(18, 0x7FFFFFF0u);
    const Case cases[] = {
        {"bmp pixels inside", bmp, false},
        {"bmp pixels at the very end", Bmp(static_cast<std::uint32_t>(bmp.size())), false},
        {"bmp pixels one past the end", Bmp(static_cast<std::uint32_t>(bmp.size()) + 1), true},
        {"bmp profile inside", Bmp(14 + 124, 124, 124), false},
        {"bmp profile beyond", Bmp(14 + 124, 124, 0x7FFFFFF0u), true},
        {"bmp cut before its offset", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}, false},
        {"icon image inside", ico.Data(), false},
        {"icon image beyond", icoBeyond.Data(), true},
        {"jpeg", JpegWith({}), false},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}, false},
        {"empty", Bytes{}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.beyond, Beyond(c.data)) << c.name;
    EXPECT_FALSE(HasOffsetBeyondData(nullptr, 0));
}

} // namespace
