// Moves values between a dialog's controls and its members.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CWnd* m_pDlgWnd;
};

// Binds the dialog's control nIDC to rControl (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// An integer edit: written with "%d", read back as atoi reads it.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
