// An owned GDI bitmap, deleted with the object.
#pragma once

#include <windows.h>

class CBitmap {
public:
    HBITMAP m_hObject = nullptr;

    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    operator HBITMAP() const { return m_hObject; }
    BOOL CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight);
    BOOL Attach(HBITMAP hBitmap);
    HBITMAP Detach();
    BOOL DeleteObject();
};
