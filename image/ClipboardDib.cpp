#include "image/ClipboardDib.h"

#include <climits>
#include <cstring>

#include "image/ByteReader.h"
#include "image/ImageDimensions.h"

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
// The header with the colour masks inside, and with the alpha mask too (what
// Wine's clipboard makes a CF_DIB of a CF_DIBV5 with).
constexpr std::uint32_t kV2HeaderSize = 52;
constexpr std::uint32_t kV3HeaderSize = 56;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::uint32_t kCompressionNone = 0;      // BI_RGB
constexpr std::uint32_t kCompressionBitFields = 3; // BI_BITFIELDS
// Where the masks lie: after a 40-byte header, or at the same place inside a
// longer one; from 56 bytes on the alpha mask follows them.
constexpr std::size_t kMasksAt = 40;
constexpr std::size_t kAlphaMaskAt = 52;
constexpr std::size_t kMaskBytes = 12;
constexpr std::uint32_t kSrgb = 0x73524742;   // LCS_sRGB
constexpr std::uint32_t kGmImages = 4;        // LCS_GM_IMAGES
constexpr std::uint32_t kOpaque = 0xFF000000; // the alpha of an opaque pixel

std::uint64_t StrideOf(std::uint64_t width, int bitCount)
{
    return (width * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

// One colour channel of a bit-field pixel: its mask, moved down to bit 0.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
};

Channel ChannelOf(std::uint32_t mask)
{
    Channel c;
    if (mask == 0)
        return c;
    c.mask = mask;
    while (!((mask >> c.shift) & 1))
        ++c.shift;
    c.max = mask >> c.shift;
    return c;
}

// The channel's value of v on a scale of 0..255.
std::uint32_t Scaled(std::uint32_t v, const Channel& c)
{
    if (c.max == 0)
        return 0;
    const std::uint32_t x = (v & c.mask) >> c.shift; // never above c.max
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(x) * 255 / c.max);
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return a << 24 | r << 16 | g << 8 | b;
}

void Put16(unsigned char*& p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p += 2;
}

void Put32(unsigned char*& p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        *p++ = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t HeaderSizeOf(DibKind kind)
{
    return kind == DibKind::Rgb24 ? kInfoHeaderSize : kV5HeaderSize;
}

int BitCountOf(DibKind kind)
{
    return kind == DibKind::Rgb24 ? 24 : 32;
}

// A channel of an ARGB pixel blended over white by its alpha.
unsigned char OverWhite(std::uint32_t channel, std::uint32_t alpha)
{
    return static_cast<unsigned char>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

} // namespace

bool CheckClipboardDib(const unsigned char* data, std::size_t size, DibLayout* out)
{
    const ByteReader r(data, size);
    const std::uint32_t headerSize = r.Le32(0);
    switch (headerSize) {
    case kInfoHeaderSize:
    case kV2HeaderSize:
    case kV3HeaderSize:
    case kV4HeaderSize:
    case kV5HeaderSize: break;
    default: return false;
    }
    if (!r.Has(0, headerSize))
        return false;
    const auto width = static_cast<std::int32_t>(r.Le32(4));
    const auto height = static_cast<std::int32_t>(r.Le32(8));
    const int bitCount = static_cast<int>(r.Le16(14));
    const std::uint32_t compression = r.Le32(16);
    const std::uint32_t sizeImage = r.Le32(20);
    const std::uint32_t colorsUsed = r.Le32(32);
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return false;
    const std::uint64_t rows = height < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height))
                                          : static_cast<std::uint64_t>(height);
    if (static_cast<std::uint64_t>(width) * rows > kMaxDecodablePixels)
        return false;

    DibLayout layout;
    layout.width = width;
    layout.height = static_cast<int>(rows);
    layout.bTopDown = height < 0;
    layout.bitCount = bitCount;
    std::uint64_t pos = headerSize;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (compression != kCompressionNone)
            return false;
        break;
    case 16:
    case 32:
        if (compression == kCompressionBitFields) {
            for (int i = 0; i < 3; ++i)
                layout.masks[i] = r.Le32(kMasksAt + 4 * static_cast<std::size_t>(i));
            // No colour bit at all: a lie, not a black picture.
            if ((layout.masks[0] | layout.masks[1] | layout.masks[2]) == 0)
                return false;
            if (headerSize == kInfoHeaderSize)
                pos += kMaskBytes;
        } else if (compression == kCompressionNone) {
            const bool b16 = bitCount == 16;
            layout.masks[0] = b16 ? 0x7C00 : 0xFF0000;
            layout.masks[1] = b16 ? 0x03E0 : 0x00FF00;
            layout.masks[2] = b16 ? 0x001F : 0x0000FF;
        } else {
            return false;
        }
        if (headerSize >= kV3HeaderSize)
            layout.masks[3] = r.Le32(kAlphaMaskAt);
        break;
    default: return false;
    }

    // The colour table: as many entries as the bits can index unless the
    // header says fewer; above 8 bits an optional table that is skipped.
    std::uint64_t colours = colorsUsed;
    if (bitCount <= 8) {
        const std::uint64_t most = 1ULL << bitCount;
        if (colours == 0)
            colours = most;
        if (colours > most)
            return false;
        layout.paletteCount = static_cast<std::size_t>(colours);
    }
    layout.paletteOffset = static_cast<std::size_t>(pos);
    pos += colours * 4;

    const std::uint64_t stride = StrideOf(static_cast<std::uint64_t>(width), bitCount);
    const std::uint64_t image = stride * rows;
    if (!r.Has(pos, image))
        return false;
    if (sizeImage != 0 && (sizeImage < image || !r.Has(pos, sizeImage)))
        return false;
    layout.bitsOffset = static_cast<std::size_t>(pos);
    layout.stride = static_cast<std::size_t>(stride);
    *out = layout;
    return true;
}

