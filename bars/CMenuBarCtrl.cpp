#include "CMenuBarCtrl.h"

#include <windowsx.h>

#include <vector>

#include "AfxGlobals.h"

namespace {

// The key data of the Down that highlights a keyboard popup's first item: a
// repeat count of 0, which no key typed by the user has.
constexpr LPARAM kSelectFirstItemMark = 0;

// The position of the highlighted item of hMenu, or -1.
int HighlightedItem(HMENU hMenu)
{
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i) {
        if (::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE)
            return i;
    }
    return -1;
}

// TRUE when a popup-menu window of this thread shows hMenu.
bool IsMenuOpen(HMENU hMenu)
{
    struct Search {
        HMENU hMenu;
        bool bFound;
    } search = {hMenu, false};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* p = reinterpret_cast<Search*>(lParam);
            char name[16] = {};
            ::GetClassNameA(hWnd, name, sizeof(name));
            if (::lstrcmpA(name, "#32768") == 0 && ::IsWindowVisible(hWnd) &&
                reinterpret_cast<HMENU>(::SendMessageA(hWnd, MN_GETHMENU, 0, 0)) == p->hMenu)
                p->bFound = true;
            return !p->bFound;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.bFound;
}

// Where the keys act in the popups open below hPopup: the deepest open one,
// reached through the highlighted items whose cascades are open.
struct MenuSelection {
    BOOL bInSubmenu;     // the deepest open popup is a cascade, not hPopup itself
    BOOL bOnCascadeItem; // its highlighted item opens a cascade (not open yet)
};

MenuSelection ReadMenuSelection(HMENU hPopup)
{
    constexpr int kMaxDepth = 16;
    MenuSelection selection = {FALSE, FALSE};
    HMENU hMenu = hPopup;
    for (int depth = 0; hMenu && depth < kMaxDepth; ++depth) {
        int i = HighlightedItem(hMenu);
        HMENU hCascade = i >= 0 ? ::GetSubMenu(hMenu, i) : nullptr;
        if (!hCascade || !IsMenuOpen(hCascade)) {
            selection.bOnCascadeItem = hCascade != nullptr;
            break;
        }
        selection.bInSubmenu = TRUE;
        hMenu = hCascade;
    }
    return selection;
}

} // namespace

CMenuBarCtrl* CMenuBarCtrl::s_pTrackingBar = nullptr;
HHOOK CMenuBarCtrl::s_hMsgFilterHook = nullptr;

BEGIN_MESSAGE_MAP(CMenuBarCtrl, CToolBarCtrl)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CMenuBarCtrl::PreTranslateMessage(MSG* pMsg)
{
    return CToolBarCtrl::PreTranslateMessage(pMsg);
}

LRESULT CMenuBarCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CToolBarCtrl::WindowProc(message, wParam, lParam);
}

BOOL CMenuBarCtrl::LoadMenuBar(UINT nIDResource)
{
    SetBitmapSize(SIZE{0, 0});
    if (!m_menu.LoadMenu(nIDResource))
        return FALSE;
    m_nButtons = m_menu.GetMenuItemCount();
    for (int i = 0; i < m_nButtons; ++i) {
        CString text;
        m_menu.GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
        // One string, terminated by two NULs.
        std::vector<char> strings(static_cast<size_t>(text.GetLength()) + 2, '\0');
        std::copy(text.GetString(), text.GetString() + text.GetLength(), strings.begin());
        int iString = AddStrings(strings.data());

        TBBUTTON button = {};
        button.iBitmap = -1;
        button.idCommand = i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_AUTOSIZE;
        button.dwData = 0;
        button.iString = iString;
        if (!AddButtons(1, &button))
            return FALSE;
    }
    AutoSize();
    return TRUE;
}

int CMenuBarCtrl::HitTest(POINT pt) const
{
    int iButton = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    // A button cut off by a narrowed band is not hit beyond the client area,
    // except the first, which is all the band shows then.
    RECT rcClient;
    GetClientRect(&rcClient);
    if (iButton > 0 && !::PtInRect(&rcClient, pt))
        return -1;
    return iButton;
}

int CMenuBarCtrl::GetNextOrPrevButton(int iButton, BOOL bPrev) const
{
    if (bPrev) {
        --iButton;
        if (iButton < 0)
            iButton = GetButtonCount() - 1;
    } else {
        ++iButton;
        if (iButton >= GetButtonCount())
            iButton = 0;
    }
    return iButton;
}

void CMenuBarCtrl::SetTrackingState(int iState, int iButton)
{
    if (iState == m_iTrackingState)
        return;
    if (iState == TRACK_NOTHING)
        iButton = -1;
    SetHotItem(iButton);
    if (iState == TRACK_POPUP) {
        m_bEscapeWasPressed = FALSE;
        m_iPopupTracking = iButton;
    }
    m_iTrackingState = iState;
}

