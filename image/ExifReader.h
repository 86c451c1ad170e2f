// What the EXIF block of a picture says about it: the orientation the camera
// was held in.
//
// The EXIF block of a JPEG is its APP1 segment "Exif\0\0", then a TIFF
// structure whose offsets count from its own header; a TIFF file holds the
// same tags in its first directory. Damaged blocks are read as far as they
// hold together and give "nothing" beyond that.
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

// Orientation 1: the stored picture is upright. 2-8 are the turns and
// mirrors of tag 0x0112 (see ExifOrientationState in view/ImageGeometry.h).
constexpr int kExifUpright = 1;

// The orientation (1..8) of a JPEG (tag 0x0112 in IFD0 of its EXIF block,
// either byte order) or of a TIFF or BigTIFF file (IFD0 of the file itself).
// 1 ("as stored") when there is none, when the value is outside 1..8 or not a
// SHORT, when the block is damaged, and for every other kind of data.
int ReadExifOrientation(const unsigned char* data, std::size_t size);
