// The container of a JPEG XR picture, checked before any codec sees it.
//
// A JPEG XR file is a directory of tagged fields (little-endian, laid out as
// a TIFF directory) in front of the coded image. The system's codec asserts
// on a field it does not expect rather than refusing the file, and an
// assertion ends the program. Measured under Wine: a transformation (tag
// 0xBC02) that is none of the eight orientations, and a descriptive field
// (camera make, artist, page number, caption, ...) of another type or count
// than the codec reads, or a text without its terminating zero. Such
// pictures are refused.
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

// True for a JPEG XR file whose first directory holds a transformation that
// is not a single value from 0 to 7, or a descriptive field not of the form
// the codec expects. Anything else (other formats included) is false.
bool HasUnsafeJpegXrContainer(const unsigned char* data, std::size_t size);
