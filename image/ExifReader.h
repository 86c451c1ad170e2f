// What the EXIF block of a picture says about it: the orientation the camera
// was held in, and the small JPEG it carries as a thumbnail.
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

// A run of bytes inside the data.
struct ByteRange {
    std::size_t offset;
    std::size_t length;
};

// The JPEG thumbnail in a JPEG's EXIF block: IFD1's JPEGInterchangeFormat
// (0x0201, an offset from the block's TIFF header) and
// JPEGInterchangeFormatLength (0x0202). True, with *out the thumbnail's bytes
// as a range of data, when both are there, the range is not empty, lies
// wholly within the EXIF block and starts with a JPEG's SOI; false (out
// untouched) otherwise, also for any data that is not a JPEG.
bool FindExifThumbnail(const unsigned char* data, std::size_t size, ByteRange* out);
