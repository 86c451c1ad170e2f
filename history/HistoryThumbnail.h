// Thumbnails of the history menu: a picture file read and decoded once, drawn
// whole, stretched to exactly the box (first frame), into a bitmap of the
// box's size that is then drawn as often as the menu needs.
#pragma once

#include <windows.h>

class CBitmap;

// Box-sized thumbnails beyond this many pixels are not made (a box that
// large is no menu entry any more).
constexpr long long kMaxThumbnailPixels = 4096LL * 4096LL;

// Reads the file (shared with other programs that have it open), refuses a
// header that claims more pixels than can be decoded safely, decodes it and
// draws it into a new 32-bit premultiplied-alpha bitmap of nWidth x nHeight.
// FALSE, with bitmap untouched, when the file cannot be read or decoded or
// the box has a side of 0 or below or is too large.
BOOL MakeThumbnail(const char* path, int nWidth, int nHeight, CBitmap& bitmap);

// Draws a thumbnail made by MakeThumbnail with its top-left corner at (x, y),
// blending transparent parts over what is there.
BOOL DrawThumbnail(HDC hdc, int x, int y, HBITMAP hThumbnail);
