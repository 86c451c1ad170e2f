#include "CMyReBar.h"

UINT CMyReBar::GetBandPos(CWnd* pWnd) const
{
    UINT count = GetBandCount();
    for (UINT i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD;
        if (SendMessage(RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) && band.hwndChild == pWnd->m_hWnd)
            return i;
    }
    return count;
}
