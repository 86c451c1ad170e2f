// The start pulse: Shift + left click on the picture strips the frame to the
// bare picture, which then shrinks to half its size and grows back every
// five seconds around its centre; the same click again ends it.
#include "CMainFrame.h"

#include "CCmdUI.h"
#include "frame/FrameGeometry.h"

namespace {

constexpr UINT_PTR ID_START_TIMER = 1;
constexpr UINT kStartTimerMs = 20;
// Phase steps per tick: one period of 500 steps takes 250 ticks, 5 s.
constexpr int kPhaseStep = 2;

} // namespace

const CWnd* CMainFrame::InsertAfterForTopMost() const
{
    return m_wndView.m_settings.m_bTopMost ? &wndTopMost : nullptr;
}

void CMainFrame::OnStart()
{
    if (m_nStartTimer == 0)
        StartPulse();
    else
        StopPulse();
}

void CMainFrame::OnUpdateStart(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
    pCmdUI->SetCheck(m_nStartTimer != 0);
}

void CMainFrame::StartPulse()
{
    if (!m_wndView.m_pImage)
        return;
    m_nStartPhase = 0;
    m_nStartTimer = static_cast<UINT>(SetTimer(ID_START_TIMER, kStartTimerMs));
    if (m_nStartTimer == 0)
        return; // no timer to drive it: no pulse
    m_wndView.m_bCoverView = TRUE;
    if (m_wndView.m_settings.m_bFrameless)
        return; // already the bare picture; the first tick sets the size
    // The frame parts go while the picture keeps its place on the screen.
    RECT rcViewBefore;
    m_wndView.GetWindowRect(&rcViewBefore);
    HideFrameParts();
    // The caption and borders leave only with a frame change; the fit then
    // measures the frame without them.
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOCOPYBITS);
    FitWindowToImage();
    RECT rcViewAfter;
    RECT rcFrame;
    m_wndView.GetWindowRect(&rcViewAfter);
    GetWindowRect(&rcFrame);
    ::OffsetRect(&rcFrame, rcViewBefore.left - rcViewAfter.left, rcViewBefore.top - rcViewAfter.top);
    SetWindowPos(InsertAfterForTopMost(), rcFrame.left, rcFrame.top, rcFrame.right - rcFrame.left,
                 rcFrame.bottom - rcFrame.top, SWP_SHOWWINDOW);
}

void CMainFrame::StopPulse()
{
    KillTimer(m_nStartTimer);
    m_nStartTimer = 0;
    m_wndView.m_bCoverView = FALSE;
    // The picture comes back centred where the pulse left it: its corner
    // goes where a picture of the display size centred on the pulse's centre
    // has its corner. Without a picture (a failed load emptied the view) the
    // empty window is centred there instead.
    RECT rcImage;
    const BOOL bHasImage = m_wndView.GetImageRect(&rcImage);
    RECT rcPulse;
    GetWindowRect(&rcPulse);
    if (!m_wndView.m_settings.m_bFrameless)
        ShowFrameParts();
    RefreshFrameStyle();

    RECT rcFrame;
    GetWindowRect(&rcFrame);
    int dx = 0;
    int dy = 0;
    RECT rcNow;
    if (bHasImage && m_wndView.GetImageRect(&rcNow)) {
        dx = rcImage.left - rcNow.left;
        dy = rcImage.top - rcNow.top;
    } else {
        dx = (rcPulse.left + rcPulse.right) / 2 - (rcFrame.left + rcFrame.right) / 2;
        dy = (rcPulse.top + rcPulse.bottom) / 2 - (rcFrame.top + rcFrame.bottom) / 2;
    }
    ::OffsetRect(&rcFrame, dx, dy);
    SetWindowPos(InsertAfterForTopMost(), rcFrame.left, rcFrame.top, rcFrame.right - rcFrame.left,
                 rcFrame.bottom - rcFrame.top, SWP_SHOWWINDOW);
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (m_nStartTimer != 0 && nIDEvent == m_nStartTimer)
        PulseTick();
    if (nIDEvent == kAheadIdleTimer) {
        // Stepping stopped: nothing is kept ahead while the user only looks.
        KillTimer(kAheadIdleTimer);
        if (!m_picturesAhead.IsWaiting())
            m_picturesAhead.Clear();
    }
    Default();
}

// One step of the pulse: the frame takes the size of this phase, centred on
// the picture's centre, and is painted at once.
void CMainFrame::PulseTick()
{
    RECT rcImage;
    if (!m_wndView.GetImageRect(&rcImage)) {
        // The picture went (a failed load): there is no centre to pulse
        // around, so the pulse ends and the frame comes back.
        StopPulse();
        return;
    }
    m_nStartPhase %= kPulsePeriod;
    const int factor = PulseSizeFactor(m_nStartPhase);
    m_nStartPhase += kPhaseStep;
    const POINT centre = {(rcImage.left + rcImage.right) / 2, (rcImage.top + rcImage.bottom) / 2};
    const SIZE base = PulseBaseSize(m_wndView.m_nImageWidth, m_wndView.m_nImageHeight, m_wndView.m_settings.m_nZoomMode,
                                    m_wndView.m_settings.m_nZoomValue);
    const RECT rc = PulseWindowRect(centre, base, factor);
    SetWindowPos(InsertAfterForTopMost(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow();
}
