#include "view/PicturePaint.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "CDC.h"
#include "CSelectedObject.h"
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

// A picture decoded ahead may hold a copy already scaled to the size it is
// drawn at: the part that shows is copied from it.
bool CopyScaled(HDC hdc, const CPicture& picture, const RECT& dest, const RECT& part)
{
    HBITMAP hCopy = picture.ScaledCopyFor(SIZE{dest.right - dest.left, dest.bottom - dest.top});
    RECT shown;
    if (!hCopy || !::IntersectRect(&shown, &dest, &part))
        return hCopy != nullptr;
    CDC dcCopy;
    if (!dcCopy.CreateCompatibleDC(hdc))
        return false;
    CSelectedObject selected(dcCopy, hCopy);
    return selected.Selected() &&
           ::BitBlt(hdc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, dcCopy,
                    shown.left - dest.left, shown.top - dest.top, SRCCOPY);
}

} // namespace

PaintLayout LayOutPaint(TransformState orientation, SIZE bitmap, const DrawnSize& drawn)
{
    PaintLayout layout = {};
    layout.bitmap = ShownSize(Inverse(orientation), bitmap);
    auto stored = [&](const RECT& upright) { return StoredRectOf(orientation, layout.bitmap, upright); };
    layout.picture = stored(RECT{0, 0, drawn.width, drawn.height});
    RECT strips[2];
    layout.nMargins = MarginRects(bitmap.cx, bitmap.cy, drawn.width, drawn.height, strips);
    for (int i = 0; i < layout.nMargins; ++i)
        layout.margins[i] = stored(strips[i]);
    layout.bCorner = bitmap.cx > drawn.width && bitmap.cy > drawn.height;
    if (layout.bCorner)
        layout.corner = stored(RECT{drawn.width, drawn.height, bitmap.cx, bitmap.cy});
    return layout;
}

void DrawPicturePart(HDC hdc, const CPicture& picture, const PaintLayout& layout, const RECT& source, bool bCoversFully)
{
    const RECT part = {0, 0, source.right - source.left, source.bottom - source.top};
    if (!bCoversFully)
        ::PatBlt(hdc, 0, 0, part.right, part.bottom, BLACKNESS);
    RECT dest = layout.picture;
    ::OffsetRect(&dest, -source.left, -source.top);
    if (!CopyScaled(hdc, picture, dest, part) && !picture.CopyOwnPixels(hdc, dest, part))
        picture.Draw(hdc, dest, part);

    GpGraphics* pGraphics = nullptr;
    GdipCreateFromHDC(hdc, &pGraphics);
    std::unique_ptr<GpGraphics, GraphicsDeleter> graphics(pGraphics);
    if (!graphics)
        return;
    GdipSetClipRectI(graphics.get(), 0, 0, part.right, part.bottom, CombineModeReplace);
    for (int i = 0; i < layout.nMargins; ++i)
        FillShifted(graphics.get(), kMarginColour, layout.margins[i], source);
    // The corner beside and below the picture belongs to neither margin: it
    // shows black, as a newly made bitmap does.
    if (layout.bCorner)
        FillShifted(graphics.get(), kCornerColour, layout.corner, source);
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
