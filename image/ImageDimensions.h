// Pixel size of a picture read from its file header, checked before any
// decoder sees it. A decoder trusts the header and allocates width x height
// up front: a JPEG claiming 65000 x 65000 crashes GDI+ under Wine, and any
// format can ask for gigabytes. The view refuses pictures over the bound
// below.
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

struct ImageDimensions {
    unsigned long width;
    unsigned long height;
};

enum class ImageHeaderResult {
    Ok,        // *out holds the size
    Unknown,   // not a format read here (metafile, text, ...) or a malformed header
    Truncated, // a known format, but the data ends before the size
};

// Reads the pixel size from the header of a picture held in memory:
//  - BMP (BITMAPCOREHEADER and BITMAPINFOHEADER or later; top-down counts as positive)
//  - JPEG (first SOFn frame header; a height left to DNL is Unknown)
//  - PNG (IHDR)
//  - GIF (logical screen grown to cover every image descriptor found in the data)
//  - TIFF, both byte orders (largest page of the IFD chain)
//  - ICO / CUR (largest entry; directory values, 0 meaning 256, and the
//    embedded PNG or DIB header when it lies inside the data, whichever is larger)
//  - DDS (the height counts every slice of a volume and every array layer)
//  - TGA (the header's 16-bit width and height)
//  - JPEG XR (the image width and height fields of the first directory)
// Where a format holds several pictures, the one that breaks the bound wins,
// otherwise the one with the most pixels. out is written only on Ok.
ImageHeaderResult ReadImageDimensions(const unsigned char* data, std::size_t size, ImageDimensions* out);

// Decoders keep 4 bytes per pixel plus the view's off-screen copy: 256 MP is
// about 1 GiB decoded, and more than Wine's GDI+ survives.
constexpr unsigned long long kMaxDecodablePixels = 1ULL << 28; // 16384 x 16384

// True when a picture of this size may be decoded.
bool IsDecodableImageSize(const ImageDimensions& dims);

// True when the header is readable and the picture is over the bound. Unknown
// or truncated headers give false: the decoder then decides on its own.
bool IsImageTooLarge(const unsigned char* data, std::size_t size);
