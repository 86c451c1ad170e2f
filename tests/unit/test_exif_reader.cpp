#include "image/ExifReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/PictureBytes.h"

namespace {

// Reads from a heap block of exactly the bytes.
struct Exact {
    explicit Exact(const Bytes& b) : copy(new unsigned char[b.size() + 1]), size(b.size())
    {
        if (size)
            std::memcpy(copy.get(), b.data(), size);
    }
    std::unique_ptr<unsigned char[]> copy;
    std::size_t size;
};

int Orientation(const Bytes& b)
{
    const Exact e(b);
    return ReadExifOrientation(e.copy.get(), e.size);
}

// An EXIF block whose IFD0 holds the given entries (and a next offset).
Bytes Exif(bool big, const std::vector<TiffTag>& ifd0, std::uint64_t next = 0)
{
    TiffBytes t(big);
    t.Directory(ifd0, next);
    return t.Data();
}

Bytes JpegExif(const Bytes& tiff)
{
    return JpegWith({ExifSegment(tiff)});
}

TEST(ExifOrientation, EveryValueInBothByteOrders)
{
    for (bool big : {false, true}) {
        for (std::uint64_t value : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFFFF}) {
            const int expected = value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
            const Bytes exif = Exif(big, {{271, 2, 4, 0}, {274, 3, 1, value}});
            EXPECT_EQ(expected, Orientation(JpegExif(exif))) << "jpeg, " << (big ? "MM " : "II ") << value;
            EXPECT_EQ(expected, Orientation(exif)) << "tiff, " << (big ? "MM " : "II ") << value;
            TiffBytes bigTiff(big, true);
            bigTiff.Directory({{274, 3, 1, value}});
            EXPECT_EQ(expected, Orientation(bigTiff.Data())) << "bigtiff, " << (big ? "MM " : "II ") << value;
        }
    }
}

TEST(ExifOrientation, DamagedOrMissingBlocksMeanAsStored)
{
    const Bytes six = Exif(true, {{274, 3, 1, 6}});
    const std::size_t app1 = JpegWith({}).size() - 2 - 19; // where the segments go: after SOI and APP0
    PictureBytes xmp;
    xmp.Text("http://ns.adobe.com/xap/1.0/").U8({0}).Text("<x/>");
    struct Case {
        const char* name;
        Bytes data;
        int expected;
    };
    std::vector<Case> cases = {
        {"found after another APP1", JpegWith({JpegSegment(0xE1, xmp.Data()), ExifSegment(six)}), 6},
        {"ifd0 chain that loops", JpegExif(Exif(false, {{274, 3, 1, 8}}, 8)), 8},
        {"no exif block", JpegWith({}), 1},
        {"block only after the scan", JpegWith({JpegSegment(0xDA, {0, 0}), ExifSegment(six)}), 1},
        {"APP1 of another kind", JpegWith({JpegSegment(0xE1, PictureBytes().Text("Exif").Append(six).Data())}), 1},
        {"orientation a LONG", JpegExif(Exif(false, {{274, 4, 1, 6}})), 1},
        {"orientation of no values", JpegExif(Exif(false, {{274, 3, 0, 6}})), 1},
        {"no orientation tag", JpegExif(Exif(false, {{256, 3, 1, 6}})), 1},
        {"not a TIFF header", JpegExif(PictureBytes().Text("IM").U16(42).U32(8).Append(six).Data()), 1},
        {"not a picture", PictureBytes().Text("Exif orientation 6").Data(), 1},
        {"empty", Bytes{}, 1},
    };
    {
        Bytes b = JpegExif(six);
        b.resize(app1 + 4 + 6 + 8 + 2 + 12 - 1); // cut inside the entry, and the segment with it
        cases.push_back({"block cut inside the entry", b, 1});
    }
    {
        TiffBytes t(false);
        t.SetFirstDirectory(0x7FFFFFF0u);
        t.Directory({{274, 3, 1, 6}});
        cases.push_back({"ifd0 offset past the end", JpegExif(t.Data()), 1});
    }
    {
        TiffBytes t(false);
        t.SetFirstDirectory(0);
        t.Directory({{274, 3, 1, 6}});
        cases.push_back({"ifd0 at the header", JpegExif(t.Data()), 1});
    }
    {
        // The entry count claims more than there is; the entries there count.
        TiffBytes t(false);
        const std::size_t dir = t.Directory({{274, 3, 1, 7}});
        t.Put16At(dir, 0xFFFF);
        cases.push_back({"entry count past the end", JpegExif(t.Data()), 7});
    }
    {
        // A block that holds only an IFD0 offset; the orientation lies in the
        // file after the segment, where the block's offsets may not reach.
        TiffBytes t(false);
        t.SetFirstDirectory(8);
        Bytes b = JpegWith({ExifSegment(t.Data())});
        const Bytes ifd = Exif(false, {{274, 3, 1, 6}});
        b.insert(b.end() - 2, ifd.begin() + 8, ifd.end());
        cases.push_back({"ifd0 only beyond the block", b, 1});
    }
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Orientation(c.data)) << c.name;
    EXPECT_EQ(1, ReadExifOrientation(nullptr, 100));
}

} // namespace
