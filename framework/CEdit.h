// An edit control bound to a dialog item.
#pragma once

#include "CWnd.h"

class CEdit : public CWnd {
public:
    void SetLimitText(UINT nMax) { SendMessage(EM_LIMITTEXT, nMax); }
};
