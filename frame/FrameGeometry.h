// Arithmetic of the frame window around the view, as free functions so they
// are tested without a window.
#pragma once

#include <windows.h>

// The smallest window a user can still find and right-click: no zoom value,
// stored setting or command-line suffix makes a frame smaller than this, or
// places it with less than this much of it on a screen.
constexpr int kMinReachableSize = 16;

// The frame size that gives the view exactly the size of the image rectangle
// (the display rectangle in screen coordinates): the frame's
// decorations around the view (borders, caption, bars), taken from the
// current frame and view window rectangles, keep their sizes. Computed in 64
// bits and clamped to kMinReachableSize..INT_MAX, so an absurd image size (a
// zoom value of INT_MAX) never wraps into a negative window size, and a zoom
// value of 0 or below never leaves a window too small to find (the view then
// shows the window colour around the picture).
SIZE FrameSizeAroundImage(const RECT& frame, const RECT& view, const RECT& image);

// The top-left corner for a window that keeps at least kMinReachableSize x
// kMinReachableSize of itself (all of it, when smaller) inside the work area
// of the screen nearest to it; the corner as it is when that already holds.
POINT KeepWindowReachable(const RECT& window, const RECT& workArea);
