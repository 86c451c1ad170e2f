#include "AfxGlobals.h"

#include <cstdio>
#include <list>

#include "CString.h"
#include "CWinApp.h"
#include "afxres.h"

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

const char* AfxGetAppName()
{
    static CString name;
    if (name.IsEmpty() && !name.LoadString(AFX_IDS_APP_TITLE))
        name = "KEP";
    return name;
}

BOOL AfxRegisterClass(WNDCLASSA* lpWndClass)
{
    WNDCLASSA existing;
    if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassA(lpWndClass) != 0;
}

const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The names live as long as the process; a list keeps them at fixed addresses.
    static std::list<CString> names;
    char buffer[128];
    std::snprintf(buffer, sizeof(buffer), "Afx:%p:%x:%p:%p:%p", static_cast<void*>(AfxGetInstanceHandle()), nClassStyle,
                  static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    for (const CString& name : names)
        if (name == buffer)
            return name;

    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = buffer;
    if (!AfxRegisterClass(&wc))
        return nullptr;
    names.emplace_back(buffer);
    return names.back();
}

int AfxMessageBox(const char* lpszText, UINT nType)
{
    CWnd* pMain = AfxGetMainWnd();
    return ::MessageBoxA(pMain ? pMain->m_hWnd : nullptr, lpszText, AfxGetAppName(), nType);
}

OSVERSIONINFOA AfxGetOsVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    return info;
}

UINT AfxGetPopupMenuFlags()
{
    OSVERSIONINFOA info = AfxGetOsVersion();
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion < 5)
        return TPM_LEFTALIGN | TPM_LEFTBUTTON;
    return TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_VERPOSANIMATION;
}
