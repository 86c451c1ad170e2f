#include "CFrameWnd.h"

#include <algorithm>
#include <windows.h>
#include <commctrl.h>

#include "AfxGlobals.h"
#include "CCmdUI.h"
#include "CStatusBar.h"
#include "CWinApp.h"

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_KANA, OnUpdateKeyIndicator)
    ON_NOTIFY(RBN_HEIGHTCHANGE, AFX_IDW_REBAR, OnReBarHeightChange)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd()
{
    for (CControlBar* pBar : m_listControlBars)
        pBar->m_pDockSite = nullptr;
    if (m_hMenuDefault)
        ::DestroyMenu(m_hMenuDefault);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, void*)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    CString title;
    title.LoadString(nIDResource);
    int newline = title.Find('\n');
    m_strTitle = newline >= 0 ? title.Left(newline) : title;

    HICON hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource));
    const char* className = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
    m_hMenuDefault = ::LoadMenuA(hInst, MAKEINTRESOURCEA(nIDResource));
    // The FWS_ bits are the frame's own; the title is the resource string either way.
    DWORD style = dwDefaultStyle & ~static_cast<DWORD>(FWS_ADDTOTITLE | FWS_PREFIXTITLE);
    if (!CreateEx(0, className, m_strTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, m_hMenuDefault))
        return FALSE;
    m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return cs.lpszClass != nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA)
{
    return static_cast<int>(Default());
}

void CFrameWnd::PostNcDestroy()
{
    // A frame lives on the heap and goes with its window.
    delete this;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg) != 0;
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

void CFrameWnd::RecalcLayout()
{
    if (!m_hWnd || m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = true;
    RECT rc;
    GetClientRect(&rc);
    int cx = rc.right - rc.left;
    int top = rc.top;
    int bottom = rc.bottom;
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    for (CControlBar* pBar : m_listControlBars) {
        // The bar's own WS_VISIBLE counts, also while the frame is hidden.
        if (!pBar->m_hWnd || !(pBar->GetStyle() & WS_VISIBLE))
            continue;
        if (pBar->m_dwStyle & CBRS_ALIGN_TOP) {
            RECT rb;
            pBar->GetWindowRect(&rb);
            ::SetWindowPos(pBar->m_hWnd, nullptr, 0, top, cx, rb.bottom - rb.top, kFlags);
            int h = pBar->CalcHeight(cx);
            ::SetWindowPos(pBar->m_hWnd, nullptr, 0, top, cx, h, kFlags);
            top += h;
        }
    }
    for (CControlBar* pBar : m_listControlBars) {
        if (!pBar->m_hWnd || !(pBar->GetStyle() & WS_VISIBLE))
            continue;
        if (pBar->m_dwStyle & CBRS_ALIGN_BOTTOM) {
            int h = pBar->CalcHeight(cx);
            bottom -= h;
            ::SetWindowPos(pBar->m_hWnd, nullptr, 0, bottom, cx, h, kFlags);
        }
    }
    if (HWND hView = GetDlgItem(AFX_IDW_PANE_FIRST))
        ::SetWindowPos(hView, nullptr, 0, top, cx, std::max(0, bottom - top), kFlags);
    m_bInRecalcLayout = false;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (!bDelay)
        RecalcLayout();
}

CStatusBar* CFrameWnd::GetMessageBar() const
{
    return dynamic_cast<CStatusBar*>(FromHandlePermanent(GetDlgItem(AFX_IDW_STATUS_BAR)));
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, nID);
}

void CFrameWnd::SetMessageText(const char* lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    if (CStatusBar* pBar = GetMessageBar()) {
        CString text;
        if (wParam != 0) {
            // A prompt string: the part before the line feed.
            text.LoadString(static_cast<UINT>(wParam));
            int newline = text.Find('\n');
            if (newline >= 0)
                text = text.Left(newline);
        } else if (lParam) {
            text = reinterpret_cast<const char*>(lParam);
        }
        pBar->SetPaneText(0, text);
    }
    return nIDLast;
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    for (CControlBar* pBar : m_listControlBars)
        if (pBar->m_hWnd && (pBar->GetStyle() & WS_VISIBLE))
            pBar->OnUpdateCmdUI(this, TRUE);
    if (m_nIDTracking != m_nIDLastMessage)
        SetMessageText(m_nIDTracking);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int vk = 0;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS: vk = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: vk = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: vk = VK_SCROLL; break;
    case ID_INDICATOR_KANA: vk = VK_KANA; break;
    default: return;
    }
    pCmdUI->Enable((::GetKeyState(vk) & 1) != 0);
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(HWND)
{
    if (HWND hView = GetDlgItem(AFX_IDW_PANE_FIRST))
        ::SetFocus(hView);
    else
        Default();
}

void CFrameWnd::OnInitMenuPopup(HMENU hPopupMenu, UINT, BOOL bSysMenu)
{
    Default();
    if (bSysMenu)
        return;
    CCmdUI state;
    state.m_hMenu = hPopupMenu;
    // Update handlers may add or remove items, so the count is read each time.
    for (int i = 0; i < ::GetMenuItemCount(hPopupMenu); ++i) {
        UINT nID = ::GetMenuItemID(hPopupMenu, i);
        if (nID == 0 || nID == static_cast<UINT>(-1))
            continue; // separators and submenus are left as they are
        state.m_nID = nID;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(hPopupMenu));
        state.DoUpdate(this, TRUE);
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == nullptr) {
        // The menu has closed: back to the idle text.
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    } else if (nFlags & (MF_SEPARATOR | MF_POPUP | MF_SYSMENU)) {
        m_nIDTracking = 0;
    } else {
        m_nIDTracking = nItemID;
    }
    if (m_nIDTracking != m_nIDLastMessage || m_nIDTracking == 0)
        SetMessageText(m_nIDTracking);
}

void CFrameWnd::OnReBarHeightChange(NMHDR*, LRESULT*)
{
    RecalcLayout();
}
