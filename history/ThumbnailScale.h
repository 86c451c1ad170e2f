// Shrinking a whole picture into a thumbnail box: every box pixel is the
// average of the part of the picture it covers, so nothing of the picture is
// left out and no detail aliases. Pure pixel arithmetic, tested without a
// window.
#pragma once

#include <cstdint>

// Averages a W x H picture of 24-bit (bytesPerPixel 3) or 32-bit (4) pixels,
// blue first, rows stride bytes apart, into a w x h box of opaque 0xFFRRGGBB
// pixels (rows w pixels apart). A box pixel covers the source columns
// [x * W / w, (x + 1) * W / w) and rows likewise, at least one of each, so a
// box larger than the picture repeats its pixels.
void ShrinkIntoBox(const std::uint8_t* pSource, int nStride, int W, int H, int nBytesPerPixel, std::uint32_t* pBox,
                   int w, int h);
