#include "WindowAppearance.h"

BYTE AlphaFromPercent(int percent)
{
    // Stored values outside 0..100 are brought into range rather than wrapped.
    if (percent < 0)
        percent = 0;
    if (percent > 100)
        percent = 100;
    return static_cast<BYTE>(percent * kOpaqueAlpha / 100);
}

BOOL CallSetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags)
{
    HMODULE hUser = ::LoadLibraryA("user32.dll");
    if (!hUser)
        return FALSE;
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    auto pfn =
        reinterpret_cast<SetLayeredFn>(reinterpret_cast<void*>(::GetProcAddress(hUser, "SetLayeredWindowAttributes")));
    BOOL result = pfn ? pfn(hWnd, crKey, bAlpha, dwFlags) : FALSE;
    ::FreeLibrary(hUser);
    return result;
}
