#include "view/PicturePaint.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "image/CPicture.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The margins of a picture smaller than its display: opaque white (ARGB).
constexpr ARGB kMarginColour = 0xFFFFFFFF;
constexpr ARGB kCornerColour = 0xFF000000;

struct GraphicsDeleter {
    void operator()(GpGraphics* p) const { GdipDeleteGraphics(p); }
};
struct BrushDeleter {
    void operator()(GpSolidFill* p) const { GdipDeleteBrush(p); }
};

// Fills the rectangle (in the whole bitmap's coordinates) shifted by source.
void FillShifted(GpGraphics* pGraphics, ARGB colour, const RECT& rc, const RECT& source)
{
    GpSolidFill* pBrush = nullptr;
    GdipCreateSolidFill(colour, &pBrush);
    std::unique_ptr<GpSolidFill, BrushDeleter> brush(pBrush);
    if (brush)
        GdipFillRectangleI(pGraphics, brush.get(), rc.left - source.left, rc.top - source.top, rc.right - rc.left,
                           rc.bottom - rc.top);
}

} // namespace

void DrawPicturePart(HDC hdc, const CPicture& picture, const DrawnSize& drawn, SIZE bitmap, const RECT& source,
                     bool bCoversFully)
{
    const RECT part = {0, 0, source.right - source.left, source.bottom - source.top};
    if (!bCoversFully)
        ::PatBlt(hdc, 0, 0, part.right, part.bottom, BLACKNESS);
    const RECT dest = {-source.left, -source.top, drawn.width - source.left, drawn.height - source.top};
    picture.Draw(hdc, dest, part);

    GpGraphics* pGraphics = nullptr;
    GdipCreateFromHDC(hdc, &pGraphics);
    std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
    if (!graphics)
        return;
    GdipSetClipRectI(graphics.get(), 0, 0, part.right, part.bottom, CombineModeReplace);
    RECT strips[2];
    const int n = MarginRects(bitmap.cx, bitmap.cy, drawn.width, drawn.height, strips);
    for (int i = 0; i < n; ++i)
        FillShifted(graphics.get(), kMarginColour, strips[i], source);
    // The corner beside and below the picture belongs to neither margin: it
    // shows black, as a newly made bitmap does.
    if (bitmap.cx > drawn.width && bitmap.cy > drawn.height)
        FillShifted(graphics.get(), kCornerColour, RECT{drawn.width, drawn.height, bitmap.cx, bitmap.cy}, source);
}

void FillOutsideDisplay(HDC hdc, const RECT& client, SIZE display)
{
    const LONG dw = std::max<LONG>(display.cx, 0);
    const LONG dh = std::max<LONG>(display.cy, 0);
    HBRUSH brush = ::GetSysColorBrush(COLOR_WINDOW);
    if (client.right > dw) {
        const RECT right = {dw, 0, client.right, client.bottom};
        ::FillRect(hdc, &right, brush);
    }
    if (client.bottom > dh) {
        const RECT below = {0, dh, std::min(dw, client.right), client.bottom};
        ::FillRect(hdc, &below, brush);
    }
}
