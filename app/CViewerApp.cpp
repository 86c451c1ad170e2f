#include "CViewerApp.h"

#include <mbstring.h>

#include "app/CAboutDlg.h"
#include "frame/CMainFrame.h"
#include "frame/CommandLine.h"
#include "framework/AnsiPath.h"
#include "res/resource.h"

CViewerApp theApp;

namespace {

// The command line as the program reads it: the system's UTF-16 line, in
// which a file name outside the ANSI code page is still whole, turned into
// the ANSI line of the same grammar (such a name becomes its short form).
// The ANSI line that WinMain is given has already lost those characters.
std::string ProgramCommandLine()
{
    const wchar_t* line = ::GetCommandLineW();
    return AnsiCommandLine(ArgumentsOfCommandLine(line ? line : L""), &AnsiPathForWide);
}

} // namespace

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

    CString cmdLine = ProgramCommandLine().c_str();
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
