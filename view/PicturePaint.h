// Drawing the part of a picture that a paint shows into the view's
// off-screen bitmap, and the rest of the view around the display.
#pragma once

#include <windows.h>

#include "view/ImageGeometry.h"

class CPicture;

// Draws the part source of the whole off-screen picture (bitmap.cx x
// bitmap.cy: the picture drawn at drawn.width x drawn.height from its corner,
// white margins beside and below it, the corner beside and below both black)
// into the top-left corner of hdc. The whole picture is drawn shifted, so
// every pixel is the one a draw of the whole would give there.
//
// hdc may still hold an earlier paint. Unless bCoversFully (an opaque picture
// at its own size, which covers every pixel it is drawn on), the part is
// cleared to black first, as on a newly made bitmap: transparent pixels and
// the edges of an enlarged picture (GDI+ blends them with what is there) must
// never show an earlier paint.
void DrawPicturePart(HDC hdc, const CPicture& picture, const DrawnSize& drawn, SIZE bitmap, const RECT& source,
                     bool bCoversFully);

// When the frame cannot shrink the view to the picture (a window has a
// smallest size), the rest of the client area shows the window colour rather
// than whatever was there before.
void FillOutsideDisplay(HDC hdc, const RECT& client, SIZE display);
