// Texts, names and rectangles of windows and menus (texts in the ANSI code page).
#pragma once

#include <windows.h>

#include <string>

// The whole text of a window of this process (a caption, a control's text);
// for a frame of another process, its title.
std::string WindowTextOf(HWND hWnd);
std::string ClassNameOf(HWND hWnd);
// The text of a menu item, by command id (MF_BYCOMMAND) or by position (MF_BYPOSITION).
std::string MenuTextOf(HMENU hMenu, UINT nItem, UINT nFlags);

// The window rectangle (screen coordinates), the client rectangle and its size.
RECT WindowRectOf(HWND hWnd);
RECT ClientRectOf(HWND hWnd);
SIZE ClientSizeOf(HWND hWnd);
