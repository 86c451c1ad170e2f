// Drawing the part of a picture that a paint shows into the view's
// off-screen bitmap, and the rest of the view around the display.
#pragma once

#include <windows.h>

#include "view/ImageGeometry.h"

class CPicture;

// Where a paint puts the picture in the whole off-screen bitmap. Upright
// (as the picture stands, before the user's turns) the bitmap is bitmap.cx x
// bitmap.cy: the picture drawn at drawn.width x drawn.height from its corner,
// white margins beside and below it, the corner beside and below both black.
// The off-screen bitmap holds that turned back into the picture's stored
// orientation, so that one transfer takes it to the screen through the
// orientation and the user's turns at once; these are the stored places.
struct PaintLayout {
    SIZE bitmap;  // the whole off-screen bitmap, stored orientation
    RECT picture; // where the stored picture is drawn (may reach beyond)
    int nMargins; // white strips, 0 to 2
    RECT margins[2];
    bool bCorner; // the black corner beside and below the picture
    RECT corner;
};
PaintLayout LayOutPaint(TransformState orientation, SIZE bitmap, const DrawnSize& drawn);

// Draws the part source of the whole off-screen bitmap laid out as layout
// into the top-left corner of hdc. The whole picture is drawn shifted, so
// every pixel is the one a draw of the whole would give there.
//
// hdc may still hold an earlier paint. Unless bCoversFully (an opaque picture
// at its own size, which covers every pixel it is drawn on), the part is
// cleared to black first, as on a newly made bitmap: transparent pixels and
// the edges of an enlarged picture (GDI+ blends them with what is there) must
// never show an earlier paint.
void DrawPicturePart(HDC hdc, const CPicture& picture, const PaintLayout& layout, const RECT& source,
                     bool bCoversFully);

// When the frame cannot shrink the view to the picture (a window has a
// smallest size), the rest of the client area shows the window colour rather
// than whatever was there before.
void FillOutsideDisplay(HDC hdc, const RECT& client, SIZE display);
