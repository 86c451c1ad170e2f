// The context menu, File Open and Help.
#include "CMainFrame.h"

#include <shellapi.h>

#include "AfxGlobals.h"
#include "CCmdUI.h"
#include "CFileDialog.h"
#include "framework/AnsiPath.h"
#include "framework/MbString.h"
#include "image/PictureTypes.h"
#include "res/resource.h"
#include "settings/SettingsFolder.h"

BOOL(WINAPI* CMainFrame::s_pfnShellExecuteEx)(SHELLEXECUTEINFOA*) = &::ShellExecuteExA;

// ---- context menu, File Open, Help ----------------------------------------

void CMainFrame::ShowContextMenu(const POINT* pPoint)
{
    POINT point;
    if (pPoint) {
        point = *pPoint;
    } else {
        RECT rc;
        GetWindowRect(&rc);
        ::GetCursorPos(&point);
        if (!::PtInRect(&rc, point))
            point = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    ::TrackPopupMenu(m_wndMenuBar.m_menu.GetSubMenu(0), AfxGetPopupMenuFlags(), point.x, point.y, 0, m_hWnd, nullptr);
    PostMessage(WM_NULL);
}

void CMainFrame::OnShowContextMenu()
{
    ShowContextMenu(nullptr);
}

void CMainFrame::OnUpdateShowContextMenu(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

// The menu key and Shift+F10 only matter while the frame is hidden, when the
// popup is the one way to the commands.
void CMainFrame::OnContextMenu(HWND, POINT)
{
    if (!m_wndView.m_settings.m_bFrameless)
        return;
    RECT rc;
    GetWindowRect(&rc);
    POINT centre = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ShowContextMenu(&centre);
}

void CMainFrame::OnFileOpen()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, OpenDialogFilter().c_str(),
                    nullptr);
    // The dialog opens in the folder of the picture shown.
    const std::string shown = m_wndView.m_strPath.GetString();
    const std::string folder = FolderOfPath(shown);
    const std::wstring initialDir = folder != shown ? AnsiToWide(folder) : std::wstring();
    if (!initialDir.empty())
        dlg.m_ofn.lpstrInitialDir = initialDir.c_str();
    if (dlg.DoModal() != IDOK)
        return;
    if (::GetKeyState(VK_SHIFT) < 0) {
        m_wndView.OpenInNewInstance(dlg.GetPathName());
        return;
    }
    if (OpenImageWithOptions(dlg.GetPathName())) {
        m_wndView.InvalidateRect(nullptr, TRUE);
        FitWindowToImage();
    }
}

void CMainFrame::OnUpdateFileOpen(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CMainFrame::OnHelpFile()
{
    CString path = GetModuleFolder() + "\\kep.chm";
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    info.hwnd = m_hWnd;
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    s_pfnShellExecuteEx(&info);
}

void CMainFrame::OnUpdateHelpFile(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}
