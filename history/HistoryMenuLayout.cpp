#include "history/HistoryMenuLayout.h"

#include <algorithm>
#include <climits>

namespace {

constexpr long long kMargin = 2;

int ClampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int Darker(int c)
{
    return (c / 4) * 3;
}

} // namespace

int ThumbnailExtent(int nSize)
{
    return std::clamp(nSize, 0, kMaxThumbnailExtent);
}

SIZE HistoryEntrySize(int nThumbWidth, int nThumbHeight, SIZE text)
{
    return SIZE{ClampToInt(ThumbnailExtent(nThumbWidth) + static_cast<long long>(text.cx) + 2 * kMargin),
                ClampToInt(ThumbnailExtent(nThumbHeight) + 2 * kMargin)};
}

POINT HistoryTextOrigin(const RECT& rcItem, int nThumbWidth, int nThumbHeight, int nTextHeight)
{
    return POINT{ClampToInt(static_cast<long long>(rcItem.left) + ThumbnailExtent(nThumbWidth) + 2 * kMargin),
                 ClampToInt(static_cast<long long>(rcItem.top) + ThumbnailExtent(nThumbHeight) / 2 - nTextHeight / 2)};
}

RECT HistoryThumbnailRect(const RECT& rcItem, int nThumbWidth, int nThumbHeight)
{
    const long long left = static_cast<long long>(rcItem.left) + kMargin;
    const long long top = static_cast<long long>(rcItem.top) + kMargin;
    return RECT{ClampToInt(left), ClampToInt(top), ClampToInt(left + ThumbnailExtent(nThumbWidth)),
                ClampToInt(top + ThumbnailExtent(nThumbHeight))};
}

COLORREF DarkerMenuColour(COLORREF crMenu)
{
    return RGB(Darker(GetRValue(crMenu)), Darker(GetGValue(crMenu)), Darker(GetBValue(crMenu)));
}
