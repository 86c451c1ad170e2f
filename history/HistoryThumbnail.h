// Thumbnails of the history menu: a picture file read and decoded once (or
// a camera photo's own small thumbnail), drawn whole, stretched to exactly
// the box (first frame), into a bitmap that is then drawn as often as the
// menu needs.
#pragma once

#include <windows.h>

#include "image/CPicture.h"

class CBitmap;

// The longest side a kept thumbnail has: a box larger than this (no menu
// entry shows more) is drawn from a thumbnail of this size, stretched, so an
// open submenu never holds more than 1 MiB per entry, whatever box the
// settings ask for.
constexpr int kMaxKeptThumbnailSide = 512;

// The size of the thumbnail kept for a box of nWidth x nHeight: the box, or
// the box scaled down (its aspect kept, each side at least 1) so that no side
// exceeds kMaxKeptThumbnailSide. 0 x 0 for a side of 0 or below.
SIZE KeptThumbnailSize(int nWidth, int nHeight);

// Reads the file (shared with other programs that have it open, refused when
// its header claims more pixels than can be decoded safely), decodes it and
// draws it into a new 32-bit premultiplied-alpha bitmap of the kept size for
// a box of nWidth x nHeight. A camera photo whose EXIF block holds a JPEG
// thumbnail that fits the box (image/ExifThumbnail.h, IsExifThumbnailUsable)
// is drawn from that thumbnail instead, without decoding the photo. A
// metafile with ellipses too large to work out is drawn without them, as
// the view draws it. FALSE, with bitmap untouched, when the file cannot be
// read or decoded, the box has a side of 0 or below, or cancelled (asked
// between bands of the decoding) answered true. Any thread may call it (the
// history menu's worker does).
BOOL MakeThumbnail(const char* path, int nWidth, int nHeight, CBitmap& bitmap, const CancelCheck& cancelled = nullptr);

// Draws a thumbnail made by MakeThumbnail stretched into box, blending
// transparent parts over what is there.
BOOL DrawThumbnail(HDC hdc, const RECT& box, HBITMAP hThumbnail);
