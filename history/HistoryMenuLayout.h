// The arithmetic of an owner-drawn history entry: a 2-pixel margin, the
// thumbnail box, 2 more pixels, then the path, centred on the box. Free
// functions, so they can be tested without a window.
//
// The settings dialog takes any number for the thumbnail size. A width or
// height of 0 or below gives a box of no size in that direction (the entry
// keeps a sane size and no picture is drawn); one beyond kMaxThumbnailExtent
// (up to INT_MAX, which a long row of digits becomes) is laid out at that
// bound. Every sum is worked out in 64 bits and clamped into int, so no
// size or position wraps.
#pragma once

#include <windows.h>

// The largest box side laid out: wider than any screen, and far enough from
// INT_MAX that the menu can add its own borders to an entry.
constexpr int kMaxThumbnailExtent = 0x7FFF;

// A box side as laid out: the size within 0..kMaxThumbnailExtent.
int ThumbnailExtent(int nSize);

// Width and height of an entry whose path text measures text.
SIZE HistoryEntrySize(int nThumbWidth, int nThumbHeight, SIZE text);

// Where the path text starts in the entry rectangle rcItem.
POINT HistoryTextOrigin(const RECT& rcItem, int nThumbWidth, int nThumbHeight, int nTextHeight);

// The thumbnail box in the entry rectangle; empty when a side is 0 or below.
RECT HistoryThumbnailRect(const RECT& rcItem, int nThumbWidth, int nThumbHeight);

// The background of the entry of the picture shown in this window: each of
// red, green and blue of the menu colour c becomes (c / 4) * 3.
COLORREF DarkerMenuColour(COLORREF crMenu);
