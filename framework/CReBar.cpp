#include "CReBar.h"

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    DWORD style = BeginCreate(pParentWnd, dwStyle);
    // The frame sizes and places the rebar; its bands may wrap to several rows.
    style |= dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NODIVIDER | CCS_NORESIZE | RBS_VARHEIGHT;
    if (!CreateEx(0, REBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, pParentWnd->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return FALSE;
    REBARINFO info = {sizeof(info), 0, nullptr};
    return static_cast<BOOL>(SendMessage(RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info)));
}

BOOL CReBar::AddBar(CWnd* pBar, LPCSTR pszText, HBITMAP hbmp, UINT nStyle)
{
    RECT rc;
    pBar->GetWindowRect(&rc);
    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID;
    band.fStyle = nStyle;
    band.hwndChild = pBar->m_hWnd;
    band.cxMinChild = static_cast<UINT>(rc.right - rc.left);
    band.cyMinChild = static_cast<UINT>(rc.bottom - rc.top);
    band.wID = static_cast<UINT>(pBar->GetDlgCtrlID());
    if (pszText) {
        band.fMask |= RBBIM_TEXT;
        band.lpText = const_cast<char*>(pszText);
    }
    if (hbmp) {
        band.fMask |= RBBIM_BACKGROUND;
        band.hbmBack = hbmp;
    }
    return static_cast<BOOL>(SendMessage(RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));
}

int CReBar::CalcHeight(int)
{
    return static_cast<int>(SendMessage(RB_GETBARHEIGHT));
}
