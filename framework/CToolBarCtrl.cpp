#include "CToolBarCtrl.h"

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, dwStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBarCtrl::GetButtonText(int nID, CString& rText) const
{
    LRESULT n = SendMessage(TB_GETBUTTONTEXTA, static_cast<WPARAM>(nID), 0);
    if (n < 0)
        return FALSE;
    char* buffer = rText.GetBuffer(static_cast<int>(n) + 1);
    SendMessage(TB_GETBUTTONTEXTA, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(buffer));
    rText.ReleaseBuffer(static_cast<int>(n));
    return TRUE;
}
