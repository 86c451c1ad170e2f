#include "view/CCoverCopy.h"

#include "image/CPicture.h"

CCoverCopy::~CCoverCopy()
{
    Drop();
}

void CCoverCopy::Draw(HDC hdc, const CPicture& picture, const RECT& rcPicture, const RECT& source)
{
    const int width = rcPicture.right - rcPicture.left;
    const int height = rcPicture.bottom - rcPicture.top;
    if (width <= 0 || height <= 0)
        return;
    if (!m_copy || width > m_size.cx || height > m_size.cy) {
        Drop();
        if (!m_dc.CreateCompatibleDC(hdc) || !m_copy.CreateCompatibleBitmap(hdc, width, height)) {
            Drop();
            return;
        }
        m_hStockBitmap = m_dc.SelectObject(m_copy);
        m_size = SIZE{width, height};
        const RECT all = {0, 0, width, height};
        picture.Draw(m_dc, all, all);
    }
    const int mode = ::SetStretchBltMode(hdc, HALFTONE);
    POINT origin;
    ::SetBrushOrgEx(hdc, 0, 0, &origin);
    ::StretchBlt(hdc, rcPicture.left - source.left, rcPicture.top - source.top, width, height, m_dc, 0, 0, m_size.cx,
                 m_size.cy, SRCCOPY);
    ::SetBrushOrgEx(hdc, origin.x, origin.y, nullptr);
    ::SetStretchBltMode(hdc, mode);
}

void CCoverCopy::Drop()
{
    if (m_dc && m_hStockBitmap)
        m_dc.SelectObject(m_hStockBitmap);
    m_hStockBitmap = nullptr;
    m_copy.DeleteObject();
    m_dc.DeleteDC();
    m_size = SIZE{0, 0};
}
