#include "CViewerApp.h"

#include <mbstring.h>

#include "app/CAboutDlg.h"
#include "frame/CMainFrame.h"
#include "res/resource.h"

CViewerApp theApp;

BEGIN_MESSAGE_MAP(CViewerApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CViewerApp::CViewerApp()
{
    m_gdiplusStartupInput.GdiplusVersion = 1;
    m_gdiplusStartupInput.DebugEventCallback = nullptr;
    m_gdiplusStartupInput.SuppressBackgroundThread = FALSE;
    m_gdiplusStartupInput.SuppressExternalCodecs = FALSE;
}

BOOL CViewerApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();
    SetRegistryKey("Local AppWizard-Generated Applications");

    Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);

    auto* pFrame = new CMainFrame;
    m_pMainWnd = pFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        // Creation failed: the object went with its window if one was made.
        if (m_pMainWnd == pFrame && !pFrame->m_hWnd)
            delete pFrame;
        m_pMainWnd = nullptr;
        return FALSE;
    }

    CString cmdLine = m_lpCmdLine ? m_lpCmdLine : "";
    if (_mbscmp(reinterpret_cast<const unsigned char*>(cmdLine.GetString()),
                reinterpret_cast<const unsigned char*>("")) != 0)
        pFrame->ProcessCommandLine(cmdLine);

    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    return TRUE;
}

int CViewerApp::ExitInstance()
{
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    return CWinApp::ExitInstance();
}

void CViewerApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
