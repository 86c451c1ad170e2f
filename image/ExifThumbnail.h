// The small JPEG a camera keeps in the EXIF block of a photo, found from the
// first bytes of the file without decoding the photo itself: what a
// thumbnail can be made from at a fraction of the cost.
#pragma once

#include "CGlobalBlock.h"
#include "image/ImageDimensions.h"

struct ExifThumbnail {
    ImageDimensions picture;   // the photo's stored size, from its frame header
    int orientation = 1;       // the photo's EXIF orientation (1..8)
    ImageDimensions thumbnail; // the thumbnail's stored size, from its own frame header
    CGlobalBlock data;         // the thumbnail's bytes, a JPEG
};

// Reads the start of the file at path (shared, as image/ImageFile.h reads
// pictures) and, when it is a JPEG whose EXIF block carries a thumbnail,
// copies the thumbnail's bytes into out->data. True only when the photo's
// frame header lies in that start too, the photo is within the pixel bound,
// and the thumbnail passes the checks a picture file passes before a decoder
// sees it; false, with out untouched, otherwise.
bool ReadExifThumbnail(const char* path, ExifThumbnail* out);