void ReadDibPixels(const unsigned char* data, const DibLayout& layout, std::uint32_t* out)
{
    const Channel red = ChannelOf(layout.masks[0]);
    const Channel green = ChannelOf(layout.masks[1]);
    const Channel blue = ChannelOf(layout.masks[2]);
    const Channel alpha = ChannelOf(layout.masks[3]);
    const bool bAlpha = alpha.max != 0 && layout.bitCount >= 16;
    const unsigned char* palette = data + layout.paletteOffset;
    const std::size_t count = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height);
    bool bAnyAlpha = false;

    for (int y = 0; y < layout.height; ++y) {
        const std::size_t stored = static_cast<std::size_t>(layout.bTopDown ? y : layout.height - 1 - y);
        const unsigned char* row = data + layout.bitsOffset + stored * layout.stride;
        std::uint32_t* dst = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(layout.width);
        for (int x = 0; x < layout.width; ++x) {
            std::uint32_t px = kOpaque;
            const auto ux = static_cast<std::size_t>(x);
            switch (layout.bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bit = ux * static_cast<std::size_t>(layout.bitCount);
                const int shift = 8 - layout.bitCount - static_cast<int>(bit % 8);
                const std::size_t index = (row[bit / 8] >> shift) & ((1u << layout.bitCount) - 1);
                if (index < layout.paletteCount) {
                    const unsigned char* c = palette + index * 4;
                    px = Argb(0xFF, c[2], c[1], c[0]);
                }
                break;
            }
            case 24: px = Argb(0xFF, row[ux * 3 + 2], row[ux * 3 + 1], row[ux * 3]); break;
            default: {
                std::uint32_t v = 0;
                if (layout.bitCount == 16)
                    v = static_cast<std::uint32_t>(row[ux * 2]) | static_cast<std::uint32_t>(row[ux * 2 + 1]) << 8;
                else
                    std::memcpy(&v, row + ux * 4, 4);
                const std::uint32_t a = bAlpha ? Scaled(v, alpha) : 0xFF;
                bAnyAlpha = bAnyAlpha || (bAlpha && a != 0);
                px = Argb(a, Scaled(v, red), Scaled(v, green), Scaled(v, blue));
                break;
            }
            }
            dst[x] = px;
        }
    }
    if (bAlpha && !bAnyAlpha) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] |= kOpaque;
    }
}

std::size_t DibByteSize(DibKind kind, int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    const std::uint64_t bytes = HeaderSizeOf(kind) + StrideOf(static_cast<std::uint64_t>(width), BitCountOf(kind)) *
                                                         static_cast<std::uint64_t>(height);
    return bytes > SIZE_MAX || bytes > UINT32_MAX ? 0 : static_cast<std::size_t>(bytes);
}

void WriteDib(DibKind kind, const std::uint32_t* pixels, int width, int height, unsigned char* out)
{
    const int bitCount = BitCountOf(kind);
    const auto stride = static_cast<std::size_t>(StrideOf(static_cast<std::uint64_t>(width), bitCount));
    unsigned char* p = out;
    Put32(p, HeaderSizeOf(kind));
    Put32(p, static_cast<std::uint32_t>(width));
    Put32(p, static_cast<std::uint32_t>(height)); // bottom-up
    Put16(p, 1);
    Put16(p, static_cast<std::uint32_t>(bitCount));
    Put32(p, kind == DibKind::Rgb24 ? kCompressionNone : kCompressionBitFields);
    Put32(p, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
    Put32(p, 0); // pixels per metre: not given
    Put32(p, 0);
    Put32(p, 0); // colours used
    Put32(p, 0); // colours important
    if (kind == DibKind::Argb32V5) {
        Put32(p, 0x00FF0000);
        Put32(p, 0x0000FF00);
        Put32(p, 0x000000FF);
        Put32(p, 0xFF000000);
        Put32(p, kSrgb);
        std::memset(p, 0, 36 + 12); // end points, gamma
        p += 36 + 12;
        Put32(p, kGmImages);
        Put32(p, 0); // no profile
        Put32(p, 0);
        Put32(p, 0); // reserved
    }

    for (int y = 0; y < height; ++y) {
        const std::uint32_t* src = pixels + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
        unsigned char* row = p + static_cast<std::size_t>(y) * stride;
        if (kind == DibKind::Argb32V5) {
            std::memcpy(row, src, static_cast<std::size_t>(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint32_t px = src[x];
            const std::uint32_t a = px >> 24;
            row[x * 3] = OverWhite(px & 0xFF, a);
            row[x * 3 + 1] = OverWhite((px >> 8) & 0xFF, a);
            row[x * 3 + 2] = OverWhite((px >> 16) & 0xFF, a);
        }
        std::memset(row + static_cast<std::size_t>(width) * 3, 0, stride - static_cast<std::size_t>(width) * 3);
    }
}

bool HasTransparency(const std::uint32_t* pixels, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if ((pixels[i] & kOpaque) != kOpaque)
            return true;
    }
    return false;
}
