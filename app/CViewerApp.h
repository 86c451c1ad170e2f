// The application: starts GDI+, creates the one frame, hands it the command
// line and shuts GDI+ down at exit.
#pragma once

#include <objidl.h>
#include <gdiplus.h>

#include "CWinApp.h"

class CViewerApp : public CWinApp {
public:
    CViewerApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    ULONG_PTR m_gdiplusToken = 0;

protected:
    void OnAppAbout();
    DECLARE_MESSAGE_MAP()
};

extern CViewerApp theApp;
