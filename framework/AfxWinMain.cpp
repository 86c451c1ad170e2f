// The program's entry point: hands everything to the one application object.
#include "AfxGlobals.h"
#include "CWinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->WinMainEntry(hInstance, lpCmdLine, nCmdShow) : -1;
}
