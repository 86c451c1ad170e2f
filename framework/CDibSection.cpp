#include "CDibSection.h"

BOOL CDibSection::Create(int cx, int cy)
{
    Free();
    if (cx <= 0 || cy <= 0)
        return FALSE;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    if (!Attach(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0)) || !pBits) {
        Free();
        return FALSE;
    }
    m_pBits = static_cast<DWORD*>(pBits);
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

void CDibSection::Free()
{
    DeleteObject();
    m_pBits = nullptr;
    m_cx = 0;
    m_cy = 0;
}
