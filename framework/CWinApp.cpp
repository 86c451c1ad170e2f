#include "CWinApp.h"

#include <windows.h>
#include <commctrl.h>

#include "AfxGlobals.h"
#include "CFrameWnd.h"
#include "afxres.h"

namespace {
CWinApp* g_pApp = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::WinMainEntry(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nCmdShow = nCmdShow;
    m_pszAppName = AfxGetAppName();

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    if (!InitInstance()) {
        if (m_pMainWnd && ::IsWindow(m_pMainWnd->m_hWnd))
            m_pMainWnd->DestroyWindow();
        return ExitInstance();
    }
    return Run();
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0)
            break;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        // Mouse moves and timer ticks alone do not start a new idle pass.
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE && msg.message != WM_TIMER &&
            msg.message != WM_PAINT) {
            bIdle = TRUE;
            lIdleCount = 0;
        }
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    // Each window from the message's own up to the main window may take it.
    HWND hMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd)) {
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        if (hWnd == hMain)
            return FALSE;
    }
    // Messages of windows outside the frame (thread messages included) still
    // reach the main window, which owns the keyboard interface.
    return hMain && m_pMainWnd->PreTranslateMessage(pMsg);
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount == 0) {
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(m_pMainWnd))
            if (::IsWindow(pFrame->m_hWnd))
                pFrame->OnIdleUpdateCmdUI();
    }
    return FALSE;
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

// ---- process-wide helpers ------------------------------------------------

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

void AfxOnMainWindowDestroyed()
{
    if (g_pApp)
        g_pApp->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
}
