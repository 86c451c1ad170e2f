#include "history/HistoryMenuLayout.h"

namespace {

constexpr int kMargin = 2;

int Darker(int c)
{
    return (c / 4) * 3;
}

} // namespace

int ThumbnailExtent(int nSize)
{
    return nSize > 0 ? nSize : 0;
}

SIZE HistoryEntrySize(int nThumbWidth, int nThumbHeight, SIZE text)
{
    return SIZE{ThumbnailExtent(nThumbWidth) + text.cx + 2 * kMargin, ThumbnailExtent(nThumbHeight) + 2 * kMargin};
}

POINT HistoryTextOrigin(const RECT& rcItem, int nThumbWidth, int nThumbHeight, int nTextHeight)
{
    return POINT{rcItem.left + ThumbnailExtent(nThumbWidth) + 2 * kMargin,
                 rcItem.top + ThumbnailExtent(nThumbHeight) / 2 - nTextHeight / 2};
}

RECT HistoryThumbnailRect(const RECT& rcItem, int nThumbWidth, int nThumbHeight)
{
    const int left = rcItem.left + kMargin;
    const int top = rcItem.top + kMargin;
    return RECT{left, top, left + ThumbnailExtent(nThumbWidth), top + ThumbnailExtent(nThumbHeight)};
}

COLORREF DarkerMenuColour(COLORREF crMenu)
{
    return RGB(Darker(GetRValue(crMenu)), Darker(GetGValue(crMenu)), Darker(GetBValue(crMenu)));
}
