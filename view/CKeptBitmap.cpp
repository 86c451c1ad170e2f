#include "view/CKeptBitmap.h"

#include <utility>

namespace {

// A kept bitmap may be up to four times the area a paint needs, and this
// much more, before it is made anew at the smaller size.
constexpr long long kKeptBitmapSlack = 1024 * 1024;

} // namespace

CKeptBitmap::~CKeptBitmap()
{
    // The bitmap can only be deleted once it is no longer selected.
    Release();
}

BOOL CKeptBitmap::Prepare(HDC hdc, SIZE need)
{
    if (!m_dc) {
        if (!m_dc.CreateCompatibleDC(hdc))
            return FALSE;
        m_hStockBitmap = ::GetCurrentObject(m_dc, OBJ_BITMAP);
    }
    const bool bLargeEnough = m_bitmap && m_size.cx >= need.cx && m_size.cy >= need.cy;
    const bool bFarTooLarge = static_cast<long long>(m_size.cx) * m_size.cy >
                              4 * static_cast<long long>(need.cx) * need.cy + kKeptBitmapSlack;
    if (bLargeEnough && !bFarTooLarge)
        return TRUE;
    // The old bitmap goes first, so the two never take memory at once.
    Release();
    CBitmap newBitmap;
    if (!newBitmap.CreateCompatibleBitmap(hdc, need.cx, need.cy))
        return FALSE;
    m_dc.SelectObject(newBitmap);
    m_bitmap = std::move(newBitmap);
    m_size = need;
    return TRUE;
}

void CKeptBitmap::Release()
{
    if (m_dc && m_hStockBitmap)
        m_dc.SelectObject(m_hStockBitmap);
    m_bitmap.DeleteObject();
    m_size = SIZE{0, 0};
}