void CMenuBarCtrl::ToggleTrackButtonMode()
{
    if (m_iTrackingState == TRACK_NOTHING)
        SetTrackingState(TRACK_BUTTON, 0);
    else if (m_iTrackingState == TRACK_BUTTON)
        SetTrackingState(TRACK_NOTHING, -1);
}

void CMenuBarCtrl::CancelMenuAndTrackNewOne(int iButton)
{
    if (iButton == m_iPopupTracking)
        return;
    // The menu loop takes WM_CANCELMODE at its owner as the end of the popup.
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_CANCELMODE);
    m_iNewPopup = iButton;
}

// Runs the popups modally, one after another, as long as the user moves on
// to another button (mouse or Left/Right) while one is open.
void CMenuBarCtrl::TrackPopup(int iButton)
{
    while (iButton >= 0) {
        m_iNewPopup = -1;
        SetTrackingState(TRACK_POPUP, iButton);
        PressButton(iButton, TRUE);

        s_pTrackingBar = this;
        s_hMsgFilterHook = ::SetWindowsHookExA(WH_MSGFILTER, &MenuInputFilter, nullptr, ::GetCurrentThreadId());

        RECT rc = {};
        GetItemRect(iButton, &rc);
        POINT bottomLeft = {rc.left, rc.bottom};
        ClientToScreen(&bottomLeft);
        HMENU hPopup = m_menu.GetSubMenu(iButton);
        UINT nFlags = AfxGetPopupMenuFlags();

        m_bInSubmenu = FALSE;
        m_bOnCascadeItem = FALSE;
        CWnd* pMain = AfxGetMainWnd();
        if (hPopup && pMain) {
            // The menu loop takes a Down waiting in the queue as the user's:
            // it highlights the first item.
            if (m_bPopupByKeyboard)
                pMain->PostMessage(WM_KEYDOWN, VK_DOWN, kSelectFirstItemMark);
            ::TrackPopupMenu(hPopup, nFlags, bottomLeft.x, bottomLeft.y, 0, pMain->m_hWnd, nullptr);
            // A popup that could not open leaves the Down to the window,
            // where it would step to the next picture.
            MSG msg;
            if (::PeekMessageA(&msg, pMain->m_hWnd, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE | PM_NOYIELD) &&
                msg.wParam == VK_DOWN && msg.lParam == kSelectFirstItemMark)
                ::PeekMessageA(&msg, pMain->m_hWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE | PM_NOYIELD);
        }

        PressButton(iButton, FALSE);
        if (s_hMsgFilterHook)
            ::UnhookWindowsHookEx(s_hMsgFilterHook);
        s_pTrackingBar = nullptr;
        s_hMsgFilterHook = nullptr;

        SetTrackingState(m_bEscapeWasPressed ? TRACK_BUTTON : TRACK_NOTHING, iButton);
        iButton = m_iNewPopup;
    }
}

LRESULT CALLBACK CMenuBarCtrl::MenuInputFilter(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == MSGF_MENU && s_pTrackingBar && s_pTrackingBar->OnMenuInput(*reinterpret_cast<MSG*>(lParam)))
        return 1;
    return ::CallNextHookEx(s_hMsgFilterHook, nCode, wParam, lParam);
}

