// The JPEG XR container check: a transformation the codec asserts on is
// refused before any codec sees the file.
#include <gtest/gtest.h>

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

} // namespace
