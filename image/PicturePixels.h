// The pixels of a picture as the view shows it at 100 %: the frame shown (the
// current one of an animation) at the picture's own size, turned and
// mirrored. What the clipboard gets when the picture is copied.
#pragma once

#include <windows.h>

#include "CVirtualBlock.h"
#include "image/CPicture.h"

// Reads the current frame of the picture, turned and mirrored by shown (its
// orientation and the user's turns composed), into *pixels as top-down
// 0xAARRGGBB (alpha not premultiplied), *size of them. A metafile is played
// at its pixel size on white. FALSE, with nothing held, when the memory or
// the decoder fails.
BOOL ReadShownPixels(const CPicture& picture, TransformState shown, CVirtualBlock* pixels, SIZE* size);
