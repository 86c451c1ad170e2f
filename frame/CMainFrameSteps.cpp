// Stepping through the pictures of the shown picture's folder: the step keys
// and the step commands, which the view's side buttons send too.
#include "CMainFrame.h"

#include "CCmdUI.h"
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

// The picture is loaded as File Open loads it (a stepped path holds no '/',
// so no option applies), with one difference: it does not go into the
// history, which keeps the pictures the user opened; stepping through a
// folder of hundreds would push every one of them out.
void CMainFrame::OnStep(UINT nID)
{
    // After a failed load (a broken picture stepped to, opened or dropped)
    // the steps go on from the failed file's place in its folder.
    const CString path = m_folderSteps.Step(StepKindForCommand(nID), m_wndView.m_strLastLoadPath);
    if (path.IsEmpty() || (m_wndView.m_pImage && path == m_wndView.m_strPath))
        return; // nowhere to go, or the one picture of its folder
    if (m_wndView.LoadImageFile(path, FALSE)) {
        m_wndView.InvalidateRect(nullptr, TRUE);
        FitWindowToImage();
    }
}

void CMainFrame::OnUpdateStep(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_wndView.m_strLastLoadPath.IsEmpty());
}
