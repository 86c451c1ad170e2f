// An edit control that takes only digits, '.', Backspace and Tab from the
// keyboard. Text pasted into it is not filtered.
#pragma once

#include "CEdit.h"

class CNumberEdit : public CEdit {
public:
    // Whether a typed character goes on to the edit control.
    static bool IsAcceptedChar(UINT nChar);

protected:
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};
