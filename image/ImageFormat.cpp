#include "image/ImageFormat.h"

#include <cstdint>

#include "image/ByteReader.h"

namespace {

const unsigned char kPngMagic[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kWmfHeaderWords = 9;

// The 42 of TIFF, the 43 of BigTIFF, or 0, in either byte order.
std::uint32_t TiffVersion(const ByteReader& d)
{
    std::uint32_t version = 0;
    if (d.Matches(0, "II", 2))
        version = d.Le16(2);
    else if (d.Matches(0, "MM", 2))
        version = d.Be16(2);
    return version == 42 || version == 43 ? version : 0;
}

// An icon or cursor directory names at least one image; a directory of none
// is more likely the header of a targa picture (00 00 02 00 ...).
ImageFormat IconFormat(const ByteReader& d)
{
    if (!d.Has(0, 4) || d.U8(0) != 0 || d.U8(1) != 0 || d.U8(3) != 0 || (d.U8(2) != 1 && d.U8(2) != 2))
        return ImageFormat::Unknown;
    if (d.Has(0, 6) && d.Le16(4) == 0)
        return ImageFormat::Unknown;
    return d.U8(2) == 1 ? ImageFormat::Icon : ImageFormat::Cursor;
}

bool IsBrand(const ByteReader& d, std::size_t at, const char* const* brands)
{
    for (; *brands; ++brands) {
        if (d.Matches(at, *brands, 4))
            return true;
    }
    return false;
}

// ISO base media files: the first box is "ftyp", with the major brand and
// then the compatible brands. An AVIF file names an AVIF brand somewhere;
// other HEIF pictures name a HEIF brand.
ImageFormat IsoMediaFormat(const ByteReader& d)
{
    if (!d.Matches(4, "ftyp", 4) || !d.Has(0, 12))
        return ImageFormat::Unknown;
    static const char* const kAvif[] = {"avif", "avis", nullptr};
    static const char* const kHeif[] = {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1", nullptr};
    const std::size_t boxEnd = d.Be32(0);
    bool heif = IsBrand(d, 8, kHeif);
    if (IsBrand(d, 8, kAvif))
        return ImageFormat::Avif;
    for (std::size_t at = 16; at + 4 <= boxEnd && d.Has(at, 4); at += 4) {
        if (IsBrand(d, at, kAvif))
            return ImageFormat::Avif;
        heif = heif || IsBrand(d, at, kHeif);
    }
    return heif ? ImageFormat::Heic : ImageFormat::Unknown;
}

// A targa file has no magic at the start: its 18-byte header must hold
// together (a known image type, a colour map exactly when one is needed or
// declared, a size, a pixel depth the type allows), or the file ends in the
// footer of version 2.
bool IsTga(const ByteReader& d)
{
    static const char kFooter[] = "TRUEVISION-XFILE.";
    if (d.Size() >= 26 && d.Matches(d.Size() - 18, kFooter, sizeof kFooter))
        return true;
    if (!d.Has(0, 18))
        return false;
    const std::uint32_t mapType = d.U8(1);
    const std::uint32_t type = d.U8(2);
    const std::uint32_t depth = d.U8(16);
    const bool mapped = type == 1 || type == 9;
    const bool trueColour = type == 2 || type == 10;
    const bool grey = type == 3 || type == 11;
    if (!mapped && !trueColour && !grey)
        return false;
    if (mapType == 1) {
        const std::uint32_t entryBits = d.U8(7);
        if (d.Le16(5) == 0 || (entryBits != 15 && entryBits != 16 && entryBits != 24 && entryBits != 32))
            return false;
    } else if (mapType != 0 || mapped || d.U8(3) || d.Le16(4) || d.Le16(6)) {
        return false;
    }
    if (d.Le16(12) == 0 || d.Le16(14) == 0 || (d.U8(17) & 0xC0))
        return false;
    if (trueColour)
        return depth == 15 || depth == 16 || depth == 24 || depth == 32;
    return depth == 8 || depth == 16;
}

} // namespace

ImageFormat DetectImageFormat(const unsigned char* data, std::size_t size)
{
    const ByteReader d(data, size);
    if (d.Matches(0, kPngMagic, sizeof kPngMagic))
        return ImageFormat::Png;
    if (d.U8(0) == 0xFF && d.U8(1) == 0xD8)
        return ImageFormat::Jpeg;
    if (d.Matches(0, "BM", 2))
        return ImageFormat::Bmp;
    if (d.Matches(0, "GIF87a", 6) || d.Matches(0, "GIF89a", 6))
        return ImageFormat::Gif;
    if (const std::uint32_t version = TiffVersion(d))
        return version == 42 ? ImageFormat::Tiff : ImageFormat::BigTiff;
    if (d.Matches(0, "II\xBC", 3) && d.U8(3) <= 1)
        return ImageFormat::JpegXr;
    const ImageFormat icon = IconFormat(d);
    if (icon != ImageFormat::Unknown)
        return icon;
    if (d.Le32(0) == kEmrHeader && d.Has(0, 44) && d.Le32(40) == kEmfSignature)
        return ImageFormat::Emf;
    if (d.Has(0, 4) && d.Le32(0) == kPlaceableKey)
        return ImageFormat::PlaceableWmf;
    if ((d.Le16(0) == 1 || d.Le16(0) == 2) && d.Le16(2) == kWmfHeaderWords)
        return ImageFormat::Wmf;
    if (d.Matches(0, "DDS ", 4))
        return ImageFormat::Dds;
    if (d.Matches(0, "RIFF", 4) && d.Matches(8, "WEBP", 4))
        return ImageFormat::WebP;
    const ImageFormat iso = IsoMediaFormat(d);
    if (iso != ImageFormat::Unknown)
        return iso;
    if (IsTga(d))
        return ImageFormat::Tga;
    return ImageFormat::Unknown;
}

const char* ImageFormatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Unknown: return "unknown";
    case ImageFormat::Bmp: return "BMP";
    case ImageFormat::Jpeg: return "JPEG";
    case ImageFormat::Png: return "PNG";
    case ImageFormat::Gif: return "GIF";
    case ImageFormat::Tiff: return "TIFF";
    case ImageFormat::BigTiff: return "BigTIFF";
    case ImageFormat::Icon: return "icon";
    case ImageFormat::Cursor: return "cursor";
    case ImageFormat::Emf: return "EMF";
    case ImageFormat::PlaceableWmf: return "placeable WMF";
    case ImageFormat::Wmf: return "WMF";
    case ImageFormat::Dds: return "DDS";
    case ImageFormat::JpegXr: return "JPEG XR";
    case ImageFormat::WebP: return "WebP";
    case ImageFormat::Heic: return "HEIF";
    case ImageFormat::Avif: return "AVIF";
    case ImageFormat::Tga: return "TGA";
    }
    return "?";
}
