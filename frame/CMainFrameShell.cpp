// The shell integration commands: the Send To shortcut and the Explorer
// context-menu entry, each toggled, and the Startup shortcut of the current
// display. The writers live in shell/; their check marks are read afresh
// whenever a menu shows them.
#include "CMainFrame.h"

#include "CCmdUI.h"
#include "shell/ContextMenuEntry.h"
#include "shell/SendToShortcut.h"
#include "shell/StartupShortcut.h"

void CMainFrame::OnSendToShortcut()
{
    if (SendToShortcutExists())
        DeleteSendToShortcut();
    else
        CreateSendToShortcut();
}

void CMainFrame::OnUpdateSendToShortcut(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(SendToShortcutExists());
}

void CMainFrame::OnContextMenuEntry()
{
    if (ContextMenuEntryExists())
        DeleteContextMenuEntry();
    else
        CreateContextMenuEntry();
}

void CMainFrame::OnUpdateContextMenuEntry(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(ContextMenuEntryExists());
    pCmdUI->Enable(TRUE);
}

void CMainFrame::OnRegisterStartup()
{
    if (!m_wndView.m_pImage)
        return;
    RECT rcFrame;
    GetWindowRect(&rcFrame);
    RegisterStartupShortcut(m_wndView.m_strPath.GetString(), rcFrame, m_wndView.m_settings.m_nZoomValue);
}

void CMainFrame::OnUpdateRegisterStartup(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndView.m_pImage != nullptr);
}
