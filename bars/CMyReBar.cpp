#include "CMyReBar.h"

#include "AfxGlobals.h"
#include "CMenuBarCtrl.h"

namespace {

// A popup menu whose items borrow submenus owned by another menu: they are
// taken out again before the popup is destroyed, so only the popup goes.
// DestroyMenu destroys submenus too, so a popup that still holds a borrowed
// submenu (a RemoveMenu that failed) is left alone rather than destroyed with
// the lender's menus: a few bytes lost instead of a menu bar that no longer
// opens.
class CBorrowingPopup {
public:
    CBorrowingPopup() : m_hMenu(::CreatePopupMenu()) {}
    ~CBorrowingPopup()
    {
        if (!m_hMenu)
            return;
        while (::GetMenuItemCount(m_hMenu) > 0) {
            if (!::RemoveMenu(m_hMenu, 0, MF_BYPOSITION))
                return;
        }
        ::DestroyMenu(m_hMenu);
    }
    CBorrowingPopup(const CBorrowingPopup&) = delete;
    CBorrowingPopup& operator=(const CBorrowingPopup&) = delete;

    operator HMENU() const { return m_hMenu; }

private:
    HMENU m_hMenu;
};

} // namespace

BEGIN_MESSAGE_MAP(CMyReBar, CReBar)
    ON_WM_CONTEXTMENU()
    ON_NOTIFY_REFLECT(RBN_CHEVRONPUSHED, OnChevronPushed)
    ON_NOTIFY_REFLECT(RBN_CHILDSIZE, OnChildSize)
    ON_NOTIFY_REFLECT(RBN_LAYOUTCHANGED, OnLayoutChanged)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
    ON_MESSAGE(WM_UNINITMENUPOPUP, OnUninitMenuPopup)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
    ON_MESSAGE(WM_MEASUREITEM, OnMeasureItem)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

CMyReBar::CMyReBar() = default;

CMyReBar::~CMyReBar() = default;

UINT CMyReBar::GetBandPos(CWnd* pWnd) const
{
    UINT count = GetBandCount();
    for (UINT i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = REBARBANDINFOA_V6_SIZE;
        band.fMask = RBBIM_CHILD;
        if (SendMessage(RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) && band.hwndChild == pWnd->m_hWnd)
            return i;
    }
    return count;
}

// The chevron of a band too narrow for its menu bar: drops down a menu of the
// menus whose buttons are hidden or cut off, each opening the button's popup.
void CMyReBar::OnChevronPushed(NMHDR* pNotifyStruct, LRESULT*)
{
    const auto* pChevron = reinterpret_cast<const NMREBARCHEVRON*>(pNotifyStruct);

    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V6_SIZE;
    band.fMask = RBBIM_CHILD;
    if (!SendMessage(RB_GETBANDINFOA, pChevron->uBand, reinterpret_cast<LPARAM>(&band)))
        return;
    auto* pMenuBar = dynamic_cast<CMenuBarCtrl*>(CWnd::FromHandlePermanent(band.hwndChild));
    if (!pMenuBar)
        return;

    // What the band shows of its child: the band without the chevron, in the
    // child's client coordinates.
    RECT rcVisible = {};
    SendMessage(RB_GETRECT, pChevron->uBand, reinterpret_cast<LPARAM>(&rcVisible));
    rcVisible.right -= pChevron->rc.right - pChevron->rc.left;
    ::MapWindowPoints(m_hWnd, pMenuBar->m_hWnd, reinterpret_cast<POINT*>(&rcVisible), 2);

    POINT anchor = {pChevron->rc.left, pChevron->rc.bottom};
    ClientToScreen(&anchor);

    CBorrowingPopup popup;
    if (!static_cast<HMENU>(popup))
        return;
    int nButtons = pMenuBar->GetButtonCount();
    for (int j = 0; j < nButtons; ++j) {
        RECT rcButton = {};
        pMenuBar->GetItemRect(j, &rcButton);
        RECT rcShown = {};
        ::IntersectRect(&rcShown, &rcButton, &rcVisible);
        if (::EqualRect(&rcShown, &rcButton))
            continue;
        HMENU hSubMenu = pMenuBar->m_menu.GetSubMenu(j);
        if (!hSubMenu)
            continue;
        CString text;
        pMenuBar->m_menu.GetMenuString(static_cast<UINT>(j), text, MF_BYPOSITION);
        ::AppendMenuA(popup, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hSubMenu), text);
    }

    ::TrackPopupMenu(popup, AfxGetPopupMenuFlags(), anchor.x, anchor.y, 0, m_hWnd, nullptr);
    // Let the end of the menu be processed at once.
    PostMessage(WM_NULL);
}

// The band's child changed size: the frame lays out its bars and view again.
void CMyReBar::OnChildSize(NMHDR*, LRESULT*)
{
    ::SendMessageA(::GetParent(m_hWnd), WM_SIZE, SIZE_RESTORED, 0);
}

void CMyReBar::OnLayoutChanged(NMHDR*, LRESULT*)
{
    ::SendMessageA(::GetParent(m_hWnd), WM_SIZE, SIZE_RESTORED, 0);
}

// A right click on the rebar shows the main window's context menu.
void CMyReBar::OnContextMenu(HWND, POINT point)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(point.x, point.y));
}

LRESULT CMyReBar::SendToParent(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(::GetParent(m_hWnd), message, wParam, lParam);
}

LRESULT CMyReBar::OnInitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    return SendToParent(WM_INITMENUPOPUP, wParam, lParam);
}

LRESULT CMyReBar::OnUninitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    return SendToParent(WM_UNINITMENUPOPUP, wParam, lParam);
}

LRESULT CMyReBar::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
    return SendToParent(WM_MENUSELECT, wParam, lParam);
}

LRESULT CMyReBar::OnMeasureItem(WPARAM wParam, LPARAM lParam)
{
    return SendToParent(WM_MEASUREITEM, wParam, lParam);
}

LRESULT CMyReBar::OnDrawItem(WPARAM wParam, LPARAM lParam)
{
    return SendToParent(WM_DRAWITEM, wParam, lParam);
}
