#include "CFixedSizeDlg.h"

#include "framework/NumberText.h"
#include "res/resource.h"

CFixedSizeDlg::CFixedSizeDlg(CWnd* pParent) : CDialog(IDD_FIXED_SIZE, pParent)
{
}

void CFixedSizeDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PIXELS, m_editPixels);
}

BOOL CFixedSizeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString text;
    text.Format("%d", m_nPixels);
    m_editPixels.SetWindowText(text);
    return TRUE;
}

// Any integer is taken as typed, the way atoi reads it (text without digits
// gives 0); numbers beyond the int range are clamped rather than left undefined.
void CFixedSizeDlg::OnOK()
{
    CString text;
    m_editPixels.GetWindowText(text);
    m_nPixels = AtoiLike(text);
    CDialog::OnOK();
}
