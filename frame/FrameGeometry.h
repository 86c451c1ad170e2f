// Arithmetic of the frame window around the view, as free functions so they
// are tested without a window.
#pragma once

#include <windows.h>

// The frame size that gives the view exactly the size of the image rectangle
// (the display rectangle in screen coordinates): the frame's
// decorations around the view (borders, caption, bars), taken from the
// current frame and view window rectangles, keep their sizes. Computed in 64
// bits and clamped to 0..INT_MAX, so an absurd image size (a zoom value of
// INT_MAX) never wraps into a negative window size.
SIZE FrameSizeAroundImage(const RECT& frame, const RECT& view, const RECT& image);
