// How the frame looks: translucency, the frameless look, always on top and
// the status bar, each saved when it changes.
#include "CMainFrame.h"

#include "CCmdUI.h"
#include "frame/CActivationKeeper.h"
#include "frame/WindowAppearance.h"
#include "res/resource.h"

// ---- appearance -----------------------------------------------------------

void CMainFrame::ApplyAlpha(int nPercent)
{
    BYTE alpha = AlphaFromPercent(nPercent);
    if (!m_bWinNT || m_dwMajorVersion < 5)
        return;
    if (alpha == kOpaqueAlpha)
        ModifyStyleEx(WS_EX_LAYERED, 0);
    else
        ModifyStyleEx(0, WS_EX_LAYERED);
    CallSetLayeredWindowAttributes(m_hWnd, 0, alpha, LWA_ALPHA);
}

void CMainFrame::OnAlpha(UINT nID)
{
    m_wndView.m_settings.m_nAlpha = static_cast<int>(nID - ID_ALPHA_BASE) * 10;
    ApplyAlpha(m_wndView.m_settings.m_nAlpha);
    m_wndView.m_settings.Save();
}

void CMainFrame::OnUpdateAlpha(CCmdUI* pCmdUI)
{
    if (m_bWinNT && m_dwMajorVersion >= 5) {
        pCmdUI->SetCheck(m_wndView.m_settings.m_nAlpha == static_cast<int>(pCmdUI->m_nID - ID_ALPHA_BASE) * 10);
        pCmdUI->Enable(TRUE);
    } else {
        pCmdUI->Enable(FALSE);
    }
}

void CMainFrame::HideFrameParts()
{
    ModifyStyle(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0);
    ModifyStyleEx(WS_EX_WINDOWEDGE, WS_EX_TOOLWINDOW);
    m_wndView.m_settings.m_bStatusBar = m_wndStatusBar.GetStyle() & WS_VISIBLE;
    if (m_wndView.m_settings.m_bStatusBar)
        ShowControlBar(&m_wndStatusBar, FALSE, FALSE);
    m_wndReBar.SendMessage(RB_SHOWBAND, m_wndReBar.GetBandPos(&m_wndMenuBar), FALSE);
}

void CMainFrame::ShowFrameParts()
{
    ModifyStyle(0, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    ModifyStyleEx(WS_EX_TOOLWINDOW, WS_EX_WINDOWEDGE);
    ShowControlBar(&m_wndStatusBar, m_wndView.m_settings.m_bStatusBar != FALSE, FALSE);
    m_wndReBar.SendMessage(RB_SHOWBAND, m_wndReBar.GetBandPos(&m_wndMenuBar), TRUE);
    SetWindowPos(nullptr, 0, 0, kDefaultFrameSize, kDefaultFrameSize,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void CMainFrame::ApplyFrameStyle()
{
    // The parts are changed with the window hidden; the keyboard stays where
    // it was, and a window in the background stays there.
    CActivationKeeper keeper(m_hWnd);
    const UINT nActivate = IsWindowVisible() && !keeper.WasActive() ? SWP_NOACTIVATE : 0;
    RECT before;
    m_wndView.GetWindowRect(&before);
    m_wndView.UpdateFreeZoom();
    if (m_wndView.m_settings.m_bFrameless)
        HideFrameParts();
    else
        ShowFrameParts();
    RefreshFrameStyle();
    RECT after;
    RECT frame;
    m_wndView.GetWindowRect(&after);
    GetWindowRect(&frame);
    SetWindowPos(nullptr, frame.left + before.left - after.left, frame.top + before.top - after.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | nActivate);
}

void CMainFrame::OnHideFrame()
{
    m_wndView.m_settings.m_bFrameless = !m_wndView.m_settings.m_bFrameless;
    m_wndView.m_settings.Save();
    ApplyFrameStyle();
}

void CMainFrame::OnUpdateHideFrame(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndView.m_settings.m_bFrameless != FALSE);
}

void CMainFrame::OnTopMost()
{
    m_wndView.m_settings.m_bTopMost = !m_wndView.m_settings.m_bTopMost;
    m_wndView.m_settings.Save();
    SetWindowPos(m_wndView.m_settings.m_bTopMost ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void CMainFrame::OnUpdateTopMost(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndView.m_settings.m_bTopMost != FALSE);
}

void CMainFrame::OnViewStatusBar()
{
    WindowSettings& settings = m_wndView.m_settings;
    settings.m_bStatusBar = settings.m_bStatusBar == 0 ? 1 : 0;
    ShowControlBar(&m_wndStatusBar, settings.m_bStatusBar, FALSE);
    settings.Save();
    FitWindowToImage();
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndView.m_settings.m_bStatusBar != FALSE);
}
