#include "frame/FrameGeometry.h"

#include <algorithm>
#include <climits>

namespace {

LONG ClampSize(long long value)
{
    return static_cast<LONG>(std::clamp<long long>(value, 0, INT_MAX));
}

} // namespace

SIZE FrameSizeAroundImage(const RECT& frame, const RECT& view, const RECT& image)
{
    const long long width = static_cast<long long>(view.left) - frame.left + image.right - image.left + frame.right - view.right;
    const long long height = static_cast<long long>(view.top) - frame.top + image.bottom - image.top + frame.bottom - view.bottom;
    return SIZE{ClampSize(width), ClampSize(height)};
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
    case ZOOM_PERCENT:
        return SIZE{ScaledSize(w0, v, 100), ScaledSize(h0, v, 100)};
    case ZOOM_FIX_HEIGHT:
        return SIZE{ScaledSize(v, w0, h0), ClampSize(v)};
    case ZOOM_FIX_WIDTH:
        return SIZE{ClampSize(v), ScaledSize(v, h0, w0)};
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
    const long long halfWidth = static_cast<long long>(base.cx / 2) * factor / kPulseFullFactor;
    const long long halfHeight = static_cast<long long>(base.cy / 2) * factor / kPulseFullFactor;
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
