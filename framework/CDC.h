// An owned memory device context, deleted with the object.
#pragma once

#include "CHandleOwner.h"

struct DcTraits {
    using Handle = HDC;
    static BOOL Close(HDC h) { return ::DeleteDC(h); }
};

class CDC : public CHandleOwner<DcTraits> {
public:
    HDC GetSafeHdc() const { return m_h; }
    BOOL CreateCompatibleDC(HDC hdc) { return Attach(::CreateCompatibleDC(hdc)); }
    BOOL DeleteDC() { return Close(); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_h, hObject); }
};
