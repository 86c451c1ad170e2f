// The history settings dialog: the maximum number of entries, whether the
// history menu shows thumbnails, and their width and height. The caller fills
// the four values in, and reads them back after IDOK.
#pragma once

#include "CButton.h"
#include "CDialog.h"
#include "CEdit.h"
#include "history/CNumberEdit.h"

class CHistorySettingsDlg : public CDialog {
public:
    CHistorySettingsDlg();

    CButton m_chkShowThumbnails;
    CEdit m_editThumbHeight;
    CEdit m_editThumbWidth;
    CNumberEdit m_editMaxCount;
    int m_nMaxCount = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    BOOL m_bShowThumbnails = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnShowThumbnailsClicked();
    DECLARE_MESSAGE_MAP()
};
