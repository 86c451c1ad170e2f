#include "CBitmap.h"

BOOL CBitmap::CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(hdc, nWidth, nHeight));
}

BOOL CBitmap::Attach(HBITMAP hBitmap)
{
    if (!hBitmap)
        return FALSE;
    DeleteObject();
    m_hObject = hBitmap;
    return TRUE;
}

HBITMAP CBitmap::Detach()
{
    HBITMAP hBitmap = m_hObject;
    m_hObject = nullptr;
    return hBitmap;
}

BOOL CBitmap::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}
