// Arithmetic of the frame window around the view, as free functions so they
// are tested without a window.
#pragma once

#include <windows.h>

#include "settings/ZoomMode.h"

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
// The largest free zoom, at most zoom, at which a frame fits the size of a
// work area: the frame's decorations around the view (their total width and
// height) plus the picture in its displayed orientation (picture, unzoomed)
// times the zoom. The zoom itself when the frame fits already, or when the
// decorations alone fill the work area (no zoom helps then).
double FreeZoomInsideWorkArea(double zoom, SIZE picture, SIZE decorations, SIZE workArea);

// What a fit of the frame around a picture depends on, taken at one moment:
// the zoom settings and free factor, the user's turn, the frame's decorations
// around the view, and its work area (bWork false when none is known).
struct FitSnapshot {
    int mode;
    int value;
    double freeZoom;
    int rotation;
    SIZE decorations;
    SIZE work;
    bool bWork;
};

// The size a picture of this upright size is drawn at (in its own
// orientation) once the frame is fitted around it, as FitWindowToImage and
// the paint will make it: in the free mode with the factor lowered until the
// frame fits its work area.
SIZE DrawnSizeAfterFit(const FitSnapshot& fit, SIZE upright);

// The top-left corner that moves a window as little as needed to lie wholly
// inside the work area; a window larger than the work area gets its left or
// top edge.
POINT KeepWindowInside(const RECT& window, const RECT& workArea);

// The start pulse: every tick the window takes a size between the full and
// half of a base size, centred on the picture's centre, so that one period of
// 500 phase steps shrinks it to half and grows it back.
constexpr int kPulsePeriod = 500;
// The size factor of the full base size; half of it is the smallest size.
constexpr int kPulseFullFactor = 500;

// The pulse's base size from the picture's own width and height (never
// swapped by a rotation) and the zoom settings. Unlike the display size, the
// limits of the fixed modes apply also to pictures smaller than the limit.
// Computed in 64 bits and clamped to 0..INT_MAX; a picture without area gives
// an empty size.
SIZE PulseBaseSize(int imageWidth, int imageHeight, int mode, int value);

// The size factor of a phase, out of 500: 500 (full size) at phase 0, falling
// to 250 (half size) at phase 250 and rising back to 500 at 500. The phase is
// taken modulo the period first, so any phase is accepted.
int PulseSizeFactor(int phase);

// The window rectangle of one tick: half sizes (base / 2) x factor / 500,
// each truncated, around centre, so the rectangle is exactly twice a half
// size wide and high and its centre stays where it was; never smaller than
// kMinReachableSize, so a tiny picture or a zoom value of 0 still leaves a
// window to Shift-click.
RECT PulseWindowRect(POINT centre, SIZE base, int factor);
