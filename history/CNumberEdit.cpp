#include "history/CNumberEdit.h"

BEGIN_MESSAGE_MAP(CNumberEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

bool CNumberEdit::IsAcceptedChar(UINT nChar)
{
    return nChar == '\b' || nChar == '\t' || nChar == '.' || (nChar >= '0' && nChar <= '9');
}

void CNumberEdit::OnChar(UINT nChar, UINT, UINT)
{
    if (IsAcceptedChar(nChar))
        Default();
}
