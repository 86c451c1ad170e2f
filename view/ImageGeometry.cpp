#include "view/ImageGeometry.h"

#include "PixelTransform.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int ClampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// Truncates toward zero; NaN gives 0 and out-of-range values are clamped,
// since a plain conversion of those is undefined.
int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

// a * b / c with the product in 64 bits; c is never 0 at the call sites, which
// only divide by an image width or height after the empty-image check.
int MulDivTrunc(int a, int b, int c)
{
    return ClampToInt(static_cast<long long>(a) * b / c);
}

int NormalizeRotation(int rotation)
{
    return ((rotation % 4) + 4) % 4;
}

bool IsEmptyImage(int W, int H)
{
    return W <= 0 || H <= 0;
}

SIZE MakeSize(int cx, int cy)
{
    SIZE size;
    size.cx = cx;
    size.cy = cy;
    return size;
}

// The picture scaled by s in both directions, as mode 0 and cover mode draw it.
DrawnSize ScaledBy(int W, int H, double s)
{
    return DrawnSize{TruncToInt(W * s), TruncToInt(H * s), TruncToInt(s * 100.0)};
}

} // namespace

bool IsQuarterTurn(int rotation)
{
    return NormalizeRotation(rotation) % 2 != 0;
}

SIZE ComputeZoomedSize(int W, int H, int mode, int value, double freeZoom)
{
    if (IsEmptyImage(W, H))
        return MakeSize(0, 0);
    int w0 = W;
    int h0 = H;
    switch (mode) {
    case ZOOM_ANY:
        w0 = TruncToInt(W * freeZoom);
        h0 = TruncToInt(H * freeZoom);
        break;
    case ZOOM_PERCENT:
        w0 = MulDivTrunc(W, value, 100);
        h0 = MulDivTrunc(H, value, 100);
        break;
    case ZOOM_FIX_HEIGHT:
    case ZOOM_FIX_BOTH:
        if (h0 > value) {
            h0 = value;
            w0 = MulDivTrunc(value, W, H);
        }
        // Mode 4 limits the width afterwards, scaling the height from the
        // image's own size, not from the height limited above.
        if (mode == ZOOM_FIX_BOTH && w0 > value) {
            w0 = value;
            h0 = MulDivTrunc(value, H, W);
        }
        break;
    case ZOOM_FIX_WIDTH:
        if (w0 > value) {
            w0 = value;
            h0 = MulDivTrunc(value, H, W);
        }
        break;
    default:
        // An unknown mode (a damaged settings file) shows the image as it is.
        break;
    }
    return MakeSize(w0, h0);
}

SIZE ComputeDisplaySize(int W, int H, int mode, int value, double freeZoom, int rotation)
{
    const SIZE zoomed = ComputeZoomedSize(W, H, mode, value, freeZoom);
    return IsQuarterTurn(rotation) ? MakeSize(zoomed.cy, zoomed.cx) : zoomed;
}

RECT CenteredImageRect(const RECT& viewWindowRect, SIZE display)
{
    const long long cx = (static_cast<long long>(viewWindowRect.left) + viewWindowRect.right) / 2;
    const long long cy = (static_cast<long long>(viewWindowRect.top) + viewWindowRect.bottom) / 2;
    const long long left = cx - display.cx / 2;
    const long long top = cy - display.cy / 2;
    RECT rect;
    rect.left = ClampToInt(left);
    rect.top = ClampToInt(top);
    rect.right = ClampToInt(left + display.cx);
    rect.bottom = ClampToInt(top + display.cy);
    return rect;
}

double ComputeFreeZoom(int vw, int vh, int W, int H, int rotation)
{
    if (IsEmptyImage(W, H))
        return 1.0;
    const bool swapped = IsQuarterTurn(rotation);
    const double wd = swapped ? H : W;
    const double hd = swapped ? W : H;
    return std::max(vw / wd, vh / hd);
}

SIZE BitmapSizeForDisplay(SIZE display, int rotation)
{
    return IsQuarterTurn(rotation) ? MakeSize(display.cy, display.cx) : display;
}

DrawnSize ComputeDrawnSize(int W, int H, int bw, int bh, int mode, int value, bool coverView)
{
    if (IsEmptyImage(W, H))
        return DrawnSize{0, 0, 100};
    const double sx = static_cast<double>(bw) / W;
    const double sy = static_cast<double>(bh) / H;
    if (coverView)
        return ScaledBy(W, H, std::max(sx, sy));

    DrawnSize drawn{W, H, 100};
    switch (mode) {
    case ZOOM_ANY: drawn = ScaledBy(W, H, std::min(sx, sy)); break;
    case ZOOM_PERCENT: drawn = DrawnSize{MulDivTrunc(W, value, 100), MulDivTrunc(H, value, 100), value}; break;
    case ZOOM_FIX_HEIGHT:
    case ZOOM_FIX_BOTH:
        if (drawn.height > value) {
            drawn = DrawnSize{MulDivTrunc(value, W, H), value, MulDivTrunc(value, 100, H)};
        }
        if (mode == ZOOM_FIX_BOTH && drawn.width > value) {
            drawn = DrawnSize{value, MulDivTrunc(value, H, W), MulDivTrunc(value, 100, W)};
        }
        break;
    case ZOOM_FIX_WIDTH:
        if (drawn.width > value) {
            drawn = DrawnSize{value, MulDivTrunc(value, H, W), MulDivTrunc(value, 100, W)};
        }
        break;
    default: break;
    }
    return drawn;
}

int MarginRects(int bw, int bh, int drawnW, int drawnH, RECT strips[2])
{
    int count = 0;
    if (bw > drawnW)
        strips[count++] = RECT{drawnW, 0, bw, drawnH};
    if (bh > drawnH)
        strips[count++] = RECT{0, drawnH, drawnW, bh};
    return count;
}

PaintRegion ComputePaintRegion(int rotation, bool mirrored, SIZE display, const RECT& visible)
{
    PaintRegion region = {};
    const RECT whole = {0, 0, std::max<LONG>(display.cx, 0), std::max<LONG>(display.cy, 0)};
    RECT shown;
    if (!::IntersectRect(&shown, &whole, &visible)) {
        region.empty = true;
        return region;
    }
    POINT wholePts[3];
    TransformDestinationPoints(rotation, mirrored, display.cx, display.cy, wholePts);
    PlgAxes axes;
    RECT bounds;
    if (!GetPlgAxes(wholePts, &axes, &bounds)) {
        region.empty = true;
        return region;
    }
    const SIZE bitmap = BitmapSizeForDisplay(display, rotation);
    region.source = MapDestRectToSource(axes, bitmap.cx, bitmap.cy, shown);
    TransformDestinationPoints(rotation, mirrored, shown.right - shown.left, shown.bottom - shown.top, region.pts);
    for (POINT& pt : region.pts) {
        pt.x += shown.left;
        pt.y += shown.top;
    }
    return region;
}
