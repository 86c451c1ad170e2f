#include "support/WindowQueries.h"

std::string WindowTextOf(HWND hWnd)
{
    // No GetWindowTextLength: it sends a message, also to a window of another
    // process, which then has to answer every poll of a test; GetWindowText
    // reads another process's title without disturbing it.
    char text[4096] = {};
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

std::string ClassNameOf(HWND hWnd)
{
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    return name;
}

std::string MenuTextOf(HMENU hMenu, UINT nItem, UINT nFlags)
{
    char text[256] = {};
    ::GetMenuStringA(hMenu, nItem, text, sizeof(text), nFlags);
    return text;
}

RECT WindowRectOf(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

RECT ClientRectOf(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return rc;
}

SIZE ClientSizeOf(HWND hWnd)
{
    RECT rc = ClientRectOf(hWnd);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}
