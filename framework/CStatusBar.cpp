#include "CStatusBar.h"

#include <windows.h>
#include <commctrl.h>

#include "CCmdUI.h"
#include "CClientDC.h"
#include "CSelectedObject.h"
#include "CFrameWnd.h"

namespace {

// An indicator pane shows its string while its update handler enables it.
class CStatusCmdUI : public CCmdUI {
public:
    CStatusBar* m_pBar = nullptr;
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        CString text;
        if (bOn)
            text.LoadString(m_nID);
        if (m_pBar->GetPaneText(static_cast<int>(m_nIndex)) != text)
            m_pBar->SetPaneText(static_cast<int>(m_nIndex), text);
    }
    void SetCheck(int) override {}
    void SetText(const char* lpszText) override { m_pBar->SetPaneText(static_cast<int>(m_nIndex), lpszText); }
};

} // namespace

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    DWORD style = BeginCreate(pParentWnd, dwStyle);
    // The frame positions the bar itself.
    style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (pParentWnd->GetStyle() & WS_THICKFRAME)
        style |= SBARS_SIZEGRIP;
    m_panes.clear();
    return CreateEx(0, STATUSCLASSNAMEA, nullptr, style, 0, 0, 0, 0, pParentWnd->m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.clear();
    {
        CClientDC dc(m_hWnd);
        CSelectedObject font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        for (int i = 0; i < nIDCount; ++i) {
            Pane pane = {lpIDArray[i], 0, CString()};
            if (pane.nID != 0) {
                CString text;
                if (!text.LoadString(pane.nID))
                    return FALSE;
                SIZE size = {};
                ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
                pane.cxText = size.cx;
            }
            m_panes.push_back(pane);
        }
    }
    UpdateParts();
    return TRUE;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].nID : 0;
}

BOOL CStatusBar::SetPaneText(int nIndex, const char* lpszNewText)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    // The same text again (every paint of the view sets the idle message)
    // would only make the control repaint its pane.
    const CString text = lpszNewText ? lpszNewText : "";
    if (m_hWnd && m_panes[static_cast<size_t>(nIndex)].strText == text)
        return TRUE;
    m_panes[static_cast<size_t>(nIndex)].strText = text;
    return static_cast<BOOL>(
        SendMessage(SB_SETTEXTA, static_cast<WPARAM>(nIndex),
                    reinterpret_cast<LPARAM>(m_panes[static_cast<size_t>(nIndex)].strText.GetString())));
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].strText : CString();
}

void CStatusBar::UpdateParts()
{
    if (m_panes.empty())
        return;
    RECT rc;
    GetClientRect(&rc);
    // Pane edges from the right: each indicator as wide as its text plus a margin.
    constexpr int kMargin = 10;
    int grip = (GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
    std::vector<int> edges(m_panes.size());
    int right = rc.right - grip;
    for (size_t i = m_panes.size(); i-- > 0;) {
        edges[i] = i + 1 == m_panes.size() ? -1 : right;
        if (i > 0)
            right -= m_panes[i].cxText + kMargin;
    }
    if (m_panes.size() == 1)
        edges[0] = -1;
    SendMessage(SB_SETPARTS, m_panes.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < m_panes.size(); ++i)
        SendMessage(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(m_panes[i].strText.GetString()));
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    UpdateParts();
}

int CStatusBar::CalcHeight(int)
{
    // The control's natural height: its font plus borders.
    TEXTMETRICA tm = {};
    {
        CClientDC dc(m_hWnd);
        CSelectedObject font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        ::GetTextMetricsA(dc, &tm);
    }
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    return tm.tmHeight + 2 * borders[1] + 4;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    CStatusCmdUI state;
    state.m_pBar = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    // Pane 0 holds the message text; the others are indicators.
    for (int i = 1; i < GetCount(); ++i) {
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = m_panes[static_cast<size_t>(i)].nID;
        state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}
