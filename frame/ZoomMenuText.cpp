#include "ZoomMenuText.h"

#include <cstdio>
#include <cstdlib>

#include "res/resource.h"

std::string FixedZoomMenuText(unsigned nID, int nMode, int nValue)
{
    char text[128];
    // The width shows the value as stored (signed); height and both show its
    // amount. The amount is taken in 64 bits so the smallest int stays exact.
    long long amount = std::llabs(static_cast<long long>(nValue));
    switch (nID) {
    case ID_ZOOM_FIX_WIDTH:
        if (nMode != 3)
            return "最大幅を固定";
        std::snprintf(text, sizeof(text), "最大幅を固定 %d ピクセル", nValue);
        return text;
    case ID_ZOOM_FIX_HEIGHT:
        if (nMode != 2)
            return "最大高さを固定";
        std::snprintf(text, sizeof(text), "最大高さを固定 %lld ピクセル", amount);
        return text;
    case ID_ZOOM_FIX_BOTH:
        if (nMode != 4)
            return "最大(高幅)を固定";
        std::snprintf(text, sizeof(text), "最大(高幅)を固定 %lld ピクセル", amount);
        return text;
    default:
        return std::string();
    }
}
