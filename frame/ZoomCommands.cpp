#include "ZoomCommands.h"

#include <cstdio>
#include <cstdlib>

#include "res/resource.h"

bool IsFixedZoomCommand(unsigned nID)
{
    return nID == ID_ZOOM_FIX_WIDTH || nID == ID_ZOOM_FIX_HEIGHT || nID == ID_ZOOM_FIX_BOTH;
}

ZoomMode ZoomModeForCommand(unsigned nID)
{
    switch (nID) {
    case ID_ZOOM_FIX_WIDTH: return ZOOM_FIX_WIDTH;
    case ID_ZOOM_FIX_HEIGHT: return ZOOM_FIX_HEIGHT;
    case ID_ZOOM_FIX_BOTH: return ZOOM_FIX_BOTH;
    default: return ZoomPercentForCommand(nID) != 0 ? ZOOM_PERCENT : ZOOM_ANY;
    }
}

int ZoomPercentForCommand(unsigned nID)
{
    return static_cast<int>(nID - ID_ZOOM_ANY) * 10;
}

std::string FixedZoomMenuText(unsigned nID, int nMode, int nValue)
{
    char text[128];
    // The width shows the value as stored (signed); height and both show its
    // amount. The amount is taken in 64 bits so the smallest int stays exact.
    long long amount = std::llabs(static_cast<long long>(nValue));
    const bool active = IsFixedZoomCommand(nID) && nMode == ZoomModeForCommand(nID);
    switch (nID) {
    case ID_ZOOM_FIX_WIDTH:
        if (!active)
            return "最大幅を固定";
        std::snprintf(text, sizeof(text), "最大幅を固定 %d ピクセル", nValue);
        return text;
    case ID_ZOOM_FIX_HEIGHT:
        if (!active)
            return "最大高さを固定";
        std::snprintf(text, sizeof(text), "最大高さを固定 %lld ピクセル", amount);
        return text;
    case ID_ZOOM_FIX_BOTH:
        if (!active)
            return "最大(高幅)を固定";
        std::snprintf(text, sizeof(text), "最大(高幅)を固定 %lld ピクセル", amount);
        return text;
    default: return std::string();
    }
}
