// Reading a picture file into memory for the decoders: the whole file in one
// movable global block (a stream is then made over it), checked before any
// decoder sees it.
#pragma once

#include <windows.h>

#include "CGlobalBlock.h"

enum class ImageFileResult {
    Ok,          // the block holds the file's bytes (its size is the file's length)
    CannotOpen,  // missing, a folder, no access, held with no sharing, too large, a short read
    Unsupported, // empty, over the pixel bound, or offsets beyond the data
    NoMemory,    // the global block could not be had
};

// The file is opened for reading shared with readers and writers (another
// window, an editor or a browser may have it open), read whole straight into
// the block and closed at once. The header's pixel size is checked from the
// first bytes before the rest is read, so a picture over the bound costs
// neither the time nor the memory of reading it; the whole structure is
// checked once the file is in memory. On any result but Ok nothing is
// allocated.
ImageFileResult ReadImageFile(const char* path, CGlobalBlock& data);
