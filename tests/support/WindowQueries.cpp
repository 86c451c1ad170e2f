#include "support/WindowQueries.h"

std::string WindowTextOf(HWND hWnd)
{
    const int length = ::GetWindowTextLengthA(hWnd);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(hWnd, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
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
