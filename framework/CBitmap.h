// An owned GDI bitmap.
#pragma once

#include "CGdiObject.h"

class CBitmap : public CGdiObject<HBITMAP> {
public:
    BOOL CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight)
    {
        return Attach(::CreateCompatibleBitmap(hdc, nWidth, nHeight));
    }
};
