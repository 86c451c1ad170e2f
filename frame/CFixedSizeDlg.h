// The fixed-size dialog: one number, the pixel limit of a fixed zoom mode.
#pragma once

#include "CDialog.h"
#include "CEdit.h"

class CFixedSizeDlg : public CDialog {
public:
    explicit CFixedSizeDlg(CWnd* pParent = nullptr);

    int m_nPixels = 0;
    CEdit m_editPixels;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
