// The about box (dialog 100).
#pragma once

#include "CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
