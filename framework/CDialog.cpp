#include "CDialog.h"

#include "AfxGlobals.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    CWnd* pParent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    return ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                             pParent ? pParent->m_hWnd : nullptr, &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

// The dialog manager calls this first; WM_INITDIALOG binds the object, and
// from then on the window procedure is the framework's, so messages reach
// the message map and what is left goes back to the dialog manager.
INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    pDlg->SubclassWindow(hDlg);
    return pDlg->OnInitDialog();
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialog's class procedure (DefDlgProc) calls DialogProc, which has
    // nothing more to do after initialisation.
    return CWnd::DefWindowProc(message, wParam, lParam);
}

namespace {

// A label one line high never wraps: where its text comes out wider than the
// label (a font wider than the one the template was laid out for), it is cut
// at the label's edge, rather than losing its last words to a second line
// that nobody sees.
BOOL CALLBACK KeepLabelOnOneLine(HWND hChild, LPARAM)
{
    char className[16] = {};
    ::GetClassNameA(hChild, className, sizeof className);
    const LONG style = ::GetWindowLongA(hChild, GWL_STYLE);
    if (lstrcmpiA(className, "Static") != 0 || (style & SS_TYPEMASK) != SS_LEFT)
        return TRUE;
    RECT rc;
    ::GetClientRect(hChild, &rc);
    HDC hdc = ::GetDC(hChild);
    HGDIOBJ hOld = ::SelectObject(hdc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hChild, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hdc, &tm);
    ::SelectObject(hdc, hOld);
    ::ReleaseDC(hChild, hdc);
    if (rc.bottom < 2 * tm.tmHeight)
        ::SetWindowLongA(hChild, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_LEFTNOWORDWRAP);
    return TRUE;
}

} // namespace

BOOL CDialog::OnInitDialog()
{
    ::EnumChildWindows(m_hWnd, &KeepLabelOnOneLine, 0);
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: break;
        }
    }
    return FALSE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}
