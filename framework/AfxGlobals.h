// Process-wide helpers of the framework: the application object, the main
// window, the instance handle and window-class registration.
#pragma once

#include <windows.h>

class CWinApp;
class CWnd;

CWinApp* AfxGetApp();
// The application's main window (the frame), or nullptr.
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The application title ("KEP"), from the string resource AFX_IDS_APP_TITLE.
const char* AfxGetAppName();

// Registers (once) a window class with these attributes whose procedure is
// DefWindowProc, and returns its generated name (valid for the process' life).
const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                HICON hIcon = nullptr);
// Registers a class, succeeding also when it already exists.
BOOL AfxRegisterClass(WNDCLASSA* lpWndClass);

// The system's version as GetVersionEx reports it.
OSVERSIONINFOA AfxGetOsVersion();
// Flags for TrackPopupMenu: left-aligned, left button, and the vertical
// animation except on NT 4 and earlier, which know no menu animation.
UINT AfxGetPopupMenuFlags();

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK);

// Called when the main window has been destroyed: ends the message loop.
void AfxOnMainWindowDestroyed();
