#include "frame/FrameGeometry.h"

#include "view/ImageGeometry.h"

#include <algorithm>
#include <climits>

namespace {

LONG ClampSize(long long value)
{
    return static_cast<LONG>(std::clamp<long long>(value, 0, INT_MAX));
}

// A frame is never smaller than a user can find.
LONG ClampFrameSize(long long value)
{
    return static_cast<LONG>(std::clamp<long long>(value, kMinReachableSize, INT_MAX));
}

// The start of a span of length size so that min(size, kMinReachableSize) of
// it lies within [low, high).
LONG KeepSpanReachable(long long start, long long size, long long low, long long high)
{
    const long long visible = std::min<long long>(std::max<long long>(size, 0), kMinReachableSize);
    const long long smallest = low + visible - size; // the span's end reaches low + visible
    const long long largest = high - visible;        // the span's start leaves visible before high
    if (smallest > largest)
        return static_cast<LONG>(std::clamp<long long>(low, INT_MIN, INT_MAX));
    return static_cast<LONG>(std::clamp<long long>(std::clamp(start, smallest, largest), INT_MIN, INT_MAX));
}

} // namespace

SIZE FrameSizeAroundImage(const RECT& frame, const RECT& view, const RECT& image)
{
    const long long width =
        static_cast<long long>(view.left) - frame.left + image.right - image.left + frame.right - view.right;
    const long long height =
        static_cast<long long>(view.top) - frame.top + image.bottom - image.top + frame.bottom - view.bottom;
    return SIZE{ClampFrameSize(width), ClampFrameSize(height)};
}

POINT KeepWindowReachable(const RECT& window, const RECT& workArea)
{
    const long long width = static_cast<long long>(window.right) - window.left;
    const long long height = static_cast<long long>(window.bottom) - window.top;
    return POINT{KeepSpanReachable(window.left, width, workArea.left, workArea.right),
                 KeepSpanReachable(window.top, height, workArea.top, workArea.bottom)};
}

double FreeZoomInsideWorkArea(double zoom, SIZE picture, SIZE decorations, SIZE workArea)
{
    const long long roomWidth = static_cast<long long>(workArea.cx) - decorations.cx;
    const long long roomHeight = static_cast<long long>(workArea.cy) - decorations.cy;
    if (roomWidth <= 0 || roomHeight <= 0)
        return zoom;
    double fitted = zoom;
    if (picture.cx > 0)
        fitted = std::min(fitted, static_cast<double>(roomWidth) / picture.cx);
    if (picture.cy > 0)
        fitted = std::min(fitted, static_cast<double>(roomHeight) / picture.cy);
    return fitted;
}

POINT KeepWindowInside(const RECT& window, const RECT& workArea)
{
    const auto inside = [](long long start, long long size, long long low, long long high) {
        return static_cast<LONG>(std::clamp<long long>(std::max(std::min(start, high - size), low), INT_MIN, INT_MAX));
    };
    return POINT{inside(window.left, static_cast<long long>(window.right) - window.left, workArea.left, workArea.right),
                 inside(window.top, static_cast<long long>(window.bottom) - window.top, workArea.top, workArea.bottom)};
}

namespace {

// a x b / c with the product in 64 bits, clamped to a window size; c > 0.
LONG ScaledSize(long long a, long long b, long long c)
{
    return ClampSize(a * b / c);
}

} // namespace

SIZE PulseBaseSize(int imageWidth, int imageHeight, int mode, int value)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return SIZE{0, 0};
    const long long w0 = imageWidth;
    const long long h0 = imageHeight;
    const long long v = value;
    switch (mode) {
    case ZOOM_PERCENT: return SIZE{ScaledSize(w0, v, 100), ScaledSize(h0, v, 100)};
    case ZOOM_FIX_HEIGHT: return SIZE{ScaledSize(v, w0, h0), ClampSize(v)};
    case ZOOM_FIX_WIDTH: return SIZE{ClampSize(v), ScaledSize(v, h0, w0)};
    case ZOOM_FIX_BOTH: {
        const long long width = v * w0 / h0;
        if (width > v)
            return SIZE{ClampSize(v), ScaledSize(v, h0, w0)};
        return SIZE{ClampSize(width), ClampSize(v)};
    }
    default: // ZOOM_ANY, and any unknown mode: the picture's own size
        return SIZE{ClampSize(w0), ClampSize(h0)};
    }
}

int PulseSizeFactor(int phase)
{
    const int p = ((phase % kPulsePeriod) + kPulsePeriod) % kPulsePeriod;
    const int half = kPulsePeriod / 2;
    return (p > half ? p - half : half - p) + kPulseFullFactor / 2;
}

RECT PulseWindowRect(POINT centre, SIZE base, int factor)
{
    // Never smaller than a window a user can find and Shift-click to stop.
    const long long halfWidth =
        std::max<long long>(static_cast<long long>(base.cx / 2) * factor / kPulseFullFactor, kMinReachableSize / 2);
    const long long halfHeight =
        std::max<long long>(static_cast<long long>(base.cy / 2) * factor / kPulseFullFactor, kMinReachableSize / 2);
    const auto clampCoordinate = [](long long value) {
        return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    };
    RECT rc;
    rc.left = clampCoordinate(centre.x - halfWidth);
    rc.top = clampCoordinate(centre.y - halfHeight);
    rc.right = clampCoordinate(centre.x + halfWidth);
    rc.bottom = clampCoordinate(centre.y + halfHeight);
    return rc;
}

SIZE DrawnSizeAfterFit(const FitSnapshot& fit, SIZE upright)
{
    double zoom = fit.freeZoom;
    SIZE display = ComputeDisplaySize(upright.cx, upright.cy, fit.mode, fit.value, zoom, fit.rotation);
    if (fit.mode == ZOOM_ANY && fit.bWork &&
        (static_cast<long long>(display.cx) + fit.decorations.cx > fit.work.cx ||
         static_cast<long long>(display.cy) + fit.decorations.cy > fit.work.cy)) {
        const SIZE turned = IsQuarterTurn(fit.rotation) ? SIZE{upright.cy, upright.cx} : upright;
        zoom = FreeZoomInsideWorkArea(zoom, turned, fit.decorations, fit.work);
        display = ComputeDisplaySize(upright.cx, upright.cy, fit.mode, fit.value, zoom, fit.rotation);
    }
    const SIZE bitmap = BitmapSizeForDisplay(display, fit.rotation);
    const DrawnSize drawn = ComputeDrawnSize(upright.cx, upright.cy, bitmap.cx, bitmap.cy, fit.mode, fit.value, false);
    return SIZE{drawn.width, drawn.height};
}
