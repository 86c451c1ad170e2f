// What the mouse wheel does over the picture: it steps the zoom through the
// percent items (10 % ... 100 %) and, with Ctrl, the translucency through its
// items (10 % ... 90 %, then none). Each step is the command of that menu
// item, so the wheel changes, saves and refits exactly as the menu does.
// Free functions, tested without a window.
#pragma once

#include <windows.h>

// Whole notches in the wheel turns so far: delta (positive when the wheel
// turns away from the user) is added to *pRemainder, which starts afresh when
// the direction changes, and the whole WHEEL_DELTA units are taken out. A
// fine-grained wheel sends parts of a notch; they count once they add up.
int TakeWheelNotches(int* pRemainder, int delta);

// The zoom, in percent, that the view displays: the value in ZOOM_PERCENT,
// the free factor in ZOOM_ANY, and in the fixed-size modes the displayed size
// against the picture's own. 0 for a picture without area.
double DisplayedZoomPercent(int W, int H, int mode, int value, double freeZoom);

// The zoom command `notches` steps away from a display at percent: forward
// (positive) to larger steps. A display between two steps (the free and the
// fixed-size modes, or a value off the steps) goes to the next step in that
// direction first. Steps end at 10 % and 100 % (no wrap); 0 when no step lies
// in that direction.
UINT ZoomCommandForWheel(double percent, int notches);

// The translucency command `notches` steps away from the opacity alpha:
// forward (positive) is more opaque, up to "半透明なし" (100 %). 0 when no
// step lies in that direction.
UINT AlphaCommandForWheel(int alpha, int notches);