BOOL CMenuBarCtrl::OnMenuInput(MSG& m)
{
    switch (m.message) {
    case WM_KEYDOWN: {
        UINT vkey = static_cast<UINT>(m.wParam);
        if (vkey != VK_LEFT && vkey != VK_RIGHT && vkey != VK_ESCAPE)
            return FALSE;
        // Wine sends no WM_MENUSELECT when Escape or Left closes a cascade, so
        // the flags are read again from the open popups before they are used.
        MenuSelection selection = ReadMenuSelection(m_menu.GetSubMenu(m_iPopupTracking));
        m_bInSubmenu = selection.bInSubmenu;
        m_bOnCascadeItem = selection.bOnCascadeItem;
        if (vkey == VK_ESCAPE) {
            // Escape in a cascade closes only the cascade; the popup stays
            // open, and a command chosen from it afterwards ends the tracking.
            if (!m_bInSubmenu)
                m_bEscapeWasPressed = TRUE;
            return FALSE;
        }
        // Right on an item with a cascade opens the cascade; Left inside a
        // cascade closes it. Otherwise both move to the neighbouring popup.
        if ((vkey == VK_LEFT && !m_bInSubmenu) || (vkey == VK_RIGHT && !m_bOnCascadeItem)) {
            m_bPopupByKeyboard = TRUE;
            CancelMenuAndTrackNewOne(GetNextOrPrevButton(m_iPopupTracking, vkey == VK_LEFT));
            return TRUE;
        }
        return FALSE;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: {
        POINT pt = {GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
        ScreenToClient(&pt);
        if (m.message == WM_MOUSEMOVE) {
            // The menu loop repeats the mouse position whenever a popup opens:
            // only a real move may switch popups.
            if (pt.x != m_ptMouse.x || pt.y != m_ptMouse.y) {
                int iButton = HitTest(pt);
                if (IsButton(iButton) && iButton != m_iPopupTracking) {
                    m_bPopupByKeyboard = FALSE;
                    CancelMenuAndTrackNewOne(iButton);
                }
                m_ptMouse = pt;
            }
            return FALSE;
        }
        if (HitTest(pt) == m_iPopupTracking) {
            // A click on the open popup's own button closes it.
            CancelMenuAndTrackNewOne(-1);
            return TRUE;
        }
        return FALSE;
    }
    case WM_MENUSELECT: {
        m_bInSubmenu = FALSE;
        m_bOnCascadeItem = FALSE;
        int iHot = GetHotItem();
        HMENU hButtonPopup = iHot >= 0 ? m_menu.GetSubMenu(iHot) : nullptr;
        if (hButtonPopup) {
            if (hButtonPopup != reinterpret_cast<HMENU>(m.lParam))
                m_bInSubmenu = TRUE;
            if (HIWORD(m.wParam) & MF_POPUP)
                m_bOnCascadeItem = TRUE;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

void CMenuBarCtrl::OnFrameMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu)
{
    if (s_pTrackingBar != this)
        return;
    MSG msg = {};
    CWnd* pMain = AfxGetMainWnd();
    msg.hwnd = pMain ? pMain->m_hWnd : nullptr;
    msg.message = WM_MENUSELECT;
    msg.wParam = MAKEWPARAM(nItemID, nFlags);
    msg.lParam = reinterpret_cast<LPARAM>(hMenu);
    OnMenuInput(msg);
}

void CMenuBarCtrl::OnMouseMove(UINT, POINT point)
{
    if (m_iTrackingState == TRACK_BUTTON) {
        // The keyboard highlight follows a real move, not the resting pointer.
        int iButton = HitTest(point);
        if (IsButton(iButton) && (point.x != m_ptMouse.x || point.y != m_ptMouse.y))
            SetHotItem(iButton);
        return;
    }
    m_ptMouse = point;
    Default();
}

void CMenuBarCtrl::OnLButtonDown(UINT, POINT point)
{
    PressButton(GetHotItem(), FALSE);
    int iButton = HitTest(point);
    if (IsButton(iButton)) {
        m_bPopupByKeyboard = FALSE;
        TrackPopup(iButton);
        return;
    }
    Default();
}

BOOL CMenuBarCtrl::TranslateFrameMessage(MSG* pMsg)
{
    UINT message = pMsg->message;
    if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) {
        // A click anywhere else ends keyboard mode; the click still goes on.
        if (pMsg->hwnd != m_hWnd && m_iTrackingState != TRACK_NOTHING)
            SetTrackingState(TRACK_NOTHING, -1);
        return FALSE;
    }
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return FALSE;

    UINT vkey = LOBYTE(pMsg->wParam);
    BOOL bAlt = (HIWORD(pMsg->lParam) & KF_ALTDOWN) != 0;
    if (vkey == VK_MENU ||
        (vkey == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0 && !bAlt)) {
        if (message == WM_SYSKEYDOWN)
            ToggleTrackButtonMode();
        return TRUE;
    }
    if (message == WM_SYSKEYUP)
        return FALSE;

    if (m_iTrackingState == TRACK_BUTTON) {
        switch (vkey) {
        case VK_ESCAPE: SetTrackingState(TRACK_NOTHING, -1); return TRUE;
        case VK_SPACE:
        case VK_UP:
        case VK_DOWN:
            m_bPopupByKeyboard = TRUE;
            TrackPopup(GetHotItem());
            return TRUE;
        case VK_LEFT:
        case VK_RIGHT: SetHotItem(GetNextOrPrevButton(GetHotItem(), vkey == VK_LEFT)); return TRUE;
        default: break;
        }
    }

    bool bLetterOrDigit = (vkey >= 'A' && vkey <= 'Z') || (vkey >= '0' && vkey <= '9');
    if ((bAlt || m_iTrackingState == TRACK_BUTTON) && bLetterOrDigit) {
        UINT nID = 0;
        if (MapAccelerator(static_cast<char>(vkey), &nID)) {
            m_bPopupByKeyboard = TRUE;
            TrackPopup(static_cast<int>(nID));
            return TRUE;
        }
        if (m_iTrackingState == TRACK_BUTTON && !bAlt) {
            ::MessageBeep(0);
            return TRUE;
        }
    }
    if (m_iTrackingState != TRACK_NOTHING)
        SetTrackingState(TRACK_NOTHING, -1);
    return FALSE;
}
