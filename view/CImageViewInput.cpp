// The view's input: files dropped on it, the mouse buttons and wheel, and the
// new processes it starts for further pictures.
#include "CImageView.h"

#include <shlobj.h>

#include <string>

#include "AfxGlobals.h"
#include "framework/AnsiPath.h"
#include "res/resource.h"
#include "shell/NewInstance.h"
#include "view/WheelSteps.h"

BOOL CImageView::OpenInNewInstance(CString path)
{
    StartNewInstance(path);
    return TRUE;
}

namespace {

// The index that asks DragQueryFile for the number of dropped items.
constexpr UINT kDropCountQuery = 0xFFFFFFFF;

// The item's path is read in UTF-16, where a name outside the ANSI code page
// is still whole, and kept in its ANSI form (the short name for such a name).
CString DroppedPath(HDROP hDrop, UINT index)
{
    const UINT length = ::DragQueryFileW(hDrop, index, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(::DragQueryFileW(hDrop, index, path.data(), length + 1));
    return AnsiPathForWide(path).c_str();
}

// Files only: folders (and what lies above them) and items outside the file
// system are skipped; so is an item the shell has nothing to say about.
bool IsDroppableFile(const CString& path)
{
    SHFILEINFOA info = {};
    if (!::SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ATTRIBUTES))
        return false;
    return (info.dwAttributes & SFGAO_FILESYSTEM) && !(info.dwAttributes & SFGAO_FILESYSANCESTOR);
}

} // namespace

void CImageView::LoadDropped(const CString& path)
{
    LoadImageFile(path);
    InvalidateRect(nullptr, TRUE);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, ID_FIT_WINDOW, 0);
}

// The zoom, the turns and the mirror stay; the history is left alone; the
// frame fits the picture as after a drop.
void CImageView::ShowChangedFile(std::unique_ptr<CPicture> picture)
{
    if (!m_hWnd)
        return; // the window is closing
    if (m_strPath.IsEmpty())
        return; // no picture shown any more
    m_animation.Stop();
    ReleaseImage();
    // The watch runs on for this path, so no stamp is needed.
    ShowPicture(std::move(picture), CString(m_strPath), FALSE, FileStamp());
    InvalidateRect(nullptr, TRUE);
    SendToFrame(ID_FIT_WINDOW);
}

void CImageView::OnDropFiles(HDROP hDropInfo)
{
    UINT count = ::DragQueryFileW(hDropInfo, kDropCountQuery, nullptr, 0);
    if (count == 1) {
        CString path = DroppedPath(hDropInfo, 0);
        if (::GetKeyState(VK_SHIFT) < 0)
            OpenInNewInstance(path);
        else
            LoadDropped(path);
    } else {
        // Only an empty window takes the first item; every other file goes
        // to a new process. Shift plays no part here.
        for (UINT i = 0; i < count; ++i) {
            CString path = DroppedPath(hDropInfo, i);
            if (!IsDroppableFile(path))
                continue;
            if (i == 0 && m_strPath.IsEmpty())
                LoadDropped(path);
            else
                OpenInNewInstance(path);
        }
    }
    Default();
    // The drop is over: its memory goes back.
    ::DragFinish(hDropInfo);
}

void CImageView::OnRButtonDown(UINT, POINT)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, ID_SHOW_CONTEXT_MENU, 0);
    Default();
}

void CImageView::OnLButtonDblClk(UINT, POINT)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_CLOSE);
    Default();
}

void CImageView::SendToFrame(UINT nID)
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_COMMAND, nID, 0);
}

BOOL CImageView::OnMouseWheel(UINT nFlags, short zDelta, POINT)
{
    const bool bAlpha = (nFlags & MK_CONTROL) != 0;
    // Turning on with the other kind starts that one afresh.
    (bAlpha ? m_nZoomWheel : m_nAlphaWheel) = 0;
    const int notches = TakeWheelNotches(bAlpha ? &m_nAlphaWheel : &m_nZoomWheel, zDelta);
    if (notches == 0)
        return TRUE;
    UINT nID = 0;
    if (bAlpha) {
        nID = AlphaCommandForWheel(m_settings.m_nAlpha, notches);
    } else if (m_pImage) {
        UpdateFreeZoom();
        nID = ZoomCommandForWheel(DisplayedZoomPercent(m_nImageWidth, m_nImageHeight, m_settings.m_nZoomMode,
                                                       m_settings.m_nZoomValue, m_dFreeZoom),
                                  notches);
    }
    if (nID)
        SendToFrame(nID);
    return TRUE;
}

// Taken on the release, as the system takes its back and forward buttons;
// handled here, the release makes no WM_APPCOMMAND as well.
void CImageView::OnXButtonUp(UINT, UINT nButton, POINT)
{
    if (nButton == XBUTTON1)
        SendToFrame(ID_STEP_PREVIOUS);
    else if (nButton == XBUTTON2)
        SendToFrame(ID_STEP_NEXT);
}

LRESULT CImageView::OnAppCommand(HWND, UINT nCmd, UINT, UINT)
{
    if (nCmd == APPCOMMAND_BROWSER_BACKWARD) {
        SendToFrame(ID_STEP_PREVIOUS);
        return TRUE;
    }
    if (nCmd == APPCOMMAND_BROWSER_FORWARD) {
        SendToFrame(ID_STEP_NEXT);
        return TRUE;
    }
    return Default();
}

LRESULT CImageView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        if (CWnd* pMain = AfxGetMainWnd()) {
            if (::GetKeyState(VK_SHIFT) < 0)
                pMain->PostMessage(WM_COMMAND, ID_START, 0);
            else if (m_settings.m_bFrameless)
                pMain->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CImageView::SetWaiting(BOOL bWaiting)
{
    m_bWaiting = bWaiting;
    // The cursor changes at once where it rests over the window.
    POINT point;
    if (::GetCursorPos(&point) && ::WindowFromPoint(point) == m_hWnd)
        ::SetCursor(::LoadCursor(nullptr, bWaiting ? IDC_WAIT : IDC_ARROW));
}

BOOL CImageView::OnSetCursor(HWND, UINT nHitTest, UINT)
{
    if (m_bWaiting && nHitTest == HTCLIENT) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}
