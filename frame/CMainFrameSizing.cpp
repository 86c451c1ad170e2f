// The frame's size follows the displayed image: the command line and its
// option suffix, the fit around the image, the border style, the rotate and
// flip commands and the zoom commands.
#include "CMainFrame.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "CCmdUI.h"
#include "frame/CActivationKeeper.h"
#include "frame/CFixedSizeDlg.h"
#include "frame/CommandLine.h"
#include "frame/FrameGeometry.h"
#include "frame/ZoomCommands.h"
#include "view/ImageGeometry.h"
#include "res/resource.h"

// ---- command line ---------------------------------------------------------

void CMainFrame::ProcessCommandLine(CString strCmdLine)
{
    std::vector<std::string> tokens = SplitCommandLine(strCmdLine.GetString());
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (k >= 1) {
            m_wndView.OpenInNewInstance(tokens[k].c_str());
            continue;
        }
        if (OpenImageWithOptions(StripOuterQuotes(tokens[0]).c_str())) {
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
            FitWindowToImage();
        }
    }
}

BOOL CMainFrame::OpenImageWithOptions(CString strPath)
{
    OptionSuffix options = SplitOptionSuffix(strPath.GetString());
    if (options.hasOptions) {
        strPath = options.path.c_str();
        // With fewer than two ':' nothing can be read reliably: the frame stays
        // where it is and the zoom value is kept.
        if (options.hasLeftTop) {
            RECT rcImage;
            RECT rcFrame;
            GetWindowRect(&rcFrame);
            int width = rcFrame.right - rcFrame.left;
            int height = rcFrame.bottom - rcFrame.top;
            if (m_wndView.GetImageRect(&rcImage)) {
                width = std::max<int>(rcImage.right - rcImage.left, kMinReachableSize);
                height = std::max<int>(rcImage.bottom - rcImage.top, kMinReachableSize);
            }
            const POINT corner = ReachableCorner(options.left, options.top, width, height);
            MoveWindow(corner.x, corner.y, width, height, TRUE);
        }
        if (options.hasZoom)
            m_wndView.m_settings.m_nZoomValue = options.zoom;
    }
    return m_wndView.LoadImageFile(strPath);
}

// ---- window size ----------------------------------------------------------

namespace {

// The work area of the monitor nearest to the window rectangle.
bool WorkAreaNear(const RECT& window, RECT* pWorkArea)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoA(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
        return false;
    *pWorkArea = monitor.rcWork;
    return true;
}

} // namespace

POINT CMainFrame::ReachableCorner(int left, int top, int width, int height) const
{
    const RECT window = {left, top,
                         static_cast<LONG>(std::min<long long>(static_cast<long long>(left) + width, INT_MAX)),
                         static_cast<LONG>(std::min<long long>(static_cast<long long>(top) + height, INT_MAX))};
    RECT workArea;
    if (!WorkAreaNear(window, &workArea))
        return POINT{left, top};
    return KeepWindowReachable(window, workArea);
}

DrawnSizeFor CMainFrame::DrawnSizeForFit() const
{
    RECT rcFrame;
    RECT rcView;
    GetWindowRect(&rcFrame);
    m_wndView.GetWindowRect(&rcView);
    const WindowSettings& settings = m_wndView.m_settings;
    FitSnapshot fit = {settings.m_nZoomMode,
                       settings.m_nZoomValue,
                       m_wndView.m_dFreeZoom,
                       m_wndView.m_nRotation,
                       {(rcView.left - rcFrame.left) + (rcFrame.right - rcView.right),
                        (rcView.top - rcFrame.top) + (rcFrame.bottom - rcView.bottom)},
                       {0, 0},
                       false};
    RECT rcWork;
    if (WorkAreaNear(rcFrame, &rcWork)) {
        fit.work = SIZE{rcWork.right - rcWork.left, rcWork.bottom - rcWork.top};
        fit.bWork = true;
    }
    return [fit](SIZE upright) { return DrawnSizeAfterFit(fit, upright); };
}

