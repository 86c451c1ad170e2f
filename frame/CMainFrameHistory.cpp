// The history submenu: its entries with thumbnails, opening an entry, deleting
// the history, and the history settings dialog.
#include "CMainFrame.h"

#include "CCmdUI.h"
#include "CClientDC.h"
#include "history/CHistorySettingsDlg.h"
#include "res/resource.h"

namespace {

// The history submenu is the fourth popup of the first menu.
constexpr int kOperationsMenu = 0;
constexpr int kHistorySubMenu = 3;

} // namespace

HMENU CMainFrame::GetHistorySubMenu() const
{
    HMENU hOperations = m_wndMenuBar.m_menu.GetSubMenu(kOperationsMenu);
    return hOperations ? ::GetSubMenu(hOperations, kHistorySubMenu) : nullptr;
}

// The same submenu opens from the menu bar, the context menu and the chevron
// menu (whose rebar passes the message on).
void CMainFrame::OnInitMenuPopup(HMENU hPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CFrameWnd::OnInitMenuPopup(hPopupMenu, nIndex, bSysMenu);
    if (!bSysMenu && hPopupMenu && hPopupMenu == GetHistorySubMenu())
        BuildHistoryMenu();
}

void CMainFrame::OnUninitMenuPopup(HMENU hPopupMenu, UINT)
{
    if (hPopupMenu && hPopupMenu == GetHistorySubMenu())
        m_historyMenu.ReleaseThumbnails();
}

void CMainFrame::BuildHistoryMenu()
{
    HMENU hHistory = GetHistorySubMenu();
    if (!hHistory)
        return;
    m_wndView.m_history.Load();
    m_historyMenu.SetOwner(m_hWnd);
    m_historyMenu.Build(hHistory, m_wndView.m_history, m_wndView.m_strPath);
}

// The worker made a thumbnail (or more) of the submenu's entries.
LRESULT CMainFrame::OnHistoryThumbnail(WPARAM, LPARAM)
{
    m_historyMenu.TakeThumbnails();
    return 0;
}

void CMainFrame::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU && CHistoryMenu::IsEntryCommand(lpMeasureItemStruct->itemID)) {
        CClientDC dc(this);
        m_historyMenu.MeasureEntry(lpMeasureItemStruct, dc, m_lfMenuFont, &m_nMenuTextHeight);
    }
    Default();
}

void CMainFrame::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU && CHistoryMenu::IsEntryCommand(lpDrawItemStruct->itemID))
        m_historyMenu.DrawEntry(lpDrawItemStruct, m_wndView.m_strPath, m_nMenuTextHeight);
    Default();
}

// The entry opens the path it showed, even when the view's history retry has
// rewritten the list since the submenu opened; a command for a position the
// submenu did not list does nothing.
void CMainFrame::OnOpenHistoryItem(UINT nID)
{
    m_historyMenu.CancelThumbnails();
    CString path;
    if (!m_historyMenu.GetEntryPath(nID, path))
        return;
    if (::GetKeyState(VK_SHIFT) < 0) {
        m_wndView.OpenInNewInstance(path);
        return;
    }
    if (m_wndView.LoadImageFile(path)) {
        m_wndView.InvalidateRect(nullptr, TRUE);
        FitWindowToImage();
    }
}

void CMainFrame::OnUpdateHistoryItem(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CMainFrame::OnDeleteHistory()
{
    m_wndView.m_history.DeleteAll();
}

void CMainFrame::OnUpdateDeleteHistory(CCmdUI* pCmdUI)
{
    m_wndView.m_history.Load();
    pCmdUI->Enable(!m_wndView.m_history.m_paths.empty());
}

// The list is read again under the exclusive open when OK applies the
// values, so entries other windows added while the dialog was open, or a
// list that could not be read as it opened, are never written over.
void CMainFrame::OnHistorySettings()
{
    HistoryList& history = m_wndView.m_history;
    history.Load();
    CHistorySettingsDlg dlg;
    dlg.m_nMaxCount = history.m_nMaxCount;
    dlg.m_nThumbWidth = history.m_nThumbWidth;
    dlg.m_nThumbHeight = history.m_nThumbHeight;
    dlg.m_bShowThumbnails = history.m_bShowThumbnails;
    if (dlg.DoModal() != IDOK)
        return;
    history.ApplySettings(dlg.m_nMaxCount, dlg.m_bShowThumbnails, dlg.m_nThumbWidth, dlg.m_nThumbHeight);
}

void CMainFrame::OnUpdateHistorySettings(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}
