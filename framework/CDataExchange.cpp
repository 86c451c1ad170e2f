#include "CDataExchange.h"

#include <cstdio>
#include <cstdlib>

#include "CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd)
        rControl.SubclassWindow(pDX->m_pDlgWnd->GetDlgItem(nIDC));
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtrl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate) {
        char buffer[64] = {};
        ::GetWindowTextA(hCtrl, buffer, sizeof(buffer));
        value = std::atoi(buffer);
    } else {
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%d", value);
        ::SetWindowTextA(hCtrl, buffer);
    }
}
