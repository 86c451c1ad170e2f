// Translucency helpers: the alpha byte of an opacity percent and the layered
// window call, looked up at run time so the program also runs where
// user32.dll lacks it.
#pragma once

#include <windows.h>

// The alpha of an opaque window.
constexpr BYTE kOpaqueAlpha = 255;

// percent x 255 / 100 with integer division (10 gives 25, 100 gives 255).
BYTE AlphaFromPercent(int percent);

BOOL CallSetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags);
