// The application object: one per process. Runs the message loop, with
// PreTranslateMessage along the window chain and the idle-time update of
// command states and control bars.
#pragma once

#include "CWnd.h"

class CWinApp : public CCmdTarget {
public:
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr; // the text after the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName = nullptr;
    const char* m_pszRegistryKey = nullptr;

    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called when the message queue is empty; lCount counts the calls since the
    // last message. Returns TRUE while more idle work is wanted.
    virtual BOOL OnIdle(LONG lCount);

    void SetRegistryKey(const char* lpszRegistryKey) { m_pszRegistryKey = lpszRegistryKey; }
    void Enable3dControls() {}

    // Runs the whole life of the application from WinMain.
    int WinMainEntry(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);

protected:
    void OnAppExit();

    DECLARE_MESSAGE_MAP()

private:
    CString m_strAppName;
};

inline void AfxEnableControlContainer()
{
}
