// Shrinking a whole picture into a thumbnail box: every box pixel is the
// average of the part of the picture it covers, so nothing of the picture is
// left out and no detail aliases. And whether the small picture a camera
// keeps beside a photo can stand in for the photo. Pure arithmetic, tested
// without a window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/PictureTransform.h"

// Averages a W x H picture of 24-bit (bytesPerPixel 3) or 32-bit (4) pixels,
// blue first, rows stride bytes apart, into a w x h box of opaque 0xFFRRGGBB
// pixels (rows w pixels apart). A box pixel covers the source columns
// [x * W / w, (x + 1) * W / w) and rows likewise, at least one of each, so a
// box larger than the picture repeats its pixels.
void ShrinkIntoBox(const std::uint8_t* pSource, int nStride, int W, int H, int nBytesPerPixel, std::uint32_t* pBox,
                   int w, int h);

// Whether a camera's thumbnail of stored size thumbnail can be shrunk into a
// box of size box (upright) in place of its photo of stored size picture:
// the thumbnail has the photo's aspect ratio (within 1 %), and turned
// upright by the photo's orientation it is at least as large as the box
// both ways. A camera stores the thumbnail as it stores the photo, so the
// same orientation turns both; a thumbnail with bars above and below (a 4:3
// thumbnail of a 3:2 photo) or one stored upright while the photo is not
// fails the aspect. False for any side of 0 or below.
bool IsExifThumbnailUsable(SIZE thumbnail, SIZE picture, TransformState orientation, SIZE box);
