#include "AfxPlatform.h"

BOOL AfxIsRunningOnWine()
{
    static const BOOL s_bWine = [] {
        HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
        return hNtdll != nullptr && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr ? TRUE : FALSE;
    }();
    return s_bWine;
}
