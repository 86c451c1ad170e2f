// Stepping through the pictures of the shown picture's folder: the step keys
// and the step commands, which the view's side buttons send too.
#include "CMainFrame.h"

#include "CCmdUI.h"
#include "frame/FrameGeometry.h"
#include "res/resource.h"

namespace {

// The step command of a key; 0 for any other key.
UINT StepCommandForKey(WPARAM vkey)
{
    switch (vkey) {
    case VK_RIGHT:
    case VK_DOWN:
    case VK_NEXT:
    case VK_SPACE: return ID_STEP_NEXT;
    case VK_LEFT:
    case VK_UP:
    case VK_PRIOR:
    case VK_BACK: return ID_STEP_PREVIOUS;
    case VK_HOME: return ID_STEP_FIRST;
    case VK_END: return ID_STEP_LAST;
    default: return 0;
    }
}

StepKind StepKindForCommand(UINT nID)
{
    switch (nID) {
    case ID_STEP_PREVIOUS: return StepKind::Previous;
    case ID_STEP_FIRST: return StepKind::First;
    case ID_STEP_LAST: return StepKind::Last;
    default: return StepKind::Next;
    }
}

} // namespace

BOOL CMainFrame::TranslateStepKey(const MSG* pMsg)
{
    // Only the keys typed at the picture: a dialog's controls (owned windows,
    // whose messages pass this frame too) keep theirs.
    if (pMsg->message != WM_KEYDOWN || (pMsg->hwnd != m_wndView.m_hWnd && pMsg->hwnd != m_hWnd))
        return FALSE;
    if (::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return FALSE;
    const UINT nID = StepCommandForKey(pMsg->wParam);
    if (nID == 0)
        return FALSE;
    SendMessage(WM_COMMAND, nID);
    return TRUE;
}

// The picture is shown as File Open shows one (a stepped path holds no '/',
// so no option applies), with one difference: it does not go into the
// history, which keeps the pictures the user opened; stepping through a
// folder of hundreds would push every one of them out.
//
// The window never waits for a picture: one decoded ahead shows at once;
// any other is decoded on the worker while the window keeps answering (with
// the wait cursor), and further steps move the target on instead of queueing
// decodes, so only the picture the user stops at is shown.
void CMainFrame::OnStep(UINT nID)
{
    // The place the user is at: the picture a pending step goes to, else the
    // last one loaded (after a failed load, the failed file's place).
    const bool bPending = m_picturesAhead.IsWaiting() && m_nStepLoadCount == m_wndView.m_nLoadCount;
    const CString from = bPending ? m_strStepTarget : m_wndView.m_strLastLoadPath;
    const CString path = m_folderSteps.Step(StepKindForCommand(nID), from);
    if (path.IsEmpty() || (!bPending && m_wndView.m_pImage && path == m_wndView.m_strPath))
        return; // nowhere to go, or the one picture of its folder
    // Pictures are kept ahead while steps follow each other.
    SetTimer(kAheadIdleTimer, kAheadIdleMs);
    if (std::unique_ptr<DecodedPicture> ready = m_picturesAhead.Take(path)) {
        EndStepWait();
        ShowStepped(std::move(ready));
        return;
    }
    m_strStepTarget = path;
    m_nStepLoadCount = m_wndView.m_nLoadCount;
    m_picturesAhead.RequestTarget(path);
    m_wndView.SetWaiting(TRUE);
}

// The picture a step went to, decoded on the worker.
LRESULT CMainFrame::OnPictureDecoded(WPARAM, LPARAM)
{
    std::unique_ptr<DecodedPicture> decoded = m_picturesAhead.TakeResult();
    if (!decoded)
        return 0;
    EndStepWait();
    // Another picture was opened meanwhile (a drop, the history): it stays.
    if (m_nStepLoadCount != m_wndView.m_nLoadCount)
        return 0;
    ShowStepped(std::move(decoded));
    return 0;
}

LRESULT CMainFrame::OnReleasePictures(WPARAM, LPARAM)
{
    m_picturesAhead.FlushReleases();
    return 0;
}

void CMainFrame::EndStepWait()
{
    m_strStepTarget.Empty();
    m_wndView.SetWaiting(FALSE);
}

void CMainFrame::ShowStepped(std::unique_ptr<DecodedPicture> decoded)
{
    m_wndView.ShowDecodedPicture(std::move(decoded->picture), decoded->result, decoded->path, FALSE, decoded->stamp);
    m_wndView.InvalidateRect(nullptr, TRUE);
    FitWindowAfterStep();
    // The neighbours are decoded ahead, scaled to the size this fit gives.
    m_picturesAhead.RequestNeighbours(m_folderSteps.Neighbour(StepKind::Previous),
                                      m_folderSteps.Neighbour(StepKind::Next), DrawnSizeForFit());
}

void CMainFrame::OnUpdateStep(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_wndView.m_strLastLoadPath.IsEmpty());
}
