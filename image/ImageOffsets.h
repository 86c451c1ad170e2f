// The offsets a picture's structure holds, checked before any decoder sees
// it. Decoders seek to them (where the pixels of a bitmap start, where a
// TIFF's next directory, strips, tiles and long tag values are, where an
// icon's images are), and a memory stream moved beyond the end of its data
// reads memory that is not its own.
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

// True when an offset in the picture's structure points beyond the end of
// the data: BMP pixel data (and an embedded colour profile), TIFF and BigTIFF
// directories, strips, tiles, sub-directories and tag values, in either byte
// order, and icon images. An offset equal to the size reads nothing and
// passes; so does data cut short after a valid offset (only a short read).
bool HasOffsetBeyondData(const unsigned char* data, std::size_t size);
