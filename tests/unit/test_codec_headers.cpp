// The headers of the formats only the system's codecs read, checked before
// any codec sees them: the sizes against the pixel bound, a JPEG XR
// transformation or descriptive field its codec asserts on, a DDS mipmap count that keeps its
// codec busy.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "image/DdsCheck.h"
#include "image/ImageHeader.h"
#include "image/JpegXrCheck.h"
#include "support/PictureBytes.h"

namespace {

// "II" BC 01, the first directory at 8: a pixel format and a transformation
// of the given type, count and value (a value that fits its field).
Bytes JpegXr(std::uint32_t type, std::uint32_t count, std::uint32_t value)
{
    PictureBytes b;
    b.U8({'I', 'I', 0xBC, 0x01}).U32(8).U16(2);
    b.U16(0xBC01).U16(1).U32(16).U32(38); // the pixel format's 16 bytes, after the directory
    b.U16(0xBC02).U16(type).U32(count).U32(value);
    b.U32(0).Zeros(16);
    return b.Data();
}

// The same with a descriptive field in place of the transformation; `tail`
// follows the pixel format, at offset 54.
Bytes JpegXrField(std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value,
                  const std::string& tail = "")
{
    Bytes b = JpegXr(4, 1, 0);
    PictureBytes field;
    field.U16(tag).U16(type).U32(count).U32(value);
    std::copy(field.Data().begin(), field.Data().end(), b.begin() + 22);
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

// Each form measured to pass the codec under Wine passes; the forms it
// asserts on (the fuzz's: a camera model of type 62492) are refused.
TEST(JpegXrCheck, DescriptiveFieldsPassOnlyInTheFormsTheCodecReads)
{
    const std::string text("Artist\0", 7);
    const std::string wide("A\0B\0\0\0", 6);
    const struct {
        const char* name;
        Bytes bytes;
        bool unsafe;
    } cases[] = {
        {"camera make inline", JpegXrField(0x010F, 2, 4, 0x00414141), false},
        {"artist at an offset", JpegXrField(0x013B, 2, 7, 54, text), false},
        {"caption", JpegXrField(0x9C9B, 1, 6, 54, wide), false},
        {"page number", JpegXrField(0x0129, 3, 2, 0x00050006), false},
        {"rating", JpegXrField(0x4746, 3, 1, 3), false},
        {"an unknown tag of any type", JpegXrField(0x9C9C, 4, 1, 3), false},
        {"camera model of type 62492", JpegXrField(0x0110, 62492, 1, 5), true},
        {"camera make as a LONG", JpegXrField(0x010F, 4, 1, 5), true},
        {"text without its zero", JpegXrField(0x010F, 2, 4, 0x41414141), true},
        {"empty text", JpegXrField(0x010F, 2, 0, 0), true},
        {"text past the end", JpegXrField(0x013B, 2, 100000, 54, text), true},
        {"caption of odd length", JpegXrField(0x9C9B, 1, 5, 54, wide), true},
        {"caption without its zero", JpegXrField(0x9C9B, 1, 4, 0x00410041), true},
        {"one page number", JpegXrField(0x0129, 3, 1, 5), true},
        {"rating as a LONG", JpegXrField(0x4746, 4, 1, 3), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasUnsafeJpegXrContainer(c.bytes.data(), c.bytes.size()), c.unsafe) << c.name;
}

TEST(JpegXrCheck, OnlyTheEightOrientationsPass)
{
    for (std::uint32_t value = 0; value < 8; ++value) {
        for (std::uint32_t type : {1u, 3u, 4u}) {
            const Bytes b = JpegXr(type, 1, value);
            EXPECT_FALSE(HasUnsafeJpegXrContainer(b.data(), b.size())) << value << " of type " << type;
        }
    }
    const struct {
        const char* name;
        Bytes bytes;
    } unsafe[] = {
        {"8", JpegXr(4, 1, 8)},
        {"0x840000 (the fuzz's)", JpegXr(4, 1, 0x840000)},
        {"a SHORT of 0x100", JpegXr(3, 1, 0x100)},
        {"a BYTE with bytes set beyond it (the fuzz's)", JpegXr(1, 1, 0x14000)},
        {"two values", JpegXr(4, 2, 0)},
        {"a RATIONAL", JpegXr(5, 1, 0)},
    };
    for (const auto& c : unsafe) {
        EXPECT_TRUE(HasUnsafeJpegXrContainer(c.bytes.data(), c.bytes.size())) << c.name;
        EXPECT_TRUE(IsImageRefused(c.bytes.data(), c.bytes.size())) << c.name;
    }
    // Cut short before the transformation, or another format: nothing to refuse here.
    const Bytes whole = JpegXr(4, 1, 9);
    const Bytes cut(whole.begin(), whole.begin() + 24);
    EXPECT_FALSE(HasUnsafeJpegXrContainer(cut.data(), cut.size()));
    Bytes tiff = JpegXr(4, 1, 9);
    tiff[2] = 42;
    tiff[3] = 0;
    EXPECT_FALSE(HasUnsafeJpegXrContainer(tiff.data(), tiff.size()));
}

// A DDS header: size 124, flags, height, width, pitch, depth, mipmap count,
// the pixel format's fourCC at 84 ("DX10" adds a header with the array size
// at 140).
Bytes Dds(std::uint32_t w, std::uint32_t h, std::uint32_t mips, std::uint32_t depth = 0, std::uint32_t layers = 0)
{
    PictureBytes b;
    b.Text("DDS ").U32(124).U32(depth ? 0x800000 : 0).U32(h).U32(w).U32(0).U32(depth).U32(mips).Zeros(44);
    b.U32(32).U32(4).Text(layers ? "DX10" : "DXT1").Zeros(20).Zeros(20);
    if (layers)
        b.U32(71).U32(3).U32(0).U32(layers).U32(0);
    return b.Data();
}

TEST(DdsCheck, MipmapCountsBeyondTheHalvingsOfTheSideAreRefused)
{
    const struct {
        Bytes bytes;
        bool unsafe;
    } cases[] = {
        {Dds(64, 48, 0), false}, {Dds(64, 48, 7), false},    {Dds(64, 48, 8), true},      {Dds(1, 1, 1), false},
        {Dds(1, 1, 2), true},    {Dds(65535, 2, 16), false}, {Dds(8, 8, 0xAAAAA9), true}, // the fuzz's: minutes under Wine
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasUnsafeDdsHeader(c.bytes.data(), c.bytes.size()), c.unsafe);
        EXPECT_EQ(IsImageRefused(c.bytes.data(), c.bytes.size()), c.unsafe);
    }
}

TEST(CodecHeaders, SizesCountForThePixelBound)
{
    ImageDimensions dims{};
    const Bytes plain = Dds(640, 480, 1);
    ASSERT_EQ(ReadImageDimensions(plain.data(), plain.size(), &dims), ImageHeaderResult::Ok);
    EXPECT_EQ(dims.width, 640u);
    EXPECT_EQ(dims.height, 480u);
    // Every slice of a volume and every layer of an array is decoded.
    const Bytes volume = Dds(16384, 16384, 1, 2);
    const Bytes array = Dds(16384, 8192, 1, 0, 3);
    const Bytes huge = Dds(33554414, 0xD4086008u, 1);
    for (const Bytes* b : {&volume, &array, &huge})
        EXPECT_TRUE(IsImageTooLarge(b->data(), b->size()));
    EXPECT_FALSE(IsImageTooLarge(plain.data(), plain.size()));

    PictureBytes tga;
    tga.U8({0, 0, 2}).Zeros(9).U16(0xFFFF).U16(0xFFFF).U8({24, 0x20});
    EXPECT_TRUE(IsImageTooLarge(tga.Data().data(), tga.Size())) << "a TGA of 65535 x 65535";

    PictureBytes jxr;
    jxr.U8({'I', 'I', 0xBC, 0x01}).U32(8).U16(2);
    jxr.U16(0xBC80).U16(4).U32(1).U32(20000).U16(0xBC81).U16(3).U32(1).U32(20000).U32(0);
    ASSERT_EQ(ReadImageDimensions(jxr.Data().data(), jxr.Size(), &dims), ImageHeaderResult::Ok);
    EXPECT_EQ(dims.width, 20000u);
    EXPECT_EQ(dims.height, 20000u);
    EXPECT_TRUE(IsImageTooLarge(jxr.Data().data(), jxr.Size()));
}

} // namespace
