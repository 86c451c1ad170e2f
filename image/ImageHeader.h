// The checks of a picture's header and structure before any decoder sees
// it: the pixel size (image/ImageDimensions.h), the offsets
// (image/ImageOffsets.h) and the records of a metafile
// (image/MetafileCheck.h), and what the view refuses of them.
#pragma once

#include <cstddef>

#include "image/ImageDimensions.h"
#include "image/ImageOffsets.h"

// What the view refuses before any decoder sees it: a picture over the pixel
// bound, one with an offset beyond its data, a metafile whose records a
// player must not be given, a JPEG XR container its codec asserts on, or a
// DDS header whose mipmap count keeps its codec busy for minutes.
bool IsImageRefused(const unsigned char* data, std::size_t size);
