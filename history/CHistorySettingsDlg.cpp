#include "history/CHistorySettingsDlg.h"

#include "framework/NumberText.h"
#include "history/HistoryList.h"
#include "res/resource.h"

namespace {

const char kMaxCountText[] = "設定できる最大数は50です";
const char kMaxCountCaption[] = "確認";

int ReadNumber(const CWnd& edit)
{
    CString text;
    edit.GetWindowText(text);
    return AtoiLike(text);
}

void WriteNumber(CWnd& edit, int nValue)
{
    CString text;
    text.Format("%d", nValue);
    edit.SetWindowText(text);
}

} // namespace

BEGIN_MESSAGE_MAP(CHistorySettingsDlg, CDialog)
    ON_BN_CLICKED(IDC_SHOW_THUMBNAILS, OnShowThumbnailsClicked)
END_MESSAGE_MAP()

CHistorySettingsDlg::CHistorySettingsDlg() : CDialog(IDD_HISTORY_SETTINGS)
{
}

// The controls only; the values move in OnInitDialog and OnOK.
void CHistorySettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_SHOW_THUMBNAILS, m_chkShowThumbnails);
    DDX_Control(pDX, IDC_THUMB_HEIGHT, m_editThumbHeight);
    DDX_Control(pDX, IDC_THUMB_WIDTH, m_editThumbWidth);
    DDX_Control(pDX, IDC_MAX_COUNT, m_editMaxCount);
}

BOOL CHistorySettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    WriteNumber(m_editMaxCount, m_nMaxCount);
    WriteNumber(m_editThumbWidth, m_nThumbWidth);
    WriteNumber(m_editThumbHeight, m_nThumbHeight);
    m_chkShowThumbnails.SetCheck(m_bShowThumbnails ? BST_CHECKED : BST_UNCHECKED);
    OnShowThumbnailsClicked();
    return TRUE;
}

// The size fields matter only while thumbnails are shown.
void CHistorySettingsDlg::OnShowThumbnailsClicked()
{
    const BOOL bEnable = m_chkShowThumbnails.GetCheck() == BST_CHECKED;
    m_editThumbWidth.EnableWindow(bEnable);
    m_editThumbHeight.EnableWindow(bEnable);
}

// The maximum field filters typed characters, but a pasted "-3" still reads
// as a negative number, which the history cannot keep: such a value is
// refused like a slip of the keyboard, with a beep and the field selected,
// and the dialog stays open. Above 50 the message says the limit. Width and
// height are taken as typed.
void CHistorySettingsDlg::OnOK()
{
    m_nMaxCount = ReadNumber(m_editMaxCount);
    if (m_nMaxCount > HistoryList::kHardMaxCount) {
        MessageBox(kMaxCountText, kMaxCountCaption, MB_OK);
        return;
    }
    if (m_nMaxCount < 0) {
        ::MessageBeep(MB_OK);
        m_editMaxCount.SetFocus();
        m_editMaxCount.SendMessage(EM_SETSEL, 0, -1);
        return;
    }
    m_nThumbWidth = ReadNumber(m_editThumbWidth);
    m_nThumbHeight = ReadNumber(m_editThumbHeight);
    m_bShowThumbnails = m_chkShowThumbnails.GetCheck() == BST_CHECKED;
    CDialog::OnOK();
}
