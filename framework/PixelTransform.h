// Moving 32-bit pixels through the eight axis-aligned transforms (quarter
// turns and mirrors), as a parallelogram transfer does when its sides are
// parallel to the axes. Pure arithmetic on points, rectangles and memory
// buffers: no device contexts, no threads.
//
// The three points are, as for PlgBlt, where the source's upper-left,
// upper-right and lower-left corners land: corners of pixels, not pixel
// centres. With u = p1 - p0 and v = p2 - p0, a source pixel (x, y) covers
// the area p0 + u * [x, x + 1] / width + v * [y, y + 1] / height.
#pragma once

#include <windows.h>

// How an axis-aligned transfer moves pixels. Source (x, y) of a sw x sh
// picture lands on destination pixel
//   bSwap false: (bFlipX ? sw-1-x : x, bFlipY ? sh-1-y : y), destination sw x sh
//   bSwap true:  (bFlipX ? sh-1-y : y, bFlipY ? sw-1-x : x), destination sh x sw
// so with bSwap the source's rows become the destination's columns.
struct PlgAxes {
    bool bSwap;
    bool bFlipX;
    bool bFlipY;
};

// Reads the axes and the destination's bounding rectangle from the three
// points. False when a side is empty or not parallel to an axis.
bool GetPlgAxes(const POINT pts[3], PlgAxes* pAxes, RECT* prcBounds);

// The destination size of a sw x sh source: swapped when the axes swap.
SIZE TransformedSize(const PlgAxes& axes, int sw, int sh);

// The part of a sw x sh source that lands on rcDest, a rectangle inside the
// destination given relative to its upper-left corner. Moving just that part
// with the same axes gives exactly that part of the whole destination.
RECT MapDestRectToSource(const PlgAxes& axes, int sw, int sh, const RECT& rcDest);

// The part of the destination that a rectangle of the source lands on,
// relative to the destination's upper-left corner; the inverse of
// MapDestRectToSource.
RECT MapSourceRectToDest(const PlgAxes& axes, int sw, int sh, const RECT& rcSrc);

// Moves the 32-bit pixels of a sw x sh source into the destination (its size
// is TransformedSize). Pitches are in bytes per row, top row first; a
// negative source pitch reads a bottom-up picture.
void TransformPixels(const void* pSrc, int nSrcPitch, int sw, int sh, void* pDst, int nDstPitch, const PlgAxes& axes);
