// Closing every window of the program: the frames of all processes find each
// other by their window class.
#include "CMainFrame.h"

#include <vector>

#include "CCmdUI.h"

void CMainFrame::OnCloseAll()
{
    // All frames are collected before the first is asked to go, so that the
    // walk never meets a window that is closing.
    std::vector<HWND> others;
    for (HWND h = ::FindWindowExA(nullptr, nullptr, kFrameClassName, nullptr); h;
         h = ::FindWindowExA(nullptr, h, kFrameClassName, nullptr)) {
        if (h != m_hWnd)
            others.push_back(h);
    }
    // Posted, not sent: each process closes in its own time and this call
    // returns at once. This window goes last.
    for (HWND h : others)
        ::PostMessageA(h, WM_COMMAND, ID_APP_EXIT, 0);
    PostMessage(WM_COMMAND, ID_APP_EXIT, 0);
}

void CMainFrame::OnUpdateCloseAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}