void CMainFrame::FitWindowToImage()
{
    POINT corner;
    SIZE size;
    if (ComputeFit(&corner, &size))
        ApplyFit(corner, size);
}

// The fit computed once: in the free mode the computing lowers the zoom of a
// picture too large for the work area and moves the window inside it, which
// a second computing would no longer see.
void CMainFrame::ApplyFit(POINT corner, SIZE size)
{
    SetWindowPos(m_wndView.m_settings.m_bTopMost ? &wndTopMost : nullptr, corner.x, corner.y, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
    m_rcFitAsked = RECT{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
    GetWindowRect(&m_rcFitGot);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow();
}

// After a step the window is fitted as after any load; when the fit asks for
// what the last one asked and the window is still where that one put it (the
// system may have kept a window larger than the screen smaller), in its
// band, only the view (which the step invalidated) is repainted: the bars
// around it show nothing new.
void CMainFrame::FitWindowAfterStep()
{
    POINT corner;
    SIZE size;
    if (!ComputeFit(&corner, &size))
        return;
    const RECT asked = {corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
    RECT rc;
    GetWindowRect(&rc);
    const bool bTopMost = (GetExStyle() & WS_EX_TOPMOST) != 0;
    if (!::EqualRect(&asked, &m_rcFitAsked) || !::EqualRect(&rc, &m_rcFitGot) || !IsWindowVisible() ||
        bTopMost != (m_wndView.m_settings.m_bTopMost != FALSE)) {
        ApplyFit(corner, size);
        return;
    }
    m_wndView.UpdateWindow();
}

// Where the frame goes and how large it is to hold the view's display
// rectangle; false when the view shows nothing.
bool CMainFrame::ComputeFit(POINT* pCorner, SIZE* pSize)
{
    RECT rcFrame;
    RECT rcView;
    RECT rcImage;
    GetWindowRect(&rcFrame);
    m_wndView.GetWindowRect(&rcView);
    if (!m_wndView.GetImageRect(&rcImage))
        return false;
    SIZE size = FrameSizeAroundImage(rcFrame, rcView, rcImage);
    POINT corner;
    RECT rcWork;
    if (m_wndView.m_settings.m_nZoomMode == ZOOM_ANY && WorkAreaNear(rcFrame, &rcWork) &&
        (size.cx > rcWork.right - rcWork.left || size.cy > rcWork.bottom - rcWork.top)) {
        // In the free mode a picture too large for the screen is made
        // smaller until the whole window fits the work area, and the window
        // moves as little as it must to lie inside it: the whole picture
        // shows, and the caption and the borders stay within reach.
        const SIZE decorations = {(rcView.left - rcFrame.left) + (rcFrame.right - rcView.right),
                                  (rcView.top - rcFrame.top) + (rcFrame.bottom - rcView.bottom)};
        const bool bTurned = IsQuarterTurn(m_wndView.m_nRotation);
        const SIZE picture = {bTurned ? m_wndView.m_nImageHeight : m_wndView.m_nImageWidth,
                              bTurned ? m_wndView.m_nImageWidth : m_wndView.m_nImageHeight};
        const SIZE work = {rcWork.right - rcWork.left, rcWork.bottom - rcWork.top};
        m_wndView.m_dFreeZoom = FreeZoomInsideWorkArea(m_wndView.m_dFreeZoom, picture, decorations, work);
        m_wndView.GetImageRect(&rcImage);
        size = FrameSizeAroundImage(rcFrame, rcView, rcImage);
        const RECT wanted = {rcFrame.left, rcFrame.top, rcFrame.left + size.cx, rcFrame.top + size.cy};
        corner = KeepWindowInside(wanted, rcWork);
    } else {
        // The corner stays where it is unless too little of the window would
        // be left on a screen to find it.
        corner = ReachableCorner(rcFrame.left, rcFrame.top, size.cx, size.cy);
    }
    *pCorner = corner;
    *pSize = size;
    return true;
}

void CMainFrame::RefreshFrameStyle()
{
    // The hide below would leave the window without the keyboard.
    CActivationKeeper keeper(m_hWnd);
    if (m_wndView.m_settings.m_nZoomValue != 0)
        ModifyStyle(WS_THICKFRAME, 0);
    else
        ModifyStyle(0, WS_THICKFRAME);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_HIDEWINDOW |
                     SWP_NOCOPYBITS);
    if (m_wndView.m_pImage)
        FitWindowToImage();
    if (!m_wndView.m_settings.m_bFrameless) {
        // The bar is made anew so that its size grip follows the border style.
        ShowControlBar(&m_wndStatusBar, FALSE, FALSE);
        m_wndStatusBar.DestroyWindow();
        CreateStatusBar();
        ShowControlBar(&m_wndStatusBar, m_wndView.m_settings.m_bStatusBar != FALSE, FALSE);
        // The new bar starts blank: give it the idle text again.
        SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    }
    if (!m_wndView.m_pImage)
        // Nothing to fit: the frame is shown again at its size rather than
        // left hidden (a zoom command on an empty window).
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// ---- rotate and flip ------------------------------------------------------

void CMainFrame::OnRotateLeft()
{
    m_wndView.RotateLeft();
    RefreshFrameStyle();
}

void CMainFrame::OnRotateRight()
{
    m_wndView.RotateRight();
    RefreshFrameStyle();
}

void CMainFrame::OnFlipHorizontal()
{
    m_wndView.FlipHorizontal();
    RefreshFrameStyle();
}

void CMainFrame::OnFlipVertical()
{
    m_wndView.FlipVertical();
    RefreshFrameStyle();
}

void CMainFrame::OnUpdateRotateLeft(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnUpdateRotateRight(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnUpdateFlipHorizontal(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

void CMainFrame::OnUpdateFlipVertical(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}

// ---- zoom -----------------------------------------------------------------

void CMainFrame::OnZoom(UINT nID)
{
    WindowSettings& settings = m_wndView.m_settings;
    if (IsFixedZoomCommand(nID)) {
        CFixedSizeDlg dlg(this);
        RECT rc;
        // Without an image the dialog starts from the stored value.
        dlg.m_nPixels = settings.m_nZoomValue;
        if (nID != ID_ZOOM_FIX_BOTH && m_wndView.GetImageRect(&rc))
            dlg.m_nPixels = nID == ID_ZOOM_FIX_WIDTH ? rc.right - rc.left : rc.bottom - rc.top;
        if (dlg.DoModal() != IDOK)
            return;
        settings.m_nZoomValue = dlg.m_nPixels;
    } else {
        settings.m_nZoomValue = ZoomPercentForCommand(nID);
    }
    settings.m_nZoomMode = ZoomModeForCommand(nID);
    settings.Save();
    m_wndView.UpdateFreeZoom();
    RefreshFrameStyle();
}

void CMainFrame::OnUpdateZoom(CCmdUI* pCmdUI)
{
    const WindowSettings& settings = m_wndView.m_settings;
    UINT nID = pCmdUI->m_nID;
    pCmdUI->Enable(TRUE);
    const bool bModeMatches = settings.m_nZoomMode == ZoomModeForCommand(nID);
    if (IsFixedZoomCommand(nID)) {
        pCmdUI->SetCheck(bModeMatches);
        pCmdUI->SetText(FixedZoomMenuText(nID, settings.m_nZoomMode, settings.m_nZoomValue).c_str());
    } else if (nID == ID_ZOOM_ANY) {
        pCmdUI->SetCheck(bModeMatches);
    } else {
        pCmdUI->SetCheck(bModeMatches && settings.m_nZoomValue == ZoomPercentForCommand(nID));
    }
}
