#include "CMenu.h"

#include "AfxGlobals.h"
#include "CString.h"

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int n = ::GetMenuStringA(m_h, nIDItem, nullptr, 0, nFlags);
    if (n < 1) {
        rString.Empty();
        return 0;
    }
    char* buffer = rString.GetBuffer(2 * n + 2);
    n = ::GetMenuStringA(m_h, nIDItem, buffer, 2 * n + 2, nFlags);
    rString.ReleaseBuffer();
    return n;
}
