// Display arithmetic of the image view: zoomed and displayed sizes per zoom
// mode, the display rectangle, the free zoom factor, the drawn size and zoom
// percent of a paint, the white margins, and the rotation and mirror
// transform. Free functions, so they are tested without a window.
//
// The mode is a ZoomMode; the value is a percent in ZOOM_PERCENT and a pixel
// limit in the fixed modes.
// W and H are always the image's size in its own orientation; rotation is the
// number of clockwise quarter turns (0-3).
//
// Sizes follow the integer rules of the view (truncation toward zero) but are
// computed in 64 bits and clamped into int, and never divide by zero: an
// image with a width or height of 0 or less gives empty sizes. Zero and
// negative limits are used as they are and can give empty or negative sizes;
// the caller must not make a bitmap from a size below 1.
#pragma once

#include <windows.h>

#include "image/PictureTransform.h"
#include "settings/ZoomMode.h"

// True for rotation 1 and 3, where width and height are seen swapped.
bool IsQuarterTurn(int rotation);

// (w0, h0): the zoomed size in the image's own orientation.
SIZE ComputeZoomedSize(int W, int H, int mode, int value, double freeZoom);

// (dw, dh): the zoomed size as seen on the screen, swapped for rotation 1, 3.
SIZE ComputeDisplaySize(int W, int H, int mode, int value, double freeZoom, int rotation);

// The display rectangle: a rectangle of the display size centred on the
// view's window rectangle (centre and halves truncated toward zero).
RECT CenteredImageRect(const RECT& viewWindowRect, SIZE display);

// The free zoom factor that makes the picture cover a view of vw x vh: the
// larger of vw / Wd and vh / Hd. 1.0 when the image has no area.
double ComputeFreeZoom(int vw, int vh, int W, int H, int rotation);

// The off-screen bitmap size: the display size turned back into the image's
// own orientation.
SIZE BitmapSizeForDisplay(SIZE display, int rotation);

// The size at which a paint draws the image into a bw x bh bitmap, and the
// zoom percent it reports. Cover mode scales the image to cover the bitmap,
// whatever the mode.
struct DrawnSize {
    int width;
    int height;
    int percent;
};
DrawnSize ComputeDrawnSize(int W, int H, int bw, int bh, int mode, int value, bool coverView);

// The margins of a bw x bh bitmap left white around an image drawn at
// drawnW x drawnH from the top-left corner: the strip to the right of the
// image (only when bw > drawnW), then the strip below it (only when
// bh > drawnH). The corner right of and below the image is in neither.
// Returns how many rectangles were written (0 to 2).
int MarginRects(int bw, int bh, int drawnW, int drawnH, RECT strips[2]);

// The part of a paint that shows: a paint draws only what lies within
// `visible` (view client coordinates: the client area, the part the window
// system lets through) of the dw x dh display at the view's top-left corner.
// source is that part of the off-screen bitmap (the image's own orientation,
// relative to the whole bitmap's upper-left corner), and pts are where its
// upper-left, upper-right and lower-left corners land, so that transferring
// just that part gives exactly those pixels of the whole transfer. empty when
// nothing of the display shows.
struct PaintRegion {
    bool empty;
    RECT source;
    POINT pts[3];
};
PaintRegion ComputePaintRegion(int rotation, bool mirrored, SIZE display, const RECT& visible);
