// Device-independent bitmaps as the clipboard holds them (CF_DIB and
// CF_DIBV5): a BITMAPINFOHEADER or one of its longer forms (V4, V5), the
// colour masks or the colour table, then the rows. One that another program
// put there is checked against the bytes that are really there before a
// pixel is read; one that this program puts there is written from the 32-bit
// pixels of the picture shown.
//
// Pure byte work, bounds-checked: no Windows calls.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the parts of a checked DIB lie and how its pixels are stored.
struct DibLayout {
    int width = 0;
    int height = 0; // rows, always positive
    bool bTopDown = false;
    int bitCount = 0;              // 1, 4, 8, 16, 24 or 32
    std::uint32_t masks[4] = {};   // red, green, blue, alpha (16 and 32 bits); alpha 0: none
    std::size_t paletteOffset = 0; // the colour table (1, 4 and 8 bits), 4 bytes an entry
    std::size_t paletteCount = 0;
    std::size_t bitsOffset = 0; // the first stored row
    std::size_t stride = 0;     // bytes from one stored row to the next
};

// Checks a DIB in data[0, size): a header of 40 (BITMAPINFOHEADER), 52 or 56
// (the colour masks, and the alpha mask, inside), 108 (V4) or 124 (V5) bytes; a width above 0 and a height other than 0 (below 0: the
// rows are stored top-down); 1, 4, 8, 16, 24 or 32 bits a pixel; no
// compression, or bit fields at 16 and 32 bits (the masks follow a 40-byte
// header and lie inside the longer ones); a colour table no longer than the
// bits can index; no more pixels than a picture may have
// (kMaxDecodablePixels); and the rows, and the image size the header gives
// when it gives one, within the data. False, with *out untouched, for
// anything else.
bool CheckClipboardDib(const unsigned char* data, std::size_t size, DibLayout* out);

// The pixels of a checked DIB as 0xAARRGGBB, top row first, width x height
// of them into out. An index beyond the colour table reads black. Alpha is
// read only where a header of 56 bytes or more gives an alpha mask and some
// pixel uses
// it (programs that name the mask but leave every alpha 0 mean an opaque
// picture); everything else is opaque (alpha 0xFF).
void ReadDibPixels(const unsigned char* data, const DibLayout& layout, std::uint32_t* out);

// The DIBs written for the clipboard, both bottom-up (as every program reads
// them):
//  - Rgb24: a BITMAPINFOHEADER and 24-bit rows, transparent pixels blended
//    over white, for CF_DIB;
//  - Argb32V5: a BITMAPV5HEADER with bit fields (alpha mask 0xFF000000,
//    alpha not premultiplied) and sRGB, for CF_DIBV5.
enum class DibKind {
    Rgb24,
    Argb32V5,
};

// The bytes a DIB of that kind and size takes; 0 for an empty size or one
// too large to address.
std::size_t DibByteSize(DibKind kind, int width, int height);

// Writes the DIB of the top-down 0xAARRGGBB pixels (width x height) into out,
// which holds DibByteSize(kind, width, height) bytes.
void WriteDib(DibKind kind, const std::uint32_t* pixels, int width, int height, unsigned char* out);

// Whether any of the count pixels is less than opaque.
bool HasTransparency(const std::uint32_t* pixels, std::size_t count);
