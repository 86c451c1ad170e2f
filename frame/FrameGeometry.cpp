#include "frame/FrameGeometry.h"

#include <algorithm>
#include <climits>

namespace {

LONG ClampSize(long long value)
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
    const long long width = static_cast<long long>(view.left) - frame.left + image.right - image.left + frame.right - view.right;
    const long long height = static_cast<long long>(view.top) - frame.top + image.bottom - image.top + frame.bottom - view.bottom;
    return SIZE{ClampSize(width), ClampSize(height)};
}

POINT KeepWindowReachable(const RECT& window, const RECT& workArea)
{
    const long long width = static_cast<long long>(window.right) - window.left;
    const long long height = static_cast<long long>(window.bottom) - window.top;
    return POINT{KeepSpanReachable(window.left, width, workArea.left, workArea.right),
                 KeepSpanReachable(window.top, height, workArea.top, workArea.bottom)};
}
