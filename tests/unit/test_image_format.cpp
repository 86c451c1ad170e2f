#include "image/ImageFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MetafileBytes.h"
#include "support/PictureBytes.h"

namespace {

Bytes B(std::initializer_list<int> values)
{
    return PictureBytes().U8(values).Data();
}

Bytes Text(const char* s)
{
    return PictureBytes().Text(s).Data();
}

Bytes IsoMedia(const char* major, std::initializer_list<const char*> compatible)
{
    PictureBytes b(true);
    b.U32(static_cast<std::uint32_t>(16 + 4 * compatible.size())).Text("ftyp").Text(major).U32(0);
    for (const char* brand : compatible)
        b.Text(brand);
    b.U32(8).Text("meta");
    return b.Data();
}

// An 18-byte targa header: no id, no colour map unless mapped.
Bytes Tga(int type, int depth, int mapType = 0)
{
    PictureBytes b;
    b.U8({0, mapType, type});
    if (mapType)
        b.U16(0).U16(256).U8({24});
    else
        b.Zeros(5);
    b.U16(0).U16(0).U16(40).U16(30).U8({depth, 0x20});
    return b.Data();
}

Bytes Icon(int type, int count)
{
    return PictureBytes().U16(0).U16(type).U16(count).Zeros(16).Data();
}

TEST(ImageFormatTest, DetectsEachFormatByItsMagic)
{
    PictureBytes tgaFooter;
    tgaFooter.Append(Text("garbage that is no targa header")).Zeros(8).Text("TRUEVISION-XFILE.").U8({0});
    const struct {
        const char* name;
        Bytes data;
        ImageFormat format;
    } cases[] = {
        {"bmp", Text("BM6"), ImageFormat::Bmp},
        {"jpeg, two bytes are enough", B({0xFF, 0xD8}), ImageFormat::Jpeg},
        {"png", B({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), ImageFormat::Png},
        {"png, one byte wrong", B({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B}), ImageFormat::Unknown},
        {"gif87a", Text("GIF87a"), ImageFormat::Gif},
        {"gif89a", Text("GIF89a"), ImageFormat::Gif},
        {"gif of another version", Text("GIF88a"), ImageFormat::Unknown},
        {"tiff II", TiffBytes(false).Data(), ImageFormat::Tiff},
        {"tiff MM", TiffBytes(true).Data(), ImageFormat::Tiff},
        {"bigtiff II", TiffBytes(false, true).Data(), ImageFormat::BigTiff},
        {"bigtiff MM", TiffBytes(true, true).Data(), ImageFormat::BigTiff},
        {"tiff of the wrong byte order", B({'I', 'I', 0, 42}), ImageFormat::Unknown},
        {"jpeg xr", B({'I', 'I', 0xBC, 0x01, 8, 0, 0, 0}), ImageFormat::JpegXr},
        {"icon", Icon(1, 1), ImageFormat::Icon},
        {"cursor", Icon(2, 3), ImageFormat::Cursor},
        {"icon cut after its magic", B({0, 0, 1, 0}), ImageFormat::Icon},
        {"icon directory of no entries", Icon(1, 0), ImageFormat::Unknown},
        {"emf", Emf(EmfShapes()), ImageFormat::Emf},
        {"emf header without its signature", B({1, 0, 0, 0, 108, 0, 0, 0}), ImageFormat::Unknown},
        {"placeable wmf", Wmf(WmfShapes()), ImageFormat::PlaceableWmf},
        {"wmf", Wmf(WmfShapes(), 1, false), ImageFormat::Wmf},
        {"dds", Text("DDS |"), ImageFormat::Dds},
        {"webp", PictureBytes().Text("RIFF").U32(36).Text("WEBPVP8 ").Data(), ImageFormat::WebP},
        {"riff of sound", PictureBytes().Text("RIFF").U32(36).Text("WAVEfmt ").Data(), ImageFormat::Unknown},
        {"heic", IsoMedia("heic", {"mif1", "heic"}), ImageFormat::Heic},
        {"heif by its compatible brand", IsoMedia("abcd", {"mif1"}), ImageFormat::Heic},
        {"avif", IsoMedia("avif", {"mif1", "miaf"}), ImageFormat::Avif},
        {"avif by its compatible brand", IsoMedia("mif1", {"miaf", "avif"}), ImageFormat::Avif},
        {"a brand after the ftyp box does not count",
         PictureBytes(true).U32(16).Text("ftyp").Text("isom").U32(0).Text("mif1").Data(), ImageFormat::Unknown},
        {"mp4 video", IsoMedia("isom", {"isom", "avc1"}), ImageFormat::Unknown},
        {"tga true colour", Tga(2, 24), ImageFormat::Tga},
        {"tga rle grey", Tga(11, 8), ImageFormat::Tga},
        {"tga colour mapped", Tga(1, 8, 1), ImageFormat::Tga},
        {"tga mapped without a map", Tga(1, 8, 0), ImageFormat::Unknown},
        {"tga of an odd depth", Tga(2, 7), ImageFormat::Unknown},
        {"tga by its footer", tgaFooter.Data(), ImageFormat::Tga},
        {"text", Text("Hello, world\r\nThis is not a picture.\r\n"), ImageFormat::Unknown},
        {"one byte", B({0xFF}), ImageFormat::Unknown},
        {"empty", Bytes{}, ImageFormat::Unknown},
    };
    for (const auto& c : cases) {
        const ImageFormat found = DetectImageFormat(c.data.data(), c.data.size());
        EXPECT_STREQ(ImageFormatName(c.format), ImageFormatName(found)) << c.name;
    }
    EXPECT_EQ(ImageFormat::Unknown, DetectImageFormat(nullptr, 8));
}

} // namespace
