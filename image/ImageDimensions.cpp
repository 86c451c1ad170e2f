#include "image/ImageDimensions.h"

#include <algorithm>
#include <cstdint>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"
#include "image/JpegSegments.h"
#include "image/TiffWalker.h"

namespace {

using Result = ImageHeaderResult;

// Magnitude of a little-endian signed 32-bit value; INT_MIN gives 2^31.
std::uint32_t AbsLe32(const ByteReader& d, std::size_t pos)
{
    const std::uint32_t v = d.Le32(pos);
    return (v & 0x80000000u) ? (~v + 1u) : v;
}

unsigned long long Pixels(const ImageDimensions& d)
{
    return static_cast<unsigned long long>(d.width) * d.height;
}

// a should be reported instead of b: breaking the bound first, then size.
bool Worse(const ImageDimensions& a, const ImageDimensions& b)
{
    const bool aOk = IsDecodableImageSize(a);
    const bool bOk = IsDecodableImageSize(b);
    if (aOk != bOk)
        return !aOk;
    return Pixels(a) > Pixels(b);
}

ImageDimensions Dims(std::uint32_t w, std::uint32_t h)
{
    return ImageDimensions{w, h};
}

const unsigned char kPngMagic[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool IsPng(const ByteReader& d)
{
    return d.Matches(0, kPngMagic, sizeof kPngMagic);
}

// The first chunk must be IHDR: width and height, big-endian.
Result ReadPng(const ByteReader& d, ImageDimensions* out)
{
    if (!d.Has(8, 16))
        return Result::Truncated;
    if (!d.Matches(12, "IHDR", 4))
        return Result::Unknown;
    *out = Dims(d.Be32(16), d.Be32(20));
    return Result::Ok;
}

// Markers C0-CF carry a frame header, except DHT (C4), JPG (C8) and DAC (CC).
bool IsSof(std::uint32_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// The first frame header decides; a scan, an end or a second start before
// it leaves the size Unknown.
Result ReadJpeg(const ByteReader& d, ImageDimensions* out)
{
    JpegSegments segments(d);
    JpegSegment s;
    for (;;) {
        switch (segments.Next(&s)) {
        case JpegSegments::Step::truncated: return Result::Truncated;
        case JpegSegments::Step::end: return Result::Unknown;
        case JpegSegments::Step::segment: break;
        }
        if (s.length < 2)
            continue; // an empty segment to a decoder: a frame header may follow right after
        if (IsSof(s.marker)) {
            if (s.length < 8)
                return Result::Unknown;
            // length(2) precision(1) height(2) width(2)
            if (!d.Has(s.at, 7))
                return Result::Truncated;
            *out = Dims(d.Be16(s.at + 5), d.Be16(s.at + 3));
            return Result::Ok; // a 0 height (DNL) is turned into Unknown by the caller
        }
        if (!segments.IsWhole(s))
            return Result::Truncated;
    }
}

// Width and height of a DIB header at off (BITMAPCOREHEADER or a later one);
// Unknown for header sizes no bitmap has.
Result ReadDibHeader(const ByteReader& d, std::size_t off, ImageDimensions* out)
{
    if (!d.Has(off, 4))
        return Result::Truncated;
    const std::uint32_t headerSize = d.Le32(off);
    if (headerSize == 12) {
        if (!d.Has(off, 8))
            return Result::Truncated;
        *out = Dims(d.Le16(off + 4), d.Le16(off + 6));
        return Result::Ok;
    }
    if (headerSize < 16 || headerSize > 1024)
        return Result::Unknown;
    if (!d.Has(off, 12))
        return Result::Truncated;
    // Signed; a negative height is a top-down bitmap.
    *out = Dims(AbsLe32(d, off + 4), AbsLe32(d, off + 8));
    return Result::Ok;
}

Result ReadBmp(const ByteReader& d, ImageDimensions* out)
{
    return ReadDibHeader(d, 14, out); // after the 14-byte BITMAPFILEHEADER
}

// A decoder may allocate any frame's raster and composes frames on a canvas,
// so the size is the logical screen grown to cover every image descriptor.
// Frames cut off by the end of the data still count when their descriptor is
// complete.
Result ReadGif(const ByteReader& d, ImageDimensions* out)
{
    const std::size_t size = d.Size();
    if (!d.Has(0, 13))
        return Result::Truncated;
    std::uint32_t width = d.Le16(6);
    std::uint32_t height = d.Le16(8);
    std::size_t pos = 13;
    if (d.U8(10) & 0x80)
        pos += 3u << ((d.U8(10) & 7) + 1); // global colour table

    // Skips data sub-blocks up to the terminating zero; false when the data ends first.
    auto skipSubBlocks = [&]() {
        for (;;) {
            if (pos >= size)
                return false;
            const std::size_t n = d.U8(pos++);
            if (n == 0)
                return true;
            pos += n;
        }
    };

    for (bool more = true; more && pos < size;) {
        switch (d.U8(pos++)) {
        case 0x2C: { // image descriptor: left, top, width, height, flags
            if (!d.Has(pos, 9)) {
                more = false;
                break;
            }
            const std::uint32_t right = d.Le16(pos) + d.Le16(pos + 4);
            const std::uint32_t bottom = d.Le16(pos + 2) + d.Le16(pos + 6);
            if (right > width)
                width = right;
            if (bottom > height)
                height = bottom;
            const std::uint32_t flags = d.U8(pos + 8);
            pos += 9;
            if (flags & 0x80)
                pos += 3u << ((flags & 7) + 1); // local colour table
            pos += 1;                           // LZW minimum code size
            more = skipSubBlocks();
            break;
        }
        case 0x21: // extension: label, then sub-blocks
            pos += 1;
            more = skipSubBlocks();
            break;
        default: // trailer (3B) or something no decoder goes past
            more = false;
            break;
        }
    }
    *out = Dims(width, height);
    return Result::Ok;
}

// A page's width and height from one IFD. Ok with both tags, Unknown when the
// complete IFD lacks one, Truncated when the data ends first (or the walk's
// budget runs out). *next gets the offset of the following IFD (0 when
// unknown).
Result ReadTiffIfd(TiffWalker& tiff, std::uint64_t ifd, ImageDimensions* out, std::uint64_t* next)
{
    *next = 0;
    if (!tiff.OpenDirectory(ifd))
        return Result::Truncated;
    const ByteReader& d = tiff.Data();
    bool haveWidth = false, haveHeight = false;
    std::uint32_t width = 0, height = 0;
    TiffEntry e;
    while (tiff.NextEntry(&e)) {
        if (e.tag != kTiffImageWidth && e.tag != kTiffImageLength)
            continue;
        std::uint32_t value;
        if (e.type == kTiffShort && e.count >= 1)
            value = d.U16(e.valueField, tiff.Order()); // kept in the first half of the value field
        else if (e.type == kTiffLong && e.count >= 1)
            value = d.U32(e.valueField, tiff.Order());
        else
            return Result::Unknown;
        if (e.tag == kTiffImageWidth) {
            width = value;
            haveWidth = true;
        } else {
            height = value;
            haveHeight = true;
        }
    }
    *next = tiff.NextDirectory();
    if (haveWidth && haveHeight) {
        *out = Dims(width, height);
        return Result::Ok;
    }
    return tiff.AllEntriesRead() ? Result::Unknown : Result::Truncated;
}

// The first IFD decides the result; later pages can be selected after loading,
// so the chain is followed too, as far as it stays inside the data. The
// walk's budget stops IFD chains that loop, empty IFDs included.
Result ReadTiff(const ByteReader& d, ImageDimensions* out)
{
    TiffWalker tiff(d);
    if (!tiff.IsValid())
        return Result::Truncated;
    if (tiff.FirstDirectory() < 8)
        return Result::Unknown;
    std::uint64_t next = 0;
    ImageDimensions worst{};
    const Result r = ReadTiffIfd(tiff, tiff.FirstDirectory(), &worst, &next);
    if (r != Result::Ok)
        return r;
    while (next >= 8) {
        ImageDimensions page{};
        const Result pr = ReadTiffIfd(tiff, next, &page, &next);
        if (pr == Result::Truncated)
            break;
        if (pr == Result::Ok && Worse(page, worst))
            worst = page;
    }
    *out = worst;
    return Result::Ok;
}

// One icon entry: the directory's size (0 means 256), raised to the size in
// the embedded PNG or DIB header when the image data is inside the buffer,
// since a decoder goes by the embedded header.
ImageDimensions ReadIconEntry(const ByteReader& d, std::size_t entry)
{
    const std::uint32_t w = d.U8(entry), h = d.U8(entry + 1);
    ImageDimensions dims = Dims(w ? w : 256, h ? h : 256);
    const std::uint32_t offset = d.Le32(entry + 12);
    ImageDimensions inner{};
    bool haveInner = false;
    if (d.Has(offset, 8) && IsPng(d.Part(offset, 8))) {
        haveInner = ReadPng(d.Part(offset), &inner) == Result::Ok;
    } else if (ReadDibHeader(d, offset, &inner) == Result::Ok) {
        inner.height = inner.height / 2 + inner.height % 2; // colour and mask bitmaps stacked
        haveInner = true;
    }
    if (haveInner) {
        if (inner.width > dims.width)
            dims.width = inner.width;
        if (inner.height > dims.height)
            dims.height = inner.height;
    }
    return dims;
}

// Entries past the end of the data are not read; Truncated when not even the
// first one is there.
Result ReadIco(const ByteReader& d, ImageDimensions* out)
{
    if (!d.Has(0, 6))
        return Result::Truncated;
    const std::size_t count = d.Le16(4);
    if (count == 0)
        return Result::Unknown;
    bool any = false;
    ImageDimensions worst{};
    for (std::size_t i = 0; i < count && d.Has(6 + i * 16, 16); ++i) {
        const ImageDimensions dims = ReadIconEntry(d, 6 + i * 16);
        if (!any || Worse(dims, worst))
            worst = dims;
        any = true;
    }
    if (!any)
        return Result::Truncated;
    *out = worst;
    return Result::Ok;
}

// A product of sizes as a height, saturated at the largest 32-bit value, so
// the bound sees every pixel a decoder has to make.
std::uint32_t Saturated(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t kMax = 0xFFFFFFFFu;
    return a != 0 && b > kMax / a ? static_cast<std::uint32_t>(kMax)
                                  : static_cast<std::uint32_t>(std::min(a * b, kMax));
}

// DDS: height at 12, width at 16; a volume texture's depth at 24 and the
// array size of a DX10 header at 140 multiply the pixels to make.
Result ReadDds(const ByteReader& d, ImageDimensions* out)
{
    if (!d.Has(0, 128))
        return Result::Truncated;
    constexpr std::uint32_t kDepthFlag = 0x800000;
    const std::uint32_t depth = (d.Le32(8) & kDepthFlag) && d.Le32(24) > 1 ? d.Le32(24) : 1;
    std::uint32_t layers = depth;
    if (d.Matches(84, "DX10", 4)) {
        if (!d.Has(128, 20))
            return Result::Truncated;
        layers = Saturated(layers, std::max<std::uint32_t>(d.Le32(140), 1));
    }
    *out = Dims(d.Le32(16), Saturated(d.Le32(12), layers));
    return Result::Ok;
}

// TGA: width and height, 16 bits each, at 12 and 14.
Result ReadTga(const ByteReader& d, ImageDimensions* out)
{
    if (!d.Has(0, 18))
        return Result::Truncated;
    *out = Dims(d.Le16(12), d.Le16(14));
    return Result::Ok;
}

// JPEG XR: the image width and height fields (0xBC80, 0xBC81) of the first
// directory, each a SHORT or a LONG.
Result ReadJpegXr(const ByteReader& d, ImageDimensions* out)
{
    const std::uint64_t directory = d.Le32(4);
    if (!d.Has(directory, 2))
        return Result::Truncated;
    const std::uint32_t count = d.Le16(directory);
    std::uint32_t width = 0, height = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 2 + std::uint64_t(i) * 12;
        if (!d.Has(entry, 12))
            return Result::Truncated;
        const std::uint32_t tag = d.Le16(entry);
        const std::uint32_t type = d.Le16(entry + 2);
        if (tag != 0xBC80 && tag != 0xBC81)
            continue;
        const std::uint32_t value = type == 3 ? d.Le16(entry + 8) : type == 4 ? d.Le32(entry + 8) : 0;
        (tag == 0xBC80 ? width : height) = value;
    }
    if (width == 0 || height == 0)
        return Result::Unknown;
    *out = Dims(width, height);
    return Result::Ok;
}

} // namespace

ImageHeaderResult ReadImageDimensions(const unsigned char* data, std::size_t size, ImageDimensions* out)
{
    if (!data || !out)
        return Result::Unknown;

    const ByteReader d(data, size);
    ImageDimensions dims{};
    Result r = Result::Unknown;
    switch (DetectImageFormat(data, size)) {
    case ImageFormat::Png: r = ReadPng(d, &dims); break;
    case ImageFormat::Jpeg: r = ReadJpeg(d, &dims); break;
    case ImageFormat::Bmp: r = ReadBmp(d, &dims); break;
    case ImageFormat::Gif: r = ReadGif(d, &dims); break;
    case ImageFormat::Tiff: r = ReadTiff(d, &dims); break;
    case ImageFormat::Icon:
    case ImageFormat::Cursor: r = ReadIco(d, &dims); break;
    case ImageFormat::Dds: r = ReadDds(d, &dims); break;
    case ImageFormat::Tga: r = ReadTga(d, &dims); break;
    case ImageFormat::JpegXr: r = ReadJpegXr(d, &dims); break;
    default: break; // BigTIFF and the formats without a size reader here
    }

    if (r != Result::Ok)
        return r;
    if (dims.width == 0 || dims.height == 0)
        return Result::Unknown; // nothing a decoder would draw; let it reject the file
    *out = dims;
    return Result::Ok;
}

bool IsDecodableImageSize(const ImageDimensions& dims)
{
    return Pixels(dims) <= kMaxDecodablePixels;
}

bool IsImageTooLarge(const unsigned char* data, std::size_t size)
{
    ImageDimensions dims{};
    return ReadImageDimensions(data, size, &dims) == ImageHeaderResult::Ok && !IsDecodableImageSize(dims);
}
