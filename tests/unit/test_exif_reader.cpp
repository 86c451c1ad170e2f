#include "image/ExifReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CGlobalLock.h"
#include "image/ExifThumbnail.h"
#include "support/PictureBytes.h"
#include "support/TestFiles.h"

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

// IFD0 (an orientation), IFD1 naming the thumbnail, then the thumbnail.
struct ThumbnailBlock {
    TiffBytes tiff;
    std::size_t ifd0 = 0, ifd1 = 0, thumbnail = 0;
    Bytes bytes = {0xFF, 0xD8, 0xFF, 0xDB, 1, 2, 3, 0xFF, 0xD9};

    explicit ThumbnailBlock(bool big) : tiff(big)
    {
        ifd0 = tiff.Directory({{274, 3, 1, 6}});
        ifd1 = tiff.Directory({{259, 3, 1, 6}, {513, 4, 1, 0}, {514, 4, 1, bytes.size()}});
        tiff.SetNext(ifd0, 1, ifd1);
        thumbnail = tiff.Size();
        tiff.Append(bytes);
        SetThumbnail(thumbnail, bytes.size());
    }
    void SetThumbnail(std::uint64_t at, std::uint64_t length)
    {
        tiff.SetEntry(ifd1, 1, {513, 4, 1, at});
        tiff.SetEntry(ifd1, 2, {514, 4, 1, length});
    }
    Bytes Jpeg() const { return JpegExif(tiff.Data()); }
};

TEST(ExifThumbnail, FoundInBothByteOrders)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "MM" : "II");
        const ThumbnailBlock block(big);
        const Bytes jpeg = block.Jpeg();
        const Exact e(jpeg);
        ByteRange range{};
        ASSERT_TRUE(FindExifThumbnail(e.copy.get(), e.size, &range));
        ASSERT_EQ(block.bytes.size(), range.length);
        ASSERT_LE(range.offset + range.length, jpeg.size());
        EXPECT_EQ(block.bytes, Bytes(jpeg.begin() + range.offset, jpeg.begin() + range.offset + range.length));
    }
}

TEST(ExifThumbnail, AbsentOrDamagedGivesNothing)
{
    struct Case {
        const char* name;
        Bytes data;
    };
    std::vector<Case> cases;
    auto with = [&](const char* name, auto change) {
        ThumbnailBlock block(false);
        change(block);
        cases.push_back({name, block.Jpeg()});
    };
    with("no IFD1", [](ThumbnailBlock& b) { b.tiff.SetNext(b.ifd0, 1, 0); });
    with("IFD1 is IFD0 again", [](ThumbnailBlock& b) { b.tiff.SetNext(b.ifd0, 1, b.ifd0); });
    with("IFD1 past the end", [](ThumbnailBlock& b) { b.tiff.SetNext(b.ifd0, 1, 0x7FFFFFF0u); });
    with("no length", [](ThumbnailBlock& b) { b.tiff.SetEntry(b.ifd1, 2, {515, 4, 1, 9}); });
    with("no offset", [](ThumbnailBlock& b) { b.tiff.SetEntry(b.ifd1, 1, {512, 4, 1, 0}); });
    with("length 0", [](ThumbnailBlock& b) { b.SetThumbnail(b.thumbnail, 0); });
    with("length one past the block", [](ThumbnailBlock& b) { b.SetThumbnail(b.thumbnail, b.bytes.size() + 1); });
    with("offset past the block", [](ThumbnailBlock& b) { b.SetThumbnail(0x7FFFFFF0u, 9); });
    with("offset and length wrap", [](ThumbnailBlock& b) { b.SetThumbnail(0xFFFFFFF8u, 0x10); });
    with("not a JPEG there", [](ThumbnailBlock& b) { b.SetThumbnail(b.ifd1, 9); });
    with("offset a RATIONAL", [](ThumbnailBlock& b) { b.tiff.SetEntry(b.ifd1, 1, {513, 5, 1, b.thumbnail}); });
    {
        // IFD0 names a thumbnail itself and then itself as IFD1: a loop.
        ThumbnailBlock block(false);
        TiffBytes& t = block.tiff;
        const std::size_t ifd0 = t.Directory({{274, 3, 1, 6}, {513, 4, 1, 0}, {514, 4, 1, block.bytes.size()}});
        t.SetFirstDirectory(ifd0);
        t.SetNext(ifd0, 3, ifd0);
        t.SetEntry(ifd0, 1, {513, 4, 1, block.thumbnail});
        cases.push_back({"IFD0 naming a thumbnail, then itself", block.Jpeg()});
    }
    {
        // The same thumbnail, but the TIFF structure is a file of its own.
        const ThumbnailBlock block(false);
        cases.push_back({"a TIFF file", block.tiff.Data()});
    }
    cases.push_back({"no exif block", JpegWith({})});
    for (const Case& c : cases) {
        const Exact e(c.data);
        ByteRange range{12345, 54321};
        EXPECT_FALSE(FindExifThumbnail(e.copy.get(), e.size, &range)) << c.name;
        EXPECT_EQ(12345u, range.offset) << c.name;
    }
}

} // namespace

// A photo's thumbnail read from the start of its file: the photo's own frame
// header has to be there too, and both sizes within the pixel bound.
TEST(ExifThumbnail, ReadFromTheStartOfAPhotoFile)
{
    TempFolder folder("exifthumb");
    const std::string path = folder.File("photo.jpg");
    const Bytes thumbnail = JpegWith({}, 160, 120);
    std::vector<Bytes> profiles(5, JpegSegment(0xE2, Bytes(60000, 0x20))); // 300 KB of colour profile
    const struct {
        const char* what;
        Bytes file;
        bool found;
    } cases[] = {
        {"a camera photo", WithExifThumbnail(JpegWith({}, 4000, 3000), thumbnail, 6), true},
        {"no EXIF block", JpegWith({}, 4000, 3000), false},
        {"the photo over the bound", WithExifThumbnail(JpegWith({}, 16385, 16384), thumbnail), false},
        {"the thumbnail over the bound", WithExifThumbnail(JpegWith({}, 4000, 3000), JpegWith({}, 65000, 65000)),
         false},
        {"the frame header behind 300 KB", WithExifThumbnail(JpegWith(profiles, 4000, 3000), thumbnail), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(path, c.file));
        ExifThumbnail exif;
        ASSERT_EQ(ReadExifThumbnail(path.c_str(), &exif), c.found);
        if (!c.found)
            continue;
        EXPECT_EQ(exif.picture.width, 4000u);
        EXPECT_EQ(exif.picture.height, 3000u);
        EXPECT_EQ(exif.orientation, 6);
        EXPECT_EQ(exif.thumbnail.width, 160u);
        EXPECT_EQ(exif.thumbnail.height, 120u);
        ASSERT_GE(exif.data.GetSize(), thumbnail.size());
        CGlobalLock bytes(exif.data.Get());
        EXPECT_EQ(Bytes(bytes.Get(), bytes.Get() + thumbnail.size()), thumbnail);
    }
    ExifThumbnail none;
    EXPECT_FALSE(ReadExifThumbnail(folder.File("missing.jpg").c_str(), &none));
}
