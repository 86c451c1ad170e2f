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
